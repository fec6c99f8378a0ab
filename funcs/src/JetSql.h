#pragma once
// Reads the engine's SQL and criteria texts with a small tokenizer and writes SQLite text in
// which every literal is a bound parameter and every name a quoted identifier.
#include "ostrel/Variant.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace ostrel::dbengine {

struct SqlText {
    QString sql;
    std::vector<Variant> params;
};

// Any statement or expression; `?` takes the caller's parameters in order. Error 3075 for text
// that does not read, 3085 for an unknown function, 3061 for too few parameters.
SqlText translate(QStringView text, const std::vector<Variant>& callerParams = {});

// SELECT [cols|*] FROM table [WHERE ..] [ORDER BY ..] is `plain` (editable through the table);
// anything else (groups, sums, joins, DISTINCT) is not, and `all` holds the whole statement.
struct SelectForm {
    bool plain = false;
    QString table;
    QStringList columns;  // empty for *
    SqlText where;
    QString orderBy;      // translated list, without "ORDER BY"
    SqlText all;
};
SelectForm readSelect(QStringView text, const std::vector<Variant>& callerParams = {});
bool isSelect(QStringView text);

}  // namespace ostrel::dbengine
