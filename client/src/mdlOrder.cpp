#include "vendra/mdlOrder.h"

#include "vendra/Messages.h"
#include "vendra/ServerLink.h"
#include "vendra/frmMain.h"
#include "vendra/frmOrder.h"
#include "vendra/mdlLoad.h"

#include "corvane/ValueText.h"

#include <cmath>

namespace vendra::mdlOrder {

using ostrel::Date;

Date ProposedDeliveryDate(Date now) {
    // The exact time of day: 09:00:00 itself is still the morning, 09:00:00.6 no longer is.
    const Date today(std::trunc(now.serial));  // not DateOnly: that rounds to the second
    const double timeOfDay = std::fabs(now.serial - today.serial);
    return timeOfDay > ostrel::TimeSerial(9, 0, 0) ? Date(today.serial + 1) : today;
}

void OpenOrderEntry(frmMain& main) {
    Date d = ProposedDeliveryDate(ostrel::Now());
    if (!main.pannel().ind(d)) return;
    if (frmOrder* open = main.orderWindow(); open && !open->isClosed() && open->hasUnsentEdits() &&
        !ostrel::askYesNo(QStringLiteral("보내지 않은 발주 내용이 있습니다.\n버리고 새로 불러올까요?"), open)) {
        open->raise();
        open->activateWindow();
        return;
    }
    frmOrder* w = main.ensureOrderWindow();
    w->adjustSize();
    w->move(main.besidePosition(w->size()));
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

SaveOutcome JudgeSaveReply(const Reply& reply, const QString& baseUrl) {
    SaveOutcome o;
    o.message = ReplyProblem(reply, baseUrl);
    if (!o.message.isEmpty()) {
        o.message += QStringLiteral("\n발주를 보내지 못했습니다. 입력한 내용은 그대로 있습니다.");
        return o;
    }
    const corvane::fncXML x;
    ostrel::Variant success, failmsg;
    o.message = ReadReply([&] {
        success = x.GetTag(reply.text, u"success", corvane::valuetype::Boolean);
        failmsg = x.GetTag(reply.text, u"failmsg");
    });
    if (!o.message.isEmpty()) return o;
    o.confirmed = !success.isBoolean() || success.toBool();
    if (!o.confirmed) {
        const QString why = failmsg.toString();
        o.message = (why.isEmpty() ? QStringLiteral("주문 서버가 발주를 받아들이지 않았습니다.") : why) +
                    QStringLiteral("\n입력한 내용은 그대로 있습니다.");
    }
    return o;
}

}  // namespace vendra::mdlOrder
