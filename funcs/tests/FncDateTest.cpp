#include "ostrel/RuntimeError.h"
#include "ostrel/fncDate.h"
#include "ostrel/fncFuncs.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <limits>
#include <memory>

using namespace ostrel;
using namespace Qt::StringLiterals;

namespace {
const fncDate fd;

Date at(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    // Before serial zero the day counts down while the time still counts up.
    double day = DateSerial(y, m, d).serial;
    double time = TimeSerial(hh, mm, ss);
    return Date(day < 0 ? day - time : day + time);
}

QString g(Date d) { return fd.DtoG(d); }
}  // namespace

TEST(FncDate, StandardTexts) {
    EXPECT_EQ(fd.DtoG(at(2024, 3, 5)), u"2024-03-05"_s);
    EXPECT_EQ(fd.DtoG(at(2024, 3, 5, 12, 30)), u"2024-03-05 12:30:00"_s);
    EXPECT_EQ(fd.DtoG(Date(0.5)), u"12:00:00"_s);
    EXPECT_EQ(fd.DtoG(Date()), u"0000-00-00"_s);
    EXPECT_EQ(fd.DtoG(at(1899, 12, 29)), u"1899-12-29"_s);
    EXPECT_EQ(fd.DtoG(at(100, 1, 1)), u"0100-01-01"_s);

    EXPECT_EQ(fd.DtoL(at(2024, 3, 5)), u"#2024-03-05#"_s);
    EXPECT_EQ(fd.DtoL(Date()), u"#0000-00-00#"_s);

    EXPECT_EQ(fd.DtoYYYYMMDD(at(2024, 3, 5)), u"20240305"_s);
    EXPECT_EQ(fd.DtoYYYYMMDD(Date()), u"00000000"_s);
}

TEST(FncDate, LiteralsReadBack) {
    for (Date d : {at(2024, 3, 5), at(2000, 2, 29), at(1999, 12, 31), at(1900, 1, 1), at(9999, 12, 31)})
        EXPECT_EQ(fd.LtoD(fd.DtoL(d)), d) << g(d).toStdString();
    EXPECT_EQ(fd.LtoD(fd.DtoL(at(2024, 3, 5, 12, 30))), at(2024, 3, 5));  // the time is not read
    // Two-digit years follow the date-building rule.
    EXPECT_EQ(fd.LtoD(u"#0029-03-05#"_s), at(2029, 3, 5));
    EXPECT_EQ(fd.LtoD(u"#0030-03-05#"_s), at(1930, 3, 5));
    EXPECT_EQ(fd.LtoD(u"#2024-13-01#"_s), at(2025, 1, 1));  // overflow carries
    EXPECT_EQ(fd.LtoD(u"#2024-03-00#"_s), at(2024, 2, 29));
    EXPECT_EQ(fd.LtoD(u"#2024-3-5#"_s), at(2024, 3, 0));    // reading stops at the first non-digit
    // The zero date's own literal reads back as no date.
    EXPECT_EQ(fd.LtoD(fd.DtoL(Date())), Date());
}

TEST(FncDate, GtoDReadsEveryForm) {
    const Date d = at(2024, 3, 5);
    EXPECT_EQ(fd.GtoD(u"2024.03.05"_s), d);
    EXPECT_EQ(fd.GtoD(u"2024-03-05"_s), d);
    EXPECT_EQ(fd.GtoD(u"2024/03/05"_s), d);
    EXPECT_EQ(fd.GtoD(u"2024-3-5"_s), d);
    EXPECT_EQ(fd.GtoD(u"#2024-03-05#"_s), d);
    EXPECT_EQ(fd.GtoD(u"  2024-03-05  "_s), d);
    EXPECT_EQ(fd.GtoD(u"2024-03-05 12:30:00"_s), at(2024, 3, 5, 12, 30));
    EXPECT_EQ(fd.GtoD(u"2024/03/05 09:05"_s), at(2024, 3, 5, 9, 5));
    EXPECT_EQ(fd.GtoD(u"12:00:00"_s), Date(0.5));
    EXPECT_EQ(fd.GtoD(u"29/3/5"_s), at(2029, 3, 5));
    EXPECT_EQ(fd.GtoD(u"30-03-05"_s), at(1930, 3, 5));
    EXPECT_EQ(fd.GtoD(u"2024.1.5"_s), at(2024, 1, 0));  // fixed columns: day from characters 9 and 10
    for (Date x : {at(2024, 3, 5, 12, 30), at(1999, 1, 31), Date(0.75)}) EXPECT_EQ(fd.GtoD(fd.DtoG(x)), x);
}

TEST(FncDate, GtoDGivesTheZeroDateForNoDate) {
    for (const QString& t : {u"0000-00-00"_s, u"0000-00-00 00:00:00"_s, QString(), u"    "_s, u"사과"_s,
                             u"2024-02-30"_s, u"2024-13-01"_s, u"abc.def"_s, u"#0000-00-00#"_s, u"#"_s,
                             u"9999.99.99"_s, u"#9999-99-99#"_s, u"0000.00.00"_s, u"25:00"_s})
        EXPECT_EQ(fd.GtoD(t), Date()) << t.toStdString();
}

TEST(FncDate, ShortDateAndTimeTexts) {
    EXPECT_EQ(fd.DtoC(Variant(at(2024, 3, 5))), u"24/03/05"_s);
    EXPECT_EQ(fd.DtoC(Variant(at(1999, 12, 31, 23))), u"99/12/31"_s);
    EXPECT_EQ(fd.DtoC(Variant(Date())), u"  /  /  "_s);
    EXPECT_EQ(fd.DtoC(Variant(int32_t(0))), u"  /  /  "_s);
    EXPECT_EQ(fd.DtoC(Variant(45356.0)), u"24/03/05"_s);  // a number is read as a serial
    EXPECT_EQ(fd.DtoC(Variant()), u"        "_s);
    EXPECT_EQ(fd.DtoC(Variant(u"abc"_s)), u"abc     "_s);
    EXPECT_EQ(fd.DtoC(Variant(u"2024-03-05"_s)), u"2024-03-"_s);  // text is only padded
    EXPECT_EQ(fd.DtoC(Variant(u"가나다라마"_s)), u"가나다라"_s);

    EXPECT_EQ(fd.TtoC(Variant(at(2024, 3, 5, 9, 5))), u"09:05:00"_s);
    EXPECT_EQ(fd.TtoC(Variant(at(2024, 3, 5))), u"00:00:00"_s);
    EXPECT_EQ(fd.TtoC(Variant(Date())), u"  :  :  "_s);
    EXPECT_EQ(fd.TtoC(Variant()), u"        "_s);
    EXPECT_THROW(fd.TtoC(Variant::null()), RuntimeError);
}

TEST(FncDate, KoreanLongDatesHaveFixedWidths) {
    EXPECT_EQ(fd.Dto년월일(at(2024, 3, 5)), u"2024년  3월  5일"_s);
    EXPECT_EQ(fd.Dto년월일(at(2024, 12, 25)), u"2024년 12월 25일"_s);
    EXPECT_EQ(fd.Dto년월일(Date()), u"    년   월   일"_s);
    EXPECT_EQ(fd.Dto년월일short(at(2024, 3, 5)), u"2024년 3월 5일"_s);
    EXPECT_EQ(fd.Dto년월일short(at(2024, 11, 30, 10)), u"2024년11월30일"_s);
    EXPECT_EQ(fd.Dto년월일short(Date()), u"    년  월  일"_s);
    // Zero and real dates take the same number of characters in both forms.
    EXPECT_EQ(fd.Dto년월일(Date()).size(), fd.Dto년월일(at(2024, 3, 5)).size());
    EXPECT_EQ(fd.Dto년월일short(Date()).size(), fd.Dto년월일short(at(2024, 3, 5)).size());
}

TEST(FncDate, MonthBoundaries) {
    EXPECT_EQ(fd.Choha(at(2024, 3, 17, 15)), at(2024, 3, 1));
    EXPECT_EQ(fd.Malil(at(2024, 2, 10)), at(2024, 2, 29));
    EXPECT_EQ(fd.Malil(at(2023, 2, 10)), at(2023, 2, 28));
    EXPECT_EQ(fd.Malil(at(1900, 2, 1)), at(1900, 2, 28));
    EXPECT_EQ(fd.Malil(at(2024, 12, 5, 6)), at(2024, 12, 31));  // carries into next year, no time
    EXPECT_EQ(fd.Malil(at(9999, 12, 1)), at(9999, 12, 31));
    EXPECT_TRUE(fd.IsMalil(at(2024, 2, 29)));
    EXPECT_FALSE(fd.IsMalil(at(2024, 2, 28)));
    EXPECT_TRUE(fd.IsMalil(at(2023, 2, 28, 23, 59, 59)));
    EXPECT_TRUE(fd.IsMalil(at(2024, 12, 31)));
    EXPECT_TRUE(fd.IsMalil(at(1899, 12, 31)));
}

TEST(FncDate, MondayOfTheWeek) {
    auto monday = [](Date d) { return fd.MondayDate(d).toDate(); };
    EXPECT_TRUE(fd.MondayDate(at(2024, 3, 10)).isDate());
    EXPECT_EQ(monday(at(2024, 3, 10)), at(2024, 3, 4));   // Sunday ends the week
    EXPECT_EQ(monday(at(2024, 3, 4)), at(2024, 3, 4));    // Monday is its own
    EXPECT_EQ(monday(at(2025, 1, 1)), at(2024, 12, 30));  // across the year
    EXPECT_EQ(monday(at(2024, 3, 7, 18, 45)), at(2024, 3, 4, 18, 45));  // the time stays
    EXPECT_EQ(monday(at(1899, 12, 31, 6)), at(1899, 12, 25, 6));        // across serial zero
    EXPECT_EQ(monday(at(1899, 12, 20, 6)), at(1899, 12, 18, 6));
}

TEST(FncFuncs, NullAndEmptyConversions) {
    const fncFuncs ff;
    EXPECT_TRUE(ff.NullToEmpty(Variant::null()).isEmpty());
    EXPECT_TRUE(ff.N2E(Variant::null()).isEmpty());
    EXPECT_TRUE(ff.NullToEmpty(Variant(int32_t(0))).identical(Variant(int32_t(0))));
    EXPECT_TRUE(ff.EmptyToNull(Variant()).isNull());
    EXPECT_TRUE(ff.EmptyToNull(Variant(QString())).isString());  // "" is not empty
    EXPECT_TRUE(ff.EmptyToNull(Variant(0.0)).identical(Variant(0.0)));
    EXPECT_TRUE(ff.NullToZerolength(Variant::null()).identical(Variant(QString())));
    EXPECT_TRUE(ff.NullToZerolength(Variant()).isEmpty());
    EXPECT_TRUE(ff.ZerolengthToNull(QString()).isNull());
    EXPECT_TRUE(ff.ZerolengthToNull(u" "_s).identical(Variant(u" "_s)));
    EXPECT_TRUE(ff.ZerolengthToEmpty(QString()).isEmpty());
}

TEST(FncFuncs, DelayRunsPendingEventsOnceAndWaits) {
    const fncFuncs ff;
    char name[] = "ostrel_tests";
    char* argv[] = {name, nullptr};
    int argc = 1;
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
    int ran = 0;
    QTimer::singleShot(0, [&] { ++ran; });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(ff.delay(0.05).isEmpty());
    EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.05);
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(ff.delay(-1).isEmpty());
    EXPECT_TRUE(ff.delay(0).isEmpty());
    EXPECT_THROW(ff.delay(std::numeric_limits<double>::infinity()), RuntimeError);
}
