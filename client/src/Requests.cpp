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
    return QStringList{g.ParaForm(QStringLiteral("OrdererCI"), ordererCI),
                       g.ParaForm(QStringLiteral("ReceiverCI"), receiverCI),
                       g.ParaForm(QStringLiteral("PassWord"), passWord),
                       g.ParaForm(QStringLiteral("RequestTime"), stamp)}
        .join(QLatin1Char('&'));
}

QString NoticeBody(const fncGetAndPost& g, const QString& receiverCI, const QString& ordererDgr,
                   const QString& stamp) {
    return QStringList{g.ParaForm(QStringLiteral("ReceiverCI"), receiverCI),
                       g.ParaForm(QStringLiteral("OrdererDgr"), ordererDgr),
                       g.ParaForm(QStringLiteral("RequestTime"), stamp)}
        .join(QLatin1Char('&'));
}

QString OrdersSelectQuery(const fncGetAndPost& g, ostrel::Date deliverDate, const QString& ordererCI,
                          const QString& receiverCI, const QString& stamp) {
    return QStringList{g.ParaForm(QStringLiteral("DeliverDate"), dateText(deliverDate)),
                       g.ParaForm(QStringLiteral("OrdererCI"), ordererCI),
                       g.ParaForm(QStringLiteral("ReceiverCI"), receiverCI),
                       g.ParaForm(QStringLiteral("RequestTime"), stamp)}
        .join(QLatin1Char('&'));
}

QString DisplaySelectQuery(const fncGetAndPost& g, const QString& receiverCI, const QString& ordererCI,
                           const QString& stamp) {
    return QStringList{g.ParaForm(QStringLiteral("ReceiverCI"), receiverCI),
                       g.ParaForm(QStringLiteral("OrdererCI"), ordererCI),
                       g.ParaForm(QStringLiteral("RequestTime"), stamp)}
        .join(QLatin1Char('&'));
}

QString UnitPricesQuery(const fncGetAndPost& g, const QString& receiverCI, const QString& dgr,
                        const QString& stamp) {
    return QStringList{g.ParaForm(QStringLiteral("ReceiverCI"), receiverCI),
                       g.ParaForm(QStringLiteral("dgr"), dgr),
                       g.ParaForm(QStringLiteral("RequestTime"), stamp)}
        .join(QLatin1Char('&'));
}

QString DeliverSelectQuery(const fncGetAndPost& g, ostrel::Date date1, ostrel::Date date2, const QString& sellerCI,
                           const QString& buyerCI, const QString& stamp) {
    return QStringList{g.ParaForm(QStringLiteral("Date1"), dateText(date1)),
                       g.ParaForm(QStringLiteral("Date2"), dateText(date2)),
                       g.ParaForm(QStringLiteral("SellerCI"), sellerCI),
                       g.ParaForm(QStringLiteral("BuyerCI"), buyerCI),
                       g.ParaForm(QStringLiteral("RequestTime"), stamp)}
        .join(QLatin1Char('&'));
}

QString OrdersUpdateBody(const fncGetAndPost& g, ostrel::Date deliverDate, const QString& ordererCI,
                         const QString& receiverCI, const QString& stamp, const std::vector<OrderLine>& lines) {
    // Every value travels as a string, so "." and "-" in numbers and dates are percent-encoded too.
    QStringList parts{g.ParaForm(QStringLiteral("DeliverDate"), dateText(deliverDate)),
                      g.ParaForm(QStringLiteral("OrdererCI"), ordererCI),
                      g.ParaForm(QStringLiteral("ReceiverCI"), receiverCI),
                      g.ParaForm(QStringLiteral("RecCount"), QString::number(lines.size())),
                      g.ParaForm(QStringLiteral("RequestTime"), stamp)};
    parts.reserve(parts.size() + static_cast<qsizetype>(lines.size()) * 8);
    int n = 0;
    for (const OrderLine& l : lines) {
        parts << g.IndexedParaForm(QStringLiteral("Product"), n, l.product)
              << g.IndexedParaForm(QStringLiteral("Quantity"), n, l.quantity.toString())
              << g.IndexedParaForm(QStringLiteral("Dg"), n, l.unitPrice.toString())
              << g.IndexedParaForm(QStringLiteral("Vat"), n, l.vat)
              << g.IndexedParaForm(QStringLiteral("Gg"), n, l.supply.toString())
              << g.IndexedParaForm(QStringLiteral("Gv"), n, l.tax.toString())
              << g.IndexedParaForm(QStringLiteral("Gt"), n, l.amount.toString())
              << g.IndexedParaForm(QStringLiteral("Remark"), n, l.remark);
        ++n;
    }
    return parts.join(QLatin1Char('&'));
}

}  // namespace vendra
