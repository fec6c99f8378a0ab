#pragma once
// Twips (1440 per inch) to pixels and back at the screen's logical DPI: 15 twips per pixel at 96 DPI.
// Layout is computed in twips and turned into pixels only at the end, edge by edge, so that
// rounding never accumulates along a row of controls.
#include <QRect>

namespace tessel {

// Twips per pixel of the primary screen (15 at 96 DPI; 15 when no screen is known).
double twipsPerPixel();
int twipsToPixels(double twips);
double pixelsToTwips(double pixels);
// A rectangle given in twips, converted by its edges.
QRect twipsRect(double left, double top, double width, double height);

}  // namespace tessel
