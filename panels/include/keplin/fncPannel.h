#pragma once
// The input panels: each method shows a fresh modal panel pre-filled from its arguments and, only
// when the user confirmed, writes the entered values back and returns true.
#include "ostrel/DateTime.h"
#include "ostrel/Variant.h"

#include <QString>

class QWidget;

namespace keplin {

class fncPannel {
public:
    // Period: "첫날:" and "끝날:". The panel does not check that d1 <= d2.
    bool in2ds(ostrel::Date& d1, ostrel::Date& d2) const;
    // Old and new name: "옛이름:" and "새이름:".
    bool in2gs(QString& sGrc1, QString& sGrc2) const;
    // One date: "날짜:".
    bool ind(ostrel::Date& dDate) const;

    // Dates and codes; each code cell searches its master table of ZepDb as the user types
    // (a code that does not exist is returned as entered).
    bool in2dsg(ostrel::Date& dDate1, ostrel::Date& dDate2, QString& sGrc) const;
    bool in2dsgl(ostrel::Date& dDate1, ostrel::Date& dDate2, QString& sGrc, ostrel::Variant& iLine) const;
    bool in2dsgr(ostrel::Date& dDate1, ostrel::Date& dDate2, QString& sGrc, QString& sGroup) const;
    bool in2dsj(ostrel::Date& d1, ostrel::Date& d2, QString& j1) const;
    bool in2dsjg(ostrel::Date& dDate1, ostrel::Date& dDate2, QString& sGj, QString& sGrc) const;
    bool in2dsjr(ostrel::Date& dDate1, ostrel::Date& dDate2, QString& sGj, QString& sGroup) const;
    bool in2dsjgr(ostrel::Date& dDate1, ostrel::Date& dDate2, QString& sGj, QString& sGrc, QString& sGroup) const;
    bool in2dsr(ostrel::Date& d1, ostrel::Date& d2, QString& r1) const;
    bool in2dss(ostrel::Date& d1, ostrel::Date& d2, QString& s1) const;
    bool ing(QString& sGrc) const;
    bool indg(ostrel::Date& dDate, QString& sGrc) const;
    bool indr(ostrel::Date& d2, QString& r1) const;
    bool inds(ostrel::Date& d2, QString& s1) const;

    // Window the panels are centred on (none by default).
    void setParentWindow(QWidget* w) { parent_ = w; }

private:
    QWidget* parent_ = nullptr;
};

}  // namespace keplin
