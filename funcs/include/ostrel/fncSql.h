#pragma once
// SELECT texts and the date-period condition in the engine's SQL forms.
#include "ostrel/DateTime.h"

#include <QString>

namespace ostrel {

class fncSql {
public:
    QString MakeSelectSql(const QString& Fields, const QString& from, const QString& where) const;
    QString MakeSelectSqlGo(const QString& Fields, const QString& from, const QString& where, const QString& group,
                            const QString& order) const;
    // date>=#2024-03-01# AND date<=#2024-03-31#
    QString MakePeriodSql(Date dDate1, Date dDate2, const QString& sDateFieldName = QStringLiteral("date")) const;
};

}  // namespace ostrel
