// Dial-up: the dial settings file Files/Dial.Set and the commands that bring
// the connection up and down. The commands are configured per machine (no
// shell; "{entry}", "{user}" and "{passwordfile}" are put in as single
// arguments). The password reaches a command on its standard input (one
// line) and, with "{passwordfile}", as the name of a file readable by its
// owner only that holds it, removed once the command has ended. The older
// "{password}" still works but puts the password on the command line, where
// every user of the machine can read it: each use is warned of in the log.
// Neither the password nor a command line that holds it is ever logged.
#pragma once
#include <functional>
#include <string>
#include <utility>

namespace tarvo {

struct DialCommands {
    DialCommands() = default;
    DialCommands(std::string connectCommand, std::string hangUpCommand, int timeout = 60000)
        : connect(std::move(connectCommand)), hangUp(std::move(hangUpCommand)), timeoutMs(timeout) {}

    std::string connect;    // e.g. "nmcli connection up {entry}"
    std::string hangUp;     // e.g. "nmcli connection down {entry}"
    int timeoutMs = 60000;  // per run of a command
    // Where a "{passwordfile}" is made; empty: the system's temporary folder.
    std::string passwordFolder;
};

struct DialValues {
    std::string entry, user, password;
};

// Where the dial-up's troubles are noted; empty: the program's log. A dial-up
// on a worker thread collects them for the user-interface thread to log.
using DialNote = std::function<void(const std::string&)>;

// 1 when Files/Dial.Set was read (its first three lines, taken whole); 2 when
// it is missing or has fewer than three lines (nothing is changed then).
int ReadDialSettings(const std::string& programFolder, DialValues& out, std::string* why = nullptr);

// Up to four runs of the connect command, each followed by `internetCheck`;
// 1 as soon as the Internet answers, 3 after the fourth failure or when no
// connect command is configured ("not available").
int RasDialConnect(const DialCommands& cmd, const DialValues& v, const std::function<bool()>& internetCheck,
                   const DialNote& note = {});

// Runs the hang-up command (when one is configured) and waits for it.
void RasDialHangUp(const DialCommands& cmd, const DialValues& v, const DialNote& note = {});

}  // namespace tarvo
