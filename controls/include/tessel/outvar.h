#pragma once
// outvar: shows one typed value without editing it (read-only fields, grid headings, sheet cells).
// It takes the focus and hands keys to its container as key command codes.
#include "ostrel/Variant.h"

#include "tessel/FixedSizeWidget.h"
#include "tessel/Stru.h"

class QLabel;

namespace tessel {

class outvar : public FixedSizeWidget {
    Q_OBJECT
public:
    explicit outvar(QWidget* parent = nullptr);

    const ostrel::Variant& value() const { return value_; }
    void setValue(const ostrel::Variant& v);  // stores (null as empty) and redisplays
    float fontsize() const { return fontsize_; }
    void setFontsize(float size);
    QString ValueType() const { return valueType_; }
    void setValueType(const QString& code) {
        valueType_ = code;
        kind_ = fieldType(code);
    }
    // 0 left, 1 right, 2 centre.
    void setAlignment(int alignment);
    int length() const { return length_; }
    void setLength(int columns);  // lays the control out as the input cell does
    int dec() const { return dec_; }
    void setDec(int places) { dec_ = places; }
    void setBackColor(long colour);

    QLabel* Label1() const { return label_; }
    QString caption() const;
    int characterWidth() const { return charWidth_; }
    double widthTwips() const { return widthTwips_; }
    double heightTwips() const { return heightTwips_; }

signals:
    void keycommand(int& key);
    void Click();
    void DblClick();

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void layoutLabel();
    void display();
    void setLabelFontSize(double size);

    QLabel* label_ = nullptr;
    ostrel::Variant value_;
    QString valueType_ = QStringLiteral("c");
    FieldType kind_ = FieldType::Text;
    int length_ = 10;
    int dec_ = 0;
    float fontsize_ = 12;
    int charWidth_ = 120;
    int sideMargin_ = 80;
    double widthTwips_ = 0, heightTwips_ = 0;
    QRect labelRect_;
    bool doubleClicked_ = false;
};

}  // namespace tessel
