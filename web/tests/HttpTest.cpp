// Requests against real servers on loopback ports: the exact bytes on the wire, the tries, the
// limits, cookies and reply decoding.
#include "corvane/UrlEncoding.h"
#include "corvane/fncGetAndPost.h"

#include "ostrel/Cp949.h"
#include "ostrel/RuntimeError.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

using corvane::fncGetAndPost;

namespace {

struct Seen {
    std::string method, target, body;
    std::multimap<std::string, std::string> headers;  // without the server's own REMOTE_/LOCAL_ entries
};

// An HTTP server on a free loopback port that records every request it answers.
class TestServer {
public:
    explicit TestServer(const std::function<void(httplib::Server&, TestServer&)>& routes) {
        routes(server_, *this);
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~TestServer() {
        release();
        server_.stop();
        thread_.join();
    }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    QString url(const char* path) const { return QString::fromStdString(base() + path); }

    void record(const httplib::Request& req) {
        Seen s{req.method, req.target, req.body, {}};
        for (const auto& [k, v] : req.headers)
            if (k.rfind("REMOTE_", 0) != 0 && k.rfind("LOCAL_", 0) != 0) s.headers.emplace(k, v);
        std::lock_guard lock(mutex_);
        seen_.push_back(std::move(s));
    }
    std::vector<Seen> seen() {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    // Handlers that hold a request wait here until the test lets them go.
    void hold() {
        std::unique_lock lock(mutex_);
        released_.wait_for(lock, std::chrono::seconds(10), [this] { return open_; });
    }
    void release() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        released_.notify_all();
    }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool open_ = false;
    std::vector<Seen> seen_;
};

std::set<std::string> headerNames(const Seen& s) {
    std::set<std::string> names;
    for (const auto& h : s.headers) names.insert(h.first);
    return names;
}

// Accepts connections, reads the request head and closes without a reply.
class DroppingServer {
public:
    DroppingServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        ::listen(fd_, 16);
        thread_ = std::thread([this] { run(); });
    }
    ~DroppingServer() {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/drop").arg(port_); }
    int accepted() const { return accepted_; }

private:
    void run() {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            int c = ::accept(fd_, nullptr, nullptr);
            if (c < 0) continue;
            ++accepted_;
            std::string head;
            char buf[1024];
            while (head.find("\r\n\r\n") == std::string::npos) {
                pollfd q{c, POLLIN, 0};
                if (::poll(&q, 1, 1000) <= 0) break;
                ssize_t n = ::read(c, buf, sizeof buf);
                if (n <= 0) break;
                head.append(buf, static_cast<size_t>(n));
            }
            ::close(c);
        }
    }
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> accepted_{0};
    std::thread thread_;
};

// A loopback port that nobody listens on.
int refusedPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

class HttpTest : public ::testing::Test {
protected:
    void SetUp() override { fncGetAndPost::ClearCookies(); }
    fncGetAndPost web;
};

void echoRoutes(httplib::Server& s, TestServer& self) {
    auto echo = [&self](const httplib::Request& req, httplib::Response& res) {
        self.record(req);
        res.set_content("<success>1</success>", "text/plain");
    };
    s.Get(".*", echo);
    s.Post(".*", echo);
}

}  // namespace

TEST_F(HttpTest, GetSendsTheTargetAndTheCharsetHeaderOnly) {
    TestServer server(echoRoutes);
    QString param = web.ParaForm(QStringLiteral("OrdererCI"), QStringLiteral("가게 1")) + QLatin1Char('&')
                    + web.ParaForm(QStringLiteral("RecCount"), int32_t(3));
    QString reply;
    ASSERT_TRUE(web.SendGet(server.url("/order_ctos_xml/login.php"), param, reply));
    EXPECT_EQ(reply, QStringLiteral("<success>1</success>"));

    ASSERT_TRUE(web.SendGet(server.url("/bare"), QString(), reply));

    auto seen = server.seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].method, "GET");
    EXPECT_EQ(seen[0].target, "/order_ctos_xml/login.php?OrdererCI=%B0%A1%B0%D4%201&RecCount=3");
    EXPECT_EQ(seen[0].body, "");
    EXPECT_EQ(headerNames(seen[0]), (std::set<std::string>{"Accept", "Content", "Host"}));
    EXPECT_EQ(seen[0].headers.find("Content")->second, "charset=euc-kr");
    EXPECT_EQ(seen[1].target, "/bare");  // no "?" without parameters

    // The server reads the query back with the same codec.
    auto fields = corvane::ParseForm(QByteArray::fromStdString(seen[0].target.substr(seen[0].target.find('?'))));
    EXPECT_EQ(corvane::FormValue(fields, u"OrdererCI"), QStringLiteral("가게 1"));
    EXPECT_EQ(corvane::FormValue(fields, u"RecCount"), QStringLiteral("3"));
}

TEST_F(HttpTest, PostSendsTheBodyBytesWithTheFormContentType) {
    TestServer server(echoRoutes);
    QString body = web.IndexedParaForm(QStringLiteral("Product"), 0, QStringLiteral("사과_kg")) + QLatin1Char('&')
                   + web.ParaForm(QStringLiteral("Flag"), true) + QLatin1Char('&')
                   + web.ParaForm(QStringLiteral("Remark"), ostrel::Variant());
    // A body above curl's 1 KiB threshold would otherwise go out behind "Expect: 100-continue".
    QString large = QStringLiteral("Big=") + QString(3000, QLatin1Char('x'));
    QString reply;
    ASSERT_TRUE(web.SendPost(server.url("/order_ctos_xml/orders_update.php"), body, reply));
    ASSERT_TRUE(web.SendPost(server.url("/order_ctos_xml/orders_update.php"), large, reply));

    auto seen = server.seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].method, "POST");
    EXPECT_EQ(seen[0].target, "/order_ctos_xml/orders_update.php");
    EXPECT_EQ(seen[0].body, "Product_0=%BB%E7%B0%FA%5Fkg&Flag=1&Remark=");
    EXPECT_EQ(headerNames(seen[0]), (std::set<std::string>{"Accept", "Content-Length", "Content-Type", "Host"}));
    EXPECT_EQ(seen[0].headers.find("Content-Type")->second, "application/x-www-form-urlencoded");
    EXPECT_EQ(seen[1].body.size(), 3004u);
    EXPECT_EQ(headerNames(seen[1]).count("Expect"), 0u);
}

TEST_F(HttpTest, ErrorPagesAreRepliesAndRepliesAreDecodedByTheirCharset) {
    TestServer server([](httplib::Server& s, TestServer&) {
        s.Get("/euc", [](const httplib::Request&, httplib::Response& res) {
            QByteArray bytes = ostrel::cp949::encode(u"<notice>배송 안내</notice>");
            res.set_content(bytes.toStdString(), "text/plain; charset=EUC-KR");
        });
        s.Get("/uhc", [](const httplib::Request&, httplib::Response& res) {
            QByteArray bytes = ostrel::cp949::encode(u"똠방각하");  // outside the KS X 1001 set
            res.set_content(bytes.toStdString(), "text/html; charset=\"ks_c_5601-1987\"");
        });
        s.Get("/utf8", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("\xEF\xBB\xBF" "가나", "text/plain; charset=utf-8");
        });
        s.Get("/none", [](const httplib::Request&, httplib::Response& res) { res.set_content("다라", "text/plain"); });
        s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
            res.set_content("없는 페이지", "text/html; charset=utf-8");
        });
    });
    QString reply;
    ASSERT_TRUE(web.SendGet(server.url("/euc"), QString(), reply));
    EXPECT_EQ(reply, QStringLiteral("<notice>배송 안내</notice>"));
    ASSERT_TRUE(web.SendGet(server.url("/uhc"), QString(), reply));
    EXPECT_EQ(reply, QStringLiteral("똠방각하"));
    ASSERT_TRUE(web.SendGet(server.url("/utf8"), QString(), reply));
    EXPECT_EQ(reply, QStringLiteral("가나"));
    ASSERT_TRUE(web.SendGet(server.url("/none"), QString(), reply));
    EXPECT_EQ(reply, QStringLiteral("다라"));

    EXPECT_TRUE(web.SendGet(server.url("/missing"), QString(), reply));
    EXPECT_EQ(reply, QStringLiteral("없는 페이지"));
    EXPECT_EQ(web.LastTries(), 1);
    EXPECT_TRUE(web.SendPost(server.url("/missing"), QStringLiteral("a=1"), reply));
    EXPECT_EQ(reply, QStringLiteral("없는 페이지"));
}

TEST_F(HttpTest, FailedConnectionsAreTriedExactlyThreeTimes) {
    QString reply = QStringLiteral("stale");
    const QString refused = QStringLiteral("http://127.0.0.1:%1/x").arg(refusedPort());
    EXPECT_FALSE(web.SendGet(refused, QStringLiteral("a=1"), reply));
    EXPECT_EQ(reply, QString());
    EXPECT_EQ(web.LastTries(), 3);
    EXPECT_FALSE(web.LastError().isEmpty());

    DroppingServer dropping;
    reply = QStringLiteral("stale");
    EXPECT_FALSE(web.SendPost(dropping.url(), QStringLiteral("a=1"), reply));
    EXPECT_EQ(reply, QString());
    EXPECT_EQ(dropping.accepted(), 3);
    EXPECT_FALSE(web.SendGet(dropping.url(), QString(), reply));
    EXPECT_EQ(dropping.accepted(), 6);

    // A later success on the same instance clears the failure.
    TestServer server(echoRoutes);
    EXPECT_TRUE(web.SendGet(server.url("/ok"), QString(), reply));
    EXPECT_EQ(web.LastTries(), 1);
    EXPECT_TRUE(web.LastError().isEmpty());
}

TEST_F(HttpTest, AHangingServerIsCutOffByTheTotalTimeOut) {
    std::atomic<int> calls{0};
    TestServer server([&calls](httplib::Server& s, TestServer& self) {
        s.Get("/slow", [&calls, &self](const httplib::Request&, httplib::Response& res) {
            ++calls;
            self.hold();
            res.set_content("late", "text/plain");
        });
    });
    web.setTotalTimeout(250);
    EXPECT_EQ(web.ConnectTimeout(), 5000);
    QString reply;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(web.SendGet(server.url("/slow"), QString(), reply));
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(reply, QString());
    EXPECT_EQ(web.LastTries(), 3);
    EXPECT_EQ(calls.load(), 3);
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST_F(HttpTest, RepliesAboveTheLimitAreRefusedWithoutRetrying) {
    std::atomic<int> calls{0};
    TestServer server([&calls](httplib::Server& s, TestServer&) {
        s.Get("/sized", [&calls](const httplib::Request&, httplib::Response& res) {
            ++calls;
            res.set_content(std::string(5000, 'a'), "text/plain");
        });
        s.Get("/chunked", [&calls](const httplib::Request&, httplib::Response& res) {
            ++calls;
            res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
                if (offset >= 8000) {
                    sink.done();
                    return true;
                }
                std::string chunk(1000, 'b');
                return sink.write(chunk.data(), chunk.size());
            });
        });
    });
    EXPECT_EQ(web.MaxReplyBytes(), 64LL * 1024 * 1024);
    web.setMaxReplyBytes(4096);
    QString reply = QStringLiteral("stale");
    for (const char* path : {"/sized", "/chunked"}) {
        try {
            web.SendGet(server.url(path), QString(), reply);
            ADD_FAILURE() << path << " was accepted";
        } catch (const ostrel::RuntimeError& e) {
            EXPECT_EQ(e.number(), 7) << path;
            EXPECT_TRUE(e.description().contains(QStringLiteral("4096"))) << path;
        }
        EXPECT_EQ(reply, QString());
        EXPECT_EQ(web.LastTries(), 1);
    }
    EXPECT_EQ(calls.load(), 2);
    web.setMaxReplyBytes(8000);
    EXPECT_TRUE(web.SendGet(server.url("/chunked"), QString(), reply));
    EXPECT_EQ(reply.size(), 8000);
}

TEST_F(HttpTest, CookiesAreKeptForTheRunAndSentBack) {
    TestServer server([](httplib::Server& s, TestServer& self) {
        s.Get("/login", [&self](const httplib::Request& req, httplib::Response& res) {
            self.record(req);
            res.set_header("Set-Cookie", "session=s3cr3t; Path=/; HttpOnly");
            res.set_content("<success>1</success>", "text/plain");
        });
        s.Post("/orders", [&self](const httplib::Request& req, httplib::Response& res) {
            self.record(req);
            res.set_content("ok", "text/plain");
        });
    });
    QString reply;
    ASSERT_TRUE(web.SendGet(server.url("/login"), QString(), reply));
    fncGetAndPost other;  // cookies belong to the run, not to one instance
    ASSERT_TRUE(other.SendPost(server.url("/orders"), QStringLiteral("a=1"), reply));
    fncGetAndPost::ClearCookies();
    ASSERT_TRUE(other.SendPost(server.url("/orders"), QStringLiteral("a=1"), reply));

    auto seen = server.seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].headers.count("Cookie"), 0u);
    ASSERT_EQ(seen[1].headers.count("Cookie"), 1u);
    EXPECT_EQ(seen[1].headers.find("Cookie")->second, "session=s3cr3t");
    EXPECT_EQ(seen[2].headers.count("Cookie"), 0u);
}

TEST_F(HttpTest, TargetsWithSpacesOrKoreanTextStillGoOut) {
    TestServer server(echoRoutes);
    QString reply;
    // Field names are written unchanged; whatever cannot travel raw is escaped on the way out.
    ASSERT_TRUE(web.SendGet(server.url("/q"), QStringLiteral("이름=a b"), reply));
    auto seen = server.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].target, "/q?%C0%CC%B8%A7=a%20b");
    EXPECT_FALSE(web.SendGet(QStringLiteral("ftp://127.0.0.1/x"), QString(), reply));
}
