#include "tavrin/fncSelectA.h"

#include "tavrin/frmSelectA.h"
#include "tessel/Stru.h"
#include "tessel/ab.h"

#include <exception>

namespace tavrin {

using ostrel::Variant;

namespace {
bool ticked(const Variant& v) {
    try {
        return !v.isEmpty() && v.toBool();
    } catch (const std::exception&) {
        return false;
    }
}
}  // namespace

bool fncSelectA::selectb(const QString& sTitle, ostrel::TableRef& a, const Variant& stru, float nFontSize) const {
    frmSelectA frm;
    frm.setWindowTitle(sTitle);
    if (nFontSize != 0) frm.setFontsize(nFontSize);
    frm.setStructure(stru, a ? std::max(a->NOF(), tessel::struCount(stru)) : 0);
    frm.clearResult();
    frm.ab1()->setValue(a);
    frm.exec();
    if (!frm.result()) return false;
    a = frm.ab1()->value();
    return true;
}

bool fncSelectA::selecta(const QString& sTitle, ostrel::TableRef& a, const Variant& stru, bool bDefault,
                         float nFontSize) const {
    if (!a) return false;
    const int nof = a->NOF();
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(nof + 1);
    for (int i = 0; i < a->RecCount(); ++i) {
        t->AppendBlank();
        t->setCell(i, 0, Variant(bDefault));
        for (int j = 0; j < nof; ++j) t->setCell(i, j + 1, a->cellRef(i, j));
    }
    std::vector<Variant> cols{tessel::fieldDef(QStringLiteral("b"), 4, 0, QStringLiteral("선택"))};
    for (const Variant& c : stru.toArray().items) cols.push_back(c);
    ostrel::TableRef chosen = t;
    if (!selectb(sTitle, chosen, tessel::makeStru(std::move(cols)), nFontSize)) return false;

    a->zap();
    for (int i = 0; i < chosen->RecCount(); ++i) {
        if (!ticked(chosen->cellRef(i, 0))) continue;
        a->AppendBlank();
        const int r = a->RecCount() - 1;
        for (int j = 0; j < nof && j + 1 < chosen->NOF(); ++j) a->setCell(r, j, chosen->cellRef(i, j + 1));
    }
    return true;
}

}  // namespace tavrin
