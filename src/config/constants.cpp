#include "config/constants.h"

#include <unistd.h>
#include <cstdlib>
#include <string_view>

namespace tarvo {

Constants gConstants;
std::string gTerminalNumber;

namespace {
std::string StripSlash(std::string s) {
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}
}  // namespace

void SetTerminalPaths(Paths& p, const std::string& programFolder, const std::string& terminalNumber) {
    p.programFolder = StripSlash(programFolder);
    p.gFilesPath = p.programFolder + "/Files/" + terminalNumber;
    p.gDataPath = p.programFolder + "/Data/" + terminalNumber;
    // Server folders: "/" works on every FTP server the back office runs.
    p.gRemoteFilesDir = "Files/";
    p.gRemoteDataDir = "Data/";
}

std::string DispatcherUrl(const std::string& host) {
    return "http://tarvo:pelmorek@" + host + "/ExternalRequest/Dispatcher.asp?";
}

void InitConstants(Constants& c, const std::string& programFolder, const std::string& terminalNumber,
                   const ConnectionValues& conn) {
    FillTextTables(c.tables);
    SetTerminalPaths(c.paths, programFolder, terminalNumber);
    ServerValues& s = c.servers;
    s.gFtpHost = conn.ftpHost;
    s.gFtpUser = conn.ftpUser;
    s.gFtpPassword = conn.ftpPassword;
    s.gFtpHostAlternate = conn.ftpHostAlternate;
    s.gServerSlot = 1;
    s.gServerHosts = {conn.serverHost1, conn.serverHost2};
    s.gServerUrls = {DispatcherUrl(conn.serverHost1), DispatcherUrl(conn.serverHost2)};
}

std::string ResolveProgramFolder(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a == "--home" && i + 1 < argc) return StripSlash(argv[i + 1]);
        if (a.rfind("--home=", 0) == 0) return StripSlash(std::string(a.substr(7)));
    }
    if (const char* h = std::getenv("TARVO_HOME"); h && *h) return StripSlash(h);
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) {
        std::string exe(buf, static_cast<std::size_t>(n));
        std::size_t s = exe.rfind('/');
        if (s != std::string::npos) return s == 0 ? "/" : exe.substr(0, s);
    }
    return ".";
}

}  // namespace tarvo
