#pragma once
// Texts of values as they travel in requests and tag text, and the reverse conversion by type code.
#include "ostrel/Variant.h"

#include <QString>
#include <QStringView>

namespace corvane {

// Type codes of the wire; they equal the variant type numbers.
namespace valuetype {
inline constexpr int Integer = 2;
inline constexpr int Long = 3;
inline constexpr int Single = 4;
inline constexpr int Double = 5;
inline constexpr int Currency = 6;
inline constexpr int Date = 7;
inline constexpr int String = 8;
inline constexpr int Boolean = 11;
}  // namespace valuetype

// Plain text of a value: "" for empty and null, the standard number text (no grouping, "."),
// a date as YYYY-MM-DD / HH:MM:SS / both, a string itself, a Boolean as "1" or "0".
QString ValueToString(const ostrel::Variant& v);

// Reads `text` as the type `valuetype`: numbers give empty for empty or non-numeric text; a date
// reads any usual date text (unreadable text gives the zero date); a Boolean accepts numbers and
// "true"/"false" in any case; 8 and unknown codes give the text itself. Raises error 6 when the
// number does not fit the type.
ostrel::Variant StringToValue(const QString& text, int valuetype = valuetype::String);

// Literal style, the typed content of tag text: EMPTY, a number, #date#, or "text" with inner
// quotes doubled; Booleans and other values as their standard text.
QString LiteralText(const ostrel::Variant& v);

// Reads literal-style content (leading and trailing spaces ignored): EMPTY gives empty, "text"
// gives the text with doubled quotes undone (a single inner quote stays), #date# gives the date
// (the integer 0 when it is no date), a number gives currency, anything else empty.
// A lone quote character raises error 5; a number beyond currency raises error 6.
ostrel::Variant ParseLiteral(QStringView text);

}  // namespace corvane
