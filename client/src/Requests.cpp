#include "vendra/Requests.h"

#include "corvane/fncGetAndPost.h"
#include "ostrel/fncDate.h"

#include <QStringList>

namespace vendra {

using corvane::fncGetAndPost;
using ostrel::Variant;

namespace {
QString dateText(ostrel::Date d) { return ostrel::fncDate().DtoG(d); }
}  // namespace

QString LoginQuery(const fncGetAndPost& g, const QString& ordererCI, const QString& receiverCI,
                   const QString& passWord, const QString& stamp) {
    return QStringList{g.ParaForm(field::OrdererCI, ordererCI),
                       g.ParaForm(field::ReceiverCI, receiverCI),
                       g.ParaForm(field::PassWord, passWord),
                       g.ParaForm(field::RequestTime, stamp)}
        .join(QLatin1Char('&'));
}

QString NoticeBody(const fncGetAndPost& g, const QString& receiverCI, const QString& ordererDgr,
                   const QString& stamp) {
    return QStringList{g.ParaForm(field::ReceiverCI, receiverCI),
                       g.ParaForm(field::OrdererDgr, ordererDgr),
                       g.ParaForm(field::RequestTime, stamp)}
        .join(QLatin1Char('&'));
}

QString OrdersSelectQuery(const fncGetAndPost& g, ostrel::Date deliverDate, const QString& ordererCI,
                          const QString& receiverCI, const QString& stamp) {
    return QStringList{g.ParaForm(field::DeliverDate, dateText(deliverDate)),
                       g.ParaForm(field::OrdererCI, ordererCI),
                       g.ParaForm(field::ReceiverCI, receiverCI),
                       g.ParaForm(field::RequestTime, stamp)}
        .join(QLatin1Char('&'));
}

QString DisplaySelectQuery(const fncGetAndPost& g, const QString& receiverCI, const QString& ordererCI,
                           const QString& stamp) {
    return QStringList{g.ParaForm(field::ReceiverCI, receiverCI),
                       g.ParaForm(field::OrdererCI, ordererCI),
                       g.ParaForm(field::RequestTime, stamp)}
        .join(QLatin1Char('&'));
}

QString UnitPricesQuery(const fncGetAndPost& g, const QString& receiverCI, const QString& dgr,
                        const QString& stamp) {
    return QStringList{g.ParaForm(field::ReceiverCI, receiverCI),
                       g.ParaForm(field::Dgr, dgr),
                       g.ParaForm(field::RequestTime, stamp)}
        .join(QLatin1Char('&'));
}

QString DeliverSelectQuery(const fncGetAndPost& g, ostrel::Date date1, ostrel::Date date2, const QString& sellerCI,
                           const QString& buyerCI, const QString& stamp) {
    return QStringList{g.ParaForm(field::Date1, dateText(date1)),
                       g.ParaForm(field::Date2, dateText(date2)),
                       g.ParaForm(field::SellerCI, sellerCI),
                       g.ParaForm(field::BuyerCI, buyerCI),
                       g.ParaForm(field::RequestTime, stamp)}
        .join(QLatin1Char('&'));
}

QString OrdersUpdateBody(const fncGetAndPost& g, ostrel::Date deliverDate, const QString& ordererCI,
                         const QString& receiverCI, const QString& stamp, const std::vector<OrderLine>& lines) {
    // Every value travels as a string, so "." and "-" in numbers and dates are percent-encoded too.
    QStringList parts{g.ParaForm(field::DeliverDate, dateText(deliverDate)),
                      g.ParaForm(field::OrdererCI, ordererCI),
                      g.ParaForm(field::ReceiverCI, receiverCI),
                      g.ParaForm(field::RecCount, QString::number(lines.size())),
                      g.ParaForm(field::RequestTime, stamp)};
    parts.reserve(parts.size() + static_cast<qsizetype>(lines.size()) * 8);
    int n = 0;
    for (const OrderLine& l : lines) {
        parts << g.IndexedParaForm(field::Product, n, l.product)
              << g.IndexedParaForm(field::Quantity, n, l.quantity.toString())
              << g.IndexedParaForm(field::UnitPrice, n, l.unitPrice.toString())
              << g.IndexedParaForm(field::Vat, n, l.vat)
              << g.IndexedParaForm(field::Supply, n, l.supply.toString())
              << g.IndexedParaForm(field::Tax, n, l.tax.toString())
              << g.IndexedParaForm(field::Total, n, l.amount.toString())
              << g.IndexedParaForm(field::Remark, n, l.remark);
        ++n;
    }
    return parts.join(QLatin1Char('&'));
}

}  // namespace vendra
