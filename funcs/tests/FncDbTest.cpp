// The database helpers and SQL texts over real SQLite files.
#include "ErrorNumber.h"
#include "RecordingFeedback.h"
#include "ostrel/fncDb.h"
#include "ostrel/fncSql.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ostrel;
using vendra::test::expectError;

namespace {

Variant arr(std::vector<Variant> v) { return Variant::array(std::move(v)); }

struct FncDbTest : ::testing::Test {
    QTemporaryDir dir;
    DatabaseRef db = Database::Create(dir.filePath("ledger.db"));
    fncDb f;
    vendra::test::ScopedFeedback fb;
    Variant st = arr({arr({"code", int16_t(10), int16_t(8)}), arr({"qty", int16_t(4)})});

    void fill(const QString& table, int n) {
        Recordset rs = db->OpenRecordset(table);
        for (int i = 0; i < n; ++i) {
            rs.AddNew();
            rs.setValue("code", QStringLiteral("k%1").arg(i));
            rs.setValue("qty", i);
            rs.Update();
        }
    }
    QStringList codes(const QString& table) {
        QStringList out;
        for (Recordset rs = db->OpenRecordset(table); !rs.isEOF(); rs.MoveNext()) out << rs["code"].toString();
        return out;
    }
};

TEST_F(FncDbTest, MakeTableTakesShortDescriptionsAndTablesCompareCaseSensitively) {
    f.DbMakeTable(*db, "Gr", arr({arr({"code", int16_t(10)}), arr({"name", int16_t(10), int16_t(20), true})}),
                  arr({"code", arr({"name", true})}));
    EXPECT_TRUE(f.DbExistTable(*db, "Gr"));
    EXPECT_FALSE(f.DbExistTable(*db, "gr"));
    TableDef def = db->tableDef("Gr");
    EXPECT_TRUE(f.DbExistField(def.Fields, "name"));
    EXPECT_FALSE(f.DbExistField(def.Fields, "Name"));
    EXPECT_EQ(def.Fields["code"].Size, dbType::MaxTextSize);  // size 0: the type's own
    EXPECT_FALSE(def.Fields["code"].AllowZeroLength);
    EXPECT_EQ(def.Fields["name"].Size, 20);
    EXPECT_FALSE(def.Indexes[0].Unique);  // a plain string index is not unique
    EXPECT_TRUE(def.Indexes[1].Unique);
    f.DbMakeTable(*db, "NoIndex", st, arr({}));
    EXPECT_TRUE(db->tableDef("NoIndex").Indexes.empty());
}

TEST_F(FncDbTest, AppendFromCopiesByNameConvertsAndShowsItsPercentage) {
    f.DbMakeTable(*db, "src", arr({arr({"code", int16_t(10)}), arr({"qty", int16_t(10)}), arr({"gone", int16_t(4)})}),
                  arr({}));
    Recordset rs = db->OpenRecordset("src");
    for (const char* qty : {"1", "2", "3", "4"}) {
        rs.AddNew();
        rs.setValue("code", qty);
        rs.setValue("qty", qty);
        rs.Update();
    }
    rs.Close();
    f.DbMakeTable(*db, "dst", arr({arr({"qty", int16_t(4)}), arr({"code", int16_t(10)}), arr({"new", int16_t(1)})}),
                  arr({}));
    auto wm = fb->openProgress();
    f.DbAppendFrom(*db, "dst", "src", wm.get());
    EXPECT_EQ(fb->progress, QStringList({"  0 % 진행중", " 25 % 진행중", " 50 % 진행중", " 75 % 진행중"}));
    Recordset d = db->OpenRecordset("dst");
    d.MoveLast();
    EXPECT_EQ(d.RecordCount(), 4);
    EXPECT_TRUE(d["qty"].identical(Variant(int32_t(4))));  // text "4" became a Long
    EXPECT_TRUE(d["new"].isNull());

    auto other = Database::Create(dir.filePath("other.db"));
    f.DbMakeTable(*other, "dst", st, arr({}));
    f.DbAppendFromExternal(*other, "dst", *db, "src");
    EXPECT_EQ(other->RecordCount("dst"), 4);
    f.DbAppendFrom(*db, "src", "src");  // its own records once, not endlessly
    EXPECT_EQ(db->RecordCount("src"), 8);
    expectError(err::DbItemNotFound, [&] { f.DbAppendFrom(*db, "dst", "missing"); });
}

TEST_F(FncDbTest, ModifyStructureKeepsRecordsAndResumesAfterAnInterruptionInEitherStage) {
    const Variant wider =
        arr({arr({"code", int16_t(10), int16_t(8)}), arr({"qty", int16_t(4)}), arr({"note", int16_t(10)})});
    struct Case { const char* name; const char* failCaption; };  // where a failure strikes mid-copy
    for (Case c : {Case{"plain", nullptr}, Case{"stage 1", "1단계"}, Case{"stage 2", "2단계"}}) {
        SCOPED_TRACE(c.name);
        if (f.DbExistTable(*db, "t")) db->DeleteTable("t");
        f.DbMakeTable(*db, "t", st, arr({"code"}));
        fill("t", 200);
        if (c.failCaption) {
            fb->onMessage = [&](const QString& caption, const QString& message) {
                if (caption.contains(QString::fromUtf8(c.failCaption)) && message.startsWith(QStringLiteral(" 50")))
                    throw RuntimeError::internal("interrupted");
            };
            expectError(err::Internal, [&] { f.DbModifyStructure(*db, "t", wider, arr({"code"})); });
            fb->onMessage = nullptr;
            EXPECT_TRUE(f.DbExistTable(*db, "t_temp"));
        }
        f.DbModifyStructure(*db, "t", wider, arr({"code"}));
        EXPECT_FALSE(f.DbExistTable(*db, "t_temp"));
        EXPECT_EQ(db->RecordCount("t"), 200);
        Recordset rs = db->OpenRecordset("t");
        rs.MoveLast();
        EXPECT_EQ(rs["code"].toString(), "k199");
        EXPECT_TRUE(rs["note"].isNull());
    }
    EXPECT_TRUE(fb->captions.contains("테이블 구조 변경 1단계, 임시 테이블 작성"));

    // A temporary table holding every record while the table holds fewer: straight to stage 2.
    f.DbMakeTable(*db, "u_temp", st, arr({}));
    fill("u_temp", 3);
    f.DbMakeTable(*db, "u", st, arr({}));
    fill("u", 1);
    fb->captions.clear();
    f.DbModifyStructure(*db, "u", wider, arr({}));
    EXPECT_EQ(codes("u"), QStringList({"k0", "k1", "k2"}));
    EXPECT_FALSE(fb->captions.join(",").contains("1단계"));

    // A structure the records do not fit stops before the table is touched.
    fill("u", 1);
    expectError(err::DbDuplicateKey, [&] { f.DbModifyStructure(*db, "u", st, arr({arr({"code", true})})); });
    EXPECT_EQ(db->RecordCount("u"), 4);
}

TEST_F(FncDbTest, FilesRenameDeleteAndReadOnly) {
    const QString a = dir.filePath("a.txt"), b = dir.filePath("b.txt");
    QFile(a).open(QIODevice::WriteOnly);
    QFile(b).open(QIODevice::WriteOnly);
    f.RenameUncon(a, b);
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_TRUE(QFile::exists(b));
    f.KillUncon(b);
    f.KillUncon(b);  // a missing file: nothing happens
    EXPECT_FALSE(QFile::exists(b));
    expectError(err::FileNotFound, [&] { f.IsReadOnly(b); });
    expectError(err::FileNotFound, [&] { f.RenameUncon(a, b); });
    QFile(a).open(QIODevice::WriteOnly);
    QFile::setPermissions(a, QFileDevice::ReadOwner);
    EXPECT_TRUE(f.IsReadOnly(a));
    f.DbPack(db->Name(), dir.filePath("packed.db"));
    EXPECT_TRUE(Database::Open(dir.filePath("packed.db"))->TableNames().isEmpty());
}

TEST(FncSqlTest, SelectTextsAndPeriods) {
    fncSql s;
    EXPECT_EQ(s.MakeSelectSql("*", "gr", ""), "SELECT * FROM gr");
    EXPECT_EQ(s.MakeSelectSql("a,b", "gr", "code='1'"), "SELECT a,b FROM gr WHERE code='1'");
    EXPECT_EQ(s.MakeSelectSqlGo("*", "gr", "", "", "code"), "SELECT * FROM gr ORDER BY code");
    EXPECT_EQ(s.MakeSelectSqlGo("code", "gr", "x=1", "code", "code"),
              "SELECT code FROM gr WHERE x=1 GROUP BY code ORDER BY code");
    EXPECT_EQ(s.MakePeriodSql(DateSerial(2024, 3, 1), DateSerial(2024, 3, 31)),
              "date>=#2024-03-01# AND date<=#2024-03-31#");
    EXPECT_EQ(s.MakePeriodSql(DateSerial(2024, 3, 1), DateSerial(2024, 3, 1), "d"),
              "d>=#2024-03-01# AND d<=#2024-03-01#");
}

}  // namespace
