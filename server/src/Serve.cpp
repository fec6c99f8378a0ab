#include "Serve.h"

#include "OpenStore.h"

#include <csignal>
#include <ostream>
#include <pthread.h>
#include <thread>

namespace vendra::server {

int Serve(const QString& db, size_t dbConnections, const QString& host, int port, const ServerOptions& options,
          std::ostream& out, std::ostream& err) {
    // SIGINT and SIGTERM end the server from a thread of their own rather than inside a handler.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);

    // Every connection is a descriptor; beyond the limit new ones wait in the backlog.
    ServerOptions o = options;
    const size_t files = RaiseOpenFileLimit();
    const size_t reserve = 64;  // the store's files, the log, the pool's wakeups
    if (files > reserve && o.http.maxConnections > files - reserve) {
        o.http.maxConnections = files - reserve;
        err << "vendra-server: at most " << o.http.maxConnections << " connections (open file limit " << files
            << ")\n";
    }
    std::unique_ptr<Store> store = OpenStore(db, dbConnections);
    OrderServer server(*store, o);
    int bound = server.bind(host, port);
    if (bound < 0) {
        err << "vendra-server: cannot listen on " << host.toStdString() << ":" << port << "\n";
        return 1;
    }
    out << "vendra-server listening on http://" << host.toStdString() << ":" << bound << "  store "
        << StoreName(db).toStdString() << std::endl;
    std::thread waiter([&server, set] {
        int sig = 0;
        sigwait(&set, &sig);
        server.stop();
    });
    bool ok = server.run();
    // Wake the waiter if the server ended by itself.
    pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    return ok ? 0 : 1;
}

}  // namespace vendra::server
