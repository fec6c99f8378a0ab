#pragma once
#include <QString>
#include <exception>

class QWidget;

namespace tavrin::detail {

// The text of a failure as the user sees it: a run-time error with its number, any other exception
// as the internal error.
QString runtimeErrorText(const std::exception& e);

// The one report of a failure that has no caller to be handed to.
void showRuntimeError(const std::exception& e, QWidget* parent = nullptr);

}  // namespace tavrin::detail
