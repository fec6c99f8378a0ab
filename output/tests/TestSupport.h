#pragma once
// Helpers shared by the output tests: tables, structures and a driver for modal windows.
#include "ostrel/clsTable.h"
#include "tessel/Stru.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace testsupport {

// A table of `records` records whose cell (i, j) is `cell(i, j)`.
inline ostrel::TableRef makeTable(int fields, int records,
                                  const std::function<ostrel::Variant(int, int)>& cell) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(fields);
    for (int i = 0; i < records; ++i) {
        t->AppendBlank();
        for (int j = 0; j < fields; ++j) t->setCell(i, j, cell(i, j));
    }
    return t;
}

inline ostrel::Variant stru(std::vector<ostrel::Variant> defs) { return tessel::makeStru(std::move(defs)); }
inline ostrel::Variant col(const char* type, int width, int dec, const QString& title) {
    return tessel::fieldDef(QString::fromUtf8(type), width, dec, title);
}

// Answers modal windows while a test runs code that opens them: message boxes are recorded and
// confirmed, file dialogs get the file name `fileAnswer` (or are cancelled when it is empty).
class ModalDriver {
public:
    ModalDriver() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }
    QStringList messages;
    QString fileAnswer;
    QString lastDialogDirectory;
    QStringList lastDialogFilters;
    QString lastDialogSuffix;
    int dialogs = 0;
    QStringList chosen;  // what the dialog returned last

private:
    void poll() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            messages << box->text();
            box->done(QMessageBox::Ok);
        } else if (auto* dlg = qobject_cast<QFileDialog*>(w)) {
            ++dialogs;
            lastDialogDirectory = dlg->directory().absolutePath();
            lastDialogFilters = dlg->nameFilters();
            lastDialogSuffix = dlg->defaultSuffix();
            if (fileAnswer.isEmpty()) {
                dlg->reject();
            } else {
                // Typed as a whole path, with nothing picked in the file list: the dialog prefers a
                // picked file, and its folder loads (and picks the suggested name) in the background.
                if (auto* list = dlg->findChild<QAbstractItemView*>(QStringLiteral("listView")))
                    list->clearSelection();
                if (auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    edit->setText(fileAnswer);
                else
                    dlg->selectFile(fileAnswer);
                if (auto* list = dlg->findChild<QAbstractItemView*>(QStringLiteral("listView")))
                    list->clearSelection();
                chosen = dlg->selectedFiles();
                QMetaObject::invokeMethod(dlg, "accept");
            }
        }
    }
    QTimer timer_;
};

}  // namespace testsupport
