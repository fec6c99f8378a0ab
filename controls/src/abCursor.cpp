// The grid's focus, keys and timer: moves reported by the cells are carried out from the timer,
// after the key handler has returned, through the pure cursor arithmetic of GridCursor.
#include "tessel/KeyCode.h"
#include "tessel/ab.h"
#include "tessel/invar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace tessel {

namespace {
// A CellGotFocus handler that keeps steering would otherwise hold a typed key forever.
constexpr int kMaxChainedMoves = 1000;
}  // namespace

void ab::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    if (!table_) return;
    const int row = std::clamp(cursor_.row(), 0, maxrow_ - 1), f = std::clamp(cursor_.fie, 0, df_ - 1);
    cells_[size_t(row * df_ + f)]->Text1()->setFocus(Qt::OtherFocusReason);
}

void ab::onCellFocus(int index) {
    if (!table_ || index >= maxrow_ * df_) return;
    cursor_ = cursorAt(index);
    focusRow_ = index / df_;
    focusField_ = cursor_.fie;
    if (beyondUsableLines(cursor_, shape())) {
        nextkey_ = vk::Up;
        kick();
        return;
    }
    arrival();
}

void ab::arrival() {
    const size_t f = size_t(cursor_.fie);
    const bool notStop = notStop_[f] && !allNotStop_;  // a grid of only NOTSTOP fields still stops
    if (!passby_[f] && !notStop) {
        QPointer<ab> self(this);
        // By reference: the handler may steer the cursor itself as well as through nextkey.
        emit CellGotFocus(cursor_.rec, cursor_.fie, lastkey_, nextkey_);
        if (!self || !table_) return;
        if (nextkey_ == vk::Down && cursor_.rec >= RecCount() - 1) nextkey_ = 0;
    } else {
        passby_[f] = false;
        nextkey_ = passOverKey(cursor_, lastkey_, shape());
    }
    kick();
}

void ab::onCellKey(int index, int& key) {
    if (!table_ || index >= maxrow_ * df_) return;
    cursor_ = cursorAt(index);
    const int rc = RecCount();
    QPointer<ab> self(this);
    if (key == vk::Esc) {
        emit abexit(key);
        return;
    }
    if (key == vk::Enter && ((cursor_.rec == rc && doubleEnterExit_ && cursor_.fie == 1) || returnExit_)) {
        emit abexit(key);
        return;
    }
    if (key == vk::PgDn && cursor_.rec == rc) {
        emit keycommand(key);
        return;
    }
    if (isGridMoveKey(key)) {
        nextkey_ = key;
        if (self) kick();
        return;
    }
    switch (key) {
    case keycmd::CtrlY:
        if (!lineLock_ && cursor_.rec < rc) deleteLine();
        return;
    case keycmd::CtrlN:
        if (!lineLock_) insertLine();
        return;
    case keycmd::CtrlF: find(); return;
    default: emit keycommand(key); return;
    }
}

void ab::onCellModified(int index) {
    if (!table_ || index >= maxrow_ * df_) return;
    const int rec = index / df_ + cursor_.top, fie = index % df_;
    const int rc = RecCount();
    invar* c = cells_[size_t(index)];
    if ((rec < rc || (rec == rc && !lineLock_)) && rec < kMaxRecords) {
        ensureRecord(rec);
        ostrel::Variant old = table_->Cell(rec, fie);
        table_->setCell(rec, fie, c->value());
        int r = rec, f = fie;
        bool internaledit = true;
        QPointer<ab> self(this);
        emit CellModified(r, f, old, internaledit);
        if (self) emit Modified();
    } else {
        c->setValue(ostrel::Variant());  // not stored: the cell shows what the table holds there
    }
}

bool ab::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type type = e->type();
    if (type == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        const bool tab = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
        if (tab && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            leave(k->key() == Qt::Key_Tab && !(k->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    if ((type == QEvent::KeyPress || type == QEvent::InputMethod) && isGridMoveKey(nextkey_)) {
        // The event queue delivers a fast typist's keys before the timer: carry the pending moves
        // out now (a pass-over may chain several), so the key is not typed into the cell being left.
        if (!carryOutPending()) return true;
        QWidget* now = QApplication::focusWidget();
        if (now && now != watched) {
            const std::unique_ptr<QEvent> copy(e->clone());
            QCoreApplication::sendEvent(now, copy.get());
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

bool ab::carryOutPending() {
    QPointer<ab> self(this);
    for (int guard = 0; self && table_ && isGridMoveKey(nextkey_) && guard < kMaxChainedMoves; ++guard) tick();
    return !self.isNull();
}

void ab::leave(bool forward) {
    // A pending move would take the focus back after it has left.
    if (!carryOutPending()) return;
    nextkey_ = 0;
    if (QWidget* to = tabStopOutside(forward)) to->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

QWidget* ab::tabStopOutside(bool forward) {
    QWidget* w = this;
    for (;;) {  // the chain is a ring through the whole window
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == this) return nullptr;
        if (isAncestorOf(w) || w->window() != window()) continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) return w;
    }
}

void ab::kick() {
    if (!table_) return;
    if (nextkey_ != 0) {
        if (!timer_->isActive() || timer_->interval() != 0) timer_->start(0);
    } else if (interruptPass_.running() && !timer_->isActive()) {
        timer_->start(0);
    }
}

void ab::tick() {
    if (!table_) {
        timer_->stop();
        return;
    }
    QPointer<ab> self(this);
    if (isGridMoveKey(nextkey_)) {
        const int k = nextkey_;
        nextkey_ = 0;
        carryOut(k);
        if (!self) return;
        interruptPass_.noteMove();
    } else {
        nextkey_ = 0;
        if (interruptPass_.running() && interruptPass_.wait() == 0) {
            int r = interruptPass_.take(RecCount());
            if (r >= 0) emit Interrupt(r);
            if (!self) return;
        }
    }
    if (!table_) {
        timer_->stop();
        return;
    }
    if (nextkey_ != 0) {
        if (timer_->interval() != 0) timer_->setInterval(0);
    } else if (interruptPass_.running()) {
        timer_->setInterval(interruptPass_.wait());
    } else {
        timer_->stop();
    }
}

void ab::clearPassby() { std::fill(passby_.begin(), passby_.end(), false); }

void ab::focusCursor() {
    const int row = cursor_.row(), fie = cursor_.fie;
    if (row < 0 || row >= maxrow_ || fie < 0 || fie >= df_) return;
    QLineEdit* t = cells_[size_t(row * df_ + fie)]->Text1();
    if (row == focusRow_ && fie == focusField_ && t->hasFocus()) {
        arrival();  // the same cell now shows another record
        return;
    }
    t->setFocus(Qt::OtherFocusReason);
}

void ab::carryOut(int key) {
    const GridMove m = moveCursor(cursor_, key, shape());
    lastkey_ = m.known ? key : 0;
    apply(m);
}

void ab::apply(const GridMove& m) {
    cursor_ = m.to;
    if (m.redisplay) redisplay();
    if (m.focus) focusCursor();
    if (m.clearPassby) clearPassby();
    if (m.upExit && upExit_) {
        int k = vk::Up;
        emit abexit(k);
    }
}

}  // namespace tessel
