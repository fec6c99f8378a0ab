#include "ostrel/clsIndexedTable.h"

#include "clsLinear.h"
#include "ostrel/RuntimeError.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ostrel {

namespace {
const Variant kEmpty;

Variant normalised(const Variant& k) { return k.isNull() ? Variant() : k; }

bool less(const Variant& a, const Variant& b) { return compare(a, b) < 0; }
bool equal(const Variant& a, const Variant& b) { return compare(a, b) == 0; }

// Keys of one kind are totally ordered by the variant rules; a mix of text and numbers is not
// (empty equals both "" and 0, yet "" sorts above every number).
enum class Kind { Empty, Text, Number, Other };
Kind kindOf(const Variant& k) {
    if (k.isEmpty()) return Kind::Empty;
    if (k.isString()) return Kind::Text;
    if (k.isNumber() || k.isBoolean() || k.isDate()) {
        if (k.type() == VarType::Double || k.type() == VarType::Single) {
            if (std::isnan(k.toDouble())) return Kind::Other;
        }
        return Kind::Number;
    }
    return Kind::Other;
}

// The binary search over positions, probe by probe, for indexes whose order cannot be relied on.
template <class KeyAt>
bool probePeek(int n, const Variant& key, KeyAt k, int& pos) {
    if (n == 0) {
        pos = 0;
        return false;
    }
    if (n == 1) {
        const Variant& k0 = k(0);
        if (less(key, k0)) { pos = 0; return false; }
        if (equal(key, k0)) { pos = 0; return true; }
        pos = 1;
        return false;
    }
    int lo = 0, hi = n - 1;
    for (;;) {
        if (hi - lo == 1) {
            const Variant& kl = k(lo);
            if (less(key, kl)) { pos = lo; return false; }
            if (equal(key, kl)) { pos = lo; return true; }
            const Variant& kh = k(hi);
            if (less(key, kh)) { pos = hi; return false; }
            if (equal(key, kh)) { pos = hi; return true; }
            pos = hi + 1;
            return false;
        }
        int mid = lo + (hi - lo) / 2;
        const Variant& km = k(mid);
        if (less(km, key)) {
            lo = mid;
        } else if (!equal(key, km)) {
            hi = mid;
        } else {
            while (mid > lo && equal(k(mid - 1), key)) --mid;
            pos = mid;
            return true;
        }
    }
}
}  // namespace

clsIndexedTable::clsIndexedTable() : index_(std::make_unique<clsLinear>()) {}
clsIndexedTable::~clsIndexedTable() = default;

void clsIndexedTable::setNOF(int n) {
    if (n >= std::numeric_limits<int16_t>::max() || n < std::numeric_limits<int16_t>::min())
        throw RuntimeError::overflow(QStringLiteral("NOF"));
    if (n + 1 != rows_.NOF() && rows_.RecCount() > 0) {
        // The key field moves: nothing is known about the order any more.
        sorted_ = false;
        keyClass_ = KeyClass::Mixed;
    }
    rows_.setNOF(n + 1);
}

int clsIndexedTable::entryAt(int pos) const { return index_->Records(pos); }

const Variant& clsIndexedTable::keyOfRecord(int rec) const { return rows_.cellRef(rec, NOF()); }

void clsIndexedTable::noteKey(const Variant& k) {
    switch (kindOf(k)) {
    case Kind::Empty: break;
    case Kind::Text:
        keyClass_ = keyClass_ == KeyClass::None || keyClass_ == KeyClass::Text ? KeyClass::Text : KeyClass::Mixed;
        break;
    case Kind::Number:
        keyClass_ = keyClass_ == KeyClass::None || keyClass_ == KeyClass::Number ? KeyClass::Number : KeyClass::Mixed;
        break;
    case Kind::Other: keyClass_ = KeyClass::Mixed; break;
    }
}

void clsIndexedTable::checkOrderAt(int pos) {
    if (!sorted_) return;
    if (keyClass_ == KeyClass::Mixed) {
        sorted_ = false;
        return;
    }
    const int n = index_->RecCount();
    if (pos < 0 || pos >= n) return;
    const Variant& k = keyOfRecord(index_->at(pos));
    if (pos > 0 && less(k, keyOfRecord(index_->at(pos - 1)))) sorted_ = false;
    else if (pos + 1 < n && less(keyOfRecord(index_->at(pos + 1)), k)) sorted_ = false;
}

bool clsIndexedTable::fastSearch(const Variant& key) const {
    if (!sorted_ || keyClass_ == KeyClass::Mixed) return false;
    switch (kindOf(key)) {
    case Kind::Empty: return true;
    case Kind::Text: return keyClass_ != KeyClass::Number;
    case Kind::Number: return keyClass_ != KeyClass::Text;
    case Kind::Other: return false;
    }
    return false;
}

bool clsIndexedTable::peekAt(const Variant& key, int& pos) const {
    const int n = index_->RecCount();
    if (fastSearch(key)) {
        const QString* text = key.stringIf();
        if (text && keyClass_ != KeyClass::Number) {
            // Text against text (an empty key reads as ""): compare the strings directly.
            const int last = NOF();
            pos = index_->partitionPoint([&](int32_t rec) {
                const QString* s = rows_.cellRef(rec, last).stringIf();
                return QString::compare(s ? *s : QString(), *text, Qt::CaseSensitive) < 0;
            });
        } else {
            pos = index_->partitionPoint([&](int32_t rec) { return less(keyOfRecord(rec), key); });
        }
        return pos < n && equal(key, keyOfRecord(index_->at(pos)));
    }
    return probePeek(n, key, [&](int p) -> const Variant& { return keyOfRecord(index_->at(p)); }, pos);
}

int clsIndexedTable::afterEquals(const Variant& key, int pos) const {
    const int n = index_->RecCount();
    if (fastSearch(key))
        return index_->partitionPoint([&](int32_t rec) { return !less(key, keyOfRecord(rec)); });
    while (pos < n && equal(keyOfRecord(index_->at(pos)), key)) ++pos;
    return pos;
}

bool clsIndexedTable::peek(const Variant& key) {
    int pos = 0;
    bool found = peekAt(normalised(key), pos);
    index_->setRecno(pos);
    return found;
}

void clsIndexedTable::insertEntry(int pos, int rec) {
    index_->setRecno(pos);
    index_->Insert();
    index_->setRecord(rec);
}

void clsIndexedTable::poke(const Variant& li, const Variant& key) {
    const Variant k = normalised(key);
    int pos = 0;
    bool found = peekAt(k, pos);
    index_->setRecno(pos);
    if (found) return;
    rows_.AppendRec(li);  // fails before anything is stored
    const int rec = rows_.RecCount() - 1;
    rows_.setCell(rec, NOF(), k);
    noteKey(k);
    insertEntry(pos, rec);
}

void clsIndexedTable::poket(const Variant& li, const Variant& key) {
    const Variant k = normalised(key);
    int pos = 0;
    if (peekAt(k, pos)) pos = afterEquals(k, pos);
    index_->setRecno(pos);
    rows_.AppendRec(li);
    const int rec = rows_.RecCount() - 1;
    rows_.setCell(rec, NOF(), k);
    noteKey(k);
    insertEntry(pos, rec);
}

void clsIndexedTable::sort() {
    std::vector<int32_t> old = index_->toVector();
    if (old.empty()) {
        index_->zap();
        sorted_ = true;
        return;
    }
    const int32_t lastRec = old.back();
    if (keyClass_ != KeyClass::Mixed) {
        // One kind of key: a stable sort gives what inserting each entry after its equals gives.
        std::vector<std::pair<const Variant*, int32_t>> keyed;
        keyed.reserve(old.size());
        for (int32_t rec : old) keyed.emplace_back(&keyOfRecord(rec), rec);
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return less(*a.first, *b.first); });
        int current = 0;
        for (size_t i = 0; i < keyed.size(); ++i) {
            old[i] = keyed[i].second;
            if (old[i] == lastRec) current = static_cast<int>(i);
        }
        index_->assign(std::move(old), current);
    } else {
        clsLinear fresh;
        for (int32_t rec : old) {
            const Variant& k = keyOfRecord(rec);
            int pos = 0;
            auto keyAt = [&](int p) -> const Variant& { return keyOfRecord(fresh.at(p)); };
            if (probePeek(fresh.RecCount(), k, keyAt, pos))
                while (pos < fresh.RecCount() && equal(keyAt(pos), k)) ++pos;
            fresh.setRecno(pos);
            fresh.Insert();
            fresh.setRecord(rec);
        }
        *index_ = std::move(fresh);
    }
    sorted_ = true;
}

void clsIndexedTable::zap() {
    rows_.zap();  // error 9 with NOF below 0, before the index changes
    index_->zap();
    sorted_ = true;
    keyClass_ = KeyClass::None;
}

void clsIndexedTable::Delete() {
    if (index_->RecCount() <= 0) throw RuntimeError::outOfRange(QStringLiteral("Delete on an empty keyed table"));
    index_->Delete();
}

void clsIndexedTable::AppendBlank() {
    rows_.AppendBlank();
    const int rec = rows_.RecCount() - 1;
    const int n = index_->RecCount();
    index_->AppendRec(rec);
    if (sorted_ && n > 0) checkOrderAt(n);
}

void clsIndexedTable::AppendRec(const Variant& li) {
    rows_.AppendRec(li);
    const int rec = rows_.RecCount() - 1;
    const int n = index_->RecCount();
    index_->AppendRec(rec);
    noteKey(keyOfRecord(rec));
    checkOrderAt(n);
}

void clsIndexedTable::MoveFirst() { index_->MoveFirst(); }
void clsIndexedTable::MoveLast() { index_->MoveLast(); }
void clsIndexedTable::MoveNext() { index_->MoveNext(); }
void clsIndexedTable::MovePrevious() { index_->MovePrevious(); }
int clsIndexedTable::Recno() const { return index_->Recno(); }
void clsIndexedTable::setRecno(int r) { index_->setRecno(r); }
int clsIndexedTable::RecCount() const { return index_->RecCount(); }
bool clsIndexedTable::isEOF() const { return index_->isEOF(); }
int clsIndexedTable::capacity() const { return index_->capacity(); }

const Variant& clsIndexedTable::cellRef(int i, int j) const { return rows_.cellRef(entryAt(i), j); }
Variant clsIndexedTable::Cell(int i, int j) const { return cellRef(i, j); }

void clsIndexedTable::setCell(int i, int j, const Variant& v) {
    rows_.setCell(entryAt(i), j, v);
    if (j == NOF()) {
        noteKey(v);
        checkOrderAt(i);
    }
}

Variant clsIndexedTable::Fields(int j) const { return cellRef(index_->Recno(), j); }
void clsIndexedTable::setFields(int j, const Variant& v) { setCell(index_->Recno(), j, v); }

Variant clsIndexedTable::Record() const {
    const int n = rows_.NOF();
    if (n < 1) throw RuntimeError::outOfRange(QStringLiteral("NOF below 0"));
    const int rec = entryAt(index_->Recno());
    std::vector<Variant> items;
    items.reserve(static_cast<size_t>(n));
    for (int j = 0; j < n; ++j) items.push_back(rows_.cellRef(rec, j));
    return Variant::array(std::move(items));
}

void clsIndexedTable::setRecord(const Variant& li) {
    const int rec = entryAt(index_->Recno());
    rows_.setRecno(rec);
    rows_.setRecord(li);
    const int kf = NOF();
    const VArray& a = li.toArray();
    if (a.contains(kf)) {
        noteKey(keyOfRecord(rec));
        checkOrderAt(index_->Recno());
    }
}

Variant clsIndexedTable::key() const { return cellRef(index_->Recno(), NOF()); }
void clsIndexedTable::setKey(const Variant& v) { setFields(NOF(), v); }

TableRef clsIndexedTable::Table() {
    auto t = std::make_shared<clsTable>();
    const int nof = NOF();
    t->setNOF(nof);
    for (index_->MoveFirst(); !index_->isEOF(); index_->MoveNext()) {
        const int rec = index_->Record();
        t->AppendBlank();
        const int r = t->RecCount() - 1;
        for (int j = 0; j < nof; ++j) t->setCell(r, j, rows_.cellRef(rec, j));
    }
    return t;
}

}  // namespace ostrel
