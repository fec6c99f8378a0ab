// Form pieces, percent-encoding both ways, value texts and the type-code reader.
#include "corvane/UrlEncoding.h"
#include "corvane/ValueText.h"
#include "corvane/fncGetAndPost.h"

#include "ostrel/DateTime.h"
#include "ostrel/RuntimeError.h"

#include <gtest/gtest.h>

#include <random>

using namespace corvane;
using ostrel::Currency;
using ostrel::Variant;
using ostrel::VarType;

namespace {
int errorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const ostrel::RuntimeError& e) {
        return e.number();
    }
    return 0;
}
}  // namespace

TEST(UrlEncode, OnlyAsciiLettersAndDigitsStayUnencoded) {
    EXPECT_EQ(URLEncode(u"a b"), QStringLiteral("a%20b"));
    EXPECT_EQ(URLEncode(u""), QString());
    EXPECT_EQ(URLEncode(u"가"), QStringLiteral("%B0%A1"));
    EXPECT_EQ(URLEncode(u"-._*~+/"), QStringLiteral("%2D%2E%5F%2A%7E%2B%2F"));
    EXPECT_EQ(URLEncode(u"\t\n"), QStringLiteral("%09%0A"));
    EXPECT_EQ(URLEncode(u"AZaz09"), QStringLiteral("AZaz09"));
    EXPECT_EQ(URLEncode(u"2024-03-05"), QStringLiteral("2024%2D03%2D05"));
    // Characters the code page lacks travel as "?".
    EXPECT_EQ(URLEncode(u"\u00e9\U0001F600"), QStringLiteral("%3F%3F"));
}

TEST(UrlEncode, DecodingUndoesEncodingAndToleratesStrayPercents) {
    std::mt19937 rng(7);
    const QString alphabet = QStringLiteral("aZ09 -_.*~+&=%?#\"'<>가힣똠뷁\r\n\t");
    for (int round = 0; round < 200; ++round) {
        QString s;
        int n = static_cast<int>(rng() % 20);
        for (int i = 0; i < n; ++i) s += alphabet[static_cast<int>(rng() % alphabet.size())];
        EXPECT_EQ(URLDecode(URLEncode(s).toLatin1()), s) << s.toStdString();
    }
    EXPECT_EQ(URLDecode("a+b%20c"), QStringLiteral("a b c"));
    EXPECT_EQ(URLDecode("%b0%a1"), QStringLiteral("가"));
    EXPECT_EQ(URLDecode("100%"), QStringLiteral("100%"));
    EXPECT_EQ(URLDecode("%4"), QStringLiteral("%4"));
    EXPECT_EQ(URLDecode("%zz%41"), QStringLiteral("%zzA"));
}

TEST(UrlEncode, ParseFormKeepsOrderRepeatsAndEmptyValues) {
    FormFields f = ParseForm("?a=1&&b=&c&Name=%B0%A1+%B3%AA&a=2&eq=x%3Dy=z");
    ASSERT_EQ(f.size(), 6u);
    EXPECT_EQ(f[0], (FormField{QStringLiteral("a"), QStringLiteral("1")}));
    EXPECT_EQ(f[1], (FormField{QStringLiteral("b"), QString()}));
    EXPECT_EQ(f[2], (FormField{QStringLiteral("c"), QString()}));
    EXPECT_EQ(FormValue(f, u"Name"), QStringLiteral("가 나"));
    EXPECT_EQ(FormValue(f, u"a"), QStringLiteral("1"));
    EXPECT_EQ(FormValue(f, u"eq"), QStringLiteral("x=y=z"));
    EXPECT_EQ(FormValue(f, u"A", QStringLiteral("none")), QStringLiteral("none"));
    EXPECT_TRUE(HasField(f, u"c"));
    EXPECT_FALSE(HasField(f, u"d"));
    EXPECT_TRUE(ParseForm("").empty());
}

TEST(ParaForm, StringsAreEncodedOtherValuesWrittenAsText) {
    fncGetAndPost web;
    EXPECT_EQ(web.ParaForm(QStringLiteral("RecCount"), int16_t(3)), QStringLiteral("RecCount=3"));
    EXPECT_EQ(web.ParaForm(QStringLiteral("Ok"), true), QStringLiteral("Ok=1"));
    EXPECT_EQ(web.ParaForm(QStringLiteral("Ok"), false), QStringLiteral("Ok=0"));
    EXPECT_EQ(web.ParaForm(QStringLiteral("X"), Variant()), QStringLiteral("X="));
    EXPECT_EQ(web.ParaForm(QStringLiteral("X"), Variant::null()), QStringLiteral("X="));
    EXPECT_EQ(web.ParaForm(QStringLiteral("RequestTime"), QStringLiteral("2024030512304599")),
              QStringLiteral("RequestTime=2024030512304599"));
    EXPECT_EQ(web.ParaForm(QStringLiteral("D"), QStringLiteral("2024-03-05")), QStringLiteral("D=2024%2D03%2D05"));
    // A date value is no string: its text travels unencoded.
    EXPECT_EQ(web.ParaForm(QStringLiteral("D"), ostrel::DateSerial(2024, 3, 5)), QStringLiteral("D=2024-03-05"));
    EXPECT_EQ(web.ParaForm(QStringLiteral("P"), Currency::fromRaw(-12500)), QStringLiteral("P=-1.25"));
    EXPECT_EQ(web.ParaForm(QStringLiteral("이름"), QStringLiteral("a")), QStringLiteral("이름=a"));
    EXPECT_EQ(web.IndexedParaForm(QStringLiteral("Product"), 0, QStringLiteral("배")),
              QStringLiteral("Product_0=%B9%E8"));
    EXPECT_EQ(web.IndexedParaForm(QStringLiteral("Q"), -2, 1.5), QStringLiteral("Q_-2=1.5"));
    EXPECT_EQ(web.URLEncode(QStringLiteral("a b")), QStringLiteral("a%20b"));
}

TEST(ValueText, ValueToStringGivesPlainTexts) {
    EXPECT_EQ(ValueToString(Variant()), QString());
    EXPECT_EQ(ValueToString(Variant::null()), QString());
    EXPECT_EQ(ValueToString(int32_t(-40000)), QStringLiteral("-40000"));
    EXPECT_EQ(ValueToString(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(ValueToString(2.5f), QStringLiteral("2.5"));
    EXPECT_EQ(ValueToString(Currency::fromRaw(1234500)), QStringLiteral("123.45"));
    EXPECT_EQ(ValueToString(ostrel::Date()), QStringLiteral("0000-00-00"));
    EXPECT_EQ(ValueToString(ostrel::Date(0.5)), QStringLiteral("12:00:00"));
    ostrel::Date dt(ostrel::DateSerial(2024, 3, 5).serial + ostrel::TimeSerial(12, 30, 0));
    EXPECT_EQ(ValueToString(dt), QStringLiteral("2024-03-05 12:30:00"));
    EXPECT_EQ(ValueToString(QStringLiteral(" 가 ")), QStringLiteral(" 가 "));
    EXPECT_EQ(ValueToString(true), QStringLiteral("1"));
}

TEST(ValueText, StringToValueByTypeCode) {
    EXPECT_TRUE(StringToValue(QString(), 2).isEmpty());
    EXPECT_TRUE(StringToValue(QStringLiteral("abc"), 3).isEmpty());
    EXPECT_TRUE(StringToValue(QStringLiteral("12abc"), 6).isEmpty());
    Variant i = StringToValue(QStringLiteral("-12"), 2);
    EXPECT_EQ(i.type(), VarType::Integer);
    EXPECT_EQ(i.toInteger(), -12);
    EXPECT_EQ(StringToValue(QStringLiteral("70000"), 3).type(), VarType::Long);
    EXPECT_EQ(StringToValue(QStringLiteral("1.5"), 4).type(), VarType::Single);
    Variant d = StringToValue(QStringLiteral(" 1e3 "), 5);
    EXPECT_EQ(d.type(), VarType::Double);
    EXPECT_EQ(d.toDouble(), 1000.0);
    Variant c = StringToValue(QStringLiteral("0.00005"), 6);
    EXPECT_EQ(c.type(), VarType::Currency);
    EXPECT_EQ(c.toCurrency().raw(), 0);  // half to even at the fourth decimal
    EXPECT_EQ(StringToValue(QStringLiteral("0.00015"), 6).toCurrency().raw(), 2);

    EXPECT_EQ(errorNumber([] { StringToValue(QStringLiteral("32768"), 2); }), ostrel::err::Overflow);
    EXPECT_EQ(errorNumber([] { StringToValue(QStringLiteral("3000000000"), 3); }), ostrel::err::Overflow);
    EXPECT_EQ(errorNumber([] { StringToValue(QStringLiteral("1e39"), 4); }), ostrel::err::Overflow);
    EXPECT_EQ(errorNumber([] { StringToValue(QStringLiteral("1e300"), 6); }), ostrel::err::Overflow);

    EXPECT_TRUE(StringToValue(QString(), 7).isEmpty());
    EXPECT_EQ(StringToValue(QStringLiteral("2024-03-05"), 7).toDate(), ostrel::DateSerial(2024, 3, 5));
    EXPECT_EQ(StringToValue(QStringLiteral("2024.03.05"), 7).toDate(), ostrel::DateSerial(2024, 3, 5));
    Variant bad = StringToValue(QStringLiteral("soon"), 7);
    EXPECT_EQ(bad.type(), VarType::Date);
    EXPECT_TRUE(bad.toDate().isZero());

    EXPECT_EQ(StringToValue(QString(), 8).type(), VarType::String);
    EXPECT_EQ(StringToValue(QStringLiteral(" x "), 8).toString(), QStringLiteral(" x "));
    EXPECT_EQ(StringToValue(QStringLiteral("x"), 99).toString(), QStringLiteral("x"));

    EXPECT_TRUE(StringToValue(QString(), 11).isEmpty());
    EXPECT_TRUE(StringToValue(QStringLiteral("yes"), 11).isEmpty());
    for (const char* t : {"1", "-1", "2.5", "true", "TRUE", "tRuE"}) {
        Variant b = StringToValue(QString::fromLatin1(t), 11);
        EXPECT_TRUE(b.isBoolean() && b.toBool()) << t;
    }
    for (const char* t : {"0", "0.0", "false", "False"}) {
        Variant b = StringToValue(QString::fromLatin1(t), 11);
        EXPECT_TRUE(b.isBoolean() && !b.toBool()) << t;
    }
}

TEST(ValueText, LiteralTextAndParseLiteralRoundTrip) {
    EXPECT_EQ(LiteralText(Variant()), QStringLiteral("EMPTY"));
    EXPECT_EQ(LiteralText(int16_t(3)), QStringLiteral("3"));
    EXPECT_EQ(LiteralText(-0.5), QStringLiteral("-0.5"));
    EXPECT_EQ(LiteralText(ostrel::DateSerial(2024, 3, 5)), QStringLiteral("#2024-03-05#"));
    EXPECT_EQ(LiteralText(QStringLiteral("a\"b")), QStringLiteral("\"a\"\"b\""));
    EXPECT_EQ(LiteralText(QString()), QStringLiteral("\"\""));
    EXPECT_EQ(LiteralText(true), QStringLiteral("True"));

    EXPECT_TRUE(ParseLiteral(u"EMPTY").isEmpty());
    EXPECT_TRUE(ParseLiteral(u"  ").isEmpty());
    EXPECT_EQ(ParseLiteral(u"empty").type(), VarType::Empty);  // exact case only, and no number
    Variant n = ParseLiteral(u" 12.5 ");
    EXPECT_EQ(n.type(), VarType::Currency);
    EXPECT_EQ(n.toCurrency().raw(), 125000);
    EXPECT_EQ(ParseLiteral(u"-0.00005").toCurrency().raw(), 0);
    EXPECT_EQ(ParseLiteral(u"1.5E+3").toCurrency().raw(), 15000000);
    EXPECT_EQ(ParseLiteral(u"99999999999999").toCurrency().raw(), 999999999999990000);
    EXPECT_EQ(errorNumber([] { ParseLiteral(u"1e300"); }), ostrel::err::Overflow);
    EXPECT_EQ(ParseLiteral(u"\"a\"\"b\"").toString(), QStringLiteral("a\"b"));
    EXPECT_EQ(ParseLiteral(u"\"a\"b\"").toString(), QStringLiteral("a\"b"));  // an undoubled quote stays
    EXPECT_EQ(ParseLiteral(u"\"\"\"\"").toString(), QStringLiteral("\""));
    EXPECT_EQ(ParseLiteral(u"\" x \"").toString(), QStringLiteral(" x "));
    EXPECT_EQ(errorNumber([] { ParseLiteral(u"\""); }), ostrel::err::InvalidArgument);
    EXPECT_EQ(ParseLiteral(u"#2024-03-05#").toDate(), ostrel::DateSerial(2024, 3, 5));
    EXPECT_TRUE(ParseLiteral(u"#0000-00-00#").toDate().isZero());
    EXPECT_EQ(ParseLiteral(u"#0000-00-00#").type(), VarType::Date);
    Variant notDate = ParseLiteral(u"#abc#");
    EXPECT_EQ(notDate.type(), VarType::Integer);
    EXPECT_EQ(notDate.toInteger(), 0);
    EXPECT_TRUE(ParseLiteral(u"abc").isEmpty());
    EXPECT_TRUE(ParseLiteral(u"True").isEmpty());

    // Every literal reads back as what was written (numbers as currency).
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        QString s;
        int len = static_cast<int>(rng() % 8);
        for (int k = 0; k < len; ++k) s += QStringLiteral("a\"# 가.-1")[static_cast<int>(rng() % 9)];
        EXPECT_EQ(ParseLiteral(LiteralText(s)).toString(), s) << s.toStdString();
        Currency c = Currency::fromRaw(static_cast<int64_t>(rng()) - (1LL << 31));
        EXPECT_EQ(ParseLiteral(LiteralText(c)).toCurrency(), c);
    }
}
