#pragma once
// Answers the modal windows that code under test opens, while the driver lives: message boxes are
// recorded and answered, file dialogs get a typed path (or are cancelled), and any other modal
// window goes to the callback queued for it with onNextModal.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

namespace vendra::test {

class ModalDriver {
public:
    ModalDriver() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(5);
    }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Message boxes: their texts and captions in order, and the button that answers them (a box
    // without that button is answered with its first one).
    QStringList messages, captions;
    QMessageBox::StandardButton messageAnswer = QMessageBox::Ok;

    // File dialogs: the path typed into them (empty: cancelled), and what they were opened with.
    QString fileAnswer;
    int dialogs = 0;
    QString lastDialogDirectory, lastDialogSuffix, lastDialogName;  // the name it proposed
    QStringList lastDialogFilters;
    QStringList chosen;  // what the last dialog returned

    // The next modal window that is neither a message box nor a file dialog goes to `act`.
    void onNextModal(std::function<void(QWidget*)> act) { pending_.push_back(std::move(act)); }

private:
    void poll() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) answer(box);
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || qobject_cast<QMessageBox*>(modal)) return;
        if (modal->property("vendraTestAnswered").toBool()) return;
        if (auto* dlg = qobject_cast<QFileDialog*>(modal)) {
            modal->setProperty("vendraTestAnswered", true);
            answer(dlg);
        } else if (!pending_.empty()) {
            modal->setProperty("vendraTestAnswered", true);
            const auto act = std::move(pending_.front());
            pending_.pop_front();
            act(modal);
        }
    }

    void answer(QMessageBox* box) {
        if (box->property("vendraTestAnswered").toBool()) return;
        box->setProperty("vendraTestAnswered", true);
        messages << box->text();
        captions << box->windowTitle();
        QAbstractButton* b = box->button(messageAnswer);
        if (!b && !box->buttons().isEmpty()) b = box->buttons().first();
        QPointer<QAbstractButton> button(b);
        QPointer<QMessageBox> guard(box);
        QMetaObject::invokeMethod(
            box,
            [button, guard] {
                if (button) button->click();
                else if (guard) guard->reject();
            },
            Qt::QueuedConnection);
    }

    void answer(QFileDialog* dlg) {
        ++dialogs;
        lastDialogDirectory = dlg->directory().absolutePath();
        lastDialogFilters = dlg->nameFilters();
        lastDialogSuffix = dlg->defaultSuffix();
        if (auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) lastDialogName = edit->text();
        if (fileAnswer.isEmpty()) {
            dlg->reject();
            return;
        }
        // Typed as a whole path, with nothing picked in the file list: the dialog prefers a picked
        // file, and its folder loads (and picks the suggested name) in the background.
        auto* list = dlg->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        if (list) list->clearSelection();
        if (auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->setText(fileAnswer);
        else dlg->selectFile(fileAnswer);
        if (list) list->clearSelection();
        chosen = dlg->selectedFiles();
        QMetaObject::invokeMethod(dlg, "accept");
    }

    QTimer timer_;
    std::deque<std::function<void(QWidget*)>> pending_;
};

}  // namespace vendra::test
