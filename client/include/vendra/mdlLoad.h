#pragma once
// The four list reads of the client: one GET each, the JARRAY part of the reply as a new table.
// They never throw: a list that went unanswered, was refused or could not be read comes back
// empty (NOF 0) with the reason in `problem`, so no caller takes it for a list with nothing in it.
#include "ostrel/DateTime.h"
#include "ostrel/clsTable.h"

#include <QString>
#include <memory>

namespace vendra {

class ServerLink;

struct LoadResult {
    ostrel::TableRef table = std::make_shared<ostrel::clsTable>();
    QString problem;  // Korean text saying why the list is not usable; "" when it is
};

struct OrdersLoad : LoadResult {
    // table: 0 key, 1 quantity, 2 price, 3 VAT, 4 supply, 5 tax, 6 amount, 7 remark
    bool received = false;  // the receiver has accepted the order
};

namespace mdlLoad {

OrdersLoad LoadOrders(ServerLink& server, ostrel::Date deliverDate, const QString& ordererCI,
                      const QString& receiverCI);
LoadResult LoadDisplayItems(ServerLink& server, const QString& receiverCI, const QString& ordererCI);
LoadResult LoadUnitPrices(ServerLink& server, const QString& receiverCI, const QString& dgr);
LoadResult LoadDeliveries(ServerLink& server, ostrel::Date date1, ostrel::Date date2, const QString& sellerCI,
                          const QString& buyerCI);

}  // namespace mdlLoad
}  // namespace vendra
