#pragma once
// The feedback of a program with windows: progress in a clsWaitMessage, messages in a message
// box. A host sets it once: ostrel::setFeedback(std::make_shared<ostrel::WindowFeedback>()).
#include "ostrel/Progress.h"

namespace ostrel {

class WindowFeedback : public Feedback {
public:
    std::unique_ptr<Progress> openProgress() override;
    void message(const QString& text) override;
};

}  // namespace ostrel
