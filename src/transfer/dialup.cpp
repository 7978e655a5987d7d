#include "transfer/dialup.h"

#include "common/line_reader.h"
#include "data/log.h"
#include "platform/files.h"
#include "platform/process.h"

namespace tarvo {

namespace {
std::vector<std::pair<std::string, std::string>> Values(const DialValues& v) {
    return {{"entry", v.entry}, {"user", v.user}, {"password", v.password}};
}

void Note(const DialNote& note, const std::string& text) {
    if (note)
        note(text);
    else
        ProgramLog().Write(1, text);
}
}  // namespace

int ReadDialSettings(const std::string& programFolder, DialValues& out, std::string* why) {
    std::string path = FindFileNoCase(programFolder + "/Files", "Dial.Set");
    LineReader r;
    if (!r.Open(path)) {
        if (why) *why = "Dial.Set not found";
        return 2;
    }
    DialValues v;
    if (!r.Next(v.entry) || !r.Next(v.user) || !r.Next(v.password)) {
        if (why) *why = "Dial.Set has fewer than three lines";
        return 2;
    }
    out = v;
    return 1;
}

int RasDialConnect(const DialCommands& cmd, const DialValues& v, const std::function<bool()>& internetCheck,
                   const DialNote& note) {
    if (cmd.connect.empty()) {
        Note(note, "Dial-up not available: no dial command is configured");
        return 3;
    }
    auto argv = ExpandCommand(cmd.connect, Values(v));
    for (int attempt = 0; attempt < 4; ++attempt) {
        RunResult rr = RunAndWait(argv, cmd.timeoutMs);
        if (!rr.started)
            Note(note, "Dial-up: the dial command cannot be started: " + argv[0]);
        else if (rr.timedOut)
            Note(note, "Dial-up: the dial command did not end in time");
        if (internetCheck()) return 1;
    }
    return 3;
}

void RasDialHangUp(const DialCommands& cmd, const DialValues& v, const DialNote& note) {
    if (cmd.hangUp.empty()) return;
    RunResult rr = RunAndWait(ExpandCommand(cmd.hangUp, Values(v)), cmd.timeoutMs);
    if (!rr.started || rr.timedOut) Note(note, "Dial-up: the hang-up command failed");
}

}  // namespace tarvo
