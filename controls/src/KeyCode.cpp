#include "tessel/KeyCode.h"

#include <QKeyEvent>

namespace tessel {

int virtualKeyCode(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return vk::A + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return vk::Digit0 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return vk::F1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::Enter;
    case Qt::Key_Escape: return vk::Esc;
    case Qt::Key_Backspace: return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vk::Tab;
    case Qt::Key_Space: return vk::Space;
    case Qt::Key_PageUp: return vk::PgUp;
    case Qt::Key_PageDown: return vk::PgDn;
    case Qt::Key_End: return vk::End;
    case Qt::Key_Home: return vk::Home;
    case Qt::Key_Left: return vk::Left;
    case Qt::Key_Up: return vk::Up;
    case Qt::Key_Right: return vk::Right;
    case Qt::Key_Down: return vk::Down;
    case Qt::Key_Insert: return vk::Insert;
    case Qt::Key_Delete: return vk::Delete;
    case Qt::Key_Shift: return vk::ShiftKey;
    case Qt::Key_Control: return vk::ControlKey;
    case Qt::Key_Alt: return vk::Menu;
    default: return 0;
    }
}

int shiftState(Qt::KeyboardModifiers m) {
    int s = 0;
    if (m & Qt::ShiftModifier) s |= shiftstate::Shift;
    if (m & Qt::ControlModifier) s |= shiftstate::Ctrl;
    if (m & Qt::AltModifier) s |= shiftstate::Alt;
    return s;
}

KeyStroke keyStroke(const QKeyEvent& e) {
    KeyStroke k;
    k.keyCode = virtualKeyCode(e.key());
    k.shift = shiftState(e.modifiers());
    const bool ctrl = k.shift & shiftstate::Ctrl, alt = k.shift & shiftstate::Alt;
    switch (k.keyCode) {
    case vk::Enter: k.charCode = chr::Enter; return k;
    case vk::Esc: k.charCode = chr::Esc; return k;
    case vk::Back: k.charCode = chr::Back; return k;
    case vk::Tab: k.charCode = chr::Tab; return k;
    default: break;
    }
    if (alt) return k;  // Alt combinations type nothing
    if (ctrl) {
        // Ctrl+letter types the control character 1..26, whatever text the platform attached.
        if (k.isLetter()) k.charCode = k.keyCode - vk::A + 1;
        return k;
    }
    const QString text = e.text();
    const int c = text.isEmpty() ? 0 : text.at(0).unicode();
    if (c >= chr::FirstPrintable && c != chr::Del) k.charCode = c;
    return k;
}

int KeyStroke::command() const {
    // Ctrl+F, Ctrl+N, Ctrl+Y come as characters and are reported as 512 + letter.
    if (charCode == chr::CtrlF || charCode == chr::CtrlN || charCode == chr::CtrlY)
        return keycmd::ctrlLetter(charCode);
    if (charCode != 0) return charCode;
    return keyCommand();
}

int keyCommandCode(const QKeyEvent& e) { return keyStroke(e).command(); }

}  // namespace tessel
