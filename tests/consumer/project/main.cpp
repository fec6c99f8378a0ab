// A ledger-side program using the installed libraries: values, the database engine and helpers,
// the database texts, the structure check, the backup and a code lookup.
#include <ostrel/Cp949.h>
#include <ostrel/Database.h>
#include <ostrel/Variant.h>
#include <ostrel/fncDb.h>
#include <ostrel/fncSql.h>
#include <sembrin/fncChkdb.h>
#include <sembrin/fncDbBackup.h>
#include <sembrin/pptPublicValue.h>
#include <sorvic/Lookups.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

using namespace ostrel;

int main() {
    Variant amount(Currency::fromDouble(1234.5));
    if (amount.toString() != QStringLiteral("1234.5")) return 1;
    if (cp949::byteLength(u"가A") != 3) return 2;

    QTemporaryDir dir;
    Database::Create(dir.filePath("books.db"))->Close();
    auto db = Workspace().OpenDatabase(dir.filePath("books.db"));
    auto st = Variant::array({Variant::array({"title", int16_t(dbType::Text), int16_t(50)}),
                              Variant::array({"value", int16_t(dbType::Text), int16_t(50), true})});
    fncDb().DbMakeTable(*db, "TAG", st, Variant::array({"title"}));
    sembrin::pptPublicValue store;
    store.setZepDb(db);
    store.setZepTag("last", "2024-03-05");
    if (store.ZepTag("last") != QStringLiteral("2024-03-05")) return 3;
    if (sembrin::fncChkdb().check_table("TAG", st, Variant::array({"title"}), true)) return 4;
    Recordset rs = db->OpenRecordset(fncSql().MakeSelectSql("*", "TAG", "title=?"), {Variant("last")});
    if (rs.isEOF() || rs["value"].toString() != QStringLiteral("2024-03-05")) return 5;
    sembrin::fncDbBackup().dbBackUp(dir.path(), "books", "db");
    if (QDir(dir.filePath("backup")).entryList(QDir::Files).size() != 1) return 6;
    auto grc = Variant::array({Variant::array({"grc", int16_t(dbType::Text), int16_t(50)}),
                               Variant::array({"code", int16_t(dbType::Text), int16_t(10)}),
                               Variant::array({"yj", int16_t(dbType::Text), int16_t(10), true}),
                               Variant::array({"deleted", int16_t(dbType::Boolean)})});
    fncDb().DbMakeTable(*db, "grc", grc, Variant::array({"code"}));
    db->Execute("INSERT INTO grc (grc, code, yj, deleted) VALUES ('배추상회', '007', '', False)");
    QString typed = QStringLiteral("7");
    sorvic::yjGrc lookup([](const QString&, const clsTable&) { return Variant::null(); });
    if (lookup.AfterEnter(typed).toString() != QStringLiteral("배추상회")) return 7;
    store.setZepDb(nullptr);
    std::puts("consumer ok");
    return 0;
}
