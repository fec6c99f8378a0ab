#include "ServerFixture.h"

#include <ostrel/DateTime.h>

#include <QFile>
#include <QTemporaryFile>
#include <atomic>

using namespace vendra;
using namespace vendra::server;
using namespace vendra::server::test;

namespace {

using EndpointTest = ServerFixture;

TEST_F(EndpointTest, LoginAnswersVersionGradeAndSetsAnHttpOnlySessionCookie) {
    RawReply r = raw("GET", "/order_ctos_xml/login.php?OrdererCI=shop&ReceiverCI=farm&PassWord=pw1&RequestTime=1");
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.setCookie.rfind(std::string(kSessionCookie) + "=", 0), 0u) << r.setCookie;
    for (const char* attribute : {"HttpOnly", "Path=/"}) EXPECT_NE(r.setCookie.find(attribute), std::string::npos);

    QString reply = login("shop", "pw1");
    EXPECT_TRUE(success(reply));
    EXPECT_EQ(tag(reply, "version"), QStringLiteral("Vendra - 1310.29"));
    EXPECT_EQ(tag(reply, "dgr"), QStringLiteral("A"));
    EXPECT_TRUE(tag(reply, "failmsg").isEmpty());
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
}

class ThrottledLoginTest : public ServerFixture {
protected:
    ServerOptions options() override {
        ServerOptions o = ServerFixture::options();
        o.freeLoginFailures = 3;
        o.loginDelayBase = std::chrono::milliseconds(400);
        return o;
    }
};

TEST_F(ThrottledLoginTest, RepeatedFailuresSlowDownThatIdOnlyUntilTheWaitIsOver) {
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(success(login("shop", "wrong")));
    // Even the right password must wait now; another ID does not.
    RawReply r = raw("GET", "/order_ctos_xml/login.php?OrdererCI=shop&ReceiverCI=farm&PassWord=pw1");
    EXPECT_EQ(r.status, 429);
    EXPECT_TRUE(r.setCookie.empty());
    EXPECT_TRUE(success(login("shop2", "pw2")));

    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    bool in = false;
    while (!in && std::chrono::steady_clock::now() < deadline) {
        in = success(login("shop", "pw1"));
        if (!in) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(in);
    // The success cleared the count: one wrong try is an ordinary refusal again.
    EXPECT_EQ(raw("GET", "/order_ctos_xml/login.php?OrdererCI=shop&ReceiverCI=farm&PassWord=bad").status, 401);
}

TEST_F(EndpointTest, NoticesForEveryGradeAndForOneGradeKeepTheirSpacing) {
    store->setNotice("farm", "*", QStringLiteral("  모두 공지\r\n둘째 줄  "));
    store->setNotice("farm", "A", QStringLiteral("A 공지"));
    for (auto [grade, text] : {std::pair{"*", "  모두 공지\r\n둘째 줄  "}, std::pair{"A", "A 공지"}, std::pair{"B", ""}}) {
        QString reply = post(path::Notice, {form(field::ReceiverCI, QStringLiteral("farm")),
                                            form(field::OrdererDgr, QString::fromLatin1(grade))});
        EXPECT_EQ(xml.ExtractTag(reply, u"notice"), QString::fromUtf8(text)) << grade;
    }
}

TEST_F(EndpointTest, OrderRoundTripsWithKoreanKeysQuotesAndTheMessageRecord) {
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
}

TEST_F(EndpointTest, LargeOrdersPastTheFrameworksFormLimitAreStoredWhole) {
    ASSERT_TRUE(success(login("shop", "pw1")));
    std::vector<Line> lines;
    for (int i = 0; i < 300; ++i)
        lines.push_back({QStringLiteral("상품%1_box").arg(i), "2", "1000", "+", "2000", "200", "2200",
                         QStringLiteral("비고 %1").arg(i)});
    ASSERT_GT(OrderUpdateBody(QStringLiteral("2024-03-06"), lines).size(), 16 * 1024);
    QString reply = updateOrder(QStringLiteral("2024-03-06"), lines);
    EXPECT_TRUE(success(reply)) << reply.toStdString();
    const QStringList stored = records(selectOrder(QStringLiteral("2024-03-06")), 8);
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
    admin.importPrices("farm", {{QStringLiteral("사과"), "", "A", cur(120), ""}, {QStringLiteral("배"), "", "A", cur(5), "+"}});
    EXPECT_EQ(prices(), (QStringList{"'사과' 120 ''", "'배' 5 '+'"}));

    const QString date = QStringLiteral("2024-03-06");
    ASSERT_TRUE(success(updateOrder(date, {{QStringLiteral("배"), "1", "500", "", "500", "0", "500", ""}}, "m")));
    ASSERT_EQ(admin.acceptOrder({"farm", "shop", date}), AcceptResult::Accepted);
    QString reply = updateOrder(date, {{QStringLiteral("감"), "9", "1", "", "9", "0", "9", ""}});
    EXPECT_FALSE(success(reply));
    EXPECT_EQ(tag(reply, "failmsg"), LockedOrderMessage());
    const std::string cookie = LoginCookie(server->port(), "shop", "pw1");
    EXPECT_EQ(raw("POST", path::OrdersUpdate, "DeliverDate=2024%2D03%2D06&OrdererCI=shop&ReceiverCI=farm&RecCount=0",
                  cookie).status,
              409);
    reply = selectOrder(date);
    EXPECT_TRUE(xml.GetTag(reply, u"received", 11).toBool());
    EXPECT_EQ(records(reply, 8), (QStringList{"'배' 1 500 '' 500 0 500 ''", "'' 0 0 '' 0 0 0 'm'"}));
}

TEST_F(EndpointTest, DisplayListPricesAndDeliveriesCarryTheirColumns) {
    store->importPrices("farm", {{QStringLiteral("사과"), QStringLiteral("박스"), "A", cur(45000), ""},
                                 {QStringLiteral("김치"), QStringLiteral("10kg"), "A", cur(42000), "+"},
                                 {QStringLiteral("수박"), "", "A", cur(19000.5), "/"},
                                 {QStringLiteral("사과"), QStringLiteral("박스"), "B", cur(47000), ""}});
    store->addDeliveries({{"farm", "shop", "2024-03-02", QStringLiteral("김치_10kg"), cur(2), cur(42000), "+", cur(84000),
                           cur(8400), cur(92400)},
                          {"farm", "shop", "2024-03-01", QStringLiteral("사과_박스"), cur(1.5), cur(45000), "", cur(67500),
                           cur(0), cur(67500)},
                          {"farm", "shop2", "2024-03-01", "x", cur(1), cur(1), "", cur(1), cur(0), cur(1)},
                          {"farm", "shop", "2024-03-09", "late", cur(1), cur(1), "", cur(1), cur(0), cur(1)}});
    ASSERT_TRUE(success(login("shop", "pw1")));
    const QString farm = form(field::ReceiverCI, QStringLiteral("farm")), shop = form(field::OrdererCI, QStringLiteral("shop"));

    EXPECT_EQ(records(get(path::UnitPricesSelect, {farm, form(field::Dgr, QStringLiteral("A"))}), 3),
              (QStringList{"'사과_박스' 45000 ''", "'김치_10kg' 42000 '+'", "'수박' 19000.5 '/'"}));
    // Another grade's prices are not this orderer's to see.
    EXPECT_FALSE(success(get(path::UnitPricesSelect, {farm, form(field::Dgr, QStringLiteral("B"))})));

    auto product = [&](int n, const char* key) { return http.IndexedParaForm(field::Product, n, QString::fromUtf8(key)); };
    EXPECT_TRUE(success(post(path::DisplayUpdate, {shop, farm, form(field::RecCount, Variant(int32_t(3))),
                                                   product(0, "수박"), product(1, "사과_박스"), product(2, "수박")})));
    // The repeated key once.
    EXPECT_EQ(records(get(path::DisplaySelect, {farm, shop}), 1), (QStringList{"'수박'", "'사과_박스'"}));
    // RecCount 0 clears the list.
    EXPECT_TRUE(success(post(path::DisplayUpdate, {shop, farm, form(field::RecCount, Variant(int32_t(0)))})));
    EXPECT_TRUE(store->displayList("farm", "shop").empty());

    const QString reply = get(path::DeliverSelect, {form(field::Date1, QStringLiteral("2024-03-01")),
                                                    form(field::Date2, QStringLiteral("2024-03-08")),
                                                    form(field::SellerCI, QStringLiteral("farm")),
                                                    form(field::BuyerCI, QStringLiteral("shop"))});
    auto day = [](int d) { return QString::number(ostrel::DateSerial(2024, 3, d).serial); };
    EXPECT_EQ(records(reply, 8), (QStringList{"#" + day(1) + "# '사과_박스' 1.5 45000 '' 67500 0 67500",
                                              "#" + day(2) + "# '김치_10kg' 2 42000 '+' 84000 8400 92400"}));
}

TEST_F(EndpointTest, OrderDataNeedsTheSessionOfThatOrdererAndReceiver) {
    store->replaceOrder({"farm", "shop2", "2024-03-05"}, {{"secret", cur(1), cur(1), "", cur(1), cur(0), cur(1), ""}}, "");
    struct Case {
        const char* method;
        std::string target, body;
    };
    const std::vector<Case> cases = {
        {"GET", "/order_ctos_xml/orders_select.php?DeliverDate=2024%2D03%2D05&OrdererCI=shop2&ReceiverCI=farm", ""},
        {"GET", "/order_ctos_xml/display_select.php?ReceiverCI=farm&OrdererCI=shop2", ""},
        {"GET", "/order_ctos_xml/unitprices_select.php?ReceiverCI=farm&dgr=B", ""},
        {"GET", "/invoices_xml/deliver_select.php?Date1=2024%2D03%2D01&Date2=2024%2D03%2D09&SellerCI=farm&BuyerCI=shop2", ""},
        {"POST", "/order_ctos_xml/orders_update.php", "DeliverDate=2024%2D03%2D05&OrdererCI=shop2&ReceiverCI=farm&RecCount=0"},
        {"POST", "/order_ctos_xml/display_update.php", "OrdererCI=shop2&ReceiverCI=farm&RecCount=0"},
    };
    const std::string mine = LoginCookie(server->port(), "shop", "pw1");
    ASSERT_FALSE(mine.empty());
    const std::string forged = std::string(kSessionCookie) + "=" + std::string(64, 'a');
    for (const std::string& cookie : {std::string(), forged, mine}) {
        for (const Case& k : cases) {
            RawReply r = raw(k.method, k.target, k.body, cookie);
            EXPECT_EQ(r.status, 403) << k.target << " cookie " << cookie;
            QString reply = QString::fromStdString(r.body);
            EXPECT_FALSE(success(reply));
            EXPECT_FALSE(tag(reply, "failmsg").isEmpty());
        }
    }
    EXPECT_EQ(store->order({"farm", "shop2", "2024-03-05"}).lines.size(), 1u);
    // With its own session the same requests go through.
    const std::string theirs = LoginCookie(server->port(), "shop2", "pw2");
    for (const Case& k : cases) EXPECT_EQ(raw(k.method, k.target, k.body, theirs).status, 200) << k.target;
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
    const std::vector<std::pair<const char*, std::string>> bodies = {
        {"no date", "OrdererCI=shop&ReceiverCI=farm&RecCount=1&" + g(0)},
        {"no count", head + g(0)},
        {"count above groups", head + "RecCount=2&" + g(0)},
        {"count below groups", head + "RecCount=1&" + g(0) + "&" + g(1)},
        {"a field of the group missing", head + "RecCount=1&" + g(0, "Remark_0", "-")},
        {"count not a number", head + "RecCount=x&" + g(0)},
        {"negative count", head + "RecCount=%2D1&" + g(0)},
        {"quantity not a number", head + "RecCount=1&" + g(0, "Quantity_0", "abc")},
        {"empty price", head + "RecCount=1&" + g(0, "Dg_0", "")},
        {"day the month lacks", "DeliverDate=2024%2D02%2D30&OrdererCI=shop&ReceiverCI=farm&RecCount=1&" + g(0)},
        {"month 13", "DeliverDate=2024%2D13%2D01&OrdererCI=shop&ReceiverCI=farm&RecCount=1&" + g(0)},
        {"words for a date", "DeliverDate=tomorrow&OrdererCI=shop&ReceiverCI=farm&RecCount=1&" + g(0)},
        {"bytes no code page 949 character", head + "RecCount=1&" + g(0, "Product_0", "%FF%FE")},
        {"a cut double-byte character", head + "RecCount=1&" + g(0) + "%B0"},
        {"a closing tag in a remark", head + "RecCount=1&" + g(0, "Remark_0", "%3C%2FTD%3E")},
        {"a field twice", head + "RecCount=1&" + g(0) + "&Quantity_0=2"},
        {"an amount beyond currency", head + "RecCount=1&" + g(0, "Quantity_0", "1e300")},
    };
    for (const auto& [what, body] : bodies) {
        RawReply r = raw("POST", path::OrdersUpdate, body, cookie);
        EXPECT_EQ(r.status, 400) << what;
        QString reply = QString::fromStdString(r.body);
        EXPECT_FALSE(success(reply)) << what;
        EXPECT_FALSE(tag(reply, "failmsg").isEmpty()) << what;
        StoredOrder o = store->order(key);
        ASSERT_EQ(o.lines.size(), 1u) << what;
        EXPECT_EQ(o.lines[0].product, QStringLiteral("keep")) << what;
    }
    EXPECT_FALSE(store->order({"farm", "shop", "2024-02-30"}).exists);

    // Display list: count mismatch and an empty key; dates on the read side; framework-level
    // refusals answer in tag text too; and the server is still there.
    const std::string big = head + "RecCount=1&" + g(0) + "&pad=" + std::string(1024 * 1024 + 10, 'x');
    const std::vector<std::tuple<const char*, std::string, std::string, int>> refusals = {
        {"POST", path::DisplayUpdate, "OrdererCI=shop&ReceiverCI=farm&RecCount=2&Product_0=a", 400},
        {"POST", path::DisplayUpdate, "OrdererCI=shop&ReceiverCI=farm&RecCount=1&Product_0=", 400},
        {"GET", "/invoices_xml/deliver_select.php?Date1=2024%2D03%2D01&Date2=x&SellerCI=farm&BuyerCI=shop", "", 400},
        {"POST", path::OrdersUpdate, big, 413},
        {"GET", "/order_ctos_xml/nothing.php", "", 404},
        {"GET", "/order_ctos_xml/orders_update.php?" + head + "RecCount=0", "", 405},
    };
    for (const auto& [method, target, body, status] : refusals) {
        RawReply r = raw(method, target, body, cookie);
        EXPECT_EQ(r.status, status) << target;
        EXPECT_FALSE(success(QString::fromStdString(r.body))) << target;
        EXPECT_FALSE(tag(QString::fromStdString(r.body), "failmsg").isEmpty()) << target;
    }
    EXPECT_TRUE(store->displayList("farm", "shop").empty());
    EXPECT_EQ(store->order(key).lines.size(), 1u);
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
                if (!h.SendPost(server->url(path::OrdersUpdate), OrderUpdateBody(dateOf(i), linesOf(i, round)), reply) ||
                    !success(reply))
                    ++failures;
            }
        });
    }
    for (auto& t : clients) t.join();
    EXPECT_EQ(failures.load(), 0);
    for (int i = 0; i < kClients; ++i) {
        StoredOrder o = store->order({"farm", "shop", dateOf(i)});
        auto want = linesOf(i, kRounds - 1);
        ASSERT_EQ(o.lines.size(), want.size()) << i;
        for (size_t k = 0; k < want.size(); ++k) {
            EXPECT_EQ(o.lines[k].remark, want[k].remark);
            EXPECT_EQ(o.lines[k].product, want[k].product);
            EXPECT_EQ(o.lines[k].quantity, cur(kRounds));
        }
    }
}

class LoggingTest : public ServerFixture {
protected:
    QTemporaryFile logFile;
    FILE* log = nullptr;
    ServerOptions options() override {
        ServerOptions o;
        EXPECT_TRUE(logFile.open());
        log = std::fopen(logFile.fileName().toLocal8Bit().constData(), "w");
        o.log = log;
        return o;
    }
    void TearDown() override {
        ServerFixture::TearDown();
        if (log) std::fclose(log);
    }
    QStringList lines() {
        QFile f(logFile.fileName());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
};

TEST_F(LoggingTest, EachRequestIsOneLineWithPathOrdererStatusAndDuration) {
    login("shop", "pw1");
    login(QStringLiteral("가\n게"), "secret-password");
    raw("GET", "/missing");
    QStringList l;
    for (int i = 0; i < 200 && (l = lines()).size() < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(l.size(), 3) << l.join('\n').toStdString();
    // A reply goes out before its line is written, so the next request may log first.
    auto lineWith = [&l](const QString& text) {
        for (const QString& line : l)
            if (line.contains(text)) return line;
        return QString();
    };
    QString ok = lineWith(QStringLiteral(" GET /order_ctos_xml/login.php orderer=shop status=200 "));
    EXPECT_TRUE(ok.endsWith(QStringLiteral("ms"))) << l.join('\n').toStdString();
    EXPECT_FALSE(lineWith(QStringLiteral("orderer=가?게 status=401")).isEmpty()) << l.join('\n').toStdString();
    EXPECT_FALSE(l.join('\n').contains(QStringLiteral("secret-password")));
    EXPECT_FALSE(lineWith(QStringLiteral("/missing orderer=- status=404")).isEmpty());
}

}  // namespace
