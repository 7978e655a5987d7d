// The start-up sequence: everything the register needs before its window
// loads (the program folder's lock, decoder, folders, terminal number, texts
// and paths, log, settings file), the first download-only communication, and
// the terminal-number form.
#pragma once
#include <functional>
#include <string>

#include "data/comm_state.h"
#include "platform/clock.h"
#include "platform/codec.h"
#include "platform/identity_store.h"
#include "platform/internet.h"
#include "transfer/dialup.h"

namespace tarvo {

// What the start-up form shows. Calls may come from a worker thread; a Qt
// view marshals them to the window.
class StartupView {
public:
    virtual ~StartupView() = default;
    virtual void ProgressLine(int line, const std::string& text) = 0;
    // A message box; returns when the operator closed it.
    virtual void MessageBox(const std::string& text) = 0;
};

enum class StartupOutcome { OpenRegister, ShowTerminalForm, EndProgram };

struct StartupContext {
    std::string programFolder;
    IdentityStore* identity = nullptr;
    StartupView* view = nullptr;
    CommunicationSession* comm = nullptr;
    Decoder* decoder = nullptr;
    InternetCheckConfig internet;  // the reachability test
    DialCommands dial;
};

// The connection values of the identity store that configure this machine:
// InternetCheckUrl, DialCommand, HangUpCommand.
void LoadMachineConfig(StartupContext& ctx);

// Runs the sequence in order, first taking the program folder's lock (a
// second copy on the folder is told so and ends, touching nothing).
// OpenRegister: the settings file is there and gTerminalNumber, the paths and
// the log are set.
StartupOutcome StartupSequence(StartupContext& ctx);

// One download-only session, dialling first when the Internet cannot be
// reached. False when the program must end (the message was shown).
bool Communicate_First(StartupContext& ctx);

// Is `text` a terminal number: exactly 7 ASCII digits.
bool IsTerminalNumber(const std::string& text);

enum class TerminalFormResult { StayOpen, Restart, EndProgram };

// The Register button of the terminal-number form.
TerminalFormResult TerminalForm_Register(StartupContext& ctx, const std::string& text);

}  // namespace tarvo
