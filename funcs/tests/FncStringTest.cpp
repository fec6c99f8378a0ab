#include "ostrel/Cp949.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/fncString.h"

#include "ErrorNumber.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <functional>

using namespace ostrel;
using vendra::test::errorOf;
using namespace Qt::StringLiterals;

namespace {
const fncString fs;


QString emoji() { return QString::fromUtf8("\xF0\x9F\x98\x80"); }

QStringList words(const Variant& v) {
    QStringList out;
    const VArray& a = v.toArray();
    EXPECT_EQ(a.lower, 0);
    for (const Variant& w : a.items) {
        EXPECT_TRUE(w.isString());
        out << w.toString();
    }
    return out;
}
}  // namespace

TEST(FncString, ByteLengthCountsHangulTwiceAndUnmappableOnce) {
    EXPECT_EQ(fs.lenDB(u"가A"_s), 3);
    EXPECT_EQ(fs.lenDB(QString()), 0);
    EXPECT_EQ(fs.lenDB(u"A"_s + emoji() + u"B"_s), 3);  // the pair is one "?"
    EXPECT_EQ(fs.lenDB(QString(32767, QLatin1Char('a'))), 32767);
    EXPECT_EQ(errorOf([] { fs.lenDB(QString(32768, QLatin1Char('a'))); }), err::Overflow);
    EXPECT_EQ(errorOf([] { fs.lenDB(QString(16384, QChar(0xAC00))); }), err::Overflow);
}

TEST(FncString, ByteCuttingDropsSplitDoubleByteCharacters) {
    EXPECT_EQ(fs.leftDB(u"가나다"_s, 3), u"가"_s);
    EXPECT_EQ(fs.leftDB(u"A가B"_s, 2), u"A"_s);
    EXPECT_EQ(fs.leftDB(u"AB  "_s, 4), u"AB"_s);
    EXPECT_EQ(fs.leftDB(u"A B  C"_s, 5), u"A B"_s);  // only trailing spaces go
    EXPECT_EQ(fs.leftDB(u"가 "_s, 100), u"가"_s);

    EXPECT_EQ(fs.rightDB(u"가나"_s, 3), u"나"_s);
    EXPECT_EQ(fs.rightDB(u"가나"_s, 1), QString());
    EXPECT_EQ(fs.rightDB(u"A  "_s, 2), u"  "_s);  // trailing spaces kept
    EXPECT_EQ(fs.rightDB(u"AB가"_s, 3), u"B가"_s);

    // Bytes 2..5 of 가나다: the first and the last syllable are each cut in half.
    EXPECT_EQ(fs.midDB(u"가나다"_s, 2, 4), u"나"_s);
    EXPECT_EQ(fs.midDB(u"가나다"_s, 3, 4), u"나다"_s);
    EXPECT_EQ(fs.midDB(u"ABC"_s, 3, 10), u"C"_s);
    EXPECT_EQ(fs.midDB(u"ABC"_s, 5, 1), QString());
    EXPECT_EQ(fs.midDB(u"AB  CD"_s, 1, 4), u"AB"_s);

    // 똠 is 8C 63: its trail byte alone must not come out as the letter c.
    EXPECT_EQ(fs.rightDB(u"똠"_s, 1), QString());
    EXPECT_EQ(fs.midDB(u"A똠B"_s, 3, 2), u"B"_s);
}

TEST(FncString, CharactersOutsideTheCodePageSurviveCutting) {
    QString s = u"A"_s + emoji() + u"가"_s;  // 1 + 1 + 2 bytes
    EXPECT_EQ(fs.leftDB(s, 2), u"A"_s + emoji());
    EXPECT_EQ(fs.rightDB(s, 3), emoji() + u"가"_s);
    EXPECT_EQ(fs.midDB(s, 2, 1), emoji());
    EXPECT_EQ(fs.padr(s, 3), u"A"_s + emoji() + u" "_s);
}

TEST(FncString, BadCountsRaiseErrors) {
    const QString s = u"가나"_s;
    EXPECT_EQ(errorOf([&] { fs.leftDB(s, -1); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { fs.midDB(s, 0, 1); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { fs.midDB(s, 1, -1); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { fs.padr(s, -1); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { fs.padl(s, -5); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { fs.leftDB(s, 32768); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { fs.midDB(s, 40000, 1); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { fs.padl(s, 70000); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { fs.midDB(s, 1, 32767); }), 0);
}

TEST(FncString, PaddingKeepsTheExactByteWidth) {
    EXPECT_EQ(fs.padr(u"가"_s, 4), u"가  "_s);
    EXPECT_EQ(fs.padl(u"12"_s, 5), u"   12"_s);
    EXPECT_EQ(fs.padr(u"ABCDE"_s, 3), u"ABC"_s);
    EXPECT_EQ(fs.padl(u"ABCDE"_s, 3), u"CDE"_s);
    EXPECT_EQ(fs.padr(u"ABC"_s, 0), QString());
    // A syllable cut by the limit leaves a space in its place.
    EXPECT_EQ(fs.padr(u"A가"_s, 2), u"A "_s);
    EXPECT_EQ(fs.padl(u"가A"_s, 2), u" A"_s);
    EXPECT_EQ(fs.padr(u"가나다"_s, 5), u"가나 "_s);
    EXPECT_EQ(fs.padl(u"가나다"_s, 5), u" 나다"_s);

    // Any text at any width: the fuzz target fuzz/targets/fixed_width.cpp.
    // Long texts are cut, not refused.
    EXPECT_EQ(fs.padr(QString(40000, QChar(0xAC00)), 3), u"가 "_s);
    EXPECT_EQ(fs.padl(QString(40000, QLatin1Char('z')), 2), u"zz"_s);
}

TEST(FncString, QuotingDoublesInnerQuotes) {
    EXPECT_EQ(fs.quot(u"a\"b"_s), u"\"a\"\"b\""_s);
    EXPECT_EQ(fs.quot(QString()), u"\"\""_s);
    EXPECT_EQ(fs.quot(u"\"\""_s), u"\"\"\"\"\"\""_s);

    EXPECT_EQ(fs.SliceQuot(u"\"x\""_s), u"x"_s);
    EXPECT_EQ(fs.SliceQuot(u"ab"_s), u"ab"_s);
    EXPECT_EQ(fs.SliceQuot(u"\"\""_s), QString());
    EXPECT_EQ(fs.SliceQuot(u"\"ab"_s), u"\"ab"_s);
    EXPECT_EQ(fs.SliceQuot(fs.quot(u"a\"b"_s)), u"a\"\"b"_s);  // inner pairs stay doubled
    EXPECT_EQ(errorOf([] { fs.SliceQuot(u"\""_s); }), err::InvalidArgument);
}

TEST(FncString, SplitBySpaceCollapsesRunsOfSpacesOnly) {
    EXPECT_EQ(words(fs.SplitBySpace(u"  a   b c "_s)), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    EXPECT_EQ(words(fs.SplitBySpace(u"a\tb c"_s)), (QStringList{u"a\tb"_s, u"c"_s}));
    EXPECT_TRUE(words(fs.SplitBySpace(QString())).isEmpty());
    EXPECT_TRUE(words(fs.SplitBySpace(u"    "_s)).isEmpty());
}

TEST(FncString, SyllablesMustAppearInOrder) {
    EXPECT_TRUE(fs.SylableInclude(u"농산물시장"_s, u"농시"_s));
    EXPECT_FALSE(fs.SylableInclude(u"농산물시장"_s, u"시농"_s));
    EXPECT_TRUE(fs.SylableInclude(u"농산물시장"_s, QString()));
    EXPECT_FALSE(fs.SylableInclude(QString(), u"농"_s));
    EXPECT_FALSE(fs.SylableInclude(u"가나"_s, u"가가"_s));    // the second must follow the first
    EXPECT_FALSE(fs.SylableInclude(u"가나다"_s, u"라가"_s));  // a miss stays a miss
    EXPECT_FALSE(fs.SylableInclude(u"가나"_s, u"가 나"_s));   // the space is a token of its own
}

TEST(FncString, LettersAndNumbersAreSearchedAsWholeTokens) {
    // A run of Latin letters is one token, not letters one by one.
    EXPECT_TRUE(fs.SylableInclude(u"apple사과"_s, u"pl사"_s));
    EXPECT_FALSE(fs.SylableInclude(u"aXb"_s, u"ab"_s));
    // A number grows for as long as it still reads as one: 12.5 is one token.
    EXPECT_TRUE(fs.SylableInclude(u"사과12.5kg"_s, u"사12.5"_s));
    EXPECT_FALSE(fs.SylableInclude(u"1x2.5"_s, u"12.5"_s));
    EXPECT_FALSE(fs.SylableInclude(u"12.5"_s, u"125"_s));
    EXPECT_TRUE(fs.SylableInclude(u"3kg 5kg"_s, u"3kg5"_s));
    EXPECT_FALSE(fs.SylableInclude(u"5kg 3kg"_s, u"3kg5"_s));
    EXPECT_TRUE(fs.SylableInclude(u"1.2.3"_s, u"1.2.3"_s));  // 1.2 then . then 3
}

TEST(FncString, ComparisonsAndRemoval) {
    EXPECT_TRUE(fs.IsEqualIgnoreCase(u"abc"_s, u"ABC"_s));
    EXPECT_TRUE(fs.IsEqualIgnoreCase(u"사과Box"_s, u"사과box"_s));
    EXPECT_TRUE(fs.IsEqualIgnoreCase(u"ＡＢＣ"_s, u"abc"_s));  // full-width letters too
    EXPECT_FALSE(fs.IsEqualIgnoreCase(u"abc"_s, u"abd"_s));
    EXPECT_FALSE(fs.IsEqualIgnoreCase(u"a"_s, u"á"_s));
    EXPECT_FALSE(fs.IsEqualIgnoreCase(u"a"_s, QString()));

    for (const char16_t* c : {u"a", u"m", u"z", u"A", u"Z"}) EXPECT_TRUE(fs.IsAlphabeticChr(QString::fromUtf16(c)));
    for (const char16_t* c : {u"", u"1", u"[", u"`", u"{", u"@", u"가", u" "})
        EXPECT_FALSE(fs.IsAlphabeticChr(QString::fromUtf16(c))) << QString::fromUtf16(c).toStdString();

    EXPECT_TRUE(fs.IsInStr(u"농산물"_s, u"산"_s));
    EXPECT_FALSE(fs.IsInStr(u"ABC"_s, u"b"_s));

    EXPECT_EQ(fs.RemoveStr(u"a-b-c"_s, u"-"_s), u"abc"_s);
    EXPECT_EQ(fs.RemoveStr(u"aaa"_s, u"aa"_s), u"a"_s);
    EXPECT_EQ(fs.RemoveStr(u"AbA"_s, u"a"_s), u"AbA"_s);
    EXPECT_EQ(fs.RemoveStr(u"abc"_s, QString()), u"abc"_s);
}
