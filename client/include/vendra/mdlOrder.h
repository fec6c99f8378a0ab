#pragma once
// Order entry: the proposed delivery date, the order sheet of a date, and judging a save's reply.
#include "vendra/OrderSheet.h"

#include "ostrel/DateTime.h"

#include <QString>

namespace vendra {

class frmMain;
class ServerLink;
struct Reply;

namespace mdlOrder {

// Tomorrow once the exact time of day is past 09:00:00, else today (no time of day).
ostrel::Date ProposedDeliveryDate(ostrel::Date now);

// "발주입력": asks for the delivery date and opens (or reuses) the one order window.
void OpenOrderEntry(frmMain& main);

struct SheetLoad {
    MergedSheet sheet;
    bool received = false;  // the receiver has accepted the stored order
    QString problem;        // why no sheet could be built; "" when it could
};

// Price list narrowed to the display list, merged with the stored order of the date. A request
// that went unanswered, was refused or brought an unreadable reply gives a problem and no sheet:
// an empty sheet sent back would wipe the stored order.
SheetLoad BuildOrderSheet(ServerLink& server, ostrel::Date deliverDate, const QString& ordererCI,
                          const QString& ordererDgr, const QString& receiverCI);

struct SaveOutcome {
    bool confirmed = false;
    QString message;  // why not, when not confirmed
};

// A save counts only when the server confirmed it: a 2xx reply with success 1 or, from a peer
// that sends no success tag, none.
SaveOutcome JudgeSaveReply(const Reply& reply, const QString& baseUrl);

}  // namespace mdlOrder
}  // namespace vendra
