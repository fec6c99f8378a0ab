#pragma once
// The conversions between a cell's text and its typed value, shared by the cells and the panels.
#include "ostrel/DateTime.h"
#include "ostrel/Variant.h"

#include <QString>
#include <optional>

namespace tessel {

// Removes spaces at both ends (only spaces, as the platform's Trim does).

// Typed number text: "," removed, each "+" read as "000" and each "*" as "00", then the leading
// number as currency. Empty text gives empty; a number beyond the currency range gives null.
ostrel::Variant readNumberText(const QString& text);

// Typed date text: M/D, Y/M/D, Y-M-D, D, MDD, MMDD, YYMMDD...; missing parts come from the stored
// value's year and month, else from `today`. Text that yields no date gives date 0.
ostrel::Date readDateText(const QString& text, const ostrel::Variant& stored, ostrel::Date today = ostrel::Today());

// Typed text without double quotes, single quotes, "[" and "]".
QString stripQuotesAndBrackets(QString text);

// The Boolean mark of a value: "+" (length 1) or "＋" (length 2 or more) for True, nothing for True
// with length below 1, "." for False; nullopt for any other value.
std::optional<QString> booleanMark(const ostrel::Variant& v, int length);

// Typed Boolean mark: "+" (or the full-width "＋" the cell shows) True, "." False, else empty.
ostrel::Variant readBooleanText(const QString& text);

// Font size that fits a text of `byteLength` bytes into `length` columns: steps of 1.5 points.
double shrunkFontSize(int length, double fontsize, int byteLength);

// The value as display text; objects and other unconvertible values give "".
QString safeText(const ostrel::Variant& v);

}  // namespace tessel
