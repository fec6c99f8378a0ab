#pragma once
// The mark of the control that holds the focus: a dark frame along its edge, outside the text or
// caption it holds, so that the keyboard's place shows whatever the control's colours are.
class QWidget;

namespace tessel {

void drawFocusMark(QWidget* w);

}  // namespace tessel
