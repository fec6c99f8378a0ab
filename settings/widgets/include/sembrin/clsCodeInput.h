#pragma once
// The modal pick list: the user chooses a value by its title, or types one. Creates its window
// when created and releases it with itself; ReturnValue and modified stay readable after Show.
#include "sembrin/NextSearch.h"

#include "ostrel/Variant.h"

#include <QString>
#include <memory>

class QWidget;

namespace sembrin {

class frmCodeInput;

class clsCodeInput {
public:
    explicit clsCodeInput(QWidget* parent = nullptr);
    ~clsCodeInput();
    clsCodeInput(const clsCodeInput&) = delete;
    clsCodeInput& operator=(const clsCodeInput&) = delete;

    void setCaption(const QString& caption);  // "필드입력도우미" at first
    QString combo1text() const;
    void setcombo1text(const QString& text);
    // Appends `title` to the list and `value` to the values; ReturnValue becomes `value`.
    void additem(const QString& value, const QString& title);
    int16_t ListCount() const;
    void setListIndex(int16_t i);  // -1 selects none
    QString ReturnValue() const;
    void zap();
    NextSearchRef NextYj() const;
    void setNextYj(NextSearchRef next);
    // Shows the window modally: OK takes the chosen title's value, or the typed text when none is
    // chosen; cancel leaves modified false.
    void Show();
    bool modified() const;

    frmCodeInput* window() const { return form_.get(); }

private:
    std::unique_ptr<frmCodeInput> form_;
};

}  // namespace sembrin
