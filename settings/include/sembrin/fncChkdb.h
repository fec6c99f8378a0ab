#pragma once
// Compares a table of ZepDb with the structure the program expects.
#include "ostrel/Variant.h"

#include <QString>

namespace sembrin {

class fncChkdb {
public:
    // `st`: field descriptions (name, type [, length [, allowzerolength]]); `ix`: index names or
    // (name [, unique]). Each difference is shown in its own message unless bSilent; the result
    // is whether the table is missing or differs. Changes nothing.
    bool check_table(const QString& tablename, const ostrel::Variant& st, const ostrel::Variant& ix,
                     bool bSilent = false) const;
};

}  // namespace sembrin
