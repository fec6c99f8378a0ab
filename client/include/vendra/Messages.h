#pragma once
// Plain message boxes with an OK button and the application's title.
#include <QString>

class QWidget;

namespace vendra {

inline const QString& AppTitle() {
    static const QString t = QStringLiteral("Vendra");
    return t;
}

void ShowMessage(QWidget* parent, const QString& text);

}  // namespace vendra
