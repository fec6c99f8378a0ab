// The database texts, the structure check and the backup over real SQLite files.
#include "ErrorNumber.h"
#include "RecordingFeedback.h"
#include "ostrel/fncDb.h"
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

struct DbUpkeepTest : ::testing::Test {
    QTemporaryDir dir;
    DatabaseRef db = Database::Create(dir.filePath("장부.mdb"));
    vendra::test::ScopedFeedback fb;
    pptPublicValue p;
    fncDbBackup b{[] { return Date(DateSerial(2024, 3, 5).serial + 0.5); }};
    QDir backup{dir.filePath("backup")};
    DbUpkeepTest() {
        for (const char* t : {"TAG", "Properties"})
            fncDb().DbMakeTable(
                *db, t, arr({arr({"title", int16_t(10), int16_t(50)}), arr({"value", int16_t(10), int16_t(50), true})}),
                arr({"title"}));
        p.setZepDb(db);
    }
    ~DbUpkeepTest() override { p.setZepDb(nullptr); }
    void touch(int day) {
        QFile f(db->Name());
        f.open(QIODevice::ReadWrite);
        f.setFileTime(QDateTime(QDate(2024, 3, day), QTime(10, 0)), QFileDevice::FileModificationTime);
    }
    QStringList names() { return backup.entryList(QDir::Files, QDir::Name); }
};

TEST_F(DbUpkeepTest, NamedTextsAreCutToFiftyBytesAndReadEmptyWithoutADatabase) {
    const QString title = "it's \"x\"";
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

    p.setZepDb(nullptr);
    EXPECT_TRUE(p.ZepTag("a").isEmpty() && p.ZepProperties("a").isEmpty());
    vendra::test::expectError(err::DbClosed, [&] { p.setZepTag("a", "b"); });
}

TEST_F(DbUpkeepTest, StructureCheckReportsEachDifferenceUnlessSilent) {
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

TEST_F(DbUpkeepTest, BackupKeepsDayAndStartOfDayCopiesAndTheTenNewest) {
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

}  // namespace
