#pragma once
// Colour numbers as the controls take them: red + green x 256 + blue x 65536.
#include <QColor>

namespace tessel {

constexpr long RGB(int r, int g, int b) { return long(r & 255) | long(g & 255) << 8 | long(b & 255) << 16; }
inline QColor toQColor(long colour) {
    return QColor(int(colour & 255), int((colour >> 8) & 255), int((colour >> 16) & 255));
}
inline long fromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

namespace colors {
inline constexpr long Idle = RGB(224, 224, 224);
inline constexpr long Selected = RGB(128, 128, 255);
inline constexpr long Editing = RGB(255, 255, 128);
inline constexpr long Heading = RGB(255, 255, 128);  // &H80FFFF
inline constexpr long ButtonIdle = RGB(192, 192, 192);
inline constexpr long ReportHeading = RGB(255, 192, 128);  // the report viewer's column titles
}  // namespace colors

}  // namespace tessel
