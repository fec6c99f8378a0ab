#include "SqliteConnection.h"

#include <sqlite3.h>

#include <QByteArray>
#include <string>

namespace vendra::server {

namespace {

StoreError failure(sqlite3* db, int rc, const std::string& what) {
    return StoreError(what + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)), rc);
}

}  // namespace

Statement::~Statement() {
    sqlite3_reset(s_);
    sqlite3_clear_bindings(s_);
}

Statement& Statement::bind(int i, const QString& v) {
    QByteArray utf8 = v.toUtf8();
    check(sqlite3_bind_text(s_, i, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT), "sqlite bind");
    return *this;
}

Statement& Statement::bind(int i, int64_t v) {
    check(sqlite3_bind_int64(s_, i, v), "sqlite bind");
    return *this;
}

bool Statement::step() {
    int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw failure(db_, rc, "sqlite");
}

QString Statement::text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s_, col));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(s_, col)) : QString();
}

int64_t Statement::integer(int col) const { return sqlite3_column_int64(s_, col); }

bool Statement::isNull(int col) const { return sqlite3_column_type(s_, col) == SQLITE_NULL; }

void Statement::check(int rc, const char* what) {
    if (rc != SQLITE_OK) throw failure(db_, rc, what);
}

SqliteConnection::SqliteConnection(const QString& path) {
    QByteArray p = path.toUtf8();
    int rc = sqlite3_open_v2(p.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        StoreError e = db_ ? failure(db_, sqlite3_extended_errcode(db_), "cannot open " + p.toStdString())
                           : failure(nullptr, rc, "cannot open " + p.toStdString());
        sqlite3_close(db_);
        throw e;
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 10000);
    try {
        exec("PRAGMA foreign_keys = ON");  // the first statement reads the file: a file that is no store fails here
        exec("PRAGMA synchronous = FULL");
    } catch (...) {
        sqlite3_close(db_);  // no destructor runs for a constructor that throws
        throw;
    }
}

SqliteConnection::~SqliteConnection() {
    for (auto& [sql, s] : cache_) sqlite3_finalize(s);
    sqlite3_close(db_);
}

void SqliteConnection::exec(const char* sql) {
    char* err = nullptr;
    int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(db_);
        sqlite3_free(err);
        throw StoreError("sqlite: " + msg, rc);
    }
}

Statement SqliteConnection::prepare(const char* sql) {
    auto it = cache_.find(sql);
    if (it == cache_.end()) {
        sqlite3_stmt* s = nullptr;
        int rc = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr);
        if (rc != SQLITE_OK) throw failure(db_, rc, "sqlite prepare");
        it = cache_.emplace(sql, s).first;
    }
    return Statement(db_, it->second);
}

int64_t SqliteConnection::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

int SqliteConnection::changes() const { return sqlite3_changes(db_); }

}  // namespace vendra::server
