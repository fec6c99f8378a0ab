#pragma once
// The code-entry lookup of one master table of ZepDb. Enter resolves the typed text to a record's
// name (the name itself, its abbreviation, its code, the code without leading zeros, or syllables
// of the name); F3 offers the matching records in a pick list, coded records first. Every typed
// value reaches the database as a bound value. Each call opens the table afresh.
#include "sorvic/MasterTable.h"
#include "sorvic/PickList.h"

#include "ostrel/clsTable.h"
#include "sembrin/NextSearch.h"
#include "tessel/InputProcess.h"

namespace sorvic {

class yjMaster : public tessel::InputProcess, public sembrin::NextSearch {
public:
    // `pick` shows the candidates; the settings library's pick list when none is given.
    explicit yjMaster(const MasterTable& table, PickList pick = {});

    // x unchanged when empty, "*", or matching nothing; x without its last "." as typed; else the
    // resolved name, or the pick (null when cancelled). Database errors propagate.
    ostrel::Variant AfterEnter(QString& x) override;
    // The pick among the candidates for x, or among all records when x is already a whole name.
    ostrel::Variant AfterF3(QString& x) override;
    // With the table's setting "TRUE", only "*" and names of the table pass; a refusal is shown.
    bool LastFilter(ostrel::Variant& vValue) override;

    // The candidates for x (all records for an empty x): coded records in code order, then the
    // uncoded ones; field 0 the name, field 1 the title.
    ostrel::TableRef Candidates(const QString& x) const;

    const MasterTable& table() const { return table_; }

private:
    const MasterTable& table_;
    PickList pick_;
};

}  // namespace sorvic
