#include "ostrel/Database.h"

#include "DbConnection.h"
#include "JetSql.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <algorithm>
#include <limits>

namespace ostrel {

using dbengine::Connection;
using dbengine::quoteName;
using dbengine::Statement;

namespace {

// The stored size of each type: text keeps its own (0 asks for the largest), memo none.
int storedSize(const FieldDef& f) {
    switch (f.Type) {
    case dbType::Boolean: case dbType::Byte: return 1;
    case dbType::Integer: return 2;
    case dbType::Long: case dbType::Single: return 4;
    case dbType::Currency: case dbType::Double: case dbType::Date: return 8;
    case dbType::Memo: return 0;
    case dbType::Text:
        if (f.Size < 0 || f.Size > dbType::MaxTextSize) throw RuntimeError::engine(err::DbInvalidField, f.Name);
        return f.Size == 0 ? dbType::MaxTextSize : f.Size;
    default: throw RuntimeError::engine(err::DbInvalidField, QStringLiteral("%1 (%2)").arg(f.Name).arg(f.Type));
    }
}

const char* columnType(int type) {
    switch (type) {
    case dbType::Text: case dbType::Memo: return "TEXT COLLATE NOCASE";
    case dbType::Currency: case dbType::Single: case dbType::Double: case dbType::Date: return "REAL";
    default: return "INTEGER";
    }
}

QString indexName(const QString& table, const QString& index) { return quoteName(table + u'.' + index); }

// Runs `body` in one transaction: a failure leaves the database as it was.
template <class F>
void atomically(Connection& c, F&& body) {
    c.flush();
    c.exec(QStringLiteral("SAVEPOINT ddl"));
    try {
        body();
    } catch (...) {
        c.exec(QStringLiteral("ROLLBACK TO ddl"));
        c.exec(QStringLiteral("RELEASE ddl"));
        c.forgetFields();
        throw;
    }
    c.exec(QStringLiteral("RELEASE ddl"));
    c.forgetFields();
}

void requireWritable(const Connection& c) {
    c.check();
    if (c.readOnly) throw RuntimeError::engine(err::DbReadOnly, c.path);
}

// The connection to copy from: this process's own when it holds the file, else a shared read.
std::shared_ptr<Connection> sourceFor(const QString& path) {
    if (auto c = dbengine::openedHere(path)) {
        c->flush();
        return c;
    }
    return dbengine::openConnection(path, false, true, false);
}

// Checks a finished copy; a damaged one is removed and reported.
void verifyCopy(const QString& path) {
    auto c = dbengine::openConnection(path, false, true, false);
    Statement s(*c, QStringLiteral("PRAGMA integrity_check"));
    bool ok = s.step() && s.column(0).toString() == u"ok";
    c->close();
    if (!ok) {
        QFile::remove(path);
        throw RuntimeError::engine(err::DbNotADatabase, path);
    }
}

}  // namespace

Database::Database(std::shared_ptr<Connection> c) : c_(std::move(c)) {}
Database::~Database() = default;

std::shared_ptr<Database> Database::Open(const QString& path, bool exclusive, bool readOnly) {
    return std::shared_ptr<Database>(new Database(dbengine::openConnection(path, exclusive, readOnly, false)));
}

std::shared_ptr<Database> Database::Create(const QString& path) {
    return std::shared_ptr<Database>(new Database(dbengine::openConnection(path, false, false, true)));
}

QString Database::Name() const { return c_->path; }
bool Database::isReadOnly() const { return c_->readOnly; }
bool Database::isExclusive() const { return c_->exclusive; }
bool Database::isOpen() const { return c_->isOpen(); }
void Database::Close() { c_->close(); }
void Database::Flush() { c_->flush(); }

QStringList Database::TableNames() const {
    Statement s(*c_, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%'"
                                    " ESCAPE '\\' AND name<>? ORDER BY rowid"));
    s.bind(1, QString::fromLatin1(dbengine::catalogTable()));
    QStringList names;
    while (s.step()) names << s.column(0).toString();
    return names;
}

bool Database::hasTable(const QString& name) const {
    return name != QLatin1String(dbengine::catalogTable()) && !c_->exactTable(name).isEmpty();
}

TableDef Database::tableDef(const QString& name) const {
    if (!hasTable(name)) throw RuntimeError::engine(err::DbItemNotFound, name);
    TableDef def{name, c_->fieldsOf(name), {}};
    Statement list(
        *c_, QStringLiteral("SELECT name,\"unique\" FROM pragma_index_list(?) WHERE origin='c' ORDER BY seq DESC"));
    list.bind(1, name);
    const QString prefix = name + u'.';
    while (list.step()) {
        QString full = list.column(0).toString();
        IndexDef ix{full.startsWith(prefix) ? full.mid(prefix.size()) : full, {}, list.column(1).toBool()};
        Statement cols(*c_, QStringLiteral("SELECT name FROM pragma_index_info(?) ORDER BY seqno"));
        cols.bind(1, full);
        while (cols.step()) ix.Fields << cols.column(0).toString();
        def.Indexes.push_back(std::move(ix));
    }
    return def;
}

void Database::Append(const TableDef& def) {
    requireWritable(*c_);
    if (def.Fields.Count() == 0) throw RuntimeError::engine(err::DbNoFields, def.Name);
    QStringList columns;
    for (const FieldDef& f : def.Fields) {
        storedSize(f);  // refuses a type or size the engine has not
        columns << quoteName(f.Name) + u' ' + QLatin1String(columnType(f.Type));
    }
    atomically(*c_, [&] {
        c_->exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteName(def.Name), columns.join(u", ")));
        Statement add(*c_, QStringLiteral("INSERT INTO %1 VALUES (?,?,?,?,?,?)").arg(dbengine::catalogTable()));
        int pos = 0;
        for (const FieldDef& f : def.Fields) {
            add.bindAll({def.Name, pos++, f.Name, f.Type, storedSize(f), f.AllowZeroLength});
            add.step();
            add.reset();
        }
        for (const IndexDef& ix : def.Indexes) CreateIndex(def.Name, ix);
    });
}

void Database::DeleteTable(const QString& name) {
    requireWritable(*c_);
    if (!hasTable(name)) throw RuntimeError::engine(err::DbItemNotFound, name);
    atomically(*c_, [&] {
        c_->exec(QStringLiteral("DROP TABLE %1").arg(quoteName(name)));
        Statement drop(*c_, QStringLiteral("DELETE FROM %1 WHERE tbl=?").arg(dbengine::catalogTable()));
        drop.bind(1, name);
        drop.step();
    });
}

void Database::CreateIndex(const QString& table, const IndexDef& index) {
    requireWritable(*c_);
    const FieldList& fields = c_->fieldsOf(table);
    QStringList cols;
    for (const QString& f : index.Fields.isEmpty() ? QStringList{index.Name} : index.Fields) {
        if (!fields.contains(f)) throw RuntimeError::engine(err::DbItemNotFound, f);
        cols << quoteName(f);
    }
    c_->flush();
    c_->exec(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                 .arg(index.Unique ? QStringLiteral("UNIQUE ") : QString(), indexName(table, index.Name),
                      quoteName(table), cols.join(u", ")));
}

long long Database::RecordCount(const QString& table) const {
    if (!hasTable(table)) throw RuntimeError::engine(err::DbItemNotFound, table);
    Statement s(*c_, QStringLiteral("SELECT count(*) FROM %1").arg(quoteName(table)));
    s.step();
    return s.int64(0);
}

long long Database::Execute(const QString& sql, const std::vector<Variant>& params) {
    requireWritable(*c_);
    auto text = dbengine::translate(sql, params);
    Statement s(*c_, text.sql);
    s.bindAll(text.params);
    s.step();
    c_->forgetFields();
    return sqlite3_changes64(c_->db);
}

void Database::AppendFrom(const QString& table, Database& from, const QString& source,
                          const std::function<void(long long, long long)>& each) {
    requireWritable(*c_);
    const FieldList& to = c_->fieldsOf(table);
    const FieldList& in = from.c_->fieldsOf(source);
    std::vector<int> target;  // destination field of each copied source field
    QStringList read, write;
    for (int i = 0; i < in.Count(); ++i) {
        int j = to.indexOf(in[i].Name);
        if (j < 0) continue;
        target.push_back(j);
        read << quoteName(in[i].Name);
        write << quoteName(to[j].Name);
    }
    long long count = from.RecordCount(source);
    long long last = 0;
    {
        Statement top(*from.c_, QStringLiteral("SELECT ifnull(max(rowid),0) FROM %1").arg(quoteName(source)));
        top.step();
        last = top.int64(0);  // records this copy adds to its own source are not read again
    }
    if (write.isEmpty()) read << QStringLiteral("1");
    Statement sel(*from.c_, QStringLiteral("SELECT %1 FROM %2 WHERE rowid<=? ORDER BY rowid")
                                .arg(read.join(u','), quoteName(source)));
    sel.bindInt64(1, last);
    QStringList marks;
    marks.fill(QStringLiteral("?"), write.size());
    Statement ins(*c_, write.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteName(table))
                                       : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                             .arg(quoteName(table), write.join(u','), marks.join(u',')));
    // A value of the same type passes as stored; others (and texts with limits) are converted.
    std::vector<bool> direct;
    for (size_t k = 0; k < target.size(); ++k) {
        const FieldDef& a = in[in.indexOf(to[target[k]].Name)];
        const FieldDef& b = to[target[k]];
        bool text = b.Type == dbType::Text || b.Type == dbType::Memo;
        bool fits = b.Type == dbType::Memo || a.Size <= b.Size;
        direct.push_back(a.Type == b.Type && (!text || (fits && (b.AllowZeroLength || !a.AllowZeroLength))));
    }
    bool allDirect = from.c_ == c_ && std::all_of(direct.begin(), direct.end(), [](bool b) { return b; });
    if (allDirect && !write.isEmpty()) {
        // Within one database and without conversions SQLite copies a stretch at a time; the
        // stretches end where the percentage of records done changes, so `each` sees the same
        // positions a record-by-record copy would report.
        Statement end(*c_, QStringLiteral("SELECT max(rowid) FROM (SELECT rowid FROM %1 WHERE rowid>? AND rowid<=?"
                                          " ORDER BY rowid LIMIT ?)").arg(quoteName(source)));
        Statement copy(*c_,
                       QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 WHERE rowid>? AND rowid<=? ORDER BY rowid")
                           .arg(quoteName(table), write.join(u','), read.join(u','), quoteName(source)));
        long long done = -1, lastKey = std::numeric_limits<long long>::min();
        for (int k = 1; k <= 100 && done < count - 1; ++k) {
            long long stop = k == 100 ? count - 1 : std::min(count - 1, (k * count + 99) / 100);
            if (stop <= done) continue;
            end.reset();
            end.bindInt64(1, lastKey);
            end.bindInt64(2, last);
            end.bindInt64(3, stop - done);
            end.step();
            long long endKey = end.int64(0);
            copy.reset();
            copy.bindInt64(1, lastKey);
            copy.bindInt64(2, endKey);
            c_->noteWrite();
            copy.step();
            lastKey = endKey;
            done = stop;
            if (each) each(done, count);
        }
        return;
    }
    for (long long pos = 0; sel.step(); ++pos) {
        ins.reset();
        for (size_t k = 0; k < target.size(); ++k) {
            int col = static_cast<int>(k);
            const FieldDef& b = to[target[k]];
            if (direct[k])
                sqlite3_bind_value(ins.get(), col + 1, sqlite3_column_value(sel.get(), col));
            else
                ins.bindField(col + 1, sel.column(col, in[in.indexOf(b.Name)].Type), b);
        }
        c_->noteWrite();
        ins.step();
        if (each) each(pos, count);
    }
}

void Database::Compact(const QString& source, const QString& destination) {
    if (QFileInfo(source).absoluteFilePath() == QFileInfo(destination).absoluteFilePath())
        throw RuntimeError::invalidArgument(QStringLiteral("compacting a database onto itself"));
    auto from = sourceFor(source);
    const QString side = destination + QStringLiteral(".compacting");
    QFile::remove(side);
    Statement vacuum(*from, QStringLiteral("VACUUM INTO ?"));
    vacuum.bind(1, side);
    try {
        vacuum.step();
    } catch (...) {
        QFile::remove(side);
        throw;
    }
    verifyCopy(side);
    if (QFile::exists(destination) && !QFile::remove(destination)) {
        QFile::remove(side);
        throw RuntimeError::pathFileAccess(destination);
    }
    if (!QFile::rename(side, destination)) throw RuntimeError::pathFileAccess(destination);
}

void Database::Backup(const QString& source, const QString& destination) {
    if (QFile::exists(destination) && !QFile::remove(destination)) throw RuntimeError::pathFileAccess(destination);
    auto from = sourceFor(source);
    sqlite3* to = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(destination).constData(), &to,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        // The online backup copies a consistent state even while others keep the file open.
        sqlite3_backup* b = sqlite3_backup_init(to, "main", from->db, "main");
        rc = b ? sqlite3_backup_step(b, -1) : sqlite3_errcode(to);
        if (b) rc = rc == SQLITE_DONE ? sqlite3_backup_finish(b) : (sqlite3_backup_finish(b), rc);
    }
    sqlite3_close_v2(to);  // a committed backup is synced by the engine
    if (rc != SQLITE_OK) {
        QFile::remove(destination);
        from->fail(rc, destination);
    }
    verifyCopy(destination);
}

}  // namespace ostrel
