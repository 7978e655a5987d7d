#include "print/receipt.h"

#include <cmath>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/money.h"
#include "common/numbers.h"
#include "data/data_state.h"
#include "data/fields.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/transaction_files.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "sale/sale_save.h"
#include "sale/sale_state.h"
#include "startup/constants.h"
#include "startup/settings.h"
#include "startup/startup_sequence.h"
#include "startup/text_tables.h"

namespace tarvo {
namespace {

constexpr std::size_t kNpos = std::string::npos;
using namespace print_text;

void Check() { Print_Check(); }

struct Receipt {
    int lang = 1;
    bool wide = false;
    std::size_t width = 40;
    std::string gap;
    bool training = false;
    std::string inv;   // the header record

    const std::string& M(int k) const { return MessageText(gConstants.tables, k, lang); }
    std::string Rule() const { return std::string(width, '-'); }
};

int ReceiptLanguage(std::string_view inv) {
    int lang = TextLanguage(gSettings);
    if (Mid(inv, 40, 1) != "N") {
        const std::string id = ColTrim(inv, 40, 8);
        if (!id.empty()) {
            gData.gClientKey = id;
            Client_FindLinear();
            if (gData.gClientRecNo > 0) {
                const std::string l = ColTrim(gData.gClientRec, 9, 1);
                lang = (l == "2") ? 2 : 1;   // 3, or anything else, prints in English
            }
        }
    }
    return lang;
}

void ClientBlock(const Receipt& r) {
    std::string name, tel, number;
    std::string addr[3];
    const std::string_view inv = r.inv;
    if (Mid(inv, 40, 1) != "N") {
        const std::string id = ColTrim(inv, 40, 8);
        if (id.empty() || id == Trim(gSettings.gDefaultClient)) return;
        gData.gClientKey = id;
        Client_FindLinear();
        if (gData.gClientRecNo <= 0) return;
        const std::string c = gData.gClientRec;
        number = ColRTrim(c, 12, 8);
        name = ColRTrim(c, 20, 30);
        for (int k = 0; k < 3; ++k) addr[k] = ColRTrim(c, 50 + 30 * static_cast<std::size_t>(k), 30);
        tel = ColRTrim(c, 140, 20);
    } else {
        Open_FileNewClient();
        const double no = Number(inv, 41, 7);
        if (no < 2 || no > gData.gNewCount) return;
        const std::string c = gData.newFile.Read(static_cast<std::int64_t>(no));
        number = ColRTrim(c, 3, 8);
        name = ColRTrim(c, 11, 30);
        for (int k = 0; k < 3; ++k) addr[k] = ColRTrim(c, 56 + 30 * static_cast<std::size_t>(k), 30);
        tel = ColRTrim(c, 188, 20);
    }
    Line("Client:   " + name);
    for (const std::string& a : addr)
        if (!a.empty()) Line(Blanks(10) + a);
    if (!tel.empty()) Line("Telephone:" + tel);
    if (!Trim(number).empty()) Line(r.M(200) + number);
}

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
    int month = static_cast<int>(Number(inv, 16, 2));
    if (month < 1 || month > 12) month = 1;
    Line(r.M(80) + Col(inv, 1, 7) + r.gap + "Date:  " + Col(inv, 18, 2) + "/" +
         MonthName(gConstants.tables, month, r.lang) + "/" + Col(inv, 12, 4));
    Line("Terminal: " + gTerminalNumber + r.gap + r.M(82) + Col(inv, 20, 2) + ":" + Col(inv, 22, 2));

    gData.gManagerKey = ColTrim(inv, 32, 8);
    if (!gData.gManagerKey.empty()) {
        Manager_FindByNumber();
        if (gData.gManagerIndex > 0)
            Line(r.M(84) + gData.ManagerTable[static_cast<std::size_t>(gData.gManagerIndex)].ManagerName);
    }
    if (gSettings.gPrintCashier == "1") {
        gData.gCashierKey = ColTrim(inv, 24, 8);
        Cashier_FindByNumber();
        if (gData.gCashierFound > 0)
            Line(r.M(81) + gData.CashierTable[static_cast<std::size_t>(gData.gCashierFound)].CashierName);
    }
    if (gSettings.gPrintSalesman == "1") {
        gData.gSalesmanKey = ColTrim(inv, 48, 8);
        Salesman_FindByNumber();
        if (gData.gSalesmanIndex > 0)
            Line(r.M(83) + gData.SalesmanTable[static_cast<std::size_t>(gData.gSalesmanIndex)].SalesmanName);
    }
    if (gSettings.gPrintClient == "1") ClientBlock(r);
    Line(r.Rule());
    Check();
}

void Item(const Receipt& r, std::string_view line) {
    const bool gift = gSaleSave.gGiftReceipt;
    gData.gProductKey = ColRTrim(line, 19, 20);
    const bool embedded = gData.gEmbeddedPriceCheck;
    gData.gEmbeddedPriceCheck = false;
    Product_Find();
    gData.gEmbeddedPriceCheck = embedded;
    if (gData.gProductRecNo <= 0) {
        Line("Product Not Found");
        return;
    }
    const std::string p = gData.gProductRec;
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
    InvoiceDetail_Find();
    if (gData.gInvoiceLineRecNo <= 0) return;
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
    for (std::int32_t n = gData.gInvoiceLineRecNo; n <= gData.gLastInvoiceLineRecord; ++n) {
        const std::string line = gData.invoiceLines.Read(n);
        if (Mid(line, 1, 7) != key) break;
        if (Mid(line, 87, 1) == "1") continue;
        Item(r, line);
    }
}

std::string Amt(Money m) { return m.Format("####,##0.00"); }

void Totals(const Receipt& r) {
    const std::string_view inv = r.inv;
    const Money sub = Amount(inv, 56, 9), disc = Amount(inv, 65, 9), total = Amount(inv, 101, 9);
    Line(Blanks(7) + r.M(89) + Right(Amt(sub), 21));
    if (disc != Money()) {
        const std::string a = Amt(disc);
        const std::string pct =
            sub == Money() ? Blanks(8) : Num_Format(std::fabs(disc.ToDouble() / sub.ToDouble() * 100.0), "####0.00");
        Line(Blanks(7) + r.M(90) + " (" + pct + " %)" + Blanks(16 - Len(a) - Len(pct)) + a);
    }
    for (std::size_t k = 1; k <= 3; ++k) {
        const Money tax = Amount(inv, 74 + 9 * (k - 1), 9);
        if (tax == Money()) continue;   // printed whenever the stored amount is not zero
        Line(Blanks(7) + Fit(gSettings.gTaxName[k - 1] + ":", 11) + Right(Amt(tax), 21));
    }
    const std::string t = total.Format("##,##0.00");
    if (gSettings.gPrinterType != "6") {
        More(Blanks(7));
        Title(r.M(91) + Blanks(9 - Len(t)) + t);
    } else {
        Line(Blanks(7) + Fit(r.M(91), 11) + Right(t, 21));
    }
    Check();
}

std::string PaymentName(const std::string& code, int lang) {
    for (std::size_t i = 1; i < gSettings.PaymentTypes.size(); ++i) {
        const PaymentType& p = gSettings.PaymentTypes[i];
        if (p.Code.empty() || p.Code != code) continue;
        if (lang == 2 && !p.Name2.empty()) return p.Name2;
        return p.Name1;
    }
    return "Unknown Payment";
}

// The payments; returns the record of the last card payment (0 none).
std::int32_t Payments(const Receipt& r) {
    const std::string_view inv = r.inv;
    const Money change = Amount(inv, 110, 9), total = Amount(inv, 101, 9);
    gData.gDocumentKey = Col(inv, 1, 7);
    Payment_Find();
    std::int32_t card = 0;
    Money paid;
    const std::string key = Col(inv, 1, 7);
    for (std::int32_t n = gData.gPaymentRecNo; n > 0 && n <= gData.gLastPaymentRecord; ++n) {
        const std::string pay = gData.payments.Read(n);
        if (Mid(pay, 1, 7) != key) break;
        Money amount = Amount(pay, 18, 9);
        paid += amount;
        const bool last = n == gData.gLastPaymentRecord || Mid(gData.payments.Read(n + 1), 1, 7) != key;
        if (change != Money() && last) amount += change;
        const std::string entry(Mid(pay, 47, 1));
        if (entry == "1" || entry == "2") card = n;
        Line(Blanks(7) + Fit(PaymentName(ColRTrim(pay, 10, 8), r.lang), 18) + Right(Amt(amount), 14));
        const std::string ref = ColRTrim(pay, 27, 20);
        if (!ref.empty()) Line(Blanks(7) + ref);
        Check();
    }
    if (change != Money()) Line(Blanks(7) + Fit(r.M(32), 18) + Right(Amt(change), 14));
    if (total > Money() && total != paid) Line(Blanks(7) + Fit(r.M(204), 18) + Right(Amt(total - paid), 14));
    Line(r.Rule());
    Check();
    return card;
}

std::string Decoded(std::string_view rec, std::size_t col, std::size_t width) {
    std::string s(Mid(rec, col, width));
    Str_Decode(s);
    return s;
}

void CardSlip(const Receipt& r, std::int32_t recNo) {
    const std::string pay = gData.payments.Read(recNo);
    const Money amount = Amount(pay, 18, 9);
    const bool refund = amount < Money();
    Line(refund ? "REFUND" : "PURCHASE");
    Line(std::string(r.lang == 2 ? "MONTANT: " : "AMOUNT: ") + Amt(amount));
    std::string signature;
    if (Mid(pay, 47, 1) == "1") {
        Line("SWIPE");
        signature = Trim(Decoded(pay, 83, 50)).substr(0, 40);
    } else {
        Line("MANUAL");
        signature = r.lang == 1 ? "Customer's Signature" : "Signature du Cliente";
    }
    if (refund) signature.clear();
    std::string number = Trim(Decoded(pay, 48, 25));
    const bool whole = gSaleSave.gReceiptCopy == 0 && gSettings.gFullCardNumberCopy;
    if (!whole && number.size() > 4) number = std::string(number.size() - 4, 'X') + number.substr(number.size() - 4);
    More(Fit(number, 21));
    const std::string expiry(TrimRightView(Decoded(pay, 73, 10)));
    if (!expiry.empty())
        Line(std::string(r.lang == 2 ? "Expir.: " : "Expiry: ") + expiry);
    else
        Line("");
    std::string auth;
    if (gSettings.gCardBackend == "2" || gSettings.gCardBackend == "3") {
        auth = Col(pay, 27, 6);
    } else {
        const std::string span = Col(pay, 29, 19);
        const std::size_t q = span.find('"');
        auth = q != kNpos ? span.substr(0, q) : Col(pay, 29, 6);
        if (auth.size() > 2 && auth.back() > '9') auth.pop_back();
    }
    Line("AUTHORIZATION: " + auth);
    Line("");
    Line(Blanks(18) + "APPROVED");
    if (gSaleSave.gReceiptCopy == 0) {
        const long rule = r.wide ? 49 : 39;
        Line("");
        Line("");
        Line("");
        Line("X" + std::string(static_cast<std::size_t>(rule), '-'));
        if (!signature.empty()) Line(Blanks((rule - Len(signature)) / 2) + signature);
        Line("");
        Line("");
    }
    Check();
}

void CloseFiles() {
    gData.payments.Close();
    gData.invoiceLines.Close();
    gData.invoices.Close();
}

}  // namespace

void Header_Print() {
    for (const std::string& h : gSettings.gHeaderLine)
        if (!h.empty()) Line(h);
    Line("");
}

void ReceiptText_Print() {
    std::ifstream in(gConstants.paths.programFolder + "/receipt.txt", std::ios::binary);
    if (!in) return;
    std::string l;
    while (std::getline(in, l)) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        Line(l);
    }
}

std::int32_t gCardPaymentRecNo = 0;

void Receipt_Print() {
    if (gSettings.gPrinterType == "0") {
        gPrint.gPrintStatus = 0;
        return;
    }
    Open_FileInvoice();
    Open_FilePayment();
    const std::int32_t recNo = gSaleSave.gPrintRecordNo;
    if (recNo < 2 || recNo > gData.gLastInvoiceRecord || !gData.invoices.IsOpen()) {
        CloseFiles();
        gSaleSave.gGiftReceipt = false;
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
        r.inv = gData.invoices.Read(recNo);
        gData.gDocumentKey = Col(r.inv, 1, 7);
        r.lang = ReceiptLanguage(r.inv);
        Heading(r);
        Items(r);
        Line(r.Rule());
        if (!gSaleSave.gGiftReceipt) {
            Totals(r);
            const std::int32_t card = Payments(r);
            gCardPaymentRecNo = card;
            if (card > 0) CardSlip(r, card);
        }
        const std::string ref = Col(r.inv, 120, 20);
        if (!gSaleSave.gGiftReceipt && !AllBlank(ref)) Line(r.M(92) + ref);
        ReceiptText_Print();
        if (gSettings.gPrintFooter == "1")
            for (const std::string& f : gSettings.gFooterLine)
                if (!f.empty()) Line(f);
        Check();
        Printer_Close(true);
    } catch (const std::exception&) {
        ProgramLog().Write(1, "Print_Recipt: HandlerReceipt, Error detected during printout of receipt");
        const std::int16_t status = gPrint.gPrintStatus;
        gPrint.gPrintNoInit = true;   // no feed or cut
        Printer_Close(true);
        gPrint.gPrintStatus = status != 0 ? status : 2;
    }
    CloseFiles();
    gSaleSave.gGiftReceipt = false;
}

}  // namespace tarvo
