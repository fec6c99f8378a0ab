#include "corvane/fncTimeStamp.h"

#include <QDateTime>
#include <chrono>
#include <thread>

namespace corvane {

namespace {
// One reading of the clock for every part, so the date, the seconds and the hundredths never
// come from two different instants.
QDateTime readClock() { return QDateTime::currentDateTime(); }

QString formatStamp(const QDateTime& t) {
    const QDate d = t.date();
    const QTime c = t.time();
    return QStringLiteral("%1%2%3%4%5%6%7")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(c.hour(), 2, 10, QLatin1Char('0'))
        .arg(c.minute(), 2, 10, QLatin1Char('0'))
        .arg(c.second(), 2, 10, QLatin1Char('0'))
        .arg(c.msec() / 10, 2, 10, QLatin1Char('0'));
}
}  // namespace

QString fncTimeStamp::MakeTimeStamp() {
    QDateTime now = readClock();
    QString stamp = formatStamp(now);
    while (stamp == last_) {
        // Still the same hundredth: wait for the next one (at most 10 ms).
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        now = readClock();
        stamp = formatStamp(now);
    }
    if (!last_.isEmpty() && stamp < last_) {
        // The clock was set back: carry on one hundredth after the last stamp rather than hand
        // out a stamp the server may have seen already.
        QDateTime previous = QDateTime::fromString(last_.left(14), QStringLiteral("yyyyMMddHHmmss"));
        previous = previous.addMSecs(last_.mid(14, 2).toInt() * 10 + 10);
        stamp = formatStamp(previous);
    }
    last_ = stamp;
    return stamp;
}

}  // namespace corvane
