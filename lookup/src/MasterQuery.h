#pragma once
// The SELECT texts of one master table. Table and field names come from the table description;
// values always travel as bound parameters.
#include "sorvic/MasterTable.h"

#include "ostrel/Database.h"

#include <QString>

namespace sorvic::detail {

// ZepDb; error 3420 while no database is set.
ostrel::Database& zepDb();

// "SELECT * FROM t [WHERE NOT deleted] [AND (condition)] ORDER BY code,t" for a withdrawable
// table, the condition alone otherwise; `ordered` false leaves out the ORDER BY.
QString selectOf(const MasterTable& t, const QString& condition, bool ordered = true);

// A field's text: null and empty read as "".
QString textOf(const ostrel::Recordset& rs, const QString& field);

}  // namespace sorvic::detail
