// Finishing a transaction: the Total key, whether it may be pressed, the
// saved sale (invoice header, lines and payments in the .INV, .DTL and .PAY
// working files) and the end-of-sale pause.
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

namespace tarvo {

struct SaleSaveState {
    std::int32_t gPrintRecordNo = 0;  // invoice record the receipt prints
    bool gReceiptDuplicate = false;
    std::int16_t gReceiptCopy = 0;
    bool gGiftReceipt = false;
    bool gSaleFinished = false;  // saved; waiting for the end-of-sale pause
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

// Appends the sale to the invoice files. False when nothing was saved (a
// field too wide, a file that cannot be opened or written); the message line
// then says why and the files are as they were. On success gPrintRecordNo and
// the three last-record counters are set and the last tender is reduced by
// the change.
bool Sale_Save();

// A training sale lies past the invoice files' counts; a reader of the sale
// just saved (its receipt) calls this after opening the files to reach it.
void TrainingSale_Reach();

// The Total key.
void mTotalRegister_Click();
// Enables or disables the Total key.
void Total_Activate();
// The end-of-sale timer's event; EndSaleTimer_Connect makes it the handler of
// TimerId::EndSale.
// A receipt shown on the screen holds the pause until it is closed.
void Timer_EndSale_Timer();
void EndSaleTimer_Connect();
// What ends the pause: the next sale, the logout after a sale (setting 265)
// or the end of a received purchase order.
void SaleEnd_Continue();
// The on-screen receipt was closed: the pause that ended under it goes on,
// and a pause still running ends at once (the cashier has moved on).
void SaleEnd_AfterPrintout();
// The sale is saved and the pause after it has not ended yet (its timer
// runs, or it ended under the receipt on the screen).
bool SaleEnd_Pending();
// A key or touch of the cashier during the pause: the pause ends at once
// (the receipt on the screen closes as with Enter) and the next sale starts,
// so that the key and what the cashier typed go into it; nothing shown in
// the meantime is dropped when the pause would have ended. Does nothing
// when no pause is running.
void SaleEnd_Hurry();

// Test seam: called before each write of a save with the file's extension
// (".INV", ".DTL", ".PAY") and the step ("records", "header", "sync"); a
// false answer makes that write fail as an I/O error would.
using SaleSaveWriteHook = std::function<bool(const std::string& file, const std::string& step)>;
void SaleSave_SetWriteHook(SaleSaveWriteHook hook);

}  // namespace tarvo
