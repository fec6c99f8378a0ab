#include "ostrel/RuntimeError.h"
#include "ostrel/fncNumber.h"

#include "ErrorNumber.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>

using namespace ostrel;
using vendra::test::errorOf;
using namespace Qt::StringLiterals;

namespace {
const fncNumber fn;


Currency cur(const char* text) { return Variant(text).toCurrency(); }
Variant num(const char* text) { return Variant(cur(text)); }

const Currency kMax = Currency::fromRaw(std::numeric_limits<int64_t>::max());
const Currency kMin = Currency::fromRaw(std::numeric_limits<int64_t>::min());
}  // namespace

TEST(FncNumber, FdnWidthRules) {
    EXPECT_EQ(fn.fdn(num("1234.5"), 10, 2), u"   1234.50"_s);
    EXPECT_EQ(fn.fdn(num("1234567"), 5), u"*****"_s);
    EXPECT_EQ(fn.fdn(num("0.125"), 8, 2), u"   0.125"_s);  // never rounded to fewer decimals
    EXPECT_EQ(fn.fdn(num("0.125"), 4, 2), u"****"_s);
    EXPECT_EQ(fn.fdn(Variant(int32_t(-5)), 4), u"  -5"_s);
    EXPECT_EQ(fn.fdn(Variant(), 6), u"      "_s);
    EXPECT_EQ(fn.fdn(num("0.5"), 4, 1), u" 0.5"_s);      // a digit before the point
    EXPECT_EQ(fn.fdn(num("-0.5"), 4, 1), u"-0.5"_s);
    EXPECT_EQ(fn.fdn(num("-0.5"), 3, 1), u"***"_s);
    EXPECT_EQ(fn.fdn(num("-12"), 2), u"**"_s);           // the sign needs a column too
    // Exactly D decimals when they fit; otherwise the value's own decimals.
    EXPECT_EQ(fn.fdn(num("12"), 5, 2), u"12.00"_s);
    EXPECT_EQ(fn.fdn(num("123"), 5, 2), u"  123"_s);
    EXPECT_EQ(fn.fdn(num("123.4"), 5, 2), u"123.4"_s);
    EXPECT_EQ(fn.fdn(num("1.5"), 10, 6), u"  1.500000"_s);
    EXPECT_EQ(fn.fdn(num("0"), 0), QString());
}

TEST(FncNumber, FdncSeparatorsAndFallbacks) {
    EXPECT_EQ(fn.fdnc(num("1234.5"), 10, 2), u"  1,234.5 "_s);
    EXPECT_EQ(fn.fdnc(num("1234"), 10, 2), u"  1,234   "_s);
    EXPECT_EQ(fn.fdnc(num("1234"), 5, 2), u"1,234"_s);           // no room for the blank decimals
    EXPECT_EQ(fn.fdnc(num("123456"), 6), u"123456"_s);           // separators do not fit
    EXPECT_EQ(fn.fdnc(num("1234567"), 6), u"******"_s);
    EXPECT_EQ(fn.fdnc(num("1234567"), 9), u"1,234,567"_s);
    EXPECT_EQ(fn.fdnc(num("-1234567.5"), 12, 2), u"-1,234,567.5"_s);
    EXPECT_EQ(fn.fdnc(num("-1234567.5"), 11, 2), u"-1234567.50"_s);  // fdn's exact decimals fit
    EXPECT_EQ(fn.fdnc(num("1.2345"), 10, 2), u"    1.2345"_s);
    EXPECT_EQ(fn.fdnc(num("1234.05"), 10, 3), u" 1,234.05 "_s);      // inner zero stays
    EXPECT_EQ(fn.fdnc(num("1.5"), 10, 6), u"  1.5     "_s);
    EXPECT_EQ(fn.fdnc(num("-100"), 4), u"-100"_s);
    EXPECT_EQ(fn.fdnc(num("0"), 6, 2), u"  0   "_s);
    EXPECT_EQ(fn.fdnc(Variant(int16_t(-32768)), 8), u" -32,768"_s);
}

TEST(FncNumber, ExtremesOfTheCurrencyRange) {
    EXPECT_EQ(fn.fdn(Variant(kMax), 22, 4), u"  922337203685477.5807"_s);
    EXPECT_EQ(fn.fdn(Variant(kMin), 21, 4), u"-922337203685477.5808"_s);
    EXPECT_EQ(fn.fdnc(Variant(kMin), 25, 4), u"-922,337,203,685,477.5808"_s);
    EXPECT_EQ(fn.fdnc(Variant(kMin), 24, 4), u"   -922337203685477.5808"_s);
    EXPECT_EQ(fn.NODigit(kMin), 15);
    EXPECT_EQ(fn.NODeciaml(kMin), 4);
}

// Any value at any width and decimals keeps the width and reads back: fuzz/targets/fixed_width.cpp.

TEST(FncNumber, VariantKindsAndBadValues) {
    EXPECT_EQ(fn.fdn(Variant(u"가나"_s), 6), u"가나  "_s);  // text is padded, not read as a number
    EXPECT_EQ(fn.fdnc(Variant(u"12"_s), 4), u"12  "_s);
    EXPECT_EQ(fn.fdnc(Variant(u"ABCDEF"_s), 3), u"ABC"_s);
    EXPECT_EQ(fn.fdn(Variant(12.5), 6, 1), u"  12.5"_s);
    EXPECT_EQ(fn.fdn(Variant(true), 3), u" -1"_s);
    EXPECT_EQ(errorOf([] { fn.fdn(Variant::null(), 5); }), err::InvalidUseOfNull);
    EXPECT_NE(errorOf([] { fn.fdnc(Variant::array({}), 5); }), 0);
    EXPECT_EQ(errorOf([] { fn.fdn(num("1"), -1); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([] { fn.fdnc(Variant(), -3); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([] { fn.fdnc(num("1"), 40000); }), err::Overflow);
    EXPECT_EQ(errorOf([] { fn.fdn(num("1"), 5, 40000); }), err::Overflow);
}

TEST(FncNumber, IndexKeysLineUpWholeParts) {
    QString a = fn.NumberIndexKey(cur("1234"));
    QString b = fn.NumberIndexKey(cur("1234.5"));
    QString c = fn.NumberIndexKey(cur("-98765.25"));
    ASSERT_EQ(a.size(), 18);
    ASSERT_EQ(b.size(), 18);
    ASSERT_EQ(c.size(), 18);
    // The last whole digit sits in column 14 of every key, the point (or its blank) in 15.
    EXPECT_EQ(a.mid(10), u"1,234   "_s);
    EXPECT_EQ(b.mid(10), u"1,234.5 "_s);
    EXPECT_EQ(c.mid(8), u"-98,765.25"_s);
}

TEST(FncNumber, RoundDownTruncatesTowardZero) {
    EXPECT_EQ(fn.RoundDown(cur("1234.5678"), 2), cur("1234.56"));
    EXPECT_EQ(fn.RoundDown(cur("-1234.5678"), 0), cur("-1234"));
    EXPECT_EQ(fn.RoundDown(cur("999999"), -5), cur("900000"));
    EXPECT_EQ(fn.RoundDown(cur("-999999"), -2), cur("-999900"));
    EXPECT_EQ(fn.RoundDown(cur("99999"), -5), cur("0"));
    EXPECT_EQ(fn.RoundDown(kMax, -30), cur("0"));
    EXPECT_EQ(fn.RoundDown(cur("1.2345"), 7), cur("1.2345"));  // nothing beyond four decimals
    EXPECT_EQ(fn.RoundDown(cur("0"), 300), cur("0"));
    EXPECT_EQ(errorOf([] { fn.RoundDown(cur("1000000000000"), 5); }), err::Overflow);
    EXPECT_EQ(errorOf([] { fn.RoundDown(cur("1"), 40000); }), err::Overflow);
}

TEST(FncNumber, BanolimRoundsHalfUp) {
    EXPECT_EQ(fn.Banolim(cur("2.4999")), cur("2"));
    EXPECT_EQ(fn.Banolim(cur("2.5")), cur("3"));
    EXPECT_EQ(fn.Banolim(cur("-2.5")), cur("-2"));
    EXPECT_EQ(fn.Banolim(cur("-2.6")), cur("-3"));
    EXPECT_EQ(fn.Banolim(cur("-0.4")), cur("0"));
    EXPECT_EQ(errorOf([] { fn.Banolim(kMax); }), err::Overflow);
}

TEST(FncNumber, DigitCounts) {
    EXPECT_EQ(fn.NODigit(cur("0")), 1);
    EXPECT_EQ(fn.NODigit(cur("-123.45")), 3);
    EXPECT_EQ(fn.NODigit(cur("0.999")), 1);
    EXPECT_EQ(fn.NODigit(kMax), 15);
    EXPECT_EQ(fn.NODeciaml(cur("0.25")), 2);
    EXPECT_EQ(fn.NODeciaml(cur("3")), 0);
    EXPECT_EQ(fn.NODeciaml(cur("1.0001")), 4);
    EXPECT_EQ(fn.NODeciaml(cur("10.5000")), 1);
}

TEST(FncNumber, NumericVariantKinds) {
    EXPECT_TRUE(fn.IsNumericVarType(Variant(int16_t(1))));
    EXPECT_TRUE(fn.IsNumericVarType(Variant(1.5)));
    EXPECT_TRUE(fn.IsNumericVarType(num("1")));
    EXPECT_FALSE(fn.IsNumericVarType(Variant(Date(45356))));
    EXPECT_FALSE(fn.IsNumericVarType(Variant(true)));
    EXPECT_FALSE(fn.IsNumericVarType(Variant(u"12"_s)));
    EXPECT_FALSE(fn.IsNumericVarType(Variant()));
    EXPECT_FALSE(fn.IsNumericVarType(Variant::null()));
}
