#include "ostrel/DateTime.h"

#include "ostrel/RuntimeError.h"

#include <QDateTime>
#include <cmath>

namespace ostrel {

namespace {
// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's civil algorithms).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

constexpr long long kEpochOffset = 25569;  // 1970-01-01 as a serial
const double kMinSerial = -657434;         // 0100-01-01
const double kMaxSerial = 2958465.99999;   // 9999-12-31 23:59:59

// Whole day and seconds of the day, rounded to the second. Negative serials count the day
// backwards and the time forwards, as the platform's dates do.
void splitSerial(double serial, long long& day, int& seconds) {
    double whole = std::trunc(serial);
    double frac = std::fabs(serial - whole);
    long long secs = std::llround(frac * 86400.0);
    day = static_cast<long long>(whole);
    if (secs >= 86400) {
        secs -= 86400;
        day += serial < 0 ? -1 : 1;
    }
    seconds = static_cast<int>(secs);
}
}  // namespace

Date DateSerial(int year, int month, int day) {
    long long y = year;
    if (y >= 0 && y <= 29) y += 2000;
    else if (y >= 30 && y <= 99) y += 1900;
    long long m0 = static_cast<long long>(month) - 1;
    y += m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
    m0 = ((m0 % 12) + 12) % 12;
    long long days =
        daysFromCivil(y, static_cast<unsigned>(m0 + 1), 1) + kEpochOffset + (static_cast<long long>(day) - 1);
    if (days < kMinSerial || days > kMaxSerial)
        throw RuntimeError::invalidArgument(QStringLiteral("date out of range"));
    return Date(static_cast<double>(days));
}

double TimeSerial(int hour, int minute, int second) {
    return (static_cast<double>(hour) * 3600 + static_cast<double>(minute) * 60 + second) / 86400.0;
}

DateParts SplitDate(Date d) {
    long long day;
    int secs;
    splitSerial(d.serial, day, secs);
    DateParts p;
    civilFromDays(day - kEpochOffset, p.year, p.month, p.day);
    p.hour = secs / 3600;
    p.minute = secs / 60 % 60;
    p.second = secs % 60;
    return p;
}

int Year(Date d) { return SplitDate(d).year; }
int Month(Date d) { return SplitDate(d).month; }
int Day(Date d) { return SplitDate(d).day; }
int Hour(Date d) { return SplitDate(d).hour; }
int Minute(Date d) { return SplitDate(d).minute; }
int Second(Date d) { return SplitDate(d).second; }

int Weekday(Date d, int firstDay) {
    long long day;
    int secs;
    splitSerial(d.serial, day, secs);
    // Serial 0 (1899-12-30) was a Saturday: Sunday-based weekday 7.
    long long sundayBased = ((day + 6) % 7 + 7) % 7 + 1;
    return static_cast<int>(((sundayBased - firstDay) % 7 + 7) % 7 + 1);
}

Date DateOnly(Date d) {
    long long day;
    int secs;
    splitSerial(d.serial, day, secs);
    return Date(static_cast<double>(day));
}

double TimeOnly(Date d) {
    long long day;
    int secs;
    splitSerial(d.serial, day, secs);
    return secs / 86400.0;
}

bool HasTime(Date d) { return TimeOnly(d) != 0; }

Date Now() {
    QDateTime now = QDateTime::currentDateTime();
    QDate date = now.date();
    QTime time = now.time();
    double frac = (time.msecsSinceStartOfDay() / 1000.0) / 86400.0;
    return Date(DateSerial(date.year(), date.month(), date.day()).serial + frac);
}

Date Today() { return DateOnly(Now()); }

namespace {
bool readInt(QStringView text, int& pos, int maxDigits, int& value) {
    int start = pos;
    value = 0;
    while (pos < text.size() && pos - start < maxDigits && text[pos].isDigit() && text[pos].unicode() < 128) {
        value = value * 10 + (text[pos].unicode() - '0');
        ++pos;
    }
    return pos > start;
}

bool readTime(QStringView text, int& pos, double& frac) {
    int h, m, s = 0;
    if (!readInt(text, pos, 2, h)) return false;
    if (pos >= text.size() || text[pos] != QLatin1Char(':')) return false;
    ++pos;
    if (!readInt(text, pos, 2, m)) return false;
    if (pos < text.size() && text[pos] == QLatin1Char(':')) {
        ++pos;
        if (!readInt(text, pos, 2, s)) return false;
    }
    if (h > 23 || m > 59 || s > 59) return false;
    frac = TimeSerial(h, m, s);
    return true;
}

bool validDay(int y, int m, int d) {
    if (m < 1 || m > 12 || d < 1) return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}
}  // namespace

std::optional<Date> ParseDateText(QStringView raw) {
    QStringView text = raw.trimmed();
    if (text.isEmpty()) return std::nullopt;
    int pos = 0;
    double frac = 0;
    {
        int probe = 0;
        if (readTime(text, probe, frac) && probe == text.size()) return Date(frac);
    }
    int y, m, d;
    if (!readInt(text, pos, 4, y)) return std::nullopt;
    if (pos >= text.size()) return std::nullopt;
    QChar sep = text[pos];
    if (sep != QLatin1Char('-') && sep != QLatin1Char('/')) return std::nullopt;
    ++pos;
    if (!readInt(text, pos, 2, m)) return std::nullopt;
    if (pos >= text.size() || text[pos] != sep) return std::nullopt;
    ++pos;
    if (!readInt(text, pos, 2, d)) return std::nullopt;
    if (pos < text.size()) {
        if (text[pos] != QLatin1Char(' ') && text[pos] != QLatin1Char('T')) return std::nullopt;
        while (pos < text.size() && (text[pos] == QLatin1Char(' ') || text[pos] == QLatin1Char('T'))) ++pos;
        if (!readTime(text, pos, frac) || pos != text.size()) return std::nullopt;
    }
    int fullYear = y < 30 ? y + 2000 : (y < 100 ? y + 1900 : y);
    if (!validDay(fullYear, m, d) || fullYear < 100) return std::nullopt;
    double day = DateSerial(fullYear, m, d).serial;
    return Date(day < 0 ? day - frac : day + frac);
}

}  // namespace ostrel
