// Dial-up: the dial settings file Files/Dial.Set and the commands that bring
// the connection up and down. The commands are configured per machine (no
// shell; "{entry}", "{user}", "{password}" are put in as single arguments).
#pragma once
#include <functional>
#include <string>

namespace tarvo {

struct DialCommands {
    std::string connect;    // e.g. "nmcli connection up {entry}"
    std::string hangUp;     // e.g. "nmcli connection down {entry}"
    int timeoutMs = 60000;  // per run of a command
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
