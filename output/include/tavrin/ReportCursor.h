#pragma once
// The report viewer's cursor as plain arithmetic: the marked record and the window of rows it is
// seen through, moved by Up, Down, the page keys and Ctrl+PgUp/PgDn. No widgets.
#include "tessel/GridCursor.h"

namespace tavrin {

struct ReportMove {
    tessel::GridCursor to;  // top and rec (the marked record); fie is not used
    bool moved = false;     // mark the cursor's row
    bool refresh = false;   // the window shows other records
};

// The move for key command `key` over `records` records in a window of `rows` rows. `markedRow` is
// the row marked on screen (-1 for none): Page Down on the last page keeps the cursor on it.
ReportMove moveReportCursor(const tessel::GridCursor& from, int markedRow, int key, int records, int rows);

}  // namespace tavrin
