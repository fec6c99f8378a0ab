#include "ostrel/fncSql.h"

#include "ostrel/fncDate.h"

namespace ostrel {

QString fncSql::MakeSelectSql(const QString& Fields, const QString& from, const QString& where) const {
    return MakeSelectSqlGo(Fields, from, where, {}, {});
}

QString fncSql::MakeSelectSqlGo(const QString& Fields, const QString& from, const QString& where, const QString& group,
                                const QString& order) const {
    QString sql = QStringLiteral("SELECT ") + Fields + QStringLiteral(" FROM ") + from;
    if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where;
    if (!group.isEmpty()) sql += QStringLiteral(" GROUP BY ") + group;
    if (!order.isEmpty()) sql += QStringLiteral(" ORDER BY ") + order;
    return sql;
}

QString fncSql::MakePeriodSql(Date dDate1, Date dDate2, const QString& sDateFieldName) const {
    fncDate d;
    return sDateFieldName + QStringLiteral(">=") + d.DtoL(dDate1) + QStringLiteral(" AND ") + sDateFieldName +
           QStringLiteral("<=") + d.DtoL(dDate2);
}

}  // namespace ostrel
