#include "tessel/button.h"

#include "FocusMark.h"

#include "tessel/CellText.h"
#include "tessel/Color.h"
#include "tessel/Fonts.h"
#include "tessel/KeyCode.h"
#include "tessel/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace tessel {

button::button(QWidget* parent) : FixedSizeWidget(parent) {
    registerFontSubstitutions();
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    label_ = new QLabel(this);
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignCenter);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_->setFont(captionFont(12));
    paint(colors::ButtonIdle);
    setLength(10);
}

QString button::caption() const { return label_->text(); }

void button::setValue(const ostrel::Variant& v) {
    value_ = v.isNull() ? ostrel::Variant() : v;
    label_->setText(safeText(value_));
}

float button::font_size() const { return float(label_->font().pointSizeF()); }

void button::setFont_size(float size) {
    QFont f = label_->font();
    f.setPointSizeF(size > 0 ? size : 1);
    label_->setFont(f);
}

void button::setLength(int columns) {
    length_ = columns;
    const double fs = font_size();
    setLaidOutSize(twipsRect(0, 0, fs * 10 * columns + 60, fs * 20 + 60).size());
}

void button::paint(long colour) {
    QPalette p = palette();
    p.setColor(QPalette::Window, toQColor(colour));
    setPalette(p);
    label_->setPalette(p);
}

void button::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    emit cursoron();
    paint(colors::Selected);
}

void button::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    paint(colors::ButtonIdle);
}

void button::keyPressEvent(QKeyEvent* e) {
    const KeyStroke k = keyStroke(*e);
    e->accept();
    switch (k.keyCode) {
    case vk::Left:
    case vk::Up:
    case vk::Right:
    case vk::Down:
    case vk::PgUp:
    case vk::PgDn: {
        int key = k.keyCommand();
        emit keycommand(key);
        return;
    }
    default: break;
    }
    if (k.charCode == chr::Enter || k.charCode == chr::Esc) {
        int key = k.charCode;
        emit keycommand(key);
    }
}

void button::mouseReleaseEvent(QMouseEvent* e) {
    QWidget::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) {
        int key = vk::Enter;
        emit keycommand(key);
    }
}

void button::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    const double w = pixelsToTwips(width()), h = pixelsToTwips(height());
    label_->setGeometry(twipsRect(30, 30, w > 60 ? w - 60 : label_->width() * twipsPerPixel(),
                                  h > 60 ? h - 60 : label_->height() * twipsPerPixel()));
}

void button::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    if (hasFocus()) drawFocusMark(this);
}

}  // namespace tessel
