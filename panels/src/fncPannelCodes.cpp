// The fncPannel methods whose panels ask for codes.
#include "keplin/CodePanels.h"
#include "keplin/fncPannel.h"

namespace keplin {

namespace {

// A fresh panel (with fresh lookups) filled by `fill`; only a confirmation runs `read`.
template <class Panel, class Fill, class Read>
bool ask(QWidget* parent, Fill fill, Read read) {
    Panel pan(parent);
    pan.flag = false;
    fill(pan);
    pan.exec();
    if (!pan.flag) return false;
    read(pan);
    return true;
}

}  // namespace

using ostrel::Date;

bool fncPannel::in2dsg(Date& dDate1, Date& dDate2, QString& sGrc) const {
    return ask<panIn2dsg>(
        parent_, [&](panIn2dsg& p) { p.setdDate1(dDate1), p.setdDate2(dDate2), p.setsGrc(sGrc); },
        [&](panIn2dsg& p) { dDate1 = p.dDate1(), dDate2 = p.dDate2(), sGrc = p.sGrc(); });
}

bool fncPannel::in2dsgl(Date& dDate1, Date& dDate2, QString& sGrc, ostrel::Variant& iLine) const {
    return ask<panIn2dsgl>(
        parent_, [&](panIn2dsgl& p) { p.setdDate1(dDate1), p.setdDate2(dDate2), p.setsGrc(sGrc), p.setiLine(iLine); },
        [&](panIn2dsgl& p) { dDate1 = p.dDate1(), dDate2 = p.dDate2(), sGrc = p.sGrc(), iLine = p.iLine(); });
}

bool fncPannel::in2dsgr(Date& dDate1, Date& dDate2, QString& sGrc, QString& sGroup) const {
    return ask<panIn2dsgr>(
        parent_, [&](panIn2dsgr& p) { p.setdDate1(dDate1), p.setdDate2(dDate2), p.setsGrc(sGrc), p.setsGroup(sGroup); },
        [&](panIn2dsgr& p) { dDate1 = p.dDate1(), dDate2 = p.dDate2(), sGrc = p.sGrc(), sGroup = p.sGroup(); });
}

bool fncPannel::in2dsj(Date& d1, Date& d2, QString& j1) const {
    return ask<panIn2dsj>(
        parent_, [&](panIn2dsj& p) { p.setdDate1(d1), p.setdDate2(d2), p.setsGj(j1); },
        [&](panIn2dsj& p) { d1 = p.dDate1(), d2 = p.dDate2(), j1 = p.sGj(); });
}

bool fncPannel::in2dsjg(Date& dDate1, Date& dDate2, QString& sGj, QString& sGrc) const {
    return ask<panIn2dsjg>(
        parent_, [&](panIn2dsjg& p) { p.setdDate1(dDate1), p.setdDate2(dDate2), p.setsGj(sGj), p.setsGrc(sGrc); },
        [&](panIn2dsjg& p) { dDate1 = p.dDate1(), dDate2 = p.dDate2(), sGj = p.sGj(), sGrc = p.sGrc(); });
}

bool fncPannel::in2dsjr(Date& dDate1, Date& dDate2, QString& sGj, QString& sGroup) const {
    return ask<panIn2dsjr>(
        parent_, [&](panIn2dsjr& p) { p.setdDate1(dDate1), p.setdDate2(dDate2), p.setsGj(sGj), p.setsGroup(sGroup); },
        [&](panIn2dsjr& p) { dDate1 = p.dDate1(), dDate2 = p.dDate2(), sGj = p.sGj(), sGroup = p.sGroup(); });
}

bool fncPannel::in2dsjgr(Date& dDate1, Date& dDate2, QString& sGj, QString& sGrc, QString& sGroup) const {
    return ask<panIn2dsjgr>(
        parent_,
        [&](panIn2dsjgr& p) {
            p.setdDate1(dDate1), p.setdDate2(dDate2), p.setsGj(sGj), p.setsGrc(sGrc), p.setsGroup(sGroup);
        },
        [&](panIn2dsjgr& p) {
            dDate1 = p.dDate1(), dDate2 = p.dDate2(), sGj = p.sGj(), sGrc = p.sGrc(), sGroup = p.sGroup();
        });
}

bool fncPannel::in2dsr(Date& d1, Date& d2, QString& r1) const {
    return ask<panIn2dsr>(
        parent_, [&](panIn2dsr& p) { p.setdDate1(d1), p.setdDate2(d2), p.setsGroup(r1); },
        [&](panIn2dsr& p) { d1 = p.dDate1(), d2 = p.dDate2(), r1 = p.sGroup(); });
}

bool fncPannel::in2dss(Date& d1, Date& d2, QString& s1) const {
    return ask<panIn2dss>(
        parent_, [&](panIn2dss& p) { p.setdDate1(d1), p.setdDate2(d2), p.setsCg(s1); },
        [&](panIn2dss& p) { d1 = p.dDate1(), d2 = p.dDate2(), s1 = p.sCg(); });
}

bool fncPannel::ing(QString& sGrc) const {
    return ask<panIng>(parent_, [&](panIng& p) { p.setsGrc(sGrc); }, [&](panIng& p) { sGrc = p.sGrc(); });
}

bool fncPannel::indg(Date& dDate, QString& sGrc) const {
    return ask<panIndg>(
        parent_, [&](panIndg& p) { p.setdDate(dDate), p.setsGrc(sGrc); },
        [&](panIndg& p) { dDate = p.dDate(), sGrc = p.sGrc(); });
}

bool fncPannel::indr(Date& d2, QString& r1) const {
    return ask<panIndr>(
        parent_, [&](panIndr& p) { p.setdDate(d2), p.setsGroup(r1); },
        [&](panIndr& p) { d2 = p.dDate(), r1 = p.sGroup(); });
}

bool fncPannel::inds(Date& d2, QString& s1) const {
    return ask<panInds>(
        parent_, [&](panInds& p) { p.setdDate(d2), p.setsCg(s1); }, [&](panInds& p) { d2 = p.dDate(), s1 = p.sCg(); });
}

}  // namespace keplin
