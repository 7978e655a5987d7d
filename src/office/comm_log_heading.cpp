#include "office/comm_log_heading.h"

#include <cstdio>
#include <exception>
#include <string>

#include "config/constants.h"
#include "config/settings.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "print/report_header.h"

namespace tarvo {
namespace {

constexpr const char* kFailLog = "Communicate_Header: Printer error in middle of printing";

// A number of `digits` digits, zeros in front.
std::string Digits(int n, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", digits, n);
    return buf;
}
std::string Two(int n) { return Digits(n, 2); }

}  // namespace

void Communicate_Header() {
    if (Printer_IsOff("Communicate_Header")) return;
    Printer_Open();
    if (gPrint.gPrintStatus != 0) {
        Printer_Abandon();
        return;
    }
    try {
        using namespace print_text;
        const LocalTime now = Printout_Now();
        Line("***** " + Msg(Message::AutomaticCommunicationLog) + " *****");
        Print_Check();
        Line("Date:     " + Two(now.month) + "-" + Two(now.day) + "-" + Digits(now.year, 4));
        Print_Check();
        Line(Fit(Msg(Message::Time), 10) + Two(now.hour) + ":" + Two(now.minute) + ":" + Two(now.second));
        Print_Check();
        Line("Terminal: " + gTerminalNumber);
        Print_Check();
        Printer_End();
    } catch (const std::exception&) {
        print_text::Printout_Abandon(kFailLog);
        gPrint.gPrintStatus = 2;
    }
}

}  // namespace tarvo
