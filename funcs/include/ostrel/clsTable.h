#pragma once
// clsTable: the in-memory table of records and fields passed between all libraries.
// Records and fields are 0-based and known only by index. Tables travel as TableRef and
// are never copied implicitly; clone() makes an explicit copy.
#include "ostrel/Variant.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace ostrel {

class clsTable;
using TableRef = std::shared_ptr<clsTable>;

class clsTable : public VObject {
public:
    clsTable() = default;
    clsTable(const clsTable&) = delete;
    clsTable& operator=(const clsTable&) = delete;
    clsTable(clsTable&&) noexcept = default;
    clsTable& operator=(clsTable&&) noexcept = default;
    ~clsTable() override = default;

    // Adds one blank record after the last and makes it current. Error 9 (table unchanged)
    // when NOF is below 1 or NOF was changed while records are held; error 6 at the 32-bit limit.
    void AppendBlank();
    // AppendBlank, then copies the array `li` into the new record by index; elements outside the
    // array's bounds leave their field empty, surplus elements are ignored. Error 13 (table
    // unchanged) when `li` is not an array.
    void AppendRec(const Variant& li);
    // Removes all records: RecCount 0, Recno -1, one blank spare slot. Error 9 with NOF below 1.
    void zap();
    // Removes the current record; later records move up and Recno stays (so it lands on the
    // following record, or at EOF after the last). At or past the end the last record goes.
    // Error 9 (table unchanged) on an empty table or with Recno below 0.
    void Delete();
    // Inserts a blank record at Recno, moving it and later records down; at EOF this appends.
    // Error 9 (table unchanged) when Recno is below 0 or past RecCount.
    void Insert();

    void MoveFirst() { current_ = 0; }
    void MoveLast() { current_ = count_ - 1; }
    void MoveNext() { if (current_ < count_) ++current_; }
    void MovePrevious() { if (current_ > 0) --current_; }

    int Recno() const { return current_; }
    void setRecno(int r) { current_ = r; }  // stored without a check
    int RecCount() const { return count_; }
    // Only counts from 0 to the records stored are accepted (error 9 otherwise): a count beyond
    // the storage would make later reads fail.
    void setRecCount(int n);

    // Empty outside the records; error 9 for a field outside the storage on a record.
    Variant Cell(int i, int j) const { return cellRef(i, j); }
    // The same read without a copy, for grids and reports.
    const Variant& cellRef(int i, int j) const;
    // Writes one cell (null is stored as empty; an object reference is stored as that reference).
    // Error 9 outside the storage's record slots or field bounds.
    void setCell(int i, int j, const Variant& v);
    Variant Fields(int j) const { return cellRef(current_, j); }
    const Variant& fieldRef(int j) const { return cellRef(current_, j); }
    void setFields(int j, const Variant& v) { setCell(current_, j, v); }

    int NOF() const { return nof_; }
    // Only stores the number (error 6 beyond 16 bits); storage follows at the next AppendBlank
    // on an empty table or zap.
    void setNOF(int n);

    bool isEOF() const { return current_ >= count_; }

    // The current record as a new 0-based array of NOF elements (empty elements off the records).
    // Error 9 with NOF below 1.
    Variant Record() const;
    // Copies the array's elements within its bounds into the current record; other fields keep
    // their values. Nothing is written when any write would fail.
    void setRecord(const Variant& li);
    // Makes record i current and returns its Record; empty (position kept) when i is no record.
    Variant Records(int i);
    // Recno = i, then Record = li (position restored when the write fails).
    void setRecords(int i, const Variant& li);

    // True when no field of the current record differs from empty under the variant rules.
    bool IsBlankRecord() const;

    // Record slots in storage (RecCount, or the spare slot after zap).
    int capacity() const { return slots_; }
    // An explicit deep copy (object cells stay shared references).
    TableRef clone() const;

private:
    Variant* slot(int i) { return cells_.data() + static_cast<size_t>(i) * static_cast<size_t>(width_); }
    const Variant* slot(int i) const {
        return cells_.data() + static_cast<size_t>(i) * static_cast<size_t>(width_);
    }
    void checkWrite(int i, int j) const;

    // Record-major: record r's cells are cells_[r*width_ .. r*width_+width_-1].
    std::vector<Variant> cells_;
    int width_ = 0;    // field dimension of the storage
    int slots_ = 0;    // record slots in the storage
    int count_ = 0;
    int current_ = 0;
    int nof_ = 0;
    bool hasStorage_ = false;
    bool spare_ = false;  // the one slot is zap's spare, not a record
};

}  // namespace ostrel
