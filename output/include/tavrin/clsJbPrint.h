#pragma once
// A print object that carries its own footer: given to a viewer as `printobj`, it replaces the
// viewer's F9 printing.
#include "tavrin/PrintObject.h"

#include <QString>

namespace tavrin {

class clsJbPrint : public PrintObject {
public:
    QString s사업자등록번호() const { return registration_; }
    void setS사업자등록번호(const QString& v) { registration_ = v; }
    QString s상호() const { return company_; }
    void setS상호(const QString& v) { company_ = v; }
    QString s전화번호() const { return telephone_; }
    void setS전화번호(const QString& v) { telephone_ = v; }

    // Portrait, no dotted rules, this object's footer.
    void run(QString& sSubject, ostrel::Variant& vDescr, ostrel::TableRef& tCon, ostrel::Variant& vExt) override;

private:
    QString registration_, company_, telephone_;
};

}  // namespace tavrin
