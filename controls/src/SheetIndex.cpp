#include "tessel/SheetIndex.h"

#include "ostrel/RuntimeError.h"
#include "tessel/CellText.h"

#include <algorithm>

namespace tessel {

using ostrel::RuntimeError;
using ostrel::Variant;

namespace {
constexpr int kShnoField = 0;
constexpr int kRecordField = 1;

// v(0), read before anything changes.
Variant sheetNumberOf(const Variant& v) {
    const Variant& shno = v.toArray().at(0);
    return shno.isNull() ? Variant() : shno;
}
}  // namespace

SheetIndex::SheetIndex() : table_(std::make_shared<ostrel::clsTable>()) {
    table_->setNOF(1);
    index_ = build(*table_);
}

std::unique_ptr<ostrel::clsIndexedTable> SheetIndex::build(const ostrel::clsTable& t) {
    auto index = std::make_unique<ostrel::clsIndexedTable>();
    index->setNOF(2);
    for (int r = 0, n = t.RecCount(); r < n; ++r) {
        const Variant& shno = t.cellRef(r, kShnoField);
        index->poket(Variant::array({shno, Variant(int32_t(r))}), shno);
    }
    return index;
}

void SheetIndex::assign(const ostrel::TableRef& table) {
    if (!table) throw RuntimeError::invalidArgument(QStringLiteral("no sheet table"));
    auto index = build(*table);
    table_ = table;
    index_ = std::move(index);
}

void SheetIndex::keepInStep() {
    if (index_->RecCount() != table_->RecCount()) index_ = build(*table_);
}

int SheetIndex::entryRecord() const { return index_->Fields(kRecordField).toLong(); }

int SheetIndex::locate(const Variant& shno) {
    keepInStep();
    if (!index_->peek(shno)) return -1;
    const int rec = entryRecord();
    if (rec >= 0 && rec < table_->RecCount() && table_->cellRef(rec, kShnoField) == shno) return rec;
    index_ = build(*table_);
    return index_->peek(shno) ? entryRecord() : -1;
}

int SheetIndex::recordOf(const Variant& shno) { return locate(shno.isNull() ? Variant() : shno); }

std::vector<int> SheetIndex::records() const {
    std::vector<int> out;
    for (int i = 0, n = index_->RecCount(); i < n; ++i) out.push_back(index_->Cell(i, kRecordField).toLong());
    return out;
}

int SheetIndex::add(const Variant& v) {
    const Variant shno = sheetNumberOf(v);
    keepInStep();
    const int r = table_->RecCount();
    table_->AppendRec(v);  // a refused record leaves the table as it was
    try {
        index_->poket(Variant::array({shno, Variant(int32_t(r))}), shno);
    } catch (...) {
        table_->setRecno(r);
        table_->Delete();
        throw;
    }
    return r;
}

int SheetIndex::edit(const Variant& v) {
    const int rec = locate(sheetNumberOf(v));
    if (rec >= 0) table_->setRecords(rec, v);  // writes nothing when any field would fail
    return rec;
}

int SheetIndex::remove(const Variant& v) {
    const int rec = locate(sheetNumberOf(v));
    if (rec < 0) return -1;
    // locate checked the record and the entry, so neither deletion can fail half way.
    const int pos = index_->Recno();
    table_->setRecno(rec);
    table_->Delete();
    index_->setRecno(pos);
    index_->Delete();
    for (int i = 0, n = index_->RecCount(); i < n; ++i) {
        const int r = index_->Cell(i, kRecordField).toLong();
        if (r > rec) index_->setCell(i, kRecordField, Variant(int32_t(r - 1)));
    }
    return rec;
}

int SheetIndex::rename(const QString& oldShno, const QString& newShno) {
    const int rec = locate(Variant(oldShno));
    if (rec >= 0) {
        table_->setCell(rec, kShnoField, Variant(newShno));
        index_->setFields(kShnoField, Variant(newShno));
        index_->setKey(Variant(newShno));
    }
    index_->sort();
    return rec;
}

int SheetIndex::find(int after, int columns, const QString& text) const {
    const int n = table_->RecCount();
    const int lastField = std::min(columns, table_->NOF() - 1);
    auto matches = [&](int r) {
        for (int f = 1; f <= lastField; ++f)
            if (safeText(table_->cellRef(r, f)).contains(text, Qt::CaseInsensitive)) return true;
        return false;
    };
    for (int r = std::max(after + 1, 0); r < n; ++r)
        if (matches(r)) return r;
    for (int r = 0; r <= std::min(after, n - 1); ++r)
        if (matches(r)) return r;
    return -1;
}

}  // namespace tessel
