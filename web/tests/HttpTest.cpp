// Requests against real servers on loopback ports: the exact bytes on the wire, the tries, the
// limits, cookies and reply decoding.
#include "corvane/UrlEncoding.h"
#include "corvane/fncGetAndPost.h"

#include "ostrel/Cp949.h"
#include "ostrel/RuntimeError.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <set>
#include <thread>

using corvane::fncGetAndPost;

namespace {

struct Seen {
    std::string method, target, body;
    std::multimap<std::string, std::string> headers;  // without the server's REMOTE_/LOCAL_ entries
    std::set<std::string> names() const {
        std::set<std::string> n;
        for (const auto& h : headers) n.insert(h.first);
        return n;
    }
};

// An HTTP server on a free loopback port; `record` keeps a request, `hold` blocks a handler
// until the server goes away.
struct TestServer {
    httplib::Server http;
    int port = 0;
    std::thread thread;
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    std::vector<Seen> seen;

    explicit TestServer(const std::function<void(TestServer&)>& routes) {
        routes(*this);
        port = http.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { http.listen_after_bind(); });
    }
    ~TestServer() {
        { std::lock_guard lock(mutex); open = true; }
        released.notify_all();
        http.stop();
        thread.join();
    }
    QString url(const char* path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path); }
    void record(const httplib::Request& req) {
        Seen s{req.method, req.target, req.body, {}};
        for (const auto& [k, v] : req.headers)
            if (k.rfind("REMOTE_", 0) != 0 && k.rfind("LOCAL_", 0) != 0) s.headers.emplace(k, v);
        std::lock_guard lock(mutex);
        seen.push_back(std::move(s));
    }
    void hold() {
        std::unique_lock lock(mutex);
        released.wait_for(lock, std::chrono::seconds(10), [this] { return open; });
    }
};

void echoRoutes(TestServer& s) {
    auto echo = [&s](const httplib::Request& req, httplib::Response& res) {
        s.record(req);
        res.set_content("<success>1</success>", "text/plain");
    };
    s.http.Get(".*", echo);
    s.http.Post(".*", echo);
}

// A loopback socket on a free port; listening or not.
int loopbackSocket(int& port, bool listening) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    if (listening) ::listen(fd, 16);
    return fd;
}

// Accepts connections, reads the request head and closes without a reply.
struct DroppingServer {
    int port = 0;
    int fd = loopbackSocket(port, true);
    std::atomic<bool> stop{false};
    std::atomic<int> accepted{0};
    std::thread thread{[this] {
        while (!stop) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            int c = ::accept(fd, nullptr, nullptr);
            ++accepted;
            char buf[4096];
            pollfd q{c, POLLIN, 0};
            if (::poll(&q, 1, 1000) > 0) [[maybe_unused]] auto n = ::read(c, buf, sizeof buf);
            ::close(c);
        }
    }};
    ~DroppingServer() {
        stop = true;
        thread.join();
        ::close(fd);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/drop").arg(port); }
};

class HttpTest : public ::testing::Test {
protected:
    void SetUp() override { fncGetAndPost::ClearCookies(); }
    fncGetAndPost web;
    QString reply;
};

}  // namespace

TEST_F(HttpTest, GetSendsTheTargetAndTheCharsetHeaderOnly) {
    TestServer server(echoRoutes);
    QString param = web.ParaForm(QStringLiteral("OrdererCI"), QStringLiteral("가게 1")) + QLatin1Char('&')
                    + web.ParaForm(QStringLiteral("RecCount"), int32_t(3));
    ASSERT_TRUE(web.SendGet(server.url("/order_ctos_xml/login.php"), param, reply));
    EXPECT_EQ(reply, QStringLiteral("<success>1</success>"));
    ASSERT_TRUE(web.SendGet(server.url("/bare"), QString(), reply));
    // Field names travel unchanged; what cannot travel raw in a target is escaped on the way out.
    ASSERT_TRUE(web.SendGet(server.url("/q"), QStringLiteral("이름=a b"), reply));

    ASSERT_EQ(server.seen.size(), 3u);
    const Seen& get = server.seen[0];
    EXPECT_EQ(get.method, "GET");
    EXPECT_EQ(get.target, "/order_ctos_xml/login.php?OrdererCI=%B0%A1%B0%D4%201&RecCount=3");
    EXPECT_EQ(get.body, "");
    EXPECT_EQ(get.names(), (std::set<std::string>{"Accept", "Content", "Host"}));
    EXPECT_EQ(get.headers.find("Content")->second, "charset=euc-kr");
    EXPECT_EQ(server.seen[1].target, "/bare");
    EXPECT_EQ(server.seen[2].target, "/q?%C0%CC%B8%A7=a%20b");

    // The server reads the query back with the same codec.
    auto fields = corvane::ParseForm(QByteArray::fromStdString(get.target.substr(get.target.find('?'))));
    EXPECT_EQ(corvane::FormValue(fields, u"OrdererCI"), QStringLiteral("가게 1"));
    EXPECT_EQ(corvane::FormValue(fields, u"RecCount"), QStringLiteral("3"));
}

TEST_F(HttpTest, PostSendsTheBodyBytesWithTheFormContentType) {
    TestServer server(echoRoutes);
    QString body = web.IndexedParaForm(QStringLiteral("Product"), 0, QStringLiteral("사과_kg")) + QLatin1Char('&')
                   + web.ParaForm(QStringLiteral("Flag"), true) + QLatin1Char('&')
                   + web.ParaForm(QStringLiteral("Remark"), ostrel::Variant());
    ASSERT_TRUE(web.SendPost(server.url("/order_ctos_xml/orders_update.php"), body, reply));
    // Above curl's 1 KiB threshold a body would otherwise wait behind "Expect: 100-continue".
    ASSERT_TRUE(web.SendPost(server.url("/big"), QStringLiteral("Big=") + QString(3000, u'x'), reply));

    ASSERT_EQ(server.seen.size(), 2u);
    const Seen& post = server.seen[0];
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.target, "/order_ctos_xml/orders_update.php");
    EXPECT_EQ(post.body, "Product_0=%BB%E7%B0%FA%5Fkg&Flag=1&Remark=");
    EXPECT_EQ(post.names(), (std::set<std::string>{"Accept", "Content-Length", "Content-Type", "Host"}));
    EXPECT_EQ(post.headers.find("Content-Type")->second, "application/x-www-form-urlencoded");
    EXPECT_EQ(server.seen[1].body.size(), 3004u);
    EXPECT_EQ(server.seen[1].names().count("Expect"), 0u);
}

TEST_F(HttpTest, ErrorPagesAreRepliesAndRepliesAreDecodedByTheirCharset) {
    TestServer server([](TestServer& s) {
        auto serve = [&s](const char* path, QByteArray body, const char* type) {
            s.http.Get(path, [body, type](const httplib::Request&, httplib::Response& res) {
                res.set_content(body.toStdString(), type);
            });
        };
        serve("/euc", ostrel::cp949::encode(u"<notice>배송 안내</notice>"), "text/plain; charset=EUC-KR");
        serve("/uhc", ostrel::cp949::encode(u"똠방각하"), "text/html; charset=\"ks_c_5601-1987\"");
        serve("/utf8", "\xEF\xBB\xBF" "가나", "text/plain; charset=utf-8");
        serve("/none", "다라", "text/plain");
        s.http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
            res.set_content("없는 페이지", "text/html; charset=utf-8");
        });
    });
    const std::pair<const char*, QString> expected[] = {
        {"/euc", QStringLiteral("<notice>배송 안내</notice>")}, {"/uhc", QStringLiteral("똠방각하")},
        {"/utf8", QStringLiteral("가나")}, {"/none", QStringLiteral("다라")}, {"/missing", QStringLiteral("없는 페이지")}};
    for (const auto& [path, text] : expected) {
        EXPECT_TRUE(web.SendGet(server.url(path), QString(), reply)) << path;
        EXPECT_EQ(reply, text) << path;
    }
    EXPECT_EQ(web.LastTries(), 1);  // a 404 is a reply, not a failure to retry
    EXPECT_TRUE(web.SendPost(server.url("/missing"), QStringLiteral("a=1"), reply));
    EXPECT_EQ(reply, QStringLiteral("없는 페이지"));
}

TEST_F(HttpTest, FailedConnectionsAreTriedExactlyThreeTimes) {
    int port = 0;
    ::close(loopbackSocket(port, false));
    reply = QStringLiteral("stale");
    EXPECT_FALSE(web.SendGet(QStringLiteral("http://127.0.0.1:%1/x").arg(port), QStringLiteral("a=1"), reply));
    EXPECT_EQ(reply, QString());
    EXPECT_EQ(web.LastTries(), 3);
    EXPECT_FALSE(web.LastError().isEmpty());

    DroppingServer dropping;
    reply = QStringLiteral("stale");
    EXPECT_FALSE(web.SendPost(dropping.url(), QStringLiteral("a=1"), reply));
    EXPECT_EQ(reply, QString());
    EXPECT_EQ(dropping.accepted, 3);
    EXPECT_FALSE(web.SendGet(dropping.url(), QString(), reply));
    EXPECT_EQ(dropping.accepted, 6);
    EXPECT_FALSE(web.SendGet(QStringLiteral("ftp://127.0.0.1/x"), QString(), reply));  // http(s) only

    TestServer server(echoRoutes);  // a later success clears the failure
    EXPECT_TRUE(web.SendGet(server.url("/ok"), QString(), reply));
    EXPECT_EQ(web.LastTries(), 1);
    EXPECT_TRUE(web.LastError().isEmpty());
}

TEST_F(HttpTest, AHangingServerIsCutOffByTheTotalTimeOut) {
    std::atomic<int> calls{0};
    TestServer server([&calls](TestServer& s) {
        s.http.Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
            ++calls;
            s.hold();
            res.set_content("late", "text/plain");
        });
    });
    EXPECT_EQ(web.ConnectTimeout(), 5000);
    EXPECT_EQ(web.TotalTimeout(), 30000);
    web.setTotalTimeout(250);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(web.SendGet(server.url("/slow"), QString(), reply));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(reply, QString());
    EXPECT_EQ(web.LastTries(), 3);
    EXPECT_EQ(calls.load(), 3);
}

TEST_F(HttpTest, RepliesAboveTheLimitAreRefusedWithoutRetrying) {
    std::atomic<int> calls{0};
    TestServer server([&calls](TestServer& s) {
        s.http.Get("/sized", [&](const httplib::Request&, httplib::Response& res) {
            ++calls;
            res.set_content(std::string(5000, 'a'), "text/plain");
        });
        s.http.Get("/chunked", [&](const httplib::Request&, httplib::Response& res) {
            ++calls;  // no length announced: the limit must hold while the reply streams in
            res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
                if (offset >= 8000) return sink.done(), true;
                return sink.write(std::string(1000, 'b').data(), 1000);
            });
        });
    });
    EXPECT_EQ(web.MaxReplyBytes(), 64LL * 1024 * 1024);
    web.setMaxReplyBytes(4096);
    for (const char* path : {"/sized", "/chunked"}) {
        reply = QStringLiteral("stale");
        try {
            web.SendGet(server.url(path), QString(), reply);
            ADD_FAILURE() << path << " was accepted";
        } catch (const ostrel::RuntimeError& e) {
            EXPECT_EQ(e.number(), 7) << path;
            EXPECT_TRUE(e.description().contains(QStringLiteral("4096"))) << path;
        }
        EXPECT_EQ(reply, QString());
    }
    EXPECT_EQ(calls.load(), 2);
    web.setMaxReplyBytes(8000);
    EXPECT_TRUE(web.SendGet(server.url("/chunked"), QString(), reply));
    EXPECT_EQ(reply.size(), 8000);
}

TEST_F(HttpTest, CookiesAreKeptForTheRunAndSentBack) {
    TestServer server([](TestServer& s) {
        s.http.Get("/login", [&s](const httplib::Request& req, httplib::Response& res) {
            s.record(req);
            res.set_header("Set-Cookie", "session=s3cr3t; Path=/; HttpOnly");
        });
        s.http.Post("/orders", [&s](const httplib::Request& req, httplib::Response&) { s.record(req); });
    });
    ASSERT_TRUE(web.SendGet(server.url("/login"), QString(), reply));
    fncGetAndPost other;  // cookies belong to the run, not to one instance
    ASSERT_TRUE(other.SendPost(server.url("/orders"), QStringLiteral("a=1"), reply));
    fncGetAndPost::ClearCookies();
    ASSERT_TRUE(other.SendPost(server.url("/orders"), QStringLiteral("a=1"), reply));

    ASSERT_EQ(server.seen.size(), 3u);
    EXPECT_EQ(server.seen[0].headers.count("Cookie"), 0u);
    ASSERT_EQ(server.seen[1].headers.count("Cookie"), 1u);
    EXPECT_EQ(server.seen[1].headers.find("Cookie")->second, "session=s3cr3t");
    EXPECT_EQ(server.seen[2].headers.count("Cookie"), 0u);
}
