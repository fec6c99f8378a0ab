// The server binary as a supplier runs it: stopped by a signal while clients replace orders,
// restarted on the same store, two of it on one PostgreSQL database, and holding its connection
// limits against slow or greedy clients.
#include "Admin.h"
#include "OpenStore.h"
#include "ServerRig.h"
#include "SqliteStore.h"
#include "StoreEngines.h"

#include <corvane/fncGetAndPost.h>
#include <corvane/fncXML.h>
#include <vendra/order/Protocol.h>

#include <WaitFor.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <atomic>
#include <csignal>
#include <sstream>
#include <thread>

using namespace vendra::server;
using namespace vendra::server::test;

namespace {

constexpr int kClients = 6;

QString dateOf(int client) { return QStringLiteral("2024-05-%1").arg(client + 1, 2, 10, QLatin1Char('0')); }
int lineCountOf(int version) { return 1 + version % 7; }

QString body(int client, int version) {
    std::vector<Line> lines;
    for (int n = 0; n < lineCountOf(version); ++n)
        lines.push_back({QStringLiteral("품목%1").arg(n), QString::number(version), "10", "+", "10", "1", "11",
                         QStringLiteral("v%1").arg(version)});
    return OrderUpdateBody(dateOf(client), lines);
}

std::string seededStore(const TempStoreDir& dir) {
    SqliteStore seed(dir.path());
    AddOrderer(seed, "farm", "shop", "A", "pw");
    return dir.pathStd();
}

// SIGKILL stands for a crash or a power cut, SIGTERM for an orderly stop (exit 0 within 10 s).
// Either way every order reads as one whole version afterwards and no acknowledged one is lost.
TEST(ProcessTest, StoppedWhileUpdatingLeavesEveryOrderWholeAndKeepsWhatWasAcknowledged) {
    for (int signal : {SIGKILL, SIGTERM}) {
        SCOPED_TRACE(signal);
        TempStoreDir dir;
        auto server = std::make_unique<ServerProcess>(seededStore(dir));
        ASSERT_GT(server->port(), 0);
        const QString base = QStringLiteral("http://127.0.0.1:%1").arg(server->port());
        corvane::fncGetAndPost::ClearCookies();
        QString reply;
        ASSERT_TRUE(corvane::fncGetAndPost().SendGet(base + QString::fromLatin1(vendra::path::Login),
                                                     "OrdererCI=shop&ReceiverCI=farm&PassWord=pw", reply));

        std::atomic<int> acknowledged[kClients], sent[kClients];
        std::atomic<int> total{0};
        std::atomic<bool> stop{false};
        std::vector<std::thread> clients;
        for (int i = 0; i < kClients; ++i) {
            acknowledged[i] = -1;
            sent[i] = -1;
            clients.emplace_back([&, i] {
                corvane::fncGetAndPost c;
                c.setConnectTimeout(1000);
                c.setTotalTimeout(5000);
                for (int v = 0; !stop; ++v) {
                    sent[i] = v;
                    QString r;
                    if (!c.SendPost(base + QString::fromLatin1(vendra::path::OrdersUpdate), body(i, v), r)) break;
                    if (!corvane::fncXML().GetTag(r, u"success", 11).toBool()) break;
                    acknowledged[i] = v;
                    ++total;
                }
            });
        }
        WAIT_FOR(total >= 100);
        const auto signalled = std::chrono::steady_clock::now();
        const int exit = server->stop(signal);
        const auto took = std::chrono::steady_clock::now() - signalled;
        stop = true;
        for (auto& t : clients) t.join();
        if (signal == SIGTERM) {
            EXPECT_EQ(exit, 0);
            EXPECT_LT(took, std::chrono::seconds(10));
        }

        // The server starts again on the same file; every order reads as one whole version.
        server = std::make_unique<ServerProcess>(dir.pathStd());
        ASSERT_GT(server->port(), 0);
        SqliteStore after(dir.path());
        for (int i = 0; i < kClients; ++i) {
            const StoredOrder o = after.order({"farm", "shop", dateOf(i)});
            ASSERT_FALSE(o.lines.empty()) << "client " << i;
            const QString remark = o.lines[0].remark;
            const int version = remark.mid(1).toInt();
            EXPECT_EQ(static_cast<int>(o.lines.size()), lineCountOf(version)) << i << " " << remark.toStdString();
            for (const OrderLine& l : o.lines) {
                EXPECT_EQ(l.remark, remark) << "client " << i;
                EXPECT_EQ(l.quantity, Currency::fromInt(version));
            }
            EXPECT_GE(version, acknowledged[i].load()) << "an acknowledged update was lost";
            EXPECT_LE(version, sent[i].load());
        }
    }
}

TEST(ProcessTest, ARestartKeepsTheSessionsOfLoggedInClients) {
    TempStoreDir dir;
    auto server = std::make_unique<ServerProcess>(seededStore(dir));
    const std::string cookie = LoginCookie(server->port(), "shop", "pw");
    ASSERT_FALSE(cookie.empty());
    const std::string target = std::string(vendra::path::DisplaySelect) + "?ReceiverCI=farm&OrdererCI=shop";
    EXPECT_EQ(RawRequest(server->port(), "GET", target, {}, cookie).status, 200);
    ASSERT_EQ(server->stop(SIGTERM), 0);
    server = std::make_unique<ServerProcess>(dir.pathStd());
    EXPECT_EQ(RawRequest(server->port(), "GET", target, {}, cookie).status, 200);
    EXPECT_EQ(RawRequest(server->port(), "GET", target, {}, cookie + "x").status, 403);
}

// Two servers on one PostgreSQL database, as behind a load balancer: a session opened on one is
// good on the other, an update on one is read on the other, both find the database again after it
// restarts, and an accept by the administration command locks the order on both.
TEST(ProcessTest, TwoServersOnOnePostgresDatabaseShareSessionsOrdersAndTheAcceptanceLock) {
    PgInstance& pg = PgInstance::shared();
    ASSERT_TRUE(pg.running()) << pg.error();
    const std::string url = pg.createDatabase();
    ASSERT_FALSE(url.empty()) << pg.error();
    AddOrderer(*OpenStore(QString::fromStdString(url), 1), "farm", "shop", "A", "pw");
    ServerProcess one(url, {"--db-connections", "2"}), two(url);
    ASSERT_TRUE(one.port() > 0 && two.port() > 0);
    const std::string cookie = LoginCookie(one.port(), "shop", "pw");
    ASSERT_FALSE(cookie.empty());
    const std::string select =
        std::string(vendra::path::OrdersSelect) + "?DeliverDate=2024%2D03%2D05&OrdererCI=shop&ReceiverCI=farm";
    auto update = [&](const ServerProcess& server, const char* product) {
        const QString body = OrderUpdateBody("2024-03-05", {{product, "1", "10", "", "10", "0", "10", ""}});
        return RawRequest(server.port(), "POST", vendra::path::OrdersUpdate, body.toStdString(), cookie).status;
    };
    auto stored = [&](const ServerProcess& server) {
        return RawRequest(server.port(), "GET", select, {}, cookie).body;
    };
    EXPECT_EQ(update(one, "apple"), 200);
    EXPECT_NE(stored(two).find("apple"), std::string::npos);
    ASSERT_TRUE(pg.restart()) << pg.error();
    EXPECT_EQ(update(two, "pear"), 200);
    EXPECT_NE(stored(one).find("pear"), std::string::npos);

    auto command = [&](std::vector<std::string> args) {
        std::ostringstream out, err;
        std::istringstream in;
        CommandContext ctx{out, err, in, HashStrength::Minimal};
        args.insert(args.begin(), {"--db", url});
        const int rc = RunCommand(args, ctx);
        return std::to_string(rc) + " " + out.str() + err.str();
    };
    EXPECT_EQ(command({"orders", "accept", "farm", "shop", "2024-03-05"}), "0 order accepted\n");
    EXPECT_EQ(update(one, "plum"), 409);
    EXPECT_EQ(update(two, "plum"), 409);
    const std::string history = command({"orders", "history", "farm", "shop", "2024-03-05"});
    EXPECT_EQ(history.rfind("0 current ", 0), 0u) << history;
    for (const char* part : {"pear  1 x 10  = 10\n", "replaced ", " by shop ", "apple", "lines 1  total 10"})
        EXPECT_NE(history.find(part), std::string::npos) << part << " in " << history;
    EXPECT_EQ(history.find("plum"), std::string::npos);
    EXPECT_EQ(command({"orders", "history", "farm", "shop", "2024-03-06"}), "1 vendra-server: no such order\n");
}

// A TCP connection to the server from a chosen loopback address.
class Peer {
public:
    Peer(int port, const char* from) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        inet_pton(AF_INET, from, &a.sin_addr);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
        a.sin_port = htons(static_cast<uint16_t>(port));
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~Peer() { close(fd_); }
    void send(const std::string& bytes) { (void)::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    // What arrives within `ms`; `closed` tells when the server ended the connection.
    std::string receive(int ms) {
        std::string got;
        pollfd p{fd_, POLLIN, 0};
        char buffer[4096];
        while (!closed && poll(&p, 1, ms) > 0) {
            const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0)
                closed = true;
            else
                got.append(buffer, static_cast<size_t>(n));
            if (got.find("\r\n\r\n") != std::string::npos) break;  // a reply's head is enough
        }
        return got;
    }
    bool connected() const { return connected_; }
    bool closed = false;

private:
    int fd_;
    bool connected_ = false;
};

const std::string kLogin = std::string("GET ") + vendra::path::Login +
                           "?OrdererCI=shop&ReceiverCI=farm&PassWord=pw HTTP/1.1\r\nHost: x\r\n\r\n";

TEST(ProcessTest, ConnectionsBeyondTheLimitsInAllAndPerAddressAreRefused) {
    TempStoreDir dir;
    ServerProcess server(seededStore(dir), {"--max-per-address", "2", "--max-connections", "3"});
    ASSERT_GT(server.port(), 0);
    // Each in turn: served on a kept-alive connection, or closed unanswered.
    const std::vector<std::pair<const char*, bool>> peers = {
        {"127.0.0.1", true}, {"127.0.0.1", true}, {"127.0.0.1", false}, {"127.0.0.2", true}, {"127.0.0.3", false}};
    std::vector<std::unique_ptr<Peer>> open;
    for (auto [from, served] : peers) {
        auto p = std::make_unique<Peer>(server.port(), from);
        ASSERT_TRUE(p->connected()) << from;
        p->send(kLogin);
        const std::string reply = p->receive(5000);
        EXPECT_EQ(reply.rfind("HTTP/1.1 200", 0) == 0, served) << from << ": " << reply;
        EXPECT_EQ(p->closed, !served) << from;
        open.push_back(std::move(p));
    }
    // A place freed is taken again.
    open.erase(open.begin());
    WAIT_FOR([&] {
        Peer p(server.port(), "127.0.0.1");
        p.send(kLogin);
        return p.receive(2000).rfind("HTTP/1.1 200", 0) == 0;
    }());
}

// A client that trickles its header, one that says nothing and one that idles after a request
// are all cut off at their deadline, and meanwhile others are served as usual.
TEST(ProcessTest, SlowSilentAndIdleConnectionsAreCutOffWhileOthersAreServed) {
    TempStoreDir dir;
    ServerProcess server(seededStore(dir), {"--header-timeout", "1", "--idle-timeout", "1.5"});
    ASSERT_GT(server.port(), 0);
    struct Case {
        const char* what;
        std::string first;  // sent at once
        bool trickles;
        int atLeastMs;
        std::unique_ptr<Peer> peer{};
        std::chrono::steady_clock::time_point closedAt{};
    };
    Case cases[] = {{"trickles its header", "", true, 900},
                    {"silent", "", false, 900},
                    {"idle after a request", kLogin, false, 1400}};
    const auto start = std::chrono::steady_clock::now();
    for (Case& c : cases) {
        c.peer = std::make_unique<Peer>(server.port(), "127.0.0.2");
        c.peer->send(c.first);
    }
    int served = 0, tries = 0;
    size_t trickled = 0;
    const std::string header = kLogin.substr(0, kLogin.size() - 2);
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
        bool allClosed = true;
        for (Case& c : cases) {
            if (c.peer->closed) continue;
            const std::string got = c.peer->receive(20);
            if (c.trickles) {
                EXPECT_EQ(got, "");
            }
            if (c.peer->closed) c.closedAt = std::chrono::steady_clock::now();
            if (c.trickles && !c.peer->closed) c.peer->send(header.substr(trickled++ % header.size(), 1));
            allClosed = allClosed && c.peer->closed;
        }
        if (allClosed) break;
        ++tries;
        served += RawRequest(server.port(), "GET", kLogin.substr(4, kLogin.find(' ', 4) - 4)).status == 200;
    }
    EXPECT_EQ(served, tries);
    EXPECT_GT(trickled, 5u);
    for (const Case& c : cases) {
        ASSERT_TRUE(c.peer->closed) << c.what;
        const auto after = std::chrono::duration_cast<std::chrono::milliseconds>(c.closedAt - start).count();
        EXPECT_GE(after, c.atLeastMs) << c.what;
        EXPECT_LT(after, c.atLeastMs + 3000) << c.what;
    }
}

}  // namespace
