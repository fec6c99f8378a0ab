// The working dates, the database texts, the structure check and the backup over real SQLite files.
#include "ErrorNumber.h"
#include "RecordingFeedback.h"
#include "ostrel/fncDb.h"
#include "sembrin/clsDates.h"
#include "sembrin/fncChkdb.h"
#include "sembrin/fncDbBackup.h"
#include "sembrin/pptPublicValue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace sembrin;
using namespace ostrel;

namespace {

Variant arr(std::vector<Variant> v) { return Variant::array(std::move(v)); }

// A ledger with the tables of named texts and of dates, as ZepDb; backups on a fixed clock.
struct Ledger : ::testing::Test {
    QTemporaryDir dir;
    DatabaseRef db = Database::Create(dir.filePath("장부.mdb"));
    vendra::test::ScopedFeedback fb;
    pptPublicValue p;
    clsDates dates;
    fncDbBackup b{[] { return Date(DateSerial(2024, 3, 5).serial + 0.5); }};
    QDir backup{dir.filePath("backup")};
    Ledger() {
        const Variant title = arr({"title", int16_t(dbType::Text), int16_t(50)});
        for (const char* t : {"TAG", "Properties"})
            fncDb().DbMakeTable(*db, t, arr({title, arr({"value", int16_t(10), int16_t(50), true})}), arr({"title"}));
        fncDb().DbMakeTable(*db, "dates", arr({title, arr({"Date", int16_t(dbType::Date)})}), arr({}));
        p.setZepDb(db), p.setZepReadOnly(false);
        dates.setAppFirstDate(DateSerial(2024, 1, 1));
        dates.setAppLastDate(DateSerial(2024, 12, 31));
    }
    ~Ledger() override { p.setZepDb(nullptr), p.setZepReadOnly(false); }
    void touch(int day) {
        QFile f(db->Name());
        f.open(QIODevice::ReadWrite);
        f.setFileTime(QDateTime(QDate(2024, 3, day), QTime(10, 0)), QFileDevice::FileModificationTime);
    }
    QStringList names() { return backup.entryList(QDir::Files, QDir::Name); }
};

TEST_F(Ledger, NamedTextsAndDatesTakeAnyTitleTextsAreCutToFiftyBytesAndNoDatabaseReadsEmpty) {
    const QString title = "마감'일 \"x\" \\ #1";
    p.setZepTag(title, QString(24, u'가') + QStringLiteral("ab가"));  // 48 + 2 bytes, then one more Hangul
    EXPECT_EQ(p.ZepTag(title), QString(24, u'가') + "ab");
    p.setZepTag(title, QString(30, u'나'));  // 25 Hangul fit, the 26th would split
    EXPECT_EQ(p.ZepTag(title), QString(25, u'나'));
    EXPECT_EQ(db->RecordCount("TAG"), 1);
    p.setZepProperties(title, "prop");
    for (const QString& gone : {title, QStringLiteral("never there")}) p.DelZepTag(gone);
    EXPECT_TRUE(p.ZepTag(title).isEmpty() && p.ZepProperties(title) == "prop");
    p.DelZepProperties(title);
    EXPECT_EQ(db->RecordCount("Properties"), 0);
    EXPECT_EQ(dates.ZepTimes(title), Date());
    dates.setZepTimes(title, DateSerial(2030, 5, 5));  // no range check
    dates.setZepTimes(title, DateSerial(2031, 6, 6));  // edited, not added
    EXPECT_TRUE(dates.ZepTimes(title) == DateSerial(2031, 6, 6) && db->RecordCount("dates") == 1);

    p.setZepDb(nullptr);
    EXPECT_TRUE(p.ZepTag("a").isEmpty() && p.ZepProperties("a").isEmpty());
    vendra::test::expectError(err::DbClosed, [&] { p.setZepTag("a", "b"); });
    vendra::test::expectError(err::DbClosed, [&] { dates.ZepTimes(title); });
}

TEST_F(Ledger, StructureCheckReportsEachDifferenceUnlessSilent) {
    fncDb().DbMakeTable(*db, "gr", arr({arr({"code", int16_t(10), int16_t(8)}), arr({"qty", int16_t(4)})}),
                        arr({arr({"code", true})}));
    fncChkdb c;
    const Variant same = arr({arr({"code", int16_t(10), int16_t(8), false}), arr({"qty", int16_t(4)})});
    EXPECT_TRUE(!c.check_table("gr", same, arr({arr({"code", true})})) && fb->messages.isEmpty());

    struct Case { const char* table; Variant st, ix; QStringList messages; };
    const std::vector<Case> cases = {
        {"GR", same, arr({"nothing"}), {"GR 테이블이 존재하지 않습니다."}},
        {"gr", arr({arr({"code", int16_t(10)}), arr({"name", int16_t(10)})}), arr({}),
         {"gr 의 code 필드 길이가 잘못되었습니다.", "gr 의 name 필드가 존재하지 않습니다."}},
        {"gr", arr({arr({"qty", int16_t(10), int16_t(4), true})}), arr({"code", "Code"}),
         {"gr 의 qty 필드 타입이 잘못되었습니다.", "gr 의 qty 필드 빈문자열 허용 속성이 잘못되었습니다.",
          "gr 의 code 유니크가 잘못되었습니다.", "gr 의 Code 인덱스가 존재하지 않습니다."}},
    };
    for (const Case& k : cases) {
        fb->messages.clear();
        EXPECT_TRUE(c.check_table(k.table, k.st, k.ix, true) && fb->messages.isEmpty());  // silent
        EXPECT_TRUE(c.check_table(k.table, k.st, k.ix));
        EXPECT_EQ(fb->messages, k.messages);
    }
}

TEST_F(Ledger, BackupKeepsDayAndStartOfDayCopiesAndTheTenNewest) {
    touch(3);
    QDir().mkpath(backup.path());
    QFile(backup.filePath("장부의 2024년3월3일초기.mdb")).open(QIODevice::WriteOnly);
    b.dbBackUp(dir.path() + "\\", "장부", "mdb");
    EXPECT_EQ(names(), QStringList({"장부의 2024년3월3일.mdb", "장부의 2024년3월5일초기.mdb"}));
    EXPECT_EQ(Database::Open(backup.filePath("장부의 2024년3월5일초기.mdb"))->TableNames(), db->TableNames());
    EXPECT_EQ(fb->captions, QStringList{"장부 백업 중"});
    EXPECT_TRUE(fb->progress.last().endsWith("장부의 2024년3월5일초기.mdb 복사 중"));

    db->Execute("INSERT INTO TAG (title) VALUES ('x')");  // a second backup today, the file held open
    touch(5);
    b.dbBackUp(dir.path(), "장부", "mdb");
    EXPECT_TRUE(names().size() == 2 && Database::Open(backup.filePath(names().last()))->RecordCount("TAG") == 1);

    const QString dated = QStringLiteral("장부의 2023년1월%1일.mdb");
    QStringList extra = {"장부의 복사중.mdb", "다른장부의 2020년1월1일.mdb"};  // a stray copy is replaced
    for (int day = 1; day <= 10; ++day) extra << dated.arg(day);
    for (const QString& name : extra) QFile(backup.filePath(name)).open(QIODevice::WriteOnly);
    b.dbBackUp(dir.path(), "장부", "mdb");
    QStringList left = names();
    EXPECT_EQ(left.size(), 10 + 1);  // ten dated copies and the other book's
    for (int day = 1; day <= 3; ++day) EXPECT_EQ(left.contains(dated.arg(day)), day == 3) << day;

    vendra::test::expectError(err::FileNotFound, [&] { b.dbBackUp(dir.path(), "없는장부", "mdb"); });
    EXPECT_EQ(b.date2ymd(DateSerial(2024, 1, 5)) + b.date2ymd(DateSerial(2024, 12, 25)), "2024년1월5일2024년12월25일");
    for (const char* name : {"장부의 2024년1월5일초기.mdb", "장부의2024년13월1일"}) EXPECT_TRUE(b.Is의Ymd(name)) << name;
    for (const char* name : {"장부 2024년1월5일", "장부의 2024년1월5.mdb", "장부의 1월5일", "의 99999년1월1일"})
        EXPECT_FALSE(b.Is의Ymd(name)) << name;
}

TEST_F(Ledger, PeriodDatesStayInRangeCarryTheMiddleDateAndAReadOnlyDatabaseKeepsItInMemory) {
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
    EXPECT_TRUE(dates.firstdate() == DateSerial(2024, 3, 1) && dates.lastdate() == DateSerial(2024, 3, 20));

    // The middle date is clamped into the period.
    dates.setmiddate(DateSerial(2024, 1, 5));
    EXPECT_EQ(dates.middate(), DateSerial(2024, 3, 1));
    dates.setmiddate(DateSerial(2024, 9, 9));
    EXPECT_EQ(dates.middate(), DateSerial(2024, 3, 20));
    EXPECT_EQ(db->RecordCount("dates"), 3);

    // A read-only database keeps the middle date in memory.
    dates.setmiddate(DateSerial(2024, 3, 5));
    p.setZepReadOnly(true);
    dates.setmiddate(DateSerial(2024, 3, 25));  // clamped, readable, not stored
    EXPECT_EQ(dates.middate(), DateSerial(2024, 3, 20));
    p.setZepReadOnly(false);
    EXPECT_EQ(dates.middate(), DateSerial(2024, 3, 5));  // the table still holds the old one
}

}  // namespace
