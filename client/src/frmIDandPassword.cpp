#include "vendra/frmIDandPassword.h"

#include "vendra/Version.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace vendra {

frmIDandPassword::frmIDandPassword(const QStringList& commandWords, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmIDandPassword"));
    setWindowTitle(QStringLiteral("로그인"));
    setFont(QFont(QStringLiteral("굴림"), 10));

    auto make = [this](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    Label1 = make(new QLabel(QStringLiteral("발주처ID"), this), "Label1");
    Text1 = make(new QLineEdit(this), "Text1");
    Label2 = make(new QLabel(QStringLiteral("수주처ID"), this), "Label2");
    Text2 = make(new QLineEdit(this), "Text2");
    Label3 = make(new QLabel(QStringLiteral("패스워드"), this), "Label3");
    Text3 = make(new QLineEdit(this), "Text3");
    Text3->setEchoMode(QLineEdit::Password);
    Text3->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // shown as "*"
    Command1 = make(new QPushButton(QStringLiteral("확인"), this), "Command1");
    // Enter in the password box means nothing, so no button may become the dialog's default.
    Command1->setAutoDefault(false);
    Command1->setDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Text2, 1, 1);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(Text3, 2, 1);
    grid->addWidget(Command1, 3, 1, Qt::AlignRight);
    Text1->setMinimumWidth(180);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
    setTabOrder(Text3, Command1);

    if (!commandWords.isEmpty()) Text1->setText(commandWords.at(0));
    if (commandWords.size() >= 2) Text2->setText(commandWords.at(1));

    Text1->installEventFilter(this);
    Text2->installEventFilter(this);
    connect(Command1, &QPushButton::clicked, this, &frmIDandPassword::Command1_Click);
    Text1->setFocus();
}

void frmIDandPassword::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // After the window system has given the first focus, move on past the IDs already filled.
    QTimer::singleShot(0, this, [this] {
        QLineEdit* target = Text1;
        if (!Text1->text().isEmpty()) target = Text2;
        if (!Text2->text().isEmpty()) target = Text3;
        target->setFocus(Qt::OtherFocusReason);
    });
}

bool frmIDandPassword::eventFilter(QObject* watched, QEvent* e) {
    if ((watched == Text1 || watched == Text2) && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            Command1->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void frmIDandPassword::Command1_Click() {
    ordererCI_ = Text1->text();
    receiverCI_ = Text2->text();
    passWord_ = Text3->text();
    confirmed_ = true;
    accept();
}

}  // namespace vendra
