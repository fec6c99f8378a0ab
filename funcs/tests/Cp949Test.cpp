#include "ostrel/Cp949.h"

#include <gtest/gtest.h>

using namespace ostrel;

TEST(Cp949, HangulTakesTwoBytesAsciiOne) {
    EXPECT_EQ(cp949::byteLength(u"가A"), 3);
    EXPECT_EQ(cp949::encode(u"가"), QByteArray("\xB0\xA1"));
    EXPECT_EQ(cp949::encode(u"똠"), QByteArray("\x8C\x63"));  // unified-code extension
    EXPECT_EQ(cp949::decode(QByteArray("\xB0\xA1" "A")), u"가A");
}

TEST(Cp949, UnmappableBecomesQuestionMark) {
    QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(cp949::encode(QStringLiteral("x") + emoji + QStringLiteral("y")), QByteArray("x?y"));
    EXPECT_EQ(cp949::byteLength(emoji), 1);
    EXPECT_EQ(cp949::encode(QString(QChar(0x0E01))), QByteArray("?"));  // Thai
    EXPECT_EQ(cp949::decode(QByteArray("\xB0")), u"?");               // lone lead byte
    EXPECT_EQ(cp949::decode(QByteArray("\xFF" "a")), u"?a");
}

TEST(Cp949, RoundTripsEveryHangulSyllable) {
    QString all;
    for (char16_t c = 0xAC00; c <= 0xD7A3; ++c) all.append(QChar(c));
    QByteArray bytes = cp949::encode(all);
    EXPECT_EQ(bytes.size(), all.size() * 2);
    EXPECT_EQ(cp949::decode(bytes), all);
    EXPECT_EQ(cp949::byteLength(all), bytes.size());
}
