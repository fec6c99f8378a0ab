#pragma once
// Sort keys that put coded records before uncoded ones, the group of an account, whether a storage
// place is a warehouse, and a wildcard match. Each function keeps its own copy of its table
// (see IdleCache).
#include "sorvic/IdleCache.h"

#include <QString>

namespace sorvic {

class fncPrj {
public:
    explicit fncPrj(Clock now = {});

    // "A" + code + " " + name for a record with a code; "B" + name otherwise, or when not found.
    QString GroupOrder(const QString& sGroup);  // gr
    QString CgOrder(const QString& sCg);        // cg
    QString GjOrder(const QString& sGj);        // gj
    QString PdOrder(const QString& sPd);        // pd, withdrawn records left out
    // The storage place's kind (`gb` of cg) is "창고".
    bool IsCg(const QString& sCg);
    // The account's group (`gb` of gj) when it is one of the five; "비용" otherwise.
    QString gj2gb(const QString& sGj);
    // Pattern B: "*" all; "*w*" contains w; "w*" starts with w; "*w" ends with w; else a == B.
    bool IsPertinent(const QString& a, const QString& B) const;

private:
    ostrel::Date now() const;
    Clock now_;
    IdleCache groupOrder_, cgOrder_, gjOrder_, pdOrder_, isCg_, gj2gb_;
};

// The sort key of `name` from a cache of codes by name.
QString orderKey(const QHash<QString, QString>& codes, const QString& name);

}  // namespace sorvic
