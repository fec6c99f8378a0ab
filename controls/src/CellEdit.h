#pragma once
// The text box inside an input cell: hands its events to the cell first, and while the cell is
// idle paints a cached picture of the cell's text instead of laying the text out again.
#include "tessel/invar.h"

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace tessel {

struct CellLook;

class CellEdit : public QLineEdit {
public:
    explicit CellEdit(invar* owner) : QLineEdit(owner), owner_(owner) {
        // Painted whole, so that a change of text repaints the box alone and not the cell under it.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    // May this idle box be painted from the cell's display text? Only in the states where the
    // text box itself would show nothing but that text: no focus, cursor, selection or extras.
    bool plainDisplay() const {
        if (hasFocus() || hasSelectedText() || echoMode() != QLineEdit::Normal || !inputMask().isEmpty() ||
            !isLeftToRight() || !actions().isEmpty() || !placeholderText().isEmpty())
            return false;
        const int h = int(alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute);
        return h != Qt::AlignRight && h != Qt::AlignHCenter;
    }

protected:
    bool event(QEvent* e) override {
        // Everything but painting may read or change the text: hand the text over first.
        if (e->type() != QEvent::Paint) owner_->syncText();
        return QLineEdit::event(e);
    }
    void paintEvent(QPaintEvent* e) override {
        if (!owner_->paintsOwnText()) {
            owner_->syncText();
            {
                // The box is marked opaque: what the cell would paint under it comes first.
                QPainter under(this);
                under.fillRect(rect(), owner_->palette().brush(QPalette::Window));
            }
            QLineEdit::paintEvent(e);
            return;
        }
        paintIdle(owner_->displayedText(), owner_->displayedSize());
    }
    void keyPressEvent(QKeyEvent* e) override {
        QPointer<CellEdit> self(this);
        if (!owner_->onKey(e) && self) QLineEdit::keyPressEvent(e);
        // Keys never travel on to the container's widgets: it hears them through keycommand.
        e->accept();
    }
    void focusInEvent(QFocusEvent* e) override {
        QLineEdit::focusInEvent(e);
        owner_->update();  // its focus mark
        if (e->reason() == Qt::PopupFocusReason) return;
        if (suspended_) {  // back from another program: the cell never lost its place
            suspended_ = false;
            return;
        }
        owner_->onFocusIn();
    }
    void focusOutEvent(QFocusEvent* e) override {
        QLineEdit::focusOutEvent(e);
        owner_->update();
        if (e->reason() == Qt::PopupFocusReason) return;
        // Switching to another program is no change of focus within the program.
        if (e->reason() == Qt::ActiveWindowFocusReason && !QApplication::activeWindow()) {
            suspended_ = true;
            return;
        }
        owner_->onFocusOut();
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        doubleClicked_ = true;  // the second click of a double click is no click of its own
        QLineEdit::mouseDoubleClickEvent(e);
    }
    void mousePressEvent(QMouseEvent* e) override {
        QPointer<CellEdit> self(this);
        owner_->onMousePress(e);
        if (self) QLineEdit::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        QLineEdit::mouseReleaseEvent(e);
        if (doubleClicked_) {
            doubleClicked_ = false;
            return;
        }
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) owner_->onClick();
    }
    void inputMethodEvent(QInputMethodEvent* e) override {
        QPointer<CellEdit> self(this);
        owner_->onInputMethod(!e->commitString().isEmpty() || !e->preeditString().isEmpty());
        if (!self) return;
        if (owner_->mode() == invar::Mode::Processing || owner_->Locked()) return;
        QLineEdit::inputMethodEvent(e);
    }

private:
    QImage::Format surfaceFormat() const;
    // An idle box: its picture from the cache, drawn on a miss exactly as the text box would.
    void paintIdle(const QString& text, double size);
    QImage drawn(const CellLook& look);
    void drawText(QPainter& p, const CellLook& look);

    invar* owner_;
    bool suspended_ = false;
    bool doubleClicked_ = false;
};

}  // namespace tessel
