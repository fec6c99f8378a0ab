#include "sorvic/fnc사업자.h"

#include "MasterQuery.h"

namespace sorvic {

namespace {

// `field` of the non-withdrawn partner whose `key` is `value`; "" when there is none.
QString partnerField(const QString& key, const QString& value, const QString& field) {
    ostrel::Recordset rs = detail::zepDb().OpenRecordset(
        QStringLiteral("select * from grc where %1=? and not deleted").arg(key), {ostrel::Variant(value)});
    return rs.isEOF() ? QString() : detail::textOf(rs, field);
}

QString byName(const QString& s, const QString& field) { return partnerField(QStringLiteral("grc"), s, field); }

}  // namespace

QString fnc사업자::grc2사업자등록번호(const QString& s) const { return byName(s, QStringLiteral("사업자등록번호")); }
QString fnc사업자::grc2상호(const QString& s) const { return byName(s, QStringLiteral("상호")); }
QString fnc사업자::grc2성명(const QString& s) const { return byName(s, QStringLiteral("성명")); }
QString fnc사업자::grc2주소(const QString& s) const { return byName(s, QStringLiteral("주소")); }
QString fnc사업자::grc2업태(const QString& s) const { return byName(s, QStringLiteral("업태")); }
QString fnc사업자::grc2종목(const QString& s) const { return byName(s, QStringLiteral("종목")); }
QString fnc사업자::grc2이메일(const QString& s) const { return byName(s, QStringLiteral("이메일")); }
QString fnc사업자::grc2전화(const QString& s) const { return byName(s, QStringLiteral("전화")); }
QString fnc사업자::grc2비고(const QString& s) const { return byName(s, QStringLiteral("비고")); }

QString fnc사업자::grc2ci(const QString& s) const { return s == u"*" ? s : grc2사업자등록번호(s); }

QString fnc사업자::ci2grc(const QString& sCI) const {
    return partnerField(QStringLiteral("사업자등록번호"), sCI, QStringLiteral("grc"));
}

}  // namespace sorvic
