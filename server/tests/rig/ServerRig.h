#pragma once
// A real order server on a free loopback port, for the tests and the benchmarks: store files in a
// temporary folder, raw HTTP for statuses and headers, and order update bodies as the client
// builds them.
#include "OrderServer.h"
#include "Password.h"
#include "Store.h"

#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <sys/types.h>
#include <string>
#include <thread>
#include <vector>

namespace vendra::server::test {

inline Currency cur(double v) { return Currency::fromDouble(v); }

// A temporary folder for store files, removed with it.
class TempStoreDir {
public:
    QString path(const QString& name = QStringLiteral("store.db")) const { return dir_.filePath(name); }
    std::string pathStd(const QString& name = QStringLiteral("store.db")) const { return path(name).toStdString(); }

private:
    QTemporaryDir dir_;
};

// Adds the orderer (and its receiver when new) with a cheap but real password hash.
void AddOrderer(Store& store, const QString& receiver, const QString& orderer, const QString& grade,
                const QString& password);

// An order server serving from a thread of its own; stopped and joined when it goes.
class RunningServer {
public:
    RunningServer(Store& store, const ServerOptions& options);
    ~RunningServer();

    int port() const { return port_; }  // 0 when it could not start
    QString url(const char* path) const;

private:
    OrderServer server_;
    std::thread serving_;
    int port_ = 0;
};

// The vendra-server binary as a child process on a free loopback port, killed when it goes.
class ServerProcess {
public:
    ServerProcess(const std::string& db, const std::vector<std::string>& serveOptions = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return port_; }  // 0 when it did not start
    pid_t pid() const { return pid_; }
    // Sends the signal and waits for the exit at most `limit`: the exit code, 128 + the signal that
    // ended it, or -1 when it is still running.
    int stop(int signal, std::chrono::milliseconds limit = std::chrono::seconds(20));

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// A loopback port nothing listens on right now, for a peer the test starts itself (0 if none).
int FreeLoopbackPort();

struct RawReply {
    int status = 0;  // 0 when there was no answer
    std::string body;
    std::string setCookie;
};
RawReply RawRequest(int port, const std::string& method, const std::string& target, const std::string& body = {},
                    const std::string& cookie = {});
// The session cookie ("VSESSION=...") a login sets; empty when it is refused.
std::string LoginCookie(int port, const std::string& orderer, const std::string& password,
                        const std::string& receiver = "farm");

// One order line as the client sends it, every value already text.
struct Line {
    QString product, quantity, price, vat, gg, gv, gt, remark;
};
// The order update body as the order client builds it: every value a string, RecCount a number,
// and one more group for a message.
QString OrderUpdateBody(const QString& date, const std::vector<Line>& lines, const QString& message = {},
                        const QString& orderer = QStringLiteral("shop"), const QString& stamp = {});

}  // namespace vendra::server::test
