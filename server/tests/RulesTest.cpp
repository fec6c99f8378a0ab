// The server's own rules: request field checks, password hashes and the price list reader. (The
// sessions and the login slow-down are tested with the store, on both engines.)
#include "Password.h"
#include "PriceCsv.h"
#include "ServerRig.h"
#include "Wire.h"

#include <ostrel/Cp949.h>

#include <QStringList>

#include <gtest/gtest.h>

using namespace vendra::server;
using ostrel::Currency;
using vendra::server::test::cur;

namespace {

TEST(WireTest, DatesAreCalendarDaysInYearMonthDayForm) {
    for (auto [text, date] : {std::pair{u"2024-03-05", "2024-03-05"}, std::pair{u"2024/3/5", "2024-03-05"},
                              std::pair{u"2024-02-29", "2024-02-29"}, std::pair{u"2024-03-05 10:20:30", "2024-03-05"}})
        EXPECT_EQ(NormaliseDate(text).value_or(""), QString::fromLatin1(date));
    for (const char16_t* bad : {u"2023-02-29", u"2024-02-30", u"2024-13-01", u"2024-00-10", u"2024-01-00", u"24-03-05",
                                u"2024-03", u"2024-03-05-01", u"2024-03/05", u"", u" 2024-03-05", u"2024-03-05 x",
                                u"２０２４-03-05", u"0999-01-01", u"2024-003-05"})
        EXPECT_FALSE(NormaliseDate(bad)) << QString::fromUtf16(bad).toStdString();
}

TEST(WireTest, AmountsCountsAndStorableTexts) {
    EXPECT_EQ(ParseAmount(u"1.5").value_or(Currency()), cur(1.5));
    EXPECT_EQ(ParseAmount(u" -2 ").value_or(Currency()), cur(-2));
    EXPECT_EQ(ParseAmount(u"1e3").value_or(Currency()), cur(1000));
    for (const char16_t* bad : {u"", u"abc", u"1,000", u"1.2.3", u"1e400", u"9e18", u"nan", u"inf"})
        EXPECT_FALSE(ParseAmount(bad)) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(ParseCount(u"0", 10).value_or(-1), 0);
    EXPECT_EQ(ParseCount(u"10", 10).value_or(-1), 10);
    for (const char16_t* bad : {u"11", u"-1", u"+1", u"1.0", u"", u"x", u"99999999999"})
        EXPECT_FALSE(ParseCount(bad, 10));
    EXPECT_TRUE(StorableText(u"a < b > c & \"d\" <TD>"));
    EXPECT_FALSE(StorableText(u"a</TD>"));
    EXPECT_FALSE(StorableText(QString(QChar(u'\0'))));
}

TEST(WireTest, FormsDecodeCodePage949AndRefuseBytesThatAreNoCharacter) {
    auto f = DecodeForm("?a=%B0%A1&b=%3F%3f?&c=x+y&d");
    ASSERT_TRUE(f);
    ASSERT_EQ(f->size(), 4u);
    EXPECT_EQ((*f)[0].second, QStringLiteral("가"));
    EXPECT_EQ((*f)[1].second, QStringLiteral("???"));
    EXPECT_EQ((*f)[2].second, QStringLiteral("x y"));
    EXPECT_EQ((*f)[3].first, QStringLiteral("d"));
    for (const char* bad : {"a=%FF", "a=%B0", "a=%B0%3F", "a=%80%80", "%C9=1", "a=\xB0"})
        EXPECT_FALSE(DecodeForm(bad)) << bad;
    // Every Hangul syllable of the code page survives.
    QString all;
    for (char16_t ch = 0xAC00; ch <= 0xD7A3; ++ch)
        if (ostrel::cp949::byteLength(QString(QChar(ch))) == 2) all += QChar(ch);
    QByteArray encoded = "t=";
    for (char b : ostrel::cp949::encode(all)) encoded += "%" + QByteArray::number(static_cast<unsigned char>(b), 16);
    auto g = DecodeForm(encoded);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->at(0).second, all);
}

TEST(PasswordTest, HashesAreSaltedAndOnlyOursVerify) {
    const QString h1 = HashPassword(QStringLiteral("비밀 1"), HashStrength::Minimal);
    const QString h2 = HashPassword(QStringLiteral("비밀 1"), HashStrength::Minimal);
    EXPECT_NE(h1, h2);
    EXPECT_TRUE(VerifyPassword(h1, QStringLiteral("비밀 1")) && VerifyPassword(h2, QStringLiteral("비밀 1")));
    for (auto [hash, password] : {std::pair{h1, QString()}, std::pair{QString(), QString()},
                                  std::pair{QStringLiteral("plain"), QStringLiteral("plain")}})
        EXPECT_FALSE(VerifyPassword(hash, password)) << hash.toStdString();
}

TEST(PriceCsvTest, ReadsUtf8AndCodePage949WithHeaderAndQuotes) {
    const QString text = QStringLiteral(
        "품명,단위,등급,단가,부가세\r\n"
        "사과,박스,A,45000,\r\n"
        "\"김치, 포기\",10kg,A, 42000.5 ,+\r\n"
        "\r\n"
        "# a comment\n"
        "수박,,B,19000,/\n");
    for (const QByteArray& bytes : {("\xEF\xBB\xBF" + text.toUtf8()), ostrel::cp949::encode(text)}) {
        QStringList rows;
        for (const PriceRow& r : ParsePriceCsv(bytes))
            rows << QStringList{r.name, r.unit, r.grade, r.unitPrice.toString(), r.vat}.join('|');
        EXPECT_EQ(rows, (QStringList{"사과|박스|A|45000|", "김치, 포기|10kg|A|42000.5|+", "수박||B|19000|/"}));
    }
}

TEST(PriceCsvTest, RefusesTheWholeFileOnABadLine) {
    for (const char* bad : {"h,h,h,h,h\na,b,A,x,\n", "a,b,A,1,\nc,d,A,zz,\n", "a,b,A,-1,\n", ",b,A,1,\n", "a,b,,1,\n",
                            "a,b,*,1,\n", "a,b_c,A,1,\n", "a,b,A,1,,extra\n", "a,</TD>,A,1,\n", "\xFF\xFE,b,A,1,\n"}) {
        EXPECT_THROW(ParsePriceCsv(QByteArray(bad)), std::runtime_error) << bad;
    }
}

}  // namespace
