// The grid's line commands: Ctrl+Y deletes the cursor's line, Ctrl+N inserts a blank one above it,
// Ctrl+F finds a text in the cursor's field.
#include "ostrel/RuntimeError.h"
#include "tessel/CellText.h"
#include "tessel/Twips.h"
#include "tessel/ab.h"
#include "tessel/invar.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>

namespace tessel {

using ostrel::Variant;

void ab::deleteLine() {
    table_->setRecno(cursor_.rec);
    Variant removed = table_->Record();
    table_->Delete();
    interruptPass_.lineDeleted(cursor_.rec);
    redisplay();
    clearPassby();
    int r = cursor_.rec;
    QPointer<ab> self(this);
    emit LineDeleted(r, removed);
    if (self) emit Modified();
}

void ab::insertLine() {
    const int rc = RecCount();
    if (rc >= kMaxRecords || cursor_.rec > rc) return;  // a full grid takes no more lines
    table_->setRecno(cursor_.rec);
    table_->Insert();
    interruptPass_.lineInserted(cursor_.rec);
    redisplay();
    for (int f = 0; f < df_; ++f) {
        table_->setCell(cursor_.rec, f, Variant());
        if (isShown(cursor_.rec)) cells_[size_t((cursor_.rec - cursor_.top) * df_ + f)]->setValue(Variant());
    }
    clearPassby();
    emit Modified();
}

void ab::find() {
    QPointer<ab> self(this);
    const int fie = cursor_.fie;
    QInputDialog dlg(this);
    dlg.setWindowTitle(QStringLiteral("찾기"));
    dlg.setLabelText(defs_[size_t(fie)].title + QStringLiteral("  필드 안에서 찾을 문자열을 입력하세요."));
    dlg.setTextValue(lastFind_);
    if (const QScreen* s = screen() ? screen() : QApplication::primaryScreen()) {
        const QRect g = s->geometry();
        dlg.move(g.x() + g.width() / 2 - twipsToPixels(3200), g.y() + g.height() / 2);
    }
    const int result = dlg.exec();
    if (!self || !table_) return;
    const QString answer = result == QDialog::Accepted ? dlg.textValue() : QString();
    if (answer.isEmpty()) return;
    const bool isNew = answer != lastFind_;
    lastFind_ = answer;

    const int rc = RecCount();
    int found = -1, count = 0;
    auto test = [&](int r) {
        if (!safeText(table_->cellRef(r, fie)).contains(answer, Qt::CaseInsensitive)) return false;
        if (found < 0) found = r;
        ++count;
        return true;
    };
    for (int r = cursor_.rec + 1; r < rc; ++r)
        if (test(r) && !isNew) break;
    if (found < 0 || isNew)
        for (int r = 0; r <= std::min(cursor_.rec, rc - 1); ++r)
            if (test(r) && !isNew) break;

    if (found >= 0) {
        cursor_.top = cursor_.rec = found;
        cursor_.fie = fie;
        redisplay();
        focusCursor();
        if (isNew && self)
            QMessageBox::information(this, QStringLiteral("찾기"),
                                     QStringLiteral("'") + answer + QStringLiteral("' 문자열 ") +
                                         QString::number(count) + QStringLiteral(" 개를 찾았습니다."));
    } else {
        QMessageBox::information(this, QStringLiteral("찾기"), answer + QStringLiteral(" 문자열을 발견하지 못했습니다."));
    }
    // Back to the grid's window after the dialogs, so that the keys come to the cursor again.
    if (self && window()->isVisible()) window()->activateWindow();
}

}  // namespace tessel
