#pragma once
// A real order server on a free loopback port with a seeded store, and a client that talks to it
// through the web exchange library as the order client does.
#include "OrderServer.h"
#include "Password.h"
#include "SqliteStore.h"
#include "TestSupport.h"

#include <corvane/fncGetAndPost.h>
#include <corvane/fncTimeStamp.h>
#include <corvane/fncXML.h>
#include <ostrel/clsTable.h>

#include <gtest/gtest.h>
#include <httplib.h>

#include <QStringList>
#include <mutex>
#include <thread>

namespace vendra::server::test {

using ostrel::Variant;

struct Line {
    QString product;
    QString quantity;
    QString price;
    QString vat;
    QString gg, gv, gt;
    QString remark;
};

class ServerFixture : public ::testing::Test {
protected:
    TempStoreDir dir;
    std::unique_ptr<SqliteStore> store;
    std::unique_ptr<OrderServer> server;
    std::thread serving;
    int port = 0;
    corvane::fncGetAndPost http;
    corvane::fncTimeStamp stamps;
    corvane::fncXML xml;
    std::mutex stampMutex;

    // One stamp source for every client thread of a test.
    QString stamp() {
        std::lock_guard lock(stampMutex);
        return stamps.MakeTimeStamp();
    }

    virtual ServerOptions options() {
        ServerOptions o;
        o.log = nullptr;
        return o;
    }

    void SetUp() override {
        store = std::make_unique<SqliteStore>(dir.path());
        store->addReceiver("farm", "농장");
        store->addOrderer({"farm", "shop", "A", HashPassword("pw1", HashStrength::Minimal)});
        store->addOrderer({"farm", "shop2", "B", HashPassword("pw2", HashStrength::Minimal)});
        store->addOrderer({"farm", QStringLiteral("가게"), "A", HashPassword(QStringLiteral("비밀 번호"), HashStrength::Minimal)});
        startServer();
        corvane::fncGetAndPost::ClearCookies();
        http.setTotalTimeout(20000);
    }

    void TearDown() override { stopServer(); }

    void startServer() {
        server = std::make_unique<OrderServer>(*store, options());
        port = server->bind("127.0.0.1", 0);
        ASSERT_GT(port, 0);
        serving = std::thread([this] { server->run(); });
        for (int i = 0; i < 500 && !server->isRunning(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_TRUE(server->isRunning());
    }

    void stopServer() {
        if (server) server->stop();
        if (serving.joinable()) serving.join();
        server.reset();
    }

    QString url(const char* path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(QLatin1String(path)); }

    QString get(const char* path, const QStringList& query) {
        QString reply;
        EXPECT_TRUE(http.SendGet(url(path), query.join(QLatin1Char('&')), reply)) << http.LastError().toStdString();
        return reply;
    }
    QString post(const char* path, const QStringList& body) {
        QString reply;
        EXPECT_TRUE(http.SendPost(url(path), body.join(QLatin1Char('&')), reply)) << http.LastError().toStdString();
        return reply;
    }

    QString form(const char* name, const Variant& v) const { return http.ParaForm(QLatin1String(name), v); }

    QString login(const QString& orderer, const QString& password, const QString& receiver = QStringLiteral("farm")) {
        return get("/order_ctos_xml/login.php", {form("OrdererCI", orderer), form("ReceiverCI", receiver),
                                                 form("PassWord", password), form("RequestTime", stamp())});
    }

    bool success(const QString& reply) const { return xml.GetTag(reply, u"success", 11).toBool(); }
    QString tag(const QString& reply, const char* name) const { return xml.GetTag(reply, QString::fromLatin1(name)).toString(); }

    // The body the order client builds for an order update: every value a string, RecCount a number.
    QStringList orderBody(const QString& date, const std::vector<Line>& lines, const QString& message = {},
                          const QString& orderer = QStringLiteral("shop")) {
        QStringList b{form("DeliverDate", date), form("OrdererCI", orderer), form("ReceiverCI", QStringLiteral("farm")),
                      form("RecCount", Variant(int32_t(lines.size() + (message.isEmpty() ? 0 : 1)))),
                      form("RequestTime", stamp())};
        int n = 0;
        auto group = [&](const Line& l) {
            const QString values[] = {l.product, l.quantity, l.price, l.vat, l.gg, l.gv, l.gt, l.remark};
            const char* names[] = {"Product", "Quantity", "Dg", "Vat", "Gg", "Gv", "Gt", "Remark"};
            for (int k = 0; k < 8; ++k) b << http.IndexedParaForm(QLatin1String(names[k]), n, Variant(values[k]));
            ++n;
        };
        for (const Line& l : lines) group(l);
        if (!message.isEmpty()) group(Line{{}, "0", "0", {}, "0", "0", "0", message});
        return b;
    }

    QString updateOrder(const QString& date, const std::vector<Line>& lines, const QString& message = {},
                        const QString& orderer = QStringLiteral("shop")) {
        return post("/order_ctos_xml/orders_update.php", orderBody(date, lines, message, orderer));
    }

    QString selectOrder(const QString& date, const QString& orderer = QStringLiteral("shop")) {
        return get("/order_ctos_xml/orders_select.php", {form("DeliverDate", date), form("OrdererCI", orderer),
                                                         form("ReceiverCI", QStringLiteral("farm")),
                                                         form("RequestTime", stamp())});
    }

    // Raw HTTP for what the web exchange library does not show: statuses and headers.
    struct Raw {
        int status = 0;
        std::string body;
        std::string setCookie;
    };
    Raw raw(const std::string& method, const std::string& target, const std::string& body = {},
            const std::string& cookie = {}) {
        httplib::Client c("127.0.0.1", port);
        c.set_read_timeout(20, 0);
        httplib::Headers h;
        if (!cookie.empty()) h.emplace("Cookie", cookie);
        httplib::Result r = method == "GET" ? c.Get(target, h)
                                            : c.Post(target, h, body, "application/x-www-form-urlencoded");
        if (!r) return {};
        return {r->status, r->body, r->get_header_value("Set-Cookie")};
    }
    std::string rawLoginCookie(const std::string& orderer, const std::string& password) {
        Raw r = raw("GET", "/order_ctos_xml/login.php?OrdererCI=" + orderer + "&ReceiverCI=farm&PassWord=" + password);
        return r.setCookie.substr(0, r.setCookie.find(';'));
    }
};

}  // namespace vendra::server::test
