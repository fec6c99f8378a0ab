#pragma once
// Feedback that records captions, progress messages and message boxes instead of showing them;
// installed for the life of one object. `onMessage` can fail an operation at a chosen moment.
#include "ostrel/Progress.h"

#include <QStringList>
#include <functional>

namespace vendra::test {

class RecordingFeedback : public ostrel::Feedback {
public:
    QStringList captions, progress, messages;
    std::function<void(const QString& caption, const QString& message)> onMessage;

    std::unique_ptr<ostrel::Progress> openProgress() override { return std::make_unique<Window>(*this); }
    void message(const QString& text) override { messages << text; }

private:
    struct Window : ostrel::Progress {
        explicit Window(RecordingFeedback& f) : f(f) {}
        void setCaption(const QString& c) override { f.captions << (caption = c); }
        void setMessage(const QString& m) override {
            f.progress << m;
            if (f.onMessage) f.onMessage(caption, m);
        }
        RecordingFeedback& f;
        QString caption;
    };
};

// Installs a RecordingFeedback for one scope.
struct ScopedFeedback {
    std::shared_ptr<RecordingFeedback> f = std::make_shared<RecordingFeedback>();
    ScopedFeedback() { ostrel::setFeedback(f); }
    ~ScopedFeedback() { ostrel::setFeedback(nullptr); }
    RecordingFeedback* operator->() const { return f.get(); }
};

}  // namespace vendra::test
