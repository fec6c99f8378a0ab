#pragma once
// invar: the single-value entry cell. Shows a typed value, edits it in place, converts typed text
// back into a value and reports every move or command key to its container as a key command code.
#include "ostrel/Variant.h"
#include "tessel/InputProcess.h"

#include "tessel/FixedSizeWidget.h"
#include "tessel/Stru.h"

class QLineEdit;

namespace tessel {

class CellEdit;

class invar : public FixedSizeWidget {
    Q_OBJECT
public:
    enum class Mode { Idle, Selected, Editing, Processing };

    explicit invar(QWidget* parent = nullptr);
    ~invar() override;

    const ostrel::Variant& value() const { return value_; }
    void setValue(const ostrel::Variant& v);  // stores (null as empty) and redisplays
    float fontsize() const { return fontsize_; }
    void setFontsize(float size);  // the control is resized at the next setLength
    QString ValueType() const { return valueType_; }
    void setValueType(const QString& code) {
        valueType_ = code;
        kind_ = fieldType(code);
    }
    int length() const { return length_; }
    void setLength(int columns);  // lays the control out
    int dec() const { return dec_; }
    void setDec(int places) { dec_ = places; }
    bool Locked() const { return locked_; }
    void setLocked(bool locked);
    // Colour number (RGB()); the next change of mode paints over it.
    void setBackColor(long colour);
    InputProcessRef InputProcess() const { return inputProcess_; }
    void setInputProcess(InputProcessRef process) { inputProcess_ = std::move(process); }
    // What losing the focus does: commits or drops the edit in progress, then idle.
    void CloseMe();

    Mode mode() const { return mode_; }
    QLineEdit* Text1() const;
    QString text() const;
    int characterWidth() const { return charWidth_; }  // twips
    int sideMargin() const { return sideMargin_; }     // twips
    double widthTwips() const { return widthTwips_; }
    double heightTwips() const { return heightTwips_; }
    // Ends an edit in progress as Enter would, but without reporting a key: stores an accepted
    // value (raising Modified) or drops the typed text. The grid calls it before it scrolls.
    void commitEdit();

signals:
    void CellGotFocus();
    void CellInputProcess(tessel::InputProcessRef& ProcessObj);
    void CellAfterInputProcess(tessel::InputProcessRef& ProcessObj);
    void Modified();
    void keycommand(int& key);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    friend class CellEdit;
    void setMode(Mode m);
    void paint(long colour);
    void layoutCell();
    void display();
    // An idle cell keeps its display text to itself and paints it without the text box's
    // machinery; the text box receives it when someone looks at it or it is about to be used.
    bool paintsOwnText() const;
    void syncText() const;
    QString displayedText() const;
    double displayedSize() const;
    // Converts the trimmed text by the type code; null when rejected.
    ostrel::Variant convert();
    ostrel::Variant runAfterEnter(const QString& text);
    bool accepted(ostrel::Variant& v);
    void store(const ostrel::Variant& v);
    void report(int key);

    // Events of the text box; true when the event was consumed.
    bool onKey(class QKeyEvent* e);
    void onFocusIn();
    void onFocusOut();
    void onMousePress(class QMouseEvent* e);
    void onClick();
    void onTextEdited();
    void onInputMethod(bool hasText);
    void startEditing(bool clearText);
    void commitOnEnter();
    bool commitAndReport(int key);
    void lookupF3();

    CellEdit* text_ = nullptr;
    ostrel::Variant value_;
    QString valueType_;
    FieldType kind_ = FieldType::Other;
    QString shownText_;  // the text the last display produced
    double shownSize_ = 12;  // and its font size
    mutable bool textPending_ = false;  // the text box does not hold shownText_ yet
    int length_ = 10;
    int dec_ = 0;
    float fontsize_ = 12;
    int charWidth_ = 120;
    int sideMargin_ = 80;
    double widthTwips_ = 0, heightTwips_ = 0;
    bool locked_ = false;
    InputProcessRef inputProcess_;
    Mode mode_ = Mode::Idle;
};

}  // namespace tessel
