#pragma once
// The report print engine: paged reports of a table on the current printer (tavrin/Printer.h).
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"

#include <QList>
#include <QString>

namespace tavrin {

// The description as one line: array elements joined by two spaces (dates as YY/MM/DD),
// a string as it is, anything else empty.
QString joindescr(const ostrel::Variant& vDescr);

// Prints one text in the box (x, y, width, height), twips. A width or height of 0 is derived
// from the text and the font; `fontsize` 0 keeps the printer's size. `align` letters: L, C, R
// horizontal, T no inset, B a frame. A text wider than its box is shrunk in 0.12 pt steps.
// Positions outside 16 bits raise error 6.
void PrintCell(int x, int y, int width, int height, const QString& text, double fontsize,
               const QString& align);

// Prints the report. Errors never leave it: a printer error (482) or any other failure is
// shown to the user, the document is dropped, and the call returns. `landscape` is set true when
// the large-letter setting is on.
void PrintReport(const QString& subject, const ostrel::Variant& descr, const ostrel::TableRef& table,
                 const ostrel::Variant& stru, const QString& registrationNumber, const QString& companyName,
                 const QString& telephone, bool divideby5, bool& landscape);

// The page layout PrintReport uses for a structure, exposed for the viewer and for tests.
struct ReportGeometry {
    int topMargin = 900;
    int leftMargin = 600;
    int lineHeight = 300;
    int rowsPerPage = 40;
    double fontSize = 11;
    int width = 0;           // W: characters of the report, each column's length + 1
    QList<int> columnX;      // x of each column
    QList<int> boxWidth;     // box width of each column
};
ReportGeometry reportGeometry(const ostrel::Variant& stru, bool landscape, bool largeLetters, bool divideby5);

}  // namespace tavrin
