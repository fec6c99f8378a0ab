#include "tavrin/ReportCursor.h"

#include "tessel/KeyCode.h"

#include <algorithm>

namespace tavrin {

namespace vk = tessel::vk;
namespace keycmd = tessel::keycmd;

ReportMove moveReportCursor(const tessel::GridCursor& from, int markedRow, int key, int records, int rows) {
    tessel::GridCursor c = from;
    const int n = records, m = rows;
    // Without records nothing moves: the rules below would put the cursor before the first one.
    if (n == 0) return {c};
    switch (key) {
    case vk::Up:
        if (c.rec < 1) return {c};
        if (c.row() < 1) {
            c.rec = c.top = c.rec - 1;
            return {c, true, true};
        }
        --c.rec;
        return {c, true, false};
    case vk::Down:
        if (c.rec >= n - 1) return {c};
        ++c.rec;
        if (c.row() < m) return {c, true, false};
        ++c.top;
        return {c, true, true};
    case vk::PgUp:
        if (c.rec <= m) {
            c.rec = c.top = 0;
        } else {
            c.rec -= m;
            c.top = std::max(0, c.top - m);
        }
        return {c, true, true};
    case vk::PgDn:
        if (c.rec + m > n - 1) {
            const int row = markedRow >= 0 && markedRow < m ? markedRow : c.row();
            c.rec = n - 1;
            c.top = std::max(0, n - 1 - row);  // the cursor keeps its screen row
        } else {
            c.rec += m;
            c.top += m;
        }
        return {c, true, true};
    case keycmd::CtrlPgUp: c.rec = c.top = 0; return {c, true, true};
    case keycmd::CtrlPgDn: c.rec = c.top = n - 1; return {c, true, true};  // the last record alone at the top
    default: return {c};
    }
}

}  // namespace tavrin
