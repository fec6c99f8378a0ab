#include "ostrel/WindowFeedback.h"

#include "ostrel/MessageBox.h"
#include "ostrel/clsWaitMessage.h"

namespace ostrel {

std::unique_ptr<Progress> WindowFeedback::openProgress() { return std::make_unique<clsWaitMessage>(); }

void WindowFeedback::message(const QString& text) { showMessage(text); }

}  // namespace ostrel
