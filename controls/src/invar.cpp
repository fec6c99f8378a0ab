#include "tessel/invar.h"

#include "CellEdit.h"
#include "CellLayout.h"
#include "FocusMark.h"

#include "ostrel/Cp949.h"
#include "ostrel/TrimSpaces.h"
#include "ostrel/fncDate.h"
#include "ostrel/fncNumber.h"
#include "ostrel/fncString.h"
#include "tessel/CellText.h"
#include "tessel/Color.h"
#include "tessel/Fonts.h"
#include "tessel/KeyCode.h"
#include "tessel/Twips.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <exception>

namespace tessel {

using ostrel::Variant;

invar::invar(QWidget* parent) : FixedSizeWidget(parent) {
    registerFontSubstitutions();
    setAutoFillBackground(true);
    text_ = new CellEdit(this);
    text_->setFrame(false);
    text_->setTextMargins(0, 0, 0, 0);
    text_->setContentsMargins(0, 0, 0, 0);
    text_->setFont(cellFont(fontsize_));
    setFocusProxy(text_);
    setFocusPolicy(Qt::StrongFocus);
    connect(text_, &QLineEdit::textEdited, this, [this] { onTextEdited(); });
    setFontsize(12);
    setLength(10);
    paint(colors::Idle);
}

invar::~invar() {
    inputProcess_.reset();
    // The text box goes first: its events call back into the cell, and once this destructor has run
    // QWidget's would send it the focus-out of a cell that is no longer there.
    delete text_;
}

QLineEdit* invar::Text1() const {
    syncText();
    return text_;
}
QString invar::text() const { return displayedText(); }

bool invar::paintsOwnText() const {
    return mode_ == Mode::Idle && text_->plainDisplay() && (textPending_ || text_->cursorPosition() == 0) &&
           displayedText().size() <= text_->maxLength();
}

QString invar::displayedText() const { return textPending_ ? shownText_ : text_->text(); }
double invar::displayedSize() const { return textPending_ ? shownSize_ : text_->font().pointSizeF(); }

void invar::syncText() const {
    if (!textPending_) return;
    textPending_ = false;  // first: the font change below comes back here as an event
    if (text_->font().pointSizeF() != shownSize_) {  // setFont relayouts: keep redisplays cheap
        QFont f = text_->font();
        f.setPointSizeF(shownSize_);
        text_->setFont(f);
    }
    if (text_->text() != shownText_) {
        text_->setText(shownText_);
        text_->setCursorPosition(0);
    } else if (text_->cursorPosition() != 0) {
        text_->setCursorPosition(0);
    }
}

void invar::setFontsize(float size) {
    syncText();  // the pending text keeps the size it was shown with; the new one comes after
    fontsize_ = size;
    text_->setFont(cellFont(size));
    charWidth_ = cellCharWidth(size);
    sideMargin_ = cellSideMargin(charWidth_);
}

void invar::setLength(int columns) {
    length_ = columns;
    layoutCell();
}

void invar::layoutCell() {
    const CellBox c = cellBox(charWidth_, sideMargin_, length_, fontsize_);
    widthTwips_ = c.width;
    heightTwips_ = c.height;
    const QRect outer = twipsRect(0, 0, widthTwips_, heightTwips_);
    setLaidOutSize(outer.size());
    // The text box keeps a 2-pixel margin inside: let it reach into the side margin so that
    // `length` columns really fit.
    text_->setGeometry(twipsRect(c.left, c.top, c.boxW, c.boxH).adjusted(-2, 0, 2, 0).intersected(outer));
}

void invar::setLocked(bool locked) {
    locked_ = locked;
    text_->setReadOnly(locked);
}

void invar::paint(long colour) {
    const QColor c = toQColor(colour);
    QPalette p = palette();
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::Base, c);
    setPalette(p);
    QPalette tp = text_->palette();
    tp.setColor(QPalette::Base, c);
    tp.setColor(QPalette::Window, c);
    tp.setColor(QPalette::Text, Qt::black);
    text_->setPalette(tp);
}

void invar::setBackColor(long colour) { paint(colour); }

void invar::setMode(Mode m) {
    if (m != Mode::Idle) syncText();
    mode_ = m;
    switch (m) {
    case Mode::Idle: paint(colors::Idle); break;
    case Mode::Selected: paint(colors::Selected); break;
    case Mode::Editing: paint(colors::Editing); break;
    case Mode::Processing: break;
    }
}

void invar::setValue(const Variant& v) {
    value_ = v.isNull() ? Variant() : v;
    display();
}

void invar::display() {
    double size = fontsize_;
    QString shown;
    if (!value_.isEmpty()) {
        if (kind_ == FieldType::Text) {
            shown = safeText(value_);
            const int bytes = ostrel::cp949::byteLength(shown);
            if (bytes > length_) size = std::max(7.5, shrunkFontSize(length_, fontsize_, bytes));
        } else if (kind_ == FieldType::Number) {
            try {
                shown = ostrel::fncNumber().fdnc(Variant(value_.toCurrency()), length_, dec_);
            } catch (const std::exception&) {
                shown = safeText(value_);  // not a number: shown as it is
            }
        } else if (kind_ == FieldType::Date) {
            bool zero = false;
            try {
                zero = !value_.isString() && value_.toDouble() == 0;
            } catch (const std::exception&) {
            }
            if (!zero) {
                try {
                    shown = ostrel::fncString().padl(ostrel::fncDate().DtoC(value_), length_);
                } catch (const std::exception&) {
                    shown = safeText(value_);
                }
            }
        } else if (kind_ == FieldType::Boolean) {
            if (auto mark = booleanMark(value_, length_)) shown = *mark;
            else shown = displayedText();  // any other value leaves the text as it is
        } else {
            shown = safeText(value_);
        }
    }
    if (size <= 0) size = 1;
    // Assistive tools read the text box directly: keep it current for them.
    const bool lazy = paintsOwnText() && !QAccessible::isActive();
    if (lazy && (shown != displayedText() || size != displayedSize())) text_->update();
    shownText_ = shown;
    shownSize_ = size;
    textPending_ = true;
    if (!lazy) syncText();
}

void invar::store(const Variant& v) { setValue(v); }

void invar::report(int key) { emit keycommand(key); }

Variant invar::runAfterEnter(const QString& text) {
    QPointer<invar> self(this);
    setMode(Mode::Processing);
    emit CellInputProcess(inputProcess_);
    if (!self) return Variant::null();
    Variant result = Variant::null();
    if (inputProcess_) {
        QString t = text;
        try {
            result = inputProcess_->AfterEnter(t);
        } catch (const std::exception&) {
            result = Variant::null();  // a failing lookup rejects the text
        }
    } else {
        result = Variant(text);  // the object was withdrawn by the handler
    }
    if (!self) return Variant::null();
    emit CellAfterInputProcess(inputProcess_);
    if (!self) return Variant::null();
    return result;
}

Variant invar::convert() {
    const QString text = ostrel::trimSpaces(text_->text()).toString();
    // An unchanged number or date text keeps the stored value: its display may be lossy
    // (asterisks for a number too wide, a two-digit year). A number's input process still runs.
    const bool keepsStored = kind_ == FieldType::Date || (kind_ == FieldType::Number && !inputProcess_);
    if (keepsStored && text == ostrel::trimSpaces(shownText_)) return value_;
    if (kind_ == FieldType::Text) {
        Variant result(text);
        if (inputProcess_) {
            result = runAfterEnter(text);
            if (!result.isNull()) result = Variant(ostrel::trimSpaces(safeText(result)).toString());
        }
        if (mode_ == Mode::Processing) setMode(Mode::Editing);
        if (result.isNull()) return result;
        return Variant(stripQuotesAndBrackets(safeText(result)));
    }
    if (kind_ == FieldType::Number) {
        QString t = text;
        if (inputProcess_) {
            const Variant r = runAfterEnter(text);
            t = r.isNull() ? QString() : safeText(r);
        }
        if (mode_ == Mode::Processing) setMode(Mode::Editing);
        return readNumberText(t);
    }
    if (kind_ == FieldType::Date) return Variant(readDateText(text, value_));
    if (kind_ == FieldType::Boolean) return readBooleanText(text);
    // A cell without a type keeps what was typed rather than losing it.
    return text.isEmpty() ? Variant() : Variant(text);
}

bool invar::accepted(Variant& v) {
    if (v.isEmpty()) return true;
    if (!inputProcess_) return !v.isNull();
    QPointer<invar> self(this);
    const Mode before = mode_;
    // The filter may show a window; the processing mode keeps the cell from reacting to it.
    setMode(Mode::Processing);
    bool ok = false;
    try {
        ok = inputProcess_->LastFilter(v);
    } catch (const std::exception&) {
        ok = false;
    }
    if (self) mode_ = before;
    return ok;
}

void invar::startEditing(bool clearText) {
    if (clearText) text_->clear();
    setMode(Mode::Editing);
}

void invar::commitOnEnter() {
    QPointer<invar> self(this);
    Variant r = convert();
    if (!self) return;
    if (r.isNull() || !accepted(r) || !self) return;  // stays editing with its text
    store(r);
    setMode(Mode::Selected);
    emit Modified();
    if (self) report(vk::Enter);
}

bool invar::commitAndReport(int key) {
    QPointer<invar> self(this);
    Variant r = convert();
    if (!self) return true;
    if (!accepted(r)) return false;
    if (!self) return true;
    store(r);
    setMode(Mode::Selected);
    emit Modified();
    if (self) report(key);
    return true;
}

void invar::lookupF3() {
    QPointer<invar> self(this);
    Variant r = Variant::null();
    if (inputProcess_) {
        setMode(Mode::Processing);
        emit CellInputProcess(inputProcess_);
        if (!self) return;
        if (inputProcess_) {
            QString t = text_->text();
            try {
                r = inputProcess_->AfterF3(t);
            } catch (const std::exception&) {
                r = Variant::null();
            }
            if (!self) return;
        }
        emit CellAfterInputProcess(inputProcess_);
        if (!self) return;
        setMode(Mode::Editing);
    }
    if (r.isNull() || !accepted(r) || !self) return;
    store(r);
    setMode(Mode::Selected);
    emit Modified();
    if (self) report(vk::Enter);
}

void invar::commitEdit() {
    if (mode_ != Mode::Editing) return;
    QPointer<invar> self(this);
    Variant r = convert();
    if (!self) return;
    if (r.isNull() || !accepted(r)) {
        if (!self) return;
        display();
        setMode(Mode::Selected);
        return;
    }
    if (!self) return;
    store(r);
    setMode(Mode::Selected);
    emit Modified();
}

bool invar::onKey(QKeyEvent* e) {
    if (mode_ == Mode::Processing) return true;  // a window of the input process is on its way
    const KeyStroke k = keyStroke(*e);
    const int key = k.keyCode;
    const bool alt = k.shift == shiftstate::Alt;
    const bool movement = key == vk::Up || key == vk::Down || key == vk::PgUp || key == vk::PgDn;

    if (mode_ == Mode::Editing) {
        if (k.charCode == chr::Enter) {
            commitOnEnter();
            return true;
        }
        if (k.charCode == chr::Esc) {
            display();
            setMode(Mode::Selected);
            return true;
        }
        if (key == vk::F3) {
            lookupF3();
            return true;
        }
        // The caret alone decides: a selection reaching the edge (Shift+Home) does not hold the key.
        if (key == vk::Left && text_->cursorPosition() == 0) return commitAndReport(k.keyCommand());
        if (key == vk::Right && text_->cursorPosition() == text_->text().size()) return commitAndReport(k.keyCommand());
        if (movement || key == vk::F1 || key == vk::F2 || (key >= vk::F4 && key <= vk::F12))
            return commitAndReport(k.keyCommand());
        return false;
    }

    // Selected (or idle while still holding the focus after CloseMe).
    if (key == vk::Delete) {
        // The stored value changes only when the edit is committed, so Esc brings it back.
        if (!locked_) startEditing(true);
        return true;
    }
    if (key == vk::F2) {
        if (!locked_) {
            startEditing(false);
            text_->end(false);  // to change the text, not to retype it
        }
        return true;
    }
    if (key == vk::F3) {
        if (!locked_) lookupF3();
        return true;
    }
    if (movement || key == vk::Left || key == vk::Right || key == vk::Home || key == vk::End || key == vk::F1 ||
        (key >= vk::F4 && key <= vk::F12)) {
        report(k.keyCommand());
        return true;
    }
    if (alt && k.isLetter()) {
        report(keycmd::AltBase + key);
        return true;
    }
    switch (k.charCode) {
    case chr::Enter: report(vk::Enter); return true;
    case chr::Esc: report(vk::Esc); return true;
    case chr::CtrlF: report(keycmd::CtrlF); return true;
    case chr::CtrlN: report(keycmd::CtrlN); return true;
    case chr::CtrlY: report(keycmd::CtrlY); return true;
    case chr::CtrlV:
        if (!locked_) startEditing(true);
        return false;  // the text box pastes
    case chr::CtrlX:
        if (!locked_ && text_->hasSelectedText()) startEditing(false);
        return false;  // the text box cuts
    default: break;
    }
    if (k.isPrintable()) {
        if (!locked_) startEditing(true);
        return false;  // the text box types the character
    }
    return false;
}

void invar::onFocusIn() {
    if (mode_ != Mode::Idle) return;
    setMode(Mode::Selected);
    emit CellGotFocus();
}

void invar::onFocusOut() {
    switch (mode_) {
    case Mode::Processing:
    case Mode::Idle: return;
    case Mode::Selected: setMode(Mode::Idle); return;
    case Mode::Editing: break;
    }
    QPointer<invar> self(this);
    Variant r = convert();
    if (!self) return;
    if (r.isNull() || !accepted(r)) {
        if (!self) return;
        display();
    } else {
        if (!self) return;
        store(r);
        emit Modified();
        if (!self) return;
    }
    setMode(Mode::Idle);
}

void invar::CloseMe() { onFocusOut(); }

void invar::onMousePress(QMouseEvent* e) {
    if (mode_ == Mode::Processing || locked_) return;
    if (e->button() == Qt::RightButton || mode_ == Mode::Selected) setMode(Mode::Editing);
}

void invar::onClick() {
    if (locked_ || kind_ != FieldType::Boolean || mode_ == Mode::Processing) return;
    QPointer<invar> self(this);
    setMode(Mode::Editing);
    const bool wasTrue = booleanMark(value_, 2) == QStringLiteral("＋");
    store(wasTrue ? Variant() : Variant(true));
    emit Modified();
    if (self) setMode(Mode::Selected);
}

void invar::onTextEdited() {
    // Whatever changes the text (Backspace, a drop, the context menu) starts an edit.
    if (!locked_ && (mode_ == Mode::Selected || mode_ == Mode::Idle)) setMode(Mode::Editing);
}

void invar::onInputMethod(bool hasText) {
    if (!hasText || locked_) return;
    if (mode_ == Mode::Selected || mode_ == Mode::Idle) startEditing(true);
}

void invar::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    if (text_->hasFocus()) drawFocusMark(this);
}

}  // namespace tessel
