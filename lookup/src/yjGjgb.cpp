#include "sorvic/yjGjgb.h"

#include "ostrel/clsTable.h"

#include <array>

namespace sorvic {

using ostrel::Variant;

namespace {

struct Group {
    const char16_t* name;
    std::array<const char16_t*, 4> names;  // what the user may type for it
};

// In the order they are tested and listed.
const std::array<Group, 5> kGroups = {{
    {u"자산", {u"1", u"자산", u"자", u"산"}},
    {u"부채", {u"2", u"부채", u"부", u"채"}},
    {u"자본", {u"3", u"자본", u"본", nullptr}},
    {u"수익", {u"4", u"수익", u"수", u"익"}},
    {u"비용", {u"5", u"비용", u"비", u"용"}},
}};

}  // namespace

yjGjgb::yjGjgb(PickList pick) : pick_(pick ? std::move(pick) : codeInputPick()) {}

Variant yjGjgb::AfterEnter(QString& x) {
    for (const Group& g : kGroups)
        for (const char16_t* n : g.names)
            if (n && x == QStringView(n)) return QString::fromUtf16(g.name);
    return QStringLiteral("비용");
}

Variant yjGjgb::AfterF3(QString&) {
    ostrel::clsTable rows;
    rows.setNOF(2);
    for (size_t i = 0; i < kGroups.size(); ++i) {
        const QString name = QString::fromUtf16(kGroups[i].name);
        rows.AppendRec(Variant::array({Variant(name), Variant(QString::number(i + 1) + u' ' + name)}));
    }
    return pick_(QString(), rows);
}

bool yjGjgb::LastFilter(Variant&) { return true; }

}  // namespace sorvic
