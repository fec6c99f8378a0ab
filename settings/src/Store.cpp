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

}  // namespace sembrin::detail
