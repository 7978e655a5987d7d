#include "screen/entry_box.h"
#include "screen/controls.h"

#include <array>

#include "config/settings.h"
#include "data/data_state.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

void DEA_Reset() {
    ScreenModel& s = Screen();
    const bool login = gReg.gPromptState == PromptState::Login;
    s.SetPasswordChar(kEntryBox, login ? '*' : 0);
    gReg.gEntryMasked = login;
    s.SetText(kEntryBox, "");
    s.SetSelStart(kEntryBox, 0);
    s.SetFocus(kEntryBox);
}

void DEA_AddNumber(const std::string& text) {
    ScreenModel& s = Screen();
    s.SetFocus(kEntryBox);
    s.SetPasswordChar(kEntryBox, gReg.gEntryMasked || gReg.gLoggedOut ? '*' : 0);
    const std::string now = s.Text(kEntryBox) + text;
    s.SetText(kEntryBox, now);
    s.SetSelStart(kEntryBox, static_cast<int>(now.size()));
    s.SetFocus(kEntryBox);
}

const std::string& KeypadText(int n) {
    static const std::array<std::string, 13> kTexts{"", "0", "00", ".", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    return kTexts[n >= 1 && n <= 12 ? static_cast<std::size_t>(n) : 0];
}

void mNumeric_Click(int n) {
    if (n < 1 || n > 12) return;
    DEA_AddNumber(KeypadText(n));
}

void Product_EnterCode(const std::string& code) {
    SaleState& sale = gSale;
    // A bar code may carry its price.
    const ProductCode scanned = Product_SplitPriceCode(sale.gCaseLetter + code);
    sale.gCaseLetter.clear();
    const std::optional<ProductMatch> found = Product_Find(scanned.key);
    if (scanned.price) {
        gData.gManualPrice = found.has_value();
        gData.gManualPriceValue = found ? *scanned.price : Money();
    }
    Product_SetCurrent(scanned.key, found);
    if (found) {
        sale.gLineKind = 'P';  // a product line
        const int before = sale.gItemCount;
        SaleEngine().Product_Add();
        // Only a line just added is expanded as a kit.
        sale.gKitCode.clear();
        if (sale.gItemCount > before) sale.gKitCode = sale.gLines[static_cast<std::size_t>(sale.gItemCount)].key;
        Inventory().Kit_Processing();
        return;
    }
    CIATime(Msg(Message::NotFound), 5);
    sale.gPriceSearch = false;
    sale.gStockSearch = false;
    gReg.gTimedMessage = Msg(Message::NotFound);
    MessageWithTimerToEnd_Show();
    Program().PlaySoundFile(1);
}

}  // namespace tarvo
