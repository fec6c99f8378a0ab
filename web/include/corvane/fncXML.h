#pragma once
// Tag text: flat runs of <name>content</name> elements with nothing escaped, and JARRAY tables
// carried inside them. Tag names are matched ignoring case here (clsExtractTags matches exactly).
#include "ostrel/Variant.h"

#include <QString>
#include <QStringView>
#include <memory>

namespace ostrel {
class clsTable;
}

namespace corvane {

class fncXML {
public:
    // The whole table as JARRAY text: head line, <NOF>n</NOF>, one <TR> line per record with a
    // literal-style <TD> per field, "</JARRAY>". The table is left at EOF. A string cell holding
    // "</TD>", "</TR>" or "</JARRAY>" cannot be read back as written and raises error 5.
    QString JarrayToTag(ostrel::clsTable& a) const;
    // A new table from the first JARRAY element of `qry`, positioned at its first record; numbers
    // come back as currency. No JARRAY element gives NOF 0 and no records. Malformed text (a
    // missing closing tag, a row with more cells than NOF) raises errors 5 and 9; no half-read
    // table is ever returned.
    std::shared_ptr<ostrel::clsTable> TagToJarray(QStringView qry) const;

    // The raw content of the first element `tag`; "" when the opening or the closing tag is
    // missing. A closing tag before the opening one raises error 5.
    QString ExtractTag(QStringView string1, QStringView tag) const;
    // The content without leading and trailing spaces, read by the type code (see StringToValue).
    ostrel::Variant GetTag(QStringView string1, QStringView tag, int valuetype = 8) const;
    // The content read in literal style (see ParseLiteral).
    ostrel::Variant GetTagValue(QStringView string1, QStringView tag) const;

    // One element in literal style.
    QString LiteralTag(const QString& tagname, const ostrel::Variant& v) const;
    // One element in plain style: a date as YYYY-MM-DD [HH:MM:SS], anything else its standard text.
    QString SimpleTag(const QString& tagname, const ostrel::Variant& v) const;
};

// Position of the first `needle` in `hay` at or after `from`, ASCII letters compared without
// case (tag names are ASCII; other characters by their case folding); -1 when absent.
qsizetype indexOfIgnoreCase(QStringView hay, QStringView needle, qsizetype from = 0);

}  // namespace corvane
