#include "sorvic/IdleCache.h"

#include "MasterQuery.h"

#include <cmath>

namespace sorvic {

namespace {
constexpr double kMillisecondsPerDay = 86400000.0;
constexpr long long kIdleMilliseconds = 10000;
}  // namespace

const QHash<QString, QString>& IdleCache::get(ostrel::Date now, const Load& load) {
    // Whole milliseconds, so that exactly 10 seconds is not "more than 10"; a clock that went
    // back cannot tell how long it was, so it reloads too.
    const long long idle = std::llround((now.serial - last_.serial) * kMillisecondsPerDay);
    if (!loaded_ || idle > kIdleMilliseconds || idle < 0) {
        values_ = load();
        loaded_ = true;
    }
    last_ = now;
    return values_;
}

QHash<QString, QString> loadNamed(const QString& sql, const QString& nameField, const QString& field,
                                  const std::function<bool(const QString&)>& keep) {
    QHash<QString, QString> out;
    ostrel::Recordset rs = detail::zepDb().OpenRecordset(sql);
    for (; !rs.isEOF(); rs.MoveNext()) {
        const QString value = detail::textOf(rs, field);
        if (keep && !keep(value)) continue;
        const QString name = detail::textOf(rs, nameField);
        if (!out.contains(name)) out.insert(name, value);
    }
    return out;
}

}  // namespace sorvic
