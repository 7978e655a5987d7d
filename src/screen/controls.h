// The ids of the register window's single controls, named once.
#pragma once
#include "screen/screen_model.h"

namespace tarvo {

inline constexpr ControlId kEntryBox{Control::txtDEA, 0};       // where everything is typed, scanned or swiped
inline constexpr ControlId kMessageLine{Control::txtCIA, 0};    // the message and prompt line
inline constexpr ControlId kMessageBox{Control::Txt_All, 0};    // the full text panel of the receipt area
inline constexpr ControlId kTimedBox{Control::Txt_Message, 0};  // the timed message panel
inline constexpr ControlId kGreeting{Control::Greeting, 0};
inline constexpr ControlId kPrintout{Control::Txt_Printer, 0};  // the on-screen printout
inline constexpr ControlId kPaymentKey{Control::BPayment, 0};
inline constexpr ControlId kBalanceCaption{Control::Lbl_BalanceDue, 0};
// The register window itself: hidden while the cash-count form is open.
inline constexpr ControlId kRegisterForm{Control::frmCashMain, 0};

constexpr ControlId SoftKey(int k) { return ControlId{Control::mDept, k}; }

}  // namespace tarvo
