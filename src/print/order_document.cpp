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
#include "print/stored_document.h"
#include "sale/sale_save.h"

namespace tarvo {
namespace {

using namespace print_text;

// The document title: a store order, or the client order's document type.
// A type the order writer never stores prints as a special order, which is
// what the writer stores for any type it does not know.
Message TitleMessage(std::string_view ord) {
    if (Mid(ord, 11, 1) != "1") return Message::StoreOrder;
    const std::string_view type = Mid(ord, 125, 2);
    if (type == "11") return Message::Layaway;
    if (type == "5 ") return Message::Quotation;
    if (type == "10") return Message::RmaTitle;
    if (type == "9 ") return Message::DraftOrder;
    return Message::SpecialOrder;
}

std::string Priority(std::string_view ord) {
    const std::string_view p = Mid(ord, 128, 1);
    if (p == "1") return "Normal ";
    if (p == "2") return "RUSH   ";
    if (p == "3") return "URGENT ";
    return {};
}

class OrderLayout final : public PaidDocumentLayout {
public:
    OrderLayout(const StoredDocument& doc, const PrintoutOptions& options)
        : PaidDocumentLayout(doc, options), key_(doc.Key()) {}

    void Heading() override;
    void Totals() override;
    void Footer() override;

private:
    void Item(std::string_view line) const override;
    // The card number is always masked on the order document.
    void CardSlip(const std::string& pay) const override;

    const std::string key_;  // the order number, columns 1-7
};

void OrderLayout::Heading() {
    const std::string_view ord = header_;
    const int terminalLang = TextLanguage(gSettings);
    if (o_.training) Title(MsgIn(Message::TrainingModeTitle, terminalLang));
    if (Duplicate()) Title(MsgIn(Message::DuplicateTitle, terminalLang));
    Header_Print();
    lang_ = DocumentLanguage(ord);
    Title(M(TitleMessage(ord)));
    Line(M(Message::Order) + key_ + gap_ + "Date:  " + DateText(ord, 12, lang_));
    Line("Terminal: " + gTerminalNumber);
    CashierLine(ord, lang_);
    SalesmanLine(ord, lang_);
    ClientBlock(ord, "Number:   ");
    More(M(Message::Delivery));
    const std::string priority = Priority(ord);
    if (!priority.empty()) More(priority);
    Line(Mid(ord, 21, 1) == "1" ? M(Message::PickupFromStore) : M(Message::ShipDirectlyToClient));
    Line(Blanks(10) + DateText(ord, 32, lang_));
    Line("");
    Line(RuleText());
}

// One order line (not a kit component).
void OrderLayout::Item(std::string_view line) const {
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
    const double U = Number(p, 175, wide_ && !weighed ? 5 : 4);
    const double E = ToCents(U != 0 ? Q * P / U : Q * P);
    const std::string& unit = gSettings.gWeightUnit;

    if (wide_ && weighed) {
        const std::string ps = Num_Format(P, "###0.00"), es = Num_Format(E, "####0.00");
        Line(Fit(Col(p, 60, 22), 22) + " " + letters + Right(ColTrim(line, 39, 9), 6) + unit + " @" +
             Blanks(7 - Len(ps)) + "$" + ps + "/" + unit + Blanks(7 - Len(es)) + "$" + es);
    } else if (wide_) {
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
            Line(Blanks(6) + M(Message::Qty) + Fit(Col(line, 39, 9), 9) + "x" + Blanks(8 - Len(ps)) + ps + " =" +
                 Blanks(8 - Len(es)) + "$" + es);
        }
    }
    if (gSettings.gPrintOption811) {
        const std::size_t col = gSettings.gProductKeyMode.asText != ProductKey::Number ? 40 : 12;
        const std::size_t w = wide_ ? 20 : 17;
        Line(Fit(Col(p, col, w), w) + M(Message::Tax) + marks);
    }
    if (Mid(line, 88, 1) == "1") Line(Col(line, 66, 21));
}

void OrderLayout::Totals() {
    SubtotalLines(header_, lang_);
    Line(Blanks(7) + Fit(M(Message::TotalLabel91), 11) + Right(Amt(Amount(header_, 101, 9)), 21));
    Print_Check();
}

void OrderLayout::CardSlip(const std::string& pay) const {
    const Money amount = Amount(pay, 18, 9);
    const bool french = lang_ == 2;
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
    SignatureBlock(wide_, CardSignatureName(pay, lang_));
    Print_Check();
}

void OrderLayout::Footer() {
    if (!AllBlank(Col(header_, 130, 40))) {
        Line(Col(header_, 130, 40));
        Line(Col(header_, 170, 40));
        Line(Col(header_, 210, 30));
    }
    Closing_Print();
}

}  // namespace

PrintoutResult Order_Print(const StoredDocument& doc, const PrintoutOptions& options) {
    if (Printer_IsOff("Order_Print")) return {};
    OrderLayout layout(doc, options);
    Document_Print(layout, "Order_Print: Error detected during printout of order");
    return layout.result;
}

void Order_Print() {
    if (Printer_IsOff("Order_Print")) return;
    StoredDocument doc;
    const DocumentRead read = StoredDocument_Read(DocumentKind::Order, gSaleSave.gPrintRecordNo, doc);
    if (read != DocumentRead::Read) {
        // A document printed without its lines or payments would look whole;
        // nothing printed is never reported as printed.
        ProgramLog().Write(1, DocumentRead_Why(DocumentKind::Order, read, gSaleSave.gPrintRecordNo));
        gPrint.gPrintStatus = 2;
        return;
    }
    PrintoutOptions options;
    options.duplicate = gSaleSave.gReceiptDuplicate;
    options.training = gSale.gMode == RegisterMode::Training;
    if (Order_Print(doc, options).duplicateShown) gSaleSave.gReceiptDuplicate = false;
}

}  // namespace tarvo
