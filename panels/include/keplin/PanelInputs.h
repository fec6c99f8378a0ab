#pragma once
// How a panel sets up a cell of each input kind: its value type, its length and, for the code
// kinds, a new lookup of its master table as the cell's input process.
#include "keplin/panBase.h"

namespace keplin {

void setUpInput(tessel::invar& cell, InputKind kind);

}  // namespace keplin
