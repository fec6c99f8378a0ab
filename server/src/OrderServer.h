#pragma once
// The order server's HTTP side: the eight endpoints of the ordering protocol over a Store.
// Requests are form fields in code page 949; replies are tag text in UTF-8.
#include "HttpListener.h"
#include "Sessions.h"
#include "Store.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace vendra::server {

struct ServerOptions {
    // Announced at login in the client's caption form; a client with a smaller caption is told to upgrade.
    QString versionText = QStringLiteral("Vendra - 1310.29");
    QString loginNotice;  // shown by the client at login when not empty
    HttpLimits http;
    int maxLinesPerOrder = 5000;
    int freeLoginFailures = 3;
    std::chrono::milliseconds loginDelayBase = std::chrono::seconds(1);
    std::chrono::milliseconds loginDelayMax = std::chrono::seconds(60);
    std::chrono::seconds sessionIdleLimit = std::chrono::hours(12);
    int sessionsPerOrderer = 20;  // the oldest beyond go
    FILE* log = stderr;  // one line per request; nullptr for none
};

inline constexpr const char* kSessionCookie = "VSESSION";

class OrderServer {
public:
    OrderServer(Store& store, ServerOptions options = {});
    ~OrderServer();
    OrderServer(const OrderServer&) = delete;
    OrderServer& operator=(const OrderServer&) = delete;

    // Binds host:port (port 0 picks a free one); the bound port, or -1.
    int bind(const QString& host, int port);
    // Serves until stop(); false when the listening socket failed.
    bool run();
    void stop();
    bool isRunning() const;

private:
    struct Reply;
    struct Call;
    struct Route;
    static const std::vector<Route>& routes();

    HttpResponse handle(const HttpRequest& req);
    Reply serve(const Route& route, const HttpRequest& req, QByteArrayView form, QString& orderer);
    std::optional<Reply> admit(const Route& route, const HttpRequest& req, Call& call);

    Reply login(Call& c);
    Reply noticeSelect(Call& c);
    Reply ordersSelect(Call& c);
    Reply displaySelect(Call& c);
    Reply unitPricesSelect(Call& c);
    Reply deliverSelect(Call& c);
    Reply ordersUpdate(Call& c);
    Reply displayUpdate(Call& c);

    std::optional<Session> sessionOf(const HttpRequest& req);
    void logRequest(const HttpRequest& req, int status, const QString& orderer, Clock::time_point start);

    Store& store_;
    ServerOptions options_;
    SessionTable sessions_;
    LoginThrottle throttle_;
    HttpListener http_;

    // Price list replies by receiver and grade, valid while the store's price version stands.
    struct CachedReply {
        int64_t version = -1;
        QByteArray utf8;
    };
    std::mutex priceCacheMutex_;
    QHash<QString, CachedReply> priceCache_;
};

}  // namespace vendra::server
