// What the register window hands to the register's handlers: clicks, keys,
// the entry box's edits and the focus of boxes the cashier should not stay
// in. The window calls these; the program connects them to the handlers.
// Every callback may be left empty.
#pragma once
#include <functional>
#include <string>

#include "register/screen_model.h"

namespace tarvo::ui {

struct RegisterInput {
    // A button was clicked (touched): {"mDept", 5}, {"mNumeric3", 0},
    // {"mTotalRegister", 0}, {"RT_Down", 0} ...
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
};

// The keypad key (1..12: "0", "00", ".", "1".."9") of a control id, whether
// written {"mNumeric3", 0} (the window's clicks) or {"mNumeric", 3} (the
// register's screen writes); 0 for any other control.
inline int KeypadNumber(const ControlId& id) {
    if (id.name == "mNumeric") return id.index >= 1 && id.index <= 12 ? id.index : 0;
    if (id.index != 0 || id.name.size() < 9 || id.name.size() > 10 || id.name.compare(0, 8, "mNumeric") != 0) return 0;
    int n = 0;
    for (std::size_t i = 8; i < id.name.size(); ++i) {
        if (id.name[i] < '0' || id.name[i] > '9') return 0;
        n = n * 10 + (id.name[i] - '0');
    }
    return n >= 1 && n <= 12 ? n : 0;
}

}  // namespace tarvo::ui
