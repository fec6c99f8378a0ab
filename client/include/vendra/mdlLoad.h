#pragma once
// The four list reads of the client: one GET each, the JARRAY part of the reply as a new table.
// A reply that cannot be read raises ostrel::RuntimeError; an unanswered request gives an empty
// table (NOF 0) and `answered` false, so callers can tell "nothing stored" from "no server".
#include "ostrel/DateTime.h"
#include "ostrel/clsTable.h"

#include <QString>

namespace vendra {

class ServerLink;

struct LoadResult {
    ostrel::TableRef table;
    bool answered = false;
    bool refused = false;  // the reply carried success 0
    QString failmsg;       // the server's reason when refused
};

struct OrdersLoad : LoadResult {
    // table: 0 key, 1 quantity, 2 price, 3 VAT, 4 supply, 5 tax, 6 amount, 7 remark
    bool received = false;  // the receiver has accepted the order
};


namespace mdlLoad {

// Korean text saying why a load gave no usable list, or "" when it did.
QString LoadProblem(const LoadResult& r, const QString& baseUrl);

OrdersLoad LoadOrders(ServerLink& server, ostrel::Date deliverDate, const QString& ordererCI,
                      const QString& receiverCI);
LoadResult LoadDisplayItems(ServerLink& server, const QString& receiverCI, const QString& ordererCI);
LoadResult LoadUnitPrices(ServerLink& server, const QString& receiverCI, const QString& dgr);
LoadResult LoadDeliveries(ServerLink& server, ostrel::Date date1, ostrel::Date date2, const QString& sellerCI,
                          const QString& buyerCI);

}  // namespace mdlLoad
}  // namespace vendra
