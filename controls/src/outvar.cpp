#include "tessel/outvar.h"

#include "CellLayout.h"
#include "FocusMark.h"

#include "ostrel/Cp949.h"
#include "ostrel/fncDate.h"
#include "ostrel/fncNumber.h"
#include "ostrel/fncString.h"
#include "tessel/CellText.h"
#include "tessel/Color.h"
#include "tessel/Fonts.h"
#include "tessel/KeyCode.h"
#include "tessel/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <cmath>
#include <exception>

namespace tessel {

using ostrel::Variant;

outvar::outvar(QWidget* parent) : FixedSizeWidget(parent) {
    registerFontSubstitutions();
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    label_ = new QLabel(this);
    // Shown literally: an "&" is text here, never a mnemonic.
    label_->setTextFormat(Qt::PlainText);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_->setFont(cellFont(fontsize_));
    label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setFontsize(12);
    setLength(10);
}

QString outvar::caption() const { return label_->text(); }

void outvar::setFontsize(float size) {
    fontsize_ = size;
    setLabelFontSize(size);
    charWidth_ = cellCharWidth(size);
    sideMargin_ = cellSideMargin(charWidth_);
}

void outvar::setLabelFontSize(double size) {
    if (size <= 0) size = 1;
    if (label_->font().pointSizeF() == size) return;
    QFont f = label_->font();
    f.setPointSizeF(size);
    label_->setFont(f);
}

void outvar::setLength(int columns) {
    length_ = columns;
    layoutLabel();
}

void outvar::layoutLabel() {
    const CellBox c = cellBox(charWidth_, sideMargin_, length_, fontsize_);
    widthTwips_ = c.width;
    heightTwips_ = c.height;
    setLaidOutSize(twipsRect(0, 0, widthTwips_, heightTwips_).size());
    labelRect_ = twipsRect(c.left, c.top, c.boxW, c.boxH);
    label_->setGeometry(labelRect_);
}

void outvar::setAlignment(int alignment) {
    Qt::Alignment h = Qt::AlignLeft;
    if (alignment == 1) h = Qt::AlignRight;
    else if (alignment == 2) h = Qt::AlignHCenter;
    label_->setAlignment(h | Qt::AlignVCenter);
}

void outvar::setBackColor(long colour) {
    QPalette p = palette();
    p.setColor(QPalette::Window, toQColor(colour));
    setPalette(p);
    label_->setPalette(p);
}

void outvar::setValue(const Variant& v) {
    value_ = v.isNull() ? Variant() : v;
    display();
}

void outvar::display() {
    // A label stretched for a tiny text stays so until the next layout.
    setLabelFontSize(fontsize_);
    if (value_.isEmpty()) {
        label_->clear();
        return;
    }
    QString caption = label_->text();
    if (kind_ == FieldType::Text) {
        caption = safeText(value_);
        const int bytes = ostrel::cp949::byteLength(caption);
        if (bytes > length_) {
            const double size = shrunkFontSize(length_, fontsize_, bytes);
            if (size >= 6) {
                setLabelFontSize(size);
            } else {
                setLabelFontSize(6);
                label_->setGeometry(rect());  // the whole control, to give the text every pixel
            }
        }
    } else if (kind_ == FieldType::Number) {
        caption = safeText(value_);
        if (ostrel::IsNumeric(value_)) {
            try {
                caption = ostrel::fncNumber().fdnc(Variant(value_.toCurrency()), length_, dec_);
            } catch (const std::exception&) {
            }
        }
    } else if (kind_ == FieldType::Date) {
        caption = safeText(value_);
        try {
            std::optional<ostrel::Date> d;
            if (value_.isDate()) d = value_.toDate();
            else if (const QString* s = value_.stringIf()) d = ostrel::ParseDateText(*s);
            if (d) caption = ostrel::fncString().padl(ostrel::fncDate().DtoC(Variant(*d)), length_);
        } catch (const std::exception&) {
        }
    } else if (kind_ == FieldType::Boolean) {
        if (auto mark = booleanMark(value_, length_)) caption = *mark;
    }
    if (label_->text() != caption) label_->setText(caption);
}

void outvar::keyPressEvent(QKeyEvent* e) {
    const KeyStroke k = keyStroke(*e);
    e->accept();
    if (k.isFunctionKey() || (k.keyCode >= vk::PgUp && k.keyCode <= vk::Down)) {
        int key = k.keyCommand();
        emit keycommand(key);
        return;
    }
    if (k.shift == shiftstate::Alt && k.isLetter()) {
        int key = keycmd::AltBase + k.keyCode;
        emit keycommand(key);
        return;
    }
    if (k.charCode != 0) {
        int key = k.charCode == 6 ? keycmd::CtrlF : k.charCode;
        emit keycommand(key);
    }
}

void outvar::mouseReleaseEvent(QMouseEvent* e) {
    QWidget::mouseReleaseEvent(e);
    if (doubleClicked_) {
        doubleClicked_ = false;
        return;
    }
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit Click();
}

void outvar::mouseDoubleClickEvent(QMouseEvent* e) {
    QWidget::mouseDoubleClickEvent(e);
    doubleClicked_ = true;
    if (e->button() == Qt::LeftButton) emit DblClick();
}

void outvar::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    if (hasFocus()) drawFocusMark(this);
}

}  // namespace tessel
