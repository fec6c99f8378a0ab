#pragma once
// The ledger's working period (first, middle and last date) and other named dates, kept in the
// table `dates` (fields `title` and `Date`) of ZepDb. The allowed range and the middle date held
// in memory are process-wide, like the rest of the store.
#include "ostrel/DateTime.h"

#include <QString>

namespace sembrin {

class clsDates {
public:
    // The range the first and last date must lie in.
    ostrel::Date AppFirstDate() const;
    void setAppFirstDate(ostrel::Date d);
    ostrel::Date AppLastDate() const;
    void setAppLastDate(ostrel::Date d);

    // Any named date; the zero date when there is none. Writes are not range-checked.
    ostrel::Date ZepTimes(const QString& sName) const;
    void setZepTimes(const QString& sName, ostrel::Date d);

    // Writes outside [AppFirstDate, AppLastDate] are ignored; a first date after the middle date,
    // or a last date before it, moves the middle date along.
    ostrel::Date firstdate() const;
    void setfirstdate(ostrel::Date v);
    ostrel::Date lastdate() const;
    void setlastdate(ostrel::Date v);
    // Clamped into [firstdate, lastdate] (a bound that is the zero date does not clamp); kept in
    // memory only while the database is read-only.
    ostrel::Date middate() const;
    void setmiddate(ostrel::Date v);
};

}  // namespace sembrin
