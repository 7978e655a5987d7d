#include "startup/startup_sequence.h"

#include <fcntl.h>
#include <unistd.h>

#include "common/cp1252.h"
#include "config/settings.h"
#include "data/folders.h"
#include "data/log.h"
#include "platform/files.h"
#include "platform/program_lock.h"
#include "print/printer_output.h"
#include "register/special_page.h"

namespace tarvo {

namespace {
void Log(const std::string& text) { ProgramLog().Write(1, text); }

// What reading the identity file changed about its mode, once the log is open.
void LogIdentityNotice(StartupContext& ctx) {
    if (std::string notice = ctx.identity->TakeNotice(); !notice.empty()) Log(notice);
}

// Can the settings file be opened for reading?
bool SettingsFileAvailable() {
    int fd = ::open((gConstants.paths.gFilesPath + ".SET").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}
}  // namespace

bool IsTerminalNumber(const std::string& text) {
    if (text.size() != 7) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

void LoadMachineConfig(StartupContext& ctx) {
    if (!ctx.identity) return;
    if (auto url = ctx.identity->Get("InternetCheckUrl"); !url.empty()) ctx.internet.url = url;
    ctx.dial.connect = ctx.identity->Get("DialCommand");
    ctx.dial.hangUp = ctx.identity->Get("HangUpCommand");
    ctx.dial.passwordFolder = ctx.programFolder + "/Files";  // beside Dial.Set
    gPrint.gScreenIsPrinter = ctx.identity->Get("PrintToScreen") == "1";
    gConstants.webPageKeys.key18 = {ctx.identity->Get("WebKey18Label"), ctx.identity->Get("WebKey18Host")};
    gConstants.webPageKeys.key20 = {ctx.identity->Get("WebKey20Label"), ctx.identity->Get("WebKey20Host")};
    for (std::size_t i = 0; i < gConstants.depositAgency.size(); ++i)
        gConstants.depositAgency[i] = Utf8ToCp1252(ctx.identity->Get("DepositAgency" + std::to_string(i + 1)));
    gConstants.servers.gCardGatewayUrl = ctx.identity->Get("CardGatewayUrl");
    gConstants.servers.gCardGatewayCaFile = ctx.identity->Get("CardGatewayCaFile");
    gConstants.servers.gSupportMail = ctx.identity->Get("SupportMail");
}

bool Communicate_First(StartupContext& ctx) {
    const ConnectionValues conn = ctx.identity->Connection();
    gConstants.servers.gFtpHost = conn.ftpHost;
    gConstants.servers.gFtpUser = conn.ftpUser;
    gConstants.servers.gFtpPassword = conn.ftpPassword;

    gComm.gInternetAvailable = Internet_Check(ctx.internet);
    int result = 1;
    bool dialled = false;
    if (!gComm.gInternetAvailable) {
        DialValues v{gComm.gDialEntry, gComm.gDialUser, gComm.gDialPassword};
        std::string why;
        result = ReadDialSettings(ctx.programFolder, v, &why);
        if (result == 1) {
            gComm.gDialEntry = v.entry;
            gComm.gDialUser = v.user;
            gComm.gDialPassword = v.password;
            dialled = true;
            result =
                RasDialConnect(ctx.dial, v, [&] { return gComm.gInternetAvailable = Internet_Check(ctx.internet); });
        } else {
            Log("Communicate_First: " + why);
        }
    }
    if (result == 2) {
        // Always English: the settings (and so the language) are not read yet.
        std::string text = MessageText(gConstants.tables, Message::ErrorTheDialUpConfigurationFileDoesNotExist, 1);
        Log(text);
        ctx.view->MessageBox(text);
        return false;
    }
    if (result != 1) {
        // A line the dial command half brought up is taken down again.
        if (dialled) RasDialHangUp(ctx.dial, {gComm.gDialEntry, gComm.gDialUser, gComm.gDialPassword});
        Log("Communicate_First: no connection to the Internet could be made");
        ctx.view->MessageBox("You require a default dialup connection to the Internet in this computer.");
        return false;
    }
    gComm.gOperationMode = CommMode::DownloadOnly;
    gComm.gCommResult = ctx.comm ? ctx.comm->Run(CommMode::DownloadOnly, gComm.gCommHidden) : 0;
    if (dialled) RasDialHangUp(ctx.dial, {gComm.gDialEntry, gComm.gDialUser, gComm.gDialPassword});
    return true;
}

StartupOutcome StartupSequence(StartupContext& ctx) {
    // One register per program folder, before any other file is opened or
    // made: two copies saving at once would mix their documents, and a second
    // one loading the working files would cut them under the first.
    std::string why;
    switch (ProgramFolder_Lock(ctx.programFolder, &why)) {
    case FolderLock::Taken: break;
    case FolderLock::InUse:
        ctx.view->MessageBox("Another copy of the register is already running on the program folder " +
                             ctx.programFolder + ". Only one register can run on a program folder.");
        return StartupOutcome::EndProgram;
    case FolderLock::Failed:
        ctx.view->MessageBox("The program folder " + ctx.programFolder + " cannot be locked for this register (" + why +
                             ").");
        return StartupOutcome::EndProgram;
    }

    // Texts first, in English, so every form and message can use them.
    FillTextTables(gConstants.tables);
    gSettings.gLanguage = 1;

    if (!ctx.decoder || !ctx.decoder->Initialize()) {
        ctx.view->MessageBox("Unable to initialize compression engine.");
        return StartupOutcome::EndProgram;
    }
    std::string folderProblems = Folders_Check(ctx.programFolder, gSettings);

    if (!ctx.identity->Load()) {
        ctx.view->MessageBox("The terminal identity file " + ctx.identity->Path() + " cannot be read.");
        return StartupOutcome::EndProgram;
    }
    LoadMachineConfig(ctx);
    std::string number = ctx.identity->TerminalNumber();
    if (!IsTerminalNumber(number)) return StartupOutcome::ShowTerminalForm;

    ctx.view->ProgressLine(1, "Retrieving Terminal Number");
    gTerminalNumber = number;
    InitConstants(gConstants, ctx.programFolder, gTerminalNumber, ctx.identity->Connection());
    Log_Open(gConstants.paths.gFilesPath + ".LOG");
    if (!folderProblems.empty()) Log(folderProblems);
    WebPageKeys_Caption(gConstants.tables);
    LogIdentityNotice(ctx);
    // A link where a working file belongs is never written through (every
    // opener refuses it); the operator is told which, once, at start.
    if (const auto links = Folders_LinkedFiles(gConstants.paths.gDataPath, gConstants.paths.gFilesPath);
        !links.empty()) {
        std::string names;
        for (const std::string& l : links) names += (names.empty() ? "" : ", ") + l;
        const std::string text = "Error: these files of the register are symbolic links and will not be written: " +
                                 names + ". Put the files themselves in their place.";
        Log(text);
        ctx.view->MessageBox(text);
    }

    bool downloadTried = false;
    for (;;) {
        Log_Open(gConstants.paths.gFilesPath + ".LOG");
        ctx.view->ProgressLine(1, "Terminal Number: " + gTerminalNumber);
        if (SettingsFileAvailable()) break;
        ctx.view->ProgressLine(2, "Setup File Not Available");
        ctx.view->ProgressLine(3, "Initiating Communication");
        if (downloadTried) {
            const std::string text =
                "Setup file is not locally available. Must be downloaded before program can begin.";
            Log(text);
            ctx.view->MessageBox(text);
            return StartupOutcome::EndProgram;
        }
        if (!Communicate_First(ctx)) return StartupOutcome::EndProgram;
        downloadTried = true;
    }
    ctx.view->ProgressLine(2, "Setup File Available");
    ctx.view->ProgressLine(3, "");
    return StartupOutcome::OpenRegister;
}

TerminalFormResult TerminalForm_Register(StartupContext& ctx, const std::string& text) {
    if (!IsTerminalNumber(text)) {
        ctx.view->MessageBox("Terminal number must be 7 digits");
        return TerminalFormResult::StayOpen;
    }
    ctx.identity->Set("TerminalNumber", text);
    std::string error;
    if (!ctx.identity->Save(&error)) {
        ctx.view->MessageBox("Error: the terminal number could not be saved (" + error + ").");
        return TerminalFormResult::StayOpen;
    }
    gTerminalNumber = text;
    SetTerminalPaths(gConstants.paths, ctx.programFolder, text);
    Log_Open(gConstants.paths.gFilesPath + ".LOG");
    LogIdentityNotice(ctx);
    gComm.gCommHidden = false;
    if (!Communicate_First(ctx)) return TerminalFormResult::EndProgram;
    return TerminalFormResult::Restart;
}

}  // namespace tarvo
