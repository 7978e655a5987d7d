// Qt keys as the register's key handlers know them: windows virtual-key codes
// (US keyboard) and the classic shift state.
#pragma once
#include <Qt>

namespace tarvo::ui {

// The virtual-key code of a key: Enter 13, Esc 27, PgUp 33, F2 113, "A" 65,
// "5" 53, keypad "5" 101, keypad "+" 107, "=" 187, "/" 191 ... A shifted
// character is reported as its unshifted key ("*" from Shift+8 is 56, "+"
// from Shift+= is 187); keypad keys carry Qt::KeypadModifier. 0 for a key
// with no code.
int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// 1 Shift, 2 Ctrl, 4 Alt, added together.
int ShiftState(Qt::KeyboardModifiers modifiers);

}  // namespace tarvo::ui
