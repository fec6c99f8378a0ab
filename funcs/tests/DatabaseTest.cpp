// The database engine over real SQLite files in a temporary folder.
#include "ErrorNumber.h"
#include "RecordingFeedback.h"
#include "ostrel/Database.h"
#include "ostrel/fncDb.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace ostrel;
using vendra::test::errorOf;
using vendra::test::expectError;

namespace {

struct DatabaseTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("ledger.db"));
    DatabaseRef db = Database::Create(path);

    // A table "gr" (code, gr, amount, date, deleted) with an index on code.
    void makeLedger(const std::vector<std::tuple<QString, QString, double, int, bool>>& rows) {
        db->Append({QStringLiteral("gr"),
                    FieldList({{"code", dbType::Text, 10}, {"gr", dbType::Text, 30, true}, {"amount", dbType::Currency},
                               {"date", dbType::Date}, {"deleted", dbType::Boolean}}),
                    {{"code", {"code"}, false}}});
        Recordset rs = db->OpenRecordset(QStringLiteral("gr"));
        for (auto& [code, name, amount, day, deleted] : rows) {
            rs.AddNew();
            rs.setValue("code", code);
            rs.setValue("gr", name);
            rs.setValue("amount", Currency::fromDouble(amount));
            rs.setValue("date", DateSerial(2024, 3, day));
            rs.setValue("deleted", deleted);
            rs.Update();
        }
    }
    void makeSample() {
        makeLedger({{"B", "배", 1.5, 2, false}, {"A", "사과", 2, 1, false}, {"C", "it's", 3, 3, true},
                    {"A", "감", 4, 5, false}});
    }
    QStringList column(Recordset rs, const char* field) {
        QStringList out;
        for (; !rs.isEOF(); rs.MoveNext()) out << rs.value(field).toString();
        return out;
    }
};

TEST_F(DatabaseTest, ValuesComeBackWithTheirFieldsTypes) {
    struct Case { int type; Variant in; VarType kind; Variant out; };
    const std::vector<Case> cases = {
        {dbType::Boolean, Variant(true), VarType::Boolean, Variant(true)},
        {dbType::Boolean, Variant("0"), VarType::Boolean, Variant(false)},
        {dbType::Byte, Variant(int32_t(200)), VarType::Integer, Variant(int16_t(200))},
        {dbType::Integer, Variant(-3.5), VarType::Integer, Variant(int16_t(-4))},
        {dbType::Long, Variant("70000"), VarType::Long, Variant(int32_t(70000))},
        {dbType::Currency, Variant(Currency::fromRaw(123456789012345)), VarType::Currency,
         Variant(Currency::fromRaw(123456789012345))},
        {dbType::Single, Variant(0.1), VarType::Single, Variant(0.1f)},
        {dbType::Double, Variant(int16_t(7)), VarType::Double, Variant(7.0)},
        {dbType::Date, Variant(DateSerial(2024, 2, 29)), VarType::Date, Variant(DateSerial(2024, 2, 29))},
        {dbType::Text, Variant(int32_t(12)), VarType::String, Variant("12")},
        {dbType::Memo, Variant(QString(300, u'가')), VarType::String, Variant(QString(300, u'가'))},
        {dbType::Long, Variant::null(), VarType::Null, Variant::null()},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        QString table = QStringLiteral("t%1").arg(i);
        db->Append({table, FieldList({{"v", cases[i].type}}), {}});
        Recordset rs = db->OpenRecordset(table);
        rs.AddNew();
        rs.setValue(0, cases[i].in);
        rs.Update();
        rs.MoveFirst();
        Variant back = rs.value("v");
        EXPECT_EQ(back.type(), cases[i].kind) << i;
        EXPECT_TRUE(back.isNull() ? cases[i].out.isNull() : back.identical(cases[i].out))
            << i << back.toString().toStdString();
    }
    db->Close();  // and they survive closing the file
    db = Database::Open(path, false, true);
    EXPECT_TRUE(db->OpenRecordset("SELECT * FROM t0")["v"].identical(Variant(true)));
    EXPECT_TRUE(db->OpenRecordset("t8")[QStringLiteral("v")].isDate());
}

TEST_F(DatabaseTest, TableDefinitionsKeepSizesAndIndexesAndRefuseWhatTheyCannotHold) {
    db->Append({"Items",
                FieldList({{"code", dbType::Text, 0}, {"name", dbType::Text, 20, true}, {"n", dbType::Long, 99}}),
                {{"code", {}, true}, {"name", {}, false}}});
    EXPECT_TRUE(db->hasTable("Items"));
    EXPECT_FALSE(db->hasTable("items"));
    TableDef def = db->tableDef("Items");
    EXPECT_EQ(def.Fields["code"].Size, dbType::MaxTextSize);
    EXPECT_FALSE(def.Fields["code"].AllowZeroLength);
    EXPECT_EQ(def.Fields["name"].Size, 20);
    EXPECT_TRUE(def.Fields["name"].AllowZeroLength);
    EXPECT_EQ(def.Fields["n"].Size, 4);
    ASSERT_EQ(def.Indexes.size(), 2u);
    EXPECT_EQ(def.Indexes[0].Name, "code");
    EXPECT_TRUE(def.Indexes[0].Unique);
    EXPECT_FALSE(def.Indexes[1].Unique);
    EXPECT_EQ(db->TableNames(), QStringList{"Items"});

    auto add = [&](const Variant& code, const Variant& name) {
        Recordset rs = db->OpenRecordset("Items");
        rs.AddNew();
        rs.setValue("code", code);
        rs.setValue("name", name);
        rs.Update();
    };
    add("k1", "");
    expectError(err::DbDuplicateKey, [&] { add("k1", "x"); });
    expectError(err::DbZeroLength, [&] { add("", "x"); });
    expectError(err::DbFieldTooSmall, [&] { add("k2", QString(21, u'x')); });
    expectError(err::TypeMismatch, [&] {
        Recordset rs = db->OpenRecordset("Items");
        rs.AddNew();
        rs.setValue("n", "abc");
        rs.Update();
    });
    EXPECT_EQ(db->RecordCount("Items"), 1);
    expectError(err::DbTableExists, [&] { db->Append({"Items", FieldList({{"a", dbType::Long}}), {}}); });
    expectError(err::DbDuplicateField, [&] {
        db->Append({"T", FieldList({{"a", dbType::Long}, {"a", dbType::Text}}), {}});
    });
    expectError(err::DbDuplicateField, [&] {
        db->Append({"T", FieldList({{"a", dbType::Long}, {"A", dbType::Text}}), {}});
    });
    expectError(err::DbInvalidField, [&] { db->Append({"T", FieldList({{"a", 9}}), {}}); });
    expectError(err::DbInvalidField, [&] { db->Append({"T", FieldList({{"a", dbType::Text, 256}}), {}}); });
    expectError(err::DbNoFields, [&] { db->Append({"T", {}, {}}); });
    EXPECT_FALSE(db->hasTable("T"));  // a refused definition leaves nothing behind
    expectError(err::DbIndexExists, [&] { db->CreateIndex("Items", {"code", {}, false}); });
    expectError(err::DbItemNotFound, [&] { db->DeleteTable("items"); });
    expectError(err::DbTableNotFound, [&] { db->OpenRecordset("nothing"); });
    db->DeleteTable("Items");
    EXPECT_TRUE(db->TableNames().isEmpty());
}

TEST_F(DatabaseTest, RecordSetsMoveCountAndEdit) {
    makeSample();
    Recordset rs = db->OpenRecordset("gr");
    EXPECT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.AbsolutePosition(), 0);
    rs.MoveLast();
    EXPECT_EQ(rs.RecordCount(), 4);
    EXPECT_EQ(rs.AbsolutePosition(), 3);
    rs.MoveNext();
    EXPECT_TRUE(rs.isEOF());
    expectError(err::DbNoCurrentRecord, [&] { rs.value("code"); });
    expectError(err::DbNoCurrentRecord, [&] { rs.MoveNext(); });

    rs.MoveFirst();
    expectError(err::DbUpdateWithoutEdit, [&] { rs.setValue("gr", "x"); });
    expectError(err::DbUpdateWithoutEdit, [&] { rs.Update(); });
    rs.Edit();
    rs.setValue("gr", "바뀜");
    EXPECT_EQ(rs["gr"].toString(), "바뀜");  // the buffer reads back before Update
    rs.Update();
    rs.MoveNext();
    rs.Delete();
    expectError(err::DbRecordDeleted, [&] { rs.value(0); });
    rs.MoveNext();  // onto the record that followed the deleted one
    EXPECT_EQ(rs["gr"].toString(), "it's");
    rs.Close();
    expectError(err::DbClosed, [&] { rs.MoveFirst(); });
    EXPECT_EQ(column(db->OpenRecordset("gr"), "gr"), QStringList({"바뀜", "it's", "감"}));

    db->Append({"empty", FieldList({{"a", dbType::Long}}), {}});
    Recordset none = db->OpenRecordset("empty");
    EXPECT_TRUE(none.isEOF() && none.isBOF());
    EXPECT_EQ(none.RecordCount(), 0);
    expectError(err::DbNoCurrentRecord, [&] { none.MoveLast(); });
}

TEST_F(DatabaseTest, SqlAndCriteriaTextsOfTheLibraries) {
    makeSample();
    struct Case { const char* sql; std::vector<Variant> params; QStringList codes; };
    const std::vector<Case> cases = {
        {"SELECT * FROM gr ORDER BY code,gr", {}, {"A", "A", "B", "C"}},
        {"select * from GR where not deleted order by code desc, gr", {}, {"B", "A", "A"}},
        {"SELECT * FROM gr WHERE gr='it''s'", {}, {"C"}},
        {"SELECT * FROM gr WHERE gr=\"it's\" AND deleted", {}, {"C"}},
        {"SELECT * FROM gr WHERE date>=#2024-03-02# AND date<=#2024-03-03#", {}, {"B", "C"}},
        {"SELECT * FROM gr WHERE amount>1.5 AND gr LIKE '*과'", {}, {"A"}},
        {"SELECT * FROM gr WHERE deleted=True OR code=?", {Variant("B")}, {"B", "C"}},
        {"SELECT * FROM gr WHERE gr=?", {Variant("x' OR '1'='1")}, {}},
        {"SELECT * FROM gr WHERE code IN ('a','c')", {}, {"A", "C", "A"}},  // text compares ignore case
        {"SELECT code FROM gr WHERE (amount+1)*2 > 7", {}, {"C", "A"}},
    };
    for (const Case& c : cases) EXPECT_EQ(column(db->OpenRecordset(c.sql, c.params), "code"), c.codes) << c.sql;

    const std::vector<std::pair<const char*, int>> refused = {
        {"SELECT * FROM gr WHERE code='A", err::DbSyntax},
        {"SELECT * FROM gr WHERE date=#2024-13-45#", err::DbSyntax},
        {"SELECT * FROM gr WHERE (code='A'", err::DbSyntax},
        {"SELECT * FROM gr WHERE code=?", err::DbUnknownField},
        {"SELECT nothing FROM gr", err::DbUnknownField},
        {"SELECT * FROM gr WHERE Shell('x')", err::DbUndefinedFunction},
        {"SELECT * FROM gr; DROP TABLE gr", err::DbSyntax},
        {"SELECT * FROM missing", err::DbTableNotFound},
    };
    for (auto& [sql, number] : refused) EXPECT_EQ(errorOf([&] { db->OpenRecordset(sql); }), number) << sql;
    EXPECT_TRUE(db->hasTable("gr"));

    // Groups and sums are read-only snapshots with typed columns where they come from a field.
    Recordset sums = db->OpenRecordset("SELECT code, SUM(amount) AS total FROM gr GROUP BY code ORDER BY code");
    EXPECT_FALSE(sums.isUpdatable());
    EXPECT_EQ(sums.value(1).toDouble(), 6);
    EXPECT_EQ(sums.Fields()[0].Type, dbType::Text);
    expectError(err::DbNotSupported, [&] { sums.FindFirst("code='A'"); });
    expectError(err::DbReadOnly, [&] { sums.AddNew(); });
    EXPECT_EQ(db->Execute("DELETE * FROM gr WHERE deleted"), 1);
}

TEST_F(DatabaseTest, FindFirstAndFindNextFollowTheSetsOrder) {
    makeSample();
    for (const char* source : {"gr", "SELECT * FROM gr ORDER BY gr DESC"}) {
        Recordset rs = db->OpenRecordset(source);
        QStringList found;
        for (bool hit = rs.FindFirst("code='a' AND NOT deleted"); hit; hit = rs.FindNext("code=?", {Variant("A")}))
            found << rs["gr"].toString();
        EXPECT_TRUE(rs.NoMatch());
        EXPECT_EQ(found, std::string(source) == "gr" ? QStringList({"사과", "감"}) : QStringList({"사과", "감"}));
        long long at = rs.AbsolutePosition();
        EXPECT_FALSE(rs.FindFirst("code='Z'"));
        EXPECT_EQ(rs.AbsolutePosition(), at);  // no match leaves the position
        EXPECT_TRUE(rs.FindFirst("date=#2024-03-03#"));
        EXPECT_EQ(rs["code"].toString(), "C");
    }
}

TEST_F(DatabaseTest, ExclusiveOpenExcludesAnotherProcess) {
    db->Close();
    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    pid_t child = fork();
    if (child == 0) {
        char c = 0;
        auto held = Database::Open(path, true);
        (void)!write(ready[1], "x", 1);
        (void)!read(done[0], &c, 1);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    vendra::test::ScopedFeedback fb;
    expectError(err::DbExclusiveElsewhere, [&] { Database::Open(path); });
    expectError(err::DbExclusiveElsewhere, [&] { Database::Open(path, true); });
    EXPECT_FALSE(fncDb().IsAbleToOpenMono(path));
    EXPECT_TRUE(fb->messages.isEmpty());  // 3356 answers false silently
    ASSERT_EQ(write(done[1], "x", 1), 1);
    waitpid(child, nullptr, 0);

    EXPECT_TRUE(fncDb().IsAbleToOpenMono(path));
    auto shared = Database::Open(path);
    EXPECT_FALSE(fncDb().IsAbleToOpenMono(path));  // held shared: in use, and said so
    ASSERT_EQ(fb->messages.size(), 1);
    EXPECT_TRUE(fb->messages[0].startsWith(QString::number(err::DbFileInUse))) << fb->messages[0].toStdString();
    EXPECT_FALSE(fncDb().IsAbleToOpenMono(dir.filePath("missing.db")));
    EXPECT_TRUE(fb->messages.last().startsWith(QStringLiteral("53File not found")));
}

TEST_F(DatabaseTest, CompactAndBackupCopyWithoutTouchingTheSource) {
    makeSample();
    db->Close();
    db = Database::Open(path, true);
    Recordset rs = db->OpenRecordset("gr");
    rs.AddNew();
    rs.setValue("code", "D");
    rs.Update();  // still in the running batch
    const QString copy = dir.filePath("copy.db"), packed = dir.filePath("packed.db");
    QFile(packed).open(QIODevice::WriteOnly);  // an old destination is replaced
    Database::Backup(path, copy);
    Database::Compact(path, packed);
    for (const QString& p : {copy, packed}) EXPECT_EQ(Database::Open(p)->RecordCount("gr"), 5) << p.toStdString();
    EXPECT_EQ(Database::Open(packed)->tableDef("gr").Fields["gr"].Size, 30);

    expectError(err::InvalidArgument, [&] { Database::Compact(path, path); });
    EXPECT_NE(errorOf([&] { Database::Compact(path, dir.filePath("no/such/folder.db")); }), 0);
    EXPECT_FALSE(QFile::exists(dir.filePath("no/such/folder.db.compacting")));
    EXPECT_EQ(db->RecordCount("gr"), 5);

    QFile junk(dir.filePath("junk.db"));
    junk.open(QIODevice::WriteOnly);
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    expectError(err::DbNotADatabase, [&] { Database::Backup(junk.fileName(), copy); });
    EXPECT_FALSE(QFile::exists(copy));  // a failed copy leaves no file under the copy's name
}

}  // namespace
