#pragma once
// A real order server over a seeded store, and a client that talks to it through the web exchange
// library as the order client does.
#include "ServerRig.h"
#include "SqliteStore.h"

#include <corvane/fncGetAndPost.h>
#include <corvane/fncXML.h>
#include <ostrel/clsTable.h>
#include <vendra/order/Protocol.h>

#include <gtest/gtest.h>

#include <QStringList>

namespace vendra::server::test {

using ostrel::Variant;

class ServerFixture : public ::testing::Test {
protected:
    TempStoreDir dir;
    std::unique_ptr<SqliteStore> store;
    std::unique_ptr<RunningServer> server;
    corvane::fncGetAndPost http;
    corvane::fncXML xml;

    virtual ServerOptions options() {
        ServerOptions o;
        o.log = nullptr;
        o.loginDelayBase = std::chrono::milliseconds(400);  // the first wait after three failures
        return o;
    }

    void SetUp() override {
        store = std::make_unique<SqliteStore>(dir.path());
        AddOrderer(*store, "farm", "shop", "A", "pw1");
        AddOrderer(*store, "farm", "shop2", "B", "pw2");
        AddOrderer(*store, "farm", QStringLiteral("가게"), "A", QStringLiteral("비밀 번호"));
        server = std::make_unique<RunningServer>(*store, options());
        ASSERT_GT(server->port(), 0);
        corvane::fncGetAndPost::ClearCookies();
        http.setTotalTimeout(20000);
    }
    void TearDown() override { server.reset(); }

    QString send(bool isPost, const char* path, const QString& fields) {
        QString reply;
        const bool sent = isPost ? http.SendPost(server->url(path), fields, reply)
                                 : http.SendGet(server->url(path), fields, reply);
        EXPECT_TRUE(sent) << http.LastError().toStdString();
        return reply;
    }
    QString get(const char* path, const QStringList& query) { return send(false, path, query.join('&')); }
    QString post(const char* path, const QStringList& body) { return send(true, path, body.join('&')); }
    QString form(const char* name, const Variant& v) const { return http.ParaForm(QLatin1String(name), v); }

    QString login(const QString& orderer, const QString& password, const QString& receiver = QStringLiteral("farm")) {
        return get(path::Login, {form(field::OrdererCI, orderer), form(field::ReceiverCI, receiver),
                                 form(field::PassWord, password)});
    }
    QString updateOrder(const QString& date, const std::vector<Line>& lines, const QString& message = {}) {
        return send(true, path::OrdersUpdate, OrderUpdateBody(date, lines, message));
    }
    QString selectOrder(const QString& date) {
        return get(path::OrdersSelect, {form(field::DeliverDate, date), form(field::OrdererCI, QStringLiteral("shop")),
                                        form(field::ReceiverCI, QStringLiteral("farm"))});
    }
    RawReply raw(const std::string& method, const std::string& target, const std::string& body = {},
                 const std::string& cookie = {}) {
        return RawRequest(server->port(), method, target, body, cookie);
    }

    bool success(const QString& reply) const { return xml.GetTag(reply, u"success", 11).toBool(); }
    QString tag(const QString& reply, const char* name) const {
        return xml.GetTag(reply, QString::fromLatin1(name)).toString();
    }
    // The records of a reply's JARRAY, one text each: strings quoted, numbers bare, dates as #serial#.
    QStringList records(const QString& reply, int fields) const {
        auto t = xml.TagToJarray(reply);
        EXPECT_EQ(t->NOF(), fields);
        QStringList out;
        for (int r = 0; r < t->RecCount(); ++r) {
            QStringList cells;
            for (int f = 0; f < t->NOF(); ++f) {
                const Variant& v = t->Cell(r, f);
                cells << (v.isString() ? QLatin1Char('\'') + v.toString() + QLatin1Char('\'')
                          : v.isDate() ? QStringLiteral("#%1#").arg(v.toDouble())
                                       : v.toString());
            }
            out << cells.join(QLatin1Char(' '));
        }
        return out;
    }
};

}  // namespace vendra::server::test
