#include "sale/modes.h"

#include <algorithm>
#include <array>
#include <string>

#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "sale/sale_start.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/receipt_area.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

constexpr ControlId kModeBox{Control::Txt_Mode, 0};

// The mode keys that need a manager look at this right of the manager.
constexpr std::size_t kModeRight = 9;

// The mode-name table's rows: a mode's by its number, the pending prompt
// state's by the state's, and these for the one-shot modifiers.
constexpr int NameRow(RegisterMode mode) { return static_cast<int>(mode); }
constexpr int kVoidModeRow = 20;
constexpr int kReturnRow = 21;
constexpr int kExchangeRow = 22;
constexpr int kPriceSearchRow = 23;
constexpr int kStockSearchRow = 24;
constexpr int kManualPriceRow = 25;

void Say(Message message, int seconds = 5) { CIATime(Msg(message), seconds); }
// A message on the message line until something replaces it.
void SayUntilReplaced(Message message) { CIATime(Msg(message), 0); }

// Lines on the receipt: "Operation Not Allowed in Mid Sale" and nothing else.
bool MidSale() {
    if (gSale.gItemCount <= 0) return false;
    Say(Message::OperationNotAllowedInMidSale);
    return true;
}

bool ManagerHasRight(std::size_t right) {
    const auto index = static_cast<std::size_t>(gReg.gManagerIndex);
    if (index == 0 || index >= gData.ManagerTable.size()) return false;
    const std::string& rights = gData.ManagerTable[index].ManagerRights;
    return rights.size() >= right && rights[right - 1] == '1';
}

// A manager code that grants the mode right: an empty entry asks for one, a
// refused code has said why, and a manager without the right is told so.
bool ManagerWithModeRight() {
    if (Screen().Text(kEntryBox).empty()) {
        Say(Message::ManagerAuthorizationRequired);
        return false;
    }
    Authorization_Verify();
    if (!gReg.gAuthorized) return false;
    if (!ManagerHasRight(kModeRight)) {
        Say(Message::ManagerNotAllowedAccess);
        return false;
    }
    return true;
}

// The mode box's font size by the length of its text; other lengths keep it.
void SizeModeBox(std::size_t length) {
    if (length >= 15 && length <= 17)
        Screen().SetFontSize(kModeBox, 12);
    else if (length >= 18 && length <= 21)
        Screen().SetFontSize(kModeBox, 11);
    else if (length >= 22 && length <= 30)
        Screen().SetFontSize(kModeBox, 10);
}

void PurchaseEntry(bool purchaseOrder) {
    DEA_Reset();
    if (MidSale()) return;
    if (gData.gVendorCount == 0) {
        Say(Message::NoVendorInformationAvailable);
    } else {
        gSale.gPurchaseIsOrder = purchaseOrder;
        gSale.gMode = RegisterMode::Purchase;
        Inventory().Purchase_Start();
    }
    Mode_Display();
}

void StockAdjustment(std::int16_t direction) {
    DEA_Reset();
    if (MidSale()) return;
    if (gSale.gMode == RegisterMode::Adjustment) {
        Inventory().Adjustment_Cancel();
    } else {
        gSale.gAdjustmentDirection = direction;
        Inventory().Adjustment_Prepare();
    }
    Mode_Display();
}

void Order(const char* kind) {
    DEA_Reset();
    if (gData.gClientRecNo == 0 && gData.gNewClientRecNo == 0) {
        Say(Message::MustBeginByIndicatingAClientFirst);
        return;
    }
    if (MidSale()) return;
    SaleState& s = gSale;
    s.gOrderKeyBefore = SaleState::OrderKeyBefore{true, s.gTaxExempt, s.gOrderKind};
    s.gSearchKind = 12;
    Mode_Display();
    s.gOrderKind = kind;
    if (s.gOrderKind == "2") s.gTaxExempt[1] = s.gTaxExempt[2] = s.gTaxExempt[3] = true;
    Forms().EntryForm_Show();
}

void CountStock() {
    if (MidSale()) return;
    if (!ManagerWithModeRight()) return;
    SaleState& s = gSale;
    if (s.gMode == RegisterMode::StockCount) {
        s.gStockCount = false;
        s.gMode = gSettings.gHomeMode;
        Physical_Hide();
        SayUntilReplaced(Message::InventoryCountDisabled);
        Receipt_Show();
        Printing().Printer_Close(true);
    } else {
        s.gMode = RegisterMode::StockCount;
        s.gStockCount = true;
        Physical_Activate();
        SayUntilReplaced(Message::InventoryCountEnabled);
        Receipt_Hide();
    }
    Mode_Display();
}

void ChangePrice() {
    if (MidSale()) return;
    Authorization_Verify();
    if (gReg.gAuthorized) {
        if (!ManagerHasRight(kModeRight)) {
            Say(Message::ManagerNotAllowedAccess);
        } else {
            SaleState& s = gSale;
            s.gOnlineProduct.clear();
            if (s.gMode == RegisterMode::ChangePrice) {
                s.gMode = gSettings.gHomeMode;
                SayUntilReplaced(Message::PriceChangeDeactivated);
                s.gStockCount = false;
                Physical_Hide();
                Receipt_Show();
            } else {
                s.gMode = RegisterMode::ChangePrice;
                SayUntilReplaced(Message::BeginByScanningInputtingProduct);
                Mode_PriceChange_Activate();
            }
            Mode_Display();
        }
    }
    DEA_Reset();
}

void Training() {
    SaleState& s = gSale;
    if (s.gMode == RegisterMode::Training) {
        s.gMode = gSettings.gHomeMode;
        Sale_Start();
        return;
    }
    if (MidSale()) return;
    if (!ManagerWithModeRight()) return;
    s.gMode = RegisterMode::Training;
    Sale_Start();
    Screen().SetText(kMessageLine, "");
}

}  // namespace

void Authorization_Verify() {
    gReg.gManagerIndex = 0;
    gReg.gAuthorized = false;
    const std::string& entry = Screen().Text(kEntryBox);
    if (entry.empty()) {
        Say(Message::ManagerAuthorizationRequired);
        return;
    }
    const auto last = std::min<std::size_t>(static_cast<std::size_t>(std::max(gData.gManagerCount, 0)),
                                            gData.ManagerTable.size() - 1);
    for (std::size_t i = 1; i <= last; ++i) {
        if (gData.ManagerTable[i].ManagerKey == entry) {
            gReg.gManagerIndex = static_cast<std::int32_t>(i);
            gReg.gAuthorized = true;
            return;
        }
    }
    Say(Message::InvalidManagerAuthorizationCode);
}

void Manager_Required() {
    Authorization_Verify();
    if (!gReg.gAuthorized) Say(Message::ManagerAuthorizationRequired, 2);
}

void Order_PageClosed(bool saved) {
    SaleState& s = gSale;
    if (s.gOrderKeyBefore.pending && !saved) {
        s.gTaxExempt = s.gOrderKeyBefore.taxExempt;
        s.gOrderKind = s.gOrderKeyBefore.orderKind;
    }
    s.gOrderKeyBefore = SaleState::OrderKeyBefore{};
    s.gSearchKind = 0;
}

void Mode_Display() {
    SaleState& s = gSale;
    int name = NameRow(RegisterMode::Sales);
    switch (s.gMode) {
    case RegisterMode::OrderEntry:
    case RegisterMode::Purchase:
    case RegisterMode::Adjustment:
    case RegisterMode::StockCount:
    case RegisterMode::Receiving:
    case RegisterMode::Training:
    case RegisterMode::PriceChecker:
    case RegisterMode::ReceivePO:
    case RegisterMode::PackOrder:
    case RegisterMode::ChangePrice: name = NameRow(s.gMode); break;
    // Both purchase-order modes show one name.
    case RegisterMode::PurchaseOrder:
    case RegisterMode::NewPurchaseOrder: name = NameRow(RegisterMode::PurchaseOrder); break;
    default:
        if (gReg.gPromptState >= PromptState::PaidOut && gReg.gPromptState <= PromptState::ClientNumber) {
            name = static_cast<int>(gReg.gPromptState);
        } else {
            // The last pending modifier wins.
            if (s.gVoidMode) name = kVoidModeRow;
            if (s.gReturnMode) name = kReturnRow;
            if (s.gExchangeMode) name = kExchangeRow;
            if (s.gPriceSearch) name = kPriceSearchRow;
            if (s.gStockSearch) name = kStockSearchRow;
            if (gData.gManualPrice) name = kManualPriceRow;
        }
        s.gMode = RegisterMode::Sales;
        break;
    }
    const std::string text = "Mode: " + ModeName(gConstants.tables, name, TextLanguage(gSettings));
    Screen().SetText(kModeBox, text);
    Screen().SetVisible(kModeBox, true);
    SizeModeBox(text.size());
}

void Mode_Process(int key) {
    SaleState& s = gSale;
    switch (key) {
    case 1:  // Sales Entry
        if (s.gItemCount > 0 && s.gMode != RegisterMode::Training) return;
        s.gMode = RegisterMode::Sales;
        s.gStockCount = false;
        Physical_Hide();
        Receipt_Show();
        Sale_Start();
        Screen().SetText(kMessageLine, "");
        return;
    case 3:  // Purchase order entry
        PurchaseEntry(true);
        return;
    case 4:  // Purchase entry
        PurchaseEntry(false);
        return;
    case 5:  // New client
        DEA_Reset();
        if (gData.gClientRecNo == 0) {
            Say(Message::BeginBySelectingAClientToDuplicate);
            return;
        }
        if (MidSale()) return;
        s.gSearchKind = 18;
        Mode_Display();
        Forms().EntryForm_Show();
        return;
    case 12:  // Set stock to zero
        if (MidSale()) return;
        if (!ManagerWithModeRight()) return;
        Inventory().CommandFile_Create();
        return;
    case 13:  // New product
        DEA_Reset();
        if (MidSale()) return;
        s.gSearchKind = 19;
        Mode_Display();
        Forms().EntryForm_Show();
        return;
    case 14:  // Stock shortage
        StockAdjustment(-1);
        return;
    case 15:  // Stock overage
        StockAdjustment(1);
        return;
    case 16: CountStock(); return;
    case 17: ChangePrice(); return;
    case 20:  // Price checker
        if (MidSale()) return;
        s.gMode = RegisterMode::PriceChecker;
        Sale_Start();
        return;
    case 21:  // Client order
        Order("1");
        return;
    case 22:  // Store order
        Order("2");
        return;
    case 24: Training(); return;
    default: return;
    }
}

}  // namespace tarvo
