#include "print/receipt.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/fields.h"
#include "common/line_reader.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "print/document_parts.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "print/stored_document.h"
#include "sale/sale_save.h"

namespace tarvo {
namespace {

using namespace print_text;

class ReceiptLayout final : public PaidDocumentLayout {
public:
    using PaidDocumentLayout::PaidDocumentLayout;

    void Heading() override;
    void Totals() override;
    void Payments() override {
        if (!o_.gift) PaidDocumentLayout::Payments();
    }
    void Footer() override;

private:
    void Item(std::string_view line) const override;
    void CardSlip(const std::string& pay) const override;
};

void ReceiptLayout::Heading() {
    const std::string_view inv = header_;
    lang_ = DocumentLanguage(inv);
    if (o_.training) Title(M(Message::TrainingModeTitle));
    if (Duplicate()) Title(M(Message::DuplicateTitle));
    Header_Print();
    if (Mid(inv, 11, 1) == "1") {
        Title(Mid(inv, 119, 1) == "4" ? M(Message::Return) : M(Message::CreditNote));
        Line("");
        Line("");
    }
    if (o_.gift) {
        Title(M(Message::GiftReceiptTitle));
        Line("");
    }
    Line(M(Message::Invoice) + Col(inv, 1, 7) + gap_ + "Date:  " + DateText(inv, 12, lang_));
    Line("Terminal: " + gTerminalNumber + gap_ + M(Message::Time) + Col(inv, 20, 2) + ":" + Col(inv, 22, 2));

    if (const std::string manager = ColTrim(inv, 32, 8); !manager.empty()) {
        if (const auto k = Manager_FindByNumber(manager))
            Line(M(Message::Manager) + gData.ManagerTable[static_cast<std::size_t>(*k)].ManagerName);
    }
    CashierLine(inv, lang_);
    SalesmanLine(inv, lang_);
    if (gSettings.gPrintClient) ClientBlock(inv, M(Message::Number));
    Line(RuleText());
}

void ReceiptLayout::Item(std::string_view line) const {
    const bool gift = o_.gift;
    const std::optional<std::string> product = Product_FindPlain(ColRTrim(line, 19, 20));
    if (!product) {
        Line("Product Not Found");
        return;
    }
    const std::string& p = *product;
    std::string marks = "(";
    for (std::size_t k = 0; k < 3; ++k) marks += Mid(p, 90 + k, 1) == "1" ? 'T' : ' ';
    marks += ")";

    const Money price = Amount(line, 57, 9);
    const double P = price.ToDouble();
    const double Q = Number(line, 39, 9);
    const std::string unitsText = Col(p, 175, wide_ ? 5 : 4);
    const double U = Trim(unitsText).empty() ? 0.0 : Num_Val(Trim(unitsText));
    const double E = ToCents(U != 0 ? P * Q / U : P * Q);
    const std::string desc = Col(p, 60, 30);
    const std::string& unit = gSettings.gWeightUnit;

    if (Mid(p, 9, 1) == "S") {
        if (!wide_) {
            Line(Fit(desc, 30));
            if (!gift) {
                const std::string ps = Num_Format(P, "####0.00"), es = Num_Format(E, "#####0.00");
                Line(Right(Num_Format(Q, "#0.000"), 14) + " " + unit + " @" + Blanks(8 - Len(ps)) + "$" + ps + "/" +
                     unit + Blanks(8 - Len(es)) + "$" + es);
            }
        } else if (gift) {
            Line(Fit(desc, 23) + " ");
        } else {
            const std::string ps = Num_Format(P, "###0.00"), es = Num_Format(E, "####0.00");
            Line(Fit(desc, 23) + " " + Right(Num_Format(Q, "#0.000"), 6) + " " + unit + " @" + Blanks(7 - Len(ps)) +
                 "$" + ps + "/" + unit + Blanks(7 - Len(es)) + "$" + es);
        }
    } else if (!wide_) {
        std::string first = Fit(desc, 25) + " ";
        if (gift) {
            Line(first);
        } else {
            first += (U == 1) ? Col(p, 94, 5) : "/" + Col(p, 175, 4);
            const std::string ps = Num_Format(P, "####0.00");
            if (Q == 1) {
                Line(first + Blanks(8 - Len(ps)) + "$" + ps);
            } else {
                Line(first);
                const std::string es = Num_Format(E, "####0.00");
                Line(Blanks(6) + M(Message::Qty) + Col(line, 39, 9) + "x" + Blanks(8 - Len(ps)) + ps + " =" +
                     Blanks(8 - Len(es)) + "$" + es);
            }
        }
    } else {
        std::string text = Fit(desc, 30) + Right(ColTrim(line, 39, 7), 7);
        if (!gift) text += Right(Num_Format(P, "####0.00"), 8) + Right(Num_Format(E, "#####0.00"), 9);
        Line(text);
    }
    if (gSettings.gPrintOption811) {
        const std::size_t col = gSettings.gProductKeyMode.asText == ProductKey::Number ? 12 : 40;
        Line(Col(p, col, wide_ ? 20 : 17) + M(Message::Tax) + marks);
    }
    if (Mid(line, 88, 1) == "1") Line(Col(line, 66, 21));
}

void ReceiptLayout::Totals() {
    if (o_.gift) return;
    const Money total = Amount(header_, 101, 9);
    SubtotalLines(header_, lang_);
    const std::string t = total.Format("##,##0.00");
    if (gSettings.gPrinterType != PrinterType::Spooler) {
        More(Blanks(7));
        Title(M(Message::TotalLabel91) + Blanks(9 - Len(t)) + t);
    } else {
        Line(Blanks(7) + Fit(M(Message::TotalLabel91), 11) + Right(t, 21));
    }
    Print_Check();
}

void ReceiptLayout::CardSlip(const std::string& pay) const {
    const Money amount = Amount(pay, 18, 9);
    const bool refund = amount < Money();
    Line(refund ? "REFUND" : "PURCHASE");
    Line(std::string(lang_ == 2 ? "MONTANT: " : "AMOUNT: ") + Amt(amount));
    Line(Mid(pay, 47, 1) == "1" ? "SWIPE" : "MANUAL");
    const std::string signature = CardSignatureName(pay, lang_);
    std::string number = Trim(DecodedField(pay, 48, 25));
    const bool whole = o_.copy == 0 && gSettings.gFullCardNumberCopy;
    if (!whole) number = MaskedCardNumber(number);
    More(Fit(number, 21));
    const std::string expiry = Fit(DecodedField(pay, 73, 10), 10);
    if (!AllBlank(expiry))
        Line(std::string(lang_ == 2 ? "Expir.: " : "Expiry: ") + expiry);
    else
        Line("");
    Line("AUTHORIZATION: " + CardAuthorization(pay));
    Line("");
    Line(Blanks(18) + "APPROVED");
    if (o_.copy == 0) {
        Line("");
        Line("");
        Line("");
        SignatureBlock(wide_, signature);
    }
    Print_Check();
}

void ReceiptLayout::Footer() {
    const std::string ref = Col(header_, 120, 20);
    if (!o_.gift && !AllBlank(ref)) Line(M(Message::ReferenceLabel92) + ref);
    Closing_Print();
}

}  // namespace

void Closing_Print() {
    ReceiptText_Print();
    if (gSettings.gPrintFooter)
        for (const std::string& f : gSettings.gFooterLine)
            if (!f.empty()) Line(f);
}

void Header_Print() {
    for (const std::string& h : gSettings.gHeaderLine)
        if (!h.empty()) Line(h);
    Line("");
}

void ReceiptText_Print() {
    // A missing or unreadable file prints nothing.
    LineReader in;
    if (!in.Open(gConstants.paths.programFolder + "/receipt.txt")) return;
    std::string l;
    while (in.Next(l)) Line(l);
}

std::int32_t gCardPaymentRecNo = 0;

PrintoutResult Receipt_Print(const StoredDocument& doc, const PrintoutOptions& options) {
    if (Printer_IsOff("Print_Recipt")) return {};
    ReceiptLayout layout(doc, options);
    Document_Print(layout, "Print_Recipt: HandlerReceipt, Error detected during printout of receipt");
    return layout.result;
}

void Receipt_Print() {
    if (Printer_IsOff("Print_Recipt")) return;
    StoredDocument doc;
    const DocumentRead read = StoredDocument_Read(DocumentKind::Receipt, gSaleSave.gPrintRecordNo, doc);
    if (read != DocumentRead::Read) {
        // A receipt without its lines or payments would look whole: nothing
        // is printed, and that is never reported as printed.
        ProgramLog().Write(1, DocumentRead_Why(DocumentKind::Receipt, read, gSaleSave.gPrintRecordNo));
        gPrint.gPrintStatus = 2;
        gSaleSave.gGiftReceipt = false;
        return;
    }
    PrintoutOptions options;
    options.gift = gSaleSave.gGiftReceipt;
    options.duplicate = gSaleSave.gReceiptDuplicate;
    options.copy = gSaleSave.gReceiptCopy;
    options.training = gSale.gMode == RegisterMode::Training;
    const PrintoutResult printed = Receipt_Print(doc, options);
    if (printed.duplicateShown) gSaleSave.gReceiptDuplicate = false;
    if (printed.cardPaymentRecNo) gCardPaymentRecNo = *printed.cardPaymentRecNo;
    gSaleSave.gGiftReceipt = false;
}

}  // namespace tarvo
