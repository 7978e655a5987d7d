#include "print/inventory_documents.h"

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/transaction_files.h"
#include "print/document_parts.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "print/stored_document.h"
#include "sale/sale_save.h"

namespace tarvo {
namespace {

using namespace print_text;

// What the purchase and adjustment parts share: the document, its language
// and the paper.
struct Document {
    explicit Document(const StoredDocument& doc)
        : stored(doc),
          lang(TextLanguage(gSettings)),
          wide(gSettings.gWidePaper == 1),
          width(wide ? 54 : 40),
          head(doc.header) {}
    const StoredDocument& stored;
    int lang = 1;
    bool wide = false;
    std::size_t width = 40;
    const std::string& head;  // the header record

    const std::string& M(Message k) const { return MessageText(gConstants.tables, k, lang); }
    std::string Rule() const { return std::string(width, '-'); }
};

// A fixed-width field of a record, blank-padded when the record is short.
std::string Field(std::string_view rec, std::size_t col, std::size_t width) { return Fit(Mid(rec, col, width), width); }

// The cashier of the document (whatever the receipt setting), when found.
void DocumentCashier(const Document& d, std::string_view rec, std::size_t col) {
    if (const auto k = Cashier_FindByNumber(ColTrim(rec, col, 8)))
        Line(d.M(Message::Cashier) + gData.CashierTable[static_cast<std::size_t>(*k)].CashierName);
}

// The product of a document line by its key (columns 19-38).
std::optional<std::string> LineProduct(std::string_view line) { return Product_FindPlain(ColRTrim(line, 19, 20)); }

// ---------------------------------------------------------------- purchase

// The vendor of the purchase: its record ("" when unknown) and the document
// language (French for vendor language 2, English for any other value, the
// terminal language when the vendor is unknown).
std::string PurchaseVendor(Document& d) {
    const std::optional<std::int32_t> vendor = Vendor_Find(Col(d.head, 40, 8));
    if (!vendor) {
        d.lang = TextLanguage(gSettings);
        return "";
    }
    std::string v = gData.vendors.Read(*vendor);
    // The language is a number in a two-column field: " 2", "2 " and "02" alike.
    d.lang = Number(v, 179, 2) == 2.0 ? 2 : 1;
    return v;
}

void VendorBlock(const Document& d, std::string_view v) {
    const std::string& label = d.M(Message::Vendor);
    const std::size_t w = d.wide ? 40 : 30;
    Line(label + Field(v, 9, w));
    for (const std::string& a : {Field(v, 49, w), Field(v, 89, w), Field(v, 129, d.wide ? 45 : 30)})
        if (!AllBlank(a)) Line(Blanks(Len(label)) + a);
    const std::string tel = Field(v, 181, 20), fax = Field(v, 201, 20);
    if (!AllBlank(tel)) Line("Telephone: " + tel);
    if (!AllBlank(fax)) Line("Fax:       " + fax);
}

std::string PurchaseType(std::string_view code) {
    if (code == "1") return "Regular";
    if (code == "2") return "Future";
    if (code == "3") return "Ship Complete";
    if (code == "4") return "Ship Direct";
    if (code == "5") return "Request for Quote";
    return "Unknown";
}

void OrderBlock(const Document& d) {
    const std::string_view h = d.head;
    const std::string orderRef = Field(h, 113, 20), contact = Field(h, 133, d.wide ? 30 : 20),
                      reference = Field(h, 163, 20);
    if (!AllBlank(orderRef)) Line(d.M(Message::OrderRefNo) + orderRef);
    if (!AllBlank(contact)) Line(d.M(Message::NameOfContact) + contact);
    if (!AllBlank(reference)) Line(d.M(Message::ReferenceNumber) + reference);
    if (!AllBlank(Mid(h, 32, 8))) Line(d.M(Message::DeliveryDate) + DateText(h, 32, d.lang));
    if (!AllBlank(Mid(h, 48, 8))) Line(d.M(Message::CancelationDate) + DateText(h, 48, d.lang));
    const bool french = d.lang != 1;
    const char* backOrder = Mid(h, 23, 1) == "1" ? (french ? "Non" : "No") : (french ? "Oui" : "Yes");
    Line(d.M(Message::AllowBackOrder) + backOrder);
    Line(d.M(Message::Status) + (Mid(h, 20, 1) == "2" ? "New" : "Draft"));
    Line(d.M(Message::Type) + PurchaseType(Mid(h, 21, 1)));
}

void PurchaseLines(const Document& d) {
    if (!d.stored.linesFound) return;
    Line(d.M(Message::DescriptionQuantityPrice));
    for (const std::string_view line : d.stored.lines) {
        const std::optional<std::string> product = LineProduct(line);
        if (!product) {
            Line("Product Not Found");
            Print_Check();
            continue;
        }
        const std::string& p = *product;
        const Money price = Amount(line, 57, 9);
        Line(Field(p, 60, 25) + Field(line, 39, 7) + (price != Money() ? Right(price.Format("####0.00"), 8) : ""));
        if (gSettings.gPrintOption811)
            Line(Field(p, gSettings.gProductKeyMode.asText != ProductKey::Number ? 40 : 12, 20));
        if (Mid(line, 86, 1) == "1") Line(Field(line, 66, 20));
        Print_Check();
    }
}

// Subtotal, discount and the stored taxes (the same columns as a sale),
// then the total.
void PurchaseTotals(const Document& d) {
    SubtotalLines(d.head, d.lang);
    Line(Blanks(7) + Fit(d.M(Message::TotalLabel91), 11) + Right(Amt(Amount(d.head, 101, 9)), 21));
}

class PurchaseLayout final : public DocumentLayout {
public:
    explicit PurchaseLayout(const StoredDocument& doc) : d_(doc) {}
    void Heading() override {
        const std::string_view h = d_.head;
        Header_Print();
        const std::string vendor = PurchaseVendor(d_);
        const bool order = Mid(h, 11, 1) == "1";
        Title(Amount(h, 101, 9) < Money() ? d_.M(Message::RequestForCreditTitle)
              : order                     ? d_.M(Message::PurchaseOrderTitle)
                                          : d_.M(Message::PurchaseTitle));
        Line("");
        Line(d_.M(Message::DocumentNumber) + gTerminalNumber + " " + Col(h, 1, 7));
        Line("Date:     " + DateText(h, 12, d_.lang));
        DocumentCashier(d_, h, 24);
        if (!vendor.empty()) VendorBlock(d_, vendor);
        if (order) OrderBlock(d_);
        Line(d_.Rule());
    }
    void Lines() override { PurchaseLines(d_); }
    void Rule() override { Line(d_.Rule()); }
    void Totals() override {
        if (gSettings.gAskPurchaseCost) PurchaseTotals(d_);
    }
    void Payments() override {}  // a purchase keeps no payments
    void Footer() override {}

private:
    Document d_;
};

// -------------------------------------------------------------- adjustment

std::string ReasonText(std::string_view code) {
    static const char* const kReasons[] = {
        "Breakage", "Damaged", "Expired", "Physical Count", "Samples to Clients", "Samples to Salesmen",
        "Shortage", "Theft",   "Other"};
    if (code.size() == 1 && code[0] >= '1' && code[0] <= '9') return kReasons[code[0] - '1'];
    return "Unknown";
}

void AdjustmentLines(const Document& d) {
    for (const std::string_view line : d.stored.lines) {
        if (const std::optional<std::string> product = LineProduct(line))
            Line(Field(*product, 60, 30) + Field(line, 39, 8));
        else
            Line("Product Not Found");
        const std::string note = Field(line, 47, 30);
        if (!AllBlank(note)) Line(note);
        Print_Check();
    }
}

class AdjustmentLayout final : public DocumentLayout {
public:
    explicit AdjustmentLayout(const StoredDocument& doc) : d_(doc) {}
    void Heading() override {
        const std::string_view h = d_.head;
        Header_Print();
        Title(d_.M(Message::InventoryAdjustmentTitle));
        Line(d_.M(Message::DocumentNumber) + gTerminalNumber + " " + Col(h, 1, 7));
        Line("Date:     " + DateText(h, 10, d_.lang));
        Line(d_.M(Message::Time) + Blanks(3) + Col(h, 18, 2) + ":" + Col(h, 20, 2));
        DocumentCashier(d_, h, 22);
        if (const std::string manager = ColTrim(h, 30, 8); !manager.empty()) {
            if (const auto k = Manager_FindByNumber(manager))
                Line(d_.M(Message::Manager) + gData.ManagerTable[static_cast<std::size_t>(*k)].ManagerName);
        }
        Line(d_.M(Message::Reason) + ReasonText(ColTrim(h, 38, 2)));
        Line(Field(h, 49, 40));
        Line("");
        Line(d_.M(Message::DescriptionQuantity));
        Line(d_.Rule());
    }
    void Lines() override { AdjustmentLines(d_); }
    void Rule() override { Line(d_.Rule()); }
    void Totals() override { Line(Blanks(15) + "Total: " + "$" + Right(Amt(Amount(d_.head, 40, 9)), 12)); }
    void Payments() override {}  // an adjustment keeps no payments
    void Footer() override {}

private:
    Document d_;
};

// Reads the document of record gSaleSave.gPrintRecordNo and prints it; a
// document that cannot be read prints nothing, with a log line and status 2.
template <typename Layout>
void Inventory_Print(DocumentKind kind, const char* who, const char* failLog) {
    if (Printer_IsOff(who)) return;
    StoredDocument doc;
    const DocumentRead read = StoredDocument_Read(kind, gSaleSave.gPrintRecordNo, doc);
    if (read != DocumentRead::Read) {
        ProgramLog().Write(1, DocumentRead_Why(kind, read, gSaleSave.gPrintRecordNo));
        gPrint.gPrintStatus = 2;  // nothing printed is never reported as printed
        return;
    }
    Layout layout(doc);
    Document_Print(layout, failLog);
}

const char* const kPurchaseFailLog = "Print_Recipt: HandlerReceipt, Error detected during printout of receipt";
const char* const kAdjustmentFailLog = "Adjustment_Print: HandlerReceipt, Error detected during printout of receipt";

}  // namespace

void Purchase_Print() { Inventory_Print<PurchaseLayout>(DocumentKind::Purchase, "Purchase_Print", kPurchaseFailLog); }

void Adjustment_Print() {
    Inventory_Print<AdjustmentLayout>(DocumentKind::Adjustment, "Adjustment_Print", kAdjustmentFailLog);
}

void Purchase_Print(const StoredDocument& doc) {
    if (Printer_IsOff("Purchase_Print")) return;
    PurchaseLayout layout(doc);
    Document_Print(layout, kPurchaseFailLog);
}

void Adjustment_Print(const StoredDocument& doc) {
    if (Printer_IsOff("Adjustment_Print")) return;
    AdjustmentLayout layout(doc);
    Document_Print(layout, kAdjustmentFailLog);
}

}  // namespace tarvo
