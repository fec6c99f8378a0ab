#pragma once
// Comparing what widgets show, pixel for pixel: rendered anew, or as the window's surface holds it.
#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>

namespace vendra::test {

// `w` rendered anew.
inline QImage picture(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// What the window's surface holds where `w` is: stale pixels show here, not in a grab.
inline QImage onSurface(QWidget* w) {
    QWidget* window = w->window();
    const QPoint at = w->mapTo(window, QPoint(0, 0));
    return window->screen()
        ->grabWindow(window->winId(), at.x(), at.y(), w->width(), w->height())
        .toImage()
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Where two pictures first differ, for a failure message.
inline std::string difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("first difference at %1,%2: %3 vs %4")
                    .arg(x).arg(y).arg(a.pixel(x, y), 8, 16).arg(b.pixel(x, y), 8, 16).toStdString();
    return "equal";
}

// A test whose pictures hold a focused text box: the blinking caret would make them differ by the clock.
class SteadyCaret : public ::testing::Test {
protected:
    void SetUp() override {
        flash_ = QApplication::cursorFlashTime();
        QApplication::setCursorFlashTime(0);
    }
    void TearDown() override { QApplication::setCursorFlashTime(flash_); }

private:
    int flash_ = 0;
};

}  // namespace vendra::test
