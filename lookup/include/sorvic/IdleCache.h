#pragma once
// A field of a master table in memory, by record name: loaded at the first call and again after
// more than 10 seconds without a call, so calls made row after row while a report is sorted are
// answered from memory. The clock is injectable.
#include "ostrel/DateTime.h"

#include <QHash>
#include <QString>
#include <functional>

namespace sorvic {

using Clock = std::function<ostrel::Date()>;

class IdleCache {
public:
    using Load = std::function<QHash<QString, QString>()>;

    // The values, reloaded by `load` when due; every call counts as the last call.
    const QHash<QString, QString>& get(ostrel::Date now, const Load& load);

private:
    QHash<QString, QString> values_;
    bool loaded_ = false;
    ostrel::Date last_;
};

// `field` of every record of `sql`, under its name (`nameField`); the first record of a name wins.
// `keep`, when given, decides which records are kept.
QHash<QString, QString> loadNamed(const QString& sql, const QString& nameField, const QString& field,
                                  const std::function<bool(const QString& value)>& keep = {});

}  // namespace sorvic
