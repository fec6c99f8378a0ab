#pragma once
// One database file of the engine (SQLite underneath). Opened shared, exclusive or read-only;
// closed by Close() or when the last holder lets go. Record sets keep it alive while open.
#include "ostrel/DbTypes.h"
#include "ostrel/Recordset.h"
#include "ostrel/Variant.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace ostrel {

namespace dbengine {
struct Connection;
}

class Database : public VObject {
public:
    // Error 3024 for a missing file, 3356 when another holder has it exclusively, 3045 when an
    // exclusive open finds other holders, 3049 for a file that is no database.
    static std::shared_ptr<Database> Open(const QString& path, bool exclusive = false, bool readOnly = false);
    // A new empty database; error 3204 when the file exists.
    static std::shared_ptr<Database> Create(const QString& path);
    // Compacts `source` into the new file `destination` (replaced when present). The source is
    // never changed: the copy is written under a side name, checked, then renamed.
    static void Compact(const QString& source, const QString& destination);
    // A consistent copy of the database file `source` into `destination` (replaced), even while
    // this process holds it open; the copy is synced and checked before it takes its name.
    static void Backup(const QString& source, const QString& destination);

    ~Database() override;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QString Name() const;  // the file's path as opened
    bool isReadOnly() const;
    bool isExclusive() const;
    bool isOpen() const;
    void Close();  // writes pending records; further use raises 3420

    // TableDefs: names in creation order, look-up by exact name, append, delete.
    QStringList TableNames() const;
    bool hasTable(const QString& name) const;  // case-sensitive
    TableDef tableDef(const QString& name) const;  // error 3265 when missing
    void Append(const TableDef& def);  // creates the table with its fields and indexes
    void DeleteTable(const QString& name);
    void CreateIndex(const QString& table, const IndexDef& index);
    long long RecordCount(const QString& table) const;

    // A record set of a table by name, or of a SELECT text (the engine's SQL forms: #y-m-d# dates,
    // '..' and ".." strings, `?` for `params` in order). A SELECT of plain fields of one table
    // can be edited; others (groups, sums) are read-only snapshots.
    Recordset OpenRecordset(const QString& tableOrSql, const std::vector<Variant>& params = {});

    // Copies every record of table `source` of `from` (this database or another) into `table`,
    // matching fields by exact name and converting values to the destination's types;
    // `each(position, count)` runs after every saved record.
    void AppendFrom(const QString& table, Database& from, const QString& source,
                    const std::function<void(long long, long long)>& each = {});

    // Runs an action text (INSERT, UPDATE, DELETE) in the same SQL forms; the records affected.
    long long Execute(const QString& sql, const std::vector<Variant>& params = {});

    // Writes records still held in the running batch (record sets group writes for speed).
    void Flush();

    const std::shared_ptr<dbengine::Connection>& connection() const { return c_; }

private:
    explicit Database(std::shared_ptr<dbengine::Connection> c);
    std::shared_ptr<dbengine::Connection> c_;
};
using DatabaseRef = std::shared_ptr<Database>;

// The workspace databases are opened in; one per process is enough.
class Workspace : public VObject {
public:
    DatabaseRef OpenDatabase(const QString& path, bool exclusive = false, bool readOnly = false) const {
        return Database::Open(path, exclusive, readOnly);
    }
    void CompactDatabase(const QString& source, const QString& destination) const {
        Database::Compact(source, destination);
    }
};
using WorkspaceRef = std::shared_ptr<Workspace>;

}  // namespace ostrel
