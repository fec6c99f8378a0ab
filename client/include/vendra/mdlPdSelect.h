#pragma once
// "발주 품목 선택": which offered products the order sheet shows, kept on the server as the
// orderer's display list.
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"

#include <QString>

namespace corvane {
class fncGetAndPost;
}

namespace vendra {

class frmMain;
class ServerLink;

namespace mdlPdSelect {

// Selection fields: 0 mark, 1 name, 2 unit.
ostrel::Variant SelectionStru();

// True when some record holds `value` in field 0; moves the table's position.
bool ContainsKey(ostrel::clsTable& table, const ostrel::Variant& value);

// One record per price-list product, in its order, marked when its key is in the display list.
ostrel::TableRef BuildSelectionTable(const ostrel::clsTable& unitPrices, ostrel::clsTable& displayItems);

// The display update body of the marked records (a null or empty mark is no mark).
QString DisplayUpdateBody(const corvane::fncGetAndPost& g, const QString& ordererCI, const QString& receiverCI,
                          const ostrel::clsTable& selection);

struct SendOutcome {
    bool confirmed = false;
    QString message;  // why not, when not confirmed
};

// Posts the marked products; confirmed only when the server said success.
SendOutcome SendOrderItems(ServerLink& server, const QString& ordererCI, const QString& receiverCI,
                           const ostrel::clsTable& selection);

// The whole dialogue from the main window.
void SelectOrderItems(frmMain& main);

}  // namespace mdlPdSelect
}  // namespace vendra
