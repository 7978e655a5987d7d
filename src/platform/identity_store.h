// The terminal's identity store: a small INI-style file in the program folder
// ("Tarvo.ini", section [Tarvo]) that holds the terminal number and the
// back-office connection values. Written atomically with mode 0600 since it
// holds the FTP password.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace tarvo {

// The six back-office connection values kept in the terminal's identity store.
struct ConnectionValues {
    std::string ftpHost, ftpUser, ftpPassword, ftpHostAlternate, serverHost1, serverHost2;
};

class IdentityStore {
public:
    static constexpr const char* kFileName = "Tarvo.ini";
    static constexpr const char* kSection = "Tarvo";

    explicit IdentityStore(std::string programFolder);

    // Reads the file; a missing file is an empty store (true). False only
    // when the file exists but cannot be read. A file other users can read
    // is made readable by its owner only (TakeNotice tells of it).
    bool Load();
    // What Load changed or could not change about the file's mode, once, for
    // the log (which may not be open yet when the file is read); "" if none.
    std::string TakeNotice();
    // Writes every value back (temporary file, fsync, rename, mode 0600),
    // each on its own line; comments and other lines stay as they stood.
    bool Save(std::string* error = nullptr);

    std::string Get(const std::string& name) const;  // "" when absent
    void Set(const std::string& name, const std::string& value);

    // The seven-character terminal number, "" when none is stored.
    std::string TerminalNumber() const { return Get("TerminalNumber"); }
    ConnectionValues Connection() const;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::map<std::string, std::string> values_;  // of section [Tarvo], keys and values trimmed
    // The file as it stood, written back around the values: the lines of
    // [Tarvo] (comments and unknown keys included) with the line each key
    // stands on, what comes before the first section, the other sections.
    std::vector<std::string> sectionLines_;
    std::map<std::string, std::size_t> keyLine_;
    std::string preamble_;
    std::string otherSections_;
    std::string notice_;
};

}  // namespace tarvo
