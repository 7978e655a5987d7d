// The ids of the register window's single controls, named once.
#pragma once
#include "register/screen_model.h"

namespace tarvo {

inline const ControlId kEntryBox{"txtDEA", 0};        // where everything is typed, scanned or swiped
inline const ControlId kMessageLine{"txtCIA", 0};     // the message and prompt line
inline const ControlId kMessageBox{"Txt_All", 0};     // the full text panel of the receipt area
inline const ControlId kTimedBox{"Txt_Message", 0};   // the timed message panel
inline const ControlId kGreeting{"Greeting", 0};
inline const ControlId kPrintout{"Txt_Printer", 0};   // the on-screen printout
inline const ControlId kPaymentKey{"BPayment", 0};
inline const ControlId kBalanceCaption{"Lbl_BalanceDue", 0};

inline ControlId SoftKey(int k) { return ControlId{"mDept", k}; }

}  // namespace tarvo
