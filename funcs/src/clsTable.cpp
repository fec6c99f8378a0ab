#include "ostrel/clsTable.h"

#include "ostrel/RuntimeError.h"

#include <algorithm>
#include <limits>

namespace ostrel {

namespace {
const Variant kEmpty;

// Tables never hold null.
Variant stored(const Variant& v) { return v.isNull() ? Variant() : v; }
}  // namespace

void clsTable::setNOF(int n) {
    if (n > std::numeric_limits<int16_t>::max() || n < std::numeric_limits<int16_t>::min())
        throw RuntimeError::overflow(QStringLiteral("NOF"));
    nof_ = n;
}

void clsTable::setRecCount(int n) {
    // The spare slot left by zap holds no record.
    if (n < 0 || n > (spare_ ? 0 : slots_))
        throw RuntimeError::outOfRange(QStringLiteral("RecCount beyond the stored records"));
    count_ = n;
}

void clsTable::AppendBlank() {
    if (nof_ < 1) throw RuntimeError::outOfRange(QStringLiteral("NOF below 1"));
    if (count_ == std::numeric_limits<int>::max()) throw RuntimeError::overflow(QStringLiteral("RecCount"));
    const int n = count_;
    if (n == 0) {
        // Fresh storage: a spare slot left by zap is dropped, so the new record is blank.
        cells_.clear();
        width_ = nof_;
        hasStorage_ = true;
    } else if (nof_ != width_) {
        throw RuntimeError::outOfRange(QStringLiteral("NOF changed while records are held"));
    }
    // Slots beyond the count (after a smaller RecCount was written) are dropped first.
    cells_.resize(static_cast<size_t>(n) * static_cast<size_t>(width_));
    cells_.resize(static_cast<size_t>(n + 1) * static_cast<size_t>(width_));
    slots_ = n + 1;
    spare_ = false;
    count_ = n + 1;
    current_ = n;
}

void clsTable::AppendRec(const Variant& li) {
    const VArray& a = li.toArray();  // error 13 before anything changes
    AppendBlank();
    Variant* rec = slot(current_);
    const int last = std::min(width_ - 1, a.upper());
    for (int j = std::max(0, a.lower); j <= last; ++j) rec[j] = stored(a.items[static_cast<size_t>(j - a.lower)]);
}

void clsTable::zap() {
    if (nof_ < 1) throw RuntimeError::outOfRange(QStringLiteral("NOF below 1"));
    cells_.assign(static_cast<size_t>(nof_), Variant());
    width_ = nof_;
    slots_ = 1;
    spare_ = true;
    hasStorage_ = true;
    count_ = 0;
    current_ = -1;
}

void clsTable::Delete() {
    if (count_ <= 0) throw RuntimeError::outOfRange(QStringLiteral("Delete on an empty table"));
    if (current_ < 0) throw RuntimeError::outOfRange(QStringLiteral("Delete before the first record"));
    const int p = std::min(current_, count_ - 1);
    const auto w = static_cast<std::ptrdiff_t>(width_);
    auto first = cells_.begin() + p * w;
    // Later records move up by one whole record; storage shrinks to the remaining records.
    std::move(first + w, cells_.begin() + static_cast<std::ptrdiff_t>(count_) * w, first);
    --count_;
    if (count_ == 0) {
        zap();
        return;
    }
    cells_.resize(static_cast<size_t>(count_) * static_cast<size_t>(width_));
    slots_ = count_;
}

void clsTable::Insert() {
    const int p = current_;
    if (p < 0 || p > count_) throw RuntimeError::outOfRange(QStringLiteral("Insert outside the records"));
    AppendBlank();  // validates NOF and the limit before anything moves
    current_ = p;
    const auto w = static_cast<std::ptrdiff_t>(width_);
    auto first = cells_.begin() + p * w;
    std::rotate(first, cells_.begin() + static_cast<std::ptrdiff_t>(count_ - 1) * w, cells_.end());
}

const Variant& clsTable::cellRef(int i, int j) const {
    if (i < 0 || i >= count_) return kEmpty;
    if (j < 0 || j >= width_) throw RuntimeError::outOfRange(QStringLiteral("field index"));
    return slot(i)[j];
}

void clsTable::checkWrite(int i, int j) const {
    if (!hasStorage_ || i < 0 || i >= slots_) throw RuntimeError::outOfRange(QStringLiteral("record index"));
    if (j < 0 || j >= width_) throw RuntimeError::outOfRange(QStringLiteral("field index"));
}

void clsTable::setCell(int i, int j, const Variant& v) {
    checkWrite(i, j);
    slot(i)[j] = stored(v);
}

Variant clsTable::Record() const {
    if (nof_ < 1) throw RuntimeError::outOfRange(QStringLiteral("NOF below 1"));
    std::vector<Variant> items;
    items.reserve(static_cast<size_t>(nof_));
    for (int j = 0; j < nof_; ++j) items.push_back(cellRef(current_, j));
    return Variant::array(std::move(items));
}

void clsTable::setRecord(const Variant& li) {
    const VArray& a = li.toArray();
    const int from = std::max(0, a.lower);
    const int to = std::min(nof_ - 1, a.upper());
    if (from > to) return;
    checkWrite(current_, to);  // the whole span is checked before the first write
    checkWrite(current_, from);
    Variant* rec = slot(current_);
    for (int j = from; j <= to; ++j) rec[j] = stored(a.items[static_cast<size_t>(j - a.lower)]);
}

Variant clsTable::Records(int i) {
    if (i < 0 || i >= count_) return {};
    current_ = i;
    return Record();
}

void clsTable::setRecords(int i, const Variant& li) {
    const int old = current_;
    current_ = i;
    try {
        setRecord(li);
    } catch (...) {
        current_ = old;
        throw;
    }
}

bool clsTable::IsBlankRecord() const {
    for (int j = 0; j < nof_; ++j) {
        const Variant& v = cellRef(current_, j);
        if (v.isEmpty()) continue;
        // An array cannot be compared with empty; it is content, so the record is not blank.
        if (v.isArray()) return false;
        if (compare(v, kEmpty) != 0) return false;
    }
    return true;
}

TableRef clsTable::clone() const {
    auto t = std::make_shared<clsTable>();
    t->cells_ = cells_;
    t->width_ = width_;
    t->slots_ = slots_;
    t->count_ = count_;
    t->current_ = current_;
    t->nof_ = nof_;
    t->hasStorage_ = hasStorage_;
    t->spare_ = spare_;
    return t;
}

}  // namespace ostrel
