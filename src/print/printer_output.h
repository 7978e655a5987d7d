// The receipt printer output: opens the output chosen by the printer type
// (setting 880, gSettings.gPrinterType), writes lines and printer control
// sequences to it, closes it with paper feed and cut, and opens the cash
// drawer. One output is open at a time: opening closes the one before.
//
// Printer types: "0" none; "6" the print spooler (a raw CUPS job on the
// queue named by SPOOLER in ports.map, else the server's default queue);
// "20" the on-screen printout panel Txt_Printer; "3","4","7","8","9","10"
// serial ports COM1..COM6 at 9600,N,8,1; "2","5" parallel ports LPT2, LPT3;
// anything else LPT1. Port names map to devices through ports.map (see
// print/devices.h).
//
// Calling protocol: Printer_Open; go on only when gPrint.gPrintStatus is 0;
// Printer_Line(1, 0, text) for a whole line, (0, 0, text) to continue one;
// a title is Printer_Line(0, 2, title) then Printer_Line(1, 3, ""); then
// Printer_Close(true).
//
// A failure is never reported as success: an output that cannot be opened
// leaves status 1, a write that fails in the middle status 2, a close (or a
// spooler job) that fails status 3, each with a line in the program log.
// Nothing waits without end: a port has a deadline for its output (see
// platform/serial_port.h), the spooler bounded waits (print/spooler.h).
// A spooler printer that cannot be opened switches printing off for the rest
// of the run (PrinterType::Off); every printout asked for after that reports
// status 1, where printing switched off by the setting reports 0.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "config/settings.h"

namespace tarvo {

struct PrintState {
    // The seven control sequences, gPrinterCode[1]..[7] (index 0 unused, empty):
    // 1 initialise, 2 title on, 3 title off, 4 drawer 1, 5 drawer 2,
    // 6 paper feed, 7 paper cut. Built once by PrinterCodes_Load.
    std::array<std::string, 8> gPrinterCode;
    // 0 printed or nothing to do; 1 the output could not be opened or used;
    // 2 an error in the middle of a printout; 3 the output could not be
    // closed (or the spooler refused the job); 5 printing is switched off.
    std::int16_t gPrintStatus = 0;
    // Print-to-screen mode: output goes to Txt_Printer whatever the type.
    bool gPrintToScreen = false;
    // This register prints on its screen (Tarvo.ini PrintToScreen=1, for a
    // register tried without a printer): every sale starts in print-to-screen
    // mode, so its receipt shows at the end of the sale.
    bool gScreenIsPrinter = false;
    // A drawer kick is under way (Drawer_Open's open, line and close): on
    // a register whose printer is its screen it shows nothing.
    bool gDrawerKick = false;
    // One-shot (Drawer_Open): the next open skips code 1, the next close codes 6 and 7.
    bool gPrintNoInit = false;
    // Characters per line: 54 on wide paper, else 40; set by each successful open.
    std::int16_t gLineWidth = 40;
    // Printing was switched off (PrinterType::Off) because the spooler
    // printer could not be opened, not by the setting.
    bool gPrinterLost = false;
};

extern PrintState gPrint;

// Builds gPrint.gPrinterCode from settings 835-876 (gSettings); a value that
// is not a byte is skipped and logged. Call once from the register form's load.
void PrinterCodes_Load();

// Printing is off (PrinterType::Off): true, and the status a printout then
// ends on is set: 0 when the setting switched printing off (nothing to do),
// 1 with a log line naming `who` when the spooler printer was lost (the
// printout is not printed). The documents ask this before anything else.
bool Printer_IsOff(const std::string& who);

void Printer_Open();
// The printout under way goes to the on-screen panel: print-to-screen mode,
// or (gScreenIsPrinter) every printout but a drawer kick.
bool Printer_ToScreen();
// newLine 1 ends the line, any other value continues it; code 0-7 as above.
void Printer_Line(int newLine, int code, const std::string& text);
void Printer_Close(bool closeHandle);
// Opens the cash drawer: on its own serial port when gSettings.gDrawerPort is
// 1-4 (byte 7 and a line end), else through the receipt printer (code 5 when
// the logged-in cashier's key begins with "2", else code 4).
void Drawer_Open();

// Opens the output by the printer type like Printer_Open, but without the
// print-to-screen branch (the panel is not cleared; lines still follow the
// mode) and without the initialise sequence: the stock-count item ticket.
// Status 0 and gLineWidth set, or status 1 after a logged failure (5 with
// printing switched off).
void Printer_OpenPlain();
// Ends the printout without paper feed or cut: a spooler job is sent, a port
// closed. A failure leaves status 3 and a log line; else the status is kept.
void Printer_End();
// Drops the printout under way after an error: the port is closed, an
// unsent spooler job discarded; nothing more is sent and the status is kept.
void Printer_Abandon();

// The device name a printer type opens as a port ("lpt1",
// "COM1:9600,N,8,1,ASC,LF", ...); empty for printing off, the spooler and
// the on-screen panel.
std::string PrinterPort_Name(PrinterType printerType);

// Capture backend: while a capture is active, the port and spooler printer
// types write their bytes (same line ends and control sequences) into `out`
// instead of a device or the spooler. The panel types are not affected.
void PrinterCapture_Begin(std::string& out);
void PrinterCapture_End();

class PrinterCapture {
public:
    PrinterCapture() { PrinterCapture_Begin(bytes); }
    ~PrinterCapture() { PrinterCapture_End(); }
    PrinterCapture(const PrinterCapture&) = delete;
    PrinterCapture& operator=(const PrinterCapture&) = delete;
    std::string bytes;
};

// For an output that uses the printer's ports and spooler with line rules of
// its own (the label printout). PrinterPort_Open opens a port by its device
// name ("lpt1", "COM1:9600,N,8,1,ASC,LF") through ports.map. Spooler_SendRaw
// sends `data` as one raw job to the queue of printer type "6" (SPOOLER in
// ports.map, else the server's default). PrinterCapture_Target is the buffer
// of the active capture, nullptr when none. False with `error` filled.
class DevicePort;
bool PrinterPort_Open(DevicePort& port, const std::string& deviceName, std::string& error);
bool Spooler_SendRaw(const std::string& data, std::string& error);
std::string* PrinterCapture_Target();

}  // namespace tarvo
