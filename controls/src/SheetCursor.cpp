#include "tessel/SheetCursor.h"

#include "tessel/KeyCode.h"

#include <algorithm>
#include <cstdlib>

namespace tessel {

namespace {
constexpr int kShiftUp = shiftstate::Shift * 256 + vk::Up;
constexpr int kShiftDown = shiftstate::Shift * 256 + vk::Down;
constexpr int kAltF4 = shiftstate::Alt * 256 + vk::F4;
// GotoEnd leaves this many rows below the last sheet.
constexpr int kRowsBelowEnd = 4;
// Records a wheel notch (120) scrolls.
constexpr int kRecordsPerNotch = 4;
constexpr int kNotch = 120;

SheetView gotoEnd(int recCount, int maxrow, bool newSheet) {
    SheetView v;
    v.edit = recCount > 0 ? recCount - 1 + (newSheet ? 1 : 0) : 0;
    v.top = maxrow - kRowsBelowEnd < recCount ? recCount - maxrow + kRowsBelowEnd : 0;
    // A window of four rows or fewer would start below the selection.
    v.top = std::clamp(v.top, 0, v.edit);
    return v;
}

// A selection outside the window (after a title method) must not page or wheel past the ends.
SheetView bounded(SheetView v, int recCount) {
    return {std::max(v.top, 0), std::clamp(v.edit, 0, std::max(recCount, 0))};
}
}  // namespace

SheetCommand sheetCommand(int key, SheetListKind kind) {
    const bool sheets = kind == SheetListKind::Sheets;
    switch (key) {
    case vk::Esc:
    case kAltF4: return SheetCommand::EndForm;
    case vk::Enter: return SheetCommand::Edit;
    case vk::Up: return SheetCommand::Previous;
    case vk::Down: return SheetCommand::Next;
    case kShiftUp: return SheetCommand::ShiftPrevious;
    case kShiftDown: return SheetCommand::ShiftNext;
    case vk::PgUp: return SheetCommand::PageUp;
    case vk::PgDn: return SheetCommand::PageDown;
    case keycmd::CtrlPgUp:
    case vk::Home: return SheetCommand::First;
    case keycmd::CtrlPgDn:
    case vk::End: return SheetCommand::Last;
    case vk::F5: return sheets ? SheetCommand::Copy : SheetCommand::None;
    case vk::F6: return sheets ? SheetCommand::None : SheetCommand::Csv;
    case vk::F7: return SheetCommand::New;
    case vk::F8: return SheetCommand::Delete;
    case keycmd::CtrlF: return SheetCommand::Find;
    default: return SheetCommand::None;
    }
}

SheetView moveSheets(SheetView v, SheetCommand c, int recCount, int maxrow) {
    switch (c) {
    case SheetCommand::Next:
        if (v.edit >= recCount) break;
        if (v.edit - v.top >= maxrow - 1) ++v.top;
        ++v.edit;
        break;
    case SheetCommand::Previous:
        if (v.edit <= 0) break;
        if (v.edit - v.top <= 0) v.top = v.edit - 1;
        --v.edit;
        break;
    case SheetCommand::ShiftNext:
        if (v.edit >= recCount) break;
        ++v.top;
        ++v.edit;
        break;
    case SheetCommand::ShiftPrevious:
        if (v.edit <= 0) break;
        if (v.top >= 1) --v.top;
        --v.edit;
        break;
    case SheetCommand::PageUp:
        if (v.top < maxrow) {
            v.top = 0;
            v.edit = v.edit < maxrow ? 0 : v.edit - maxrow;
        } else {
            v.top -= maxrow;
            v.edit -= maxrow;
        }
        break;
    case SheetCommand::PageDown:
        if (v.edit < recCount - maxrow) {
            v.top += maxrow;
            v.edit += maxrow;
        } else if (v.edit < recCount) {
            v.top += recCount - v.edit - 1;
            v.edit = recCount - 1;
        }
        break;
    case SheetCommand::First: v = {}; break;
    case SheetCommand::Last: v = gotoEnd(recCount, maxrow, false); break;
    case SheetCommand::LastNewSheet: v = gotoEnd(recCount, maxrow, true); break;
    default: break;
    }
    return bounded(v, recCount);
}

SheetView wheelSheets(SheetView v, int direction, int recCount) {
    const int n = std::abs(direction * kRecordsPerNotch / kNotch);
    int by = 0;
    if (direction > 0) {
        by = v.top >= n ? -n : -std::max(v.top, 0);
    } else if (direction < 0) {
        if (v.edit + n < recCount)
            by = n;
        else if (v.edit < recCount - 1)
            by = recCount - 1 - v.edit;
    }
    return bounded({v.top + by, v.edit + by}, recCount);
}

SheetView selectSheet(SheetView v, int n, int recCount) {
    if (n < 0 || n > recCount) return {};
    v.edit = n;
    return v;
}

SheetView afterAppend(SheetView v, int r) {
    const int row = v.edit - v.top;
    return {r < row ? 0 : r - row, r};
}

}  // namespace tessel
