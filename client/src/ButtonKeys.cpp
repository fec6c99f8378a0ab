#include "vendra/ButtonKeys.h"

#include <QKeyEvent>
#include <QPushButton>

namespace vendra {

bool EnterPressesButtons::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        auto* b = qobject_cast<QPushButton*>(watched);
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (b && enter && k->modifiers() == Qt::NoModifier && b->hasFocus() && b->isEnabled()) {
            if (!k->isAutoRepeat()) b->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, e);
}

}  // namespace vendra
