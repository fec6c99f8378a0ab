#pragma once
// Shared helpers of the control tests: one QApplication for the run, windows that really hold
// the focus, and answering the modal dialogs the controls open.
#include <QString>
#include <functional>

class QWidget;

namespace tessel::test {

// Shows `w`, makes it the active window and waits until it is.
bool showActive(QWidget* w);
// When the next modal window appears, `act` is called with it (from the event loop).
void onNextModal(std::function<void(QWidget*)> act);
// Types `text` into the focused widget with real key events.
void typeText(const QString& text);
// Sends one key to the focused widget.
void key(int qtKey, int modifiers = 0);
QWidget* focused();

}  // namespace tessel::test
