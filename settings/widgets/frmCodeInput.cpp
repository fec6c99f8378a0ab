#include "sembrin/frmCodeInput.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace sembrin {

frmCodeInput::frmCodeInput(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCodeInput"));
    setWindowTitle(QStringLiteral("필드입력도우미"));
    setFont(QFont(QStringLiteral("굴림체"), 11));
    values.setNOF(1);

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setMaxVisibleItems(20);
    Combo1->setMinimumContentsLength(40);
    Combo1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Combo1->setCompleter(nullptr);  // typed text stays as typed
    Command1 = new QPushButton(QStringLiteral("확인"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("취소"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3 = new QPushButton(QStringLiteral("다음검색 F3"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    for (QPushButton* b : {Command1, Command2, Command3}) b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Combo1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &frmCodeInput::ok);
    connect(Command2, &QPushButton::clicked, this, &frmCodeInput::cancel);
    connect(Command3, &QPushButton::clicked, this, &frmCodeInput::nextSearch);
    // Choosing from the list selects a title; typing makes the text a typed one again.
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int i) { listIndex_ = i; });
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this] { listIndex_ = -1; });
    Combo1->installEventFilter(this);
    Combo1->lineEdit()->installEventFilter(this);
    // A closed window, whatever closed it, lets go of its values and its next search.
    connect(this, &QDialog::finished, this, [this] {
        values.zap();
        NextYj.reset();
    });
}

void frmCodeInput::addTitle(const QString& title) {
    const QString typed = Combo1->currentText();
    QSignalBlocker block(Combo1);
    Combo1->addItem(title);
    Combo1->setCurrentIndex(listIndex_);
    Combo1->setEditText(listIndex_ < 0 ? typed : Combo1->itemText(listIndex_));
}

void frmCodeInput::setListIndex(int i) {
    if (i < -1 || i >= Combo1->count()) i = -1;
    const QString typed = Combo1->currentText();
    {
        QSignalBlocker block(Combo1);
        Combo1->setCurrentIndex(i);
        if (i < 0) Combo1->setEditText(typed);
    }
    listIndex_ = i;
}

void frmCodeInput::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Command3->setEnabled(NextYj != nullptr);
    Combo1->setFocus(Qt::OtherFocusReason);
}

void frmCodeInput::ok() {
    if (listIndex_ < 0 || listIndex_ >= values.RecCount()) ReturnValue = Combo1->currentText();
    else ReturnValue = values.Cell(listIndex_, 0);
    modified = true;
    accept();
}

void frmCodeInput::cancel() {
    modified = false;
    reject();
}

void frmCodeInput::nextSearch() {
    if (!NextYj) return;
    QString text = Combo1->currentText();
    NextSearchRef next = NextYj;  // held for the call: the search may close this window
    ostrel::Variant r = next->AfterF3(text);
    ReturnValue = r;
    if (r.isNull()) return;
    modified = true;
    accept();
}

bool frmCodeInput::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return QDialog::eventFilter(watched, event);
        switch (k->key()) {
        case Qt::Key_Return: case Qt::Key_Enter: ok(); return true;
        case Qt::Key_Escape: cancel(); return true;
        case Qt::Key_F3: nextSearch(); return true;
        default: break;
        }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        ok();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace sembrin
