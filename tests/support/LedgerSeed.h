#pragma once
// A ledger database with the master tables the code lookups read, built through the engine:
// cg, gj, gr, dy, hj, gg, bg (name, code, yj, gb), grc (partners: group, withdrawn flag and the
// business fields) and pd (products, withdrawn flag), each indexed on name, code and yj.
#include "ostrel/Database.h"
#include "sembrin/pptPublicValue.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <initializer_list>
#include <utility>

namespace vendra::test {

inline void createMasterTable(ostrel::Database& db, const QString& table) {
    using namespace ostrel;
    std::vector<FieldDef> fields = {{table, dbType::Text, 50, true}, {"code", dbType::Text, 10, true}};
    if (table != u"dy") fields.push_back({"yj", dbType::Text, 10, true});
    fields.push_back({"gb", dbType::Text, 10, true});
    std::vector<IndexDef> indexes = {{table, {table}, false}, {"code", {"code"}, false}};
    if (table != u"dy") indexes.push_back({"yj", {"yj"}, false});
    if (table == u"grc" || table == u"pd") fields.push_back({"deleted", dbType::Boolean});
    if (table == u"grc") {
        fields.push_back({"gr", dbType::Text, 30, true});
        for (const char* f : {"사업자등록번호", "상호", "성명", "주소", "업태", "종목", "이메일", "전화", "비고"})
            fields.push_back({QString::fromUtf8(f), dbType::Text, 100, true});
        indexes.push_back({"ci", {QStringLiteral("사업자등록번호")}, false});
    }
    db.Append({table, FieldList(std::move(fields)), std::move(indexes)});
}

inline void createMasterTables(ostrel::Database& db) {
    for (const char* t : {"cg", "gj", "gr", "dy", "hj", "gg", "bg", "grc", "pd"})
        createMasterTable(db, QString::fromLatin1(t));
}

using Fields = std::initializer_list<std::pair<const char*, ostrel::Variant>>;

// Adds one record of the given field values.
inline void addRecord(ostrel::Database& db, const QString& table, Fields values) {
    ostrel::Recordset rs = db.OpenRecordset(table);
    rs.AddNew();
    for (const auto& [field, value] : values) rs.setValue(QString::fromUtf8(field), value);
    rs.Update();
}

// A fresh ledger of empty master tables, set as ZepDb for the life of one object; the tables are
// built once per run and copied.
struct ScopedLedger {
    QTemporaryDir dir;
    ostrel::DatabaseRef db;
    ScopedLedger() {
        static QTemporaryDir templateDir;
        static const QString empty = [] {
            const QString path = templateDir.filePath(QStringLiteral("empty.db"));
            createMasterTables(*ostrel::Database::Create(path));
            return path;
        }();
        const QString path = dir.filePath(QStringLiteral("장부.db"));
        QFile::copy(empty, path);
        db = ostrel::Database::Open(path);
        sembrin::pptPublicValue().setZepDb(db);
    }
    ~ScopedLedger() { sembrin::pptPublicValue().setZepDb(nullptr); }

    void partner(const char* name, const char* code, const char* yj = "", bool deleted = false, const char* gr = "") {
        addRecord(*db, "grc", {{"grc", QString::fromUtf8(name)}, {"code", QString::fromUtf8(code)},
                               {"yj", QString::fromUtf8(yj)}, {"deleted", deleted}, {"gr", QString::fromUtf8(gr)}});
    }
    // A record of one of the plain master tables; `yj` is left null when empty, as `dy` has none.
    void record(const char* table, const char* name, const char* code, const char* yj = "", const char* gb = "") {
        const QString t = QString::fromLatin1(table);
        addRecord(*db, t, {{table, QString::fromUtf8(name)}, {"code", QString::fromUtf8(code)},
                           {"gb", QString::fromUtf8(gb)}});
        if (*yj)
            db->Execute(QStringLiteral("UPDATE %1 SET yj=? WHERE %1=?").arg(t),
                        {QString::fromUtf8(yj), QString::fromUtf8(name)});
    }
};

}  // namespace vendra::test
