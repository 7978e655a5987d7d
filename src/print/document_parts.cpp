#include "print/document_parts.h"

#include <algorithm>
#include <cmath>

#include "common/fields.h"
#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "sale/tenders.h"

namespace tarvo::print_text {

const std::string& MsgIn(Message k, int lang) { return MessageText(gConstants.tables, k, lang); }

namespace {

// The client record of document header columns 40-47 ("" when not found).
std::string DocumentClient(const std::string& id) {
    const std::optional<RecordMatch> found = Client_FindLinear(id);
    return found ? std::string(found->record) : std::string();
}

}  // namespace

int DocumentLanguage(std::string_view header) {
    int lang = TextLanguage(gSettings);
    if (Mid(header, 40, 1) == "N") return lang;
    const std::string id = ColTrim(header, 40, 8);
    if (id.empty()) return lang;
    const std::string client = DocumentClient(id);
    if (!client.empty()) {
        const std::string l = ColTrim(client, 9, 1);
        lang = (l == "2") ? 2 : 1;  // 3, or anything else, prints in English
    }
    return lang;
}

void CashierLine(std::string_view header, int lang) {
    if (!gSettings.gPrintCashier) return;
    const auto k = Cashier_FindByNumber(ColTrim(header, 24, 8)).value_or(0);
    if (k > 0 && static_cast<std::size_t>(k) < gData.CashierTable.size())
        Line(MsgIn(Message::Cashier, lang) + gData.CashierTable[static_cast<std::size_t>(k)].CashierName);
}

void SalesmanLine(std::string_view header, int lang) {
    if (!gSettings.gPrintSalesman) return;
    const auto k = Salesman_FindByNumber(ColTrim(header, 48, 8)).value_or(0);
    if (k > 0 && static_cast<std::size_t>(k) < gData.SalesmanTable.size())
        Line(MsgIn(Message::SalesmanLabel, lang) + gData.SalesmanTable[static_cast<std::size_t>(k)].SalesmanName);
}

void ClientBlock(std::string_view header, const std::string& numberLabel) {
    std::string name, tel, number;
    std::string addr[3];
    if (Mid(header, 40, 1) != "N") {
        const std::string id = ColTrim(header, 40, 8);
        if (id.empty() || id == Trim(gSettings.gDefaultClient)) return;
        const std::string c = DocumentClient(id);
        if (c.empty()) return;
        number = Fit(Col(c, 12, 8), 8);
        name = Fit(Col(c, 20, 30), 30);
        for (std::size_t k = 0; k < 3; ++k) addr[k] = Fit(Col(c, 50 + 30 * k, 30), 30);
        tel = Fit(Col(c, 140, 20), 20);
    } else {
        Open_FileNewClient();
        const double no = Number(header, 41, 7);
        if (no < 2 || no > gData.gNewCount) return;
        const std::string c = gData.newFile.Read(static_cast<std::int64_t>(no));
        number = Fit(Col(c, 3, 8), 8);
        name = Fit(Col(c, 11, 30), 30);
        for (std::size_t k = 0; k < 3; ++k) addr[k] = Fit(Col(c, 56 + 30 * k, 30), 30);
        tel = Fit(Col(c, 188, 20), 20);
    }
    Line("Client:   " + name);
    for (const std::string& a : addr)
        if (!AllBlank(a)) Line(Blanks(10) + a);
    if (!AllBlank(tel)) Line("Telephone:" + tel);
    if (!AllBlank(number)) Line(numberLabel + number);
}

std::optional<std::string> Product_FindPlain(const std::string& key) {
    const std::optional<ProductMatch> found = Product_Find(key);
    if (!found || found->recNo <= 0) return std::nullopt;
    return std::string(found->record);
}

std::string Amt(Money m) { return m.Format("####,##0.00"); }

void SubtotalLines(std::string_view header, int lang) {
    const Money sub = Amount(header, 56, 9), disc = Amount(header, 65, 9);
    Line(Blanks(7) + MsgIn(Message::SubTotal, lang) + Right(Amt(sub), 21));
    if (!disc.IsZero()) {
        const std::string a = Amt(disc);
        const std::string pct =
            sub.IsZero() ? Blanks(8) : Num_Format(std::fabs(disc.ToDouble() / sub.ToDouble() * 100.0), "####0.00");
        Line(Blanks(7) + MsgIn(Message::Discount, lang) + " (" + pct + " %)" + Blanks(16 - Len(a) - Len(pct)) + a);
    }
    for (std::size_t k = 1; k <= 3; ++k) {
        const Money tax = Amount(header, 74 + 9 * (k - 1), 9);
        if (tax.IsZero()) continue;  // printed whenever the stored amount is not zero
        Line(Blanks(7) + Fit(gSettings.gTaxName[k - 1] + ":", 11) + Right(Amt(tax), 21));
    }
}

std::int32_t PaymentLines(const std::vector<StoredRecord>& payments, std::string_view header, int lang,
                          std::size_t width) {
    const Money change = Amount(header, 110, 9), total = Amount(header, 101, 9);
    std::int32_t card = 0;
    Money paid;
    for (std::size_t i = 0; i < payments.size(); ++i) {
        const std::string& pay = payments[i].text;
        Money amount = Amount(pay, 18, 9);
        paid = CentRoundUp(paid + amount);
        const std::string entry(Mid(pay, 47, 1));
        if (entry == "1" || entry == "2") card = payments[i].recNo;
        const bool lastOfDocument = i + 1 == payments.size();
        if (!change.IsZero() && lastOfDocument) amount = CentRoundUp(amount + change);
        Line(Blanks(7) + Fit(PaymentName(ColRTrim(pay, 10, 8)), 18) + Right(Amt(amount), 14));
        const std::string ref = Fit(Col(pay, 27, 20), 20);
        if (!AllBlank(ref)) Line(Blanks(7) + ref);
        Print_Check();
    }
    if (!change.IsZero()) Line(Blanks(7) + Fit(MsgIn(Message::Change, lang), 18) + Right(Amt(change), 14));
    if (total > Money() && total != paid)
        Line(Blanks(7) + Fit(MsgIn(Message::Balance, lang), 18) + Right(Amt(total - paid), 14));
    Line(std::string(width, '-'));
    return card;
}

std::string PaymentName(const std::string& code) {
    const int count = std::min<int>(gTender.gPaymentListCount, kMaxPaymentListEntries);
    for (int i = 1; i <= count; ++i)
        if (gTender.gPaymentListCode[static_cast<std::size_t>(i)] == code)
            return gTender.gPaymentListName[static_cast<std::size_t>(i)];
    return "Unknown Payment";
}

std::string DecodedField(std::string_view rec, std::size_t col, std::size_t width) {
    std::string s(Mid(rec, col, width));
    Str_Decode(s);
    return s;
}

std::string CardAuthorization(std::string_view payment) {
    if (gSettings.gCardBackend == CardBackend::Terminal || gSettings.gCardBackend == CardBackend::Gateway)
        return Col(payment, 27, 6);
    const std::string span = Col(payment, 29, 19);
    const std::size_t q = span.find('"');
    std::string auth = q != std::string::npos ? span.substr(0, q) : Col(payment, 29, 6);
    if (auth.size() > 2 && static_cast<unsigned char>(auth.back()) > '9') auth.pop_back();
    return auth;
}

std::string MaskedCardNumber(const std::string& number) {
    if (number.size() <= 4) return number;
    return std::string(number.size() - 4, 'X') + number.substr(number.size() - 4);
}

std::string CardSignatureName(std::string_view payment, int lang) {
    if (Amount(payment, 18, 9) < Money()) return {};
    if (Mid(payment, 47, 1) == "1") return Trim(DecodedField(payment, 83, 50)).substr(0, 40);
    return lang == 1 ? "Customer's Signature" : "Signature du Cliente";
}

PaidDocumentLayout::PaidDocumentLayout(const StoredDocument& doc, const PrintoutOptions& options)
    : doc_(doc),
      o_(options),
      header_(doc.header),
      wide_(gSettings.gWidePaper == 1),
      width_(wide_ ? 54 : 40),
      gap_(Blanks(wide_ ? 14 : 4)) {}

void PaidDocumentLayout::Lines() {
    if (!doc_.linesFound) return;
    if (wide_) {
        std::string t = M(Message::DescriptionQuantityPriceTotal);
        if (o_.gift && t.size() > 40) t.resize(40);
        Line(t);
        Line(RuleText());
    }
    if (o_.training) Title(M(Message::TrainingModeTitle));
    if (Duplicate()) {
        Title(M(Message::DuplicateTitle));
        result.duplicateShown = true;
    }
    for (const std::string_view line : doc_.lines) {
        if (Mid(line, 87, 1) == "1") continue;  // a kit prints only its kit line
        Item(line);
        Print_Check();
    }
}

void PaidDocumentLayout::Rule() { Line(RuleText()); }

void PaidDocumentLayout::Payments() {
    const std::int32_t card = PaymentLines(doc_.payments, header_, lang_, width_);
    Print_Check();
    result.cardPaymentRecNo = card;
    if (card <= 0) return;
    for (const StoredRecord& pay : doc_.payments)
        if (pay.recNo == card) CardSlip(pay.text);
}

void SignatureBlock(bool wide, const std::string& name) {
    const long rule = wide ? 49 : 39;
    Line("X" + std::string(static_cast<std::size_t>(rule), '-'));
    if (!name.empty()) Line(Blanks((rule - Len(name)) / 2) + name);
    Line("");
    Line("");
}

}  // namespace tarvo::print_text
