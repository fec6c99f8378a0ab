#pragma once
// Database helpers: tables and fields tested, made from structure descriptions, copied and
// rebuilt in place; files compacted, tested for exclusive use, renamed and deleted.
#include "ostrel/Database.h"
#include "ostrel/Progress.h"
#include "ostrel/Variant.h"

#include <QString>

namespace ostrel {

// A field description: st elements are arrays (name, type [, length [, allowzerolength]]).
struct fd {
    QString name;
    int16_t type = 0;
    int16_t length = 0;
    bool allowzerolength = false;
    static fd from(const Variant& element);  // missing trailing elements give 0 and false
};

// An index description: ix elements are a name, or arrays (name [, unique]).
struct id {
    QString name;
    bool unique = false;
    static id from(const Variant& element);
};

class fncDb {
public:
    bool DbExistTable(Database& db, const QString& tdf) const;    // exact letter case
    bool DbExistField(const FieldList& fs, const QString& f) const;  // exact letter case

    // Copies every record of sSource into sDest, field by field by name; `wm` shows " 0 % 진행중"
    // and the percentage as it grows.
    void DbAppendFromExternal(Database& dbDest, const QString& sDest, Database& dbSource, const QString& sSource,
                              Progress* wm = nullptr) const;
    void DbAppendFrom(Database& db, const QString& sDest, const QString& sSource, Progress* wm = nullptr) const;

    // Rebuilds sTable with the fields `st` and indexes `ix` through the table sTemp (sTable +
    // "_temp" when empty), keeping its records. A run interrupted in either stage resumes on the
    // next call; the table is deleted only once the temporary table holds every record.
    void DbModifyStructure(Database& db, const QString& sTable, const Variant& st, const Variant& ix,
                           QString sTemp = {}) const;
    void DbMakeTable(Database& db, const QString& sTableName, const Variant& st, const Variant& ix) const;

    // Compacts `source` into `destination`; the source stays as it was, also when this fails.
    void DbPack(const QString& source, const QString& destination) const;
    // True when the file opens exclusively. False otherwise; every error but 3356 is also shown
    // as its number followed by its description.
    bool IsAbleToOpenMono(const QString& ZepFullName) const;
    bool IsReadOnly(const QString& sPathName) const;  // error 53 for a missing file
    void RenameUncon(const QString& source, const QString& destination) const;
    void KillUncon(const QString& sFull) const;
};

}  // namespace ostrel
