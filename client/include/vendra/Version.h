#pragma once
// The client's only version marker: shown in the captions and compared with the server's at login.
#include <QString>

namespace vendra {

inline const QString& VersionText() {
    static const QString v = QStringLiteral("1310.29");
    return v;
}

}  // namespace vendra
