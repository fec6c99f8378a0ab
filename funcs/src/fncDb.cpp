#include "ostrel/fncDb.h"

#include "ostrel/RuntimeError.h"
#include "ostrel/fncNumber.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace ostrel {

namespace {

Variant element(const VArray& a, int i) { return a.contains(a.lower + i) ? a.at(a.lower + i) : Variant(); }

QString percentText(int p) { return fncNumber().fdn(Variant(int32_t(p)), 3) + QStringLiteral(" % 진행중"); }

TableDef definitionOf(const QString& name, const Variant& st, const Variant& ix) {
    TableDef def{name, {}, {}};
    for (const Variant& e : st.toArray().items) {
        fd f = fd::from(e);
        def.Fields.Append({f.name, f.type, f.length, f.allowzerolength});
    }
    if (ix.isArray())
        for (const Variant& e : ix.toArray().items) {
            id i = id::from(e);
            def.Indexes.push_back({i.name, {i.name}, i.unique});
        }
    return def;
}

}  // namespace

fd fd::from(const Variant& e) {
    const VArray& a = e.toArray();
    return {element(a, 0).toString(), element(a, 1).toInteger(), element(a, 2).toInteger(), element(a, 3).toBool()};
}

id id::from(const Variant& e) {
    if (!e.isArray()) return {e.toString(), false};
    const VArray& a = e.toArray();
    return {element(a, 0).toString(), element(a, 1).toBool()};
}

bool fncDb::DbExistTable(Database& db, const QString& tdf) const { return db.hasTable(tdf); }

bool fncDb::DbExistField(const FieldList& fs, const QString& f) const { return fs.contains(f); }

void fncDb::DbAppendFromExternal(Database& dbDest, const QString& sDest, Database& dbSource, const QString& sSource,
                                 Progress* wm) const {
    int shown = 0;
    if (wm) wm->setMessage(percentText(0));
    dbDest.AppendFrom(sDest, dbSource, sSource, [&](long long pos, long long count) {
        if (!wm) return;
        int p = static_cast<int>(std::floor(static_cast<double>(pos) / static_cast<double>(count) * 100));
        if (p <= shown) return;  // the text only changes with the percentage
        shown = p;
        wm->setMessage(percentText(shown));
    });
    dbDest.Flush();
}

void fncDb::DbAppendFrom(Database& db, const QString& sDest, const QString& sSource, Progress* wm) const {
    DbAppendFromExternal(db, sDest, db, sSource, wm);
}

void fncDb::DbMakeTable(Database& db, const QString& sTableName, const Variant& st, const Variant& ix) const {
    db.Append(definitionOf(sTableName, st, ix));
}

void fncDb::DbModifyStructure(Database& db, const QString& sTable, const Variant& st, const Variant& ix,
                              QString sTemp) const {
    auto wm = feedback().openProgress();
    wm->setCaption(QStringLiteral("테이블 구조 변경중"));
    if (sTemp.isEmpty()) sTemp = sTable + QStringLiteral("_temp");
    bool stage2 = false;
    if (DbExistTable(db, sTemp)) {
        // A table lost in stage 2 before it was made again counts as empty.
        long long table = DbExistTable(db, sTable) ? db.RecordCount(sTable) : 0;
        stage2 = table < db.RecordCount(sTemp);
        if (!stage2) db.DeleteTable(sTemp);
    }
    if (!stage2) {
        wm->setCaption(QStringLiteral("테이블 구조 변경 1단계, 임시 테이블 작성"));
        DbMakeTable(db, sTemp, st, ix);
        DbAppendFrom(db, sTemp, sTable, wm.get());
        // The table goes only when its copy is whole.
        if (db.RecordCount(sTemp) != db.RecordCount(sTable))
            throw RuntimeError::engine(err::DbEngine, QStringLiteral("%1 was not copied whole").arg(sTable));
    }
    wm->setCaption(QStringLiteral("테이블 구조 변경중 2단계, 새 테이블 작성"));
    if (DbExistTable(db, sTable)) db.DeleteTable(sTable);
    DbMakeTable(db, sTable, st, ix);
    DbAppendFrom(db, sTable, sTemp, wm.get());
    db.DeleteTable(sTemp);
}

void fncDb::DbPack(const QString& source, const QString& destination) const { Database::Compact(source, destination); }

bool fncDb::IsAbleToOpenMono(const QString& ZepFullName) const {
    try {
        Database::Open(ZepFullName, true, IsReadOnly(ZepFullName))->Close();
        return true;
    } catch (const RuntimeError& e) {
        if (e.number() != err::DbExclusiveElsewhere) feedback().message(QString::number(e.number()) + e.description());
        return false;
    }
}

bool fncDb::IsReadOnly(const QString& sPathName) const {
    QFileInfo info(sPathName);
    if (!info.exists()) throw RuntimeError::fileNotFound(sPathName);
    return !(info.permissions() & QFileDevice::WriteOwner);
}

void fncDb::RenameUncon(const QString& source, const QString& destination) const {
    if (!QFileInfo::exists(source)) throw RuntimeError::fileNotFound(source);
    KillUncon(destination);
    if (!QFile::rename(source, destination)) throw RuntimeError::pathFileAccess(destination);
}

void fncDb::KillUncon(const QString& sFull) const {
    if (QFileInfo(sFull).exists() && !QFile::remove(sFull)) throw RuntimeError::pathFileAccess(sFull);
}

}  // namespace ostrel
