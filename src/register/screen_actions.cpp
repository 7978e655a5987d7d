#include "register/screen_actions.h"

#include "register/print_page.h"
#include "screen/controls.h"

#include <string>

#include "common/line_reader.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "office/cash_count.h"
#include "office/closing_report.h"
#include "sale/product_entry.h"
#include "sale/totals.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/receipt_area.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

// `s` padded with blanks to at least `width` characters.
std::string PadTo(std::string s, std::size_t width) {
    if (s.size() < width) s.resize(width, ' ');
    return s;
}
// `s` padded or cut to exactly `width` characters.
std::string PadCut(std::string s, std::size_t width) {
    s.resize(width, ' ');
    return s;
}
std::string TwoDigits(int n) { return Num_Format(n, "00"); }

// A unit price in its 8 columns of the printed line. The dollar sign gives way
// when the amount needs its column; anything else (a digit, the sign) is
// never cut: the price then prints whole, longer than its room.
std::string PrintedPrice(Money price) {
    std::string text = price.Format("$####,###.00");
    constexpr std::size_t kRoom = 8;
    if (text.size() > kRoom && text.find_first_not_of('$') == text.size() - kRoom)
        return text.substr(text.size() - kRoom);
    return text;
}

// One data line of the code file: "ignored,key,quantity,...". Nothing when
// the line lacks its third comma.
struct CodeLine {
    std::string key;
    std::string quantity;
};
bool SplitCodeLine(const std::string& line, CodeLine& out) {
    std::size_t p1 = line.find(',');
    if (p1 == std::string::npos) return false;
    std::size_t p2 = line.find(',', p1 + 1);
    if (p2 == std::string::npos) return false;
    std::size_t p3 = line.find(',', p2 + 1);
    if (p3 == std::string::npos) return false;
    out.key = line.substr(p1 + 1, p2 - p1 - 1);
    out.quantity = line.substr(p2 + 1, p3 - p2 - 1);
    return true;
}

}  // namespace

void File_Read() {
    const std::string path = Reg().programFolder + "/QZFile";
    LineReader file;
    bool readable = file.Open(path);
    const std::int32_t countBefore = gSale.gItemCount;
    std::string line;
    CodeLine fields;
    while (readable && file.Next(line)) {
        if (!SplitCodeLine(line, fields)) continue;
        auto q = Num_ToInteger(Num_Val(fields.quantity), -32768, 32767);
        if (!q) {
            ProgramLog().Write(1, "QZFile line " + std::to_string(file.LineNumber()) +
                                      " skipped, quantity does not fit: " + line);
            continue;
        }
        if (*q < 1) continue;
        const std::optional<ProductMatch> found = Product_Find(fields.key);
        if (!found || found->recNo <= 0) continue;
        Product_SetCurrent(fields.key, found);
        gData.gProductRec = gData.products.Read(gData.gProductRecNo);
        gSale.gLineKind = "P";
        const std::int32_t before = gSale.gItemCount;
        Product_Add();
        // Only a line that was really added takes the file's quantity.
        if (gSale.gItemCount > before) gSale.gLines[gSale.gItemCount].quantity = static_cast<double>(*q);
    }
    readable = readable && file.Error() == 0;
    file.Close();
    if (!readable && gSale.gItemCount == countBefore) {
        CIATime(path + " " + Msg(Message::NotFound), 3);
        return;
    }
    // Lines added before a read error stay in the sale and count.
    Totals_Update();
    Receipt_Display();
    if (readable)
        Screen().SetText(kMessageLine, "");
    else
        CIATime(path + " " + Msg(Message::NotFound), 3);
}

void Count_Cash() {
    if (!CashCount_Open()) {
        Count_Cash_Resume();
        return;
    }
    Screen().SetVisible(kRegisterForm, false);
}

void Count_Cash_Resume() {
    Screen().SetVisible(kRegisterForm, true);
    Print_Closing();
    PrintStatus_Show();
}

void Print_Screen() {
    if (gSettings.gPrinterType == PrinterType::Off) return;
    PrintService& svc = Printing();
    svc.Printer_Open();
    // After a printer error nothing more is sent.
    auto print = [&](int newLine, const std::string& text) {
        if (svc.PrintStatus() != 0) return false;
        svc.Printer_Line(newLine, 0, text);
        return svc.PrintStatus() == 0;
    };

    const LocalTime now = Reg().clock->Now();
    if (!print(1, PadTo(Msg(Message::Time), 10) + TwoDigits(now.hour) + ":" + TwoDigits(now.minute))) return;
    if (!print(1, "Terminal: " + gTerminalNumber)) return;
    const std::int32_t cashier = gReg.gCashierIndex;
    if (cashier != 0) {
        std::string name;
        if (cashier > 0 && static_cast<std::size_t>(cashier) < gData.CashierTable.size())
            name = gData.CashierTable[static_cast<std::size_t>(cashier)].CashierName;
        if (!print(1, PadTo(Msg(Message::Cashier), 10) + name)) return;
    }
    if (!print(1, "")) return;

    const SaleState& sale = gSale;
    const int last = std::min<int>(sale.gItemCount, kMaxSaleLines);
    for (int i = 1; i <= last; ++i) {
        const SaleLine& line = sale.gLines[static_cast<std::size_t>(i)];
        if (!print(0, Num_Format(i, "##"))) return;
        if (!print(0, "    " + PadCut(line.key, 16))) return;
        if (!print(0, Num_Format(line.quantity, "######"))) return;
        if (!print(1, PrintedPrice(line.unitPrice))) return;
        if (!print(1, PadCut(line.description, 39))) return;
        if (line.hasNote && !print(1, line.note)) return;
    }
    for (int k = 0; k < 4; ++k)
        if (!print(1, "")) return;
    svc.Printer_Close(true);
}

bool USB_Check() { return true; }

}  // namespace tarvo
