#include "ostrel/clsWaitMessage.h"

#include "ostrel/RuntimeError.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace ostrel {

struct clsWaitMessage::Window {
    QWidget frmWait;
    QLabel* Label1[3];

    Window() {
        frmWait.setWindowTitle(QStringLiteral("처리상황알림"));
        frmWait.setFont(QFont(QStringLiteral("굴림"), 10));
        auto* layout = new QVBoxLayout(&frmWait);
        for (auto*& label : Label1) {
            label = new QLabel(&frmWait);
            label->setMinimumWidth(360);
            layout->addWidget(label);
        }
        frmWait.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
};

clsWaitMessage::clsWaitMessage() : w_(std::make_unique<Window>()) {
    w_->frmWait.show();
    QCoreApplication::processEvents();
}

clsWaitMessage::~clsWaitMessage() = default;

void clsWaitMessage::setCaption(const QString& caption) {
    w_->frmWait.setWindowTitle(caption);
    QCoreApplication::processEvents();
}

void clsWaitMessage::setMessage(const QString& text) {
    if (line_ < 0) line_ = 0;
    w_->Label1[line_]->setText(text);
    QCoreApplication::processEvents();
}

void clsWaitMessage::OpenNewLine() {
    if (line_ < 2) ++line_;
}

void clsWaitMessage::CloseLine() {
    if (line_ < 0) throw RuntimeError::outOfRange(QStringLiteral("no progress line open"));
    w_->Label1[line_]->clear();
    QCoreApplication::processEvents();
    --line_;
}

QString clsWaitMessage::lineText(int i) const {
    if (i < 0 || i > 2) throw RuntimeError::outOfRange();
    return w_->Label1[i]->text();
}

QWidget* clsWaitMessage::window() const { return &w_->frmWait; }

}  // namespace ostrel
