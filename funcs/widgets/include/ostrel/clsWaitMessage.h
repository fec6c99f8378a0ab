#pragma once
// A modeless progress window with up to three lines that long operations update as they go.
#include "ostrel/Progress.h"

#include <QString>
#include <memory>

class QLabel;
class QWidget;

namespace ostrel {

class clsWaitMessage : public Progress {
public:
    clsWaitMessage();  // opens the window at once
    ~clsWaitMessage() override;  // closes it
    clsWaitMessage(const clsWaitMessage&) = delete;
    clsWaitMessage& operator=(const clsWaitMessage&) = delete;

    void setCaption(const QString& caption) override;
    // Writes into the current line, opening line 0 first when none is open.
    void setMessage(const QString& text) override;
    // Moves to the next line; at the last line further messages overwrite it.
    void OpenNewLine();
    // Clears the current line and moves back up; with no line open raises error 9.
    void CloseLine();

    int currentLine() const { return line_; }
    QString lineText(int i) const;
    QWidget* window() const;

private:
    struct Window;
    std::unique_ptr<Window> w_;
    int line_ = -1;
};

}  // namespace ostrel
