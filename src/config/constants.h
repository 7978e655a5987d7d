// Program-wide constants filled once at start: the text tables, the
// terminal's path prefixes and the back-office server values.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "config/text_tables.h"
#include "platform/identity_store.h"

namespace tarvo {

struct Paths {
    std::string programFolder;    // no trailing "/"
    std::string gFilesPath;       // <program>/Files/<terminal>: settings, log, upload files
    std::string gDataPath;        // <program>/Data/<terminal>: transaction working files
    std::string gRemoteFilesDir;  // server folder of what the back office sends the terminal
    std::string gRemoteDataDir;   // server folder for full uploads
};

struct ServerValues {
    std::string gFtpHost, gFtpUser, gFtpPassword, gFtpHostAlternate;
    std::int16_t gServerSlot = 1;  // back-office server the requests use (1 or 2)
    std::array<std::string, 2> gServerHosts;
    std::array<std::string, 2> gServerUrls;  // dispatcher request prefixes, credentials included
    // The card gateway's transaction address (https only) and the CA file its
    // certificate is checked against (empty: the system's store), from the
    // identity store (CardGatewayUrl, CardGatewayCaFile).
    std::string gCardGatewayUrl, gCardGatewayCaFile;
    // The support desk's mail address, to which the card terminal's network
    // details are mailed through the back office (SupportMail).
    std::string gSupportMail;

    // The prefix of the server in use; never log it as it stands (RedactCredentials).
    const std::string& RequestPrefix() const { return gServerUrls[gServerSlot == 2 ? 1 : 0]; }
};

// The Special page's web-page keys 18 and 20: the store's label and host for
// each, from the identity store (WebKey18Label, WebKey18Host, WebKey20Label,
// WebKey20Host).
struct WebPageKey {
    std::string label;
    std::string host;
};
struct WebPageKeys {
    WebPageKey key18, key20;
};

struct Constants {
    TextTables tables;
    Paths paths;
    ServerValues servers;
    WebPageKeys webPageKeys;
    // The heading lines of the deposit ticket: the agency's name, from the
    // identity store (DepositAgency1..DepositAgency3).
    std::array<std::string, 3> depositAgency;
    // The program that opens a web page: a name found in PATH or a path.
    std::string browser = "xdg-open";
};

extern Constants gConstants;

// The terminal number of this run: seven digits, it names every file of the
// terminal.
extern std::string gTerminalNumber;

// Builds the path prefixes for a terminal (also after a new terminal number
// is registered).
void SetTerminalPaths(Paths& p, const std::string& programFolder, const std::string& terminalNumber);

// Fills the tables, the paths and the server values.
void InitConstants(Constants& c, const std::string& programFolder, const std::string& terminalNumber,
                   const ConnectionValues& conn);

// "http://<user>:<password>@" & host & "/ExternalRequest/Dispatcher.asp?"
std::string DispatcherUrl(const std::string& host);

// The program folder: `--home DIR` on the command line, else TARVO_HOME, else
// the folder of the executable. No trailing "/".
std::string ResolveProgramFolder(int argc, const char* const* argv);

}  // namespace tarvo
