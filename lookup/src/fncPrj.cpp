#include "sorvic/fncPrj.h"

#include "ostrel/fncString.h"

namespace sorvic {

namespace {

const QString kCode = QStringLiteral("code"), kKind = QStringLiteral("gb");

QHash<QString, QString> codesOf(const QString& table, bool withdrawable = false) {
    const QString sql =
        QStringLiteral("SELECT * FROM ") + table + (withdrawable ? QStringLiteral(" WHERE not deleted") : QString());
    return loadNamed(sql, table, kCode);
}

bool isGroupName(const QString& s) {
    static const QStringList groups{QStringLiteral("자산"), QStringLiteral("부채"), QStringLiteral("자본"),
                                    QStringLiteral("수익"), QStringLiteral("비용")};
    return groups.contains(s);
}

}  // namespace

QString orderKey(const QHash<QString, QString>& codes, const QString& name) {
    const auto it = codes.constFind(name);
    if (it != codes.cend() && !it->isEmpty()) return u'A' + *it + u' ' + name;
    return u'B' + name;
}

fncPrj::fncPrj(Clock now) : now_(std::move(now)) {}

ostrel::Date fncPrj::now() const { return now_ ? now_() : ostrel::Now(); }

QString fncPrj::GroupOrder(const QString& sGroup) {
    return orderKey(groupOrder_.get(now(), [] { return codesOf(QStringLiteral("gr")); }), sGroup);
}
QString fncPrj::CgOrder(const QString& sCg) {
    return orderKey(cgOrder_.get(now(), [] { return codesOf(QStringLiteral("cg")); }), sCg);
}
QString fncPrj::GjOrder(const QString& sGj) {
    return orderKey(gjOrder_.get(now(), [] { return codesOf(QStringLiteral("gj")); }), sGj);
}
QString fncPrj::PdOrder(const QString& sPd) {
    return orderKey(pdOrder_.get(now(), [] { return codesOf(QStringLiteral("pd"), true); }), sPd);
}

bool fncPrj::IsCg(const QString& sCg) {
    const auto& warehouses = isCg_.get(now(), [] {
        return loadNamed(QStringLiteral("SELECT * FROM cg"), QStringLiteral("cg"), kKind,
                         [](const QString& gb) { return gb == u"창고"; });
    });
    return warehouses.contains(sCg);
}

QString fncPrj::gj2gb(const QString& sGj) {
    const auto& groups =
        gj2gb_.get(now(), [] { return loadNamed(QStringLiteral("SELECT * FROM gj"), QStringLiteral("gj"), kKind); });
    const QString gb = groups.value(sGj);
    return isGroupName(gb) ? gb : QStringLiteral("비용");
}

bool fncPrj::IsPertinent(const QString& a, const QString& B) const {
    if (B == u"*") return true;
    const bool starts = B.startsWith(u'*'), ends = B.endsWith(u'*');
    if (starts && ends) return ostrel::fncString().IsInStr(a, B.mid(1, B.size() - 2));
    if (ends) return a.startsWith(B.chopped(1));
    if (starts) return a.endsWith(B.mid(1));
    return a == B;
}

}  // namespace sorvic
