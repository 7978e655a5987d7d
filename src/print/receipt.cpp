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
#include "sale/sale_save.h"

namespace tarvo {
namespace {

using namespace print_text;

void Check() { Print_Check(); }

struct Receipt {
    int lang = 1;
    bool wide = false;
    std::size_t width = 40;
    std::string gap;
    bool training = false;
    std::string inv;  // the header record

    const std::string& M(int k) const { return MessageText(gConstants.tables, k, lang); }
    std::string Rule() const { return std::string(width, '-'); }
};

void Heading(Receipt& r) {
    const std::string_view inv = r.inv;
    if (r.training) Title(r.M(177));
    if (gSaleSave.gReceiptDuplicate) Title(r.M(179));
    Header_Print();
    if (Mid(inv, 11, 1) == "1") {
        Title(Mid(inv, 119, 1) == "4" ? r.M(85) : r.M(86));
        Line("");
        Line("");
    }
    if (gSaleSave.gGiftReceipt) {
        Title(r.M(249));
        Line("");
    }
    Line(r.M(80) + Col(inv, 1, 7) + r.gap + "Date:  " + DateText(inv, 12, r.lang));
    Line("Terminal: " + gTerminalNumber + r.gap + r.M(82) + Col(inv, 20, 2) + ":" + Col(inv, 22, 2));

    if (const std::string manager = ColTrim(inv, 32, 8); !manager.empty()) {
        if (const auto k = Manager_FindByNumber(manager))
            Line(r.M(84) + gData.ManagerTable[static_cast<std::size_t>(*k)].ManagerName);
    }
    CashierLine(inv, r.lang);
    SalesmanLine(inv, r.lang);
    if (gSettings.gPrintClient == "1") ClientBlock(inv, r.M(200));
    Line(r.Rule());
    Check();
}

void Item(const Receipt& r, std::string_view line) {
    const bool gift = gSaleSave.gGiftReceipt;
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
    const std::string unitsText = Col(p, 175, r.wide ? 5 : 4);
    const double U = Trim(unitsText).empty() ? 0.0 : Num_Val(Trim(unitsText));
    const double E = ToCents(U != 0 ? P * Q / U : P * Q);
    const std::string desc = Col(p, 60, 30);
    const std::string& unit = gSettings.gWeightUnit;

    if (Mid(p, 9, 1) == "S") {
        if (!r.wide) {
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
    } else if (!r.wide) {
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
                Line(Blanks(6) + r.M(87) + Col(line, 39, 9) + "x" + Blanks(8 - Len(ps)) + ps + " =" +
                     Blanks(8 - Len(es)) + "$" + es);
            }
        }
    } else {
        std::string text = Fit(desc, 30) + Right(ColTrim(line, 39, 7), 7);
        if (!gift) text += Right(Num_Format(P, "####0.00"), 8) + Right(Num_Format(E, "#####0.00"), 9);
        Line(text);
    }
    if (gSettings.gPrintOption811 == "1") {
        const std::size_t col = gSettings.gProductKeyMode == "0" ? 12 : 40;
        Line(Col(p, col, r.wide ? 20 : 17) + r.M(214) + marks);
    }
    if (Mid(line, 88, 1) == "1") Line(Col(line, 66, 21));
    Check();
}

void Items(Receipt& r) {
    gData.gDocumentKey = Col(r.inv, 1, 7);
    const std::optional<RecordMatch> first = InvoiceDetail_Find(gData.gDocumentKey);
    if (!first) return;
    if (r.wide) {
        std::string t = r.M(119);
        if (gSaleSave.gGiftReceipt && t.size() > 40) t.resize(40);
        Line(t);
        Line(r.Rule());
    }
    if (r.training) Title(r.M(177));
    if (gSaleSave.gReceiptDuplicate) {
        Title(r.M(179));
        gSaleSave.gReceiptDuplicate = false;
    }
    const std::string key = Col(r.inv, 1, 7);
    for (std::int32_t n = first->recNo; n <= gData.gLastInvoiceLineRecord; ++n) {
        const std::string line = gData.invoiceLines.Read(n);
        if (Mid(line, 1, 7) != key) break;
        if (Mid(line, 87, 1) == "1") continue;
        Item(r, line);
    }
}

void Totals(const Receipt& r) {
    const std::string_view inv = r.inv;
    const Money total = Amount(inv, 101, 9);
    SubtotalLines(inv, r.lang);
    const std::string t = total.Format("##,##0.00");
    if (gSettings.gPrinterType != "6") {
        More(Blanks(7));
        Title(r.M(91) + Blanks(9 - Len(t)) + t);
    } else {
        Line(Blanks(7) + Fit(r.M(91), 11) + Right(t, 21));
    }
    Check();
}

void CardSlip(const Receipt& r, std::int32_t recNo) {
    const std::string pay = gData.payments.Read(recNo);
    const Money amount = Amount(pay, 18, 9);
    const bool refund = amount < Money();
    Line(refund ? "REFUND" : "PURCHASE");
    Line(std::string(r.lang == 2 ? "MONTANT: " : "AMOUNT: ") + Amt(amount));
    Line(Mid(pay, 47, 1) == "1" ? "SWIPE" : "MANUAL");
    const std::string signature = CardSignatureName(pay, r.lang);
    std::string number = Trim(DecodedField(pay, 48, 25));
    const bool whole = gSaleSave.gReceiptCopy == 0 && gSettings.gFullCardNumberCopy;
    if (!whole) number = MaskedCardNumber(number);
    More(Fit(number, 21));
    const std::string expiry = Fit(DecodedField(pay, 73, 10), 10);
    if (!AllBlank(expiry))
        Line(std::string(r.lang == 2 ? "Expir.: " : "Expiry: ") + expiry);
    else
        Line("");
    Line("AUTHORIZATION: " + CardAuthorization(pay));
    Line("");
    Line(Blanks(18) + "APPROVED");
    if (gSaleSave.gReceiptCopy == 0) {
        Line("");
        Line("");
        Line("");
        SignatureBlock(r.wide, signature);
    }
    Check();
}

void CloseFiles() {
    gData.payments.Close();
    gData.invoiceLines.Close();
    gData.invoices.Close();
}

}  // namespace

void Closing_Print() {
    ReceiptText_Print();
    if (gSettings.gPrintFooter == "1")
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

void Receipt_Print() {
    if (Printer_IsOff("Print_Recipt")) return;
    Open_FileInvoice();
    Open_FilePayment();
    TrainingSale_Reach();
    // Nothing printed; `status` < 0 keeps the status as it was.
    const auto nothing = [](const std::string& why, int status) {
        ProgramLog().Write(1, "Print_Recipt: " + why);
        if (status >= 0) gPrint.gPrintStatus = static_cast<std::int16_t>(status);
        CloseFiles();
        gSaleSave.gGiftReceipt = false;
    };
    if (!gData.invoices.IsOpen() || !gData.invoiceLines.IsOpen() || !gData.payments.IsOpen()) {
        // A receipt without its lines or payments would look whole.
        nothing("the sale files cannot be opened, receipt not printed", 2);
        return;
    }
    const std::int32_t recNo = gSaleSave.gPrintRecordNo;
    if (recNo < 2 || recNo > gData.gLastInvoiceRecord) {
        nothing("invoice record " + std::to_string(recNo) + " is not in the invoice file, nothing printed", 2);
        return;
    }
    const std::string inv = gData.invoices.Read(recNo);
    if (inv.empty()) {
        nothing("invoice record " + std::to_string(recNo) + " cannot be read, receipt not printed", 2);
        return;
    }
    Printer_Open();
    if (gPrint.gPrintStatus != 0) {
        CloseFiles();
        gSaleSave.gGiftReceipt = false;
        return;
    }
    Receipt r;
    r.wide = gSettings.gWidePaper == 1;
    r.width = r.wide ? 54 : 40;
    r.gap = Blanks(r.wide ? 14 : 4);
    r.training = gSale.gMode == 26;
    try {
        r.inv = inv;
        gData.gDocumentKey = Col(r.inv, 1, 7);
        r.lang = DocumentLanguage(r.inv);
        Heading(r);
        Items(r);
        Line(r.Rule());
        if (!gSaleSave.gGiftReceipt) {
            Totals(r);
            gData.gDocumentKey = Col(r.inv, 1, 7);
            const std::optional<RecordMatch> paid = Payment_Find(gData.gDocumentKey);
            const std::int32_t card =
                PaymentLines(gData.payments, paid ? paid->recNo : 0, gData.gLastPaymentRecord, r.inv, r.lang, r.width);
            Check();
            gCardPaymentRecNo = card;
            if (card > 0) CardSlip(r, card);
        }
        const std::string ref = Col(r.inv, 120, 20);
        if (!gSaleSave.gGiftReceipt && !AllBlank(ref)) Line(r.M(92) + ref);
        Closing_Print();
        Check();
        Printer_Close(true);
    } catch (const std::exception&) {
        Printout_Abandon("Print_Recipt: HandlerReceipt, Error detected during printout of receipt");
    }
    CloseFiles();
    gSaleSave.gGiftReceipt = false;
}

}  // namespace tarvo
