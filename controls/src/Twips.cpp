#include "tessel/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tessel {

double twipsPerPixel() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* s = QGuiApplication::primaryScreen()) {
            const double dpi = s->logicalDotsPerInchX();
            if (dpi > 0) return 1440.0 / dpi;
        }
    }
    return 15.0;
}

int twipsToPixels(double twips) { return int(std::lround(twips / twipsPerPixel())); }

double pixelsToTwips(double pixels) { return pixels * twipsPerPixel(); }

QRect twipsRect(double left, double top, double width, double height) {
    const int l = twipsToPixels(left), t = twipsToPixels(top);
    const int r = twipsToPixels(left + std::max(0.0, width)), b = twipsToPixels(top + std::max(0.0, height));
    return QRect(l, t, r - l, b - t);
}

}  // namespace tessel
