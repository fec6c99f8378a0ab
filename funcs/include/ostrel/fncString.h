#pragma once
// Byte-counted string functions for Korean text (code page 949 columns), quoting and splitting.
#include "ostrel/Variant.h"

#include <QString>

namespace ostrel {

// Stateless: one instance may serve the whole program. Byte counts and widths are code page 949
// bytes (ASCII 1, Hangul 2). Negative counts or widths, or a start below 1, raise error 5; counts
// outside 16 bits raise error 6.
class fncString {
public:
    // True when every token of `sSylables` (a run of Latin letters, a number such as 12.5, or any
    // other single character) occurs in `sWord` in order.
    bool SylableInclude(const QString& sWord, const QString& sSylables) const;
    bool IsEqualIgnoreCase(const QString& string1, const QString& string2) const;
    // `c` lies within a-z or A-Z (binary comparison); the empty text gives false.
    bool IsAlphabeticChr(const QString& c) const;
    bool IsInStr(const QString& string1, const QString& string2) const;
    QString RemoveStr(const QString& string1, const QString& string2) const;

    // Byte ranges; a double-byte character cut at either end is left out.
    QString leftDB(const QString& s, int l) const;          // trailing spaces removed
    QString midDB(const QString& s, int p, int l) const;    // p is 1-based; trailing spaces removed
    QString rightDB(const QString& s, int l) const;         // trailing spaces kept
    int lenDB(const QString& s) const;                      // error 6 beyond 32767 bytes

    // Exactly `n` bytes wide; a double-byte character cut by the limit becomes a space.
    QString padr(const QString& s, int n) const;
    QString padl(const QString& s, int n) const;

    QString quot(const QString& s) const;       // "a"b" -> "a""b" wrapped in quotes
    QString SliceQuot(const QString& s) const;  // strips one outer pair of quotes; error 5 for a lone quote
    // Words separated by runs of spaces, as a 0-based array of strings (empty array for blank text).
    Variant SplitBySpace(const QString& s) const;
};

}  // namespace ostrel
