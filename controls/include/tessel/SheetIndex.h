#pragma once
// The sheet table of a sheet list and its index by sheet number, kept in step. The table is the
// container's (shared, one record per sheet, field 0 the sheet number); the index is a keyed
// table of (sheet number, record number) under the sheet number. Every change is checked before
// anything is written, so a refused change leaves the table and the index as they were.
#include "ostrel/Variant.h"
#include "ostrel/clsIndexedTable.h"
#include "ostrel/clsTable.h"

#include <memory>

namespace tessel {

class SheetIndex {
public:
    // An empty placeholder table of one field.
    SheetIndex();

    // Shares `table` and indexes every record from the first. Error 5 for no table; on any
    // error the previous table and index stay.
    void assign(const ostrel::TableRef& table);
    const ostrel::TableRef& table() const { return table_; }
    int recCount() const { return table_->RecCount(); }

    // The record of sheet `shno`, -1 when it is not indexed.
    int recordOf(const ostrel::Variant& shno);
    // The record numbers in index order (sheet number order), for checks.
    std::vector<int> records() const;

    // `v` is a whole record: v(0) the sheet number. Errors 13 (not an array) and 9 (no element 0)
    // before anything changes.
    // Appends `v` and indexes it; returns its record number.
    int add(const ostrel::Variant& v);
    // Overwrites the sheet's record with `v`; returns its record number, -1 for an unknown sheet.
    int edit(const ostrel::Variant& v);
    // Deletes the sheet's record and entry, renumbering the records after it; returns the record
    // number it had, -1 for an unknown sheet.
    int remove(const ostrel::Variant& v);
    // Renumbers sheet `oldShno` to `newShno`; returns its record number, -1 for an unknown sheet.
    int rename(const QString& oldShno, const QString& newShno);

    // The first record after `after`, wrapping round to record 0 and on to `after`, with any of
    // fields 1 to `columns` containing `text` (case ignored); -1 when there is none. The sheet
    // number (field 0) is not searched.
    int find(int after, int columns, const QString& text) const;

private:
    static std::unique_ptr<ostrel::clsIndexedTable> build(const ostrel::clsTable& t);
    // Positions the index on the sheet's entry and gives its record, -1 when it is not indexed.
    // An entry that no longer names the same record (the container changed the shared table)
    // makes the index be built again from the table first.
    int locate(const ostrel::Variant& shno);
    int entryRecord() const;
    // Builds the index again when the container added or removed records of the shared table.
    void keepInStep();

    ostrel::TableRef table_;
    std::unique_ptr<ostrel::clsIndexedTable> index_;
};

}  // namespace tessel
