#pragma once
// Conversions between texts and values, tab- and comma-separated text and tables, and text files
// in code page 949.
#include "ostrel/Variant.h"

#include <QString>
#include <memory>

namespace ostrel {
class clsTable;
}

namespace corvane {

class fncInOut {
public:
    ostrel::Variant string2value(const QString& valuestring, int valuetype = 8) const;
    QString value2string(const ostrel::Variant& vValue) const;
    // Element i read by the type code; empty when i is above the upper bound, error 9 below the
    // lower bound.
    ostrel::Variant ArrayElement(const ostrel::VArray& a, int i, int valuetype = 8) const;

    // One record per line, split at TAB; missing parts stay empty, extra parts are dropped. The
    // table is left at its last record.
    std::shared_ptr<ostrel::clsTable> Tabtext2Jarray(const QString& sText, int NOF) const;
    // As Tabtext2Jarray, split at "," with spaces trimmed from each part (missing parts become "").
    std::shared_ptr<ostrel::clsTable> CSVtext2Jarray(const QString& sText, int NOF) const;
    // Each record as its fields' standard texts joined by TAB, ended by CR LF. Left at EOF.
    QString Jarray2Tabtext(ostrel::clsTable& a) const;

    // Writes s + CR LF in code page 949, replacing the file only once the whole text is written.
    // Failures raise error 75 (or 76 for a missing folder).
    void SaveString(const QString& s, const QString& f) const;
    // The whole file read as code page 949; error 53 when it does not exist, 75 when unreadable.
    QString LoadString(const ostrel::Variant& f) const;
};

}  // namespace corvane
