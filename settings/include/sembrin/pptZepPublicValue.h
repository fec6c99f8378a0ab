#pragma once
#include <QString>

namespace sembrin {

// A business's data; the print footer uses the registration number, the name and the telephone.
struct 사업자 {
    QString 사업자등록번호;
    QString 상호;
    QString 성명;
    QString 도장;
    QString 주소;
    QString 업태;
    QString 종목;
    QString 전화번호;
    QString 계좌번호;
    QString 이메일;
    QString 바로빌ID;

    bool operator==(const 사업자&) const = default;
};

class pptZepPublicValue {
public:
    // The current user's business record, copied in and out whole.
    사업자 ZepPv사용자() const;
    void setZepPv사용자(const 사업자& v);

    bool ZepPv전자송장서버연결정상() const;
    void setZepPv전자송장서버연결정상(bool v);
};

}  // namespace sembrin
