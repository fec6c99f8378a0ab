#pragma once
// The settings the framework itself reads; each counts as on when its value is "TRUE" in any case.
#include <QString>

namespace sembrin::setting {

// Ordinary report print forms in large letters, landscape.
inline QString LargeLetterPrint() { return QStringLiteral("일반인쇄서식큰글씨"); }
// Only accounts, partners or products already registered may be entered in the lookups.
inline QString RegisteredAccountsOnly() { return QStringLiteral("기초등록된계정만입력"); }
inline QString RegisteredPartnersOnly() { return QStringLiteral("기초등록된거래처만입력"); }
inline QString RegisteredProductsOnly() { return QStringLiteral("기초등록된품목만입력"); }

}  // namespace sembrin::setting
