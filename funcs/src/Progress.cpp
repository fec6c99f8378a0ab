#include "ostrel/Progress.h"

#include <QDebug>

namespace ostrel {

namespace {

class Unseen : public Progress {
public:
    void setCaption(const QString&) override {}
    void setMessage(const QString&) override {}
};

class LogFeedback : public Feedback {
public:
    std::unique_ptr<Progress> openProgress() override { return std::make_unique<Unseen>(); }
    void message(const QString& text) override { qWarning().noquote() << text; }
};

std::shared_ptr<Feedback>& current() {
    static std::shared_ptr<Feedback> f = std::make_shared<LogFeedback>();
    return f;
}

}  // namespace

Feedback& feedback() { return *current(); }

void setFeedback(std::shared_ptr<Feedback> f) { current() = f ? std::move(f) : std::make_shared<LogFeedback>(); }

}  // namespace ostrel
