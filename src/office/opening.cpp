#include "office/opening.h"

#include "config/constants.h"
#include "config/settings.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "office/activity_journal.h"
#include "office/cash_office.h"
#include "platform/clock.h"
#include "print/printer_output.h"
#include "sale/entry_helpers.h"
#include "sale/modes.h"
#include "sale/product_entry.h"
#include "sale/sale_start.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

// Records looked at for today's opening.
constexpr std::int64_t kOpeningLookBack = 1000;

// Any "O" record of the business date: one opening per terminal and day,
// whoever opened.
bool OpeningRecordedToday() {
    Open_FileActivity();
    bool found = false;
    Activity_ForEachOfDayBackwards(gReg.gBusinessDate, kOpeningLookBack, [&](const ActivityView& v) {
        found = v.Type() == 'O';
        return !found;
    });
    gData.activity.Close();
    return found;
}

}  // namespace

bool OpeningAmount_Save() {
    ActivityEntry e;
    e.date = gReg.gBusinessDate;
    e.time = TimeText(Reg().clock->Now());
    e.type = 'O';
    e.person = Activity_CashierNumber();
    e.amount = gReg.gEnteredAmount;
    const AppendResult r = Activity_Append(e, "OpeningAmount_Save");
    if (r.outcome == AppendOutcome::TooWide) CIATime(Msg(Message::InvalidEntry), 5);
    if (r.outcome == AppendOutcome::WriteFailed) CIATime(kJournalNotWritten, 10);
    return static_cast<bool>(r);
}

void Login_OpeningBalance() {
    if (!OpeningRecordedToday()) {
        if (!gSettings.gZeroOpening) {
            if (gSettings.gDrawerAtOpening) Drawer_Open();
            CIATime(Msg(Message::EnterDrawersOpeningAmountAndSelectEnter), 0);
            gReg.gPromptState = PromptState::OpeningAmount;
            Mode_Display();
            return;
        }
        gReg.gEnteredAmount = Money();
        if (!OpeningAmount_Save()) {
            // Not recorded (already said): the register asks for the
            // opening, as without the zero opening, and sells nothing yet.
            gReg.gPromptState = PromptState::OpeningAmount;
            Mode_Display();
            return;
        }
    }
    CIATime(Msg(Message::CashierLoginSuccessful), 5);
    Sale_Start();
}

void Logout() {
    ScreenModel& s = Screen();
    s.SetText(kMessageLine, "");
    s.SetText(kEntryBox, "");
    gReg.gEntryMasked = true;
    gReg.gBusinessDate.clear();
    Department_ClearButtons();
    Register_Reset();
    Receipt_ClearColumns();
    gReg.gCashierIndex = 0;
    const LocalTime now = Reg().clock->Now();
    s.SetTitle(Register_Title(gTerminalNumber, now.year, now.month, now.day));
}

}  // namespace tarvo
