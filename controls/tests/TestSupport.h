#pragma once
// Shared helpers of the control tests: one QApplication for the run, windows that really hold
// the focus, and keys typed into the focused widget.
#include <QString>

class QWidget;

namespace tessel::test {

// Shows `w`, makes it the active window and waits until it is.
bool showActive(QWidget* w);
// Types `text` into the focused widget with real key events.
void typeText(const QString& text);
// Sends one key to the focused widget.
void key(int qtKey, int modifiers = 0);
QWidget* focused();

}  // namespace tessel::test
