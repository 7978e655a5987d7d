#include "inventory/purchases.h"

#include <array>

#include "common/fields.h"
#include "common/numbers.h"
#include "common/text_clean.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "inventory/document_files.h"
#include "sale/modes.h"
#include "sale/product_entry.h"
#include "sale/record_fields.h"
#include "sale/sale_save.h"
#include "sale/sale_start.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/forms_service.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/receipt_area.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

PurchaseState gPurchase;

namespace {

constexpr int kCostQuestion = 10, kPriceQuestion = 11, kCommentQuestion = 12;

void ClosePurchaseFiles() {
    gData.purchaseLines.Close();
    gData.purchases.Close();
}

std::string Col(std::string_view record, std::size_t from, std::size_t to) {
    return Trim(Mid(record, from, to - from + 1));
}

void Ask(int question, Message message) {
    CIATime(Msg(message), 0);
    Screen().SetText(kEntryBox, "");
    Prompt().PromptInCIA_Show(question);
}

// The vendor's text on the information panel.
std::string VendorText(std::string_view v) {
    const std::string nl = "\r\n";
    std::string t;
    t += Col(v, 9, 48) + nl;
    t += Col(v, 49, 88) + nl;
    t += Col(v, 89, 128) + nl;
    t += Col(v, 129, 178) + nl;
    t += "Telephone: " + Col(v, 181, 200) + nl;
    t += "Fax: " + Col(v, 201, 220) + nl;
    t += nl;
    t += "Contact: " + Col(v, 221, 245) + nl;
    t += Msg(Message::MinimumOrder) + " " + Col(v, 246, 255) + nl;
    t += Msg(Message::Comments) + " " + Col(v, 256, 355) + nl + nl;
    t += Msg(Message::TouchOrClickEnterButtonToContinue);
    return t;
}

// The purchase-cancelled notice (the message table has none).
std::string CancelledNotice() { return gSettings.gLanguage == 2 ? "Achat Annul\xE9" : "Purchase Cancelled"; }

// The money columns of a purchase line: blanks for a value not asked or 0.
std::string PriceColumn(bool asked, const Money& value) { return asked && !value.IsZero() ? value.Text() : ""; }

}  // namespace

void Purchase_Start() {
    Vendor_DisplayList();
    DEA_Reset();
}

void Vendor_DisplayList() {
    gSale.gPurchaseVendor.clear();
    Forms().SearchForm_Show(SearchFormSetup{7, 22, {32, 13, 15, 5, 35, 2, 0, 0}, 10});
}

void Purchase_CollectInformation() {
    DEA_Reset();
    gSale.gSearchKind = 14;
    Forms().EntryForm_Show();
}

void Vendor_ShowInformation() {
    DataState& d = gData;
    Department_SetDefaultKey();
    if (d.gVendorRecNo < 1 || d.gVendorRecNo > d.gVendorCount || !d.vendors.IsOpen()) {
        ProgramLog().Write(1, "Vendor_ShowInformation: vendor record " + std::to_string(d.gVendorRecNo) +
                                  " is not in the vendor file; purchase cancelled");
        Purchase_Cancel();
        return;
    }
    const std::string vendor = d.vendors.Read(d.gVendorRecNo);
    Screen().SetText(kMessageBox, VendorText(vendor));
    gSale.gPurchaseVendor = Col(vendor, 1, 8);
    Mode_Display();
    All_Hide();
    MessageWithNoEnd_Show();
    CIATime(Msg(Message::EntryInitiatedSuccessfully), 5);
    if (gSettings.gVendorTaxExempt) gSale.gTaxExempt[1] = gSale.gTaxExempt[2] = gSale.gTaxExempt[3] = true;
    DEA_Reset();
}

void Purchase_PromptCost() { Ask(kCostQuestion, Message::InputProductPurchaseCost); }
void Purchase_PromptPrice() { Ask(kPriceQuestion, Message::InputProductRetailPrice); }
void Purchase_PromptComment() { Ask(kCommentQuestion, Message::InputProductComment); }

void Purchase_AddProduct() {
    // Totals_Update prices the new line from its cost (unit price x quantity
    // / price units, to the cent) with the others.
    Purchase_CancelProduct();
}

void Purchase_CancelProduct() {
    MessageWithNoEnd_Hide();
    Receipt_Show();
    // The totals first: the receipt shows each line's extension as they
    // settle it, from its cost, not the selling price it was added at.
    Totals_Update();
    Receipt_Display();
}

void Purchase_Cancel() {
    gSale.gMode = gSettings.gHomeMode;
    Physical_Hide();
    MessageWithNoEnd_Hide();
    Receipt_Show();
    Sale_Start();
    Screen().SetText(kMessageLine, "");
    CIATime(CancelledNotice(), 5);
}

std::optional<PurchaseRecords> PurchaseRecords_Build(std::int64_t number, std::string& problem) {
    const SaleState& s = gSale;
    PurchaseRecords out;
    RecordBuilder h(problem);
    h.Zero(number, 7);
    h.Raw(" 0 ");
    h.Raw(s.gPurchaseIsOrder ? "1" : "2");
    h.Raw(gReg.gBusinessDate);
    h.Raw(s.gDocPriority == "1" ? "1" : "2");
    const std::string& type = s.gDocType;
    h.Raw(type == "2" || type == "3" || type == "4" || type == "5" ? type + " " : std::string("1 "));
    h.Raw(s.gDocCancelBackOrders == "1" ? "1" : "2");
    h.Text(CashierNumberAt(gReg.gCashierIndex), 8);
    h.Text(Text_Clean(s.gDocDeliveryDate), 8);
    h.Text(s.gPurchaseVendor, 8);
    h.Text(Text_Clean(s.gDocCancelDate), 8);
    SaleAmounts(h, false);
    h.Text(std::to_string(s.gItemCount), 3);
    h.Text(Text_Clean(s.gDocVendorOrderNo), 20);
    h.Text(Text_Clean(s.gDocSupplyMethod), 30);
    h.Text(Text_Clean(s.gDocDeliveryMethod), 20);
    h.Text(Text_Clean(s.gDocComment), 110);
    h.Text("", 6);
    out.header = h.Take();

    const bool cost = gSettings.gAskPurchaseCost, price = gSettings.gAskPurchasePrice;
    for (int k = 1; k <= s.gItemCount && k <= kMaxSaleLines; ++k) {
        const SaleLine& line = s.gLines[static_cast<std::size_t>(k)];
        const std::string n = std::to_string(k);
        RecordBuilder l(problem);
        l.Zero(number, 7);
        l.Zero(k, 3);
        l.Text(line.product, 8);
        l.Text(line.key, 20);
        l.Number(Num_Text(line.quantity), 9, "Quantity of Line " + n);
        // With the cost asked the retail price is the list price; without
        // it the one price asked is the retail price.
        l.Number(PriceColumn(price, cost ? line.listPrice : line.unitPrice), 9, "Retail Price of Line " + n);
        l.Number(PriceColumn(cost, line.unitPrice), 9, "Cost of Line " + n);
        l.Text(line.note, 20);
        l.Raw(line.hasNote ? "1" : "0");
        l.Text("", 2);
        out.lines.push_back(l.Take());
    }
    if (!problem.empty()) return std::nullopt;
    return out;
}

bool Purchase_Save() {
    DataState& d = gData;
    if (!DocumentLines_Fit("Purchase_Save", "Purchase")) return false;
    Open_Filepurchase();
    if (!d.purchases.IsOpen() || !d.purchaseLines.IsOpen()) {
        ClosePurchaseFiles();
        DocumentNotSaved("Purchase_Save", "Purchase", "Purchase Files Cannot Be Opened");
        return false;
    }
    BusinessDate_Normalise();
    const std::int64_t number = Transaction_NextRecord(d.purchases);
    std::string problem;
    std::optional<PurchaseRecords> rec = PurchaseRecords_Build(number, problem);
    if (!rec) {
        ClosePurchaseFiles();
        DocumentNotSaved("Purchase_Save", "Purchase", problem + " Too Large");
        return false;
    }
    std::array<DocumentPart, 2> parts{{
        {&d.purchases, ".PUR", number, {std::move(rec->header)}, 270, 0, &d.gLastPurchaseRecord},
        {&d.purchaseLines, ".PUL", Transaction_NextRecord(d.purchaseLines), std::move(rec->lines), 80, 0,
         &d.gLastPurchaseLineRecord},
    }};
    if (!Document_Commit(parts, "Purchase_Save")) {
        ClosePurchaseFiles();
        DocumentNotSaved("Purchase_Save", "Purchase", "Error Writing the Purchase Files");
        return false;
    }
    gPurchase.gDocumentNumber = PadZero(std::to_string(number), 7);
    gSaleSave.gPrintRecordNo = static_cast<std::int32_t>(number);
    ClosePurchaseFiles();
    CIATime(Msg(gSale.gPurchaseIsOrder ? Message::PurchaseOrderTitle : Message::PurchaseTitle) + " " +
                gPurchase.gDocumentNumber,
            5);
    return true;
}

}  // namespace tarvo
