#include "online/online_page.h"

#include "config/constants.h"
#include "config/settings.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "online/order_labels.h"
#include "online/purchase_order_file.h"
#include "online/purchase_orders.h"
#include "online/server_tasks.h"
#include "online/shipping_export.h"
#include "sale/modes.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

// What a key asks before it acts.
struct KeyChecks {
    bool resetEntry = false;  // the entry box emptied first
    bool noSale = false;      // refused while the sale has lines
    bool number = false;      // refused while the entry box is empty
};

KeyChecks ChecksOf(int key) {
    switch (key) {
    case 1:
    case 5:
    case 13:
    case 14:
    case 15: return {false, true, false};
    case 2:
    case 3:
    case 4:
    case 7:
    case 9: return {false, true, true};
    case 16:
    case 21:
    case 24: return {true, true, false};
    default: return {};
    }
}

void Refuse(Message message) { CIATime(Msg(message), 5); }

// Key 6: the other back-office server for every request from now on (not
// kept: each start begins with server 1).
void Server_Switch() {
    std::int16_t& slot = gConstants.servers.gServerSlot;
    slot = slot == 1 ? 2 : 1;
    CIATime("Switched to Server  " + std::to_string(slot), 5);
    ProgramLog().Write(1, "Online: requests go to server " + std::to_string(slot));
}

// Key 9: a manager's code in the entry box, then the device check, which
// has nothing to check on this register.
void Manager_DeviceCheck() {
    Authorization_Verify();
    if (!gReg.gAuthorized) Refuse(Message::ManagerNotAllowedAccess);
}

}  // namespace

void Online_NotBuilt(const std::string& what) {
    ProgramLog().Write(1, "Online: " + what + " is not available on this register");
    CIATime(Msg(Message::InvalidEntry), 5);
}

void Online_Process(int key, OnlineChains& chains, WebOrderImport& imports) {
    if (gSale.gMode != RegisterMode::Sales) {
        Refuse(Message::InvalidEntryOperationCancelled);
        return;
    }
    if (key < 1 || key > 24) return;
    const KeyChecks checks = ChecksOf(key);
    if (checks.resetEntry) DEA_Reset();
    if (checks.noSale && gSale.gItemCount > 0) {
        Refuse(Message::OperationNotAllowedInMidSale);
        return;
    }
    if (checks.number && Screen().Text(kEntryBox).empty()) {
        Refuse(Message::DocumentNumberIsRequired);
        return;
    }
    switch (key) {
    case 1: OnLine_Search_PO_File(); break;
    case 2: Online_Fetch_PO(chains); break;
    case 3: break;  // the checks only
    case 4: Online_Label_By_Order(chains); break;
    case 5:
        if (Reg().runner)
            Online_Test_Start(*Reg().runner);
        else
            Online_NotBuilt("the server test without a background runner");
        break;
    case 6: Server_Switch(); break;
    case 7: OnLine_Pack_Order(chains); break;
    case 9: Manager_DeviceCheck(); break;
    // The card tools; a register without card payments answers "Invalid Entry".
    case 13: Cards().Terminal_Find(); break;
    case 14: Cards().TerminalIP_Input(); break;
    case 15:
        // Going online by hand has no meaning here: the network is either up or not.
        ProgramLog().Write(1, "Online: the card-terminal test runs on the network as it is");
        Cards().Terminal_Test();
        break;
    case 16: Cards().Gateway_Test(); break;
    case 21:
        if (Reg().runner)
            imports.Start(*Reg().runner);
        else
            Online_NotBuilt("the web-shop order import without a background runner");
        break;
    case 22:
        gSettings.gOnlineStockCheck = !gSettings.gOnlineStockCheck;
        Online_Stock_SetButton();
        break;
    case 24: Online_Prompt_Start_Order(); break;
    default: break;  // an empty key
    }
}

void Online_Stock_SetButton() {
    const bool on = gSettings.gOnlineStockCheck;
    const bool french = gSettings.gLanguage == 2;
    std::string caption;
    if (french)
        caption = on ? "V\xE9rif.Stock\r\nD\xE9sactiver" : "V\xE9rif. Stock\r\nActiver";
    else
        caption = on ? "StockCheck\r\nDeactivate" : "Stock Check\r\nActivate";
    const ControlId key{Control::mDept, 22};
    Screen().SetCaption(key, caption);
    Screen().SetEnabled(key, true);
}

}  // namespace tarvo
