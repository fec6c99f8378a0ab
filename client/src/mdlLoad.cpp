#include "vendra/mdlLoad.h"

#include "vendra/Requests.h"
#include "vendra/ServerLink.h"

#include "corvane/ValueText.h"

namespace vendra::mdlLoad {

using corvane::valuetype::Boolean;
using ostrel::Variant;

namespace {
// The reply's list, or the reason there is none; `received`, when asked for, from the same reply.
void readInto(LoadResult& out, const ServerLink& server, const Reply& r, bool* received = nullptr) {
    const corvane::fncXML& x = server.xml();
    QString refusal;
    out.problem = ReplyProblem(r, server.baseUrl());
    if (out.problem.isEmpty()) {
        out.problem = ReadReply([&] {
            out.table = x.TagToJarray(r.text);
            const Variant ok = x.GetTag(r.text, u"success", Boolean);
            if (ok.isBoolean() && !ok.toBool()) {
                const QString why = x.GetTag(r.text, u"failmsg").toString();
                refusal = why.isEmpty() ? QStringLiteral("주문 서버가 요청을 거절했습니다.") : why;
            }
            if (!received) return;
            const Variant accepted = x.GetTag(r.text, u"received", Boolean);
            *received = accepted.isBoolean() && accepted.toBool();
        });
        if (out.problem.isEmpty()) out.problem = refusal;
    }
    if (!out.problem.isEmpty()) {
        out.table = std::make_shared<ostrel::clsTable>();
        if (received) *received = false;
    }
    out.table->MoveFirst();
}

LoadResult readTable(ServerLink& server, const char* path, const QString& query) {
    LoadResult out;
    readInto(out, server, server.get(path, query));
    return out;
}
}  // namespace

OrdersLoad LoadOrders(ServerLink& server, ostrel::Date deliverDate, const QString& ordererCI,
                      const QString& receiverCI) {
    const QString q = OrdersSelectQuery(server.web(), deliverDate, ordererCI, receiverCI, server.stamp());
    OrdersLoad out;
    readInto(out, server, server.get(path::OrdersSelect, q), &out.received);
    return out;
}

LoadResult LoadDisplayItems(ServerLink& server, const QString& receiverCI, const QString& ordererCI) {
    return readTable(server, path::DisplaySelect,
                     DisplaySelectQuery(server.web(), receiverCI, ordererCI, server.stamp()));
}

LoadResult LoadUnitPrices(ServerLink& server, const QString& receiverCI, const QString& dgr) {
    return readTable(server, path::UnitPricesSelect, UnitPricesQuery(server.web(), receiverCI, dgr, server.stamp()));
}

LoadResult LoadDeliveries(ServerLink& server, ostrel::Date date1, ostrel::Date date2, const QString& sellerCI,
                          const QString& buyerCI) {
    return readTable(server, path::DeliverSelect,
                     DeliverSelectQuery(server.web(), date1, date2, sellerCI, buyerCI, server.stamp()));
}

}  // namespace vendra::mdlLoad
