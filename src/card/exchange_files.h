// The files exchanged with the card-authorisation program in the exchange
// folder's Request folder: "icver001.TMP" (the request being written),
// ".REQ" (the request handed over), ".ANS" (the program's answer), ".HLD"
// (removed before a settlement) and ".LCK", the advisory lock a register
// holds for the length of a request, so two registers sharing one card
// program never mix their requests.
#pragma once
#include <string>

namespace tarvo::card {

class ExchangeFiles {
public:
    // `requestFolder` is the exchange folder's "Request" folder.
    explicit ExchangeFiles(std::string requestFolder);
    ~ExchangeFiles();
    ExchangeFiles(const ExchangeFiles&) = delete;
    ExchangeFiles& operator=(const ExchangeFiles&) = delete;

    std::string Path(const char* extension) const { return folder_ + "/icver001" + extension; }
    const std::string& Folder() const { return folder_; }

    enum class Lock { Taken, Busy, Failed };
    // Takes the lock without waiting; Busy while another register holds it.
    Lock Lock_Take(std::string& error);
    void Lock_Release();

    // Writes `line` as ".TMP" (created afresh, readable by its owner only,
    // flushed) and renames it to ".REQ". 0 in place; 1 not written; 2 not
    // renamed (the ".TMP" removed again). `error` says why.
    int Request_Write(const std::string& line, std::string& error);

    // The answer file is there (any kind of entry at its name).
    bool Answer_Present() const;
    enum class Read { Line, NotOpened, NotRead };
    // The first line of ".ANS" (CR, LF or the end of the file end it).
    Read Answer_Read(std::string& line) const;

    // Removes a file; true when it is gone (or was never there).
    bool Remove(const char* extension) const;

private:
    std::string folder_;
    int lockFd_ = -1;
};

}  // namespace tarvo::card
