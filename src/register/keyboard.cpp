#include "register/keyboard.h"
#include "screen/controls.h"

#include <functional>

#include "config/settings.h"
#include "data/data_state.h"
#include "data/indexes.h"
#include "data/sale_state.h"
#include "register/prompt_line.h"
#include "register/register_keys.h"
#include "register/total_key.h"
#include "sale/clients.h"
#include "sale/modes.h"
#include "sale/product_entry.h"
#include "sale/sale_save.h"
#include "screen/card_service.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"
#include "screen/register_state.h"
#include "screen/soft_keys.h"

namespace tarvo {

namespace {

constexpr ControlId Id(Control name, int index = 0) { return ControlId{name, index}; }

// Presses a button the way a click would: only when it is enabled.
bool Press(const ControlId& button, const std::function<void()>& click) {
    if (!Screen().Enabled(button)) return false;
    click();
    return true;
}

void HighlightFirst() {
    gReg.gHighlightKey = 1;
    ShowCursor();
}

// Moves the highlight by `step` keys, wrapping round the 24; from none it
// goes to the first key.
void MoveHighlight(int step) {
    int h = gReg.gHighlightKey;
    if (h == 0) {
        h = 1;
    } else {
        h += step;
        if (h < 1) h += 24;
        if (h > 24) h -= 24;
    }
    gReg.gHighlightKey = static_cast<std::int16_t>(h);
    ShowCursor();
}

// The numeric-pad "+": presses the highlighted soft key in keyboard mode.
void PressHighlighted() {
    const int h = gReg.gHighlightKey;
    if (gSettings.gKeyboardHints == 1 && h >= 1 && h <= 24 && Screen().Enabled(Id(Control::mDept, h))) mDept_Click(h);
}

// "/" after one digit 1-8: that department page.
void PageKey() {
    const std::string& entry = Screen().Text(kEntryBox);
    if (entry.size() == 1 && entry[0] >= '1' && entry[0] <= '8') {
        const int page = entry[0] - '0';
        Press(Id(Control::BDep, page), [page] { BDep_Click(page); });
    }
}

// F5: the department pages in turn, then Mode, then Print, then the first
// configured department page again.
void NextPage() {
    const KeyPage page = gReg.gKeyPage;
    if (page == KeyPage::Mode) {
        BSys_Click(4);
        return;
    }
    // From no page and from Print the first department page, from another
    // menu page Mode.
    const bool fromStart = page == KeyPage::None || page == KeyPage::Print;
    if (!fromStart && DepartmentNumber(page) == 0) {
        BSys_Click(2);
        return;
    }
    const int from = fromStart ? 0 : DepartmentNumber(page);
    for (int p = from + 1; p <= 8; ++p) {
        if (!Screen().Caption(Id(Control::BDep, p)).empty()) {
            BDep_Click(p);
            return;
        }
    }
    BSys_Click(2);
}

// Shift+F12: the product aliases that start with the entry text.
void AliasSearch() {
    gData.gSearchText = Screen().Text(kEntryBox);
    AuxPax_Search();
    DEA_Reset();
    if (gData.gSearchFirst > 0 && gData.gSearchLast > 0)
        Forms().SearchForm_Show(SearchFormSetup{8, 22, {4, 15, 37, 8, 8, 8, 9, 11}, 10});
}

// The entry box holds the start of a card swipe ("%").
bool CardTrackArriving() {
    const std::string& entry = Screen().Text(kEntryBox);
    return !entry.empty() && entry[0] == '%';
}

// Keys without a modifier; true when the entry box is to be emptied on key up.
bool PlainKey(int keyCode) {
    const bool loggedOut = gReg.gLoggedOut;
    switch (keyCode) {
    case KeyCode::Enter: BReg_Click(4); return true;
    case KeyCode::PageUp: Press(Id(Control::RT_Down), RT_Down_Click); return false;
    case KeyCode::PageDown: Press(Id(Control::Rt_Up), Rt_Up_Click); return false;
    case KeyCode::Left: MoveHighlight(-1); return false;
    case KeyCode::Up: MoveHighlight(-4); return false;
    case KeyCode::Right: MoveHighlight(1); return false;
    case KeyCode::Down: MoveHighlight(4); return false;
    case KeyCode::Insert:
        if (loggedOut) return false;
        BReg_Click(1);
        return true;
    case KeyCode::Delete: BReg_Click(2); return true;
    case KeyCode::NumMultiply: Press(Id(Control::BReg, 3), [] { BReg_Click(3); }); return true;
    case KeyCode::NumAdd: PressHighlighted(); return true;
    case KeyCode::NumDivide:
    case KeyCode::Slash:
        // A card reader types the track: its "/" (between the holder's
        // names) is part of it, no page key.
        if (CardTrackArriving()) return false;
        PageKey();
        return true;
    case KeyCode::F1: Press(Id(Control::mTotalRegister), [] { mTotalRegister_Click(); }); return true;
    case KeyCode::F2:
        if (Press(Id(Control::BPayment), BPayment_Click)) HighlightFirst();
        return true;
    case KeyCode::F3:
    case KeyCode::F4: {
        if (loggedOut) return true;
        const int page = keyCode == KeyCode::F3 ? 5 : 6;  // Special, Sales
        Press(Id(Control::BSys, page), [page] { BSys_Click(page); });
        HighlightFirst();
        return true;
    }
    case KeyCode::F5:
        if (loggedOut) return true;
        NextPage();
        HighlightFirst();
        return true;
    case KeyCode::F6:
        if (loggedOut) return true;
        if (Press(Id(Control::BOp, 1), [] { BOp_Click(1); })) HighlightFirst();
        return true;
    case KeyCode::F7:
        if (!loggedOut) Press(Id(Control::BOp, 2), [] { BOp_Click(2); });
        return true;
    case KeyCode::F8: Press(Id(Control::BOp, 3), [] { BOp_Click(3); }); return true;
    case KeyCode::F9:
        if (!loggedOut) Press(Id(Control::BOp, 4), [] { BOp_Click(4); });
        return true;
    case KeyCode::F10:
        if (!loggedOut) Press(Id(Control::BOp, 6), [] { BOp_Click(6); });
        return true;
    case KeyCode::F11: Press(Id(Control::BOp, 5), [] { Aux_Client(); }); return true;
    case KeyCode::F12: Press(Id(Control::BOp, 7), [] { Aux_Product(); }); return true;
    default: return false;
    }
}

// Keys with a modifier held.
bool ModifiedKey(int keyCode) {
    const bool open = !gSale.gStockCount && !gReg.gLoggedOut;
    switch (keyCode) {
    case KeyCode::Digit8:
        if (CardTrackArriving()) return false;  // a "*" in a card's track
        Press(Id(Control::BReg, 3), [] { BReg_Click(3); });
        return true;
    case KeyCode::F11:
        // New client, without the manager test of the Mode page.
        if (open) Press(Id(Control::BOp, 6), [] { Mode_Process(5); });
        return true;
    case KeyCode::F12:
        if (open && !Screen().Text(kEntryBox).empty()) AliasSearch();
        return true;
    case KeyCode::Equals: PressHighlighted(); return true;
    default: return false;
    }
}

}  // namespace

void Form_KeyDown(int keyCode, int shift) {
    gReg.gClearOnKeyUp = false;
    // Esc while the back office is asked stops the chain or the export
    // before its next request.
    if (keyCode == KeyCode::Escape && Online().Online_Escape()) return;
    if (gReg.gCardBusy) {
        if (keyCode == KeyCode::Escape) Cards().Card_Escape();
        return;
    }
    // A key during the pause after a sale belongs to the next sale: the pause
    // ends first (Enter and Escape on the receipt close it as they always do;
    // Shift, Ctrl and Alt alone are no key of their own).
    constexpr int kShiftKey = 16, kCtrlKey = 17, kAltKey = 18;
    const bool modifier = keyCode == kShiftKey || keyCode == kCtrlKey || keyCode == kAltKey;
    const bool answersPrintout = gReg.gPromptLineActive && gReg.gPromptLine == kPrintoutQuestion &&
                                 (keyCode == KeyCode::Enter || keyCode == KeyCode::Escape);
    if (!modifier && !answersPrintout) SaleEnd_Hurry();
    if (gReg.gPromptLineActive) {
        if (keyCode == KeyCode::Enter)
            PromptInCIA_Enter();
        else if (keyCode == KeyCode::Escape)
            PromptInCIA_Cancel();
        return;
    }
    gReg.gClearOnKeyUp = shift == 0 ? PlainKey(keyCode) : ModifiedKey(keyCode);
}

void Form_KeyUp(int, int) {
    ScreenModel& s = Screen();
    if (gReg.gClearOnKeyUp) {
        // The amount the card prompt proposes stays for the cashier to confirm.
        if (!(gReg.gPromptLine == 1 && gReg.gPromptLineActive)) s.SetText(kEntryBox, "");
        gReg.gClearOnKeyUp = false;
    }
    // The "+" typed to press a highlighted key is no answer to a question.
    if (gReg.gPromptLineActive && s.Text(kEntryBox) == "+") s.SetText(kEntryBox, "");
}

void Control_GotFocus(const ControlId& id) {
    static constexpr Control kHandBack[] = {Control::Rt_Description, Control::Rt_Extension, Control::Rt_Price,
                                            Control::Rt_Quantity,    Control::Rt_Tax,       Control::Rt_Total,
                                            Control::Txt_Mode,       Control::txtCIA,       Control::Tr_Amount,
                                            Control::Tr_Title};
    if (id.name == Control::Rt_Number) {
        Receipt_GetFocus(id.index);
        return;
    }
    for (Control name : kHandBack) {
        if (id.name == name) {
            Screen().SetFocus(kEntryBox);
            return;
        }
    }
}

}  // namespace tarvo
