#include "register/entry_box.h"
#include "register/controls.h"

#include <array>

#include "data/data_state.h"
#include "data/lookups.h"
#include "register/messages.h"
#include "register/register_keys.h"
#include "register/register_state.h"
#include "sale/sale_state.h"
#include "config/settings.h"

namespace tarvo {


void DEA_Reset() {
    ScreenModel& s = Screen();
    const bool login = gReg.gPromptState == 2;
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
    gData.gProductKey = sale.gCaseLetter + code;
    sale.gCaseLetter.clear();
    gData.gEmbeddedPriceCheck = true;   // a bar code may carry its price
    Product_Find();
    if (gData.gProductRecNo != 0 || gData.gNewProductRecNo != 0) {
        sale.gLineKind = 'P';   // a product line
        Keys().Product_Add();
        if (sale.gItemCount > 0) sale.gKitCode = sale.gLines[static_cast<std::size_t>(sale.gItemCount)].key;
        Keys().Kit_Processing();
        return;
    }
    CIATime(Msg(3), 5);
    sale.gPriceSearch = false;
    sale.gStockSearch = false;
    gReg.gTimedMessage = Msg(3);
    MessageWithTimerToEnd_Show();
    Keys().PlaySoundFile(1);
}

void BarCode_Change() {
    if (gReg.gPromptLineActive) return;
    if (gReg.gBusinessDate.empty() && gReg.gPromptState == 2) {
        // Nobody has logged in today: what was typed is a login code.
        BReg_Click(4);
        return;
    }
    const std::string text = Screen().Text(kEntryBox);
    if (!text.empty() && text[0] != '%') {
        Product_EnterCode(text);
    } else if (!text.empty() && gSettings.gCardEnabled == "1" && gSale.gItemCount > 0 && !gSale.gTotal.IsZero()) {
        // A card swipe. The track data never stays on the screen.
        Screen().SetText(kEntryBox, "");
        if (gSale.gCardInSale) {
            gReg.gCardStatus = 9;
            Keys().Credit_Card_Display_Response();
        } else {
            gReg.gCardStatus = 0;
            gReg.gCardTrack = text;
            // A refund the payment page refuses takes no card either.
            const bool taken = PaymentPage_Open();
            if (taken) {
                gReg.gCardEntry = 1;
                Keys().Card_ParseSwipe();
            }
            // The track is kept no longer than the parser needs it.
            gReg.gCardTrack.clear();
            if (taken) {
                if (gReg.gCardNumber.empty()) {
                    gReg.gCardStatus = 6;
                    Keys().Credit_Card_Display_Response();
                } else {
                    Keys().Card_TypeFind();
                    if (gReg.gCardStatus == 0) {
                        // The prompt line proposes the amount in the entry box.
                        Keys().Credit_Card_PromptAmount();
                        return;
                    }
                    Keys().Credit_Card_Display_Response();
                }
            }
        }
    }
    Keys().Mode_Display();
    DEA_Reset();
}

}  // namespace tarvo
