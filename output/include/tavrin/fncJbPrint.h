#pragma once
// Printing and exporting a report without the viewer.
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"

#include <QString>

namespace tavrin {

class fncJbPrint {
public:
    // Prints with the current user's registration number, company name and telephone.
    void JbPrint(const QString& subject, const ostrel::Variant& descr, const ostrel::TableRef& a,
                 const ostrel::Variant& ext, bool bDivideby5 = false) const;
    // As above; `bLandscape` reads true afterwards when the large-letter setting forced it.
    void JbPrint(const QString& subject, const ostrel::Variant& descr, const ostrel::TableRef& a,
                 const ostrel::Variant& ext, bool bDivideby5, bool& bLandscape) const;
    // The CSV export with its save dialog; true when a file was written.
    bool CsvOutput(const QString& subject, const ostrel::Variant& descr, const ostrel::TableRef& a,
                   const ostrel::Variant& ext) const;
    QString joindescr(const ostrel::Variant& vDescr) const;
};

}  // namespace tavrin
