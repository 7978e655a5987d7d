#include "print/count_tickets.h"

#include <string>

#include "common/numbers.h"
#include "config/settings.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "print/report_header.h"

namespace tarvo {

Money gCountRunningTotal;

namespace {

using namespace print_text;

std::string Rule(std::size_t width) { return std::string(width, '-'); }

}  // namespace

void PhysicalStart_Print() {
    if (Printer_IsOff("PhysicalStart_Print")) return;
    Printer_Open();
    if (gPrint.gPrintStatus != 0) return;
    ReportHeader_Print();
    Line(Msg(Message::PhysicalInventoryCountStarted));
    Line(Rule(gSettings.gWidePaper == 1 ? 54 : 40));
    Line("");
    // The output stays open; a failed write has already set the status.
}

void Item_PrintLine() {
    // The count's value takes in every counted item, printed or not, so a
    // printer that fails once does not leave later tickets short.
    gCountRunningTotal = CentRoundUp(gCountRunningTotal + gSale.gLines[1].extension);
    if (Printer_IsOff("Item_PrintLine")) return;
    // Finish the printout still open (the count-start slip, on the spooler
    // still unsent) so that its failure is not lost.
    gPrint.gPrintStatus = 0;
    Printer_End();
    const bool earlierFailed = gPrint.gPrintStatus != 0;

    Printer_OpenPlain();
    if (gPrint.gPrintStatus == 0) {
        const bool wide = gSettings.gWidePaper == 1;
        const Money price = gSale.gLines[1].unitPrice;
        const Money extension = gSale.gLines[1].extension;
        const std::string p = price.Format("###,##0.00");
        const std::string e = extension.Format("###,##0.00");
        const std::string t = gCountRunningTotal.Format("##,###,##0.00");

        Line(Fit(gSale.gLines[1].key, wide ? 16 : 13) + Fit(gSale.gLines[1].description, wide ? 30 : 20) +
             Right(Num_Text(gSale.gLines[1].quantity), wide ? 8 : 6));
        Line("@" + Blanks(10 - Len(p)) + "$" + p + "=" + Blanks(10 - Len(e)) + "$" + e + Blanks(14 - Len(t)) + "$" + t);
        Line(Rule(static_cast<std::size_t>(gPrint.gLineWidth)));
    }
    if (gPrint.gPrintStatus != 0) {
        ProgramLog().Write(1, "Printer_Open: HandlerPrinterOpen, Unable to open printer port");
        gPrint.gPrintStatus = 1;
        Printer_Abandon();
    }
    const std::int16_t status = gPrint.gPrintStatus;
    if (gSettings.gPrinterType == PrinterType::Spooler) {
        Printer_End();  // one spooler job per ticket, no feed or cut
    } else {
        Printer_Close(true);
    }
    // Closing never hides an earlier failure.
    if (status != 0 && gPrint.gPrintStatus == 0) gPrint.gPrintStatus = status;
    if (earlierFailed && gPrint.gPrintStatus == 0) gPrint.gPrintStatus = 3;
}

}  // namespace tarvo
