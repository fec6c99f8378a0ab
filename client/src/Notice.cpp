#include "vendra/Notice.h"

#include <QFont>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace vendra {

QString CombineNotices(const QString& n1, const QString& n2) {
    if (n1.isEmpty()) return n2;
    return n1 + QStringLiteral("\r\n\r\n") + n2;
}

Notice::Notice(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Notice"));
    setWindowTitle(QStringLiteral("공지사항"));
    setAttribute(Qt::WA_DeleteOnClose);
    Text1 = new QTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(QFont(QStringLiteral("굴림체"), 11));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setAcceptRichText(false);
    Text1->setReadOnly(true);  // a notice is read, not edited
    Text1->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    Text1->setTabChangesFocus(true);  // Tab goes on to the OK button, as in every other window
    Command1 = new QPushButton(QStringLiteral("확인"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text1);
    layout->addWidget(Command1, 0, Qt::AlignRight);
    setTabOrder(Text1, Command1);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
    resize(480, 360);
}

void Notice::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        Command1->click();  // Esc answers as "확인" does
        return;
    }
    QWidget::keyPressEvent(e);
}

void Notice::setText(const QString& text) {
    text_ = text;
    // The text box keeps lines apart by "\n"; a bare "\r" would show as a stray character.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Text1->setPlainText(shown);
    // The coding font's Hangul reach past its nominal height; without extra leading the lines touch.
    QTextCursor all(Text1->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat spaced;
    spaced.setLineHeight(125, QTextBlockFormat::ProportionalHeight);
    all.mergeBlockFormat(spaced);
}

}  // namespace vendra
