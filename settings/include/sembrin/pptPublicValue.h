#pragma once
// The process-wide store: every instance of these classes reads and writes the same values,
// which live in the library for as long as it is loaded.
#include "ostrel/Database.h"
#include "ostrel/Variant.h"

#include <QString>

namespace sembrin {

class pptPublicValue {
public:
    QString ZepProgramVersion() const;
    void setZepProgramVersion(const QString& v);
    QString ZepPath() const;
    void setZepPath(const QString& v);
    QString ZepName() const;
    void setZepName(const QString& v);
    QString ZepExt() const;
    void setZepExt(const QString& v);
    QString ZepFullName() const;
    void setZepFullName(const QString& v);

    // The open ledger database and its workspace.
    ostrel::DatabaseRef ZepDb() const;
    void setZepDb(ostrel::DatabaseRef db);
    ostrel::WorkspaceRef ZepWs() const;
    void setZepWs(ostrel::WorkspaceRef ws);

    bool ZepReadOnly() const;
    void setZepReadOnly(bool v);

    // Settings: the key is upper-cased, the value upper-cased and trimmed of spaces.
    // A missing key reads as the empty value.
    ostrel::Variant inisetting(const QString& key) const;
    void setInisetting(const QString& key, const ostrel::Variant& value);

    // Free-form values: the key is upper-cased, the value kept as given.
    ostrel::Variant PublicValue(const QString& key) const;
    void setPublicValue(const QString& key, const ostrel::Variant& value);

    // Short named texts in the tables TAG and Properties of ZepDb (fields title and value); a
    // value is stored cut to 50 bytes of code page 949. Reads give "" while no database is set;
    // writes and deletes need the database and the table.
    QString ZepTag(const QString& sTitle) const;
    void setZepTag(const QString& sTitle, const QString& value);
    void DelZepTag(const QString& sTitle);
    QString ZepProperties(const QString& sTitle) const;
    void setZepProperties(const QString& sTitle, const QString& value);
    void DelZepProperties(const QString& sTitle);
};

}  // namespace sembrin
