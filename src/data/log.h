// The terminal's event log, <files path>.LOG: appended, one line per event,
// flushed per line, open for the whole run.
#pragma once
#include <cstdio>
#include <string>

#include "platform/clock.h"

namespace tarvo {

class LogFile {
public:
    explicit LogFile(const Clock* clock = nullptr) : clock_(clock) {}
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    void SetClock(const Clock* clock) { clock_ = clock; }

    // Close, then open `path` for appending (created if missing). A log that
    // cannot be opened never stops the register: the failure is kept for one
    // notice on the message line (TakeOpenFailure) and writes are dropped.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Kind 1: an event line "MM-DD-YYYY HH:MM:SS " and the text padded or cut
    // to 120 characters. Any other kind: a data line "Data" .. ">" text
    // "< Length = " n " ". The user-info part of a URL never reaches the
    // file. The caller's text is never changed.
    void Write(int kind, const std::string& text);
    // The same, and an event's padded text is left in `text`: for the one
    // caller that asks for it by name (Log_Write).
    void WriteAndPad(int kind, std::string& text);

    // The open failure not yet shown to the operator, once.
    bool TakeOpenFailure(std::string& why);

private:
    const Clock* clock_;
    std::FILE* file_ = nullptr;
    std::string failure_;
    bool failurePending_ = false;
};

// The program-wide log (file number 1 of the register).
LogFile& ProgramLog();
inline bool Log_Open(const std::string& path) { return ProgramLog().Open(path); }
inline void Log_Write(int kind, std::string& text) { ProgramLog().WriteAndPad(kind, text); }

// `text` with each URL's user-info ("scheme://user:password@") reduced to
// "scheme://***@", whatever characters the password holds; the result keeps
// the length of `text` where trailing blanks allow.
std::string RedactCredentials(std::string text);

}  // namespace tarvo
