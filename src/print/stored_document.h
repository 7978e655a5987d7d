// A saved document as its printout takes it: the header record with the
// line and payment records that belong to it, read once from the working
// files, and the frame every document printout shares (printer opened, the
// parts printed in order, the output closed or abandoned part-way).
//
// The sales receipt, the order document, the purchase and the adjustment
// print the same parts in the same order: the store's header lines and the
// document's heading, its lines, a rule, the totals, the payments (with the
// card slip of the last card payment) and the closing text. Each printout
// says how it prints each part (DocumentLayout); Document_Print runs them.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvo {

enum class DocumentKind {
    Receipt,     // .INV header, .DTL lines, .PAY payments
    Order,       // .ORD header, .ORL lines, .ORP payments
    Purchase,    // .PUR header, .PUL lines
    Adjustment,  // .ADJ header, .ADD lines
};

// The records of a document, kept end to end in one buffer (a receipt may
// have hundreds of lines); each is seen as a view.
class RecordList {
public:
    void Add(std::string_view record);
    void Reserve(std::size_t records, std::size_t bytes);
    std::size_t size() const { return spans_.size(); }
    bool empty() const { return spans_.empty(); }
    std::string_view operator[](std::size_t i) const {
        return std::string_view(text_).substr(spans_[i].first, spans_[i].second);
    }

    class const_iterator {
    public:
        const_iterator(const RecordList& list, std::size_t i) : list_(&list), i_(i) {}
        std::string_view operator*() const { return (*list_)[i_]; }
        const_iterator& operator++() {
            ++i_;
            return *this;
        }
        bool operator!=(const const_iterator& other) const { return i_ != other.i_; }

    private:
        const RecordList* list_;
        std::size_t i_;
    };
    const_iterator begin() const { return {*this, 0}; }
    const_iterator end() const { return {*this, spans_.size()}; }

private:
    std::string text_;
    std::vector<std::pair<std::size_t, std::size_t>> spans_;  // offset and length in text_
};

struct StoredRecord {
    std::int32_t recNo = 0;
    std::string text;
};

struct StoredDocument {
    DocumentKind kind = DocumentKind::Receipt;
    std::int32_t recNo = 0;
    std::string header;
    // The line finder found the document's first line (a column heading
    // prints only then, even when that line cannot be read).
    bool linesFound = false;
    // The lines in file order, kit components included; then the payments.
    RecordList lines;
    std::vector<StoredRecord> payments;

    // The document number, header columns 1-7.
    std::string Key() const;
};

enum class DocumentRead {
    Read,
    FilesNotOpen,  // a file of the document does not open
    NotInFile,     // the record number is outside 2..the last record
    Unreadable,    // the file counts the record but it cannot be read
};

// Opens the files of `kind`, reads header record `recNo` with its lines and
// payments into `doc`, and closes the files again, whatever the outcome.
// Leaves the finders' document key (gData.gDocumentKey for a receipt or a
// purchase, gOrderKey for an order or an adjustment, both for an
// adjustment) at the document number, as the printouts always have.
DocumentRead StoredDocument_Read(DocumentKind kind, std::int32_t recNo, StoredDocument& doc);

// The log line of a document that could not be read ("<who>: ...").
std::string DocumentRead_Why(DocumentKind kind, DocumentRead read, std::int32_t recNo);

// How a printout is asked for: the variants of the sales receipt and the
// order (the other documents print one way only).
struct PrintoutOptions {
    bool gift = false;       // gSaleSave.gGiftReceipt: no prices, totals or payments
    bool duplicate = false;  // gSaleSave.gReceiptDuplicate: the duplicate titles
    int copy = 0;            // gSaleSave.gReceiptCopy: 0 first copy, 1 second copy
    bool training = false;   // a training sale (register mode 26): the training titles
};

// What a printout reports back to its caller.
struct PrintoutResult {
    // The duplicate title was printed above the lines (the request is spent).
    bool duplicateShown = false;
    // The record of the last card payment, once the payments were printed
    // (0 when none was a card payment); empty when they were not reached.
    std::optional<std::int32_t> cardPaymentRecNo;
};

// The parts of one document printout, in the order Document_Print prints
// them; each writes through the open printer output.
class DocumentLayout {
public:
    virtual ~DocumentLayout() = default;
    // The title lines, the store's header lines and the document's heading.
    virtual void Heading() = 0;
    virtual void Lines() = 0;
    // The rule under the lines.
    virtual void Rule() = 0;
    virtual void Totals() = 0;
    virtual void Payments() = 0;
    // What follows the payments: notes, receipt.txt and the footer lines.
    virtual void Footer() = 0;
};

// Opens the printer and prints the parts. An output that does not open:
// nothing printed, its status left non-zero. A failure part-way: the output
// closed without feed or cut, `failLog` written, a non-zero status.
void Document_Print(DocumentLayout& layout, const std::string& failLog);

}  // namespace tarvo
