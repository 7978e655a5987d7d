#include "data/log.h"

#include <cerrno>
#include <cstring>

namespace tarvo {

LogFile::~LogFile() { Close(); }

bool LogFile::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "abe");
    if (!file_) {
        failure_ = "Log file " + path + " cannot be opened: " + std::strerror(errno);
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

void LogFile::Write(int kind, std::string& text) {
    std::string line;
    if (kind == 1) {
        text.resize(120, ' ');
        LocalTime t = clock_ ? clock_->Now() : SystemClock().Now();
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%02d-%02d-%04d %02d:%02d:%02d ", t.month % 100, t.day % 100,
                      t.year % 10000, t.hour % 100, t.minute % 100, t.second % 100);
        line = stamp + RedactCredentials(text);
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

std::string RedactCredentials(std::string text) {
    std::size_t from = 0;
    for (;;) {
        std::size_t p = text.find("://", from);
        if (p == std::string::npos) return text;
        std::size_t start = p + 3;
        std::size_t end = start;
        while (end < text.size() && text[end] != '@' && text[end] != '/' && text[end] != ' ' && text[end] != '?')
            ++end;
        if (end < text.size() && text[end] == '@') {
            std::size_t oldLen = text.size();
            text.replace(start, end - start, "***");
            // keep a padded line's length
            if (text.size() < oldLen) {
                std::size_t tail = text.find_last_not_of(' ');
                (void)tail;
                text.append(oldLen - text.size(), ' ');
            }
            from = start + 4;
        } else {
            from = start;
        }
    }
}

}  // namespace tarvo
