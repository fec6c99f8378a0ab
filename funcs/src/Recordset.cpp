#include "ostrel/Recordset.h"

#include "DbConnection.h"
#include "JetSql.h"
#include "ostrel/Database.h"

#include <QHash>
#include <algorithm>
#include <limits>
#include <optional>
#include <sqlite3.h>

namespace ostrel {

using dbengine::Connection;
using dbengine::quoteName;
using dbengine::SqlText;
using dbengine::Statement;

// Three kinds of record set. In table order (a table by name, or a SELECT without ORDER BY) the
// current record is its rowid and moves are index seeks, so opening, MoveLast and finds cost no
// pass over the table. A sorted set holds the rowids of its records in order, streamed in as moves
// need them. Snapshots (groups, sums) hold their rows.
struct Recordset::Impl {
    enum class Kind { TableOrder, Sorted, Snapshot } kind = Kind::Snapshot;
    std::shared_ptr<Connection> c;
    FieldList fields;
    bool closed = false;

    QString table, columnList;
    SqlText where;
    QString order;  // sorted sets: the ORDER BY list, ending with rowid so equal keys keep table order
    std::unique_ptr<Statement> readRow;
    long long cachedKey = 0;
    bool cached = false;
    std::vector<Variant> row;

    // Table order: where the set stands.
    enum class At { Bof, On, Eof } at = At::Bof;
    long long key = 0;        // rowid of the current record
    long long knownPos = -1;  // its position when known
    long long count = -1;     // records of the set when counted
    std::unique_ptr<Statement> after, before;

    // Sorted: the rowids in order; snapshots: the rows.
    std::vector<long long> keys;
    std::unique_ptr<Statement> stream;
    bool complete = false;
    QHash<long long, long long> positionOf;
    bool positionsBuilt = false;
    std::vector<std::vector<Variant>> rows;
    long long pos = 0;  // -1 before the first, size() past the last

    bool noMatch = false;
    bool currentDeleted = false;
    enum class Edit { None, Add, Change } editMode = Edit::None;
    std::vector<Variant> buffer;
    std::vector<bool> dirty;

    void check() const {
        if (closed) throw RuntimeError::engine(err::DbClosed, QStringLiteral("Recordset"));
        c->check();
    }

    // ---- table order

    QString whereAnd() const { return where.sql.isEmpty() ? QString() : QStringLiteral(" AND (%1)").arg(where.sql); }

    // The nearest rowid after (or before) `r` in the set.
    std::optional<long long> seek(bool forward, long long r) {
        auto& s = forward ? after : before;
        if (!s)
            s = std::make_unique<Statement>(
                *c, QStringLiteral("SELECT rowid FROM %1 WHERE rowid%2?%3 ORDER BY rowid %4 LIMIT 1")
                        .arg(quoteName(table), forward ? u">" : u"<", whereAnd(), forward ? u"ASC" : u"DESC"));
        s->reset();
        s->bindInt64(1, r);
        s->bindAll(where.params, 2);
        std::optional<long long> found;
        if (s->step()) found = s->int64(0);
        s->reset();
        return found;
    }

    long long countWhere(const QString& extra, std::optional<long long> below) {
        QString cond = where.sql.isEmpty() ? QString() : QStringLiteral("(%1)").arg(where.sql);
        if (below) cond = cond.isEmpty() ? QStringLiteral("rowid<?") : cond + QStringLiteral(" AND rowid<?");
        Statement s(*c, QStringLiteral("SELECT count(*) FROM %1%2%3")
                                .arg(quoteName(table), cond.isEmpty() ? u"" : u" WHERE ", cond) +
                            extra);
        s.bindAll(where.params);
        if (below) s.bindInt64(static_cast<int>(where.params.size()) + 1, *below);
        s.step();
        return s.int64(0);
    }

    void land(std::optional<long long> r, At otherwise, long long position) {
        if (r) {
            at = At::On;
            key = *r;
            knownPos = position;
        } else {
            at = otherwise;
            knownPos = -1;
        }
    }

    // ---- sorted and snapshot

    long long size() const {
        return kind == Kind::Sorted ? static_cast<long long>(keys.size()) : static_cast<long long>(rows.size());
    }

    void reach(long long i) {
        while (kind == Kind::Sorted && !complete && static_cast<long long>(keys.size()) <= i) {
            if (stream->step()) {
                keys.push_back(stream->int64(0));
            } else {
                complete = true;
                stream.reset();
            }
        }
    }
    void reachEnd() { reach(std::numeric_limits<long long>::max()); }

    long long locate(long long r) {
        if (!positionsBuilt) {
            reachEnd();
            positionOf.clear();
            positionOf.reserve(static_cast<qsizetype>(keys.size()));
            for (size_t i = 0; i < keys.size(); ++i) positionOf.insert(keys[i], static_cast<long long>(i));
            positionsBuilt = true;
        }
        return positionOf.value(r, -1);
    }

    // ---- common

    bool isEOF() {
        if (kind == Kind::TableOrder) return at == At::Eof;
        reach(pos);
        return pos >= size();
    }
    bool isBOF() {
        // Past the end of an empty set is before its start as well.
        if (kind == Kind::TableOrder)
            return at == At::Bof || (at == At::Eof && !seek(true, std::numeric_limits<long long>::min()));
        reach(0);
        return pos < 0 || size() == 0;
    }

    void requireCurrent() {
        check();
        if (currentDeleted) throw RuntimeError::engine(err::DbRecordDeleted);
        bool on = kind == Kind::TableOrder ? at == At::On : (pos >= 0 && !isEOF());
        if (!on) throw RuntimeError::engine(err::DbNoCurrentRecord);
    }

    long long currentKey() const { return kind == Kind::TableOrder ? key : keys[static_cast<size_t>(pos)]; }

    const std::vector<Variant>& current() {
        requireCurrent();
        if (kind == Kind::Snapshot) return rows[static_cast<size_t>(pos)];
        if (!cached || cachedKey != currentKey()) {
            if (!readRow)
                readRow = std::make_unique<Statement>(
                    *c, QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(columnList, quoteName(table)));
            readRow->reset();
            readRow->bindInt64(1, currentKey());
            if (!readRow->step()) throw RuntimeError::engine(err::DbRecordDeleted);
            row.resize(static_cast<size_t>(fields.Count()));
            for (int i = 0; i < fields.Count(); ++i) row[static_cast<size_t>(i)] = readRow->column(i, fields[i].Type);
            readRow->reset();
            cachedKey = currentKey();
            cached = true;
        }
        return row;
    }

    void moved() {
        currentDeleted = false;
        noMatch = false;
        editMode = Edit::None;  // a move drops an unsaved edit
    }

    bool find(const QString& criteria, const std::vector<Variant>& params, bool next) {
        check();
        if (kind == Kind::Snapshot) throw RuntimeError::engine(err::DbNotSupported, QStringLiteral("FindFirst"));
        SqlText crit = dbengine::translate(criteria, params);
        if (crit.sql.isEmpty()) throw RuntimeError::engine(err::DbSyntax, criteria);
        QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE (%2)").arg(quoteName(table), crit.sql) + whereAnd();
        std::vector<Variant> all = crit.params;
        all.insert(all.end(), where.params.begin(), where.params.end());
        if (kind == Kind::TableOrder) {
            // A later match has a larger rowid, which the index search takes as a bound.
            bool fromCurrent = next && at == At::On;
            Statement s(*c, sql + (fromCurrent ? QStringLiteral(" AND rowid>?") : QString()) +
                                QStringLiteral(" ORDER BY rowid LIMIT 1"));
            s.bindAll(all);
            if (fromCurrent) s.bindInt64(static_cast<int>(all.size()) + 1, key);
            if (!s.step()) return noMatch = true, false;
            land(s.int64(0), At::Eof, -1);
            moved();
            return true;
        }
        Statement s(*c, sql + QStringLiteral(" ORDER BY ") + order);
        s.bindAll(all);
        long long from = next ? pos : -1;
        while (s.step()) {
            long long p = locate(s.int64(0));
            if (p > from) {
                pos = p;
                moved();
                return true;
            }
        }
        noMatch = true;
        return false;
    }

    void flushIfIdle() {
        if (c && c->isOpen()) c->flush();
    }
};

Recordset::Recordset(std::unique_ptr<Impl> impl) : d_(std::move(impl)) {}
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;
Recordset::~Recordset() {
    if (d_ && !d_->closed) {
        try {
            d_->flushIfIdle();
        } catch (const RuntimeError&) {
            // A destructor keeps quiet; the batch stays open for the next flush.
        }
    }
}

Recordset::Impl& Recordset::d() const {
    if (!d_) throw RuntimeError::engine(err::DbClosed, QStringLiteral("Recordset"));
    return *d_;
}

bool Recordset::isEOF() const {
    d().check();
    return d().isEOF();
}
bool Recordset::isBOF() const {
    d().check();
    return d().isBOF();
}

long long Recordset::RecordCount() const {
    auto& x = d();
    x.check();
    if (x.kind != Impl::Kind::TableOrder) {
        x.reach(0);
        return x.size();
    }
    if (x.count < 0) x.count = x.countWhere({}, std::nullopt);
    return x.count;
}

long long Recordset::AbsolutePosition() const {
    auto& x = d();
    x.check();
    if (x.currentDeleted) return -1;
    if (x.kind != Impl::Kind::TableOrder) return x.pos < 0 || x.isEOF() ? -1 : x.pos;
    if (x.at != Impl::At::On) return -1;
    if (x.knownPos < 0) x.knownPos = x.countWhere({}, x.key);
    return x.knownPos;
}

void Recordset::MoveFirst() {
    auto& x = d();
    x.check();
    if (x.kind == Impl::Kind::TableOrder) {
        auto first = x.seek(true, std::numeric_limits<long long>::min());
        if (!first) throw RuntimeError::engine(err::DbNoCurrentRecord);
        x.land(first, Impl::At::Eof, 0);
    } else {
        x.reach(0);
        if (x.size() == 0) throw RuntimeError::engine(err::DbNoCurrentRecord);
        x.pos = 0;
    }
    x.moved();
}

void Recordset::MoveNext() {
    auto& x = d();
    x.check();
    if (x.isEOF()) throw RuntimeError::engine(err::DbNoCurrentRecord);
    if (x.kind == Impl::Kind::TableOrder) {
        if (x.at == Impl::At::Bof) {
            x.land(x.seek(true, std::numeric_limits<long long>::min()), Impl::At::Eof, 0);
        } else {
            // After Delete the record that followed takes the deleted one's position.
            long long next = x.knownPos < 0 ? -1 : x.knownPos + (x.currentDeleted ? 0 : 1);
            x.land(x.seek(true, x.key), Impl::At::Eof, next);
        }
    } else {
        if (!x.currentDeleted) ++x.pos;  // after Delete the follower already sits at pos
        x.reach(x.pos);
    }
    x.moved();
}

void Recordset::MovePrevious() {
    auto& x = d();
    x.check();
    if (x.isBOF()) throw RuntimeError::engine(err::DbNoCurrentRecord);
    if (x.kind == Impl::Kind::TableOrder) {
        long long r = x.at == Impl::At::Eof ? std::numeric_limits<long long>::max() : x.key;
        long long prev =
            x.at == Impl::At::Eof ? (x.count >= 0 ? x.count - 1 : -1) : (x.knownPos > 0 ? x.knownPos - 1 : -1);
        x.land(x.seek(false, r), Impl::At::Bof, prev);
    } else {
        --x.pos;
    }
    x.moved();
}

void Recordset::MoveLast() {
    auto& x = d();
    x.check();
    if (x.kind == Impl::Kind::TableOrder) {
        auto last = x.seek(false, std::numeric_limits<long long>::max());
        if (!last) throw RuntimeError::engine(err::DbNoCurrentRecord);
        RecordCount();  // exact after MoveLast
        x.land(last, Impl::At::Eof, x.count - 1);
    } else {
        x.reachEnd();
        if (x.size() == 0) throw RuntimeError::engine(err::DbNoCurrentRecord);
        x.pos = x.size() - 1;
    }
    x.moved();
}

bool Recordset::FindFirst(const QString& criteria, const std::vector<Variant>& params) {
    return d().find(criteria, params, false);
}
bool Recordset::FindNext(const QString& criteria, const std::vector<Variant>& params) {
    return d().find(criteria, params, true);
}
bool Recordset::NoMatch() const { return d().noMatch; }

bool Recordset::isUpdatable() const { return d().kind != Impl::Kind::Snapshot && !d().c->readOnly; }

void Recordset::AddNew() {
    auto& x = d();
    x.check();
    if (!isUpdatable()) throw RuntimeError::engine(err::DbReadOnly, x.table);
    x.buffer.assign(static_cast<size_t>(x.fields.Count()), Variant::null());
    x.dirty.assign(x.buffer.size(), false);
    x.editMode = Impl::Edit::Add;
}

void Recordset::Edit() {
    auto& x = d();
    if (!isUpdatable()) throw RuntimeError::engine(err::DbReadOnly, x.table);
    x.buffer = x.current();
    x.dirty.assign(x.buffer.size(), false);
    x.editMode = Impl::Edit::Change;
}

void Recordset::CancelUpdate() {
    if (d().editMode == Impl::Edit::None) throw RuntimeError::engine(err::DbUpdateWithoutEdit);
    d().editMode = Impl::Edit::None;
}

void Recordset::Update() {
    auto& x = d();
    x.check();
    if (x.editMode == Impl::Edit::None) throw RuntimeError::engine(err::DbUpdateWithoutEdit);
    QStringList names, marks;
    std::vector<int> changed;
    for (int i = 0; i < x.fields.Count(); ++i) {
        if (!x.dirty[static_cast<size_t>(i)]) continue;
        changed.push_back(i);
        names << quoteName(x.fields[i].Name);
    }
    bool adding = x.editMode == Impl::Edit::Add;
    if (!adding && changed.empty()) {
        x.editMode = Impl::Edit::None;
        return;
    }
    QString sql;
    if (adding) {
        marks.fill(QStringLiteral("?"), names.size());
        sql = names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteName(x.table))
                              : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(quoteName(x.table), names.join(u','), marks.join(u','));
    } else {
        sql = QStringLiteral("UPDATE %1 SET %2=? WHERE rowid=?").arg(quoteName(x.table), names.join(u"=?,"));
    }
    Statement s(*x.c, sql);
    int p = 1;
    for (int i : changed) s.bindField(p++, x.buffer[static_cast<size_t>(i)], x.fields[i]);
    if (!adding) s.bindInt64(p, x.currentKey());
    if (adding && x.kind == Impl::Kind::Sorted) x.reachEnd();  // the key stream must not meet it too
    x.c->noteWrite();
    s.step();
    x.cached = false;
    if (adding && x.kind == Impl::Kind::Sorted) {
        x.keys.push_back(sqlite3_last_insert_rowid(x.c->db));
        if (x.positionsBuilt) x.positionOf.insert(x.keys.back(), x.size() - 1);
    }
    // A new record joins the end of a table-order set by its rowid; its count is taken anew.
    if (adding) x.count = -1;
    x.editMode = Impl::Edit::None;
}

void Recordset::Delete() {
    auto& x = d();
    x.requireCurrent();
    if (!isUpdatable()) throw RuntimeError::engine(err::DbReadOnly, x.table);
    Statement s(*x.c, QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(quoteName(x.table)));
    s.bindInt64(1, x.currentKey());
    x.c->noteWrite();
    s.step();
    if (x.kind == Impl::Kind::Sorted) {
        x.keys.erase(x.keys.begin() + x.pos);
        x.positionsBuilt = false;
    } else if (x.count >= 0) {
        --x.count;
    }
    x.cached = false;
    x.currentDeleted = true;
    x.editMode = Impl::Edit::None;
}

void Recordset::Close() {
    auto& x = d();
    if (x.closed) return;
    x.closed = true;
    x.stream.reset();
    x.readRow.reset();
    x.after.reset();
    x.before.reset();
    x.flushIfIdle();
}

const FieldList& Recordset::Fields() const { return d().fields; }

Variant Recordset::value(int index) const {
    auto& x = d();
    x.check();
    if (index < 0 || index >= x.fields.Count()) throw RuntimeError::engine(err::DbItemNotFound, QString::number(index));
    if (x.editMode != Impl::Edit::None) return x.buffer[static_cast<size_t>(index)];
    return x.current()[static_cast<size_t>(index)];
}

Variant Recordset::value(const QString& name) const {
    int i = d().fields.indexOf(name);
    if (i < 0) throw RuntimeError::engine(err::DbItemNotFound, name);
    return value(i);
}

void Recordset::setValue(int index, const Variant& v) {
    auto& x = d();
    x.check();
    if (index < 0 || index >= x.fields.Count()) throw RuntimeError::engine(err::DbItemNotFound, QString::number(index));
    if (x.editMode == Impl::Edit::None) throw RuntimeError::engine(err::DbUpdateWithoutEdit);
    x.buffer[static_cast<size_t>(index)] = v;
    x.dirty[static_cast<size_t>(index)] = true;
}

void Recordset::setValue(const QString& name, const Variant& v) {
    int i = d().fields.indexOf(name);
    if (i < 0) throw RuntimeError::engine(err::DbItemNotFound, name);
    setValue(i, v);
}

// ---- opening

namespace {

std::unique_ptr<Recordset::Impl> keyedSet(const std::shared_ptr<Connection>& c, const QString& table,
                                          const QStringList& columns, SqlText where, const QString& orderBy) {
    auto x = std::make_unique<Recordset::Impl>();
    x->c = c;
    x->kind = orderBy.isEmpty() ? Recordset::Impl::Kind::TableOrder : Recordset::Impl::Kind::Sorted;
    x->table = table;
    const FieldList& all = c->fieldsOf(table);
    std::vector<FieldDef> chosen;
    QStringList quoted;
    for (const QString& name : columns.isEmpty() ? QStringList() : columns) {
        int i = -1;
        for (int j = 0; j < all.Count() && i < 0; ++j)
            if (all[j].Name.compare(name, Qt::CaseInsensitive) == 0) i = j;
        if (i < 0) throw RuntimeError::engine(err::DbUnknownField, name);
        chosen.push_back(all[i]);
    }
    if (columns.isEmpty()) chosen.assign(all.begin(), all.end());
    for (const FieldDef& f : chosen) quoted << quoteName(f.Name);
    x->fields = FieldList(std::move(chosen));
    x->columnList = quoted.join(u',');
    x->where = std::move(where);
    if (x->kind == Recordset::Impl::Kind::TableOrder) {
        x->land(x->seek(true, std::numeric_limits<long long>::min()), Recordset::Impl::At::Eof, 0);
        return x;
    }
    x->pos = 0;
    x->order = orderBy + QStringLiteral(",rowid");
    QString sql = QStringLiteral("SELECT rowid FROM %1").arg(quoteName(table));
    if (!x->where.sql.isEmpty()) sql += QStringLiteral(" WHERE ") + x->where.sql;
    x->stream = std::make_unique<Statement>(*c, sql + QStringLiteral(" ORDER BY ") + x->order);
    x->stream->bindAll(x->where.params);
    return x;
}

std::unique_ptr<Recordset::Impl> snapshot(const std::shared_ptr<Connection>& c, const SqlText& all) {
    auto x = std::make_unique<Recordset::Impl>();
    x->c = c;
    x->kind = Recordset::Impl::Kind::Snapshot;
    Statement s(*c, all.sql);
    s.bindAll(all.params);
    std::vector<FieldDef> defs;
    std::vector<int> types;
    for (int i = 0; i < s.columnCount(); ++i) {
        // A column taken straight from a table keeps that field's type.
        int type = 0;
        const char* table = sqlite3_column_table_name(s.get(), i);
        const char* origin = sqlite3_column_origin_name(s.get(), i);
        if (table && origin) {
            const FieldList& f = c->fieldsOf(QString::fromUtf8(table));
            int j = f.indexOf(QString::fromUtf8(origin));
            if (j >= 0) type = f[j].Type;
        }
        types.push_back(type);
        defs.push_back({s.columnName(i), type ? type : dbType::Double, 0, true});
    }
    x->fields = FieldList(std::move(defs));
    while (s.step()) {
        std::vector<Variant> row;
        for (int i = 0; i < s.columnCount(); ++i) row.push_back(types[i] ? s.column(i, types[i]) : s.column(i));
        x->rows.push_back(std::move(row));
    }
    x->complete = true;
    return x;
}

}  // namespace

Recordset Database::OpenRecordset(const QString& tableOrSql, const std::vector<Variant>& params) {
    c_->check();
    if (!dbengine::isSelect(tableOrSql)) {
        if (!hasTable(tableOrSql)) throw RuntimeError::engine(err::DbTableNotFound, tableOrSql);
        return Recordset(keyedSet(c_, tableOrSql, {}, {}, {}));
    }
    auto form = dbengine::readSelect(tableOrSql, params);
    if (!form.plain) return Recordset(snapshot(c_, form.all));
    QString table = c_->tableForSql(form.table);
    if (table.isEmpty()) throw RuntimeError::engine(err::DbTableNotFound, form.table);
    return Recordset(keyedSet(c_, table, form.columns, std::move(form.where), form.orderBy));
}

}  // namespace ostrel
