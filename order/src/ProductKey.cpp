#include "vendra/order/ProductKey.h"

namespace vendra {

ProductName SplitProductKey(const QString& key) {
    const qsizetype p = key.lastIndexOf(QLatin1Char('_'));
    if (p < 0) return {key, QString()};
    return {key.left(p), key.mid(p + 1)};
}

QString JoinProductKey(const QString& name, const QString& unit) {
    if (unit.isEmpty()) return name;
    return name + QLatin1Char('_') + unit;
}

}  // namespace vendra
