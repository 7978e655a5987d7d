// Reading the settings when the register window loads: the settings file,
// then the special-operations string, with every problem logged.
#pragma once
#include <string>

namespace tarvo {

struct SettingsLoad {
    bool ok = false;
    std::string message;  // the message box text when not ok
};

// Setup_Read of <files path>.SET into gSettings, then Special_Operations on
// the text tables. On failure the log has the line and the reason.
SettingsLoad Settings_Load();

// What the register's load does before its screen: the data layer loads
// every table and working file, the settings are read, and the word indexes
// are built when the settings ask for them.
SettingsLoad Register_LoadDataAndSettings();

}  // namespace tarvo
