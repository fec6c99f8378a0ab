#include "ostrel/fncDate.h"
#include "ostrel/TrimSpaces.h"

#include "ostrel/RuntimeError.h"
#include "ostrel/fncNumber.h"
#include "ostrel/fncString.h"

#include <cmath>

namespace ostrel {

namespace {

void putDigits(QChar*& d, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        d[i] = QChar(u'0' + value % 10);
        value /= 10;
    }
    d += width;
}

QString ymd(const DateParts& p, QChar sep) {
    QString r(sep.isNull() ? 8 : 10, Qt::Uninitialized);
    QChar* d = r.data();
    putDigits(d, p.year, 4);
    if (!sep.isNull()) *d++ = sep;
    putDigits(d, p.month, 2);
    if (!sep.isNull()) *d++ = sep;
    putDigits(d, p.day, 2);
    return r;
}

QString hms(const DateParts& p) {
    QString r(8, Qt::Uninitialized);
    QChar* d = r.data();
    putDigits(d, p.hour, 2);
    *d++ = QLatin1Char(':');
    putDigits(d, p.minute, 2);
    *d++ = QLatin1Char(':');
    putDigits(d, p.second, 2);
    return r;
}

// The digits at 1-based character positions [from, from + count), stopping at the first
// non-digit; nothing readable is 0.
int digitsAt(QStringView t, int from, int count) {
    int v = 0;
    for (int i = from - 1; i < from - 1 + count && i < t.size(); ++i) {
        char16_t u = t[i].unicode();
        if (u < '0' || u > '9') break;
        v = v * 10 + (u - '0');
    }
    return v;
}

// Date from read parts. All zero is what the zero date's own texts hold, so it reads back as
// the zero date rather than as a date built from month 0 and day 0.
Date fromParts(int year, int month, int day) {
    if (year == 0 && month == 0 && day == 0) return Date();
    return DateSerial(year, month, day);
}


// A date argument given as a variant: the text cases are handled by the callers.
bool isZeroValue(const Variant& d) {
    if (d.isDate()) return d.toDate().isZero();
    if (d.isNumber() || d.isBoolean()) return d.toDouble() == 0;
    return false;
}

}  // namespace

QString fncDate::DtoYYYYMMDD(Date d) const {
    if (d.isZero()) return QStringLiteral("00000000");
    return ymd(SplitDate(d), QChar());
}

QString fncDate::DtoL(Date d) const { return QLatin1Char('#') + DtoG(d) + QLatin1Char('#'); }

Date fncDate::LtoD(const QString& l) const {
    return fromParts(digitsAt(l, 2, 4), digitsAt(l, 7, 2), digitsAt(l, 10, 2));
}

QString fncDate::DtoG(Date d) const {
    if (d.isZero()) return QStringLiteral("0000-00-00");
    DateParts p = SplitDate(d);
    if (d.serial > 0 && d.serial < 1) return hms(p);
    QString date = ymd(p, QLatin1Char('-'));
    if (HasTime(d)) return date + QLatin1Char(' ') + hms(p);
    return date;
}

Date fncDate::GtoD(const QString& g) const {
    QStringView t = trimSpaces(g);
    try {
        if (t.size() >= 1 && t.startsWith(QLatin1Char('#')) && t.endsWith(QLatin1Char('#')))
            return LtoD(t.toString());
        if (t.isEmpty() || t == u"0000-00-00" || t == u"0000-00-00 00:00:00") return Date();
        if (!t.contains(QLatin1Char('.'))) return ParseDateText(t).value_or(Date());
        return fromParts(digitsAt(t, 1, 4), digitsAt(t, 6, 2), digitsAt(t, 9, 2));
    } catch (const RuntimeError&) {
        return Date();  // parts beyond the calendar: no date, never a failure
    }
}

QString fncDate::DtoC(const Variant& d) const {
    if (d.isEmpty()) return QString(8, QLatin1Char(' '));
    if (const QString* s = d.stringIf()) return fncString().padr(*s, 8);
    if (isZeroValue(d)) return QStringLiteral("  /  /  ");
    DateParts p = SplitDate(d.toDate());
    QString r(8, Qt::Uninitialized);
    QChar* o = r.data();
    putDigits(o, p.year % 100, 2);
    *o++ = QLatin1Char('/');
    putDigits(o, p.month, 2);
    *o++ = QLatin1Char('/');
    putDigits(o, p.day, 2);
    return r;
}

QString fncDate::TtoC(const Variant& d) const {
    if (d.isEmpty()) return QString(8, QLatin1Char(' '));
    if (const QString* s = d.stringIf()) return fncString().padr(*s, 8);
    if (isZeroValue(d)) return QStringLiteral("  :  :  ");
    return hms(SplitDate(d.toDate()));
}

QString fncDate::Dto년월일(Date dDate) const {
    if (dDate.isZero()) return QStringLiteral("    년   월   일");
    const fncNumber n;
    DateParts p = SplitDate(dDate);
    return n.fdn(Variant(int32_t(p.year)), 4) + QStringLiteral("년 ") + n.fdn(Variant(int32_t(p.month)), 2) +
           QStringLiteral("월 ") + n.fdn(Variant(int32_t(p.day)), 2) + QStringLiteral("일");
}

QString fncDate::Dto년월일short(Date dDate) const {
    if (dDate.isZero()) return QStringLiteral("    년  월  일");
    const fncNumber n;
    DateParts p = SplitDate(dDate);
    return n.fdn(Variant(int32_t(p.year)), 4) + QStringLiteral("년") + n.fdn(Variant(int32_t(p.month)), 2) +
           QStringLiteral("월") + n.fdn(Variant(int32_t(p.day)), 2) + QStringLiteral("일");
}

Date fncDate::Choha(Date d) const {
    DateParts p = SplitDate(d);
    return DateSerial(p.year, p.month, 1);
}

Date fncDate::Malil(Date d) const {
    DateParts p = SplitDate(d);
    return DateSerial(p.year, p.month + 1, 0);
}

bool fncDate::IsMalil(Date d) const {
    return Day(Date(DateOnly(d).serial + 1)) == 1;
}

Variant fncDate::MondayDate(Date d) const {
    // Whole days move; the time of day stays (negative serials count their time the other way).
    double day = DateOnly(d).serial;
    double time = TimeOnly(d);
    double monday = day - Weekday(d, 2) + 1;
    return Variant(Date(monday < 0 ? monday - time : monday + time));
}

}  // namespace ostrel
