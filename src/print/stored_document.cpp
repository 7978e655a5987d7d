#include "print/stored_document.h"

#include <algorithm>
#include <exception>

#include "common/fields.h"
#include "data/data_state.h"
#include "data/lookups.h"
#include "data/transaction_files.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "sale/sale_save.h"

namespace tarvo {
namespace {

// Where one kind of document is kept.
struct DocumentFiles {
    WorkFile& headers;
    WorkFile& lines;
    WorkFile* payments;  // none for the inventory documents
    const std::int32_t& lastRecord;
};

DocumentFiles FilesOf(DocumentKind kind) {
    DataState& d = gData;
    switch (kind) {
    case DocumentKind::Receipt: return {d.invoices, d.invoiceLines, &d.payments, d.gLastInvoiceRecord};
    case DocumentKind::Order: return {d.orders, d.orderLines, &d.orderPayments, d.gLastOrderRecord};
    case DocumentKind::Purchase: return {d.purchases, d.purchaseLines, nullptr, d.gLastPurchaseRecord};
    case DocumentKind::Adjustment: break;
    }
    return {d.adjustments, d.adjustmentLines, nullptr, d.gLastAdjustmentRecord};
}

void OpenFiles(DocumentKind kind) {
    switch (kind) {
    case DocumentKind::Receipt:
        Open_FileInvoice();
        Open_FilePayment();
        // A training sale's records lie past the counts in the headers.
        TrainingSale_Reach();
        return;
    case DocumentKind::Order: Open_FileOrder(); return;
    case DocumentKind::Purchase: Open_Filepurchase(); return;
    case DocumentKind::Adjustment: Open_Fileadjustment(); return;
    }
}

// The records of `file` from `first` up to `last` whose columns 1-7 hold
// `key`, up to the first that does not.
template <typename Add>
void ReadRun(const WorkFile& file, std::int32_t first, std::int32_t last, const std::string& key, Add add) {
    for (std::int32_t n = first; n > 0 && n <= last; ++n) {
        const std::string_view rec = file.View(n);
        if (Mid(rec, 1, 7) != key) break;
        add(n, rec);
    }
}

// Room for the records a document can hold at most, without trusting a
// far-away last record.
std::size_t RunRoom(std::int32_t first, std::int32_t last) {
    return first > 0 && last >= first ? static_cast<std::size_t>(std::min(last - first + 1, 1000)) : 0;
}

// The first line record of the document (the finders' result), and the last
// record of the line file.
struct LineRange {
    std::int32_t first, last;
};

LineRange FindLines(DocumentKind kind, const std::string& key) {
    DataState& d = gData;
    switch (kind) {
    case DocumentKind::Receipt: {
        d.gDocumentKey = key;
        const std::optional<RecordMatch> first = InvoiceDetail_Find(key);
        return {first ? first->recNo : 0, d.gLastInvoiceLineRecord};
    }
    case DocumentKind::Order: return {OrderDetail_Find(key).value_or(0), d.gLastOrderLineRecord};
    case DocumentKind::Purchase:
        d.gDocumentKey = key;
        return {PurchaseDetail_Find(key).value_or(0), d.gLastPurchaseLineRecord};
    case DocumentKind::Adjustment: break;
    }
    d.gDocumentKey = key;
    return {AdjustmentDetail_Find(key).value_or(0), d.gLastAdjustmentLineRecord};
}

LineRange FindPayments(DocumentKind kind, const std::string& key) {
    DataState& d = gData;
    if (kind == DocumentKind::Receipt) {
        d.gDocumentKey = key;
        const std::optional<RecordMatch> first = Payment_Find(key);
        return {first ? first->recNo : 0, d.gLastPaymentRecord};
    }
    return {OrderPayment_Find(key).value_or(0), d.gLastOrderPaymentRecord};
}

}  // namespace

void RecordList::Add(std::string_view record) {
    spans_.emplace_back(text_.size(), record.size());
    text_.append(record);
}

void RecordList::Reserve(std::size_t records, std::size_t bytes) {
    spans_.reserve(records);
    text_.reserve(records * bytes);
}

std::string StoredDocument::Key() const { return print_text::Col(header, 1, 7); }

DocumentRead StoredDocument_Read(DocumentKind kind, std::int32_t recNo, StoredDocument& doc) {
    doc = StoredDocument{};
    doc.kind = kind;
    doc.recNo = recNo;
    const DocumentFiles f = FilesOf(kind);
    OpenFiles(kind);
    const auto close = [&f] {
        if (f.payments) f.payments->Close();
        f.lines.Close();
        f.headers.Close();
    };
    if (!f.headers.IsOpen() || !f.lines.IsOpen() || (f.payments && !f.payments->IsOpen())) {
        close();
        return DocumentRead::FilesNotOpen;
    }
    if (recNo < 2 || recNo > f.lastRecord) {
        close();
        return DocumentRead::NotInFile;
    }
    doc.header = f.headers.Read(recNo);
    if (doc.header.empty()) {
        close();
        return DocumentRead::Unreadable;
    }
    const std::string key = doc.Key();
    const LineRange lines = FindLines(kind, key);
    doc.linesFound = lines.first > 0;
    doc.lines.Reserve(RunRoom(lines.first, lines.last), static_cast<std::size_t>(f.lines.RecordLength()));
    ReadRun(f.lines, lines.first, lines.last, key, [&doc](std::int32_t, std::string_view rec) { doc.lines.Add(rec); });
    if (f.payments) {
        const LineRange pays = FindPayments(kind, key);
        ReadRun(*f.payments, pays.first, pays.last, key, [&doc](std::int32_t n, std::string_view rec) {
            doc.payments.push_back({n, std::string(rec)});
        });
    }
    close();
    return DocumentRead::Read;
}

std::string DocumentRead_Why(DocumentKind kind, DocumentRead read, std::int32_t recNo) {
    const std::string n = std::to_string(recNo);
    switch (kind) {
    case DocumentKind::Receipt:
        if (read == DocumentRead::FilesNotOpen)
            return "Print_Recipt: the sale files cannot be opened, receipt not printed";
        if (read == DocumentRead::NotInFile)
            return "Print_Recipt: invoice record " + n + " is not in the invoice file, nothing printed";
        return "Print_Recipt: invoice record " + n + " cannot be read, receipt not printed";
    case DocumentKind::Order:
        if (read == DocumentRead::FilesNotOpen)
            return "Order_Print: the order files cannot be opened, order not printed";
        if (read == DocumentRead::NotInFile)
            return "Order_Print: order record " + n + " is not in the order file, nothing printed";
        return "Order_Print: order record " + n + " cannot be read, order not printed";
    case DocumentKind::Purchase:
    case DocumentKind::Adjustment: break;
    }
    const std::string who = kind == DocumentKind::Purchase ? "Purchase_Print" : "Adjustment_Print";
    if (read == DocumentRead::FilesNotOpen) return who + ": the document files could not be opened, nothing printed";
    if (read == DocumentRead::NotInFile) return who + ": record " + n + " is not in the document file, nothing printed";
    return who + ": record " + n + " cannot be read, nothing printed";
}

void Document_Print(DocumentLayout& layout, const std::string& failLog) {
    Printer_Open();
    if (gPrint.gPrintStatus != 0) return;
    try {
        layout.Heading();
        print_text::Print_Check();
        layout.Lines();
        layout.Rule();
        layout.Totals();
        layout.Payments();
        layout.Footer();
        print_text::Print_Check();
        Printer_Close(true);
    } catch (const std::exception&) {
        print_text::Printout_Abandon(failLog);
    }
}

}  // namespace tarvo
