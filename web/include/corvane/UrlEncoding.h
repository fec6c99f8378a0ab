#pragma once
// Form encoding of the wire: values travel as code page 949 bytes, percent-encoded byte by byte.
// Both sides use these: the client to build requests, the order server to read them.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

namespace corvane {

// Code page 949 bytes of `text` ("?" for characters the code page lacks); every byte except
// ASCII letters and digits becomes "%" and two upper-case hex digits (a space is %20, never "+").
QString URLEncode(QStringView text);

// Reverse of URLEncode for one name or value of a form body or query: "%XY" gives the byte XY,
// "+" a space, other bytes stand for themselves; the bytes are then read as code page 949.
// A "%" not followed by two hex digits is kept as it is.
QString URLDecode(QByteArrayView encoded);

// One name=value piece of a form; the order of the pieces is kept, as are repeated names.
using FormField = std::pair<QString, QString>;
using FormFields = std::vector<FormField>;

// Splits a form body or query ("a=1&b=%B0%A1") at "&" and the first "=" of each piece and
// decodes both sides. Empty pieces are skipped; a piece without "=" has an empty value.
// A leading "?" is ignored, so the query part of a target can be passed as it is.
FormFields ParseForm(QByteArrayView body);

// The value of the first field called `name` (exact case), or `fallback` when there is none.
QString FormValue(const FormFields& fields, QStringView name, const QString& fallback = {});
bool HasField(const FormFields& fields, QStringView name);

}  // namespace corvane
