#include "Demo.h"
#include "ServerFixture.h"

#include <ostrel/DateTime.h>

#include <QFile>
#include <QSet>
#include <QTemporaryFile>
#include <atomic>
#include <sstream>

using namespace vendra;
using namespace vendra::server;
using namespace vendra::server::test;

namespace {

using EndpointTest = ServerFixture;

TEST_F(EndpointTest, LoginSetsAnHttpOnlyCookieSlowsDownRepeatedFailuresAndNoticesKeepTheirSpacing) {
    RawReply r = raw("GET", "/order_ctos_xml/login.php?OrdererCI=shop&ReceiverCI=farm&PassWord=pw1&RequestTime=1");
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.setCookie.rfind(std::string(kSessionCookie) + "=", 0), 0u) << r.setCookie;
    for (const char* attribute : {"HttpOnly", "Path=/"}) EXPECT_NE(r.setCookie.find(attribute), std::string::npos);

    QString reply = login("shop", "pw1");
    EXPECT_EQ(QStringList({tag(reply, "success"), tag(reply, "version"), tag(reply, "dgr"), tag(reply, "failmsg")}),
              QStringList({"1", "Vendra - 1310.29", "A", ""}));
    // Korean ID and a password with a space travel as code page 949.
    EXPECT_TRUE(success(login(QStringLiteral("가게"), QStringLiteral("비밀 번호"))));

    for (auto [orderer, pw, receiver] : {std::tuple{"shop", "wrong", "farm"}, std::tuple{"ghost", "pw1", "farm"},
                                         std::tuple{"shop", "pw1", "other"}, std::tuple{"", "", ""}}) {
        reply = login(orderer, pw, receiver);
        EXPECT_FALSE(success(reply)) << orderer;
        EXPECT_FALSE(tag(reply, "failmsg").isEmpty());
        EXPECT_TRUE(tag(reply, "dgr").isEmpty());
    }
    r = raw("GET", "/order_ctos_xml/login.php?OrdererCI=shop&ReceiverCI=farm&PassWord=bad");
    EXPECT_EQ(r.status, 401);
    EXPECT_TRUE(r.setCookie.empty());

    // The third failure in a row: even the right password must wait now; another ID does not.
    EXPECT_FALSE(success(login("shop", "wrong")));
    r = raw("GET", "/order_ctos_xml/login.php?OrdererCI=shop&ReceiverCI=farm&PassWord=pw1");
    EXPECT_EQ(r.status, 429);
    EXPECT_TRUE(r.setCookie.empty());
    EXPECT_TRUE(success(login("shop2", "pw2")));

    bool in = false;
    for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
         !in && std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(std::chrono::milliseconds(50)))
        in = success(login("shop", "pw1"));
    EXPECT_TRUE(in);
    // The success cleared the count: one wrong try is an ordinary refusal again.
    EXPECT_EQ(raw("GET", "/order_ctos_xml/login.php?OrdererCI=shop&ReceiverCI=farm&PassWord=bad").status, 401);

    // Notices for every grade and for one grade keep their spacing.
    store->setNotice("farm", "*", QStringLiteral("  모두 공지\r\n둘째 줄  "));
    store->setNotice("farm", "A", QStringLiteral("A 공지"));
    for (auto [grade, text] : {std::pair{"*", "  모두 공지\r\n둘째 줄  "}, std::pair{"A", "A 공지"}, std::pair{"B", ""}}) {
        QString reply = post(path::Notice, {form(field::ReceiverCI, QStringLiteral("farm")),
                                            form(field::OrdererDgr, QString::fromLatin1(grade))});
        EXPECT_EQ(xml.ExtractTag(reply, u"notice"), QString::fromUtf8(text)) << grade;
    }
}

TEST_F(EndpointTest, OrdersRoundTripWithKoreanKeysQuotesTheMessageRecordAndPast8KiB) {
    ASSERT_TRUE(success(login("shop", "pw1")));
    const QString date = QStringLiteral("2024-03-05");
    QString reply = updateOrder(date,
                                {{"사과_상품_10kg", "1.5", "333", "+", "499", "49", "548", "큰 \"특\" 것"},
                                 {"수박", "2", "19000", "", "38000", "0", "38000", ""},
                                 {"생수_2L*6", "1", "1000", "/", "909", "91", "1000", "~!@#$%^&*()_+=-"}},
                                QStringLiteral("오전 배송 & 빠르게"));
    EXPECT_TRUE(success(reply)) << reply.toStdString();
    reply = selectOrder(date);
    EXPECT_TRUE(success(reply));
    EXPECT_FALSE(xml.GetTag(reply, u"received", 11).toBool());
    EXPECT_EQ(records(reply, 8), (QStringList{"'사과_상품_10kg' 1.5 333 '+' 499 49 548 '큰 \"특\" 것'",
                                              "'수박' 2 19000 '' 38000 0 38000 ''",
                                              "'생수_2L*6' 1 1000 '/' 909 91 1000 '~!@#$%^&*()_+=-'",
                                              "'' 0 0 '' 0 0 0 '오전 배송 & 빠르게'"}));

    // Replacement: a line left out disappears, and so does a message not sent again; a message
    // alone is the one record with an empty key; nothing at all empties the date.
    EXPECT_TRUE(success(updateOrder(date, {{"수박", "3", "19000", "", "57000", "0", "57000", ""}})));
    EXPECT_EQ(records(selectOrder(date), 8), QStringList{"'수박' 3 19000 '' 57000 0 57000 ''"});
    EXPECT_TRUE(success(updateOrder(date, {}, QStringLiteral("메시지만"))));
    EXPECT_EQ(records(selectOrder(date), 8), QStringList{"'' 0 0 '' 0 0 0 '메시지만'"});
    EXPECT_TRUE(success(updateOrder(date, {})));
    EXPECT_EQ(records(selectOrder(date), 8), QStringList());

    // Past the framework's own 8 KiB form limit, stored whole.
    std::vector<Line> lines;
    for (int i = 0; i < 300; ++i)
        lines.push_back({QStringLiteral("상품%1_box").arg(i), "2", "1000", "+", "2000", "200", "2200",
                         QStringLiteral("비고 %1").arg(i)});
    ASSERT_GT(OrderUpdateBody(date, lines).size(), 16 * 1024);
    reply = updateOrder(date, lines);
    EXPECT_TRUE(success(reply)) << reply.toStdString();
    const QStringList stored = records(selectOrder(date), 8);
    ASSERT_EQ(stored.size(), 300);
    EXPECT_EQ(stored.last(), QStringLiteral("'상품299_box' 2 1000 '+' 2000 200 2200 '비고 299'"));
}

TEST_F(EndpointTest, ChangesFromAnotherProcessShowAtOnceAndAnAcceptedOrderRefusesUpdates) {
    // A second store on the same file stands for the administration command run beside the server.
    SqliteStore admin(dir.path());
    admin.importPrices("farm", {{QStringLiteral("사과"), "", "A", cur(100), ""}});
    ASSERT_TRUE(success(login("shop", "pw1")));
    auto prices = [&] {
        return records(get(path::UnitPricesSelect, {form(field::ReceiverCI, QStringLiteral("farm")),
                                                    form(field::Dgr, QStringLiteral("A"))}),
                       3);
    };
    EXPECT_EQ(prices(), QStringList{"'사과' 100 ''"});
    admin.importPrices("farm",
                       {{QStringLiteral("사과"), "", "A", cur(120), ""}, {QStringLiteral("배"), "", "A", cur(5), "+"}});
    EXPECT_EQ(prices(), (QStringList{"'사과' 120 ''", "'배' 5 '+'"}));

    const QString date = QStringLiteral("2024-03-06");
    ASSERT_TRUE(success(updateOrder(date, {{QStringLiteral("배"), "1", "500", "", "500", "0", "500", ""}}, "m")));
    ASSERT_EQ(admin.acceptOrder({"farm", "shop", date}), AcceptResult::Accepted);
    QString reply = updateOrder(date, {{QStringLiteral("감"), "9", "1", "", "9", "0", "9", ""}});
    EXPECT_EQ(tag(reply, "success") + tag(reply, "failmsg"), "0" + LockedOrderMessage());
    const std::string empty = "DeliverDate=2024%2D03%2D06&OrdererCI=shop&ReceiverCI=farm&RecCount=0";
    EXPECT_EQ(raw("POST", path::OrdersUpdate, empty, LoginCookie(server->port(), "shop", "pw1")).status, 409);
    reply = selectOrder(date);
    EXPECT_TRUE(xml.GetTag(reply, u"received", 11).toBool());
    EXPECT_EQ(records(reply, 8), (QStringList{"'배' 1 500 '' 500 0 500 ''", "'' 0 0 '' 0 0 0 'm'"}));
}

TEST_F(EndpointTest, DisplayListPricesAndDeliveriesCarryTheirColumns) {
    store->importPrices("farm", {{QStringLiteral("사과"), QStringLiteral("박스"), "A", cur(45000), ""},
                                 {QStringLiteral("김치"), QStringLiteral("10kg"), "A", cur(42000), "+"},
                                 {QStringLiteral("수박"), "", "A", cur(19000.5), "/"},
                                 {QStringLiteral("사과"), QStringLiteral("박스"), "B", cur(47000), ""}});
    auto d = [](const char* buyer, const char* date, const char* product, double q = 1, double price = 1,
                const char* vat = "", double supply = 1, double tax = 0, double amount = 1) {
        return DeliveryRow{"farm", buyer, date, QString::fromUtf8(product), cur(q), cur(price), vat, cur(supply),
                           cur(tax), cur(amount)};
    };
    store->addDeliveries({d("shop", "2024-03-02", "김치_10kg", 2, 42000, "+", 84000, 8400, 92400),
                          d("shop", "2024-03-01", "사과_박스", 1.5, 45000, "", 67500, 0, 67500),
                          d("shop2", "2024-03-01", "x"), d("shop", "2024-03-09", "late"),
                          d("shop", "2024-02-29", "early"), d("shop", "2024-03-02", "y")});
    ASSERT_TRUE(success(login("shop", "pw1")));
    const QString farm = form(field::ReceiverCI, QStringLiteral("farm")),
                  shop = form(field::OrdererCI, QStringLiteral("shop"));

    EXPECT_EQ(records(get(path::UnitPricesSelect, {farm, form(field::Dgr, QStringLiteral("A"))}), 3),
              (QStringList{"'사과_박스' 45000 ''", "'김치_10kg' 42000 '+'", "'수박' 19000.5 '/'"}));
    // Another grade's prices are not this orderer's to see.
    EXPECT_FALSE(success(get(path::UnitPricesSelect, {farm, form(field::Dgr, QStringLiteral("B"))})));

    auto product = [&](int n, const char* key) {
        return http.IndexedParaForm(field::Product, n, QString::fromUtf8(key));
    };
    EXPECT_TRUE(success(post(path::DisplayUpdate, {shop, farm, form(field::RecCount, Variant(int32_t(3))),
                                                   product(0, "수박"), product(1, "사과_박스"), product(2, "수박")})));
    EXPECT_EQ(records(get(path::DisplaySelect, {farm, shop}), 1), (QStringList{"'수박'", "'사과_박스'"}));  // once
    // RecCount 0 clears the list.
    EXPECT_TRUE(success(post(path::DisplayUpdate, {shop, farm, form(field::RecCount, Variant(int32_t(0)))})));
    EXPECT_TRUE(store->displayList("farm", "shop").empty());

    const QString reply = get(path::DeliverSelect, {form(field::Date1, QStringLiteral("2024-03-01")),
                                                    form(field::Date2, QStringLiteral("2024-03-08")),
                                                    form(field::SellerCI, QStringLiteral("farm")),
                                                    form(field::BuyerCI, QStringLiteral("shop"))});
    auto day = [](int d) { return QString::number(ostrel::DateSerial(2024, 3, d).serial); };
    // By date, then as stored; only the pair's, only within the period.
    EXPECT_EQ(records(reply, 8), (QStringList{"#" + day(1) + "# '사과_박스' 1.5 45000 '' 67500 0 67500",
                                              "#" + day(2) + "# '김치_10kg' 2 42000 '+' 84000 8400 92400",
                                              "#" + day(2) + "# 'y' 1 1 '' 1 0 1"}));
    EXPECT_TRUE(store->deliveries("farm", "shop", "2024-03-08", "2024-03-01").empty());
}

TEST_F(EndpointTest, OrderDataNeedsTheSessionOfThatOrdererAndReceiver) {
    store->replaceOrder({"farm", "shop2", "2024-03-05"}, {{"secret", cur(1), cur(1), "", cur(1), cur(0), cur(1), ""}},
                        "");
    const std::vector<std::tuple<const char*, std::string, std::string>> cases = {
        // method, target, body
        {"GET", "/order_ctos_xml/orders_select.php?DeliverDate=2024%2D03%2D05&OrdererCI=shop2&ReceiverCI=farm", ""},
        {"GET", "/order_ctos_xml/display_select.php?ReceiverCI=farm&OrdererCI=shop2", ""},
        {"GET", "/order_ctos_xml/unitprices_select.php?ReceiverCI=farm&dgr=B", ""},
        {"GET",
         "/invoices_xml/deliver_select.php?Date1=2024%2D03%2D01&Date2=2024%2D03%2D09&SellerCI=farm&BuyerCI=shop2", ""},
        {"POST", "/order_ctos_xml/orders_update.php",
         "DeliverDate=2024%2D03%2D05&OrdererCI=shop2&ReceiverCI=farm&RecCount=0"},
        {"POST", "/order_ctos_xml/display_update.php", "OrdererCI=shop2&ReceiverCI=farm&RecCount=0"},
    };
    const std::string mine = LoginCookie(server->port(), "shop", "pw1");
    ASSERT_FALSE(mine.empty());
    const std::string forged = std::string(kSessionCookie) + "=" + std::string(64, 'a');
    for (const std::string& cookie : {std::string(), forged, mine}) {
        for (const auto& [method, target, body] : cases) {
            RawReply r = raw(method, target, body, cookie);
            EXPECT_EQ(r.status, 403) << target << " cookie " << cookie;
            QString reply = QString::fromStdString(r.body);
            EXPECT_FALSE(success(reply));
            EXPECT_FALSE(tag(reply, "failmsg").isEmpty());
        }
    }
    EXPECT_EQ(store->order({"farm", "shop2", "2024-03-05"}).lines.size(), 1u);
    // With its own session the same requests go through.
    const std::string theirs = LoginCookie(server->port(), "shop2", "pw2");
    for (const auto& [method, target, body] : cases) EXPECT_EQ(raw(method, target, body, theirs).status, 200) << target;
    EXPECT_FALSE(store->order({"farm", "shop2", "2024-03-05"}).exists);
}

TEST_F(EndpointTest, BadInputIsRefusedClearlyAndStoresNothing) {
    const OrderKey key{"farm", "shop", "2024-03-05"};
    store->replaceOrder(key, {{"keep", cur(1), cur(1), "", cur(1), cur(0), cur(1), ""}}, "");
    const std::string cookie = LoginCookie(server->port(), "shop", "pw1");
    const std::string head = "DeliverDate=2024%2D03%2D05&OrdererCI=shop&ReceiverCI=farm&";
    // One valid group; `value` replaces the named field's, "-" leaves it out.
    auto g = [](int n, const std::string& name = {}, const std::string& value = {}) {
        const char* valid[] = {"a", "1", "1", "", "1", "0", "1", ""};
        std::string out;
        for (size_t k = 0; k < field::OrderGroup.size(); ++k) {
            const std::string f = field::OrderGroup[k] + ("_" + std::to_string(n));
            if (f == name && value == "-") continue;
            out += (out.empty() ? "" : "&") + f + "=" + (f == name ? value : valid[k]);
        }
        return out;
    };
    const std::string big = head + "RecCount=1&" + g(0) + "&pad=" + std::string(1024 * 1024 + 10, 'x');
    const std::string update = path::OrdersUpdate, display = path::DisplayUpdate;
    struct Case {
        const char* what;
        std::string target, body;
        int status = 400;
        const char* method = "POST";
    };
    const std::vector<Case> cases = {
        {"no date", update, "OrdererCI=shop&ReceiverCI=farm&RecCount=1&" + g(0)},
        {"no count", update, head + g(0)},
        {"count above groups", update, head + "RecCount=2&" + g(0)},
        {"count below groups", update, head + "RecCount=1&" + g(0) + "&" + g(1)},
        {"a field of the group missing", update, head + "RecCount=1&" + g(0, "Remark_0", "-")},
        {"count not a number", update, head + "RecCount=x&" + g(0)},
        {"negative count", update, head + "RecCount=%2D1&" + g(0)},
        {"quantity not a number", update, head + "RecCount=1&" + g(0, "Quantity_0", "abc")},
        {"empty price", update, head + "RecCount=1&" + g(0, "Dg_0", "")},
        {"day the month lacks", update, "DeliverDate=2024%2D02%2D30&OrdererCI=shop&ReceiverCI=farm&RecCount=1&" + g(0)},
        {"month 13", update, "DeliverDate=2024%2D13%2D01&OrdererCI=shop&ReceiverCI=farm&RecCount=1&" + g(0)},
        {"words for a date", update, "DeliverDate=tomorrow&OrdererCI=shop&ReceiverCI=farm&RecCount=1&" + g(0)},
        {"bytes no code page 949 character", update, head + "RecCount=1&" + g(0, "Product_0", "%FF%FE")},
        {"a cut double-byte character", update, head + "RecCount=1&" + g(0) + "%B0"},
        {"a closing tag in a remark", update, head + "RecCount=1&" + g(0, "Remark_0", "%3C%2FTD%3E")},
        {"a field twice", update, head + "RecCount=1&" + g(0) + "&Quantity_0=2"},
        {"an amount beyond currency", update, head + "RecCount=1&" + g(0, "Quantity_0", "1e300")},
        {"display count mismatch", display, "OrdererCI=shop&ReceiverCI=farm&RecCount=2&Product_0=a"},
        {"display empty key", display, "OrdererCI=shop&ReceiverCI=farm&RecCount=1&Product_0="},
        {"a date on the read side",
         "/invoices_xml/deliver_select.php?Date1=2024%2D03%2D01&Date2=x&SellerCI=farm&BuyerCI=shop", "", 400, "GET"},
        // Refusals of the framework answer in tag text too.
        {"a body past the limit", update, big, 413},
        {"an unknown path", "/order_ctos_xml/nothing.php", "", 404, "GET"},
        {"the wrong method", "/order_ctos_xml/orders_update.php?" + head + "RecCount=0", "", 405, "GET"},
    };
    for (const Case& k : cases) {
        const RawReply r = raw(k.method, k.target, k.body, cookie);
        EXPECT_EQ(r.status, k.status) << k.what;
        EXPECT_FALSE(success(QString::fromStdString(r.body))) << k.what;
        EXPECT_FALSE(tag(QString::fromStdString(r.body), "failmsg").isEmpty()) << k.what;
    }
    // Nothing was stored, and the server is still there.
    const StoredOrder o = store->order(key);
    ASSERT_EQ(o.lines.size(), 1u);
    EXPECT_EQ(o.lines[0].product, QStringLiteral("keep"));
    EXPECT_FALSE(store->order({"farm", "shop", "2024-02-30"}).exists);
    EXPECT_TRUE(store->displayList("farm", "shop").empty());
    EXPECT_TRUE(success(login("shop", "pw1")));
}

TEST_F(EndpointTest, TwentyClientsUpdatingDifferentOrdersLoseAndMixNothing) {
    ASSERT_TRUE(success(login("shop", "pw1")));
    constexpr int kClients = 20, kRounds = 8;
    std::atomic<int> failures{0};
    std::vector<std::thread> clients;
    auto linesOf = [](int client, int round) {
        std::vector<Line> lines;
        for (int k = 0; k < 1 + (client + round) % 6; ++k)
            lines.push_back({QStringLiteral("품목%1_박스").arg(k), QString::number(round + 1), "100", "+", "100", "10",
                             "110", QStringLiteral("c%1-r%2").arg(client).arg(round)});
        return lines;
    };
    auto dateOf = [](int client) { return QStringLiteral("2024-04-%1").arg(client + 1, 2, 10, QLatin1Char('0')); };
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            corvane::fncGetAndPost h;
            h.setTotalTimeout(30000);
            for (int round = 0; round < kRounds; ++round) {
                QString reply;
                if (!h.SendPost(server->url(path::OrdersUpdate), OrderUpdateBody(dateOf(i), linesOf(i, round)),
                                reply) ||
                    !success(reply))
                    ++failures;
            }
        });
    }
    for (auto& t : clients) t.join();
    EXPECT_EQ(failures.load(), 0);
    for (int i = 0; i < kClients; ++i) {
        QStringList stored, want;
        for (const OrderLine& l : store->order({"farm", "shop", dateOf(i)}).lines)
            stored << l.product + ' ' + l.quantity.toString() + ' ' + l.remark;
        for (const Line& l : linesOf(i, kRounds - 1)) want << l.product + ' ' + l.quantity + ' ' + l.remark;
        EXPECT_EQ(stored, want) << i;
    }
}

class LoggingTest : public ServerFixture {
protected:
    QTemporaryFile file;
    std::unique_ptr<FILE, int (*)(FILE*)> log{nullptr, &std::fclose};
    ServerOptions options() override {
        EXPECT_TRUE(file.open());
        log.reset(std::fopen(qPrintable(file.fileName()), "w"));
        ServerOptions o = ServerFixture::options();
        o.log = log.get();
        return o;
    }
};

TEST_F(LoggingTest, EachRequestIsOneLineWithPathOrdererStatusAndDuration) {
    login("shop", "pw1");
    login(QStringLiteral("가\n게"), "secret-password");
    raw("GET", "/missing");
    QStringList l;
    for (int i = 0; i < 200 && l.size() < 3; ++i) {
        QFile f(file.fileName());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        l = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
        if (l.size() < 3) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // A reply goes out before its line is written, so the next request may log first.
    const std::string all = l.join('\n').toStdString();
    ASSERT_EQ(l.size(), 3) << all;
    EXPECT_TRUE(l.filter(" GET /order_ctos_xml/login.php orderer=shop status=200 ").value(0).endsWith("ms")) << all;
    for (const char* part : {"orderer=가?게 status=401", "/missing orderer=- status=404"})
        EXPECT_EQ(l.filter(QString::fromUtf8(part)).size(), 1) << all;
    EXPECT_EQ(all.find("secret-password"), std::string::npos);
}

// The demo store as the order client meets it: its orderer logs in and gets a sheet to order from.
TEST_F(EndpointTest, DemoOrdererLogsInAndOrdersFromTheDisplayedPartOfThePriceListForToday) {
    std::ostringstream out;
    SeedDemo(*store, HashStrength::Minimal, out);
    const QString reply = login(kDemoOrderer1, kDemoPassword1, kDemoReceiver);
    ASSERT_TRUE(success(reply)) << tag(reply, "failmsg").toStdString();
    const QString farm = form(field::ReceiverCI, kDemoReceiver), shop = form(field::OrdererCI, kDemoOrderer1);
    const auto prices = xml.TagToJarray(get(path::UnitPricesSelect, {farm, form(field::Dgr, tag(reply, "dgr"))}));
    const auto display = xml.TagToJarray(get(path::DisplaySelect, {farm, shop}));
    ASSERT_TRUE(prices->NOF() == 3 && display->NOF() == 1);
    // The display list names a part of the offered products, each offered: the client narrows to it.
    QSet<QString> offered;
    for (int i = 0; i < prices->RecCount(); ++i) offered.insert(prices->Cell(i, 0).toString());
    EXPECT_TRUE(display->RecCount() > 0 && display->RecCount() < prices->RecCount()) << display->RecCount();
    for (int i = 0; i < display->RecCount(); ++i) EXPECT_TRUE(offered.contains(display->Cell(i, 0).toString())) << i;
    // The accepted order is yesterday's: the morning's order for today is open.
    for (int daysFromToday : {-1, 0}) {
        const QString date = QDate::currentDate().addDays(daysFromToday).toString(Qt::ISODate);
        const QString stored = get(path::OrdersSelect, {form(field::DeliverDate, date), shop, farm});
        EXPECT_EQ(xml.GetTag(stored, u"received", 11).toBool(), daysFromToday == -1) << daysFromToday;
    }
}

}  // namespace
