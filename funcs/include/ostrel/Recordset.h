#pragma once
// A record set over a table or a SELECT text: moves, finds, and edits through a buffer that takes
// effect at Update. Closes when it goes out of scope. Values read back with their field's type.
#include "ostrel/DbTypes.h"
#include "ostrel/Variant.h"

#include <QString>
#include <memory>
#include <vector>

namespace ostrel {

namespace dbengine {
struct Connection;
}

class Recordset {
public:
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    ~Recordset();

    bool isEOF() const;
    bool isBOF() const;
    // Records reached so far; exact after MoveLast.
    long long RecordCount() const;
    // 0-based position of the current record, -1 at BOF/EOF.
    long long AbsolutePosition() const;
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();

    // Criteria texts in the engine's SQL forms ("title='x'", "code=#2024-03-01#", "NOT deleted",
    // `?` bound to `params`). A match becomes the current record; none leaves NoMatch() true and
    // the position where it was.
    bool FindFirst(const QString& criteria, const std::vector<Variant>& params = {});
    bool FindNext(const QString& criteria, const std::vector<Variant>& params = {});
    bool NoMatch() const;

    void AddNew();
    void Edit();
    void Update();  // error 3020 without AddNew or Edit; the new record joins the end of the set
    void CancelUpdate();
    void Delete();  // the current record; the position stays on it until the next move
    void Close();
    bool isUpdatable() const;

    const FieldList& Fields() const;
    // Values by name (hashed) or index. Null reads as null. Writes need AddNew or Edit.
    Variant value(int index) const;
    Variant value(const QString& name) const;
    Variant operator[](const QString& name) const { return value(name); }
    void setValue(int index, const Variant& v);
    void setValue(const QString& name, const Variant& v);

    struct Impl;
    explicit Recordset(std::unique_ptr<Impl> impl);

private:
    Impl& d() const;
    std::unique_ptr<Impl> d_;
};

}  // namespace ostrel
