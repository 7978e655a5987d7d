#include "sale/entry_helpers.h"

#include <cstdio>

#include <cstddef>
#include <string>

#include "common/text_clean.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/indexes.h"
#include "data/sale_state.h"
#include "screen/controls.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

void Strip_Text() { Screen().SetText(kEntryBox, Text_Clean(Screen().Text(kEntryBox))); }

void Strip_Number() {
    std::string out;
    for (char c : Screen().Text(kEntryBox)) {
        if ((c >= '0' && c <= '9') || c == '-')
            out += c;
        else if (c == ',' || c == '.')
            out += '.';
    }
    Screen().SetText(kEntryBox, out);
}

void Caption_Show() {
    std::string name;
    const std::int32_t cashier = gReg.gCashierIndex;
    if (cashier >= 1 && cashier <= gData.gCashierCount && static_cast<std::size_t>(cashier) < gData.CashierTable.size())
        name = gData.CashierTable[static_cast<std::size_t>(cashier)].CashierName;
    Screen().SetTitle("Corlant 18.03.14 Kaspen (" + gTerminalNumber + ")  " + gSale.gDateText + " " + name);
}

std::string Register_Title(const std::string& terminal, int year, int month, int day) {
    char date[16];
    std::snprintf(date, sizeof date, "%02d-%02d-%04d", month % 100, day % 100, year % 10000);
    return "Corlant 18.03.14 Kaspen (" + terminal + ")  " + date;
}

void Sort_Perform() {
    if (gSettings.gSortProducts) Index_Product();
    if (gSettings.gSortClients) Index_Client();
}

void AllFilesASCII_Send() {
    gComm.gOperationMode = CommMode::ResendAll;
    gComm.gCommHidden = false;
    Office().Communicate();
}

}  // namespace tarvo
