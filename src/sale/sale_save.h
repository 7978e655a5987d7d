// Finishing a transaction: whether Total may be pressed, the saved sale
// (invoice header, lines and payments in the .INV, .DTL and .PAY working
// files) and what its tenders ask for afterwards. The Total key and the
// end-of-sale pause are the register's (register/total_key.h).
//
// Saving is all or nothing: every field is checked against its width before
// anything is written; the lines and payments go in first, the invoice after
// them, the header records (record 1) last, each step flushed to disk, the
// invoice's header the very last: it makes the sale exist (the openers uncount
// lines and payments of a higher invoice). A failed write puts every file back
// as it was (size and header record) and the sale stays open. A training sale
// writes its records past the counts and no header.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "screen/sale_observer.h"

namespace tarvo {

struct SaleSaveState {
    std::int32_t gPrintRecordNo = 0;  // invoice record the receipt prints
    bool gReceiptDuplicate = false;
    std::int16_t gReceiptCopy = 0;
    bool gGiftReceipt = false;
    bool gSaleFinished = false;  // saved; waiting for the end-of-sale pause
    // Total was pressed and waits for its document to be sent; the keys are
    // locked meanwhile.
    bool gTotalWaiting = false;
    // The pause ended while the receipt was on the screen: the next sale
    // starts when the cashier closes it.
    bool gEndAfterPrintout = false;
    // The last invoice, line and payment records of the training sale just
    // saved past the counts; zero when the last save was not a training one.
    std::array<std::int32_t, 3> gTrainingExtent{};
};
extern SaleSaveState gSaleSave;

// The records of the sale in gSale, numbered as invoice `invoiceNo`, saved
// at `now`. The last tender is written net of the change.
struct SaleRecords {
    std::string header;
    std::vector<std::string> lines, payments;
};
// Builds the records; on a field that does not fit its column, nullopt and
// `problem` names it ("Quantity of line 3", "Total", ...).
std::optional<SaleRecords> SaleRecords_Build(std::int32_t invoiceNo, const LocalTime& now, std::string& problem);

// Appends the sale to the invoice files. Not saved (false) when a field is
// too wide or a file cannot be opened or written; the message line then says
// why and the files are as they were. On success the result holds the
// invoice record and what the Total key does next (Sale_Outcome), the
// observer is told, gPrintRecordNo and the three last-record counters are
// set and the last tender is reduced by the change.
SaleSaveResult Sale_Save();

// What the tenders of the sale in progress ask of the Total key once the
// sale (or, `document`, the document of its mode) is saved: the drawer
// opened, the receipt and gift receipt (never for a document), a second copy
// for a card.
SaleSaveResult Sale_Outcome(bool document);

// A refund paid back in cash, in any of its tenders.
bool Sale_RefundsCash();

// A training sale lies past the invoice files' counts; a reader of the sale
// just saved (its receipt) calls this after opening the files to reach it.
void TrainingSale_Reach();

// Enables or disables the Total key.
void Total_Activate();

// Test seam: called before each write of a save with the file's extension
// (".INV", ".DTL", ".PAY") and the step ("records", "header", "sync"); a
// false answer makes that write fail as an I/O error would.
using SaleSaveWriteHook = std::function<bool(const std::string& file, const std::string& step)>;
void SaleSave_SetWriteHook(SaleSaveWriteHook hook);

}  // namespace tarvo
