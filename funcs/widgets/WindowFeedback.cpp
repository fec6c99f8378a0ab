#include "ostrel/WindowFeedback.h"

#include "ostrel/clsWaitMessage.h"

#include <QApplication>
#include <QMessageBox>

namespace ostrel {

std::unique_ptr<Progress> WindowFeedback::openProgress() { return std::make_unique<clsWaitMessage>(); }

void WindowFeedback::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
    box.exec();
}

}  // namespace ostrel
