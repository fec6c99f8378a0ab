// Form pieces, percent-encoding both ways, value texts and the type-code reader. Round trips over
// any text are the fuzz targets' (fuzz/targets/url.cpp, literal.cpp).
#include "ErrorNumber.h"

#include "corvane/UrlEncoding.h"
#include "corvane/ValueText.h"
#include "corvane/fncGetAndPost.h"

using namespace corvane;
using ostrel::Currency;
using ostrel::Variant;
using ostrel::VarType;
using vendra::test::errorOf;

TEST(UrlEncode, CodePage949BytesWithOnlyLettersAndDigitsPlain) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"a b", "a%20b"}, {u"", ""}, {u"가AZaz09", "%B0%A1AZaz09"},
        {u"-._*~+/\t", "%2D%2E%5F%2A%7E%2B%2F%09"}, {u"\u00e9\U0001F600", "%3F%3F"}};  // the last: not in the code page
    for (auto [text, encoded] : cases) EXPECT_EQ(URLEncode(text), QLatin1String(encoded)) << encoded;
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
    EXPECT_TRUE(HasField(f, u"c") && !HasField(f, u"d"));
}

TEST(ParaForm, StringsAreEncodedOtherValuesWrittenAsText) {
    fncGetAndPost web;
    const std::pair<Variant, const char*> cases[] = {
        {true, "X=1"}, {false, "X=0"}, {Variant(), "X="}, {Variant::null(), "X="},
        {QStringLiteral("2024030512304599"), "X=2024030512304599"}, {QStringLiteral("2024-03-05"), "X=2024%2D03%2D05"},
        {ostrel::DateSerial(2024, 3, 5), "X=2024-03-05"},  // no string: unencoded
        {Currency::fromRaw(-12500), "X=-1.25"}};
    for (const auto& [value, piece] : cases) EXPECT_EQ(web.ParaForm(QStringLiteral("X"), value), QLatin1String(piece));
    EXPECT_EQ(web.ParaForm(QStringLiteral("RecCount"), int16_t(3)), QStringLiteral("RecCount=3"));
    EXPECT_EQ(web.ParaForm(QStringLiteral("이름"), QStringLiteral("a")), QStringLiteral("이름=a"));
    EXPECT_EQ(web.IndexedParaForm(QStringLiteral("Product"), 0, QStringLiteral("배")), QStringLiteral("Product_0=%B9%E8"));
    EXPECT_EQ(web.IndexedParaForm(QStringLiteral("Q"), -2, 1.5), QStringLiteral("Q_-2=1.5"));
}

TEST(ValueText, ValueToStringGivesPlainTexts) {
    const std::pair<Variant, QString> cases[] = {
        {Variant::null(), QString()}, {int32_t(-40000), QStringLiteral("-40000")}, {0.1 + 0.2, QStringLiteral("0.3")},
        {2.5f, QStringLiteral("2.5")}, {Currency::fromRaw(1234500), QStringLiteral("123.45")},
        {ostrel::Date(), QStringLiteral("0000-00-00")}, {ostrel::Date(0.5), QStringLiteral("12:00:00")},
        {ostrel::Date(ostrel::DateSerial(2024, 3, 5).serial + 0.5), QStringLiteral("2024-03-05 12:00:00")},
        {QStringLiteral(" 가 "), QStringLiteral(" 가 ")}};
    for (const auto& [value, text] : cases) EXPECT_EQ(ValueToString(value), text);
}

TEST(ValueText, StringToValueByTypeCode) {
    for (int code : {2, 3, 4, 5, 6, 7, 11}) EXPECT_TRUE(StringToValue(QString(), code).isEmpty()) << code;
    for (int code : {2, 3, 6}) EXPECT_TRUE(StringToValue(QStringLiteral("12abc"), code).isEmpty()) << code;
    const std::pair<int, VarType> kinds[] = {{2, VarType::Integer}, {3, VarType::Long}, {4, VarType::Single},
                                             {5, VarType::Double}, {6, VarType::Currency}};
    for (auto [code, kind] : kinds) {
        Variant v = StringToValue(QStringLiteral(" -12 "), code);
        EXPECT_TRUE(v.type() == kind && v.toDouble() == -12.0) << code;
    }
    EXPECT_EQ(StringToValue(QStringLiteral("0.00005"), 6).toCurrency().raw(), 0);  // half to even
    EXPECT_EQ(StringToValue(QStringLiteral("0.00015"), 6).toCurrency().raw(), 2);
    const std::pair<const char*, int> overflows[] = {{"32768", 2}, {"3000000000", 3}, {"1e39", 4}, {"1e300", 6}};
    for (auto [text, code] : overflows)
        EXPECT_EQ(errorOf([&] { StringToValue(QLatin1String(text), code); }), ostrel::err::Overflow) << text;

    EXPECT_EQ(StringToValue(QStringLiteral("2024.03.05"), 7).toDate(), ostrel::DateSerial(2024, 3, 5));
    Variant bad = StringToValue(QStringLiteral("soon"), 7);
    EXPECT_TRUE(bad.isDate() && bad.toDate().isZero());
    EXPECT_EQ(StringToValue(QString(), 8).type(), VarType::String);
    EXPECT_EQ(StringToValue(QStringLiteral(" x "), 99).toString(), QStringLiteral(" x "));

    EXPECT_TRUE(StringToValue(QStringLiteral("yes"), 11).isEmpty());
    for (const char* t : {"1", "-1", "2.5", "true", "tRuE"}) EXPECT_TRUE(StringToValue(QLatin1String(t), 11).toBool()) << t;
    for (const char* t : {"0", "0.0", "False"}) {
        Variant b = StringToValue(QLatin1String(t), 11);
        EXPECT_TRUE(b.isBoolean() && !b.toBool()) << t;
    }
}

TEST(ValueText, LiteralsReadBackAsWritten) {
    const std::pair<Variant, const char*> written[] = {
        {Variant(), "EMPTY"}, {-0.5, "-0.5"}, {ostrel::DateSerial(2024, 3, 5), "#2024-03-05#"},
        {QStringLiteral("a\"b"), "\"a\"\"b\""}, {true, "True"}};
    for (const auto& [value, text] : written) EXPECT_EQ(LiteralText(value), QLatin1String(text));

    EXPECT_TRUE(ParseLiteral(u" EMPTY ").isEmpty());
    EXPECT_TRUE(ParseLiteral(u"empty").isEmpty());  // no keyword in another case, and no number
    EXPECT_TRUE(ParseLiteral(u"True").isEmpty());
    Variant n = ParseLiteral(u" 12.5 ");
    EXPECT_TRUE(n.type() == VarType::Currency && n.toCurrency().raw() == 125000);
    EXPECT_EQ(ParseLiteral(u"-0.00005").toCurrency().raw(), 0);
    EXPECT_EQ(ParseLiteral(u"1.5E+3").toCurrency().raw(), 15000000);
    EXPECT_EQ(ParseLiteral(u"99999999999999").toCurrency().raw(), 999999999999990000);
    EXPECT_EQ(errorOf([] { ParseLiteral(u"1e300"); }), ostrel::err::Overflow);
    EXPECT_EQ(ParseLiteral(u"\"a\"\"b\"").toString(), QStringLiteral("a\"b"));
    EXPECT_EQ(ParseLiteral(u"\"a\"b\"").toString(), QStringLiteral("a\"b"));  // an undoubled quote stays
    EXPECT_EQ(ParseLiteral(u"\" x \"").toString(), QStringLiteral(" x "));
    EXPECT_EQ(errorOf([] { ParseLiteral(u"\""); }), ostrel::err::InvalidArgument);
    Variant zero = ParseLiteral(u"#0000-00-00#");
    EXPECT_TRUE(zero.isDate() && zero.toDate().isZero());
    Variant notDate = ParseLiteral(u"#abc#");
    EXPECT_TRUE(notDate.type() == VarType::Integer && notDate.toInteger() == 0);
}
