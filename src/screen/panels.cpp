#include "screen/panels.h"
#include "screen/controls.h"

#include <string>

#include "common/numbers.h"
#include "config/settings.h"
#include "data/sale_state.h"
#include "screen/messages.h"
#include "screen/receipt_area.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

ControlId Title(int k) { return ControlId{Control::Tr_Title, k}; }
ControlId Amount(int k) { return ControlId{Control::Tr_Amount, k}; }
constexpr ControlId kPhysicalLabels[] = {
    {Control::Lbl_Phys_Code, 0}, {Control::Lbl_Phys_Desc, 0}, {Control::Lbl_Phys_Quantity, 0}};

constexpr const char* kAmountPattern = "$###,##0.00";
constexpr const char* kCrLf = "\r\n";

// The totals cells, entry box, message line and mode box in the order the
// card request freezes them.
void SetReceiptAreaEnabled(bool on) {
    ScreenModel& s = Screen();
    for (int k = 1; k <= 11; ++k) s.SetEnabled(Amount(k), on);
    for (int k = 1; k <= 10; ++k) s.SetEnabled(Title(k), on);
    for (Control name : {Control::Lbl_BalanceDue, Control::txtDEA, Control::txtCIA, Control::Txt_Mode})
        s.SetEnabled(ControlId{name, 0}, on);
}

}  // namespace

void All_Hide() {
    Summary_Hide();
    Receipt_Hide();
    MessageWithNoEnd_Hide();
    MessageWithTimerToEnd_Hide();
    Physical_Hide();
    Screen().Show(ControlId{Control::Txt_Printer, 0}, false);
}

void Summary_Hide() {
    ScreenModel& s = Screen();
    for (int k = 1; k <= 10; ++k) {
        s.Show(Amount(k), false);
        s.Show(Title(k), false);
    }
    s.Show(Amount(11), false);
    s.Show(kBalanceCaption, false);
}

void Summary_Show() {
    gReg.gReceiptAreaContent = ReceiptAreaContent::Totals;
    All_Hide();
    ScreenModel& s = Screen();
    const std::uint32_t back = GridBackColour(), alert = AlertColour();
    for (int k = 1; k <= 10; ++k) {
        for (const ControlId& id : {Amount(k), Title(k)}) {
            s.Show(id, true);
            s.SetBackColour(id, back);
        }
    }
    for (const ControlId& id : {Amount(6), Title(6), Amount(10), Title(10), kBalanceCaption})
        s.SetForeColour(id, alert);
    s.Show(Amount(11), true);
    s.SetBackColour(Amount(11), back);
    s.SetForeColour(Amount(11), LineColour());

    const SaleState& sale = gSale;
    s.SetText(Amount(1), sale.gSubtotal.Format(kAmountPattern));
    if (!sale.gSaleDiscount.IsZero()) {
        s.SetText(Amount(2), sale.gSaleDiscount.Format("$-###,##0.00"));
        s.SetText(Title(2), "Discount ");
    } else {
        s.SetText(Amount(2), "");
        s.SetText(Title(2), "");
    }
    const Money taxes[] = {sale.gTax1, sale.gTax2, sale.gTax3};
    for (int k = 0; k < 3; ++k) s.SetText(Amount(3 + k), taxes[k].IsZero() ? "" : taxes[k].Format(kAmountPattern));
    s.SetText(Amount(6), sale.gTotal.Format(kAmountPattern));
    s.Show(kBalanceCaption, true);
}

void Physical_Hide() {
    for (const ControlId& id : kPhysicalLabels) Screen().SetCaption(id, "");
    for (const ControlId& id : kPhysicalLabels) Screen().Show(id, false);
}

void Physical_Activate() {
    gSale.gStockCount = true;
    for (const ControlId& id : kPhysicalLabels) Screen().Show(id, true);
}

void Client_ShowInformation() {
    gReg.gReceiptAreaContent = ReceiptAreaContent::Panel;
    const SaleState& sale = gSale;
    std::string text = Msg(Message::Client) + ": " + sale.gClientName + kCrLf + sale.gClientAddress + kCrLf +
                       sale.gClientPhone + kCrLf + Msg(Message::Standing) + " " + sale.gClientExtra + kCrLf +
                       Msg(Message::PriceIndex) + " " + std::to_string(sale.gClientPriceLevel) + kCrLf +
                       Msg(Message::DiscountPercent) + " " + Num_TextDisplay(sale.gClientDiscount) + kCrLf + "(" +
                       Msg(Message::TouchOrClickEnterButtonToContinue) + ")";
    Screen().SetText(ControlId{Control::Txt_All, 0}, text);
    All_Hide();
    MessageWithNoEnd_Show();
}

void ReceiptArea_Deactivate() { SetReceiptAreaEnabled(false); }
void ReceiptArea_Activate() { SetReceiptAreaEnabled(true); }

void Mode_PriceChange_Activate() {
    // The count panel takes the grid's place as the sale-entry view: product
    // entry fills it and must not bring the grid back over it, so the area
    // counts as showing the entry view (0).
    gReg.gReceiptAreaContent = ReceiptAreaContent::Grid;
    All_Hide();
    Physical_Activate();
    for (Control label : {Control::Lbl_Phys_Code, Control::Lbl_Phys_Desc, Control::Lbl_Phys_Quantity})
        Screen().SetCaption(ControlId{label, 0}, "");
    SaleEngine().OnlineProduct_Clear();
    Screen().SetText(kEntryBox, "");
}

}  // namespace tarvo
