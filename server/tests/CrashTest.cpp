// The server binary is killed with SIGKILL while clients replace orders; after a restart every
// order must be one whole version, and no acknowledged version may be lost.
#include "ServerRig.h"
#include "SqliteStore.h"

#include <corvane/fncGetAndPost.h>
#include <corvane/fncXML.h>
#include <vendra/order/Protocol.h>

#include <gtest/gtest.h>

#include <QStringList>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace vendra::server;
using namespace vendra::server::test;

namespace {

// A vendra-server child process on a free port.
class ServerProcess {
public:
    explicit ServerProcess(const std::string& db) {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            close(fds[1]);
            execl(VENDRA_SERVER_BIN, VENDRA_SERVER_BIN, "--db", db.c_str(), "serve", "--port", "0", "--quiet",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // "vendra-server listening on http://127.0.0.1:PORT ..."
        FILE* out = fdopen(fds[0], "r");
        char line[512] = {0};
        if (out && std::fgets(line, sizeof line, out)) {
            std::string l(line);
            size_t colon = l.find("127.0.0.1:");
            if (colon != std::string::npos) port_ = std::atoi(l.c_str() + colon + 10);
        }
        if (out) std::fclose(out);
    }
    ~ServerProcess() { kill9(); }

    int port() const { return port_; }
    void kill9() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

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

TEST(CrashTest, KilledWhileUpdatingLeavesEveryOrderWholeAndKeepsWhatWasAcknowledged) {
    TempStoreDir dir;
    {
        SqliteStore seed(dir.path());
        AddOrderer(seed, "farm", "shop", "A", "pw");
    }
    auto server = std::make_unique<ServerProcess>(dir.pathStd());
    ASSERT_GT(server->port(), 0);
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(server->port());
    corvane::fncXML xml;
    corvane::fncGetAndPost::ClearCookies();
    corvane::fncGetAndPost h;
    QString reply;
    ASSERT_TRUE(h.SendGet(base + QString::fromLatin1(vendra::path::Login), "OrdererCI=shop&ReceiverCI=farm&PassWord=pw",
                          reply));
    ASSERT_TRUE(xml.GetTag(reply, u"success", 11).toBool()) << reply.toStdString();

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
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (total < 150 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    server->kill9();
    stop = true;
    for (auto& t : clients) t.join();
    ASSERT_GE(total.load(), 150);

    // The server starts again on the same file; every order reads as one whole version.
    server = std::make_unique<ServerProcess>(dir.pathStd());
    ASSERT_GT(server->port(), 0);
    SqliteStore after(dir.path());
    for (int i = 0; i < kClients; ++i) {
        const StoredOrder o = after.order({"farm", "shop", dateOf(i)});
        ASSERT_FALSE(o.lines.empty()) << "client " << i;
        const QString remark = o.lines[0].remark;
        const int version = remark.mid(1).toInt();
        EXPECT_EQ(static_cast<int>(o.lines.size()), lineCountOf(version))
            << "client " << i << " " << remark.toStdString();
        for (const OrderLine& l : o.lines) {
            EXPECT_EQ(l.remark, remark) << "client " << i;
            EXPECT_EQ(l.quantity, Currency::fromInt(version));
        }
        EXPECT_GE(version, acknowledged[i].load()) << "an acknowledged update was lost";
        EXPECT_LE(version, sent[i].load());
    }
}

}  // namespace
