// Requests against real servers on loopback ports: the exact bytes on the wire, the tries, the
// limits, the HTTP status, the whole call's limit and its wait hook, cookies and reply decoding.
#include "corvane/fncGetAndPost.h"

#include "ostrel/Cp949.h"

#include "ErrorNumber.h"
#include "LoopbackServers.h"

using corvane::fncGetAndPost;
using namespace vendra::test;

namespace {

// Every route the tests use; each handler records what reaches it.
void routes(TestServer& s) {
    auto serve = [&s](const char* path, QByteArray body, const char* type) {
        s.http.Get(path, [&s, body, type](const httplib::Request& req, httplib::Response& res) {
            s.record(req);
            res.set_content(body.toStdString(), type);
        });
    };
    serve("/euc", ostrel::cp949::encode(u"<notice>배송 안내</notice>"), "text/plain; charset=EUC-KR");
    serve("/uhc", ostrel::cp949::encode(u"똠방각하"), "text/html; charset=\"ks_c_5601-1987\"");
    serve("/utf8", "\xEF\xBB\xBF" "가나", "text/plain; charset=utf-8");
    serve("/none", "다라", "text/plain");
    serve("/sized", QByteArray(5000, 'a'), "text/plain");
    s.http.Get("/login", [&s](const httplib::Request& req, httplib::Response& res) {
        s.record(req);
        res.set_header("Set-Cookie", "session=s3cr3t; Path=/; HttpOnly");
    });
    s.http.Get("/slow", [&s](const httplib::Request& req, httplib::Response&) {
        s.record(req);
        s.hold();
    });
    s.http.Get("/chunked", [&s](const httplib::Request& req, httplib::Response& res) {
        s.record(req);  // no length announced: the limit must hold while the reply streams in
        res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
            if (offset >= 8000) return sink.done(), true;
            return sink.write(std::string(1000, 'b').data(), 1000);
        });
    });
    auto echo = [&s](const httplib::Request& req, httplib::Response& res) {
        s.record(req);
        res.set_content("<success>1</success>", "text/plain");
    };
    s.http.Get(R"(/status/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        res.status = std::stoi(req.matches[1]);
        res.set_content("<status/>", "text/plain");
    });
    s.http.Get("/(order|bare|q|ok).*", echo);
    s.http.Post("/(order|big).*", echo);
    s.http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        res.set_content("없는 페이지", "text/html; charset=utf-8");
    });
}

class HttpTest : public ::testing::Test {
protected:
    void SetUp() override { fncGetAndPost::ClearCookies(); }
    TestServer server{routes};
    fncGetAndPost web;
    QString reply;
};

}  // namespace

TEST_F(HttpTest, GetAndPostSendExactBytesAndDecodeRepliesByTheirCharset) {
    QString param = web.ParaForm(QStringLiteral("OrdererCI"), QStringLiteral("가게 1")) + QStringLiteral("&RecCount=3");
    ASSERT_TRUE(web.SendGet(server.url("/order_ctos_xml/login.php"), param, reply) && reply == "<success>1</success>");
    ASSERT_TRUE(web.SendGet(server.url("/bare"), QString(), reply));
    // Field names travel unchanged; what cannot travel raw in a target is escaped on the way out.
    ASSERT_TRUE(web.SendGet(server.url("/q"), QStringLiteral("이름=a b"), reply));
    QString body = web.IndexedParaForm(QStringLiteral("Product"), 0, QStringLiteral("사과_kg")) + "&Flag=1&Remark=";
    ASSERT_TRUE(web.SendPost(server.url("/order_ctos_xml/orders_update.php"), body, reply));
    // Above curl's 1 KiB threshold a body would otherwise wait behind "Expect: 100-continue".
    ASSERT_TRUE(web.SendPost(server.url("/big"), QStringLiteral("Big=") + QString(3000, u'x'), reply));

    ASSERT_EQ(server.seen.size(), 5u);
    const Seen& get = server.seen[0];
    EXPECT_EQ(get.method + ' ' + get.target + ' ' + get.body,
              "GET /order_ctos_xml/login.php?OrdererCI=%B0%A1%B0%D4%201&RecCount=3 ");
    EXPECT_EQ(get.names(), (std::set<std::string>{"Accept", "Content", "Host"}));
    EXPECT_EQ(get.headers.find("Content")->second, "charset=euc-kr");
    EXPECT_EQ(server.seen[1].target + server.seen[2].target, "/bare/q?%C0%CC%B8%A7=a%20b");

    const Seen& post = server.seen[3];
    EXPECT_EQ(post.method + ' ' + post.target + ' ' + post.body,
              "POST /order_ctos_xml/orders_update.php Product_0=%BB%E7%B0%FA%5Fkg&Flag=1&Remark=");
    EXPECT_EQ(post.names(), (std::set<std::string>{"Accept", "Content-Length", "Content-Type", "Host"}));
    EXPECT_EQ(post.headers.find("Content-Type")->second, "application/x-www-form-urlencoded");
    EXPECT_TRUE(server.seen[4].body.size() == 3004u && !server.seen[4].names().count("Expect"));

    const std::pair<const char*, QString> expected[] = {  // by their charset; an error page is a reply too
        {"/euc", QStringLiteral("<notice>배송 안내</notice>")}, {"/uhc", QStringLiteral("똠방각하")},
        {"/utf8", QStringLiteral("가나")}, {"/none", QStringLiteral("다라")}, {"/missing", QStringLiteral("없는 페이지")}};
    for (const auto& [path, text] : expected)
        EXPECT_TRUE(web.SendGet(server.url(path), QString(), reply) && reply == text) << path << reply.toStdString();
    EXPECT_EQ(web.LastTries(), 1);  // a 404 is a reply, not a failure to retry
    EXPECT_TRUE(web.SendPost(server.url("/missing"), QStringLiteral("a=1"), reply) && reply == expected[4].second);
}

TEST_F(HttpTest, FailedAndHangingConnectionsAreTriedExactlyThreeTimes) {
    int port = 0;
    ::close(loopbackSocket(port, false));
    DroppingServer dropping;
    EXPECT_TRUE(web.ConnectTimeout() == 5000 && web.TotalTimeout() == 30000 && web.MaxReplyBytes() == 64LL << 20);
    web.setTotalTimeout(250);  // cuts off the hanging server
    ASSERT_TRUE(web.SendGet(server.url("/ok"), QString(), reply) && web.LastStatus() == 200);
    const std::pair<QString, bool> failing[] = {{QStringLiteral("http://127.0.0.1:%1/x").arg(port), false},
        {dropping.url(), true}, {dropping.url(), false}, {server.url("/slow"), false}};
    for (const auto& [url, post] : failing) {
        reply = QStringLiteral("stale");
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(post ? web.SendPost(url, QStringLiteral("a=1"), reply) : web.SendGet(url, QString(), reply));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_TRUE(reply.isEmpty() && web.LastTries() == 3 && !web.LastError().isEmpty()) << url.toStdString();
        EXPECT_EQ(web.LastStatus(), 0);  // nothing read: no status, whatever the call before read
    }
    EXPECT_TRUE(dropping.accepted == 6 && server.seen.size() == 1u + 3);  // the hanging server's three
    EXPECT_FALSE(web.SendGet(QStringLiteral("ftp://127.0.0.1/x"), QString(), reply));  // http(s) only

    web.setTotalTimeout(30000);  // a later success clears the failure
    EXPECT_TRUE(web.SendGet(server.url("/ok"), QString(), reply) && web.LastTries() == 1 && web.LastError().isEmpty());
}

TEST_F(HttpTest, RepliesAboveTheLimitAreRefusedWithoutRetrying) {
    web.setMaxReplyBytes(4096);
    for (const char* path : {"/sized", "/chunked"}) {
        reply = QStringLiteral("stale");
        QString why;
        EXPECT_EQ(errorOf([&] { web.SendGet(server.url(path), QString(), reply); }, &why), 7) << path;
        EXPECT_TRUE(why.contains(QStringLiteral("4096")) && reply.isEmpty()) << path;
    }
    EXPECT_EQ(server.seen.size(), 2u);
    web.setMaxReplyBytes(8000);
    EXPECT_TRUE(web.SendGet(server.url("/chunked"), QString(), reply) && reply.size() == 8000);
}

TEST_F(HttpTest, CookiesAreKeptForTheRunAndSentBack) {
    ASSERT_TRUE(web.SendGet(server.url("/login"), QString(), reply));
    fncGetAndPost other;  // cookies belong to the run, not to one instance
    ASSERT_TRUE(other.SendPost(server.url("/orders"), QStringLiteral("a=1"), reply));
    fncGetAndPost::ClearCookies();
    ASSERT_TRUE(other.SendPost(server.url("/orders"), QStringLiteral("a=1"), reply));

    ASSERT_EQ(server.seen.size(), 3u);
    EXPECT_EQ(server.seen[0].headers.count("Cookie") + server.seen[2].headers.count("Cookie"), 0u);
    ASSERT_EQ(server.seen[1].headers.count("Cookie"), 1u);
    EXPECT_EQ(server.seen[1].headers.find("Cookie")->second, "session=s3cr3t");
}

TEST_F(HttpTest, StatusOfEveryReplyWithAndWithoutAWaitHook) {
    for (bool hooked : {false, true}) {
        web.setWaitHook(hooked ? fncGetAndPost::WaitHook([](int) { return true; }) : nullptr);
        for (int status : {200, 204, 403, 404, 500, 503}) {
            EXPECT_TRUE(web.SendGet(server.url("/status/") + QString::number(status), QString(), reply)) << status;
            EXPECT_TRUE(web.LastStatus() == status && !web.LastCancelled()) << status << " " << web.LastStatus();
        }
        EXPECT_EQ(reply, QStringLiteral("없는 페이지"));  // an error page is a reply: its body
    }
}

TEST_F(HttpTest, AHungServerCostsOneCallLimitAndTheHookCanCancel) {
    int port = 0;
    const int silent = loopbackSocket(port, true);  // accepts connections (the kernel's backlog), never answers
    const QString url = QStringLiteral("http://127.0.0.1:%1/hang").arg(port);
    // Every try would wait 30 s. A whole call limited to 300 ms makes one try and no second, the caller
    // having its turns while it waits; the hook's word cancels at once, with no further tries.
    struct Case { int limitMs, cancelOnTurn; };
    for (const Case c : {Case{300, 0}, Case{fncGetAndPost::kDefaultCallTimeoutMs, 3}}) {
        SCOPED_TRACE(c.limitMs);
        fncGetAndPost call;
        call.setCallTimeout(c.limitMs);
        std::vector<int> seen;
        call.setWaitHook([&](int ms) {
            seen.push_back(ms);
            return int(seen.size()) != c.cancelOnTurn;
        });
        reply = "old";
        EXPECT_FALSE(c.cancelOnTurn ? call.SendGet(url, QString(), reply) : call.SendPost(url, "a=1", reply));
        EXPECT_TRUE(reply.isEmpty() && call.LastTries() == 1 && call.LastStatus() == 0);
        EXPECT_EQ(call.LastCancelled(), c.cancelOnTurn > 0);
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()) &&
                    (c.cancelOnTurn ? int(seen.size()) == c.cancelOnTurn : seen.size() >= 2u)) << seen.size();
    }
    ::close(silent);
}
