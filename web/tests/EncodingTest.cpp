// Form pieces, percent-encoding both ways, value texts and the type-code reader. Round trips over
// any text are the fuzz targets' (fuzz/targets/url.cpp, literal.cpp).
#include "ErrorNumber.h"

#include "corvane/UrlEncoding.h"
#include "corvane/ValueText.h"
#include "corvane/fncGetAndPost.h"

using namespace corvane;
using ostrel::Currency;
using ostrel::Variant;
using vendra::test::errorOf;

TEST(UrlEncode, CodePage949BytesWithOnlyLettersAndDigitsPlainAndFormsBothWays) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"a b", "a%20b"}, {u"", ""}, {u"가AZaz09", "%B0%A1AZaz09"},
        {u"-._*~+/\t", "%2D%2E%5F%2A%7E%2B%2F%09"}, {u"\u00e9\U0001F600", "%3F%3F"}};  // the last: not in the code page
    for (auto [text, encoded] : cases) EXPECT_EQ(URLEncode(text), QLatin1String(encoded)) << encoded;
    EXPECT_EQ(URLDecode("a+b%20c%b0%a1") + '|' + URLDecode("100%") + '|' + URLDecode("%4%zz%41"),  // stray % stay
              QStringLiteral("a b c가|100%|%4%zzA"));
    FormFields f = ParseForm("?a=1&&b=&c&Name=%B0%A1+%B3%AA&a=2&eq=x%3Dy=z");  // order, repeats, empty values kept
    ASSERT_EQ(f.size(), 6u);
    const FormFields some = {f[1], f[2], f[4]};
    EXPECT_EQ(some, (FormFields{{QStringLiteral("b"), QString()}, {QStringLiteral("c"), QString()},
                                {QStringLiteral("a"), QStringLiteral("2")}}));
    const std::pair<const char16_t*, const char16_t*> values[] = {
        {u"Name", u"가 나"}, {u"a", u"1"}, {u"eq", u"x=y=z"}, {u"A", u"none"}};
    for (auto [name, value] : values) EXPECT_EQ(FormValue(f, name, QStringLiteral("none")), QStringView(value));
    EXPECT_TRUE(HasField(f, u"c") && !HasField(f, u"d"));

    fncGetAndPost web;  // form pieces: strings are encoded, other values written as text
    const std::pair<Variant, const char*> pieces[] = {
        {true, "X=1"}, {false, "X=0"}, {Variant(), "X="}, {Variant::null(), "X="}, {int16_t(3), "X=3"},
        {QStringLiteral("2024030512304599"), "X=2024030512304599"}, {QStringLiteral("2024-03-05"), "X=2024%2D03%2D05"},
        {ostrel::DateSerial(2024, 3, 5), "X=2024-03-05"},  // no string: unencoded
        {Currency::fromRaw(-12500), "X=-1.25"}};
    for (const auto& [value, piece] : pieces) EXPECT_EQ(web.ParaForm(QStringLiteral("X"), value), QLatin1String(piece));
    EXPECT_EQ(web.ParaForm(QStringLiteral("이름"), QStringLiteral("a")), QStringLiteral("이름=a"));
    EXPECT_EQ(web.IndexedParaForm(QStringLiteral("Product"), 0, QStringLiteral("배")) + '&'
                  + web.IndexedParaForm(QStringLiteral("Q"), -2, 1.5), QStringLiteral("Product_0=%B9%E8&Q_-2=1.5"));
}

TEST(ValueText, TextsOfValuesByTypeCodeAndLiteralsReadBackAsWritten) {
    const std::pair<Variant, QString> cases[] = {
        {Variant::null(), QString()}, {int32_t(-40000), QStringLiteral("-40000")}, {0.1 + 0.2, QStringLiteral("0.3")},
        {2.5f, QStringLiteral("2.5")}, {Currency::fromRaw(1234500), QStringLiteral("123.45")},
        {ostrel::Date(), QStringLiteral("0000-00-00")}, {ostrel::Date(0.5), QStringLiteral("12:00:00")},
        {ostrel::Date(ostrel::DateSerial(2024, 3, 5).serial + 0.5), QStringLiteral("2024-03-05 12:00:00")},
        {QStringLiteral(" 가 "), QStringLiteral(" 가 ")}};
    for (const auto& [value, text] : cases) EXPECT_EQ(ValueToString(value), text);

    for (int code : {2, 3, 4, 5, 6, 7, 11}) EXPECT_TRUE(StringToValue(QString(), code).isEmpty()) << code;
    for (int code : {2, 3, 6}) EXPECT_TRUE(StringToValue(QStringLiteral("12abc"), code).isEmpty()) << code;
    const std::tuple<const char*, int, Variant> read[] = {
        {" -12 ", 2, int16_t(-12)}, {" -12 ", 3, int32_t(-12)}, {" -12 ", 4, -12.0f}, {" -12 ", 5, -12.0},
        {" -12 ", 6, Currency::fromInt(-12)}, {"0.00005", 6, Currency::fromRaw(0)},  // half to even
        {"0.00015", 6, Currency::fromRaw(2)}, {"2024.03.05", 7, ostrel::DateSerial(2024, 3, 5)},
        {"soon", 7, ostrel::Date()}, {"", 8, QString()}, {" x ", 99, QStringLiteral(" x ")}, {"yes", 11, Variant()},
        {"1", 11, true}, {"-1", 11, true}, {"2.5", 11, true}, {"true", 11, true}, {"tRuE", 11, true},
        {"0", 11, false}, {"0.0", 11, false}, {"False", 11, false}};
    for (const auto& [text, code, value] : read)
        EXPECT_TRUE(StringToValue(QLatin1String(text), code).identical(value)) << text << " as " << code;
    const std::pair<const char*, int> overflows[] = {{"32768", 2}, {"3000000000", 3}, {"1e39", 4}, {"1e300", 6}};
    for (auto [text, code] : overflows)
        EXPECT_EQ(errorOf([&] { StringToValue(QLatin1String(text), code); }), ostrel::err::Overflow) << text;

    const std::pair<Variant, const char*> written[] = {
        {Variant(), "EMPTY"}, {-0.5, "-0.5"}, {ostrel::DateSerial(2024, 3, 5), "#2024-03-05#"},
        {QStringLiteral("a\"b"), "\"a\"\"b\""}, {true, "True"}};
    for (const auto& [value, text] : written) EXPECT_EQ(LiteralText(value), QLatin1String(text));
    // No keyword in another case and no number; an undoubled quote stays.
    const std::pair<const char16_t*, Variant> literals[] = {
        {u" EMPTY ", Variant()}, {u"empty", Variant()}, {u"True", Variant()}, {u" 12.5 ", Currency::fromRaw(125000)},
        {u"-0.00005", Currency::fromRaw(0)}, {u"1.5E+3", Currency::fromRaw(15000000)},
        {u"99999999999999", Currency::fromRaw(999999999999990000)}, {u"\"a\"\"b\"", QStringLiteral("a\"b")},
        {u"\"a\"b\"", QStringLiteral("a\"b")}, {u"\" x \"", QStringLiteral(" x ")}, {u"#0000-00-00#", ostrel::Date()},
        {u"#abc#", int16_t(0)}};
    for (const auto& [text, value] : literals)
        EXPECT_TRUE(ParseLiteral(text).identical(value)) << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(errorOf([] { ParseLiteral(u"1e300"); }), ostrel::err::Overflow);
    EXPECT_EQ(errorOf([] { ParseLiteral(u"\""); }), ostrel::err::InvalidArgument);
}
