#include "sale/clients.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/indexes.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "sale/sale_save.h"
#include "sale/sales_page.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"

namespace tarvo {

namespace {

std::string RTrim(std::string_view s) { return std::string(TrimRightView(s)); }

// The discount on every line already in the sale; false (lines unchanged)
// when an amount leaves the currency range.
bool LineDiscount_Apply(double discount) {
    SaleState& s = gSale;
    const int count = s.gItemCount;
    // What the lines were, to take the change back when it does not fit.
    const auto first = s.gLines.begin() + 1;
    const std::vector<SaleLine> before(first, first + std::clamp(count, 0, kMaxSaleLines));
    auto restore = [&] {
        CIATime(Msg(Message::InvalidEntry), 5);
        std::copy(before.begin(), before.end(), first);
    };
    for (int k = 1; k <= count; ++k) {
        SaleLine& line = s.gLines[static_cast<std::size_t>(k)];
        const std::string oldPrice = "$" + line.unitPrice.TextDisplay();
        const std::optional<Money> price = Money::FromDouble(line.unitPrice.ToDouble() * (100 - discount) / 100);
        if (!price) {
            restore();
            return false;
        }
        line.unitPrice = CentRound(*price);
        const double units = line.priceUnits == 0 ? 1 : line.priceUnits;
        const std::optional<Money> extension = Money::FromDouble(line.unitPrice.ToDouble() * line.quantity / units);
        if (!extension) {
            restore();
            return false;
        }
        line.extension = CentRound(*extension);
        line.note = Msg(Message::DsctPercent) + " " + Num_Text(discount) + " (" + oldPrice + ")";
        line.hasNote = true;
    }
    Receipt_Display();
    if (!Totals_Update()) {
        // The totals are left as they were; the lines go back too.
        restore();
        Receipt_Display();
        return false;
    }
    return true;
}

}  // namespace

void Client_GetInformation() {
    SaleState& s = gSale;
    gData.gClientRec = gData.gClientRecNo > 0 ? gData.clients.Read(gData.gClientRecNo) : std::string();
    const std::string_view r = gData.gClientRec;
    s.gClientCode = Trim(Mid(r, 1, 8));
    s.gClientNumber = Trim(Mid(r, 12, 8));
    s.gClientName = RTrim(Mid(r, 20, 30));
    s.gClientAddress = RTrim(Mid(r, 50, 30)) + " " + RTrim(Mid(r, 80, 30)) + " " + RTrim(Mid(r, 110, 30));
    s.gClientPhone = RTrim(Mid(r, 140, 20));
    s.gClientExtra = Trim(Mid(r, 190, 15));
    s.gClientDiscount = Num_Val(Mid(r, 205, 5));
    const std::string_view level = Mid(r, 210, 1);
    s.gClientPriceLevel = (level.size() == 1 && level[0] >= '1' && level[0] <= '5')
                              ? static_cast<std::int16_t>(level[0] - '0')
                              : std::int16_t{1};
    s.gClientAccountType = Trim(Mid(r, 11, 1));
}

void Client_GetInformationNew() {
    SaleState& s = gSale;
    const std::string r = gData.gNewClientRecNo > 0 ? gData.newFile.Read(gData.gNewClientRecNo) : std::string();
    s.gClientCode = Trim(s.gSaleClientId);
    s.gClientNumber = Trim(Mid(r, 3, 8));
    s.gClientName = Trim(Mid(r, 11, 45));
    s.gClientAddress = Trim(Mid(r, 56, 90));
    s.gClientPhone = RTrim(Mid(r, 188, 30));
    s.gClientExtra.clear();
    s.gClientDiscount = 0;
    s.gClientPriceLevel = 1;
}

void Client_Process() {
    if (gData.gClientRecNo != 0) {
        Client_GetInformation();
    } else {
        Open_FileNewClient();
        Client_GetInformationNew();
    }
    Client_ShowInformation();
    CIATime(Msg(Message::Client) + " " + gSale.gClientName, 5);
    const double discount = gSale.gClientDiscount;
    if (discount > 0 && discount <= 100) {
        if (gSettings.gClientDiscountAllLines) {
            if (LineDiscount_Apply(discount)) CIATime(Msg(Message::DiscountPercent) + Num_TextDisplay(discount), 5);
        } else {
            Screen().SetText(kEntryBox, Num_TextDisplay(discount));
            Sales_Process(16);
        }
    }
    Total_Activate();
    DEA_Reset();
}

void Aux_Client() {
    gData.gSearchText = Screen().Text(kEntryBox);
    AuxClient_Search();
    DEA_Reset();
    if (gData.gSearchLast != 0) Forms().SearchForm_Show(SearchFormSetup{2, 22, {4, 8, 20, 30, 16, 2, 6, 14}, 10});
}

}  // namespace tarvo
