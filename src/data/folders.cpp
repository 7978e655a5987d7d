#include "data/folders.h"

#include <algorithm>
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

std::vector<std::string> Folders_LinkedFiles(const std::string& dataPath, const std::string& filesPath) {
    std::vector<std::string> links;
    const std::size_t slash = dataPath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : dataPath.substr(0, slash);
    const std::string prefix = (slash == std::string::npos ? dataPath : dataPath.substr(slash + 1)) + ".";
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) == 0 && IsSymbolicLink(it->path().string())) links.push_back(it->path().string());
    }
    for (const char* ext : {".LOG", ".SET"})
        if (IsSymbolicLink(filesPath + ext)) links.push_back(filesPath + ext);
    std::sort(links.begin(), links.end());
    return links;
}

}  // namespace tarvo
