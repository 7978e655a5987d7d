#include "startup/settings_load.h"

#include "config/settings.h"
#include "config/special_operations.h"
#include "data/indexes.h"
#include "data/log.h"
#include "data/master_files.h"

namespace tarvo {

SettingsLoad Settings_Load() {
    SettingsLoad out;
    SetupReadResult r = Setup_Read(gConstants.paths.gFilesPath + ".SET", gSettings);
    if (!r.ok) {
        ProgramLog().Write(1, "Setup_Read: " + r.detail);
        ProgramLog().Write(1, r.message);
        out.message = r.message;
        return out;
    }
    if (gSettings.gLanguage != 1 && gSettings.gLanguage != 2)
        ProgramLog().Write(1, "Setup_Read: language setting " + std::to_string(gSettings.gLanguage) +
                                  " is neither 1 nor 2, English texts are used");
    for (const std::string& line : Special_Operations(gSettings, gConstants.tables).logLines)
        ProgramLog().Write(1, line);
    out.ok = true;
    return out;
}

SettingsLoad Register_LoadDataAndSettings() {
    OpenTables();
    SettingsLoad r = Settings_Load();
    if (!r.ok) return r;
    Indexes_Build(gSettings.gSortProducts, gSettings.gSortClients);
    return r;
}

}  // namespace tarvo
