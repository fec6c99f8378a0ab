#pragma once
// The store a --db value names: a postgresql:// (or postgres://) URI is a PostgreSQL database,
// anything else the path of an SQLite file.
#include "Store.h"

#include <QString>
#include <memory>

namespace vendra::server {

bool IsPostgresUrl(const QString& db);

// Opens the store and brings its schema up to date. `connections` bounds the PostgreSQL pool.
std::unique_ptr<Store> OpenStore(const QString& db, size_t connections);

// The --db value fit for a log or a terminal: a password in a URI is left out.
QString StoreName(const QString& db);

}  // namespace vendra::server
