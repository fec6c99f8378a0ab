#include "OpenStore.h"

#include "PgStore.h"
#include "SqliteStore.h"

#include <QRegularExpression>

namespace vendra::server {

bool IsPostgresUrl(const QString& db) {
    return db.startsWith(QLatin1String("postgresql://")) || db.startsWith(QLatin1String("postgres://"));
}

std::unique_ptr<Store> OpenStore(const QString& db, size_t connections) {
    if (IsPostgresUrl(db)) return std::make_unique<PgStore>(db, connections);
    return std::make_unique<SqliteStore>(db);
}

QString StoreName(const QString& db) {
    if (!IsPostgresUrl(db)) return db;
    static const QRegularExpression password(QStringLiteral("^([a-z]+://[^:@/]*):[^@/]*@"));
    QString name = db;
    name.replace(password, QStringLiteral("\\1@"));
    static const QRegularExpression parameter(QStringLiteral("password=[^&]*"));
    return name.replace(parameter, QStringLiteral("password=..."));
}

}  // namespace vendra::server
