#pragma once
// Code page 949 (Korean, the unified Hangul code): the encoding of all text that leaves the system.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace ostrel::cp949 {

// Characters the code page lacks become "?" (one byte), as the platform converts them.
QByteArray encode(QStringView text);
// Byte sequences that are no character of the code page become "?".
QString decode(QByteArrayView bytes);
// Bytes of `text` in the code page: 1 for ASCII and unmappable characters, 2 for Hangul and
// the other double-byte characters. A surrogate pair counts once, as the "?" it becomes.
int byteLength(QStringView text);
// Bytes of one UTF-16 code unit (surrogates count 1: a pair is handled by byteLength).
int charBytes(char16_t unit);

}  // namespace ostrel::cp949
