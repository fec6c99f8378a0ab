#pragma once
// A plain help window ("도움말"): the text fills the window, Esc closes it.
#include <QString>

class QWidget;

namespace sembrin {

class fncHelp {
public:
    // Shows the text modeless; the window deletes itself when closed.
    void ShowZepHelp(const QString& sCaption, const QString& sText) const;

    void setParentWindow(QWidget* w) { parent_ = w; }

private:
    QWidget* parent_ = nullptr;
};

}  // namespace sembrin
