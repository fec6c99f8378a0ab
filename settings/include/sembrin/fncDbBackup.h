#pragma once
// Dated copies of the ledger database in a "backup" folder beside it: the state at the end of the
// last day the file changed and at the start of today; the ten newest copies remain.
#include "ostrel/DateTime.h"

#include <QString>
#include <functional>

namespace sembrin {

class fncDbBackup {
public:
    // `now` gives the current date and time (the clock by default).
    explicit fncDbBackup(std::function<ostrel::Date()> now = {});

    // sPath is the database's folder, with or without a trailing "/" or "\"; sExt has no dot.
    // Each copy is made consistently under the name "N의 복사중.E", checked, and only then
    // renamed to its dated name. The backup folder is created when missing.
    void dbBackUp(const QString& sPath, const QString& sName, const QString& sExt) const;
    QString date2ymd(ostrel::Date dDate) const;  // "2024년1월5일"
    bool Is의Ymd(const QString& s) const;

private:
    std::function<ostrel::Date()> now_;
};

}  // namespace sembrin
