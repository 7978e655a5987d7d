// The register run from the keyboard. The window sees every key before the
// focused control does and hands it to Form_KeyDown / Form_KeyUp as a
// Windows virtual-key code with a modifier mask; the key then still reaches
// the focused control (digits and letters type into the entry box), so the
// window must call Form_KeyDown before the control takes the character.
//
// Function keys, the numeric pad and a few others press the on-screen
// buttons through their click handlers, and only when the button is
// enabled. A highlighted soft key (a trailing "+" on its caption, keyboard
// mode only), moved with the arrows and pressed with the numeric-pad "+",
// gives the keyboard the 24 soft keys.
#pragma once
#include "screen/screen_model.h"

namespace tarvo {

// The key codes the register acts on.
namespace KeyCode {
constexpr int Enter = 13;
constexpr int Escape = 27;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int Digit8 = 56;        // "*" with Shift
constexpr int NumMultiply = 106;  // numeric-pad "*"
constexpr int NumAdd = 107;       // numeric-pad "+"
constexpr int NumDivide = 111;    // numeric-pad "/"
constexpr int F1 = 112;
constexpr int F2 = 113;
constexpr int F3 = 114;
constexpr int F4 = 115;
constexpr int F5 = 116;
constexpr int F6 = 117;
constexpr int F7 = 118;
constexpr int F8 = 119;
constexpr int F9 = 120;
constexpr int F10 = 121;
constexpr int F11 = 122;
constexpr int F12 = 123;
constexpr int Equals = 187;  // "=" ("+" with Shift)
constexpr int Slash = 191;   // "/" of the main keyboard
}  // namespace KeyCode

// Modifier mask: 0 none; any other value means a modifier is held.
namespace KeyShift {
constexpr int Shift = 1;
constexpr int Ctrl = 2;
constexpr int Alt = 4;
}  // namespace KeyShift

// Key table:
//   Enter            Enter (BReg 4)
//   Page Up / Down   the receipt grid's RT_Down / Rt_Up buttons
//   arrows           move the highlight (left/right by 1, up/down by 4, wrapping)
//   Insert           Block (not while logged out)     Delete   Erase
//   num *, Shift+8   Quantity                          num +, Shift+=  the highlighted soft key
//   num /, "/"       department page n when the entry box holds just n (1-8)
//   F1 Total   F2 Payment   F3 Special   F4 Sales   F5 next page
//   F6 VoidLast   F7 Void   F8 Clock   F9 Salesperson   F10 Client
//   F11 client search   F12 product search
//   Shift+F11 New client (Mode key 5)   Shift+F12 alias search of the entry text
// While nobody is logged in F3-F7, F9, F10, Insert, Shift+F11 and
// Shift+F12 are ignored; while a card request runs every key is; while the prompt line
// asks a question only Enter and Esc count.
void Form_KeyDown(int keyCode, int shift);
// Empties the entry box after a handled key (not the proposed card amount).
void Form_KeyUp(int keyCode, int shift);

// A control of the window received the focus: the grid's and panels' cells
// hand it straight back to the entry box; a grid row's number cell selects
// that row's line.
void Control_GotFocus(const ControlId& id);

}  // namespace tarvo
