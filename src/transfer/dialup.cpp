#include "transfer/dialup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/line_reader.h"
#include "data/log.h"
#include "platform/files.h"
#include "platform/process.h"

namespace tarvo {

namespace {

namespace fs = std::filesystem;

constexpr const char* kPasswordFilePrefix = "tarvo-dial-pw.";

void Note(const DialNote& note, const std::string& text) {
    if (note)
        note(text);
    else
        ProgramLog().Write(1, text);
}

// The first word of a configured command as it was configured (before any
// value is put in), so that a log line never carries a value.
std::string ProgramOf(const std::string& pattern) {
    const std::size_t start = pattern.find_first_not_of(' ');
    if (start == std::string::npos) return "";
    return pattern.substr(start, pattern.find(' ', start) - start);
}

// The password in a file readable by its owner only, for the length of one
// command; the file goes when this object does. Files of this kind that a
// crash left behind (older than an hour) are removed when the next is made.
class PasswordFile {
public:
    PasswordFile() = default;
    PasswordFile(const PasswordFile&) = delete;
    PasswordFile& operator=(const PasswordFile&) = delete;
    ~PasswordFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }

    bool Make(const std::string& folder, const std::string& password, std::string& why) {
        std::error_code ec;
        const fs::path dir = folder.empty() ? fs::temp_directory_path(ec) : fs::path(folder);
        RemoveLeftOvers(dir);
        std::string pattern = (dir / (std::string(kPasswordFilePrefix) + "XXXXXX")).string();
        const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);  // mode 0600
        if (fd < 0) {
            why = "the password file cannot be made in " + dir.string();
            return false;
        }
        path_ = pattern;
        const std::string bytes = password + "\n";
        const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        ::close(fd);
        if (!written) why = "the password file cannot be written in " + dir.string();
        return written;
    }
    const std::string& Path() const { return path_; }

private:
    static void RemoveLeftOvers(const fs::path& dir) {
        std::error_code ec;
        const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            if (it->path().filename().string().rfind(kPasswordFilePrefix, 0) != 0) continue;
            std::error_code e2;
            if (it->is_regular_file(e2) && it->last_write_time(e2) < old) fs::remove(it->path(), e2);
        }
    }
    std::string path_;
};

void WarnOfPasswordOnCommandLine(const std::string& pattern, const DialNote& note, const char* what) {
    if (pattern.find("{password}") != std::string::npos)
        Note(note, std::string("Dial-up: the ") + what +
                       " command puts the password on the command line, where every user of this machine can "
                       "read it; use {passwordfile} or the command's standard input instead");
}

// One run of a configured command with the values put in; the password on
// its standard input, and in a file when the command names "{passwordfile}".
RunResult RunDialCommand(const std::string& pattern, const DialCommands& cmd, const DialValues& v, const DialNote& note,
                         const char* what, bool* couldNotPrepare = nullptr) {
    PasswordFile file;
    if (pattern.find("{passwordfile}") != std::string::npos) {
        std::string why;
        if (!file.Make(cmd.passwordFolder, v.password, why)) {
            Note(note, std::string("Dial-up: the ") + what + " command is not run: " + why);
            if (couldNotPrepare) *couldNotPrepare = true;
            return RunResult{};
        }
    }
    const auto argv =
        ExpandCommand(pattern,
                      {{"entry", v.entry}, {"user", v.user}, {"passwordfile", file.Path()}, {"password", v.password}});
    RunResult rr = RunAndWait(argv, cmd.timeoutMs, v.password + "\n");
    if (!rr.started)
        Note(note, std::string("Dial-up: the ") + what + " command cannot be started: " + ProgramOf(pattern));
    else if (rr.timedOut)
        Note(note, std::string("Dial-up: the ") + what + " command did not end in time");
    return rr;
}

}  // namespace

int ReadDialSettings(const std::string& programFolder, DialValues& out, std::string* why) {
    std::string path = FindFileNoCase(programFolder + "/Files", "Dial.Set");
    LineReader r;
    if (!r.Open(path)) {
        if (why) *why = "Dial.Set not found";
        return 2;
    }
    // It holds a password: readable by its owner only.
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 077) != 0) {
        if (::chmod(path.c_str(), 0600) == 0)
            ProgramLog().Write(1, "Dial-up: " + path + " could be read by other users; now by its owner only");
        else
            ProgramLog().Write(1, "Dial-up: " + path + " can be read by other users and cannot be made private");
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
    WarnOfPasswordOnCommandLine(cmd.connect, note, "dial");
    for (int attempt = 0; attempt < 4; ++attempt) {
        bool couldNotPrepare = false;
        RunDialCommand(cmd.connect, cmd, v, note, "dial", &couldNotPrepare);
        if (couldNotPrepare) return 3;
        if (internetCheck()) return 1;
    }
    return 3;
}

void RasDialHangUp(const DialCommands& cmd, const DialValues& v, const DialNote& note) {
    if (cmd.hangUp.empty()) return;
    WarnOfPasswordOnCommandLine(cmd.hangUp, note, "hang-up");
    RunDialCommand(cmd.hangUp, cmd, v, note, "hang-up");
}

}  // namespace tarvo
