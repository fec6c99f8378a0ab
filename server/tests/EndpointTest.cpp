#include "ServerFixture.h"

#include <QFile>
#include <QTemporaryFile>
#include <atomic>

using namespace vendra::server;
using namespace vendra::server::test;
using ostrel::Currency;

namespace {

using EndpointTest = ServerFixture;

Currency c(double v) { return Currency::fromDouble(v); }

TEST_F(EndpointTest, LoginAnswersVersionGradeAndSetsAnHttpOnlySessionCookie) {
    Raw r = raw("GET", "/order_ctos_xml/login.php?OrdererCI=shop&ReceiverCI=farm&PassWord=pw1&RequestTime=2024030509000000");
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.setCookie.rfind(std::string(kSessionCookie) + "=", 0), 0u) << r.setCookie;
    EXPECT_NE(r.setCookie.find("HttpOnly"), std::string::npos);
    EXPECT_NE(r.setCookie.find("Path=/"), std::string::npos);

    QString reply = login("shop", "pw1");
    EXPECT_TRUE(success(reply));
    EXPECT_EQ(tag(reply, "version"), QStringLiteral("Vendra - 1310.29"));
    EXPECT_EQ(tag(reply, "dgr"), QStringLiteral("A"));
    EXPECT_TRUE(tag(reply, "failmsg").isEmpty());

    // Korean ID and a password with a space travel as code page 949.
    reply = login(QStringLiteral("가게"), QStringLiteral("비밀 번호"));
    EXPECT_TRUE(success(reply)) << reply.toStdString();

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
    Raw r = raw("GET", "/order_ctos_xml/login.php?OrdererCI=shop&ReceiverCI=farm&PassWord=pw1");
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
    r = raw("GET", "/order_ctos_xml/login.php?OrdererCI=shop&ReceiverCI=farm&PassWord=bad");
    EXPECT_EQ(r.status, 401);
}

TEST_F(EndpointTest, NoticesForEveryGradeAndForOneGradeKeepTheirSpacing) {
    store->setNotice("farm", "*", QStringLiteral("  모두 공지\r\n둘째 줄  "));
    store->setNotice("farm", "A", QStringLiteral("A 공지"));
    auto notice = [&](const char* grade) {
        QString reply = post("/receiver_ctos/notice_select.php",
                             {form("ReceiverCI", QStringLiteral("farm")), form("OrdererDgr", QString::fromLatin1(grade)),
                              form("RequestTime", stamp())});
        return xml.ExtractTag(reply, u"notice");
    };
    EXPECT_EQ(notice("*"), QStringLiteral("  모두 공지\r\n둘째 줄  "));
    EXPECT_EQ(notice("A"), QStringLiteral("A 공지"));
    EXPECT_TRUE(notice("B").isEmpty());
}

TEST_F(EndpointTest, OrderRoundTripsWithKoreanKeysQuotesAndTheMessageRecord) {
    ASSERT_TRUE(success(login("shop", "pw1")));
    const QString date = QStringLiteral("2024-03-05");
    QString reply = updateOrder(date,
                                {{QStringLiteral("사과_상품_10kg"), "1.5", "333", "+", "499", "49", "548", QStringLiteral("큰 \"특\" 것")},
                                 {QStringLiteral("수박"), "2", "19000", "", "38000", "0", "38000", ""},
                                 {QStringLiteral("생수_2L*6"), "1", "1000", "/", "909", "91", "1000", "~!@#$%^&*()_+=-"}},
                                QStringLiteral("오전 배송 & 빠르게"));
    EXPECT_TRUE(success(reply)) << reply.toStdString();

    reply = selectOrder(date);
    EXPECT_TRUE(success(reply));
    EXPECT_FALSE(xml.GetTag(reply, u"received", 11).toBool());
    auto t = xml.TagToJarray(reply);
    ASSERT_EQ(t->NOF(), 8);
    ASSERT_EQ(t->RecCount(), 4);
    EXPECT_EQ(t->Cell(0, 0).toString(), QStringLiteral("사과_상품_10kg"));
    EXPECT_TRUE(t->Cell(0, 1).identical(Variant(c(1.5))));
    EXPECT_TRUE(t->Cell(0, 2).identical(Variant(c(333))));
    EXPECT_EQ(t->Cell(0, 3).toString(), QStringLiteral("+"));
    EXPECT_TRUE(t->Cell(0, 4).identical(Variant(c(499))));
    EXPECT_TRUE(t->Cell(0, 5).identical(Variant(c(49))));
    EXPECT_TRUE(t->Cell(0, 6).identical(Variant(c(548))));
    EXPECT_EQ(t->Cell(0, 7).toString(), QStringLiteral("큰 \"특\" 것"));
    EXPECT_EQ(t->Cell(1, 0).toString(), QStringLiteral("수박"));
    EXPECT_TRUE(t->Cell(1, 3).isString());
    EXPECT_TRUE(t->Cell(1, 3).toString().isEmpty());
    EXPECT_EQ(t->Cell(2, 7).toString(), QStringLiteral("~!@#$%^&*()_+=-"));
    EXPECT_TRUE(t->Cell(3, 0).toString().isEmpty());
    EXPECT_EQ(t->Cell(3, 7).toString(), QStringLiteral("오전 배송 & 빠르게"));

    // Replacement: a line left out disappears, and so does a message not sent again.
    EXPECT_TRUE(success(updateOrder(date, {{QStringLiteral("수박"), "3", "19000", "", "57000", "0", "57000", ""}})));
    t = xml.TagToJarray(selectOrder(date));
    ASSERT_EQ(t->RecCount(), 1);
    EXPECT_TRUE(t->Cell(0, 1).identical(Variant(c(3))));

    // A message alone comes back as the one record with an empty key; nothing at all empties the date.
    EXPECT_TRUE(success(updateOrder(date, {}, QStringLiteral("메시지만"))));
    t = xml.TagToJarray(selectOrder(date));
    ASSERT_EQ(t->RecCount(), 1);
    EXPECT_TRUE(t->Cell(0, 0).toString().isEmpty());
    EXPECT_EQ(t->Cell(0, 7).toString(), QStringLiteral("메시지만"));
    EXPECT_TRUE(success(updateOrder(date, {})));
    t = xml.TagToJarray(selectOrder(date));
    EXPECT_EQ(t->NOF(), 8);
    EXPECT_EQ(t->RecCount(), 0);
}

TEST_F(EndpointTest, LargeOrdersPastTheFrameworksFormLimitAreStoredWhole) {
    ASSERT_TRUE(success(login("shop", "pw1")));
    std::vector<Line> lines;
    for (int i = 0; i < 300; ++i)
        lines.push_back({QStringLiteral("상품%1_box").arg(i), "2", "1000", "+", "2000", "200", "2200", QStringLiteral("비고 %1").arg(i)});
    const QStringList body = orderBody(QStringLiteral("2024-03-06"), lines);
    ASSERT_GT(body.join('&').size(), 16 * 1024);
    QString reply = updateOrder(QStringLiteral("2024-03-06"), lines);
    EXPECT_TRUE(success(reply)) << reply.toStdString();
    auto t = xml.TagToJarray(selectOrder(QStringLiteral("2024-03-06")));
    ASSERT_EQ(t->RecCount(), 300);
    EXPECT_EQ(t->Cell(299, 0).toString(), QStringLiteral("상품299_box"));
    EXPECT_EQ(t->Cell(299, 7).toString(), QStringLiteral("비고 299"));
}

TEST_F(EndpointTest, AcceptedOrderRefusesUpdatesWithConflictAndStaysAsItWas) {
    ASSERT_TRUE(success(login("shop", "pw1")));
    const QString date = QStringLiteral("2024-03-06");
    ASSERT_TRUE(success(updateOrder(date, {{QStringLiteral("배"), "1", "500", "", "500", "0", "500", ""}}, "m")));
    ASSERT_EQ(store->acceptOrder({"farm", "shop", date}), AcceptResult::Accepted);

    QString reply = updateOrder(date, {{QStringLiteral("감"), "9", "1", "", "9", "0", "9", ""}});
    EXPECT_FALSE(success(reply));
    EXPECT_EQ(tag(reply, "failmsg"), kLockedMessage);
    std::string cookie = rawLoginCookie("shop", "pw1");
    Raw r = raw("POST", "/order_ctos_xml/orders_update.php",
                "DeliverDate=2024%2D03%2D06&OrdererCI=shop&ReceiverCI=farm&RecCount=0", cookie);
    EXPECT_EQ(r.status, 409);

    reply = selectOrder(date);
    EXPECT_TRUE(xml.GetTag(reply, u"received", 11).toBool());
    auto t = xml.TagToJarray(reply);
    ASSERT_EQ(t->RecCount(), 2);
    EXPECT_EQ(t->Cell(0, 0).toString(), QStringLiteral("배"));
    EXPECT_EQ(t->Cell(1, 7).toString(), QStringLiteral("m"));
}

TEST_F(EndpointTest, DisplayListPricesAndDeliveriesCarryTheirColumns) {
    store->importPrices("farm", {{QStringLiteral("사과"), QStringLiteral("박스"), "A", c(45000), ""},
                                 {QStringLiteral("김치"), QStringLiteral("10kg"), "A", c(42000), "+"},
                                 {QStringLiteral("수박"), "", "A", c(19000.5), "/"},
                                 {QStringLiteral("사과"), QStringLiteral("박스"), "B", c(47000), ""}});
    store->addDeliveries({{"farm", "shop", "2024-03-02", QStringLiteral("김치_10kg"), c(2), c(42000), "+", c(84000), c(8400), c(92400)},
                          {"farm", "shop", "2024-03-01", QStringLiteral("사과_박스"), c(1.5), c(45000), "", c(67500), c(0), c(67500)},
                          {"farm", "shop2", "2024-03-01", "x", c(1), c(1), "", c(1), c(0), c(1)},
                          {"farm", "shop", "2024-03-09", "late", c(1), c(1), "", c(1), c(0), c(1)}});
    ASSERT_TRUE(success(login("shop", "pw1")));

    auto prices = xml.TagToJarray(get("/order_ctos_xml/unitprices_select.php",
                                      {form("ReceiverCI", QStringLiteral("farm")), form("dgr", QStringLiteral("A")),
                                       form("RequestTime", stamp())}));
    ASSERT_EQ(prices->NOF(), 3);
    ASSERT_EQ(prices->RecCount(), 3);
    EXPECT_EQ(prices->Cell(0, 0).toString(), QStringLiteral("사과_박스"));
    EXPECT_TRUE(prices->Cell(0, 1).identical(Variant(c(45000))));
    EXPECT_EQ(prices->Cell(1, 2).toString(), QStringLiteral("+"));
    EXPECT_EQ(prices->Cell(2, 0).toString(), QStringLiteral("수박"));
    EXPECT_TRUE(prices->Cell(2, 1).identical(Variant(c(19000.5))));
    // Another grade's prices are not this orderer's to see.
    EXPECT_FALSE(success(get("/order_ctos_xml/unitprices_select.php",
                             {form("ReceiverCI", QStringLiteral("farm")), form("dgr", QStringLiteral("B"))})));

    QStringList body{form("OrdererCI", QStringLiteral("shop")), form("ReceiverCI", QStringLiteral("farm")),
                     form("RecCount", Variant(int32_t(3))), http.IndexedParaForm("Product", 0, Variant(QStringLiteral("수박"))),
                     http.IndexedParaForm("Product", 1, Variant(QStringLiteral("사과_박스"))),
                     http.IndexedParaForm("Product", 2, Variant(QStringLiteral("수박")))};
    EXPECT_TRUE(success(post("/order_ctos_xml/display_update.php", body)));
    auto display = xml.TagToJarray(get("/order_ctos_xml/display_select.php",
                                       {form("ReceiverCI", QStringLiteral("farm")), form("OrdererCI", QStringLiteral("shop")),
                                        form("RequestTime", stamp())}));
    ASSERT_EQ(display->NOF(), 1);
    ASSERT_EQ(display->RecCount(), 2);  // the repeated key once
    EXPECT_EQ(display->Cell(0, 0).toString(), QStringLiteral("수박"));
    EXPECT_EQ(display->Cell(1, 0).toString(), QStringLiteral("사과_박스"));
    // RecCount 0 clears the list.
    EXPECT_TRUE(success(post("/order_ctos_xml/display_update.php",
                             {form("OrdererCI", QStringLiteral("shop")), form("ReceiverCI", QStringLiteral("farm")),
                              form("RecCount", Variant(int32_t(0)))})));
    EXPECT_TRUE(store->displayList("farm", "shop").empty());

    auto deliveries = xml.TagToJarray(get("/invoices_xml/deliver_select.php",
                                          {form("Date1", QStringLiteral("2024-03-01")), form("Date2", QStringLiteral("2024-03-08")),
                                           form("SellerCI", QStringLiteral("farm")), form("BuyerCI", QStringLiteral("shop")),
                                           form("RequestTime", stamp())}));
    ASSERT_EQ(deliveries->NOF(), 8);
    ASSERT_EQ(deliveries->RecCount(), 2);
    EXPECT_TRUE(deliveries->Cell(0, 0).identical(Variant(ostrel::DateSerial(2024, 3, 1))));
    EXPECT_EQ(deliveries->Cell(0, 1).toString(), QStringLiteral("사과_박스"));
    EXPECT_TRUE(deliveries->Cell(0, 2).identical(Variant(c(1.5))));
    EXPECT_TRUE(deliveries->Cell(1, 0).identical(Variant(ostrel::DateSerial(2024, 3, 2))));
    EXPECT_EQ(deliveries->Cell(1, 4).toString(), QStringLiteral("+"));
    EXPECT_TRUE(deliveries->Cell(1, 5).identical(Variant(c(84000))));
    EXPECT_TRUE(deliveries->Cell(1, 6).identical(Variant(c(8400))));
    EXPECT_TRUE(deliveries->Cell(1, 7).identical(Variant(c(92400))));
}

TEST_F(EndpointTest, ChangesFromAnotherProcessShowAtOnce) {
    // A second store on the same file stands for the administration command run beside the server.
    SqliteStore admin(dir.path());
    admin.importPrices("farm", {{QStringLiteral("사과"), "", "A", c(100), ""}});
    ASSERT_TRUE(success(login("shop", "pw1")));
    auto prices = [&] {
        return xml.TagToJarray(get("/order_ctos_xml/unitprices_select.php",
                                   {form("ReceiverCI", QStringLiteral("farm")), form("dgr", QStringLiteral("A"))}));
    };
    ASSERT_EQ(prices()->RecCount(), 1);
    EXPECT_TRUE(prices()->Cell(0, 1).identical(Variant(c(100))));
    admin.importPrices("farm", {{QStringLiteral("사과"), "", "A", c(120), ""}, {QStringLiteral("배"), "", "A", c(5), "+"}});
    auto t = prices();
    ASSERT_EQ(t->RecCount(), 2);
    EXPECT_TRUE(t->Cell(0, 1).identical(Variant(c(120))));

    const QString date = QStringLiteral("2024-03-09");
    ASSERT_TRUE(success(updateOrder(date, {{QStringLiteral("사과"), "1", "120", "", "120", "0", "120", ""}})));
    ASSERT_EQ(admin.acceptOrder({"farm", "shop", date}), AcceptResult::Accepted);
    EXPECT_TRUE(xml.GetTag(selectOrder(date), u"received", 11).toBool());
    EXPECT_EQ(tag(updateOrder(date, {}), "failmsg"), kLockedMessage);
}

TEST_F(EndpointTest, OrderDataNeedsTheSessionOfThatOrdererAndReceiver) {
    store->replaceOrder({"farm", "shop2", "2024-03-05"}, {{"secret", c(1), c(1), "", c(1), c(0), c(1), ""}}, "");
    const std::string sel = "/order_ctos_xml/orders_select.php?DeliverDate=2024%2D03%2D05&OrdererCI=shop2&ReceiverCI=farm";
    const std::string upd = "DeliverDate=2024%2D03%2D05&OrdererCI=shop2&ReceiverCI=farm&RecCount=0";
    struct Case {
        const char* method;
        std::string target, body;
    };
    const std::vector<Case> cases = {
        {"GET", sel, ""},
        {"GET", "/order_ctos_xml/display_select.php?ReceiverCI=farm&OrdererCI=shop2", ""},
        {"GET", "/order_ctos_xml/unitprices_select.php?ReceiverCI=farm&dgr=B", ""},
        {"GET", "/invoices_xml/deliver_select.php?Date1=2024%2D03%2D01&Date2=2024%2D03%2D09&SellerCI=farm&BuyerCI=shop2", ""},
        {"POST", "/order_ctos_xml/orders_update.php", upd},
        {"POST", "/order_ctos_xml/display_update.php", "OrdererCI=shop2&ReceiverCI=farm&RecCount=0"},
    };
    const std::string mine = rawLoginCookie("shop", "pw1");
    ASSERT_FALSE(mine.empty());
    const std::string forged = std::string(kSessionCookie) + "=" + std::string(64, 'a');
    for (const std::string& cookie : {std::string(), forged, mine}) {
        for (const Case& k : cases) {
            Raw r = raw(k.method, k.target, k.body, cookie);
            EXPECT_EQ(r.status, 403) << k.target << " cookie " << cookie;
            QString reply = QString::fromStdString(r.body);
            EXPECT_FALSE(success(reply));
            EXPECT_FALSE(tag(reply, "failmsg").isEmpty());
        }
    }
    EXPECT_EQ(store->order({"farm", "shop2", "2024-03-05"}).lines.size(), 1u);
    // With its own session the same requests go through.
    const std::string theirs = rawLoginCookie("shop2", "pw2");
    for (const Case& k : cases) EXPECT_EQ(raw(k.method, k.target, k.body, theirs).status, 200) << k.target;
    EXPECT_FALSE(store->order({"farm", "shop2", "2024-03-05"}).exists);
}

TEST_F(EndpointTest, BadInputIsRefusedClearlyAndStoresNothing) {
    const OrderKey key{"farm", "shop", "2024-03-05"};
    store->replaceOrder(key, {{"keep", c(1), c(1), "", c(1), c(0), c(1), ""}}, "");
    const std::string cookie = rawLoginCookie("shop", "pw1");
    const std::string head = "DeliverDate=2024%2D03%2D05&OrdererCI=shop&ReceiverCI=farm&";
    const std::string g0 = "Product_0=a&Quantity_0=1&Dg_0=1&Vat_0=&Gg_0=1&Gv_0=0&Gt_0=1&Remark_0=";
    const std::string g1 = "&Product_1=b&Quantity_1=1&Dg_1=1&Vat_1=&Gg_1=1&Gv_1=0&Gt_1=1&Remark_1=";
    const std::vector<std::pair<const char*, std::string>> bodies = {
        {"no date", "OrdererCI=shop&ReceiverCI=farm&RecCount=1&" + g0},
        {"no count", head + g0},
        {"count above groups", head + "RecCount=2&" + g0},
        {"count below groups", head + "RecCount=1&" + g0 + g1},
        {"a field of the group missing", head + "RecCount=1&Product_0=a&Quantity_0=1&Dg_0=1&Vat_0=&Gg_0=1&Gv_0=0&Gt_0=1"},
        {"count not a number", head + "RecCount=x&" + g0},
        {"negative count", head + "RecCount=%2D1&" + g0},
        {"quantity not a number", head + "RecCount=1&Product_0=a&Quantity_0=abc&Dg_0=1&Vat_0=&Gg_0=1&Gv_0=0&Gt_0=1&Remark_0="},
        {"empty price", head + "RecCount=1&Product_0=a&Quantity_0=1&Dg_0=&Vat_0=&Gg_0=1&Gv_0=0&Gt_0=1&Remark_0="},
        {"day the month lacks", "DeliverDate=2024%2D02%2D30&OrdererCI=shop&ReceiverCI=farm&RecCount=1&" + g0},
        {"month 13", "DeliverDate=2024%2D13%2D01&OrdererCI=shop&ReceiverCI=farm&RecCount=1&" + g0},
        {"words for a date", "DeliverDate=tomorrow&OrdererCI=shop&ReceiverCI=farm&RecCount=1&" + g0},
        {"bytes no code page 949 character", head + "RecCount=1&Product_0=%FF%FE&Quantity_0=1&Dg_0=1&Vat_0=&Gg_0=1&Gv_0=0&Gt_0=1&Remark_0="},
        {"a cut double-byte character", head + "RecCount=1&" + g0 + "%B0"},
        {"a closing tag in a remark", head + "RecCount=1&Product_0=a&Quantity_0=1&Dg_0=1&Vat_0=&Gg_0=1&Gv_0=0&Gt_0=1&Remark_0=%3C%2FTD%3E"},
        {"a field twice", head + "RecCount=1&" + g0 + "&Quantity_0=2"},
        {"an amount beyond currency", head + "RecCount=1&Product_0=a&Quantity_0=1e300&Dg_0=1&Vat_0=&Gg_0=1&Gv_0=0&Gt_0=1&Remark_0="},
    };
    for (const auto& [what, body] : bodies) {
        Raw r = raw("POST", "/order_ctos_xml/orders_update.php", body, cookie);
        EXPECT_EQ(r.status, 400) << what;
        QString reply = QString::fromStdString(r.body);
        EXPECT_FALSE(success(reply)) << what;
        EXPECT_FALSE(tag(reply, "failmsg").isEmpty()) << what;
        StoredOrder o = store->order(key);
        ASSERT_EQ(o.lines.size(), 1u) << what;
        EXPECT_EQ(o.lines[0].product, QStringLiteral("keep")) << what;
    }
    EXPECT_FALSE(store->order({"farm", "shop", "2024-02-30"}).exists);

    // Display list: count mismatch and an empty key.
    EXPECT_EQ(raw("POST", "/order_ctos_xml/display_update.php", "OrdererCI=shop&ReceiverCI=farm&RecCount=2&Product_0=a", cookie).status, 400);
    EXPECT_EQ(raw("POST", "/order_ctos_xml/display_update.php", "OrdererCI=shop&ReceiverCI=farm&RecCount=1&Product_0=", cookie).status, 400);
    EXPECT_TRUE(store->displayList("farm", "shop").empty());

    // Framework-level refusals answer in tag text too.
    std::string big = head + "RecCount=1&" + g0 + "&pad=" + std::string(1024 * 1024 + 10, 'x');
    Raw r = raw("POST", "/order_ctos_xml/orders_update.php", big, cookie);
    EXPECT_EQ(r.status, 413);
    EXPECT_FALSE(tag(QString::fromStdString(r.body), "failmsg").isEmpty());
    r = raw("GET", "/order_ctos_xml/nothing.php", "", cookie);
    EXPECT_EQ(r.status, 404);
    EXPECT_FALSE(success(QString::fromStdString(r.body)));
    EXPECT_FALSE(tag(QString::fromStdString(r.body), "failmsg").isEmpty());
    r = raw("GET", "/order_ctos_xml/orders_update.php?" + head + "RecCount=0", "", cookie);
    EXPECT_EQ(r.status, 405);
    EXPECT_EQ(store->order(key).lines.size(), 1u);
    // Dates on the read side are checked as well.
    r = raw("GET", "/invoices_xml/deliver_select.php?Date1=2024%2D03%2D01&Date2=x&SellerCI=farm&BuyerCI=shop", "", cookie);
    EXPECT_EQ(r.status, 400);

    // And the server is still there.
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
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            corvane::fncGetAndPost h;
            h.setTotalTimeout(30000);
            const QString date = QStringLiteral("2024-04-%1").arg(i + 1, 2, 10, QLatin1Char('0'));
            for (int round = 0; round < kRounds; ++round) {
                QString reply;
                if (!h.SendPost(url("/order_ctos_xml/orders_update.php"), orderBody(date, linesOf(i, round)).join('&'), reply) ||
                    !success(reply))
                    ++failures;
            }
        });
    }
    for (auto& t : clients) t.join();
    EXPECT_EQ(failures.load(), 0);
    for (int i = 0; i < kClients; ++i) {
        const QString date = QStringLiteral("2024-04-%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        StoredOrder o = store->order({"farm", "shop", date});
        auto want = linesOf(i, kRounds - 1);
        ASSERT_EQ(o.lines.size(), want.size()) << i;
        for (size_t k = 0; k < want.size(); ++k) {
            EXPECT_EQ(o.lines[k].remark, want[k].remark);
            EXPECT_EQ(o.lines[k].product, want[k].product);
            EXPECT_EQ(o.lines[k].quantity, c(kRounds));
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
    EXPECT_FALSE(ok.isEmpty()) << l.join('\n').toStdString();
    EXPECT_TRUE(ok.endsWith(QStringLiteral("ms")));
    EXPECT_FALSE(lineWith(QStringLiteral("orderer=가?게 status=401")).isEmpty()) << l.join('\n').toStdString();
    EXPECT_FALSE(l.join('\n').contains(QStringLiteral("secret-password")));
    EXPECT_FALSE(lineWith(QStringLiteral("/missing orderer=- status=404")).isEmpty());
}

}  // namespace
