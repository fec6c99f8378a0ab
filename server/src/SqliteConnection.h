#pragma once
// One SQLite connection of the store and the statements prepared on it. Every failure is a
// StoreError carrying SQLite's extended result code.
#include "Store.h"

#include <QString>
#include <cstdint>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace vendra::server {

// One prepared statement in use: binds, steps, reads columns, resets itself when done.
class Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* s) : db_(db), s_(s) {}
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int i, const QString& v);
    Statement& bind(int i, int64_t v);
    Statement& bind(int i, Currency v) { return bind(i, v.raw()); }

    // True while there is a row to read.
    bool step();
    void run() {
        while (step()) {
        }
    }

    QString text(int col) const;
    int64_t integer(int col) const;
    Currency money(int col) const { return Currency::fromRaw(integer(col)); }
    bool isNull(int col) const;

private:
    void check(int rc, const char* what);
    sqlite3* db_;
    sqlite3_stmt* s_;
};

// Foreign keys on, synchronous FULL, a busy wait of ten seconds; statements prepared once and reused.
class SqliteConnection {
public:
    explicit SqliteConnection(const QString& path);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    void exec(const char* sql);
    // `sql` must outlive the connection: the cache is keyed by its address.
    Statement prepare(const char* sql);

    int64_t lastInsertId() const;
    int changes() const;

private:
    sqlite3* db_ = nullptr;
    std::unordered_map<const char*, sqlite3_stmt*> cache_;
};

}  // namespace vendra::server
