#pragma once
// The engine's inside: one SQLite connection with its file lock, prepared statements, typed
// values, the catalog of field definitions and the write batch.
#include "ostrel/DbTypes.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/Variant.h"

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace ostrel::dbengine {

struct Connection;

// A prepared statement; finalized when it goes.
class Statement {
public:
    Statement(const Connection& c, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const Variant& v);  // 1-based, by the value's own kind
    void bindInt64(int index, long long v);
    void bindAll(const std::vector<Variant>& params, int first = 1);
    void bindField(int index, const Variant& v, const FieldDef& f);  // converted to the field's type
    bool step();  // true with a row
    void reset();
    long long int64(int col) const;
    Variant column(int col, int type) const;  // read back as the field's type
    Variant column(int col) const;            // by the stored kind
    int columnCount() const;
    QString columnName(int col) const;
    sqlite3_stmt* get() const { return s_; }

private:
    const Connection& c_;
    sqlite3_stmt* s_ = nullptr;
};

struct Connection {
    sqlite3* db = nullptr;
    QString path;
    bool readOnly = false;
    bool exclusive = false;
    int lockFd = -1;
    bool inBatch = false;
    int batchWrites = 0;
    mutable QHash<QString, FieldList> fields;  // catalog cache by exact table name

    ~Connection();
    bool isOpen() const { return db != nullptr; }
    void check() const;  // error 3420 when closed
    void close();
    void exec(const QString& sql) const;
    [[noreturn]] void fail(int rc, const QString& context = {}) const;

    // Writes join a batch that Flush() (or every few thousand writes) commits.
    void noteWrite();
    void flush();

    // Exact (case-sensitive) name of a table, or its stored spelling for SQL texts, which ignore
    // case. Empty when there is none.
    QString exactTable(const QString& name) const;
    QString tableForSql(const QString& name) const;
    const FieldList& fieldsOf(const QString& table) const;  // error 3265 when the table is missing
    void forgetFields() { fields.clear(); }
};

std::shared_ptr<Connection> openConnection(const QString& path, bool exclusive, bool readOnly, bool create);
// The connection this process holds on that file, if any (a backup copies through it).
std::shared_ptr<Connection> openedHere(const QString& path);

QString quoteName(const QString& name);  // "name" with inner quotes doubled
inline const char* catalogTable() { return "_ostrel_fields"; }

}  // namespace ostrel::dbengine
