#include "transfer/dial_phonebook.h"

#include <utility>

#include "platform/files.h"

namespace tarvo {

namespace {
constexpr std::size_t kLongestValue = 256;

// Why `value` cannot be kept on one line of Dial.Set; "" when it can.
std::string Unfit(const std::string& what, const std::string& value) {
    if (value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return what + " cannot hold a line end";
    if (value.size() > kLongestValue) return what + " is longer than 256 characters";
    return "";
}
}  // namespace

DialPhonebook::DialPhonebook(std::string programFolder, DialCommands commands)
    : programFolder_(std::move(programFolder)), commands_(std::move(commands)) {}

std::string DialPhonebook::Path() const { return FindFileNoCase(programFolder_ + "/Files", "Dial.Set"); }

std::vector<std::string> DialPhonebook::DUN_Services() const {
    DialValues v;
    if (ReadDialSettings(programFolder_, v) != 1) return {};
    return {v.entry};
}

int DialPhonebook::Establish_Link(const std::string& entry, std::string* why) {
    connected_ = false;
    DialValues v;
    std::string reason;
    if (ReadDialSettings(programFolder_, v, &reason) != 1 || v.entry != entry) {
        if (why) *why = reason.empty() ? "the entry " + entry + " is not in Dial.Set" : reason;
        return 1;
    }
    if (commands_.connect.empty()) {
        if (why) *why = "no dial command is configured";
        return 2;
    }
    values_ = v;
    connected_ = true;
    return 0;
}

bool DialPhonebook::DoRASDial() {
    connected_ = false;
    for (const std::string& entry : DUN_Services())
        if (Establish_Link(entry) == 0) return true;
    return false;
}

DialPhonebook::Created DialPhonebook::Entry_Create(const std::string& name, const std::string& user,
                                                   const std::string& password, std::string* error) {
    std::string why;
    Created result = Created::Yes;
    if (name.find_first_not_of(" \t") == std::string::npos) {
        why = "the connection name is empty";
        result = Created::NoName;
    } else {
        why = Unfit("the connection name", name);
        if (why.empty()) why = Unfit("the user name", user);
        if (why.empty()) why = Unfit("the password", password);
        if (!why.empty()) result = Created::Unfit;
    }
    if (result == Created::Yes &&
        !WriteFileAtomic(Path(), name + "\r\n" + user + "\r\n" + password + "\r\n", 0600, &why)) {
        why = "Dial.Set cannot be written: " + why;
        result = Created::NotWritten;
    }
    if (error) *error = why;
    return result;
}

}  // namespace tarvo
