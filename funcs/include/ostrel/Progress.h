#pragma once
// What long operations show the user: a progress window and plain messages. The core library
// shows nothing itself; the host sets the windowed feedback of the widgets library once
// (ostrel::setFeedback), tests set a recording one.
#include <QString>
#include <memory>

namespace ostrel {

class Progress {
public:
    virtual ~Progress() = default;
    virtual void setCaption(const QString& caption) = 0;
    virtual void setMessage(const QString& text) = 0;
};

class Feedback {
public:
    virtual ~Feedback() = default;
    // A progress window that stays open until the returned object goes.
    virtual std::unique_ptr<Progress> openProgress() = 0;
    // A message box with an OK button.
    virtual void message(const QString& text) = 0;
};

// The process's feedback. Until one is set, messages go to the debug log and progress is unseen.
Feedback& feedback();
void setFeedback(std::shared_ptr<Feedback> f);

}  // namespace ostrel
