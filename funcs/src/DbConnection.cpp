#include "DbConnection.h"

#include <QFileInfo>
#include <QMap>
#include <sqlite3.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace ostrel::dbengine {

namespace {

constexpr int kBatchWrites = 20000;
constexpr int kBusyTimeoutMs = 2000;

// Which engine number a SQLite failure is, by its code and, for schema errors, its text.
int numberFor(int rc, const QString& message) {
    switch (rc & 0xff) {
    case SQLITE_CONSTRAINT:
        return (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) ? err::DbDuplicateKey
                                                                                       : err::DbEngine;
    case SQLITE_BUSY: case SQLITE_LOCKED: return err::DbLocked;
    case SQLITE_READONLY: return err::DbReadOnly;
    case SQLITE_NOTADB: case SQLITE_CORRUPT: return err::DbNotADatabase;
    case SQLITE_FULL: case SQLITE_NOMEM: return err::DbDiskFull;
    case SQLITE_CANTOPEN: return err::DbFileNotFound;
    case SQLITE_ERROR:
        if (message.startsWith(u"no such table")) return err::DbTableNotFound;
        if (message.startsWith(u"no such column")) return err::DbUnknownField;
        if (message.startsWith(u"no such function") || message.startsWith(u"wrong number of arguments"))
            return err::DbUndefinedFunction;
        if (message.startsWith(u"duplicate column name")) return err::DbDuplicateField;
        if (message.startsWith(u"index") && message.contains(u"already exists")) return err::DbIndexExists;
        if (message.startsWith(u"table") && message.contains(u"already exists")) return err::DbTableExists;
        if (message.contains(u"syntax error") || message.contains(u"misuse of aggregate")) return err::DbSyntax;
        return err::DbEngine;
    default: return err::DbEngine;
    }
}

QMap<QString, std::weak_ptr<Connection>>& registry() {
    static QMap<QString, std::weak_ptr<Connection>> r;
    return r;
}

QString canonical(const QString& path) {
    QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QFileInfo(path).absoluteFilePath() : c;
}

// The file lock that makes an exclusive open exclusive for every process, this one included.
int lockFile(const QString& path, bool exclusive) {
    int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw RuntimeError::engine(err::DbFileNotFound, path);
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return fd;
    // Held exclusively elsewhere, or (for an exclusive request) only shared by others.
    bool sharedOnly = exclusive && ::flock(fd, LOCK_SH | LOCK_NB) == 0;
    ::close(fd);
    throw RuntimeError::engine(sharedOnly ? err::DbFileInUse : err::DbExclusiveElsewhere, path);
}

}  // namespace

QString quoteName(const QString& name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// ---- Statement

Statement::Statement(const Connection& c, const QString& sql) : c_(c) {
    c.check();
    QByteArray text = sql.toUtf8();
    int rc = sqlite3_prepare_v2(c.db, text.constData(), static_cast<int>(text.size()), &s_, nullptr);
    if (rc != SQLITE_OK) c.fail(rc);
}

Statement::~Statement() { sqlite3_finalize(s_); }

void Statement::bind(int i, const Variant& v) {
    int rc = SQLITE_OK;
    switch (v.type()) {
    case VarType::Empty: case VarType::Null: rc = sqlite3_bind_null(s_, i); break;
    case VarType::Boolean: rc = sqlite3_bind_int(s_, i, v.toBool() ? -1 : 0); break;
    case VarType::Integer: case VarType::Long: rc = sqlite3_bind_int64(s_, i, v.toLong()); break;
    case VarType::Single: case VarType::Double: case VarType::Currency:
        rc = sqlite3_bind_double(s_, i, v.toDouble()); break;
    case VarType::Date: rc = sqlite3_bind_double(s_, i, v.toDate().serial); break;
    case VarType::String: {
        const QString* s = v.stringIf();
        rc = sqlite3_bind_text16(s_, i, s->utf16(), static_cast<int>(s->size() * 2), SQLITE_TRANSIENT);
        break;
    }
    default: throw RuntimeError::typeMismatch(QStringLiteral("database parameter"));
    }
    if (rc != SQLITE_OK) c_.fail(rc);
}

void Statement::bindInt64(int i, long long v) {
    if (int rc = sqlite3_bind_int64(s_, i, v); rc != SQLITE_OK) c_.fail(rc);
}

void Statement::bindAll(const std::vector<Variant>& params, int first) {
    for (size_t i = 0; i < params.size(); ++i) bind(first + static_cast<int>(i), params[i]);
}

void Statement::bindField(int i, const Variant& v, const FieldDef& f) {
    if (v.isNull() || v.isEmpty()) {
        sqlite3_bind_null(s_, i);
        return;
    }
    switch (f.Type) {
    case dbType::Boolean: sqlite3_bind_int(s_, i, v.toBool() ? -1 : 0); return;
    case dbType::Byte: {
        int32_t n = v.toLong();
        if (n < 0 || n > 255) throw RuntimeError::overflow(f.Name);
        sqlite3_bind_int(s_, i, n);
        return;
    }
    case dbType::Integer: sqlite3_bind_int(s_, i, v.toInteger()); return;
    case dbType::Long: sqlite3_bind_int64(s_, i, v.toLong()); return;
    case dbType::Currency: sqlite3_bind_double(s_, i, v.toCurrency().toDouble()); return;
    case dbType::Single: sqlite3_bind_double(s_, i, static_cast<float>(v.toDouble())); return;
    case dbType::Double: sqlite3_bind_double(s_, i, v.toDouble()); return;
    case dbType::Date: sqlite3_bind_double(s_, i, v.toDate().serial); return;
    default: {
        QString s = v.toString();
        if (s.isEmpty() && !f.AllowZeroLength) throw RuntimeError::engine(err::DbZeroLength, f.Name);
        if (f.Type == dbType::Text && f.Size > 0 && s.size() > f.Size)
            throw RuntimeError::engine(err::DbFieldTooSmall, f.Name);
        sqlite3_bind_text16(s_, i, s.utf16(), static_cast<int>(s.size() * 2), SQLITE_TRANSIENT);
    }
    }
}

bool Statement::step() {
    c_.check();
    int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(s_);
    c_.fail(rc);
}

void Statement::reset() {
    sqlite3_reset(s_);
    sqlite3_clear_bindings(s_);
}

long long Statement::int64(int col) const { return sqlite3_column_int64(s_, col); }
int Statement::columnCount() const { return sqlite3_column_count(s_); }
QString Statement::columnName(int col) const { return QString::fromUtf8(sqlite3_column_name(s_, col)); }

Variant Statement::column(int col) const {
    switch (sqlite3_column_type(s_, col)) {
    case SQLITE_NULL: return Variant::null();
    case SQLITE_INTEGER: {
        long long n = sqlite3_column_int64(s_, col);
        if (n >= INT32_MIN && n <= INT32_MAX) return Variant(static_cast<int32_t>(n));
        return Variant(static_cast<double>(n));
    }
    case SQLITE_FLOAT: return Variant(sqlite3_column_double(s_, col));
    default:
        return Variant(QString::fromUtf16(static_cast<const char16_t*>(sqlite3_column_text16(s_, col)),
                                          sqlite3_column_bytes16(s_, col) / 2));
    }
}

Variant Statement::column(int col, int type) const {
    if (sqlite3_column_type(s_, col) == SQLITE_NULL) return Variant::null();
    // Whatever the column's affinity kept, the value comes back as the field's type.
    Variant raw = column(col);
    auto number = [&]() -> const Variant& { return raw; };
    switch (type) {
    case dbType::Boolean: return Variant(number().toBool());
    case dbType::Byte: case dbType::Integer: return Variant(number().toInteger());
    case dbType::Long: return Variant(number().toLong());
    case dbType::Currency: return Variant(number().toCurrency());
    case dbType::Single: return Variant(static_cast<float>(number().toDouble()));
    case dbType::Double: return Variant(number().toDouble());
    case dbType::Date: return Variant(number().toDate());
    case dbType::Text: case dbType::Memo: return Variant(column(col).toString());
    default: return column(col);
    }
}

// ---- Connection

Connection::~Connection() { close(); }

void Connection::check() const {
    if (!db) throw RuntimeError::engine(err::DbClosed, path);
}

void Connection::close() {
    if (!db) return;
    try {
        flush();
    } catch (const RuntimeError&) {
        // Closing must not throw; SQLite rolls the batch back on close.
    }
    sqlite3_close_v2(db);  // statements still held finalize later
    db = nullptr;
    if (lockFd >= 0) ::close(lockFd);
    lockFd = -1;
    auto& r = registry();
    for (auto it = r.begin(); it != r.end();) {
        auto held = it.value().lock();
        it = !held || held.get() == this ? r.erase(it) : std::next(it);
    }
}

void Connection::fail(int rc, const QString& context) const {
    QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    throw RuntimeError::engine(numberFor(rc, message),
                               context.isEmpty() ? message : context + QStringLiteral(": ") + message);
}

void Connection::exec(const QString& sql) const {
    check();
    char* msg = nullptr;
    int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &msg);
    sqlite3_free(msg);
    if (rc != SQLITE_OK) fail(rc);
}

void Connection::noteWrite() {
    if (!inBatch) {
        exec(QStringLiteral("BEGIN"));
        inBatch = true;
    }
    if (++batchWrites >= kBatchWrites) flush();
}

void Connection::flush() {
    if (!inBatch || !db) return;
    inBatch = false;
    batchWrites = 0;
    exec(QStringLiteral("COMMIT"));
}

QString Connection::exactTable(const QString& name) const {
    Statement s(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name=?"));
    s.bind(1, name);
    return s.step() ? s.column(0).toString() : QString();
}

QString Connection::tableForSql(const QString& name) const {
    Statement s(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"
                                      " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' AND name<>?"));
    s.bind(1, name);
    s.bind(2, QString::fromLatin1(catalogTable()));
    return s.step() ? s.column(0).toString() : QString();
}

// The engine's catalog keeps type, size and allow-zero-length; tables made outside the engine are
// read by their declared column types.
const FieldList& Connection::fieldsOf(const QString& table) const {
    auto hit = fields.constFind(table);
    if (hit != fields.constEnd()) return *hit;
    if (exactTable(table).isEmpty()) throw RuntimeError::engine(err::DbItemNotFound, table);
    std::vector<FieldDef> defs;
    if (!exactTable(QString::fromLatin1(catalogTable())).isEmpty()) {
        Statement s(*this, QStringLiteral("SELECT name,type,size,azl FROM %1 WHERE tbl=? ORDER BY pos")
                               .arg(QString::fromLatin1(catalogTable())));
        s.bind(1, table);
        while (s.step())
            defs.push_back({s.column(0).toString(), s.column(1).toLong(), s.column(2).toLong(), s.column(3).toBool()});
    }
    if (defs.empty()) {
        Statement s(*this, QStringLiteral("SELECT name,type FROM pragma_table_info(?)"));
        s.bind(1, table);
        while (s.step()) {
            QString decl = s.column(1).toString().toUpper();
            int type = decl.contains(u"INT") ? dbType::Long
                       : (decl.contains(u"REAL") || decl.contains(u"FLOA") || decl.contains(u"DOUB")) ? dbType::Double
                                                                                                     : dbType::Memo;
            defs.push_back({s.column(0).toString(), type, 0, true});
        }
    }
    return *fields.insert(table, FieldList(std::move(defs)));
}

std::shared_ptr<Connection> openConnection(const QString& path, bool exclusive, bool readOnly, bool create) {
    bool exists = QFileInfo::exists(path);
    if (create && exists) throw RuntimeError::engine(err::DbDatabaseExists, path);
    if (!create && !exists) throw RuntimeError::engine(err::DbFileNotFound, path);
    auto c = std::make_shared<Connection>();
    c->path = path;
    c->exclusive = exclusive;
    if (create) {
        int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &c->db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK) c->fail(rc, path);
        c->exec(QStringLiteral("PRAGMA user_version=1"));  // gives the new file its header
    }
    c->lockFd = lockFile(path, exclusive);
    if (!create) {
        int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &c->db,
                                 readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, nullptr);
        if (rc != SQLITE_OK) c->fail(rc, path);
    }
    sqlite3_busy_timeout(c->db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(c->db, 1);
    if (exclusive && !readOnly) c->exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
    {
        Statement probe(*c, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        probe.step();
    }
    c->readOnly = readOnly || sqlite3_db_readonly(c->db, "main") == 1;
    if (!c->readOnly)
        c->exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1(tbl TEXT, pos INTEGER, name TEXT, type INTEGER,"
                               " size INTEGER, azl INTEGER, PRIMARY KEY(tbl, name))")
                    .arg(QString::fromLatin1(catalogTable())));
    registry().insert(canonical(path), c);
    return c;
}

std::shared_ptr<Connection> openedHere(const QString& path) {
    auto c = registry().value(canonical(path)).lock();
    return c && c->isOpen() ? c : nullptr;
}

}  // namespace ostrel::dbengine
