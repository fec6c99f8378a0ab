#include "sembrin/clsDates.h"

#include "ostrel/Database.h"
#include "ostrel/RuntimeError.h"
#include "sembrin/pptPublicValue.h"

#include <optional>

namespace sembrin {

using ostrel::Date;
using ostrel::Variant;

namespace {

struct DatesState {
    Date appFirst, appLast, middle;
    bool middleCached = false;
};

DatesState& state() {
    static DatesState s;
    return s;
}

ostrel::Database& database() {
    ostrel::DatabaseRef db = pptPublicValue().ZepDb();
    if (!db) throw ostrel::RuntimeError::engine(ostrel::err::DbClosed, QStringLiteral("ZepDb"));
    return *db;
}

// The record of that title; the title travels as a bound value, never inside the SQL text.
ostrel::Recordset openTitle(const QString& title) {
    return database().OpenRecordset(QStringLiteral("SELECT * FROM dates WHERE title=?"), {Variant(title)});
}

std::optional<Date> readDate(const QString& title) {
    ostrel::Recordset rs = openTitle(title);
    if (rs.isEOF()) return std::nullopt;
    const Variant v = rs["Date"];
    return v.isNull() || v.isEmpty() ? Date() : v.toDate();
}

void writeDate(const QString& title, Date d) {
    ostrel::Recordset rs = openTitle(title);
    if (rs.isEOF()) {
        rs.AddNew();
        rs.setValue("title", title);
    } else {
        rs.Edit();
    }
    rs.setValue("Date", d);
    rs.Update();
}

bool inAppRange(Date v) { return state().appFirst <= v && v <= state().appLast; }

const QString kFirst = QStringLiteral("firstdate"), kMiddle = QStringLiteral("middate"),
              kLast = QStringLiteral("lastdate");

}  // namespace

Date clsDates::AppFirstDate() const { return state().appFirst; }
void clsDates::setAppFirstDate(Date d) { state().appFirst = d; }
Date clsDates::AppLastDate() const { return state().appLast; }
void clsDates::setAppLastDate(Date d) { state().appLast = d; }

Date clsDates::ZepTimes(const QString& sName) const { return readDate(sName).value_or(Date()); }
void clsDates::setZepTimes(const QString& sName, Date d) { writeDate(sName, d); }

Date clsDates::firstdate() const { return ZepTimes(kFirst); }
Date clsDates::lastdate() const { return ZepTimes(kLast); }

void clsDates::setfirstdate(Date v) {
    if (!inAppRange(v)) return;
    writeDate(kFirst, v);
    if (middate() < v) setmiddate(v);
}

void clsDates::setlastdate(Date v) {
    if (!inAppRange(v)) return;
    writeDate(kLast, v);
    if (v < middate()) setmiddate(v);
}

Date clsDates::middate() const {
    DatesState& s = state();
    if (!pptPublicValue().ZepReadOnly() || !s.middleCached) {
        if (auto d = readDate(kMiddle)) {
            s.middle = *d;
            s.middleCached = true;
        }
    }
    return s.middle;
}

void clsDates::setmiddate(Date v) {
    // A bound that is the zero date means no date, so it clamps nothing.
    const Date first = firstdate(), last = lastdate();
    if (!first.isZero() && v < first) v = first;
    else if (!last.isZero() && v > last) v = last;
    state().middle = v;
    state().middleCached = true;
    if (!pptPublicValue().ZepReadOnly()) writeDate(kMiddle, v);
}

}  // namespace sembrin
