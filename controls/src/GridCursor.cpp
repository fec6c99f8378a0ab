#include "tessel/GridCursor.h"

#include "tessel/KeyCode.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tessel {

bool isGridMoveKey(int key) {
    switch (key) {
    case vk::Enter: case vk::PgUp: case vk::PgDn: case vk::End: case vk::Home: case vk::Left: case vk::Up:
    case vk::Right: case vk::Down: case keycmd::CtrlPgUp: case keycmd::CtrlPgDn: return true;
    default: return false;
    }
}

bool isGridStepKey(int key) {
    return key == vk::Enter || key == vk::Left || key == vk::Up || key == vk::Right || key == vk::Down;
}

namespace {
// The cursor went to another line: focus its cell and forget the pass-overs of the line it left.
GridMove toLine(GridCursor to, bool redisplay) { return {to, true, redisplay, true, true, false}; }
GridMove toField(GridCursor to) { return {to, true, false, true, false, false}; }
GridMove stay(GridCursor at) { return {at, true, false, false, true, false}; }
}  // namespace

GridMove moveCursor(const GridCursor& from, int key, const GridShape& shape) {
    GridCursor c = from;
    const int last = shape.fields - 1, rc = shape.records, rows = shape.rows;
    const int row = c.row(), lastRow = rows - 1;
    switch (key) {
    case vk::Right:
    case vk::Enter:
        if (c.fie < last) return ++c.fie, toField(c);
        if (c.rec >= rc) return stay(c);
        ++c.rec;
        c.fie = 0;
        if (row < lastRow) return toLine(c, false);
        ++c.top;
        return toLine(c, true);
    case vk::Left:
        if (c.fie > 0) return --c.fie, toField(c);
        if (c.rec == 0) return stay(c);
        --c.rec;
        c.fie = last;
        if (row > 0) return toLine(c, false);
        --c.top;
        return toLine(c, true);
    case vk::Up:
        if (c.rec == 0) return {c, true, false, false, false, true};
        --c.rec;
        if (row > 0) return toLine(c, false);
        --c.top;
        return toLine(c, true);
    case vk::Down:
        if (c.rec >= rc) return {c, true, false, false, false, false};
        ++c.rec;
        if (row < lastRow) return toLine(c, false);
        ++c.top;
        return toLine(c, true);
    case vk::Home: c.fie = 0; return toField(c);
    case vk::End: c.fie = last; return toField(c);
    case vk::PgUp:
        if (c.top >= rows) {
            c.top -= rows;
            c.rec -= rows;
            return toLine(c, true);
        }
        if (c.top > 0) {
            c.rec -= c.top;
            c.top = 0;
            return toLine(c, true);
        }
        c.rec = 0;
        return toLine(c, false);
    case vk::PgDn:
        if (c.rec < rc - rows) {
            c.top += rows;
            c.rec += rows;
            return toLine(c, true);
        }
        if (c.rec >= rc) return stay(c);
        c.top += rc - 1 - c.rec;  // the last record, on the cursor's row
        c.rec = rc - 1;
        return toLine(c, true);
    case keycmd::CtrlPgDn:
        // Without records there is no record -1 to go to: the first line.
        c.top = c.rec = rc > 0 ? rc - 1 : 0;
        return toLine(c, true);
    case keycmd::CtrlPgUp: c.top = c.rec = 0; return toLine(c, true);
    default: return {c, false, false, false, false, false};
    }
}

bool beyondUsableLines(const GridCursor& at, const GridShape& shape) {
    const int rc = shape.records;
    return at.rec > rc || (at.rec == rc && shape.lineLock && rc > 0);
}

int passOverKey(const GridCursor& at, int lastkey, const GridShape& shape) {
    const int rc = shape.records, last = shape.fields - 1;
    if (at.rec == 0 && at.fie == 0) return vk::Right;
    if ((at.rec == rc - 1 && at.fie == last && shape.lineLock) || (at.rec == rc && at.fie == last)) return vk::Left;
    // Repeating Home, End or a page key would land on the same cell again: go on to the right.
    return isGridStepKey(lastkey) ? lastkey : vk::Right;
}

int wheelLines(int delta) { return std::abs(int(std::trunc(double(delta) / 120.0 * 4))); }

GridCursor scrollCursor(const GridCursor& from, int delta, int records) {
    GridCursor c = from;
    const int n = wheelLines(delta);
    if (delta > 0) {
        const int by = c.top >= n ? n : c.top;
        c.top -= by;
        c.rec -= by;
    } else if (delta < 0) {
        const int by = c.rec + n < records ? n : std::max(0, records - 1 - c.rec);
        c.top += by;
        c.rec += by;
    }
    return c;
}

}  // namespace tessel
