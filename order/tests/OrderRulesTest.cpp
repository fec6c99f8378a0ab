// The VAT split of a line and the product key, as the client sends and the server stores them.
#include "vendra/order/ProductKey.h"
#include "vendra/order/Vat.h"

#include "ErrorNumber.h"

#include <gtest/gtest.h>

using namespace vendra;
using ostrel::Currency;

namespace {

Currency C(double v) { return Currency::fromDouble(v); }

TEST(Vat, EveryWholeAmountSplitsByTheTenthAndTheTenEleventhsRule) {
    // 10a/11 = q + r/11: a remainder of 0 or 1 (the fraction 1/11) is dropped, any other raises q.
    for (int64_t a = 0; a <= 20000; ++a) {
        const int64_t q = a * 10 / 11, r = a * 10 % 11, supply = r <= 1 ? q : q + 1;
        ASSERT_EQ(SupplyFromGross(Currency::fromInt(a)), Currency::fromInt(supply)) << a;
        const VatSplit in = SplitVat(QStringLiteral("/"), Currency::fromInt(a));
        ASSERT_EQ(std::tuple(in.supply, in.tax, in.total), std::tuple(C(supply), C(a - supply), C(a))) << a;
        const VatSplit on = SplitVat(QStringLiteral("+"), Currency::fromInt(a));
        ASSERT_EQ(std::tuple(on.supply, on.tax, on.total), std::tuple(C(a), C(a / 10), C(a + a / 10))) << a;
    }
}

TEST(Vat, FlagsFloorsAndLineAmounts) {
    struct Case { double amount; const char* flag; double supply, tax, total; };
    for (const Case& k : {Case{1234, "+", 1234, 123, 1357}, Case{-1234, "+", -1234, -124, -1358},
                          Case{-15, "+", -15, -2, -17}, Case{10.5, "+", 10.5, 1, 11.5}, Case{1002, "/", 911, 91, 1002},
                          Case{1, "/", 1, 0, 1}, Case{500, "", 500, 0, 500}, Case{500, "x", 500, 0, 500},
                          Case{500, "++", 500, 0, 500}}) {
        const VatSplit s = SplitVat(QString::fromLatin1(k.flag), C(k.amount));
        EXPECT_EQ(std::tuple(s.supply, s.tax, s.total), std::tuple(C(k.supply), C(k.tax), C(k.total)))
            << k.amount << " " << k.flag;
    }
    EXPECT_EQ(LineAmount(C(1.5), C(333)), C(499));
    EXPECT_EQ(LineAmount(C(-1.5), C(333)), C(-500));
    vendra::test::expectError(ostrel::err::Overflow, [] { LineAmount(C(1e9), C(1e9)); });
}

TEST(ProductKeys, SplitAtTheLastUnderscoreAndJoinBack) {
    struct Case { const char* key; const char* name; const char* unit; bool joinsBack; };
    for (const Case& k : {Case{"깐_마늘_kg", "깐_마늘", "kg", true}, Case{"배추", "배추", "", true},
                          Case{"무_", "무", "", false}, Case{"_박스", "", "박스", true}}) {
        const ProductName p = SplitProductKey(QString::fromUtf8(k.key));
        EXPECT_EQ(p.name, QString::fromUtf8(k.name)) << k.key;
        EXPECT_EQ(p.unit, QString::fromUtf8(k.unit)) << k.key;
        EXPECT_EQ(JoinProductKey(p.name, p.unit) == QString::fromUtf8(k.key), k.joinsBack) << k.key;
    }
}

}  // namespace
