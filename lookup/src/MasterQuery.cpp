#include "MasterQuery.h"

#include "ostrel/RuntimeError.h"
#include "sembrin/pptPublicValue.h"

namespace sorvic::detail {

ostrel::Database& zepDb() {
    ostrel::DatabaseRef db = sembrin::pptPublicValue().ZepDb();
    if (!db) throw ostrel::RuntimeError::engine(ostrel::err::DbClosed, QStringLiteral("ZepDb"));
    return *db;
}

QString selectOf(const MasterTable& t, const QString& condition, bool ordered) {
    QStringList where;
    if (t.withdrawable) where << QStringLiteral("NOT deleted");
    if (!condition.isEmpty()) where << (t.withdrawable ? QStringLiteral("(%1)").arg(condition) : condition);
    QString sql = QStringLiteral("SELECT * FROM ") + t.table;
    if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    if (ordered) sql += QStringLiteral(" ORDER BY code,") + t.table;
    return sql;
}

QString textOf(const ostrel::Recordset& rs, const QString& field) {
    const ostrel::Variant v = rs.value(field);
    return v.isNull() || v.isEmpty() ? QString() : v.toString();
}

}  // namespace sorvic::detail
