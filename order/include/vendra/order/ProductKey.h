#pragma once
// Product key: name + "_" + unit, or the name alone when the unit is empty.
#include <QString>

namespace vendra {

struct ProductName {
    QString name;
    QString unit;
};

// Cuts at the last "_": a name may itself hold "_", a unit never does.
ProductName SplitProductKey(const QString& key);
QString JoinProductKey(const QString& name, const QString& unit);

}  // namespace vendra
