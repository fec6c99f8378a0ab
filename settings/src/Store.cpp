#include "Store.h"

namespace sembrin::detail {

Store& store() {
    static Store s;
    return s;
}

ostrel::Variant KeyedValues::value(const QString& key) const {
    auto it = items_.constFind(key.toCaseFolded());
    return it == items_.constEnd() ? ostrel::Variant() : it->value;
}

void KeyedValues::set(const QString& key, const ostrel::Variant& value) {
    items_.insert(key.toCaseFolded(), Item{key, value});
}

bool KeyedValues::contains(const QString& key) const {
    return items_.contains(key.toCaseFolded());
}

QString trimSpaces(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' ')) ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' ')) --e;
    return s.mid(b, e - b);
}

}  // namespace sembrin::detail
