#pragma once
// The request texts of the order client, built from form pieces in their fixed field order
// (paths and field names in vendra/order/Protocol.h).
// Pure functions: the caller supplies the time stamp, so the texts can be checked byte for byte.
#include "ostrel/Currency.h"
#include "ostrel/DateTime.h"
#include "vendra/order/Protocol.h"

#include <QString>
#include <vector>

namespace corvane {
class fncGetAndPost;
}

namespace vendra {

QString LoginQuery(const corvane::fncGetAndPost& g, const QString& ordererCI, const QString& receiverCI,
                   const QString& passWord, const QString& stamp);
QString NoticeBody(const corvane::fncGetAndPost& g, const QString& receiverCI, const QString& ordererDgr,
                   const QString& stamp);
QString OrdersSelectQuery(const corvane::fncGetAndPost& g, ostrel::Date deliverDate, const QString& ordererCI,
                          const QString& receiverCI, const QString& stamp);
QString DisplaySelectQuery(const corvane::fncGetAndPost& g, const QString& receiverCI, const QString& ordererCI,
                           const QString& stamp);
QString UnitPricesQuery(const corvane::fncGetAndPost& g, const QString& receiverCI, const QString& dgr,
                        const QString& stamp);
QString DeliverSelectQuery(const corvane::fncGetAndPost& g, ostrel::Date date1, ostrel::Date date2,
                           const QString& sellerCI, const QString& buyerCI, const QString& stamp);

// One line group of an order update; OrdersUpdateBody gives each value its wire name.
struct OrderLine {
    QString product;  // product key; empty for the message group
    ostrel::Currency quantity;
    ostrel::Currency unitPrice;
    QString vat;
    ostrel::Currency supply, tax, amount;
    QString remark;  // already cut to 255 bytes
};

QString OrdersUpdateBody(const corvane::fncGetAndPost& g, ostrel::Date deliverDate, const QString& ordererCI,
                         const QString& receiverCI, const QString& stamp, const std::vector<OrderLine>& lines);

}  // namespace vendra
