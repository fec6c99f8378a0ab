#pragma once
// The one geometry of input and output cells, in twips: a box of `length` character columns,
// centred in a control one side margin wider and 28 twips per point high.
#include <algorithm>
#include <cmath>

namespace tessel {

struct CellBox {
    double width = 0, height = 0;                 // the control
    double left = 0, top = 0, boxW = 0, boxH = 0; // the text box inside it
};

// Twips of one character column at `size` points, and the margin the control adds beside its box.
inline int cellCharWidth(double size) { return int(std::floor((size + 1.1) / 1.5)) * 15; }
inline int cellSideMargin(int charWidth) { return charWidth * 2 / 3; }

inline CellBox cellBox(int charWidth, int sideMargin, int length, double fontsize) {
    CellBox c;
    c.boxW = double(charWidth) * length;
    const double ctlW = c.boxW + sideMargin;
    c.boxH = fontsize * 20;
    const double ctlH = fontsize * 28;
    if (ctlW > c.boxW) c.left = (ctlW - c.boxW) / 2;
    else c.boxW = ctlW;
    if (ctlH > c.boxH) c.top = (ctlH - c.boxH) / 2;
    else c.boxH = ctlH;
    c.width = std::max(0.0, ctlW);
    c.height = std::max(0.0, ctlH);
    return c;
}

}  // namespace tessel
