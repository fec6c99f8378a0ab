#pragma once
// What sets one master table's lookup apart from another's: the table (whose name field is named
// like it), whether withdrawn records are left out, whether abbreviations are searched, the widths
// of the pick list's titles, and the setting and message of the validating LastFilter.
#include <QString>

namespace sorvic {

struct MasterTable {
    QString table;             // also the name field: `cg` in table `cg`
    bool withdrawable = false; // has `deleted`; withdrawn records are never found
    bool abbreviation = true;  // `yj` is searched and shown
    int codeWidth = 10, nameWidth = 16, abbreviationWidth = 10;  // title widths in bytes
    QString registeredOnly;    // the setting that makes LastFilter check; empty: always accepts
    QString notRegistered;     // LastFilter's message for a value not in the table

    static const MasterTable& cg();   // warehouses
    static const MasterTable& gj();   // accounts
    static const MasterTable& gr();   // groups
    static const MasterTable& dy();
    static const MasterTable& hj();
    static const MasterTable& gg();
    static const MasterTable& bg();
    static const MasterTable& grc();  // partners
    static const MasterTable& pd();   // products
};

}  // namespace sorvic
