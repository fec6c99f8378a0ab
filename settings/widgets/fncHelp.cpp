#include "sembrin/fncHelp.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace sembrin {

namespace {

class frm도움말 : public QDialog {
public:
    explicit frm도움말(QWidget* parent) : QDialog(parent) {
        setObjectName(QStringLiteral("frm도움말"));
        setWindowTitle(QStringLiteral("도움말"));
        setAttribute(Qt::WA_DeleteOnClose);
        setFont(QFont(QStringLiteral("굴림"), 11));
        Text1 = new QPlainTextEdit(this);
        Text1->setObjectName(QStringLiteral("Text1"));
        Text1->setReadOnly(true);
        Text1->installEventFilter(this);
        auto* layout = new QVBoxLayout(this);  // the text fills the window as it is resized
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(Text1);
        resize(520, 400);
    }
    QPlainTextEdit* Text1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == Text1 && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
};

}  // namespace

void fncHelp::ShowZepHelp(const QString& sCaption, const QString& sText) const {
    auto* w = new frm도움말(parent_);
    w->setWindowTitle(sCaption);
    w->Text1->setPlainText(sText);
    w->setModal(false);
    w->show();
}

}  // namespace sembrin
