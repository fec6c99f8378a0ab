#pragma once
// The program's title: it captions the windows and, as the application's name, the message boxes
// (ostrel::showMessage, ostrel::askYesNo).
#include "ostrel/MessageBox.h"

#include <QString>

namespace vendra {

inline const QString& AppTitle() {
    static const QString t = QStringLiteral("Vendra");
    return t;
}

}  // namespace vendra
