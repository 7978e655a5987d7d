#include "print/scale.h"

#include <functional>
#include <string>
#include <utility>

#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "platform/io_watch.h"
#include "platform/serial_port.h"
#include "print/devices.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

// The weight request: "W" and a carriage return.
constexpr char kRequest[] = "W\r";
// A reply is judged once this many characters have come.
constexpr std::size_t kReplyLength = 9;
// At most this much is taken by one read.
constexpr std::size_t kReadMax = 1024;
// Two bytes on a line without handshaking never wait long.
constexpr int kWriteStallMs = 1000;
constexpr int kTimeoutMs = 10000;
constexpr int kRequestSeconds = 10;
constexpr int kMessageSeconds = 5;

constexpr Message kMsgCannotOpen = Message::UnableToOpenScaleCommunicationPort;
constexpr Message kMsgIgnored = Message::ScaleInputIgnoredTimeout;
constexpr Message kMsgZero = Message::ScaleIsAtZeroTryAgain;
constexpr Message kMsgRequesting = Message::RequestingWeightFromScale;
constexpr Message kMsgWeight = Message::Weight;
constexpr Message kMsgNoResponse = Message::ErrorNoResponseFromScale;

// The scale port (ScaleComm) and what it has received for the request.
struct ScaleComm {
    DevicePort port;
    std::string reply;
    RegisterMode requestMode{};  // the register mode when the weight was asked for
    IoWatch* watch = nullptr;    // the watch the port is registered with
    // Who asked for the weight; told what the scale read.
    std::function<bool(double)> weighed;
};

ScaleComm& Comm() {
    static ScaleComm comm;
    return comm;
}

void Log(const std::string& text) { ProgramLog().Write(1, text); }

// A message on the message line and in the timed message panel.
void SayWithPanel(Message message) {
    CIATime(Msg(message), kMessageSeconds);
    gReg.gTimedMessage = Msg(message);
    MessageWithTimerToEnd_Show();
}

std::string ProgramFolder() {
    if (!gConstants.paths.programFolder.empty()) return gConstants.paths.programFolder;
    return Reg().programFolder;
}

// A request is answered only while it is still the sale's: no line added
// since it was made, no new sale, the register in the same mode.
bool RequestPending() {
    const SaleState& s = gSale;
    return s.gScaleProductRecNo != 0 && s.gScaleRequestCount != -1 && s.gScaleRequestCount >= s.gItemCount &&
           s.gMode == Comm().requestMode;
}

// Drops the pending request; the quantity product entry set aside for the
// weight goes back to the usual 1.
void Request_End() {
    SaleState& s = gSale;
    s.gScaleProductRecNo = 0;
    s.gScaleRequestCount = -1;
    s.gScaleLineKind.clear();
    if (s.gQuantity == 0) s.gQuantity = 1;
}

void Timer_Stop() {
    if (Reg().timers) Reg().timers->Stop(TimerId::Scale);
}

// The weight in characters 2 to 7 of the reply: blanks, tabs and line feeds
// left out, then the number at the start ("." as the point); none reads 0.
double Reply_Weight(const std::string& reply) {
    std::string field;
    for (char c : reply.substr(1, 6))
        if (c != ' ' && c != '\t' && c != '\n') field += c;
    return Num_Val(field);
}

// The port could not be used: the cashier is told, the log says why, and
// the request is dropped so that the sale goes on as before.
void Open_Failed(const std::string& why) {
    Log("Scale_Open: " + Msg(kMsgCannotOpen) + " COM" + std::to_string(gSettings.gScalePort) + " (" + why + ")");
    Scale_Close();
    Timer_Stop();
    Request_End();
    SayWithPanel(kMsgCannotOpen);
}

// Tells who asked what the scale read; false when no line came of it.
bool Weighed(ScaleComm& c, double weight) {
    const std::function<bool(double)> weighed = std::move(c.weighed);
    c.weighed = nullptr;
    if (!weighed) {
        Log("ScaleComm_OnComm: a weight of " + Num_TextDisplay(weight) + " came with nobody waiting for it");
        return false;
    }
    return weighed(weight);
}

}  // namespace

bool Scale_PortOpen() { return Comm().port.IsOpen(); }

void Scale_Close() {
    ScaleComm& c = Comm();
    // A watch that belonged to a register since closed is gone with it.
    if (c.watch && c.watch == Reg().ioWatch && c.port.IsOpen()) c.watch->Unwatch(c.port.Fd());
    c.watch = nullptr;
    c.reply.clear();
    if (!c.port.IsOpen()) return;
    std::string error;
    if (!c.port.Close(&error)) Log("Scale_Close: " + error);
}

void Scale_Open(std::function<bool(double)> weighed) {
    ScaleComm& c = Comm();
    Scale_Close();
    c.requestMode = gSale.gMode;
    c.weighed = std::move(weighed);

    const std::string portName = "COM" + std::to_string(gSettings.gScalePort);
    const std::string path = Device_Path(DeviceMap_Load(ProgramFolder()), portName);
    if (path.empty()) {
        Open_Failed("no device for " + portName);
        return;
    }
    IoWatch* watch = Reg().ioWatch;
    if (!watch) {
        Open_Failed("nothing watches the port for the reply");
        return;
    }
    LineSettings line;
    line.baud = 9600;
    line.parity = 'E';
    line.dataBits = 7;
    line.stopBits = 1;
    std::string error;
    if (!c.port.Open(path, line, error, PortAccess::ReadWrite)) {
        Open_Failed(error);
        return;
    }
    if (!c.port.SetRts(false, error)) Log("Scale_Open: " + error);
    c.port.SetMarginMs(kWriteStallMs);
    if (!c.port.Write(kRequest, error)) {
        Open_Failed(error);
        return;
    }
    c.watch = watch;
    watch->Watch(c.port.Fd(), ScaleComm_OnComm);
    CIATime(Msg(kMsgRequesting), kRequestSeconds);
    if (Reg().timers) Reg().timers->Start(TimerId::Scale, kTimeoutMs);
}

void ScaleComm_OnComm() {
    ScaleComm& c = Comm();
    if (!c.port.IsOpen()) return;
    std::string error;
    const PortRead got = c.port.Read(c.reply, kReadMax, error);
    const bool portGone = got == PortRead::HungUp || got == PortRead::Failed;
    if (portGone) Log("ScaleComm_OnComm: " + (got == PortRead::HungUp ? "the scale port was hung up" : error));
    // The reply comes in pieces; it is judged when complete.
    if (c.reply.size() < kReplyLength && !portGone) return;

    const std::string reply = c.reply;
    const bool pending = RequestPending();
    Timer_Stop();
    Scale_Close();
    if (!pending) {
        // A scale that went away with no request left says nothing more.
        if (portGone && reply.empty()) return;
        Request_End();
        SayWithPanel(kMsgIgnored);
        return;
    }
    if (reply.size() < kReplyLength) {
        Request_End();
        SayWithPanel(kMsgNoResponse);
        return;
    }
    const double weight = Reply_Weight(reply);
    if (!(weight > 0)) {
        // The sale refuses the weight and says "Scale Is at Zero".
        Weighed(c, weight);
        Request_End();
        gReg.gTimedMessage = Msg(kMsgZero);
        MessageWithTimerToEnd_Show();
        return;
    }
    CIATime(Msg(kMsgWeight) + " " + Num_TextDisplay(weight), kMessageSeconds);
    if (!Weighed(c, weight)) Request_End();  // the line was refused: the next entry counts as usual
    DEA_Reset();
}

}  // namespace tarvo
