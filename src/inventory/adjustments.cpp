#include "inventory/adjustments.h"

#include <array>

#include "common/fields.h"
#include "common/numbers.h"
#include "common/text_clean.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "inventory/document_files.h"
#include "sale/modes.h"
#include "sale/record_fields.h"
#include "sale/sale_save.h"
#include "sale/sale_start.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/receipt_area.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

constexpr int kReasonQuestion = 9;

// The reasons, in this form whatever the language.
const char* const kReasonList =
    " 1  Breakage\r2  Damaged\r3  Expired\r4  Physical Count\r5  Samples to Clients\r6  Samples to Salesmen\r"
    "7  Shortage\r8  Theft\r9  Other";

void CloseAdjustmentFiles() {
    gData.adjustmentLines.Close();
    gData.adjustments.Close();
}

}  // namespace

void Adjustment_Prepare() {
    Receipt_Hide();
    // The panel shows its caption (the welcome text until now), so the
    // reasons go there; the login puts the welcome back.
    Screen().SetCaption(kGreeting, kReasonList);
    Prompt().MessageWithEnterToEnd_Show();
    CIATime(Msg(Message::SelectReasonForStockAdjustment), 0);
    Prompt().PromptInCIA_Show(kReasonQuestion);
    Screen().SetText(kEntryBox, "");
}

void Adjustment_Start() {
    gSale.gMode = RegisterMode::Adjustment;
    Mode_Display();
    Screen().SetText(kMessageLine, "");
    Greeting_Hide();
    Receipt_Show();
    DEA_Reset();
}

void Adjustment_Cancel() {
    gSale.gMode = gSettings.gHomeMode;
    Physical_Hide();
    Greeting_Hide();
    Receipt_Show();
    Sale_Start();
    CIATime(Msg(Message::StockAdjustmentTerminated), 5);
    gReg.gTimedMessage = Msg(Message::OperationCanceledTitle);
    MessageWithTimerToEnd_Show();
}

std::optional<AdjustmentRecords> AdjustmentRecords_Build(std::int64_t number, std::string& problem) {
    const SaleState& s = gSale;
    const int direction = s.gAdjustmentDirection;
    if (direction != 1 && direction != -1) {
        problem = "Direction";
        return std::nullopt;
    }
    AdjustmentRecords out;
    RecordBuilder h(problem);
    h.Zero(number, 7);
    h.Raw(" 0");
    h.Raw(gReg.gBusinessDate);
    h.Raw(SavingTime());
    h.Text(CashierNumberAt(gReg.gCashierIndex), 8);
    h.Text(ManagerNumberAt(gReg.gManagerIndex), 8);
    h.Text(Trim(s.gAdjustmentReason).substr(0, 2), 2);
    h.Number((direction < 0 ? -s.gSubtotal : s.gSubtotal).Text(), 9, "Amount");
    h.Text(Text_Clean(s.gSaleReference), 40);
    out.header = h.Take();
    for (int k = 1; k <= s.gItemCount && k <= kMaxSaleLines; ++k) {
        const SaleLine& line = s.gLines[static_cast<std::size_t>(k)];
        RecordBuilder l(problem);
        l.Zero(number, 7);
        l.Zero(k, 3);
        l.Text(line.product, 8);
        l.Text(line.key, 20);
        l.Number(Num_Text(direction * line.quantity), 8, "Quantity of Line " + std::to_string(k));
        l.Text(line.note, 30);
        out.lines.push_back(l.Take());
    }
    if (!problem.empty()) return std::nullopt;
    return out;
}

bool Adjustment_Save() {
    DataState& d = gData;
    SaleState& s = gSale;
    if (!DocumentLines_Fit("Adjustment_Save", "Adjustment")) return false;
    Open_Fileadjustment();
    if (!d.adjustments.IsOpen() || !d.adjustmentLines.IsOpen()) {
        CloseAdjustmentFiles();
        DocumentNotSaved("Adjustment_Save", "Adjustment", "Adjustment Files Cannot Be Opened");
        return false;
    }
    BusinessDate_Normalise();
    const std::int64_t number = Transaction_NextRecord(d.adjustments);
    std::string problem;
    std::optional<AdjustmentRecords> rec = AdjustmentRecords_Build(number, problem);
    if (!rec) {
        CloseAdjustmentFiles();
        DocumentNotSaved("Adjustment_Save", "Adjustment",
                         problem == "Direction" ? "No Direction" : problem + " Too Large");
        return false;
    }
    std::array<DocumentPart, 2> parts{{
        {&d.adjustments, ".ADJ", number, {std::move(rec->header)}, 70, 0, &d.gLastAdjustmentRecord},
        {&d.adjustmentLines, ".ADD", Transaction_NextRecord(d.adjustmentLines), std::move(rec->lines), 50, 0,
         &d.gLastAdjustmentLineRecord},
    }};
    if (!Document_Commit(parts, "Adjustment_Save")) {
        CloseAdjustmentFiles();
        DocumentNotSaved("Adjustment_Save", "Adjustment", "Error Writing the Adjustment Files");
        return false;
    }
    // The amount keeps its sign from here on, as stored.
    if (s.gAdjustmentDirection < 0) s.gSubtotal = -s.gSubtotal;
    s.gAdjustmentReason = PadRight(Trim(s.gAdjustmentReason).substr(0, 2), 2);
    gSaleSave.gPrintRecordNo = static_cast<std::int32_t>(number);
    CloseAdjustmentFiles();
    return true;
}

}  // namespace tarvo
