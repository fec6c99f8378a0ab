#pragma once
// CSV export of a report: the title, the description, the column titles and every record, one
// write-list line each, in code page 949.
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tavrin {

// One line of values, comma-separated and ended by CR LF: strings in double quotes (inner quotes
// doubled), numbers bare with ".", dates as #yyyy-mm-dd hh:mm:ss#, Booleans #TRUE#/#FALSE#, null
// #NULL#, empty as nothing. Arrays cannot be written (error 13).
QByteArray WriteListLine(const QList<ostrel::Variant>& values);

// Writes the report to `path`, replacing the file only when the whole text was written. The table
// is walked with MoveFirst / MoveNext, so its position is left at the end. Returns false with a
// message for the user in `error` when the file cannot be created or written; other failures
// (a structure or a value that cannot be written) raise their run-time error and leave an
// existing file as it was.
bool WriteCsvFile(const QString& path, const QString& subject, const ostrel::Variant& descr,
                  const ostrel::TableRef& table, const ostrel::Variant& stru, QString* error);

// The export as the user runs it: asks for the file (panCommonDialog::CsvFileSave), writes it
// under a progress window and says "CSV 파일 내보내기 완료" when done. A file that cannot be
// written gives a message instead, and false. Cancel returns false silently.
bool ExportCsv(const QString& subject, const ostrel::Variant& descr, const ostrel::TableRef& table,
               const ostrel::Variant& stru);

}  // namespace tavrin
