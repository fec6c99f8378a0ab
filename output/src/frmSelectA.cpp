#include "tavrin/frmSelectA.h"

#include "tessel/Fonts.h"
#include "tessel/KeyCode.h"
#include "tessel/MouseHelper.h"
#include "tessel/Twips.h"
#include "tessel/ab.h"

#include <QPushButton>

namespace tavrin {

using tessel::pixelsToTwips;
using tessel::twipsRect;

frmSelectA::frmSelectA(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("선택"));
    ab1_ = new tessel::ab(this);
    ab1_->setObjectName(QStringLiteral("ab1"));
    ab1_->setMaxrow(20);
    ab1_->move(twipsRect(100, 100, 0, 0).topLeft());
    ab1_->setReturnExit(true);
    ab1_->setLineLock(true);

    auto button = [this](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(tessel::cellFont(10));
        b->setAutoDefault(true);  // Enter presses the button that has the focus
        return b;
    };
    cmdOK_ = button(QStringLiteral("확인"), "cmdOK");
    cmdCancel_ = button(QStringLiteral("취소"), "cmdCancel");
    connect(cmdOK_, &QPushButton::clicked, this, &frmSelectA::confirm);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmSelectA::cancel);

    // Enter confirms and Esc cancels, whether the grid reports them as keys or as its exit.
    auto onKey = [this](int& key) {
        if (key == tessel::vk::Enter) confirm();
        else if (key == tessel::vk::Esc) cancel();
    };
    connect(ab1_, &tessel::ab::keycommand, this, onKey);
    connect(ab1_, &tessel::ab::abexit, this, onKey);

    mouseHelper_ = new tessel::MouseHelper(this);
    mouseHelper_->attach(ab1_);
}

void frmSelectA::setStructure(const ostrel::Variant& stru, int fields) {
    ab1_->setFontsize(fontSize_);
    // Fields beyond the structure stay in the grid's table instead of being dropped.
    if (fields > 0) ab1_->setNOF(fields);
    ab1_->setStru(stru);
    const double gridW = pixelsToTwips(ab1_->width()), gridH = pixelsToTwips(ab1_->height());
    const double buttonTop = gridH + 500, buttonH = 450, buttonW = 1300;
    cmdOK_->setGeometry(twipsRect(100, buttonTop, buttonW, buttonH));
    cmdCancel_->setGeometry(twipsRect(100 + buttonW + 100, buttonTop, buttonW, buttonH));
    outer_ = twipsRect(0, 0, gridW + 350, gridH + 1800).size();
    fitOuterSize();
}

void frmSelectA::fitOuterSize() {
    // The outer size is the grid plus 350 by 1800 twips, frame included once the window system
    // has given the window one.
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(outer_ - frame);
}

void frmSelectA::confirm() {
    ab1_->CloseMe();  // an edit still in a cell belongs to the answer
    flag_ = true;
    hide();
    done(QDialog::Accepted);
}

void frmSelectA::cancel() {
    flag_ = false;
    hide();
    done(QDialog::Rejected);
}

void frmSelectA::reject() { cancel(); }

void frmSelectA::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    fitOuterSize();
    ab1_->setFocus(Qt::OtherFocusReason);  // the user starts typing in the grid, not on a button
}

}  // namespace tavrin
