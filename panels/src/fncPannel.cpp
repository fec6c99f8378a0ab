#include "keplin/fncPannel.h"

#include "keplin/panBase.h"

namespace keplin {

// Each call builds its own panel, so nothing typed into an earlier one can reappear.

bool fncPannel::in2ds(ostrel::Date& d1, ostrel::Date& d2) const {
    panIn2ds pan(parent_);
    pan.flag = false;
    pan.setdDate1(d1);
    pan.setdDate2(d2);
    pan.exec();
    if (!pan.flag) return false;
    d1 = pan.dDate1();
    d2 = pan.dDate2();
    return true;
}

bool fncPannel::in2gs(QString& sGrc1, QString& sGrc2) const {
    panIn2gs pan(parent_);
    pan.flag = false;
    pan.setsGrc1(sGrc1);
    pan.setsGrc2(sGrc2);
    pan.exec();
    if (!pan.flag) return false;
    sGrc1 = pan.sGrc1();
    sGrc2 = pan.sGrc2();
    return true;
}

bool fncPannel::ind(ostrel::Date& dDate) const {
    panInd pan(parent_);
    pan.flag = false;
    pan.setdDate(dDate);
    pan.exec();
    if (!pan.flag) return false;
    dDate = pan.dDate();
    return true;
}

}  // namespace keplin
