#pragma once
// button: a focusable caption that turns Enter, Esc, a click and the arrow and page keys into key
// command codes (the input panels use it in place of a push button).
#include "ostrel/Variant.h"

#include "tessel/FixedSizeWidget.h"

class QLabel;

namespace tessel {

class button : public FixedSizeWidget {
    Q_OBJECT
public:
    explicit button(QWidget* parent = nullptr);

    // The last value written (writing sets the caption to it as text).
    const ostrel::Variant& value() const { return value_; }
    void setValue(const ostrel::Variant& v);
    float font_size() const;
    void setFont_size(float size);
    int length() const { return length_; }
    // Width = font_size x 10 x length + 60 twips, height = font_size x 20 + 60 twips.
    void setLength(int columns);

    QLabel* Label1() const { return label_; }
    QString caption() const;

signals:
    void cursoron();
    void keycommand(int& key);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void paint(long colour);

    QLabel* label_ = nullptr;
    ostrel::Variant value_;
    int length_ = 10;
};

}  // namespace tessel
