// This machine's dial-up phonebook: the entry kept in Files/Dial.Set (its
// name, user and password, one a line, readable by the register's user only)
// dialled through the dial command of Tarvo.ini. An entry is usable when the
// file can be read and a dial command is configured.
#pragma once
#include <string>
#include <vector>

#include "transfer/dialup.h"

namespace tarvo {

class DialPhonebook {
public:
    DialPhonebook(std::string programFolder, DialCommands commands);

    // The names of the entries that can be read: none or the one of Dial.Set.
    std::vector<std::string> DUN_Services() const;
    // Reads the dial values of `entry`: 0 when they were read (Connected_OK
    // is then true), 1 when the entry cannot be read, 2 when no dial command
    // is configured; `why` says which.
    int Establish_Link(const std::string& entry, std::string* why = nullptr);
    // The first usable entry: true (and Connected_OK) when there is one.
    bool DoRASDial();
    bool Connected_OK() const { return connected_; }
    // The values read by the last Establish_Link that succeeded.
    const DialValues& Values() const { return values_; }
    const DialCommands& Commands() const { return commands_; }

    // A new entry in place of the one kept: Dial.Set replaced whole (mode
    // 0600, through a temporary beside it). Refused, with `error` set and the
    // file as it was, for an empty name and for a value that would not stay
    // one line (a line end or NUL in it) or is longer than 256 bytes.
    enum class Created { Yes, NoName, Unfit, NotWritten };
    Created Entry_Create(const std::string& name, const std::string& user, const std::string& password,
                         std::string* error = nullptr);
    std::string Path() const;

private:
    std::string programFolder_;
    DialCommands commands_;
    DialValues values_;
    bool connected_ = false;
};

}  // namespace tarvo
