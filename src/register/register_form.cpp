#include "register/register_form.h"

#include "config/constants.h"
#include "config/settings.h"
#include "data/sale_state.h"
#include "office/communication.h"
#include "print/labels.h"
#include "print/pole_display.h"
#include "print/printer_output.h"
#include "register/register_keys.h"
#include "register/total_key.h"
#include "sale/entry_helpers.h"
#include "sale/product_entry.h"
#include "sale/sale_save.h"
#include "sale/sale_start.h"
#include "sale/suspend.h"
#include "sale/tenders.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/receipt_area.h"
#include "screen/register_context.h"
#include "screen/register_state.h"
#include "screen/screen_build.h"

namespace tarvo {

bool Form_Load(const std::function<bool(std::string&)>& loadDataAndSettings, std::string& message) {
    RegisterContext& r = Reg();
    MessageTimers_Connect();
    Skin_Apply();
    LocalTime now = r.clock ? r.clock->Now() : SystemClock().Now();
    Screen().SetTitle(Register_Title(gTerminalNumber, now.year, now.month, now.day));
    gReg.gLoggedOut = true;
    gReg.gClearOnKeyUp = false;
    gSale.gQuantity = 1.0;
    DEA_Initialize();
    ScaleTimer_Connect();

    if (!loadDataAndSettings(message)) return false;
    UI_Setup();
    PrinterCodes_Load();
    Customer_Open();
    if (gDisplay.gDisplayError != 0) CIATime(Msg(Message::ErrorCustomerDisplayIsDisconnected), 5);
    Label_Read_Setup();
    Payment_Setup();
    EndSaleTimer_Connect();
    Cards().Card_Load();
    Suspend_CheckAtLoad();
    Variables_Set();
    Receipt_Show();
    Communication_Configure();
    Register_Reset();
    DEA_Reset();
    return true;
}

}  // namespace tarvo
