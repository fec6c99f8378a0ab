#include "Messages.h"

#include "ostrel/MessageBox.h"
#include "ostrel/RuntimeError.h"

namespace tavrin::detail {

QString runtimeErrorText(const std::exception& e) {
    const auto* known = dynamic_cast<const ostrel::RuntimeError*>(&e);
    const ostrel::RuntimeError error =
        known ? *known : ostrel::RuntimeError::internal(QString::fromLocal8Bit(e.what()));
    return QStringLiteral("'%1' 런타임 오류가 발생했습니다.:\n\n%2").arg(error.number()).arg(error.description());
}

void showRuntimeError(const std::exception& e, QWidget* parent) { ostrel::showMessage(runtimeErrorText(e), parent); }

}  // namespace tavrin::detail
