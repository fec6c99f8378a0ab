#pragma once
// Where the keys, the wheel and the title methods of a sheet list leave its window: the record
// shown in row 0 and the selected record. Pure functions, so that every move is checked without
// widgets; the sheet list forms only apply them and repaint.
namespace tessel {

// `edit` may be the record count: the line after the last sheet, where a new sheet starts.
struct SheetView {
    int top = 0;
    int edit = 0;

    bool operator==(const SheetView&) const = default;
};

// What a key reported by a content cell (or a button) asks of a sheet list.
enum class SheetCommand {
    None,
    EndForm,  // Esc, Alt+F4
    Edit,  // Enter: edit the sheet, or start a new one on the new-sheet line
    Next,  // Down
    Previous,  // Up
    ShiftNext,  // Shift+Down: the window and the selection together
    ShiftPrevious,  // Shift+Up
    PageUp,
    PageDown,
    First,  // Ctrl+PgUp, Home
    Last,  // Ctrl+PgDn, End: GotoEnd(false)
    LastNewSheet,  // GotoEnd(true); no key
    Copy,  // F5, sheets only
    Csv,  // F6, code cards only
    New,  // F7
    Delete,  // F8
    Find,  // Ctrl+F
    Load,  // the code cards' load button; no key
};

enum class SheetListKind { Sheets, Codes };

// The command of key command code `key` on a list of `kind` (None for keys the list ignores).
SheetCommand sheetCommand(int key, SheetListKind kind);

// The window after a move command (Next to LastNewSheet); any other command leaves it as it is.
// The result always selects a line from 0 to recCount, with the window not above record 0.
SheetView moveSheets(SheetView v, SheetCommand c, int recCount, int maxrow);
// The window after a wheel turn of `direction` (120 a notch, positive toward the first sheet):
// four records a notch, the window and the selection together, never past either end.
SheetView wheelSheets(SheetView v, int direction, int recCount);
// Selecting record n (0 to recCount) keeps the window; anything else goes back to the first line.
SheetView selectSheet(SheetView v, int n, int recCount);
// After a sheet was appended as record r: r becomes the selection in the row the old one had.
SheetView afterAppend(SheetView v, int r);

}  // namespace tessel
