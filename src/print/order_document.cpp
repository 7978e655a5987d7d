#include "print/order_document.h"

#include <exception>
#include <string>
#include <string_view>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "print/document_parts.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "sale/sale_save.h"

namespace tarvo {
namespace {

using namespace print_text;

struct OrderDoc {
    int lang = 1;  // language of the order's client
    bool wide = false;
    std::size_t width = 40;
    std::string gap;  // between the order number and the date
    bool training = false;
    std::string ord;  // the OrderHeader record
    std::string key;  // the order number, columns 1-7

    const std::string& M(int k) const { return Message(k, lang); }
    std::string Rule() const { return std::string(width, '-'); }
};

// The document title: a store order, or the client order's document type.
// A type the order writer never stores prints as a special order, which is
// what the writer stores for any type it does not know.
int TitleMessage(std::string_view ord) {
    if (Mid(ord, 11, 1) != "1") return 206;
    const std::string_view type = Mid(ord, 125, 2);
    if (type == "11") return 193;
    if (type == "5 ") return 194;
    if (type == "10") return 195;
    if (type == "9 ") return 196;
    return 192;
}

std::string Priority(std::string_view ord) {
    const std::string_view p = Mid(ord, 128, 1);
    if (p == "1") return "Normal ";
    if (p == "2") return "RUSH   ";
    if (p == "3") return "URGENT ";
    return {};
}

void Heading(OrderDoc& d) {
    const std::string_view ord = d.ord;
    const int terminalLang = TextLanguage(gSettings);
    if (d.training) Title(Message(177, terminalLang));
    if (gSaleSave.gReceiptDuplicate) Title(Message(179, terminalLang));
    Header_Print();
    d.lang = DocumentLanguage(ord);
    Title(d.M(TitleMessage(ord)));
    Line(d.M(190) + d.key + d.gap + "Date:  " + DateText(ord, 12, d.lang));
    Line("Terminal: " + gTerminalNumber);
    CashierLine(ord, d.lang);
    SalesmanLine(ord, d.lang);
    ClientBlock(ord, "Number:   ");
    More(d.M(197));
    const std::string priority = Priority(ord);
    if (!priority.empty()) More(priority);
    Line(Mid(ord, 21, 1) == "1" ? d.M(198) : d.M(199));
    Line(Blanks(10) + DateText(ord, 32, d.lang));
    Line("");
    Line(d.Rule());
    Print_Check();
}

// One order line (not a kit component).
void Item(const OrderDoc& d, std::string_view line) {
    const std::optional<std::string> product = Product_FindPlain(ColRTrim(line, 19, 20));
    if (!product) {
        Line("Product Not Found");
        return;
    }
    const std::string& p = *product;
    std::string letters;
    for (std::size_t k = 0; k < 3; ++k) letters += Mid(p, 90 + k, 1) == "1" ? 'T' : 'N';
    const std::string marks = "(" + letters + ")";
    const bool weighed = Mid(p, 9, 1) == "S";
    const double P = Amount(line, 57, 9).ToDouble();
    const double Q = Number(line, 39, 9);
    // The units factor: five columns in the wide layout of counted goods,
    // four everywhere else.
    const double U = Number(p, 175, d.wide && !weighed ? 5 : 4);
    const double E = ToCents(U != 0 ? Q * P / U : Q * P);
    const std::string& unit = gSettings.gWeightUnit;

    if (d.wide && weighed) {
        const std::string ps = Num_Format(P, "###0.00"), es = Num_Format(E, "####0.00");
        Line(Fit(Col(p, 60, 22), 22) + " " + letters + Right(ColTrim(line, 39, 9), 6) + unit + " @" +
             Blanks(7 - Len(ps)) + "$" + ps + "/" + unit + Blanks(7 - Len(es)) + "$" + es);
    } else if (d.wide) {
        Line(Fit(Col(p, 60, 26), 26) + " " + letters + Right(ColTrim(line, 39, 7), 7) +
             Right(Num_Format(P, "####0.00"), 8) + Right(Num_Format(E, "#####0.00"), 9));
    } else if (weighed) {
        const std::string ps = Num_Format(P, "####0.00"), es = Num_Format(E, "#####0.00");
        Line(Fit(Col(p, 60, 30), 30));
        Line(Right(Num_Format(Q, "#0.000"), 14) + " " + unit + " @" + Blanks(8 - Len(ps)) + "$" + ps + "/" + unit +
             Blanks(8 - Len(es)) + "$" + es);
    } else {
        const std::string first =
            Fit(Col(p, 60, 25), 25) + " " + (U == 1 ? Fit(Col(p, 94, 5), 5) : "/" + Fit(Col(p, 175, 4), 4));
        const std::string ps = Num_Format(P, "####0.00");
        if (Q == 1) {
            Line(first + Blanks(8 - Len(ps)) + "$" + ps);
        } else {
            Line(first);
            const std::string es = Num_Format(E, "####0.00");
            Line(Blanks(6) + d.M(87) + Fit(Col(line, 39, 9), 9) + "x" + Blanks(8 - Len(ps)) + ps + " =" +
                 Blanks(8 - Len(es)) + "$" + es);
        }
    }
    if (gSettings.gPrintOption811 == "1") {
        const std::size_t col = gSettings.gProductKeyMode != "0" ? 40 : 12;
        const std::size_t w = d.wide ? 20 : 17;
        Line(Fit(Col(p, col, w), w) + d.M(214) + marks);
    }
    if (Mid(line, 88, 1) == "1") Line(Col(line, 66, 21));
}

void Items(const OrderDoc& d) {
    const std::int32_t first = OrderDetail_Find(d.key).value_or(0);
    if (first <= 0) return;
    if (d.wide) {
        Line(d.M(119));
        Line(d.Rule());
    }
    if (d.training) Title(d.M(177));
    if (gSaleSave.gReceiptDuplicate) {
        Title(d.M(179));
        gSaleSave.gReceiptDuplicate = false;
    }
    for (std::int32_t n = first; n <= gData.gLastOrderLineRecord; ++n) {
        const std::string line = gData.orderLines.Read(n);
        if (Mid(line, 1, 7) != d.key) break;
        if (Mid(line, 87, 1) == "1") continue;  // a kit prints only its kit line
        Item(d, line);
        Print_Check();
    }
}

void Totals(const OrderDoc& d) {
    SubtotalLines(d.ord, d.lang);
    Line(Blanks(7) + Fit(d.M(91), 11) + Right(Amt(Amount(d.ord, 101, 9)), 21));
    Print_Check();
}

// The card slip of card payment record `recNo`; the card number is always
// masked on the order document.
void CardSlip(const OrderDoc& d, std::int32_t recNo) {
    const std::string pay = gData.orderPayments.Read(recNo);
    const Money amount = Amount(pay, 18, 9);
    const bool french = d.lang == 2;
    Line(amount < Money() ? "REFUND" : "PURCHASE");
    Line(std::string(french ? "MONTANT: " : "AMOUNT: ") + Amt(amount));
    Line(PaymentName(ColRTrim(pay, 10, 8)));
    Line(Mid(pay, 47, 1) == "1" ? "SWIPE" : "MANUAL");
    More(Fit(MaskedCardNumber(Trim(DecodedField(pay, 48, 25))), 21));
    More(french ? "Expir.: " : "Expiry: ");
    Line(Fit(Trim(DecodedField(pay, 73, 10)), 10));
    Line("AUTHORIZATION: " + CardAuthorization(pay));
    Line("");
    Line(Blanks(18) + "APPROVED");
    Line("");
    Line("");
    Line("");
    SignatureBlock(d.wide, CardSignatureName(pay, d.lang));
    Print_Check();
}

void Ending(const OrderDoc& d) {
    if (!AllBlank(Col(d.ord, 130, 40))) {
        Line(Col(d.ord, 130, 40));
        Line(Col(d.ord, 170, 40));
        Line(Col(d.ord, 210, 30));
    }
    Closing_Print();
    Print_Check();
}

void CloseFiles() {
    gData.orderPayments.Close();
    gData.orderLines.Close();
    gData.orders.Close();
}

}  // namespace

void Order_Print() {
    if (Printer_IsOff("Order_Print")) return;
    Open_FileOrder();
    if (!gData.orders.IsOpen() || !gData.orderLines.IsOpen() || !gData.orderPayments.IsOpen()) {
        // A document printed without its lines or payments would look whole.
        ProgramLog().Write(1, "Order_Print: the order files cannot be opened, order not printed");
        CloseFiles();
        gPrint.gPrintStatus = 2;
        return;
    }
    const std::int32_t recNo = gSaleSave.gPrintRecordNo;
    if (recNo < 2 || recNo > gData.gLastOrderRecord) {
        ProgramLog().Write(1, "Order_Print: order record " + std::to_string(recNo) +
                                  " is not in the order file, nothing printed");
        gPrint.gPrintStatus = 2;  // nothing printed is never reported as printed
        CloseFiles();
        return;
    }
    const std::string ord = gData.orders.Read(recNo);
    if (ord.empty()) {
        ProgramLog().Write(1,
                           "Order_Print: order record " + std::to_string(recNo) + " cannot be read, order not printed");
        CloseFiles();
        gPrint.gPrintStatus = 2;
        return;
    }
    Printer_Open();
    if (gPrint.gPrintStatus != 0) {
        CloseFiles();
        return;
    }
    OrderDoc d;
    d.wide = gSettings.gWidePaper == 1;
    d.width = d.wide ? 54 : 40;
    d.gap = Blanks(d.wide ? 14 : 4);
    d.training = gSale.gMode == 26;
    try {
        d.ord = ord;
        d.key = Col(d.ord, 1, 7);
        Heading(d);
        Items(d);
        Line(d.Rule());
        Totals(d);
        const std::int32_t card = PaymentLines(gData.orderPayments, OrderPayment_Find(d.key).value_or(0),
                                               gData.gLastOrderPaymentRecord, d.ord, d.lang, d.width);
        Print_Check();
        if (card > 0) CardSlip(d, card);
        Ending(d);
        Printer_Close(true);
    } catch (const std::exception&) {
        Printout_Abandon("Order_Print: Error detected during printout of order");
    }
    CloseFiles();
}

}  // namespace tarvo
