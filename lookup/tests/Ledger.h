#pragma once
// The seeded ledger the lookup tests share: a fresh database per test, set as ZepDb.
#include "LedgerSeed.h"
#include "ostrel/Database.h"
#include "sembrin/pptPublicValue.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace sorvic::test {

using vendra::test::addRecord;

struct LedgerTest : ::testing::Test {
    QTemporaryDir dir;
    ostrel::DatabaseRef db;

    // The empty tables are built once and copied for each test.
    void SetUp() override {
        static QTemporaryDir templateDir;
        static const QString empty = [] {
            const QString path = templateDir.filePath(QStringLiteral("empty.db"));
            vendra::test::createMasterTables(*ostrel::Database::Create(path));
            return path;
        }();
        const QString path = dir.filePath(QStringLiteral("장부.db"));
        ASSERT_TRUE(QFile::copy(empty, path));
        db = ostrel::Database::Open(path);
        sembrin::pptPublicValue().setZepDb(db);
    }
    void TearDown() override { sembrin::pptPublicValue().setZepDb(nullptr); }

    void partner(const char* name, const char* code, const char* yj, bool deleted = false, const char* group = "") {
        addRecord(*db, "grc", {{"grc", QString::fromUtf8(name)}, {"code", QString::fromUtf8(code)},
                               {"yj", QString::fromUtf8(yj)}, {"deleted", deleted}, {"gr", QString::fromUtf8(group)}});
    }
    void record(const char* table, const char* name, const char* code, const char* yj = "", const char* gb = "") {
        addRecord(*db, QString::fromLatin1(table), {{table, QString::fromUtf8(name)}, {"code", QString::fromUtf8(code)},
                                                     {"gb", QString::fromUtf8(gb)}});
        if (*yj) db->Execute(QStringLiteral("UPDATE %1 SET yj=? WHERE %1=?").arg(QString::fromLatin1(table)),
                             {QString::fromUtf8(yj), QString::fromUtf8(name)});
    }
};

}  // namespace sorvic::test
