#include "vendra/OrderSheet.h"

#include "ostrel/RuntimeError.h"
#include "ostrel/fncString.h"
#include "tessel/Stru.h"
#include "vendra/order/ProductKey.h"
#include "vendra/order/Vat.h"

#include <QHash>
#include <QSet>

namespace vendra {

using ostrel::clsTable;
using ostrel::Currency;
using ostrel::TableRef;
using ostrel::Variant;

namespace {
QString cellText(const Variant& v) {
    if (v.isEmpty() || v.isNull() || v.isArray() || v.isObject()) return QString();
    return v.toString();
}

// Name and unit as one hash key; the separator never occurs in a product key.
QString rowKey(const QString& name, const QString& unit) { return name + QChar(0x1F) + unit; }
}  // namespace

QString AmountTooLargeMessage(int row, const QString& name) {
    return QStringLiteral("%1번째 줄(%2)의 금액이 너무 큽니다.").arg(row + 1).arg(name);
}

Currency CellCurrency(const Variant& v) {
    if (v.isEmpty() || v.isNull() || v.isArray() || v.isObject()) return Currency();
    if (v.isString() && !ostrel::IsNumeric(v)) return Currency();
    return v.toCurrency();
}

Variant OrderSheetStru() {
    using tessel::fieldDef;
    return tessel::makeStru(std::vector<Variant>{
        fieldDef(QStringLiteral("c"), 30, 0, QStringLiteral("품명"), QStringLiteral("Locked")),
        fieldDef(QStringLiteral("c"), 6, 0, QStringLiteral("단위"), QStringLiteral("NotStop")),
        fieldDef(QStringLiteral("n"), 10, 1, QStringLiteral("수량")),
        fieldDef(QStringLiteral("n"), 7, 0, QStringLiteral("단가"), QStringLiteral("NotStop")),
        fieldDef(QStringLiteral("c"), 1, 0, QStringLiteral("V"), QStringLiteral("NotStop")),
        fieldDef(QStringLiteral("n"), 13, 0, QStringLiteral("금액"), QStringLiteral("NotStop")),
        fieldDef(QStringLiteral("c"), 16, 0, QStringLiteral("비고")),
    });
}

TableRef LoadOrderableItems(const clsTable& unitPrices, const clsTable& displayItems) {
    auto out = std::make_shared<clsTable>();
    out->setNOF(3);
    const int prices = unitPrices.RecCount();
    const int priceFields = unitPrices.NOF();
    auto copy = [&](int i) {
        out->AppendBlank();
        for (int j = 0; j < 3 && j < priceFields; ++j) out->setFields(j, unitPrices.cellRef(i, j));
    };
    if (prices == 0 || priceFields < 1) return out;

    // Display keys compare as variants do; the server sends them as text, so text keys are hashed
    // and anything else falls back to the variant comparison.
    QSet<QString> shown;
    std::vector<Variant> otherKeys;
    if (displayItems.NOF() >= 1) {
        for (int i = 0; i < displayItems.RecCount(); ++i) {
            const Variant& k = displayItems.cellRef(i, 0);
            if (const QString* s = k.stringIf()) shown.insert(*s);
            else otherKeys.push_back(k);
        }
    }
    auto inDisplay = [&](const Variant& key) {
        if (const QString* s = key.stringIf(); s && shown.contains(*s)) return true;
        if (key.isEmpty() && shown.contains(QString())) return true;
        for (const Variant& k : otherKeys)
            if (k == key) return true;
        if (!key.isString()) {
            for (const QString& s : shown)
                if (Variant(s) == key) return true;
        }
        return false;
    };
    for (int i = 0; i < prices; ++i)
        if (inDisplay(unitPrices.cellRef(i, 0))) copy(i);
    if (out->RecCount() == 0)
        for (int i = 0; i < prices; ++i) copy(i);
    out->MoveFirst();
    return out;
}

int FindProductRow(const clsTable& t, const QString& name, const QString& unit) {
    for (int i = 0; i < t.RecCount(); ++i) {
        if (cellText(t.cellRef(i, sheet::Name)) == name && cellText(t.cellRef(i, sheet::Unit)) == unit) return i;
    }
    return -1;
}

MergedSheet MergeOrderSheet(const clsTable& orderable, const clsTable& stored) {
    MergedSheet m;
    auto t = std::make_shared<clsTable>();
    t->setNOF(sheet::NOF);
    QHash<QString, int> rows;  // first row of each name and unit, as FindProductRow would find it
    rows.reserve(orderable.RecCount() + stored.RecCount());

    const int itemFields = orderable.NOF();
    for (int i = 0; i < orderable.RecCount(); ++i) {
        const ProductName p = SplitProductKey(cellText(orderable.cellRef(i, 0)));
        t->AppendBlank();
        const int r = t->Recno();
        t->setCell(r, sheet::Name, p.name);
        t->setCell(r, sheet::Unit, p.unit);
        if (itemFields > 1) t->setCell(r, sheet::Price, orderable.cellRef(i, 1));
        if (itemFields > 2) t->setCell(r, sheet::Vat, orderable.cellRef(i, 2));
        const QString k = rowKey(p.name, p.unit);
        if (!rows.contains(k)) rows.insert(k, r);  // a duplicate offer keeps the first row
    }

    const int storedFields = stored.NOF();
    auto storedCell = [&](int i, int j) -> Variant {
        return j < storedFields ? stored.cellRef(i, j) : Variant();
    };
    for (int i = 0; i < stored.RecCount(); ++i) {
        const QString key = cellText(storedCell(i, 0));
        const Variant remark = storedCell(i, 7);
        if (key.isEmpty()) {
            m.message = cellText(remark);
            m.hasMessage = true;
            continue;
        }
        const ProductName p = SplitProductKey(key);
        const QString k = rowKey(p.name, p.unit);
        const Currency storedQty = CellCurrency(storedCell(i, 1));
        int r;
        if (auto it = rows.constFind(k); it != rows.cend()) {
            r = it.value();
            const Currency qty = CellCurrency(t->cellRef(r, sheet::Quantity)) + storedQty;
            t->setCell(r, sheet::Quantity, qty);
            t->setCell(r, sheet::Amount, LineAmount(qty, CellCurrency(t->cellRef(r, sheet::Price))));
        } else {
            t->AppendBlank();
            r = t->Recno();
            t->setCell(r, sheet::Name, p.name);
            t->setCell(r, sheet::Unit, p.unit);
            t->setCell(r, sheet::Quantity, storedQty);
            rows.insert(k, r);
        }
        t->setCell(r, sheet::Remark, remark.isString() ? remark : Variant(cellText(remark)));
    }
    t->MoveFirst();
    m.table = t;
    return m;
}

std::vector<OrderLine> CollectOrderLines(const clsTable& t, const QString& message) {
    const ostrel::fncString str;
    std::vector<OrderLine> lines;
    for (int i = 0; i < t.RecCount(); ++i) {
        const Currency qty = CellCurrency(t.cellRef(i, sheet::Quantity));
        if (qty == Currency()) continue;
        OrderLine l;
        l.product = JoinProductKey(cellText(t.cellRef(i, sheet::Name)), cellText(t.cellRef(i, sheet::Unit)));
        l.quantity = qty;
        l.unitPrice = CellCurrency(t.cellRef(i, sheet::Price));
        l.vat = cellText(t.cellRef(i, sheet::Vat));
        VatSplit v;
        try {
            v = SplitVat(l.vat, LineAmount(qty, l.unitPrice));
        } catch (const ostrel::RuntimeError&) {
            const QString name = cellText(t.cellRef(i, sheet::Name));
            throw ostrel::RuntimeError(ostrel::err::Overflow, AmountTooLargeMessage(i, name));
        }
        l.supply = v.supply;
        l.tax = v.tax;
        l.amount = v.total;
        l.remark = str.leftDB(cellText(t.cellRef(i, sheet::Remark)), 255);
        lines.push_back(std::move(l));
    }
    if (!message.isEmpty()) {
        OrderLine l;
        l.remark = str.leftDB(message, 255);
        lines.push_back(std::move(l));
    }
    return lines;
}

}  // namespace vendra
