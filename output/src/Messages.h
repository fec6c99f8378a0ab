#pragma once
#include <QString>

class QWidget;

namespace tavrin::detail {

// A plain message with an OK button, captioned with the application's title.
void showMessage(const QString& text, QWidget* parent = nullptr);

// The text of an unexpected run-time error as the user sees it.
QString runtimeErrorText(int number, const QString& description);

}  // namespace tavrin::detail
