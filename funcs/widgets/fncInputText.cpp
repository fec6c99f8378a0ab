#include "ostrel/fncInputText.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ostrel {

namespace {
class frmInputText : public QDialog {
public:
    QLineEdit* Text1;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

    frmInputText() {
        setWindowTitle(QStringLiteral("텍스트 입력"));
        setFont(QFont(QStringLiteral("굴림"), 10));
        setObjectName(QStringLiteral("frmInputText"));
        Text1 = new QLineEdit(this);
        Text1->setObjectName(QStringLiteral("Text1"));
        Text1->setMinimumWidth(320);
        cmdOk = new QPushButton(QStringLiteral("확인"), this);
        cmdOk->setObjectName(QStringLiteral("cmdOk"));
        cmdOk->setDefault(true);
        cmdCancel = new QPushButton(QStringLiteral("취소"), this);
        cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(cmdOk);
        buttons->addWidget(cmdCancel);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(Text1);
        layout->addLayout(buttons);
        connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
        connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    }
};
}  // namespace

bool fncInputText::InputText(QString& sText) const {
    frmInputText form;
    form.Text1->setText(sText);
    form.Text1->selectAll();
    if (form.exec() != QDialog::Accepted) return false;
    sText = form.Text1->text();
    return true;
}

}  // namespace ostrel
