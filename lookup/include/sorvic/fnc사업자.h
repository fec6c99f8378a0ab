#pragma once
// A partner's business data, read from grc on every call; withdrawn partners have none ("").
#include <QString>

namespace sorvic {

class fnc사업자 {
public:
    QString grc2사업자등록번호(const QString& s) const;
    QString grc2상호(const QString& s) const;
    QString grc2성명(const QString& s) const;
    QString grc2주소(const QString& s) const;
    QString grc2업태(const QString& s) const;
    QString grc2종목(const QString& s) const;
    QString grc2이메일(const QString& s) const;
    QString grc2전화(const QString& s) const;
    QString grc2비고(const QString& s) const;
    // The registration number; "*" stays "*".
    QString grc2ci(const QString& s) const;
    // The partner holding registration number sCI.
    QString ci2grc(const QString& sCI) const;
};

}  // namespace sorvic
