#include "office/opening.h"

#include <algorithm>

#include "common/fields.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/transaction_files.h"
#include "sale/modes.h"
#include "sale/sale_start.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

bool OpeningRecordedToday() {
    Open_FileActivity();
    DataState& d = gData;
    const std::int64_t last = d.gLastActivityRecord;
    const std::int64_t low = std::max<std::int64_t>(2, last - 1000);
    bool found = false;
    for (std::int64_t i = last; i >= low; --i) {
        std::string_view r = d.activity.View(i);
        std::string_view date = r.substr(0, 8);
        if (date < std::string_view(gReg.gBusinessDate)) break;
        if (r.size() >= 13 && r[12] == 'O' && date == gReg.gBusinessDate) {
            found = true;
            break;
        }
    }
    d.activity.Close();
    return found;
}

}  // namespace

bool OpeningAmount_Save() {
    DataState& d = gData;
    std::string cashier;
    if (gReg.gCashierIndex > 0 && gReg.gCashierIndex <= d.gCashierCount)
        cashier = d.CashierTable[static_cast<std::size_t>(gReg.gCashierIndex)].CashierNumber;
    std::string record = PadRight(gReg.gBusinessDate, 8) + TimeText(Reg().clock->Now()) + "O0" + PadRight("", 8) +
                         PadRight(cashier, 8) + PadRight(gReg.gEnteredAmount.Text(), 9) + std::string(9, ' ');
    Open_FileActivity();
    bool ok = Transaction_Append(d.activity, d.gLastActivityRecord, 40, record, HeaderForm::BlanksAfter);
    d.activity.Close();
    return ok;
}

void Login_OpeningBalance() {
    if (!OpeningRecordedToday()) {
        if (!gSettings.gZeroOpening) {
            if (gSettings.gDrawerAtOpening) Printing().Drawer_Open();
            CIATime(Msg(72), 0);
            gReg.gPromptState = 3;
            Mode_Display();
            return;
        }
        gReg.gEnteredAmount = Money();
        OpeningAmount_Save();
    }
    CIATime(Msg(101), 5);
    Sale_Start();
}

}  // namespace tarvo
