#include "ostrel/Recordset.h"

#include "DbConnection.h"
#include "JetSql.h"
#include "ostrel/Database.h"

#include <QHash>
#include <algorithm>
#include <sqlite3.h>

namespace ostrel {

using dbengine::Connection;
using dbengine::quoteName;
using dbengine::SqlText;
using dbengine::Statement;

// Keyed record sets hold the rowids of their records in order and read a record when it becomes
// current; snapshots (groups, sums) hold their rows. Keys stream in as moves need them.
struct Recordset::Impl {
    std::shared_ptr<Connection> c;
    FieldList fields;
    bool keyed = false;
    bool updatable = false;
    bool closed = false;

    // Keyed: the table, the selected columns, the set's condition and order.
    QString table, columnList;
    SqlText where;
    QString order;  // ends with rowid, so equal sort keys keep table order
    bool rowidOrder = true;
    std::vector<long long> keys;
    std::unique_ptr<Statement> stream;
    bool complete = false;
    QHash<long long, long long> positionOf;  // built on the first find in a sorted set
    bool positionsBuilt = false;
    std::unique_ptr<Statement> readRow;
    long long cachedPos = -1;
    std::vector<Variant> row;

    // Snapshot rows.
    std::vector<std::vector<Variant>> rows;

    long long pos = 0;  // -1 before the first, size() past the last
    bool noMatch = false;
    bool currentDeleted = false;
    enum class Edit { None, Add, Change } editMode = Edit::None;
    std::vector<Variant> buffer;
    std::vector<bool> dirty;

    long long size() const { return keyed ? static_cast<long long>(keys.size()) : static_cast<long long>(rows.size()); }

    void check() const {
        if (closed) throw RuntimeError::engine(err::DbClosed, QStringLiteral("Recordset"));
        c->check();
    }

    // Loads keys until position i exists or the set ends.
    void reach(long long i) {
        while (keyed && !complete && static_cast<long long>(keys.size()) <= i) {
            if (stream->step()) {
                keys.push_back(stream->int64(0));
            } else {
                complete = true;
                stream.reset();
            }
        }
    }
    void reachEnd() { reach(std::numeric_limits<long long>::max()); }

    bool isEOF() {
        reach(pos);
        return pos >= size();
    }

    void requireCurrent() {
        check();
        if (currentDeleted) throw RuntimeError::engine(err::DbRecordDeleted);
        if (pos < 0 || isEOF()) throw RuntimeError::engine(err::DbNoCurrentRecord);
    }

    const std::vector<Variant>& current() {
        requireCurrent();
        if (!keyed) return rows[static_cast<size_t>(pos)];
        if (cachedPos != pos) {
            if (!readRow)
                readRow = std::make_unique<Statement>(
                    *c, QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(columnList, quoteName(table)));
            readRow->reset();
            readRow->bindInt64(1, keys[static_cast<size_t>(pos)]);
            if (!readRow->step()) throw RuntimeError::engine(err::DbRecordDeleted);
            row.resize(static_cast<size_t>(fields.Count()));
            for (int i = 0; i < fields.Count(); ++i) row[static_cast<size_t>(i)] = readRow->column(i, fields[i].Type);
            cachedPos = pos;
        }
        return row;
    }

    void moved() {
        currentDeleted = false;
        noMatch = false;
        if (editMode != Edit::None) editMode = Edit::None;  // a move drops an unsaved edit
    }

    // The set's position of rowid `r`, -1 when the record is not in the set.
    long long locate(long long r) {
        if (rowidOrder) {
            while (!complete && (keys.empty() || keys.back() < r)) reach(size());
            auto it = std::lower_bound(keys.begin(), keys.end(), r);
            return it != keys.end() && *it == r ? it - keys.begin() : -1;
        }
        if (!positionsBuilt) {
            reachEnd();
            positionOf.clear();
            positionOf.reserve(static_cast<qsizetype>(keys.size()));
            for (size_t i = 0; i < keys.size(); ++i) positionOf.insert(keys[i], static_cast<long long>(i));
            positionsBuilt = true;
        }
        return positionOf.value(r, -1);
    }

    bool find(const QString& criteria, const std::vector<Variant>& params, bool next) {
        check();
        if (!keyed) throw RuntimeError::engine(err::DbNotSupported, QStringLiteral("FindFirst"));
        SqlText crit = dbengine::translate(criteria, params);
        if (crit.sql.isEmpty()) throw RuntimeError::engine(err::DbSyntax, criteria);
        QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE (%2)").arg(quoteName(table), crit.sql);
        std::vector<Variant> all = crit.params;
        if (!where.sql.isEmpty()) {
            sql += QStringLiteral(" AND (%1)").arg(where.sql);
            all.insert(all.end(), where.params.begin(), where.params.end());
        }
        long long after = next ? pos : -1;
        // In table order a later match has a larger rowid, which the index search can use.
        bool fromCurrent = next && rowidOrder && pos >= 0 && pos < size();
        if (fromCurrent) sql += QStringLiteral(" AND rowid>?");
        Statement s(*c, sql + QStringLiteral(" ORDER BY ") + order);
        s.bindAll(all);
        if (fromCurrent) s.bindInt64(static_cast<int>(all.size()) + 1, keys[static_cast<size_t>(pos)]);
        while (s.step()) {
            long long p = locate(s.int64(0));
            if (p > after) {
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
    return d().pos < 0 || d().size() == 0;
}
long long Recordset::RecordCount() const {
    d().check();
    d().reach(0);
    return d().size();
}
long long Recordset::AbsolutePosition() const {
    d().check();
    return d().pos < 0 || d().isEOF() || d().currentDeleted ? -1 : d().pos;
}

void Recordset::MoveFirst() {
    auto& x = d();
    x.check();
    x.reach(0);
    if (x.size() == 0) throw RuntimeError::engine(err::DbNoCurrentRecord);
    x.pos = 0;
    x.moved();
}

void Recordset::MoveNext() {
    auto& x = d();
    x.check();
    if (x.isEOF()) throw RuntimeError::engine(err::DbNoCurrentRecord);
    if (!x.currentDeleted) ++x.pos;  // after Delete the follower already sits at pos
    x.reach(x.pos);
    x.moved();
}

void Recordset::MovePrevious() {
    auto& x = d();
    x.check();
    if (x.pos < 0) throw RuntimeError::engine(err::DbNoCurrentRecord);
    --x.pos;
    x.moved();
}

void Recordset::MoveLast() {
    auto& x = d();
    x.check();
    x.reachEnd();
    if (x.size() == 0) throw RuntimeError::engine(err::DbNoCurrentRecord);
    x.pos = x.size() - 1;
    x.moved();
}

bool Recordset::FindFirst(const QString& criteria, const std::vector<Variant>& params) {
    return d().find(criteria, params, false);
}
bool Recordset::FindNext(const QString& criteria, const std::vector<Variant>& params) {
    return d().find(criteria, params, true);
}
bool Recordset::NoMatch() const { return d().noMatch; }

bool Recordset::isUpdatable() const { return d().updatable && !d().c->readOnly; }

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
    if (!adding) s.bindInt64(p, x.keys[static_cast<size_t>(x.pos)]);
    if (adding) x.reachEnd();  // the key stream must not meet the new record as well
    x.c->noteWrite();
    s.step();
    if (adding) {
        x.keys.push_back(sqlite3_last_insert_rowid(x.c->db));
        if (x.positionsBuilt) x.positionOf.insert(x.keys.back(), x.size() - 1);
    } else {
        x.cachedPos = -1;
    }
    x.editMode = Impl::Edit::None;
}

void Recordset::Delete() {
    auto& x = d();
    x.requireCurrent();
    if (!isUpdatable()) throw RuntimeError::engine(err::DbReadOnly, x.table);
    Statement s(*x.c, QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(quoteName(x.table)));
    s.bindInt64(1, x.keys[static_cast<size_t>(x.pos)]);
    x.c->noteWrite();
    s.step();
    x.keys.erase(x.keys.begin() + x.pos);
    x.positionsBuilt = false;
    x.cachedPos = -1;
    x.currentDeleted = true;
    x.editMode = Impl::Edit::None;
}

void Recordset::Close() {
    auto& x = d();
    if (x.closed) return;
    x.closed = true;
    x.stream.reset();
    x.readRow.reset();
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
    x->keyed = true;
    x->updatable = true;
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
    x->rowidOrder = orderBy.isEmpty();
    x->order = x->rowidOrder ? QStringLiteral("rowid") : orderBy + QStringLiteral(",rowid");
    QString sql = QStringLiteral("SELECT rowid FROM %1").arg(quoteName(table));
    if (!x->where.sql.isEmpty()) sql += QStringLiteral(" WHERE ") + x->where.sql;
    x->stream = std::make_unique<Statement>(*c, sql + QStringLiteral(" ORDER BY ") + x->order);
    x->stream->bindAll(x->where.params);
    return x;
}

std::unique_ptr<Recordset::Impl> snapshot(const std::shared_ptr<Connection>& c, const SqlText& all) {
    auto x = std::make_unique<Recordset::Impl>();
    x->c = c;
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
