#include "ostrel/Currency.h"
#include "ostrel/DateTime.h"
#include "ostrel/RuntimeError.h"

#include <gtest/gtest.h>

using namespace ostrel;

TEST(Currency, FromDoubleRoundsHalfToEven) {
    EXPECT_EQ(Currency::fromDouble(0.00005).raw(), 0);
    EXPECT_EQ(Currency::fromDouble(0.00035).raw(), 4);
    EXPECT_EQ(Currency::fromDouble(0.00025).raw(), 2);
    EXPECT_EQ(Currency::fromDouble(-2.00025).raw(), -20002);
    EXPECT_EQ(Currency::fromDouble(1234.5678).raw(), 12345678);
    EXPECT_THROW(Currency::fromDouble(1e15), RuntimeError);
}

TEST(Currency, ArithmeticIsExactAndChecked) {
    Currency a = Currency::fromDouble(1.5), b = Currency::fromDouble(0.0003);
    EXPECT_EQ((a * b).raw(), 4);  // 0.00045 -> 0.0004 (half to even)
    EXPECT_EQ((a + b).toString(), "1.5003");
    EXPECT_EQ(Currency::fromDouble(-2.5).floor().toString(), "-3");
    EXPECT_EQ(Currency::fromDouble(-2.5).trunc().toString(), "-2");
    EXPECT_THROW(Currency::fromRaw(INT64_MAX) + Currency::fromRaw(1), RuntimeError);
}

TEST(Date, SerialsMatchThePlatformEpoch) {
    EXPECT_EQ(DateSerial(1899, 12, 30).serial, 0);
    EXPECT_EQ(DateSerial(1900, 1, 1).serial, 2);
    EXPECT_EQ(DateSerial(2024, 3, 5).serial, 45356);
    DateParts p = SplitDate(Date(45356.5));
    EXPECT_EQ(p.year, 2024);
    EXPECT_EQ(p.month, 3);
    EXPECT_EQ(p.day, 5);
    EXPECT_EQ(p.hour, 12);
}

TEST(Date, BuildingCarriesOverflowAndTwoDigitYears) {
    EXPECT_EQ(DateSerial(2024, 13, 1), DateSerial(2025, 1, 1));
    EXPECT_EQ(DateSerial(2024, 3, 0), DateSerial(2024, 2, 29));
    EXPECT_EQ(DateSerial(2024, 0, 1), DateSerial(2023, 12, 1));
    EXPECT_EQ(DateSerial(2024, -13, 1), DateSerial(2022, 11, 1));
    EXPECT_EQ(DateSerial(29, 1, 1), DateSerial(2029, 1, 1));
    EXPECT_EQ(DateSerial(30, 1, 1), DateSerial(1930, 1, 1));
    EXPECT_EQ(DateSerial(99, 12, 31), DateSerial(1999, 12, 31));
    EXPECT_THROW(DateSerial(10000, 1, 1), RuntimeError);
}

TEST(Date, WeekdaysAndTimesBeforeTheEpoch) {
    EXPECT_EQ(Weekday(DateSerial(2024, 3, 10)), 1);      // Sunday
    EXPECT_EQ(Weekday(DateSerial(2024, 3, 10), 2), 7);   // Monday-based
    EXPECT_EQ(Weekday(Date(0)), 7);                      // Saturday
    DateParts p = SplitDate(Date(-1.25));
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 6);
}

TEST(Date, TextReaderAcceptsIsoAndSlashForms) {
    EXPECT_EQ(ParseDateText(u"2024-03-05")->serial, 45356);
    EXPECT_EQ(ParseDateText(u"2024/3/5")->serial, 45356);
    EXPECT_DOUBLE_EQ(ParseDateText(u" 2024-03-05 12:00 ")->serial, 45356.5);
    EXPECT_DOUBLE_EQ(ParseDateText(u"18:00:00")->serial, 0.75);
    EXPECT_FALSE(ParseDateText(u"2024-02-30"));
    EXPECT_FALSE(ParseDateText(u"nonsense"));
    EXPECT_FALSE(ParseDateText(u"2024-03-05x"));
}
