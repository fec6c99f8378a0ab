#include "sorvic/MasterTable.h"

#include "sembrin/Settings.h"

namespace sorvic {

namespace {
MasterTable plain(const char* table) {
    return MasterTable{QString::fromLatin1(table), false, true, 10, 16, 10, {}, {}};
}
}  // namespace

const MasterTable& MasterTable::cg() {
    static const MasterTable t = plain("cg");
    return t;
}
const MasterTable& MasterTable::gj() {
    static const MasterTable t{QStringLiteral("gj"), false, true, 10, 16, 10,
                               sembrin::setting::RegisteredAccountsOnly(), QStringLiteral("계정코드에 기초등록이 되어 있지 않습니다.")};
    return t;
}
const MasterTable& MasterTable::gr() {
    static const MasterTable t = plain("gr");
    return t;
}
const MasterTable& MasterTable::dy() {
    static const MasterTable t{QStringLiteral("dy"), false, false, 6, 6, 0, {}, {}};
    return t;
}
const MasterTable& MasterTable::hj() {
    static const MasterTable t = plain("hj");
    return t;
}
const MasterTable& MasterTable::gg() {
    static const MasterTable t = plain("gg");
    return t;
}
const MasterTable& MasterTable::bg() {
    static const MasterTable t = plain("bg");
    return t;
}
const MasterTable& MasterTable::grc() {
    static const MasterTable t{QStringLiteral("grc"), true, true, 10, 16, 10,
                               sembrin::setting::RegisteredPartnersOnly(), QStringLiteral("거래처코드에 기초등록이 되어 있지 않습니다.")};
    return t;
}
const MasterTable& MasterTable::pd() {
    static const MasterTable t{QStringLiteral("pd"), true, true, 10, 16, 10,
                               sembrin::setting::RegisteredProductsOnly(), QStringLiteral("품목코드에 기초등록이 되어 있지 않습니다.")};
    return t;
}

}  // namespace sorvic
