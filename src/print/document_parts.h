// Pieces shared by the documents printed from a saved sale or order: the
// sales receipt and the order document read the same header columns (date,
// cashier, client, amounts 56-118), the same payment records and the same
// card fields, and print them with the same words. Every piece writes through
// the open printer output; the caller checks the status (Print_Check).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/money.h"
#include "config/message_names.h"
#include "print/stored_document.h"

namespace tarvo::print_text {

// Message k in language `lang` (1 English, 2 French).
const std::string& MsgIn(Message k, int lang);

// The language of a document from its client (header columns 40-47): 2 for a
// client whose language column 9 is "2", 1 for any other client found; the
// terminal language for a client entered at the register ("N" in column 40),
// for no client and for a client that is not found. The look-up leaves the
// client of the sale in progress (gData.gClientRecNo, gClientRec) as it was.
int DocumentLanguage(std::string_view header);

// When gPrintCashier / gPrintSalesman is on and the number in header columns
// 24-31 / 48-55 is found: message 81 / 83 and the name, as a line.
void CashierLine(std::string_view header, int lang);
void SalesmanLine(std::string_view header, int lang);

// The client block of a document: name, the address lines that are not
// blank (ten blanks in front), telephone and `numberLabel` with the client
// number, each field whole as stored. A client entered at the register ("N"
// and its record number in columns 40-47) is read from the new-client file;
// any other client id is looked up (the sale's client left as it was), and
// the default client of the sale prints no block.
void ClientBlock(std::string_view header, const std::string& numberLabel);

// Looks the product of a document line up by its key, with the embedded-price
// bar-code split switched off: its record when it is in the product file.
std::optional<std::string> Product_FindPlain(const std::string& key);

// An amount as the documents print it: "####,##0.00".
std::string Amt(Money m);

// The subtotal line, the discount line (with its percentage) when the
// discount is not 0, and one line per tax whose stored amount is not 0.
void SubtotalLines(std::string_view header, int lang);

// The payment lines of one document: its payment records (the last one
// printed as tendered, plus the change), then the change and balance lines
// and a rule of `width` dashes. Returns the record number of the last card
// payment, 0 when none.
std::int32_t PaymentLines(const std::vector<StoredRecord>& payments, std::string_view header, int lang,
                          std::size_t width);

// The name of the first entry of the payment list built by Payment_Setup
// (gTender entries 1..gPaymentListCount: the payment types with their
// captions, the exchange entries, "Sales on Credit") whose code is `code`;
// "Unknown Payment" when no entry has it. The names are the list's own, as
// set up, whatever the document's language.
std::string PaymentName(const std::string& code);

// Columns of a record that hold a stored card field, turned back to text.
std::string DecodedField(std::string_view rec, std::size_t col, std::size_t width);

// The authorisation code of a card payment record by the card back-end
// (gCardBackend): columns 27-32 for the terminal and gateway back-ends; for the exchange-file back-end the text from
// column 29 up to the first double quote in columns 29-47 (else the six columns 29-34), less a last character that
// sorts after "9" when it is longer than 2.
std::string CardAuthorization(std::string_view payment);

// A card number (already trimmed) with every character but the last four
// replaced by "X" when it is longer than four.
std::string MaskedCardNumber(const std::string& number);

// The text under the signature rule of a card payment: the card holder for a
// swiped card, "Customer's Signature" / "Signature du Cliente" for a keyed
// one, nothing for a refund.
std::string CardSignatureName(std::string_view payment, int lang);

// "X" and the signature rule (49 dashes on wide paper, 39 on narrow), the
// name centred under it when not empty, then two empty lines.
void SignatureBlock(bool wide, const std::string& name);

// What the sales receipt and the order document print alike: the lines (on
// wide paper a column heading and a rule, the training and duplicate
// titles, then every line but the kit components), the rule under them,
// and the payments followed by the card slip of the last card payment.
class PaidDocumentLayout : public DocumentLayout {
public:
    PaidDocumentLayout(const StoredDocument& doc, const PrintoutOptions& options);

    void Lines() override;
    void Rule() override;
    void Payments() override;

    PrintoutResult result;

protected:
    // One line of the document (not a kit component).
    virtual void Item(std::string_view line) const = 0;
    // The slip of card payment record `payment`.
    virtual void CardSlip(const std::string& payment) const = 0;

    const std::string& M(Message k) const { return MsgIn(k, lang_); }
    std::string RuleText() const { return std::string(width_, '-'); }
    // The duplicate title is asked for until it has been printed above the lines.
    bool Duplicate() const { return o_.duplicate && !result.duplicateShown; }

    const StoredDocument& doc_;
    const PrintoutOptions& o_;
    const std::string_view header_;
    int lang_ = 1;  // set by the heading
    const bool wide_;
    const std::size_t width_;
    const std::string gap_;  // between the document number and the date
};

}  // namespace tarvo::print_text
