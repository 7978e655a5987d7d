#include "print/print_services.h"

#include "print/count_tickets.h"
#include "print/pole_display.h"
#include "print/printer_output.h"
#include "print/scale.h"

namespace tarvo {

void PrintingImpl::Printer_Open() { tarvo::Printer_Open(); }
void PrintingImpl::Printer_Line(int newLine, int code, const std::string& text) {
    tarvo::Printer_Line(newLine, code, text);
}
void PrintingImpl::Printer_Close(bool closeHandle) { tarvo::Printer_Close(closeHandle); }
std::int16_t PrintingImpl::PrintStatus() const { return gPrint.gPrintStatus; }
// A register that prints on its screen goes on doing so from sale to sale.
void PrintingImpl::PrintToScreen_End() { gPrint.gPrintToScreen = gPrint.gScreenIsPrinter; }
void PrintingImpl::Item_PrintLine() { tarvo::Item_PrintLine(); }

void CustomerDevices::Customer_Greeting() { tarvo::Customer_Greeting(); }
void CustomerDevices::Customer_Total() { tarvo::Customer_Total(); }
void CustomerDevices::Customer_PriceChecker() { tarvo::Customer_PriceChecker(); }
std::int16_t CustomerDevices::DisplayError() const { return gDisplay.gDisplayError; }
void CustomerDevices::Scale_Open(std::function<bool(double)> weighed) { tarvo::Scale_Open(std::move(weighed)); }
void CustomerDevices::Scale_Close() { tarvo::Scale_Close(); }

}  // namespace tarvo
