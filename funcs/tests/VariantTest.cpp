#include "ostrel/RuntimeError.h"
#include "ostrel/Variant.h"

#include <gtest/gtest.h>

using namespace ostrel;

TEST(Variant, EmptyEqualsZeroLengthTextAndZero) {
    Variant empty;
    EXPECT_TRUE(empty == Variant(QString()));
    EXPECT_TRUE(empty == Variant(0));
    EXPECT_TRUE(empty == Variant(0.0));
    EXPECT_TRUE(empty == Variant(false));
    EXPECT_TRUE(empty == Variant(Currency()));
    EXPECT_FALSE(empty == Variant("0"));
    EXPECT_FALSE(empty == Variant(" "));
    EXPECT_FALSE(empty == Variant(1));
}

TEST(Variant, NumbersCompareByValueAcrossTypes) {
    EXPECT_TRUE(Variant(int16_t(3)) == Variant(3.0));
    EXPECT_TRUE(Variant(Currency::fromDouble(2.5)) == Variant(2.5f));
    EXPECT_TRUE(Variant(true) == Variant(-1));
    EXPECT_TRUE(Variant(2) < Variant(Currency::fromDouble(2.0001)));
    EXPECT_TRUE(Variant(Date(45000)) == Variant(45000));
}

TEST(Variant, TextComparesBinaryAndNumbersSortBeforeText) {
    EXPECT_TRUE(Variant("B") < Variant("a"));  // binary: upper case first
    EXPECT_FALSE(Variant("a") == Variant("A"));
    EXPECT_TRUE(Variant(999) < Variant("1"));
    EXPECT_TRUE(Variant(u"가") < Variant(u"나"));
}

TEST(Variant, NullIsUnorderedAgainstEverything) {
    EXPECT_FALSE(Variant::null() == Variant::null());
    EXPECT_FALSE(Variant::null() == Variant());
    EXPECT_FALSE(Variant::null() < Variant(1));
    EXPECT_THROW(Variant::null().toString(), RuntimeError);
}

TEST(Variant, ConversionsFollowThePlatform) {
    EXPECT_EQ(Variant(" -12.5 ").toDouble(), -12.5);
    EXPECT_EQ(Variant("1e3").toDouble(), 1000);
    EXPECT_EQ(Variant(2.5).toLong(), 2);  // half to even
    EXPECT_EQ(Variant(3.5).toLong(), 4);
    EXPECT_EQ(Variant().toLong(), 0);
    EXPECT_EQ(Variant(1234.5).toString(), "1234.5");
    EXPECT_EQ(Variant(0.1 + 0.2).toString(), "0.3");
    EXPECT_EQ(Variant(1e20).toString(), "1E+20");
    EXPECT_EQ(Variant(-0.0).toString(), "0");
    EXPECT_EQ(Variant(true).toString(), "True");
    EXPECT_EQ(Variant("12,000").type(), VarType::String);
    try {
        Variant("12a").toDouble();
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::TypeMismatch);
    }
    EXPECT_THROW(Variant(3e9).toLong(), RuntimeError);
    EXPECT_THROW(Variant(40000).toInteger(), RuntimeError);
}

TEST(Variant, CurrencyFromTextIsExact) {
    EXPECT_EQ(Variant("123456789012.3456").toCurrency().raw(), 1234567890123456LL);
    EXPECT_EQ(Variant("0.00005").toCurrency().raw(), 0);  // half to even
    EXPECT_EQ(Variant("0.00015").toCurrency().raw(), 2);
    EXPECT_EQ(Variant("-1.23456").toCurrency().raw(), -12346);
    EXPECT_THROW(Variant("99999999999999999999").toCurrency(), RuntimeError);
}

TEST(Variant, ArraysKeepTheirLowerBound) {
    Variant a = Variant::array({Variant(1), Variant("x")}, 1);
    EXPECT_EQ(a.toArray().upper(), 2);
    EXPECT_EQ(a.toArray().at(2).toString(), "x");
    EXPECT_THROW(a.toArray().at(0), RuntimeError);
    EXPECT_THROW((void)(a == Variant(1)), RuntimeError);
}

TEST(Variant, ValAndNumericText) {
    EXPECT_EQ(Val(u"  12.5kg"), 12.5);
    EXPECT_EQ(Val(u"abc"), 0);
    EXPECT_EQ(Val(u"-3e2x"), -300);
    EXPECT_EQ(Val(u"7e"), 7);
    EXPECT_TRUE(IsNumeric(Variant(" +4.0 ")));
    EXPECT_FALSE(IsNumeric(Variant("4.0.0")));
    EXPECT_FALSE(IsNumeric(Variant(".")));
    EXPECT_FALSE(IsNumeric(Variant::null()));
}
