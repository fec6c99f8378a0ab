#include "Replies.h"

#include <corvane/fncXML.h>
#include <ostrel/DateTime.h>
#include <ostrel/clsTable.h>
#include <vendra/order/ProductKey.h>
#include <vendra/order/Protocol.h>

#include <functional>

namespace vendra::server {

using ostrel::Variant;

namespace {

const corvane::fncXML kXml;

QString tagged(const char* name, const Variant& v) { return kXml.SimpleTag(QString::fromLatin1(name), v); }

QString jarray(int columns, int rows, const std::function<void(ostrel::clsTable&, int)>& fill) {
    ostrel::clsTable t;
    t.setNOF(columns);
    for (int r = 0; r < rows; ++r) {
        t.AppendBlank();
        fill(t, r);
    }
    return kXml.JarrayToTag(t);
}

Variant dateValue(const QString& iso) {
    auto d = ostrel::ParseDateText(iso);
    return d ? Variant(*d) : Variant();
}

int count(size_t n) { return static_cast<int>(n); }

}  // namespace

QString SuccessReply(const QString& tags) { return tagged(tag::Success, Variant(int16_t(1))) + tags; }

QString RefusalReply(const QString& message, const QString& before) {
    return before + tagged(tag::Success, Variant(int16_t(0))) + tagged(tag::FailMsg, Variant(message));
}

QString LoginHead(const QString& versionText, const QString& notice) {
    return tagged(tag::Version, Variant(versionText)) + tagged(tag::Notice, Variant(notice));
}

QString LoginSuccess(const QString& grade) {
    return SuccessReply(tagged(tag::Dgr, Variant(grade)) + tagged(tag::FailMsg, Variant(QString())));
}

QString NoticeReply(const QString& text) { return SuccessReply(tagged(tag::Notice, Variant(text))); }

QString StoredOrderReply(const StoredOrder& o) {
    const OrderLine message{{}, {}, {}, {}, {}, {}, {}, o.message};
    const int lines = count(o.lines.size());
    const QString table = jarray(orderColumn::Count, lines + (o.message.isEmpty() ? 0 : 1), [&](auto& t, int r) {
        namespace c = orderColumn;
        const OrderLine& l = r < lines ? o.lines[static_cast<size_t>(r)] : message;
        t.setFields(c::Product, Variant(l.product));
        t.setFields(c::Quantity, Variant(l.quantity));
        t.setFields(c::UnitPrice, Variant(l.unitPrice));
        t.setFields(c::Vat, Variant(l.vat));
        t.setFields(c::Supply, Variant(l.supply));
        t.setFields(c::Tax, Variant(l.tax));
        t.setFields(c::Amount, Variant(l.amount));
        t.setFields(c::Remark, Variant(l.remark));
    });
    return SuccessReply(tagged(tag::Received, Variant(o.accepted)) + table);
}

QString DisplayListReply(const std::vector<QString>& keys) {
    return SuccessReply(jarray(displayColumn::Count, count(keys.size()), [&](auto& t, int r) {
        t.setFields(displayColumn::Product, Variant(keys[static_cast<size_t>(r)]));
    }));
}

QString PriceListReply(const std::vector<PriceRow>& prices) {
    return SuccessReply(jarray(priceColumn::Count, count(prices.size()), [&](auto& t, int r) {
        const PriceRow& p = prices[static_cast<size_t>(r)];
        t.setFields(priceColumn::Product, Variant(JoinProductKey(p.name, p.unit)));
        t.setFields(priceColumn::UnitPrice, Variant(p.unitPrice));
        t.setFields(priceColumn::Vat, Variant(p.vat));
    }));
}

QString DeliveriesReply(const std::vector<DeliveryRow>& rows) {
    return SuccessReply(jarray(deliveryColumn::Count, count(rows.size()), [&](auto& t, int r) {
        namespace c = deliveryColumn;
        const DeliveryRow& d = rows[static_cast<size_t>(r)];
        t.setFields(c::Date, dateValue(d.date));
        t.setFields(c::Product, Variant(d.product));
        t.setFields(c::Quantity, Variant(d.quantity));
        t.setFields(c::UnitPrice, Variant(d.unitPrice));
        t.setFields(c::Vat, Variant(d.vat));
        t.setFields(c::Supply, Variant(d.supply));
        t.setFields(c::Tax, Variant(d.tax));
        t.setFields(c::Amount, Variant(d.amount));
    }));
}

}  // namespace vendra::server
