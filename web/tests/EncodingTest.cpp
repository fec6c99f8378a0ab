// Form pieces, percent-encoding both ways, value texts and the type-code reader.
#include "TestUtil.h"

#include "corvane/UrlEncoding.h"
#include "corvane/ValueText.h"
#include "corvane/fncGetAndPost.h"

#include <random>

using namespace corvane;
using ostrel::Currency;
using ostrel::Variant;
using ostrel::VarType;

TEST(UrlEncode, CodePage949BytesWithOnlyLettersAndDigitsPlain) {
    EXPECT_EQ(URLEncode(u"a b"), QStringLiteral("a%20b"));
    EXPECT_EQ(URLEncode(u""), QString());
    EXPECT_EQ(URLEncode(u"가AZaz09"), QStringLiteral("%B0%A1AZaz09"));
    EXPECT_EQ(URLEncode(u"-._*~+/\t"), QStringLiteral("%2D%2E%5F%2A%7E%2B%2F%09"));
    EXPECT_EQ(URLEncode(u"\u00e9\U0001F600"), QStringLiteral("%3F%3F"));  // not in the code page

    std::mt19937 rng(7);
    const QString alphabet = QStringLiteral("aZ09 -_.*~+&=%?#\"<>가힣똠뷁\r\n");
    for (int round = 0; round < 200; ++round) {
        QString s;
        for (int i = static_cast<int>(rng() % 20); i > 0; --i) s += alphabet[static_cast<int>(rng() % alphabet.size())];
        EXPECT_EQ(URLDecode(URLEncode(s).toLatin1()), s) << s.toStdString();
    }
    EXPECT_EQ(URLDecode("a+b%20c%b0%a1"), QStringLiteral("a b c가"));
    EXPECT_EQ(URLDecode("100%"), QStringLiteral("100%"));  // stray percents stay
    EXPECT_EQ(URLDecode("%4%zz%41"), QStringLiteral("%4%zzA"));
}

TEST(UrlEncode, ParseFormKeepsOrderRepeatsAndEmptyValues) {
    FormFields f = ParseForm("?a=1&&b=&c&Name=%B0%A1+%B3%AA&a=2&eq=x%3Dy=z");
    ASSERT_EQ(f.size(), 6u);
    EXPECT_EQ(f[1], (FormField{QStringLiteral("b"), QString()}));
    EXPECT_EQ(f[2], (FormField{QStringLiteral("c"), QString()}));
    EXPECT_EQ(f[4], (FormField{QStringLiteral("a"), QStringLiteral("2")}));
    EXPECT_EQ(FormValue(f, u"Name"), QStringLiteral("가 나"));
    EXPECT_EQ(FormValue(f, u"a"), QStringLiteral("1"));
    EXPECT_EQ(FormValue(f, u"eq"), QStringLiteral("x=y=z"));
    EXPECT_EQ(FormValue(f, u"A", QStringLiteral("none")), QStringLiteral("none"));
    EXPECT_TRUE(HasField(f, u"c"));
    EXPECT_FALSE(HasField(f, u"d"));
}

TEST(ParaForm, StringsAreEncodedOtherValuesWrittenAsText) {
    fncGetAndPost web;
    auto piece = [&](const Variant& v) { return web.ParaForm(QStringLiteral("X"), v); };
    EXPECT_EQ(web.ParaForm(QStringLiteral("RecCount"), int16_t(3)), QStringLiteral("RecCount=3"));
    EXPECT_EQ(piece(true), QStringLiteral("X=1"));
    EXPECT_EQ(piece(false), QStringLiteral("X=0"));
    EXPECT_EQ(piece(Variant()), QStringLiteral("X="));
    EXPECT_EQ(piece(Variant::null()), QStringLiteral("X="));
    EXPECT_EQ(piece(QStringLiteral("2024030512304599")), QStringLiteral("X=2024030512304599"));
    EXPECT_EQ(piece(QStringLiteral("2024-03-05")), QStringLiteral("X=2024%2D03%2D05"));
    EXPECT_EQ(piece(ostrel::DateSerial(2024, 3, 5)), QStringLiteral("X=2024-03-05"));  // no string: unencoded
    EXPECT_EQ(piece(Currency::fromRaw(-12500)), QStringLiteral("X=-1.25"));
    EXPECT_EQ(web.ParaForm(QStringLiteral("이름"), QStringLiteral("a")), QStringLiteral("이름=a"));
    EXPECT_EQ(web.IndexedParaForm(QStringLiteral("Product"), 0, QStringLiteral("배")), QStringLiteral("Product_0=%B9%E8"));
    EXPECT_EQ(web.IndexedParaForm(QStringLiteral("Q"), -2, 1.5), QStringLiteral("Q_-2=1.5"));
}

TEST(ValueText, ValueToStringGivesPlainTexts) {
    EXPECT_EQ(ValueToString(Variant::null()), QString());
    EXPECT_EQ(ValueToString(int32_t(-40000)), QStringLiteral("-40000"));
    EXPECT_EQ(ValueToString(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(ValueToString(2.5f), QStringLiteral("2.5"));
    EXPECT_EQ(ValueToString(Currency::fromRaw(1234500)), QStringLiteral("123.45"));
    EXPECT_EQ(ValueToString(ostrel::Date()), QStringLiteral("0000-00-00"));
    EXPECT_EQ(ValueToString(ostrel::Date(0.5)), QStringLiteral("12:00:00"));
    EXPECT_EQ(ValueToString(ostrel::Date(ostrel::DateSerial(2024, 3, 5).serial + 0.5)),
              QStringLiteral("2024-03-05 12:00:00"));
    EXPECT_EQ(ValueToString(QStringLiteral(" 가 ")), QStringLiteral(" 가 "));
}

TEST(ValueText, StringToValueByTypeCode) {
    for (int code : {2, 3, 4, 5, 6, 7, 11}) EXPECT_TRUE(StringToValue(QString(), code).isEmpty()) << code;
    for (int code : {2, 3, 6}) EXPECT_TRUE(StringToValue(QStringLiteral("12abc"), code).isEmpty()) << code;
    const std::pair<int, VarType> kinds[] = {{2, VarType::Integer}, {3, VarType::Long}, {4, VarType::Single},
                                             {5, VarType::Double}, {6, VarType::Currency}};
    for (auto [code, kind] : kinds) {
        Variant v = StringToValue(QStringLiteral(" -12 "), code);
        EXPECT_EQ(v.type(), kind) << code;
        EXPECT_EQ(v.toDouble(), -12.0) << code;
    }
    EXPECT_EQ(StringToValue(QStringLiteral("0.00005"), 6).toCurrency().raw(), 0);  // half to even
    EXPECT_EQ(StringToValue(QStringLiteral("0.00015"), 6).toCurrency().raw(), 2);
    EXPECT_EQ(errorNumber([] { StringToValue(QStringLiteral("32768"), 2); }), ostrel::err::Overflow);
    EXPECT_EQ(errorNumber([] { StringToValue(QStringLiteral("3000000000"), 3); }), ostrel::err::Overflow);
    EXPECT_EQ(errorNumber([] { StringToValue(QStringLiteral("1e39"), 4); }), ostrel::err::Overflow);
    EXPECT_EQ(errorNumber([] { StringToValue(QStringLiteral("1e300"), 6); }), ostrel::err::Overflow);

    EXPECT_EQ(StringToValue(QStringLiteral("2024.03.05"), 7).toDate(), ostrel::DateSerial(2024, 3, 5));
    Variant bad = StringToValue(QStringLiteral("soon"), 7);
    EXPECT_TRUE(bad.isDate() && bad.toDate().isZero());
    EXPECT_EQ(StringToValue(QString(), 8).type(), VarType::String);
    EXPECT_EQ(StringToValue(QStringLiteral(" x "), 99).toString(), QStringLiteral(" x "));

    EXPECT_TRUE(StringToValue(QStringLiteral("yes"), 11).isEmpty());
    for (const char* t : {"1", "-1", "2.5", "true", "tRuE"}) EXPECT_TRUE(StringToValue(QString::fromLatin1(t), 11).toBool()) << t;
    for (const char* t : {"0", "0.0", "False"}) {
        Variant b = StringToValue(QString::fromLatin1(t), 11);
        EXPECT_TRUE(b.isBoolean() && !b.toBool()) << t;
    }
}

TEST(ValueText, LiteralsReadBackAsWritten) {
    EXPECT_EQ(LiteralText(Variant()), QStringLiteral("EMPTY"));
    EXPECT_EQ(LiteralText(-0.5), QStringLiteral("-0.5"));
    EXPECT_EQ(LiteralText(ostrel::DateSerial(2024, 3, 5)), QStringLiteral("#2024-03-05#"));
    EXPECT_EQ(LiteralText(QStringLiteral("a\"b")), QStringLiteral("\"a\"\"b\""));
    EXPECT_EQ(LiteralText(true), QStringLiteral("True"));

    EXPECT_TRUE(ParseLiteral(u" EMPTY ").isEmpty());
    EXPECT_TRUE(ParseLiteral(u"empty").isEmpty());  // no keyword in another case, and no number
    Variant n = ParseLiteral(u" 12.5 ");
    EXPECT_TRUE(n.type() == VarType::Currency && n.toCurrency().raw() == 125000);
    EXPECT_EQ(ParseLiteral(u"-0.00005").toCurrency().raw(), 0);
    EXPECT_EQ(ParseLiteral(u"1.5E+3").toCurrency().raw(), 15000000);
    EXPECT_EQ(ParseLiteral(u"99999999999999").toCurrency().raw(), 999999999999990000);
    EXPECT_EQ(errorNumber([] { ParseLiteral(u"1e300"); }), ostrel::err::Overflow);
    EXPECT_EQ(ParseLiteral(u"\"a\"\"b\"").toString(), QStringLiteral("a\"b"));
    EXPECT_EQ(ParseLiteral(u"\"a\"b\"").toString(), QStringLiteral("a\"b"));  // an undoubled quote stays
    EXPECT_EQ(ParseLiteral(u"\" x \"").toString(), QStringLiteral(" x "));
    EXPECT_EQ(errorNumber([] { ParseLiteral(u"\""); }), ostrel::err::InvalidArgument);
    Variant zero = ParseLiteral(u"#0000-00-00#");
    EXPECT_TRUE(zero.isDate() && zero.toDate().isZero());
    Variant notDate = ParseLiteral(u"#abc#");
    EXPECT_TRUE(notDate.type() == VarType::Integer && notDate.toInteger() == 0);
    EXPECT_TRUE(ParseLiteral(u"True").isEmpty());

    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        QString s;
        for (int k = static_cast<int>(rng() % 8); k > 0; --k) s += QStringLiteral("a\"# 가.-1")[static_cast<int>(rng() % 8)];
        EXPECT_EQ(ParseLiteral(LiteralText(s)).toString(), s) << s.toStdString();
        Currency c = Currency::fromRaw(static_cast<int64_t>(rng()) - (1LL << 31));
        EXPECT_EQ(ParseLiteral(LiteralText(c)).toCurrency(), c);
    }
}
