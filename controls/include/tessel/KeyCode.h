#pragma once
// Key command codes: how every control and container of the system reads a key.
// A key read as a key code is shift state x 256 + virtual-key code; a key read as a character is
// its character code, except Ctrl+F, Ctrl+N and Ctrl+Y, which are 512 + the letter (582, 590, 601).
#include <QtCore/qnamespace.h>

class QKeyEvent;

namespace tessel {

namespace vk {
inline constexpr int Back = 8, Tab = 9, Enter = 13, ShiftKey = 16, ControlKey = 17, Menu = 18, Esc = 27,
                     Space = 32, PgUp = 33, PgDn = 34, End = 35, Home = 36, Left = 37, Up = 38, Right = 39,
                     Down = 40, Insert = 45, Delete = 46, Digit0 = 48, A = 65, Z = 90, F1 = 112, F2 = 113,
                     F3 = 114, F4 = 115, F5 = 116, F6 = 117, F7 = 118, F8 = 119, F9 = 120, F10 = 121, F11 = 122,
                     F12 = 123;
}  // namespace vk

// Character codes of the keys read as characters (Ctrl+letter types 1..26).
namespace chr {
inline constexpr int Back = 8, Tab = 9, Enter = 13, Esc = 27, CtrlF = 6, CtrlN = 14, CtrlV = 22, CtrlX = 24,
                     CtrlY = 25, FirstPrintable = 32, Del = 127;
}  // namespace chr

namespace shiftstate {
inline constexpr int Shift = 1, Ctrl = 2, Alt = 4;
}

// Commands the grids and panels read besides the plain key codes.
namespace keycmd {
inline constexpr int CtrlF = 582, CtrlN = 590, CtrlY = 601, CtrlPgUp = 545, CtrlPgDn = 546, AltBase = 1024;
// The command of a Ctrl+letter typed as character `c` (1..26): 512 + the letter's key code.
constexpr int ctrlLetter(int c) { return 512 + vk::A + c - 1; }
// The command of Alt+`letter` (an upper-case Latin letter).
constexpr int altLetter(char letter) { return AltBase + letter; }
}

// One key press as the window system of the original controls reported it: the virtual-key code
// with the shift state (key-down), and the character it types (key-press), 0 when it types none.
struct KeyStroke {
    int keyCode = 0;   // virtual-key code; 0 for keys that have none here
    int shift = 0;     // 1 Shift, 2 Ctrl, 4 Alt, added
    int charCode = 0;  // 13 Enter, 27 Esc, 8 Backspace, 1-26 Ctrl+letter, the UTF-16 unit otherwise

    bool isLetter() const { return keyCode >= vk::A && keyCode <= vk::Z; }
    bool isFunctionKey() const { return keyCode >= vk::F1 && keyCode <= vk::F12; }
    // A character that is typed into text: code above 31 (Hangul included), no Ctrl or Alt held.
    bool isPrintable() const { return charCode > 31 && (shift & (shiftstate::Ctrl | shiftstate::Alt)) == 0; }
    // shift x 256 + key code.
    int keyCommand() const { return shift * 256 + keyCode; }
    // The key command code a container receives for this key (see the header comment).
    int command() const;
};

// Virtual-key code of a Qt key (0 when the key has none).
int virtualKeyCode(int qtKey);
// Shift state (1 Shift, 2 Ctrl, 4 Alt) of Qt keyboard modifiers.
int shiftState(Qt::KeyboardModifiers modifiers);
// The one mapping from a Qt key event to the key codes above.
KeyStroke keyStroke(const QKeyEvent& event);
// keyStroke(event).command().
int keyCommandCode(const QKeyEvent& event);

}  // namespace tessel
