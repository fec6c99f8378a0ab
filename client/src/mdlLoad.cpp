#include "vendra/mdlLoad.h"

#include "vendra/ServerLink.h"
#include "vendra/Requests.h"

#include "corvane/ValueText.h"

namespace vendra::mdlLoad {

namespace {
void readInto(LoadResult& out, ServerLink& server, const Reply& r) {
    out.answered = r.answered;
    out.table = server.xml().TagToJarray(r.text);
    const ostrel::Variant ok = server.xml().GetTag(r.text, u"success", corvane::valuetype::Boolean);
    out.refused = ok.isBoolean() && !ok.toBool();
    if (out.refused) out.failmsg = server.xml().GetTag(r.text, u"failmsg").toString();
}

LoadResult readTable(ServerLink& server, const char* path, const QString& query) {
    LoadResult out;
    readInto(out, server, server.get(path, query));
    return out;
}
}  // namespace

QString LoadProblem(const LoadResult& r, const QString& baseUrl) {
    if (!r.answered) return UnreachableMessage(baseUrl);
    if (r.refused) return r.failmsg.isEmpty() ? QStringLiteral("주문 서버가 요청을 거절했습니다.") : r.failmsg;
    return QString();
}

OrdersLoad LoadOrders(ServerLink& server, ostrel::Date deliverDate, const QString& ordererCI,
                      const QString& receiverCI) {
    const QString q = OrdersSelectQuery(server.web(), deliverDate, ordererCI, receiverCI, server.stamp());
    const Reply r = server.get(path::OrdersSelect, q);
    OrdersLoad out;
    readInto(out, server, r);
    const ostrel::Variant received = server.xml().GetTag(r.text, u"received", corvane::valuetype::Boolean);
    out.received = received.isBoolean() && received.toBool();
    out.table->MoveFirst();
    return out;
}

LoadResult LoadDisplayItems(ServerLink& server, const QString& receiverCI, const QString& ordererCI) {
    return readTable(server, path::DisplaySelect, DisplaySelectQuery(server.web(), receiverCI, ordererCI, server.stamp()));
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
