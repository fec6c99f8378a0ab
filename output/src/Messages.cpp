#include "Messages.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace tavrin::detail {

void showMessage(const QString& text, QWidget* parent) {
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

QString runtimeErrorText(int number, const QString& description) {
    return QStringLiteral("'%1' 런타임 오류가 발생했습니다.:\n\n%2").arg(number).arg(description);
}

}  // namespace tavrin::detail
