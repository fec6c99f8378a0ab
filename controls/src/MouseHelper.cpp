#include "tessel/MouseHelper.h"

#include "tessel/KeyCode.h"
#include "tessel/ab.h"

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>

namespace tessel {

MouseHelper::MouseHelper(QWidget* window) : QObject(window), window_(window) {
    // Wheel events go to the widget under the pointer and then up its parents; watching the
    // application catches them wherever they land in the window.
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

MouseHelper::~MouseHelper() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

void MouseHelper::attach(ab* grid) { grid_ = grid; }

bool MouseHelper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel || !window_) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != window_.data()) return false;
    auto* we = static_cast<QWheelEvent*>(event);
    int delta = we->angleDelta().y();
    if (delta == 0) return false;
    int shift = shiftState(we->modifiers());
    QPointer<MouseHelper> self(this);
    emit MouseWheel(shift, delta);
    if (self && grid_) grid_->MouseWheel(std::clamp(delta, -32768, 32767));
    // Consumed here: the same turn would otherwise be seen again at each parent.
    return true;
}

}  // namespace tessel
