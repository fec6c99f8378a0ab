#include "FocusMark.h"

#include <QPainter>
#include <QWidget>

namespace tessel {

void drawFocusMark(QWidget* w) {
    QPainter p(w);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(w->rect()).adjusted(1, 1, -1, -1));
}

}  // namespace tessel
