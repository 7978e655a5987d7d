// The button groups of the register window and the 24 soft keys whose
// meaning follows the page shown (gReg.gKeyPage, a KeyPage):
//
//   BDep 1-8        department pages 1-8
//   BSys 1-6        System (10), Mode (16), Extras (11), Print (12),
//                   Special (14), Sales (13)
//   BPayment        the payment page (15)
//   BOp 1-8         VoidLast, Void, Clock, Salesperson, Client search,
//                   Client, Product search, Product
//   BReg 1-4        Block, Erase, Quantity, Enter
//   mDept 1-24      the soft keys
//
// Every handler takes the pressed button's index; the keyboard reaches the
// same handlers, so every rule here holds for it too. Enter finishes what
// the entry box is waiting for (gReg.gPromptState: 0 a product code or a
// card swipe, 1 paid-out, 2 login code, 3 opening amount, 4 declaration).
#pragma once
#include "screen/key_page.h"
#include "screen/register_context.h"

namespace tarvo {

void BDep_Click(int page);
void BSys_Click(int index);
void BPayment_Click();
// What the Payment key does; false when the page was not opened (stock
// count, or a refund outside return and exchange).
bool PaymentPage_Open();
void mDept_Click(int key);
void BOp_Click(int index);
void BReg_Click(int index);

// A click (touch) of a button of the window, by its id: the button groups
// above, the keypad ({Control::mNumeric, n}), the Total key and the
// receipt's scroll buttons. Other ids do nothing.
void Button_Click(const ControlId& id);

// The soft-key group (1 System, 2 Mode, 3 Extras, 4 Print, 5 Special,
// 6 Sales) shown on a page, 0 for the department and payment pages.
int SoftKeyGroupOfPage(KeyPage page);

// Processes the entry box's text: a product code, or a card swipe when it
// starts with "%". Run by the BarCode box's change event and by Enter when
// no entry state is pending.
void BarCode_Change();

}  // namespace tarvo
