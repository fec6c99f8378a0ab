#pragma once
// Reading request fields: the form decoding of the web exchange library, plus the checks a
// server needs before it stores anything (byte validity, dates, numbers, texts that tag text
// could not carry back).
#include <corvane/UrlEncoding.h>
#include <ostrel/Currency.h>

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace vendra::server {

// The fields of a form body or query in code page 949; none when some value holds bytes that are
// no character of the code page (the decoder would have turned them into "?").
std::optional<corvane::FormFields> DecodeForm(QByteArrayView raw);

// A calendar date as year-month-day ("2024-03-05", also one-digit month and day, "-" or "/"),
// normalised to "yyyy-mm-dd"; none for anything else, including days a month does not have.
std::optional<QString> NormaliseDate(QStringView text);

// A decimal number (spaces around, sign, one ".", exponent) as currency; none when the text is
// not numeric or does not fit.
std::optional<ostrel::Currency> ParseAmount(QStringView text);

// Texts that can be stored and sent back as tag text: no NUL and no "</", which would end the
// element that carries it.
bool StorableText(QStringView text);

// A non-negative count written in plain digits, at most `max`.
std::optional<int> ParseCount(QStringView text, int max);

}  // namespace vendra::server
