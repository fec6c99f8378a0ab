#pragma once
// Spaces (U+0020 only, not tabs or other blanks) cut from both ends of a text: how typed values,
// tag contents, settings lines and CSV fields are read everywhere.
#include <QString>
#include <QStringView>

namespace ostrel {

inline QStringView trimSpaces(QStringView t) {
    qsizetype b = 0, e = t.size();
    while (b < e && t[b] == u' ') ++b;
    while (e > b && t[e - 1] == u' ') --e;
    return t.mid(b, e - b);
}

}  // namespace ostrel
