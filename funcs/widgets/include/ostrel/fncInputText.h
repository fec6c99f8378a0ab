#pragma once
// Asks for one line of text in a modal window.
#include <QString>

namespace ostrel {

class fncInputText {
public:
    // True, with `sText` replaced, when the user pressed "확인" (or Enter); false and `sText`
    // untouched on "취소", Esc or the close box.
    bool InputText(QString& sText) const;
};

}  // namespace ostrel
