#include "vendra/mdlOrder.h"

#include "vendra/ServerLink.h"
#include "vendra/frmMain.h"
#include "vendra/frmOrder.h"
#include "vendra/mdlLoad.h"

#include "corvane/ValueText.h"

namespace vendra::mdlOrder {

using ostrel::Date;

Date ProposedDeliveryDate(Date now) {
    // Whole seconds, so 09:00:00 and its fraction of a second still count as nine o'clock.
    const int seconds = ostrel::Hour(now) * 3600 + ostrel::Minute(now) * 60 + ostrel::Second(now);
    const Date today = ostrel::DateOnly(now);
    return seconds > 9 * 3600 ? Date(today.serial + 1) : today;
}

void OpenOrderEntry(frmMain& main) {
    Date d = ProposedDeliveryDate(ostrel::Now());
    if (!main.pannel().ind(d)) return;
    frmOrder* w = main.ensureOrderWindow();
    w->move(main.besidePosition());
    w->setDeliverDate(d);
    w->setOrdererCI(main.OrdererCI());
    w->setOrdererDgr(main.OrdererDgr());
    w->setReceiverCI(main.ReceiverCI());
    w->showAndActivate();
}

SheetLoad BuildOrderSheet(ServerLink& server, Date deliverDate, const QString& ordererCI, const QString& ordererDgr,
                          const QString& receiverCI) {
    SheetLoad out;
    auto failed = [&out](const LoadResult& l) {
        out.problem = l.problem;
        return !out.problem.isEmpty();
    };
    const LoadResult prices = mdlLoad::LoadUnitPrices(server, receiverCI, ordererDgr);
    if (failed(prices)) return out;
    const LoadResult display = mdlLoad::LoadDisplayItems(server, receiverCI, ordererCI);
    if (failed(display)) return out;
    const OrdersLoad stored = mdlLoad::LoadOrders(server, deliverDate, ordererCI, receiverCI);
    if (failed(stored)) return out;
    // Stored numbers whose amounts overflow make the reply as unusable as one that cannot be read.
    out.problem = ReadReply([&] {
        out.sheet = MergeOrderSheet(*LoadOrderableItems(*prices.table, *display.table), *stored.table);
    });
    out.received = out.problem.isEmpty() && stored.received;
    return out;
}

SaveOutcome JudgeSaveReply(const Reply& reply, int httpStatus, const QString& baseUrl) {
    SaveOutcome o;
    if (!reply.answered) {
        o.message = UnreachableMessage(baseUrl) + QStringLiteral("\n발주를 보내지 못했습니다. 입력한 내용은 그대로 있습니다.");
        return o;
    }
    const corvane::fncXML x;
    ostrel::Variant success, failmsg;
    o.message = ReadReply([&] {
        success = x.GetTag(reply.text, u"success", corvane::valuetype::Boolean);
        failmsg = x.GetTag(reply.text, u"failmsg");
    });
    if (!o.message.isEmpty()) return o;
    const bool statusOk = httpStatus < 0 || (httpStatus >= 200 && httpStatus < 300);
    if (success.isBoolean()) {
        o.confirmed = success.toBool();
    } else {
        o.confirmed = statusOk;
    }
    if (!o.confirmed) {
        const QString why = failmsg.toString();
        o.message = (why.isEmpty() ? QStringLiteral("주문 서버가 발주를 받아들이지 않았습니다.") : why) +
                    QStringLiteral("\n입력한 내용은 그대로 있습니다.");
    }
    return o;
}

}  // namespace vendra::mdlOrder
