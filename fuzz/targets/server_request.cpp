// The order server's request handling: any method, path, query and body, with or without a
// session, against a server running in this process on a loopback port over a store in memory.
// Every request gets an answer; none is an internal error (500).
#include "FuzzSupport.h"

#include "OrderServer.h"
#include "Password.h"
#include "SqliteStore.h"

#include <httplib.h>

#include <QTemporaryDir>
#include <thread>

namespace {

using namespace vendra::server;

const char* const kPaths[] = {
    "/order_ctos_xml/login.php", "/receiver_ctos/notice_select.php", "/order_ctos_xml/orders_select.php",
    "/order_ctos_xml/display_select.php", "/order_ctos_xml/unitprices_select.php",
    "/invoices_xml/deliver_select.php", "/order_ctos_xml/orders_update.php", "/order_ctos_xml/display_update.php",
};

struct Running {
    QTemporaryDir dir{QStringLiteral("/dev/shm/vendra-fuzz-XXXXXX")};
    SqliteStore store{dir.path() + QStringLiteral("/store.db")};
    std::unique_ptr<OrderServer> server;
    std::thread serving;
    std::unique_ptr<httplib::Client> client;
    std::string cookie;

    Running() {
        store.addReceiver(QStringLiteral("farm"), QStringLiteral("농장"));
        store.addOrderer({QStringLiteral("farm"), QStringLiteral("shop"), QStringLiteral("A"),
                          HashPassword(QStringLiteral("pw"), HashStrength::Minimal)});
        store.importPrices(QStringLiteral("farm"), {{QStringLiteral("사과"), QStringLiteral("box"), QStringLiteral("A"),
                                                     ostrel::Currency::fromInt(12000), QStringLiteral("+")}});
        ServerOptions options;
        options.log = nullptr;
        options.http.workers = 2;
        options.freeLoginFailures = 1 << 30;  // no slow-down: every input runs at full speed
        server = std::make_unique<OrderServer>(store, options);
        const int port = server->bind(QStringLiteral("127.0.0.1"), 0);
        if (port <= 0) std::abort();
        serving = std::thread([this] { server->run(); });
        while (!server->isRunning()) std::this_thread::yield();
        client = std::make_unique<httplib::Client>("127.0.0.1", port);
        client->set_keep_alive(true);
        client->set_tcp_nodelay(true);
        auto login = client->Get("/order_ctos_xml/login.php?OrdererCI=shop&ReceiverCI=farm&PassWord=pw");
        if (!login) std::abort();
        const std::string set = login->get_header_value("Set-Cookie");
        cookie = set.substr(0, set.find(';'));
    }
};

Running& running() {
    static Running* r = new Running;  // serves until the process ends
    return *r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Running& r = running();
    vendra::fuzz::ByteReader in(data, size);
    const uint8_t pick = in.byte();
    const QByteArray rest = in.restBytes();
    const qsizetype cut = rest.indexOf('\n');
    const QByteArray query = cut < 0 ? rest : rest.left(cut);
    const std::string body = cut < 0 ? std::string() : rest.mid(cut + 1).toStdString();

    // Bit 0: POST; bit 1: with the session cookie; the rest: one of the paths, or an unknown one.
    const int route = (pick >> 2) % 9;
    std::string target = route < 8 ? kPaths[route] : "/order_ctos_xml/unknown.php";
    if (!query.isEmpty()) target += '?' + query.toPercentEncoding("&=%+").toStdString();
    httplib::Headers headers;
    if (pick & 2) headers.emplace("Cookie", r.cookie);
    const std::string type = "application/x-www-form-urlencoded";
    httplib::Result res = (pick & 1) ? r.client->Post(target, headers, body, type) : r.client->Get(target, headers);
    FUZZ_EXPECT(res, QStringLiteral("no answer to %1").arg(QString::fromStdString(target)));
    FUZZ_EXPECT(res->status != 500, QStringLiteral("internal error on %1: %2")
                                         .arg(QString::fromStdString(target), QString::fromStdString(res->body)));
    return 0;
}
