#pragma once
// The editable grid's cursor as plain arithmetic: where a key takes the cursor and the window of
// rows it looks through, and what the grid must do for it. No widgets: the grid carries the result out.
namespace tessel {

struct GridCursor {
    int top = 0;  // first record in the window
    int rec = 0;  // the cursor's record; the record count itself is the blank line below the last
    int fie = 0;  // the cursor's field

    int row() const { return rec - top; }
    bool operator==(const GridCursor&) const = default;
};

// What the cursor moves over: records in the table, rows in the window, displayed fields.
struct GridShape {
    int records = 0;
    int rows = 1;
    int fields = 1;
    bool lineLock = false;  // the blank line below the last record is out of the cursor's reach
};

struct GridMove {
    GridCursor to;
    bool known = false;        // a move key: it becomes the last key (any other key clears it)
    bool redisplay = false;    // the window shows other records
    bool focus = false;        // the cursor's cell takes the focus
    bool clearPassby = false;  // the cursor left its line, or tried to
    bool upExit = false;       // Up on the first record: the grid's exit when UpExit is set
};

// Keys the grid carries out as moves: Enter, the arrows, Home, End, the page keys, Ctrl+PgUp/PgDn.
bool isGridMoveKey(int key);
// Keys a pass-over may repeat: the ones that step to a neighbouring cell.
bool isGridStepKey(int key);

// The move for key command `key` from `from`.
GridMove moveCursor(const GridCursor& from, int key, const GridShape& shape);

// The cursor on a line below the lines it may use walks up.
bool beyondUsableLines(const GridCursor& at, const GridShape& shape);

// The key that carries the cursor over a field it must not stop at, after `lastkey` brought it there.
int passOverKey(const GridCursor& at, int lastkey, const GridShape& shape);

// The rows a wheel turn of `delta` (120 a notch) scrolls: four a notch.
int wheelLines(int delta);
// A wheel turn of `delta` over `records` records: window and cursor scroll together, the cursor
// never past the last record nor the window above the first.
GridCursor scrollCursor(const GridCursor& from, int delta, int records);

}  // namespace tessel
