#pragma once
// Field definitions and column structures. A field definition is an array
// (type code, width in columns, decimal places, title [, input process | "LOCKED" | "NOTSTOP"]);
// a column structure (`stru`) is a 0-based array of field definitions. Grids, output cells,
// reports, the print engine, CSV export and the selection list all take them as Variants;
// FieldDef reads one with typed accessors.
#include "ostrel/Variant.h"
#include "tessel/InputProcess.h"

#include <QString>
#include <vector>

namespace tessel {

// The value type a field's type letter names: C, N, D or B in any case; Other for anything else.
enum class FieldType { Text, Number, Date, Boolean, Other };
FieldType fieldType(const QString& letter);

struct FieldDef {
    QString type;           // the type letter as given, written back by toVariant
    int width = 0;          // columns
    int dec = 0;            // decimal places
    QString title;
    ostrel::Variant extra;  // empty, an input process object, "LOCKED" or "NOTSTOP"
    FieldType kind = FieldType::Other;  // read from `type` by fromVariant and fieldDef

    // "LOCKED" or "NOTSTOP" (any case): the field's cells never enter editing.
    bool isLocked() const;
    // "NOTSTOP" (any case): locked, and the grid's cursor passes over it.
    bool isNotStop() const;
    // The input process object of element 4, or nullptr.
    InputProcessRef inputProcess() const;

    ostrel::Variant toVariant() const;
    // Reads one definition. Error 13 when `def` is not an array or width/decimals are not numbers,
    // error 9 when it has fewer than four elements.
    static FieldDef fromVariant(const ostrel::Variant& def);
};

// One field definition as a Variant array.
ostrel::Variant fieldDef(const QString& type, int width, int dec, const QString& title,
                         const ostrel::Variant& extra = {});
// A column structure from field definitions (each a Variant array or FieldDef::toVariant()).
ostrel::Variant makeStru(std::vector<ostrel::Variant> fields);
ostrel::Variant makeStru(const std::vector<FieldDef>& fields);
// All definitions of a column structure in order. Error 13 when `stru` is not an array,
// and the errors of FieldDef::fromVariant.
std::vector<FieldDef> readStru(const ostrel::Variant& stru);
// Number of field definitions (upper bound - lower bound + 1); error 13 when not an array.
int struCount(const ostrel::Variant& stru);

}  // namespace tessel
