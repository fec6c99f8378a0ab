#include "tavrin/fncJbPrint.h"

#include "sembrin/pptZepPublicValue.h"
#include "tavrin/CsvExport.h"
#include "tavrin/clsJbPrint.h"
#include "tavrin/mdlPrint.h"

namespace tavrin {

void fncJbPrint::JbPrint(const QString& subject, const ostrel::Variant& descr, const ostrel::TableRef& a,
                         const ostrel::Variant& ext, bool bDivideby5) const {
    bool landscape = false;
    JbPrint(subject, descr, a, ext, bDivideby5, landscape);
}

void fncJbPrint::JbPrint(const QString& subject, const ostrel::Variant& descr, const ostrel::TableRef& a,
                         const ostrel::Variant& ext, bool bDivideby5, bool& bLandscape) const {
    const sembrin::사업자 user = sembrin::pptZepPublicValue().ZepPv사용자();
    PrintReport(subject, descr, a, ext, user.사업자등록번호, user.상호, user.전화번호, bDivideby5, bLandscape);
}

bool fncJbPrint::CsvOutput(const QString& subject, const ostrel::Variant& descr, const ostrel::TableRef& a,
                           const ostrel::Variant& ext) const {
    return ExportCsv(subject, descr, a, ext);
}

QString fncJbPrint::joindescr(const ostrel::Variant& vDescr) const { return tavrin::joindescr(vDescr); }

void clsJbPrint::run(QString& sSubject, ostrel::Variant& vDescr, ostrel::TableRef& tCon, ostrel::Variant& vExt) {
    bool landscape = false;
    PrintReport(sSubject, vDescr, tCon, vExt, registration_, company_, telephone_, false, landscape);
}

}  // namespace tavrin
