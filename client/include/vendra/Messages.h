#pragma once
// Message boxes with the application's title: a plain one with an OK button, and a Yes/No question.
#include <QString>

class QWidget;

namespace vendra {

inline const QString& AppTitle() {
    static const QString t = QStringLiteral("Vendra");
    return t;
}

void ShowMessage(const QString& text, QWidget* parent = nullptr);
// True only for "예" (Yes); closing the box is "아니오" (No).
bool AskYesNo(const QString& text, QWidget* parent = nullptr);

}  // namespace vendra
