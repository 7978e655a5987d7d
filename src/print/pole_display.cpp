#include "print/pole_display.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/money.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "platform/serial_port.h"
#include "platform/timers.h"
#include "print/devices.h"
#include "screen/register_context.h"

namespace tarvo {

DisplayState gDisplay;

namespace {

using namespace std::string_literals;

constexpr int kWidth = 20;            // cells per line
constexpr int kAmountWidth = 13;      // room of an amount ending in the last cell
constexpr int kParallel = 7;          // gDisplayPort of the first parallel port
constexpr int kPriceCheckMs = 12000;  // how long a price check stays up
const char* const kSerialLine = "9600,N,8,1";
const char* const kOpenFailed = "Customer_Open: Unable to open customer display port";
const char* const kWriteFailed = ": Unable to write customer display port";

DevicePort gDisplayComm;   // the serial port, open between operations
DevicePort gParallelFile;  // the parallel port, open inside one operation

enum class Seq { Init, Line1, Line2, Cell27 };

int Port() { return gSettings.gDisplayPort; }
bool SetOne() { return gSettings.gDisplayCommandSet != 0; }
bool OnParallel() { return Port() == kParallel; }
// Set 1 on a serial port: text only, line 2 one cell short.
bool Bare() { return SetOne() && !OnParallel(); }
int Line2Width() { return Bare() ? kWidth - 1 : kWidth; }

std::string Sequence(Seq s) {
    if (!SetOne()) {
        switch (s) {
        case Seq::Init: return "\x1f";
        case Seq::Line1: return "\x14\x11\x10\x00"s;
        case Seq::Line2: return "\x10\x14";
        case Seq::Cell27: return "\x10\x1b";
        }
    }
    if (OnParallel()) {
        switch (s) {
        case Seq::Init: return "\x1bI\x0e\x16";
        case Seq::Line1: return "\x1bH\x00"s;
        case Seq::Line2: return "\x1bH\x14";
        case Seq::Cell27: return "\x1bH\x1b";
        }
    }
    return s == Seq::Init ? "\x1f\x14\n\r" : "";
}

// The text followed by blanks, cut to `width`.
std::string Fit(std::string_view text, int width) {
    if (width <= 0) return {};
    std::string out(text.substr(0, static_cast<std::size_t>(width)));
    out.resize(static_cast<std::size_t>(width), ' ');
    return out;
}

// Right-aligned in `width`; a longer text keeps its rightmost characters.
std::string Right(std::string_view text, int width) {
    if (width <= 0) return {};
    const auto w = static_cast<std::size_t>(width);
    if (text.size() >= w) return std::string(text.substr(text.size() - w));
    return std::string(w - text.size(), ' ') + std::string(text);
}

// The first `width` characters (a label ahead of an amount).
std::string Cut(std::string_view text, int width) {
    return width <= 0 ? std::string() : std::string(text.substr(0, static_cast<std::size_t>(width)));
}

std::string ProgramFolder() {
    if (!gConstants.paths.programFolder.empty()) return gConstants.paths.programFolder;
    return Reg().programFolder;
}

// Opens the port the display hangs on: LPT1 as a device file, any other
// value as the serial port of that number.
bool Device_Open(DevicePort& port, std::string& error) {
    const std::string name = OnParallel() ? "LPT1" : "COM" + std::to_string(Port());
    std::optional<LineSettings> line;
    if (!OnParallel()) line = LineSettings_Parse(kSerialLine);
    const std::string path = Device_Path(DeviceMap_Load(ProgramFolder()), name);
    if (path.empty()) {
        error = "no device for " + name;
        return false;
    }
    return port.Open(path, line, error);
}

// Writes the pieces through the transport of the port: on the parallel port
// the device is opened here, every piece ends in CR LF and the device is
// closed at the end; a serial port is already open and takes the pieces as
// they are.
bool Pieces_Write(const std::vector<std::string>& pieces, std::string& error) {
    if (!OnParallel()) {
        for (const auto& piece : pieces)
            if (!gDisplayComm.Write(piece, error)) return false;
        return true;
    }
    if (!Device_Open(gParallelFile, error)) return false;
    for (const auto& piece : pieces) {
        if (!gParallelFile.Write(piece + "\r\n", error)) {
            gParallelFile.Close();
            return false;
        }
    }
    return gParallelFile.Close(&error);
}

void Fail(const std::string& text, const std::string& why) {
    ProgramLog().Write(1, text + " (" + why + ")");
    gDisplay.gDisplayError = 1;
}

// The frame every screen shares. `needsLine`: nothing to show when the sale
// has no line. True when the screen was written.
template <typename Build>
bool Screen_Show(const char* operation, bool needsLine, Build build) {
    gDisplay.gDisplayError = 0;
    if (Port() < 1 || Port() > kParallel) return false;
    if (needsLine && (gSale.gItemCount < 1 || gSale.gItemCount > kMaxSaleLines)) return false;
    Customer_Open();
    if (gDisplay.gDisplayError != 0) return false;  // logged by Customer_Open
    const std::vector<std::string> pieces = build();
    std::string error;
    if (!Pieces_Write(pieces, error)) {
        Fail(operation + std::string(kWriteFailed), error);
        return false;
    }
    gDisplay.gDisplayError = 0;
    return true;
}

// Two lines of text, each fitted to its room.
std::vector<std::string> TwoLines(std::string_view line1, std::string_view line2) {
    return {Sequence(Seq::Line1) + Fit(line1, kWidth), Sequence(Seq::Line2) + Fit(line2, Line2Width())};
}

}  // namespace

void Customer_Open() {
    gDisplay.gDisplayError = 0;
    if (Port() == 0) return;
    std::string error;
    if (OnParallel()) {
        bool ok = Device_Open(gParallelFile, error) && gParallelFile.Write(Sequence(Seq::Init) + "\r\n", error);
        if (gParallelFile.IsOpen() && !gParallelFile.Close(ok ? &error : nullptr)) ok = false;
        if (!ok) Fail(kOpenFailed, error);
        return;
    }
    gDisplayComm.Close();
    // The display wants no handshake and RTS dropped.
    if (!Device_Open(gDisplayComm, error) || !gDisplayComm.SetRts(false, error) ||
        !gDisplayComm.Write(Sequence(Seq::Init), error)) {
        gDisplayComm.Close();
        Fail(kOpenFailed, error);
    }
}

void Customer_Greeting() {
    Screen_Show("Customer_Greeting", false, [] { return TwoLines(gSettings.gDisplayLine1, gSettings.gDisplayLine2); });
}

void Customer_Thankyou() {
    Screen_Show("Customer_Thankyou", true,
                [] { return TwoLines(Msg(Message::TransactionComplete), Msg(Message::ThankYou)); });
}

void Customer_PriceChecker() {
    const bool shown = Screen_Show("Customer_PriceChecker", false, [] {
        return std::vector<std::string>{Sequence(Seq::Line1) + Fit(gSale.gPriceCheckText, kWidth),
                                        Sequence(Seq::Line2) + Right(gSale.gPriceCheckPrice, Line2Width())};
    });
    if (shown && Reg().timers) {
        Reg().timers->Stop(TimerId::Customer);
        Reg().timers->Start(TimerId::Customer, kPriceCheckMs);
    }
}

void Customer_Product() {
    Screen_Show("Customer_Product", true, [] {
        const SaleLine& line = gSale.gLines[static_cast<std::size_t>(gSale.gItemCount)];
        const Money extension = line.extension;
        const std::string amount = extension.Format(extension > Money() ? "$####0.00" : "##,##0.00");
        const double quantity = line.quantity;
        std::vector<std::string> pieces{Sequence(Seq::Line1) + Fit(line.description, kWidth)};
        if (quantity == 1.0) {
            pieces.push_back(Sequence(Seq::Line2) + Right(amount, Line2Width()));
            return pieces;
        }
        const std::string times = "(x" + Num_Text(quantity) + ")";
        if (Bare()) {
            const std::string shown = Cut(times, Line2Width());
            pieces.push_back(shown);
            pieces.push_back(Right(amount, Line2Width() - static_cast<int>(shown.size())));
        } else {
            pieces.push_back(Sequence(Seq::Line2) + Fit(times, kWidth));
            pieces.push_back(Sequence(Seq::Cell27) + Right(amount, kAmountWidth));
        }
        return pieces;
    });
}

void Customer_Total() {
    Screen_Show("Customer_Total", true, [] {
        const SaleState& s = gSale;
        const std::string due = s.gBalanceDue.Format("$###,##0.00");
        std::vector<std::string> pieces{Sequence(Seq::Line1) + Cut(Msg(Message::TotalLabel91), kWidth - kAmountWidth) +
                                        Right(due, kAmountWidth)};
        if (!s.gChange.IsZero()) {
            // The label and its colon fill what the amount leaves: 7 cells for
            // "Change:", 8 for "Monnaie:".
            const int room = Line2Width();
            const int width = (TextLanguage(gSettings) == 1 ? kAmountWidth : kAmountWidth - 1) - (Bare() ? 1 : 0);
            pieces.push_back(Sequence(Seq::Line2) + Cut(Msg(Message::Change) + ":", room - width) +
                             Right(s.gChange.Format("$###,##0.00"), width));
        }
        return pieces;
    });
}

void Customer_Close() {
    gDisplayComm.Close();
    gParallelFile.Close();
}

}  // namespace tarvo
