// What the register window hands to the register's handlers: clicks, keys,
// the entry box's edits and the focus of boxes the cashier should not stay
// in. The window calls these; the program connects them to the handlers.
// Every callback may be left empty.
#pragma once
#include <functional>
#include <string>

#include "screen/screen_model.h"

namespace tarvo::ui {

struct RegisterInput {
    // A button was clicked (touched): {Control::mDept, 5}, {Control::mNumeric, 3},
    // {Control::mTotalRegister, 0}, {Control::RT_Down, 0} ...
    std::function<void(const ControlId&)> onClick;
    // A key went down / up anywhere in the window, before the focused box
    // sees it: windows virtual-key code and shift state (1 Shift, 2 Ctrl,
    // 4 Alt). Auto-repeat sends more key-downs and one key-up.
    std::function<void(int keyCode, int shift)> onKeyDown;
    std::function<void(int keyCode, int shift)> onKeyUp;
    // The cashier changed the entry box (txtDEA); the model already holds the
    // new text (windows-1252).
    std::function<void(const std::string& text)> onEntryEdited;
    // A box other than the entry box got the focus (a grid cell touched...).
    std::function<void(const ControlId&)> onFocusCell;
    // False while the window should not close without asking (a sale is
    // open); the window then asks `closeQuestion`.
    std::function<bool()> canClose;
    std::string closeQuestion = "A sale is open. Close the register anyway?";
    // The window was closed (after the question, when one was asked).
    std::function<void()> onClosed;
};

}  // namespace tarvo::ui
