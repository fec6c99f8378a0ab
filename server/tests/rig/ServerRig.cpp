#include "ServerRig.h"

#include "LoopbackServers.h"

#include <corvane/fncGetAndPost.h>
#include <vendra/order/Protocol.h>

#include <httplib.h>

#include <QStringList>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vendra::server::test {

void AddOrderer(Store& store, const QString& receiver, const QString& orderer, const QString& grade,
                const QString& password) {
    store.addReceiver(receiver, QString());
    store.addOrderer({receiver, orderer, grade, HashPassword(password, HashStrength::Minimal)});
}

RunningServer::RunningServer(Store& store, const ServerOptions& options) : server_(store, options) {
    const int port = server_.bind(QStringLiteral("127.0.0.1"), 0);
    if (port <= 0) return;
    serving_ = std::thread([this] { server_.run(); });
    // The socket listens from bind on; stop() only reaches a server whose loop has begun.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!server_.isRunning() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (server_.isRunning()) port_ = port;
}

RunningServer::~RunningServer() {
    server_.stop();
    if (serving_.joinable()) serving_.join();
}

QString RunningServer::url(const char* path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(QLatin1String(path));
}

ServerProcess::ServerProcess(const std::string& db, const std::vector<std::string>& serveOptions) {
    std::vector<std::string> args = {VENDRA_SERVER_BIN, "--db", db, "serve", "--port", "0", "--quiet"};
    args.insert(args.end(), serveOptions.begin(), serveOptions.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execv(VENDRA_SERVER_BIN, argv.data());
        _exit(127);
    }
    close(fds[1]);
    // "vendra-server listening on http://127.0.0.1:PORT ..."
    FILE* out = fdopen(fds[0], "r");
    char line[512] = {0};
    if (out && std::fgets(line, sizeof line, out)) {
        const std::string l(line);
        const size_t at = l.find("127.0.0.1:");
        if (at != std::string::npos) port_ = std::atoi(l.c_str() + at + 10);
    }
    if (out) std::fclose(out);
}

ServerProcess::~ServerProcess() { stop(SIGKILL); }

int ServerProcess::stop(int signal, std::chrono::milliseconds limit) {
    if (pid_ <= 0) return -1;
    ::kill(pid_, signal);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int FreeLoopbackPort() {
    int port = 0;
    ::close(vendra::test::loopbackSocket(port, false));
    return port;
}

RawReply RawRequest(int port, const std::string& method, const std::string& target, const std::string& body,
                    const std::string& cookie) {
    httplib::Client c("127.0.0.1", port);
    c.set_read_timeout(20, 0);
    httplib::Headers h;
    if (!cookie.empty()) h.emplace("Cookie", cookie);
    httplib::Result r =
        method == "GET" ? c.Get(target, h) : c.Post(target, h, body, "application/x-www-form-urlencoded");
    if (!r) return {};
    return {r->status, r->body, r->get_header_value("Set-Cookie")};
}

std::string LoginCookie(int port, const std::string& orderer, const std::string& password,
                        const std::string& receiver) {
    const RawReply r = RawRequest(port, "GET",
                                  std::string(path::Login) + "?OrdererCI=" + orderer + "&ReceiverCI=" + receiver +
                                      "&PassWord=" + password);
    return r.setCookie.substr(0, r.setCookie.find(';'));
}

QString OrderUpdateBody(const QString& date, const std::vector<Line>& lines, const QString& message,
                        const QString& orderer, const QString& stamp) {
    const corvane::fncGetAndPost h;
    const int groups = static_cast<int>(lines.size()) + (message.isEmpty() ? 0 : 1);
    QStringList b{h.ParaForm(field::DeliverDate, date), h.ParaForm(field::OrdererCI, orderer),
                  h.ParaForm(field::ReceiverCI, QStringLiteral("farm")),
                  h.ParaForm(field::RecCount, ostrel::Variant(int32_t(groups))), h.ParaForm(field::RequestTime, stamp)};
    auto group = [&](int n, const Line& l) {
        const QString values[] = {l.product, l.quantity, l.price, l.vat, l.gg, l.gv, l.gt, l.remark};
        for (size_t k = 0; k < field::OrderGroup.size(); ++k)
            b << h.IndexedParaForm(field::OrderGroup[k], n, ostrel::Variant(values[k]));
    };
    for (size_t n = 0; n < lines.size(); ++n) group(static_cast<int>(n), lines[n]);
    if (!message.isEmpty()) group(groups - 1, Line{{}, "0", "0", {}, "0", "0", "0", message});
    return b.join(QLatin1Char('&'));
}

}  // namespace vendra::server::test
