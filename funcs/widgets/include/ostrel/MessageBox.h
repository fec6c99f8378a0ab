#pragma once
// The message boxes of the libraries and the programs on them: a plain one with an OK button, and
// a Yes/No question whose default and Escape answer is No. Both are captioned with the
// application's display name and named "MessageBox" for tests.
#include <QString>

class QWidget;

namespace ostrel {

void showMessage(const QString& text, QWidget* parent = nullptr);
// True only for Yes; closing the box is No.
bool askYesNo(const QString& text, QWidget* parent = nullptr);

}  // namespace ostrel
