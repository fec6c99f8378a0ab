// The working dates in the table `dates`: range checks, the middle date following the first and
// last dates, and a read-only database that keeps the middle date in memory only.
#include "ErrorNumber.h"
#include "ostrel/Database.h"
#include "ostrel/RuntimeError.h"
#include "sembrin/clsDates.h"
#include "sembrin/pptPublicValue.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sembrin;
using ostrel::Date;
using ostrel::DateSerial;

namespace {

struct DatesTest : ::testing::Test {
    QTemporaryDir dir;
    pptPublicValue pv;
    clsDates dates;
    DatesTest() {
        auto db = ostrel::Database::Create(dir.filePath(QStringLiteral("dates.db")));
        namespace dbType = ostrel::dbType;
        db->Append({"dates", ostrel::FieldList({{"title", dbType::Text, 50}, {"Date", dbType::Date}}), {}});
        pv.setZepDb(db), pv.setZepReadOnly(false);
        dates.setAppFirstDate(DateSerial(2024, 1, 1));
        dates.setAppLastDate(DateSerial(2024, 12, 31));
    }
    ~DatesTest() override { pv.setZepDb(nullptr), pv.setZepReadOnly(false); }
    long long records() const { return pv.ZepDb()->RecordCount(QStringLiteral("dates")); }
};

}  // namespace

TEST_F(DatesTest, FirstAndLastDatesStayInRangeAndCarryTheMiddleDate) {
    EXPECT_EQ(dates.firstdate(), Date());  // nothing stored yet
    dates.setfirstdate(DateSerial(2024, 2, 1));
    EXPECT_EQ(dates.middate(), DateSerial(2024, 2, 1));  // no last date yet: it bounds nothing
    dates.setlastdate(DateSerial(2024, 11, 30));
    dates.setmiddate(DateSerial(2024, 6, 15));
    EXPECT_EQ(dates.middate(), DateSerial(2024, 6, 15));

    dates.setfirstdate(DateSerial(2024, 7, 1));  // after the middle date: the middle date follows
    EXPECT_EQ(dates.middate(), DateSerial(2024, 7, 1));
    dates.setlastdate(DateSerial(2024, 3, 31));  // before it: back it goes, clamped to the first date
    EXPECT_EQ(dates.lastdate(), DateSerial(2024, 3, 31));
    EXPECT_EQ(dates.middate(), DateSerial(2024, 7, 1));  // the first date bounds it from below

    dates.setfirstdate(DateSerial(2024, 3, 1)), dates.setlastdate(DateSerial(2024, 3, 20));
    EXPECT_EQ(dates.middate(), DateSerial(2024, 3, 20));

    dates.setfirstdate(DateSerial(2023, 12, 31)), dates.setlastdate(DateSerial(2025, 1, 1));  // out of range: ignored
    EXPECT_EQ(dates.firstdate(), DateSerial(2024, 3, 1));
    EXPECT_EQ(dates.lastdate(), DateSerial(2024, 3, 20));

    // The middle date is clamped into the period.
    dates.setmiddate(DateSerial(2024, 1, 5));
    EXPECT_EQ(dates.middate(), DateSerial(2024, 3, 1));
    dates.setmiddate(DateSerial(2024, 9, 9));
    EXPECT_EQ(dates.middate(), DateSerial(2024, 3, 20));
    EXPECT_EQ(records(), 3);
}

TEST_F(DatesTest, NamedDatesTakeAnyTitleAndAnyDate) {
    const QString odd = QStringLiteral("마감'일 \\ #1");
    EXPECT_EQ(dates.ZepTimes(odd), Date());
    dates.setZepTimes(odd, DateSerial(2030, 5, 5));  // no range check
    dates.setZepTimes(odd, DateSerial(2031, 6, 6));  // edited, not added
    EXPECT_EQ(dates.ZepTimes(odd), DateSerial(2031, 6, 6));
    EXPECT_EQ(records(), 1);
    pv.setZepDb(nullptr);
    vendra::test::expectError(ostrel::err::DbClosed, [&] { dates.ZepTimes(odd); });
}

TEST_F(DatesTest, AReadOnlyDatabaseKeepsTheMiddleDateInMemory) {
    dates.setfirstdate(DateSerial(2024, 2, 1)), dates.setlastdate(DateSerial(2024, 2, 29));
    dates.setmiddate(DateSerial(2024, 2, 10));
    pv.setZepReadOnly(true);
    dates.setmiddate(DateSerial(2024, 3, 15));  // clamped, readable, not stored
    EXPECT_EQ(dates.middate(), DateSerial(2024, 2, 29));
    pv.setZepReadOnly(false);
    EXPECT_EQ(dates.middate(), DateSerial(2024, 2, 10));  // the table still holds the old one
}
