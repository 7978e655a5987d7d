#include "print/printer_output.h"

#include <optional>
#include <vector>

#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "platform/serial_port.h"
#include "print/devices.h"
#include "print/printer_codes.h"
#include "print/spooler.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"
#include "screen/screen_model.h"

namespace tarvo {

PrintState gPrint;

namespace {

enum class Sink { None, Port, Spooler, Capture };

// The receipt printer output (file 20 of the register).
struct Output {
    Sink sink = Sink::None;
    DevicePort port;
    std::string queue;  // spooler queue
    std::string job;    // spooler job data, sent at the close
    bool writeFailed = false;
};
Output gOut;
std::string* gCapture = nullptr;

void LogLine(const std::string& text) { ProgramLog().Write(1, text); }

PrinterType Type() { return gSettings.gPrinterType; }

std::string ProgramFolder() {
    if (!gConstants.paths.programFolder.empty()) return gConstants.paths.programFolder;
    return Reg().programFolder;
}

// The panel Txt_Printer, when the register window is there.
void Panel_Append(const std::string& text) {
    if (!Reg().screen) return;
    Screen().AppendText(kPrintout, text);
}

// A title goes on the panel double width, as on paper, so that its columns
// line up with the lines around it.
void Panel_AppendTitle(const std::string& text) {
    if (!Reg().screen || text.empty()) return;
    const std::string& shown = Screen().Text(kPrintout);
    TextSpan span;
    std::size_t lineStart = 0;
    for (std::size_t at = shown.find("\r\n"); at != std::string::npos; at = shown.find("\r\n", at + 2)) {
        ++span.line;
        lineStart = at + 2;
    }
    span.column = static_cast<int>(shown.size() - lineStart);
    span.length = static_cast<int>(text.size());
    Screen().AppendText(kPrintout, text);
    Screen().AddWideSpan(kPrintout, span);
}

// Closes the output (file 20); a spooler job under way is sent. False with
// `error` when the device or the spooler reported a failure.
bool Output_Close(std::string& error) {
    bool ok = true;
    if (gOut.sink == Sink::Port) {
        ok = gOut.port.Close(&error);
    } else if (gOut.sink == Sink::Spooler) {
        ok = Spooler_Submit(gOut.queue, gOut.job, error);
    }
    gOut.sink = Sink::None;
    gOut.job.clear();
    gOut.queue.clear();
    gOut.writeFailed = false;
    return ok;
}

void Output_Write(const std::string& bytes) {
    if (gOut.writeFailed || bytes.empty()) return;
    switch (gOut.sink) {
    case Sink::None: return;  // the open failed and said so
    case Sink::Capture:
        if (gCapture) gCapture->append(bytes);
        return;
    case Sink::Spooler: gOut.job.append(bytes); return;
    case Sink::Port: {
        std::string error;
        if (!gOut.port.Write(bytes, error)) {
            gOut.writeFailed = true;
            gPrint.gPrintStatus = 2;
            LogLine("Printer_Line: Unable to write to the printer port (" + error + ")");
        }
        return;
    }
    }
}

// Splits "COM1:9600,N,8,1,ASC,LF" into the port and its line settings.
bool Port_Open(DevicePort& port, const std::string& deviceName, std::string& error) {
    const auto colon = deviceName.find(':');
    const std::string portName = deviceName.substr(0, colon);
    std::optional<LineSettings> line;
    if (colon != std::string::npos) {
        line = LineSettings_Parse(std::string_view(deviceName).substr(colon + 1));
        if (!line) {
            error = "bad line settings " + deviceName;
            return false;
        }
    }
    const std::string path = Device_Path(DeviceMap_Load(ProgramFolder()), portName);
    if (path.empty()) {
        error = "no device for " + portName;
        return false;
    }
    return port.Open(path, line, error);
}

// Opens the output by the printer type (not the panel types). False after a
// logged failure.
bool Output_Open() {
    const PrinterType type = Type();
    if (gCapture) {
        gOut.sink = Sink::Capture;
        return true;
    }
    if (type == PrinterType::Spooler) {
        const std::string wanted = Device_SpoolerQueue(DeviceMap_Load(ProgramFolder()));
        std::string queue, error;
        if (!Spooler_FindQueue(wanted, queue, error)) {
            LogLine("Printer_Open: A default USB printer is not specified. Printing disabled.");
            LogLine("Printer_Open: " + error);
            // Off until the program restarts; what is asked for from then on
            // is not printed and says so (Printer_IsOff).
            gSettings.gPrinterType = PrinterType::Off;
            gPrint.gPrinterLost = true;
            Forms().MessageBox_Show("A default USB printer is not specified. Printing disabled.");
            return false;
        }
        gOut.queue = queue;
        gOut.sink = Sink::Spooler;
        return true;
    }
    std::string error;
    if (!Port_Open(gOut.port, PrinterPort_Name(type), error)) {
        LogLine("Printer_Open: HandlerPrinterOpen, Unable to open printer port (" + error + ")");
        return false;
    }
    gOut.sink = Sink::Port;
    return true;
}

// The line-end rules of the panel (print-to-screen mode and type "20"):
// text for codes 0 and 2, then a line break when newLine is 1.
void Panel_Line(int newLine, int code, const std::string& text) {
    if (code == 2)
        Panel_AppendTitle(text);
    else if (code == 0)
        Panel_Append(text);
    if (newLine == 1) Panel_Append("\r\n");
}

const std::string& Code(int code) {
    static const std::string none;
    return code >= 1 && code <= 7 ? gPrint.gPrinterCode[static_cast<std::size_t>(code)] : none;
}

}  // namespace

bool Printer_ToScreen() {
    // A register whose printer is its screen shows every printout, whatever
    // an earlier printout, its closing or a report left of the mode; a drawer
    // kick is no printout there.
    if (gPrint.gScreenIsPrinter) return !gPrint.gDrawerKick;
    return gPrint.gPrintToScreen;
}

void PrinterCodes_Load() {
    std::vector<std::string> problems;
    gPrint.gPrinterCode = PrinterCodes_Build(gSettings, &problems);
    for (const auto& p : problems) LogLine("PrinterCodes_Build: " + p);
}

std::string PrinterPort_Name(PrinterType t) {
    switch (t) {
    case PrinterType::Off:
    case PrinterType::Spooler:
    case PrinterType::Screen: return {};
    case PrinterType::Lpt1: return "lpt1";
    case PrinterType::Lpt2: return "lpt2";
    case PrinterType::Lpt3: return "lpt3";
    case PrinterType::Com1: return "COM1:9600,N,8,1,ASC,LF";
    case PrinterType::Com2: return "COM2:9600,N,8,1,ASC,LF";
    case PrinterType::Com3: return "COM3:9600,N,8,1,ASC,LF";
    case PrinterType::Com4: return "COM4:9600,N,8,1,ASC,LF";
    case PrinterType::Com5: return "COM5:9600,N,8,1,ASC,LF";
    case PrinterType::Com6: return "COM6:9600,N,8,1,ASC,LF";
    }
    return "lpt1";
}

bool Printer_IsOff(const std::string& who) {
    if (Type() != PrinterType::Off) return false;
    if (gPrint.gPrinterLost) {
        LogLine(who + ": printing is off since the spooler printer could not be opened, nothing printed");
        gPrint.gPrintStatus = 1;
    } else {
        gPrint.gPrintStatus = 0;
    }
    return true;
}

void Printer_Open() {
    if (Printer_IsOff("Printer_Open")) {
        gPrint.gPrintStatus = 5;  // printing is switched off, by the setting or for the run
        return;
    }
    std::string error;
    if (!Output_Close(error)) LogLine("Printer_Open: the printout before could not be finished (" + error + ")");
    if (Printer_ToScreen()) {
        if (Reg().screen) Screen().SetText(kPrintout, "");
    } else if (Type() != PrinterType::Screen) {
        if (!Output_Open()) {
            gPrint.gPrintStatus = 1;
            return;
        }
    }
    gPrint.gPrintStatus = 0;
    if (!gPrint.gPrintNoInit) Printer_Line(1, 1, "");
    gPrint.gPrintNoInit = false;
    gPrint.gLineWidth = gSettings.gWidePaper == 1 ? 54 : 40;
    if (gOut.writeFailed) gPrint.gPrintStatus = 1;
}

void Printer_Line(int newLine, int code, const std::string& text) {
    if (Printer_ToScreen()) {
        Panel_Line(newLine, code, text);
        return;
    }
    const PrinterType type = Type();
    if (type == PrinterType::Off) return;
    if (type == PrinterType::Screen) {
        Panel_Line(newLine, code, text);
        return;
    }
    std::string piece;
    if (type == PrinterType::Spooler) {
        // Codes 0, 2 and 3 carry the text; the others stand in its place.
        if (code == 0)
            piece = text;
        else if (code == 2 || code == 3)
            piece = Code(code) + text;
        else
            piece = Code(code);
        if (newLine == 1) piece += '\n';
    } else {
        if (code == 0)
            piece = text;
        else if (code == 2)
            piece = Code(2) + text;
        else
            piece = Code(code);
        if (newLine == 1) piece += "\r\n";
    }
    Output_Write(piece);
}

void Printer_Close(bool closeHandle) {
    (void)closeHandle;  // the spooler connection is released with every close
    std::string error;
    if (Type() == PrinterType::Off) {
        // After the spooler printer was lost, what was asked for did not
        // print and stays failed.
        const bool ok = Output_Close(error);
        if (!gPrint.gPrinterLost)
            gPrint.gPrintStatus = ok ? 0 : 3;
        else if (gPrint.gPrintStatus == 0)
            gPrint.gPrintStatus = 1;
        gPrint.gPrintNoInit = false;
        return;
    }
    if (Printer_ToScreen()) {
        gPrint.gPrintToScreen = false;
        gPrint.gPrintNoInit = false;
        Output_Close(error);
        if (Reg().screen && Reg().services.Wired()) Printout_Show();
        return;
    }
    if (!gPrint.gPrintNoInit) {
        Printer_Line(0, 6, "");
        Printer_Line(0, 7, "");
    }
    gPrint.gPrintNoInit = false;
    const bool writeFailed = gOut.writeFailed;
    if (!Output_Close(error) || writeFailed) {
        if (error.empty()) error = "a write to the printer failed";
        LogLine("Printer_Close: HandlerPrinterClose, Printer can not be closed (" + error + ")");
        gPrint.gPrintStatus = 3;
    }
}

void Drawer_Open() {
    const int drawerPort = gSettings.gDrawerPort;
    if (drawerPort >= 1 && drawerPort <= 4) {
        static const char* const kNames[] = {"com1:2400,N,8,1,CS,DS,CD", "com2:9600,N,8,1,CS,DS,CD",
                                             "com3:9600,N,8,1,CS,DS,CD", "com4:9600,N,8,1,CS,DS,CD"};
        DevicePort port;  // file 32
        std::string error;
        bool ok = Port_Open(port, kNames[drawerPort - 1], error) && port.Write("\x07\r\n", error);
        if (port.IsOpen() && !port.Close(ok ? &error : nullptr)) ok = false;
        if (!ok) {
            LogLine("Drawer_Open: Unable to use the cash drawer port COM" + std::to_string(drawerPort) + " (" + error +
                    ")");
            gPrint.gPrintStatus = 1;
        }
        return;
    }
    if (Printer_IsOff("Drawer_Open")) return;
    struct Kick {
        Kick() { gPrint.gDrawerKick = true; }
        ~Kick() { gPrint.gDrawerKick = false; }
    } kick;
    gPrint.gPrintNoInit = true;
    Printer_Open();
    if (gPrint.gPrintStatus != 0) {
        gPrint.gPrintNoInit = false;
        return;
    }
    std::string key;
    const auto index = gReg.gCashierIndex;
    if (index >= 0 && static_cast<std::size_t>(index) < gData.CashierTable.size())
        key = gData.CashierTable[static_cast<std::size_t>(index)].CashierKey;
    Printer_Line(1, !key.empty() && key[0] == '2' ? 5 : 4, "");
    if (gOut.writeFailed) {
        LogLine("Drawer_Open: HandlerPrinterOpen, Unable to open printer port");
        gPrint.gPrintNoInit = false;
        std::string error;
        Output_Close(error);
        gPrint.gPrintStatus = 1;
        return;
    }
    gPrint.gPrintNoInit = true;
    Printer_Close(true);
}

void Printer_OpenPlain() {
    if (Printer_IsOff("Printer_Open")) {
        gPrint.gPrintStatus = 5;  // printing is switched off, by the setting or for the run
        return;
    }
    std::string error;
    if (!Output_Close(error)) LogLine("Printer_Open: the printout before could not be finished (" + error + ")");
    if (Type() != PrinterType::Screen && !Output_Open()) {
        gPrint.gPrintStatus = 1;
        return;
    }
    gPrint.gPrintNoInit = false;
    gPrint.gLineWidth = gSettings.gWidePaper == 1 ? 54 : 40;
    gPrint.gPrintStatus = 0;
}

void Printer_End() {
    std::string error;
    const bool writeFailed = gOut.writeFailed;
    if (!Output_Close(error) || writeFailed) {
        if (error.empty()) error = "a write to the printer failed";
        LogLine("Printer_Close: HandlerPrinterClose, Printer can not be closed (" + error + ")");
        gPrint.gPrintStatus = 3;
    }
    gPrint.gPrintNoInit = false;
}

void Printer_Abandon() {
    if (gOut.sink == Sink::Port) gOut.port.Close(nullptr);
    gOut.sink = Sink::None;
    gOut.job.clear();
    gOut.queue.clear();
    gOut.writeFailed = false;
    gPrint.gPrintNoInit = false;
}

void PrinterCapture_Begin(std::string& out) { gCapture = &out; }
void PrinterCapture_End() {
    if (gOut.sink == Sink::Capture) gOut.sink = Sink::None;
    gCapture = nullptr;
}

bool PrinterPort_Open(DevicePort& port, const std::string& deviceName, std::string& error) {
    return Port_Open(port, deviceName, error);
}

bool Spooler_SendRaw(const std::string& data, std::string& error) {
    std::string queue;
    return Spooler_FindQueue(Device_SpoolerQueue(DeviceMap_Load(ProgramFolder())), queue, error) &&
           Spooler_Submit(queue, data, error);
}

std::string* PrinterCapture_Target() { return gCapture; }

}  // namespace tarvo
