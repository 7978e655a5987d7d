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
#include "sale/sale_save.h"

namespace tarvo {
namespace {

using namespace print_text;

// A record that cannot be read back although the file's count includes it.
struct RecordMissing : std::runtime_error {
    RecordMissing() : std::runtime_error("document record missing") {}
};

struct Document {
    int lang = 1;
    bool wide = false;
    std::size_t width = 40;
    std::string head;  // the header record

    const std::string& M(int k) const { return MessageText(gConstants.tables, k, lang); }
    std::string Rule() const { return std::string(width, '-'); }
};

// A fixed-width field of a record, blank-padded when the record is short.
std::string Field(std::string_view rec, std::size_t col, std::size_t width) { return Fit(Mid(rec, col, width), width); }

// The cashier of the document (whatever the receipt setting), when found.
void DocumentCashier(const Document& d, std::string_view rec, std::size_t col) {
    if (const auto k = Cashier_FindByNumber(ColTrim(rec, col, 8)))
        Line(d.M(81) + gData.CashierTable[static_cast<std::size_t>(*k)].CashierName);
}

// The product record of a document line by its key (columns 19-38).
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
    const std::string& label = d.M(217);
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
    if (!AllBlank(orderRef)) Line(d.M(268) + orderRef);
    if (!AllBlank(contact)) Line(d.M(229) + contact);
    if (!AllBlank(reference)) Line(d.M(230) + reference);
    if (!AllBlank(Mid(h, 32, 8))) Line(d.M(231) + DateText(h, 32, d.lang));
    if (!AllBlank(Mid(h, 48, 8))) Line(d.M(232) + DateText(h, 48, d.lang));
    const bool french = d.lang != 1;
    const char* backOrder = Mid(h, 23, 1) == "1" ? (french ? "Non" : "No") : (french ? "Oui" : "Yes");
    Line(d.M(233) + backOrder);
    Line(d.M(234) + (Mid(h, 20, 1) == "2" ? "New" : "Draft"));
    Line(d.M(235) + PurchaseType(Mid(h, 21, 1)));
}

void PurchaseLines(const Document& d) {
    const std::string key = Col(d.head, 1, 7);
    gData.gDocumentKey = key;
    const std::optional<std::int32_t> first = PurchaseDetail_Find(key);
    if (!first) return;
    Line(d.M(236));
    for (std::int32_t n = *first; n <= gData.gLastPurchaseLineRecord; ++n) {
        const std::string line = gData.purchaseLines.Read(n);
        if (Mid(line, 1, 7) != key) break;
        const std::optional<std::string> product = LineProduct(line);
        if (!product) {
            Line("Product Not Found");
            Print_Check();
            continue;
        }
        const std::string& p = *product;
        const Money price = Amount(line, 57, 9);
        Line(Field(p, 60, 25) + Field(line, 39, 7) + (price != Money() ? Right(price.Format("####0.00"), 8) : ""));
        if (gSettings.gPrintOption811 == "1") Line(Field(p, gSettings.gProductKeyMode != "0" ? 40 : 12, 20));
        if (Mid(line, 86, 1) == "1") Line(Field(line, 66, 20));
        Print_Check();
    }
}

// Subtotal, discount and the stored taxes (the same columns as a sale),
// then the total.
void PurchaseTotals(const Document& d) {
    SubtotalLines(d.head, d.lang);
    Line(Blanks(7) + Fit(d.M(91), 11) + Right(Amt(Amount(d.head, 101, 9)), 21));
}

void PurchaseBody(Document& d) {
    const std::string_view h = d.head;
    const std::string vendor = PurchaseVendor(d);
    const bool order = Mid(h, 11, 1) == "1";
    Title(Amount(h, 101, 9) < Money() ? d.M(226) : order ? d.M(224) : d.M(225));
    Line("");
    Line(d.M(227) + gTerminalNumber + " " + Col(h, 1, 7));
    Line("Date:     " + DateText(h, 12, d.lang));
    DocumentCashier(d, h, 24);
    if (!vendor.empty()) VendorBlock(d, vendor);
    if (order) OrderBlock(d);
    Line(d.Rule());
    Print_Check();
    PurchaseLines(d);
    Line(d.Rule());
    if (gSettings.gAskPurchaseCost) PurchaseTotals(d);
    Print_Check();
}

// -------------------------------------------------------------- adjustment

std::string ReasonText(std::string_view code) {
    static const char* const kReasons[] = {
        "Breakage", "Damaged", "Expired", "Physical Count", "Samples to Clients", "Samples to Salesmen",
        "Shortage", "Theft",   "Other"};
    if (code.size() == 1 && code[0] >= '1' && code[0] <= '9') return kReasons[code[0] - '1'];
    return "Unknown";
}

void AdjustmentLines(const Document& d) {
    const std::string key = Col(d.head, 1, 7);
    const std::optional<std::int32_t> first = AdjustmentDetail_Find(key);
    if (!first) return;
    for (std::int32_t n = *first; n <= gData.gLastAdjustmentLineRecord; ++n) {
        const std::string line = gData.adjustmentLines.Read(n);
        if (Mid(line, 1, 7) != key) break;
        if (const std::optional<std::string> product = LineProduct(line))
            Line(Field(*product, 60, 30) + Field(line, 39, 8));
        else
            Line("Product Not Found");
        const std::string note = Field(line, 47, 30);
        if (!AllBlank(note)) Line(note);
        Print_Check();
    }
}

void AdjustmentBody(const Document& d) {
    const std::string_view h = d.head;
    Title(d.M(244));
    Line(d.M(227) + gTerminalNumber + " " + Col(h, 1, 7));
    Line("Date:     " + DateText(h, 10, d.lang));
    Line(d.M(82) + Blanks(3) + Col(h, 18, 2) + ":" + Col(h, 20, 2));
    DocumentCashier(d, h, 22);
    if (const std::string manager = ColTrim(h, 30, 8); !manager.empty()) {
        if (const auto k = Manager_FindByNumber(manager))
            Line(d.M(84) + gData.ManagerTable[static_cast<std::size_t>(*k)].ManagerName);
    }
    Line(d.M(245) + ReasonText(ColTrim(h, 38, 2)));
    Line(Field(h, 49, 40));
    Line("");
    Line(d.M(246));
    Line(d.Rule());
    Print_Check();
    AdjustmentLines(d);
    Line(d.Rule());
    Line(Blanks(15) + "Total: " + "$" + Right(Amt(Amount(h, 40, 9)), 12));
    Print_Check();
}

// ------------------------------------------------------------------- frame

struct Files {
    WorkFile& headers;
    WorkFile& lines;
    const std::int32_t& lastRecord;
    const char* name;     // for the log
    const char* failLog;  // the log line of a failure in the middle
};

// Opens the document files, checks the record number, opens the printer,
// prints the body and closes; the files are closed in every case.
template <typename Open, typename Body>
void Document_Print(const Files& f, Open open, Body body) {
    if (Printer_IsOff(f.name)) return;
    open();
    const auto closeFiles = [&f] {
        f.lines.Close();
        f.headers.Close();
    };
    if (!f.headers.IsOpen() || !f.lines.IsOpen()) {
        ProgramLog().Write(1, std::string(f.name) + ": the document files could not be opened, nothing printed");
        gPrint.gPrintStatus = 2;
        closeFiles();
        return;
    }
    const std::int32_t recNo = gSaleSave.gPrintRecordNo;
    if (recNo < 2 || recNo > f.lastRecord) {
        ProgramLog().Write(1, std::string(f.name) + ": record " + std::to_string(recNo) +
                                  " is not in the document file, nothing printed");
        gPrint.gPrintStatus = 2;  // nothing printed is never reported as printed
        closeFiles();
        return;
    }
    Printer_Open();
    if (gPrint.gPrintStatus != 0) {
        closeFiles();
        return;
    }
    Document d;
    d.wide = gSettings.gWidePaper == 1;
    d.width = d.wide ? 54 : 40;
    d.lang = TextLanguage(gSettings);
    try {
        d.head = f.headers.Read(recNo);
        if (d.head.empty()) throw RecordMissing();
        gData.gDocumentKey = Col(d.head, 1, 7);
        Header_Print();
        body(d);
        Printer_Close(true);
    } catch (const std::exception&) {
        Printout_Abandon(f.failLog);
    }
    closeFiles();
}

}  // namespace

void Purchase_Print() {
    Document_Print(Files{gData.purchases, gData.purchaseLines, gData.gLastPurchaseRecord, "Purchase_Print",
                         "Print_Recipt: HandlerReceipt, Error detected during printout of receipt"},
                   Open_Filepurchase, PurchaseBody);
}

void Adjustment_Print() {
    Document_Print(Files{gData.adjustments, gData.adjustmentLines, gData.gLastAdjustmentRecord, "Adjustment_Print",
                         "Adjustment_Print: HandlerReceipt, Error detected during printout of receipt"},
                   Open_Fileadjustment, AdjustmentBody);
}

}  // namespace tarvo
