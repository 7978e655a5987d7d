#include "data/folders.h"

#include <filesystem>

#include "platform/files.h"
#include "platform/process.h"

namespace tarvo {

std::string Folders_Check(const std::string& programFolder, Settings& s) {
    std::string problems;
    s.gCardExchangeFolder = "ICVerify";
    s.gCardRequestFolder = "ICVerify/Request";
    s.gCardRequestBase = "ICVerify/Request/icver001";
    for (const char* sub : {"Files", "Data", "ICVerify/Request"}) {
        std::error_code ec;
        std::filesystem::create_directories(programFolder + "/" + sub, ec);
        if (ec) problems += std::string("Folders_Check: cannot create ") + sub + ": " + ec.message() + "; ";
    }
    std::string script = programFolder + "/Startup.sh";
    if (FileExists(script) && !SpawnDetached({"/bin/sh", script}, programFolder))
        problems += "Folders_Check: Startup.sh cannot be started; ";
    return problems;
}

}  // namespace tarvo
