#pragma once
// Date: days since 1899-12-30 plus the time of day as a fraction; 0 is the zero date ("no date").
#include <QString>
#include <QStringView>
#include <compare>
#include <optional>

namespace ostrel {

struct Date {
    double serial = 0;

    constexpr Date() = default;
    constexpr explicit Date(double s) : serial(s) {}
    constexpr bool isZero() const { return serial == 0; }
    constexpr auto operator<=>(const Date&) const = default;
};

// Date building carries overflow (month 13 is January of the next year, day 0 the last day of
// the month before) and maps years 0-29 to 2000-2029 and 30-99 to 1930-1999.
// Dates outside 100-01-01 .. 9999-12-31 raise error 5.
Date DateSerial(int year, int month, int day);
double TimeSerial(int hour, int minute, int second);  // fraction of a day; carries overflow too

struct DateParts {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};
DateParts SplitDate(Date d);
int Year(Date d);
int Month(Date d);
int Day(Date d);
int Hour(Date d);
int Minute(Date d);
int Second(Date d);
// 1 = `firstDay` ... 7; firstDay 1 is Sunday (the platform default), 2 is Monday.
int Weekday(Date d, int firstDay = 1);
Date DateOnly(Date d);
double TimeOnly(Date d);  // the time of day as a fraction, 0 <= t < 1
bool HasTime(Date d);

Date Now();
Date Today();

// Reads YYYY-MM-DD and YYYY/MM/DD (also M/D forms of one or two digits), each optionally followed
// by HH:MM[:SS], or a time alone. Empty when the text is no date.
std::optional<Date> ParseDateText(QStringView text);

}  // namespace ostrel
