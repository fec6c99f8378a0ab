#pragma once
// clsIndexedTable: records kept in the order of a key, with lookup by binary search.
// The records live in a clsTable in the order they were added, with one hidden extra field
// (index NOF) for the key; an index of record numbers gives the key order. Every positional
// member works on the index, every field member goes through it to the record.
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"

#include <memory>

namespace ostrel {

class clsLinear;

class clsIndexedTable : public VObject {
public:
    clsIndexedTable();
    clsIndexedTable(const clsIndexedTable&) = delete;
    clsIndexedTable& operator=(const clsIndexedTable&) = delete;
    ~clsIndexedTable() override;

    // Visible fields; the record table gets one more for the key. Error 6 beyond 16 bits.
    int NOF() const { return rows_.NOF() - 1; }
    void setNOF(int n);

    // Append a record (AppendRec: element NOF of `li`, when present, is the key) and put its
    // number at the end of the index, not in key order; the position moves to it. Call sort()
    // after writing keys of records added this way.
    void AppendBlank();
    void AppendRec(const Variant& li);

    // Positions the index on the first record with `key` (true), or where it would be inserted.
    bool peek(const Variant& key);
    // Adds `li` under `key` unless a record with that key exists; either way the position is on
    // the record with that key.
    void poke(const Variant& li, const Variant& key);
    // Adds `li` under `key` after any records with the same key.
    void poket(const Variant& li, const Variant& key);
    // Rebuilds the index in stable ascending key order.
    void sort();

    void zap();
    // Removes the current index entry (the record stays stored, unreachable). At or past the end
    // the last entry goes. Error 9 (unchanged) on an empty index or with the position below 0.
    void Delete();

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    int Recno() const;
    void setRecno(int r);
    int RecCount() const;

    // Field j of the record at index position i; empty off the index, error 9 writing there.
    Variant Cell(int i, int j) const;
    const Variant& cellRef(int i, int j) const;
    void setCell(int i, int j, const Variant& v);
    Variant Fields(int j) const;
    void setFields(int j, const Variant& v);
    // The current record including the key as its last element.
    Variant Record() const;
    void setRecord(const Variant& li);
    bool isEOF() const;

    // A new table of the records in key order without the key field; the position ends at EOF.
    TableRef Table();

    Variant key() const;
    // Stores the key of the current record (null as empty); does not move it in the index.
    void setKey(const Variant& v);

    // Record slots of the index, a multiple of 100 that grows by 100 and never shrinks.
    int capacity() const;
    // Records stored, reachable or not.
    int storedRecords() const { return rows_.RecCount(); }

private:
    enum class KeyClass { None, Text, Number, Mixed };
    int entryAt(int pos) const;
    const Variant& keyOfRecord(int rec) const;
    void noteKey(const Variant& k);
    void checkOrderAt(int pos);
    bool fastSearch(const Variant& key) const;
    bool peekAt(const Variant& key, int& pos) const;
    int afterEquals(const Variant& key, int pos) const;
    void insertEntry(int pos, int rec);

    clsTable rows_;
    std::unique_ptr<clsLinear> index_;
    // The fast search is the binary search restricted to chunks; it gives the same answers while
    // the index is in order and the keys are of one kind.
    bool sorted_ = true;
    KeyClass keyClass_ = KeyClass::None;
};

}  // namespace ostrel
