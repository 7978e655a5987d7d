#include "data/log.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/files.h"

namespace tarvo {

LogFile::~LogFile() { Close(); }

bool LogFile::Open(const std::string& path) {
    Close();
    // A new log is created readable by its owner only.
    const int fd = OpenOrCreatePrivate(path, O_WRONLY | O_APPEND);
    if (fd >= 0) {
        file_ = ::fdopen(fd, "a");
        if (!file_) {
            const int e = errno;
            ::close(fd);
            errno = e;
        }
    }
    if (!file_) {
        // A link is refused rather than followed (OpenOrCreatePrivate).
        failure_ = errno == ELOOP ? "Log file refused: " + OpenFailureText(path, errno)
                                  : "Log file " + path + " cannot be opened: " + std::strerror(errno);
        failurePending_ = true;
        return false;
    }
    return true;
}

void LogFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool LogFile::TakeOpenFailure(std::string& why) {
    if (!failurePending_) return false;
    failurePending_ = false;
    why = failure_;
    return true;
}

void LogFile::WriteAndPad(int kind, std::string& text) {
    if (kind == 1) text.resize(120, ' ');
    Write(kind, text);
}

void LogFile::Write(int kind, const std::string& text) {
    std::string line;
    if (kind == 1) {
        std::string padded = text;
        padded.resize(120, ' ');
        LocalTime t = clock_ ? clock_->Now() : SystemClock().Now();
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%02d-%02d-%04d %02d:%02d:%02d ", t.month % 100, t.day % 100, t.year % 10000,
                      t.hour % 100, t.minute % 100, t.second % 100);
        line = stamp + RedactCredentials(std::move(padded));
    } else {
        line = "Data          >" + RedactCredentials(text) + "< Length =  " + std::to_string(text.size()) + " ";
    }
    if (!file_) return;
    line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

LogFile& ProgramLog() {
    static LogFile log;
    return log;
}

namespace {
bool IsSchemeChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' ||
           c == '.';
}

// The "://" of the next URL at or after `from`: one with a scheme in front
// that does not itself follow ":", "@" or "/" (a "://" inside a password or
// a path is not a new URL). npos when there is none.
std::size_t NextUrl(const std::string& text, std::size_t from) {
    for (std::size_t p = text.find("://", from); p != std::string::npos; p = text.find("://", p + 1)) {
        std::size_t s = p;
        while (s > 0 && IsSchemeChar(text[s - 1])) --s;
        if (s == p) continue;
        if (s == 0 || (text[s - 1] != ':' && text[s - 1] != '@' && text[s - 1] != '/')) return p;
    }
    return std::string::npos;
}
}  // namespace

// A password may hold any character, "/ ?@:" included, and the log line has
// no escaping, so the user-info of a URL is taken to run from "://" to the
// last "@" before the next URL of the line (or its end). When a "/", "?" or
// "#" comes before any ":" of that stretch, the URL has no password and the
// "@" belongs to its path, its query or the text after it: nothing is hidden.
// A ":" of a port followed by such an "@" hides the host and path as well:
// too much hidden is better than a password shown.
std::string RedactCredentials(std::string text) {
    const std::size_t oldLen = text.size();
    std::size_t p = NextUrl(text, 0);
    while (p != std::string::npos) {
        const std::size_t start = p + 3;
        std::size_t next = NextUrl(text, start);
        const std::size_t limit = next == std::string::npos ? text.size() : next;
        const std::size_t at = limit > start ? text.rfind('@', limit - 1) : std::string::npos;
        if (at != std::string::npos && at > start) {
            const std::size_t mark = text.find_first_of(":/?#", start);
            if (mark >= at || text[mark] == ':') {
                text.replace(start, at - start, "***");
                next = NextUrl(text, start + 4);
            }
        }
        p = next;
    }
    // Keep a padded line's length: pad a shorter one, and take what a short
    // user name grew by from the trailing blanks.
    if (text.size() < oldLen) text.append(oldLen - text.size(), ' ');
    while (text.size() > oldLen && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace tarvo
