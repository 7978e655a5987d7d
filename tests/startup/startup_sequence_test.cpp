#include "startup/startup_sequence.h"

#include <gtest/gtest.h>

#include "program_state.h"

#include <sys/stat.h>

#include <algorithm>

#include "common/line_reader.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "data/transaction_files.h"
#include "lock_holder.h"
#include "platform/program_lock.h"
#include "test_dir.h"
#include "test_net.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Line = std::pair<int, std::string>;

const char kSetupMissing[] = "Setup file is not locally available. Must be downloaded before program can begin.";
const char kNoDialFile[] = "Error: The Dial up configuration file does not exist.";
const char kNoDialUp[] = "You require a default dialup connection to the Internet in this computer.";

class RecordingView : public StartupView {
public:
    void ProgressLine(int line, const std::string& text) override { lines.emplace_back(line, text); }
    void MessageBox(const std::string& text) override { messages.push_back(text); }
    std::vector<Line> lines;
    std::vector<std::string> messages;
};

// Records each session; when `deliver` is set the session drops that file,
// standing for a download from the back office.
class RecordingSession : public CommunicationSession {
public:
    std::int16_t Run(CommMode mode, bool hidden) override {
        runs.emplace_back(mode, hidden);
        if (!deliver.empty()) {
            std::ofstream(deliver, std::ios::binary) << "100 REG01\r\n";
        }
        return 0;
    }
    std::vector<std::pair<CommMode, bool>> runs;
    std::string deliver;
};

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ASSERT_TRUE(offline.Bound());
        ctx.programFolder = dir.Path();
        ctx.identity = &identity;
        ctx.view = &view;
        ctx.comm = &session;
        ctx.decoder = &decoder;
        // Whatever the identity file says, nothing here may leave this machine.
        ctx.internet.url = offline.Url();
        ctx.internet.connectTimeoutMs = 300;
        ctx.internet.totalTimeoutMs = 1000;
        ctx.dial.timeoutMs = 5000;
    }
    void TearDown() override {
        ProgramLog().Close();
        ProgramFolder_Unlock();
    }

    // Tarvo.ini with a terminal number, the Internet check address and more.
    void WriteIdentity(const std::string& number, const std::string& url, const std::string& more = "") {
        dir.Write("Tarvo.ini", "[Tarvo]\nTerminalNumber=" + number +
                                   "\nFtpHost=10.1.2.3\nFtpUser=shop\n"
                                   "FtpPassword=secret\nInternetCheckUrl=" +
                                   url + "\n" + more);
    }
    void WriteSettingsFile() { dir.Write("Files/1234567.SET", "100 REG01\r\n"); }
    std::string Log() const { return dir.Read("Files/1234567.LOG"); }

    // A dial command that notes each run (its entry argument) and brings the
    // "connection" up by creating dir/online; a hang-up command noting its runs.
    std::string DialConfig() {
        dir.Write("dial.sh", "echo \"$1\" >> " + (dir / "dial-runs") + "\n: > " + (dir / "online") + "\n");
        dir.Write("hangup.sh", "echo \"$1\" >> " + (dir / "hangup-runs") + "\n");
        return "DialCommand=/bin/sh " + (dir / "dial.sh") + " {entry}\n" + "HangUpCommand=/bin/sh " +
               (dir / "hangup.sh") + " {entry}\n";
    }
    std::vector<std::string> Lines(const char* name) const { return SplitLines(dir.Read(name)); }

    TestDir dir;
    ClosedPort offline;
    IdentityStore identity{dir.Path()};
    RecordingView view;
    RecordingSession session;
    Decoder decoder;
    StartupContext ctx;
};

TEST_F(StartupTest, WithoutAValidTerminalNumberTheFormIsShown) {
    struct Case {
        const char* name;
        std::optional<std::string> number;
    } cases[] = {
        {"no identity file", std::nullopt},
        {"no number stored", ""},
        {"six digits", "123456"},
        {"eight digits", "12345678"},
        {"a letter", "12a4567"},
        {"a blank", "123 567"},
        {"a non-ASCII digit byte", "123456\xB2"},
    };
    for (const auto& c : cases) {
        fs::remove(dir / "Tarvo.ini");
        if (c.number) WriteIdentity(*c.number, offline.Url());
        view = RecordingView{};
        EXPECT_EQ(StartupSequence(ctx), StartupOutcome::ShowTerminalForm) << c.name;
        EXPECT_TRUE(view.messages.empty()) << c.name;
        EXPECT_TRUE(view.lines.empty()) << c.name;
        EXPECT_TRUE(session.runs.empty()) << c.name;
        EXPECT_EQ(gTerminalNumber, "") << c.name;
    }
    // The working folders are made before the number is looked at.
    EXPECT_TRUE(fs::is_directory(dir / "Files"));
    EXPECT_TRUE(fs::is_directory(dir / "Data"));
}

TEST_F(StartupTest, StoredNumberAndSettingsFileOpenTheRegister) {
    WriteIdentity("1234567", offline.Url());
    WriteSettingsFile();
    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::OpenRegister);
    EXPECT_EQ(view.lines, (std::vector<Line>{{1, "Retrieving Terminal Number"},
                                             {1, "Terminal Number: 1234567"},
                                             {2, "Setup File Available"},
                                             {3, ""}}));
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(session.runs.empty());
    EXPECT_EQ(gTerminalNumber, "1234567");
    EXPECT_EQ(gConstants.paths.gFilesPath, dir / "Files/1234567");
    EXPECT_EQ(gConstants.paths.gDataPath, dir / "Data/1234567");
    EXPECT_EQ(gConstants.servers.gFtpHost, "10.1.2.3");
    EXPECT_TRUE(fs::is_directory(dir / "Data"));
    // The log is open on the terminal's file.
    ASSERT_TRUE(fs::exists(dir / "Files/1234567.LOG"));
    ProgramLog().Write(1, "written after start-up");
    EXPECT_NE(Log().find("written after start-up"), std::string::npos);
}

TEST_F(StartupTest, WorkingFilesThatAreLinksAreNamedAndNeverWrittenThrough) {
    WriteIdentity("1234567", offline.Url());
    WriteSettingsFile();
    TestDir outside;
    const std::string target = outside.Write("precious.txt", "not the register's");
    fs::create_directories(dir / "Data");
    fs::create_symlink(target, dir / "Data/1234567.ACT");
    fs::create_symlink(target, dir / "Data/1234567.PRD");
    dir.Write("Files/1234567.PRD", std::string(273, 'A') + "\r\n");  // a load would cut Data/1234567.PRD
    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::OpenRegister);
    const std::string text =
        "Error: these files of the register are symbolic links and will not be written: " + (dir / "Data/1234567.ACT") +
        ", " + (dir / "Data/1234567.PRD") + ". Put the files themselves in their place.";
    EXPECT_EQ(view.messages, (std::vector<std::string>{text}));
    EXPECT_NE(Log().find("Error: these files of the register are symbolic links"), std::string::npos);
    // The loads and openers that follow refuse the links and log why.
    Parse_FileProduct();
    Open_FileActivity();
    EXPECT_EQ(outside.Read("precious.txt"), "not the register's");
    EXPECT_NE(Log().find((dir / "Data/1234567.ACT") + " is a symbolic link"), std::string::npos);
    EXPECT_TRUE(fs::is_symlink(dir / "Data/1234567.ACT"));
    Data_CloseAll(gData);
}

TEST_F(StartupTest, AnIdentityFileOthersCanReadIsMadePrivateAndLogged) {
    WriteIdentity("1234567", offline.Url());
    WriteSettingsFile();
    ASSERT_EQ(::chmod((dir / "Tarvo.ini").c_str(), 0644), 0);
    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::OpenRegister);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "Tarvo.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_NE(Log().find("The terminal identity file " + (dir / "Tarvo.ini") +
                         " could be read by other users "
                         "(mode 0644); it is now 0600."),
              std::string::npos)
        << Log();
}

// Every entry under `folder`: its name, kind, size, mode and change times.
std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        out.push_back(e.path().string() + " " + std::to_string(st.st_mode) + " " + std::to_string(st.st_size) + " " +
                      std::to_string(st.st_mtim.tv_nsec) + " " + std::to_string(st.st_ctim.tv_nsec));
    }
    std::sort(out.begin(), out.end());
    return out;
}

// A second copy of the register on the same program folder says so and ends
// before it opens or makes any file: no folders, no log line, the identity
// file not even made private.
TEST_F(StartupTest, ASecondCopyOnTheProgramFolderIsRefusedAndTouchesNothing) {
    WriteIdentity("1234567", offline.Url());
    ASSERT_EQ(::chmod((dir / "Tarvo.ini").c_str(), 0644), 0);
    LockHolder first(dir.Path());
    ASSERT_EQ(first.NextLine(), "Taken");
    const std::vector<std::string> before = Listing(dir.Path());

    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::EndProgram);
    EXPECT_EQ(view.messages,
              (std::vector<std::string>{"Another copy of the register is already running on the program folder " +
                                        dir.Path() + ". Only one register can run on a program folder."}));
    EXPECT_TRUE(view.lines.empty());
    EXPECT_EQ(Listing(dir.Path()), before);
    EXPECT_FALSE(fs::exists(dir / "Files"));
    EXPECT_FALSE(fs::exists(dir / "Data"));

    // Once the first copy is gone, however it ended, the register starts.
    first.Kill();
    WriteSettingsFile();
    view = RecordingView{};
    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::OpenRegister);
    EXPECT_TRUE(view.messages.empty());
    LockHolder third(dir.Path());
    EXPECT_EQ(third.NextLine(), "InUse");
}

TEST_F(StartupTest, StartsInEnglishWhateverLanguageWasSet) {
    WriteIdentity("1234567", offline.Url());
    WriteSettingsFile();
    gSettings.gLanguage = 2;
    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::OpenRegister);
    EXPECT_EQ(gSettings.gLanguage, 1);
}

TEST_F(StartupTest, SessionThatDeliversNothingEndsTheProgram) {
    LocalHttpServer internet(200);
    WriteIdentity("1234567", internet.Url());
    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::EndProgram);
    ASSERT_EQ(session.runs.size(), 1u);
    EXPECT_EQ(session.runs[0].first, CommMode::DownloadOnly);
    EXPECT_EQ(gComm.gOperationMode, CommMode::DownloadOnly);
    EXPECT_TRUE(gComm.gInternetAvailable);
    const std::vector<Line> waiting = {
        {1, "Terminal Number: 1234567"}, {2, "Setup File Not Available"}, {3, "Initiating Communication"}};
    std::vector<Line> expected = {{1, "Retrieving Terminal Number"}};
    expected.insert(expected.end(), waiting.begin(), waiting.end());  // before the session
    expected.insert(expected.end(), waiting.begin(), waiting.end());  // after it
    EXPECT_EQ(view.lines, expected);
    EXPECT_EQ(view.messages, (std::vector<std::string>{kSetupMissing}));
    EXPECT_NE(Log().find(kSetupMissing), std::string::npos);
    // The session got the connection values of the identity file.
    EXPECT_EQ(gConstants.servers.gFtpUser, "shop");
    EXPECT_EQ(gConstants.servers.gFtpPassword, "secret");
}

TEST_F(StartupTest, SessionThatDeliversTheSettingsFileOpensTheRegister) {
    LocalHttpServer internet(200);
    WriteIdentity("1234567", internet.Url());
    session.deliver = dir / "Files/1234567.SET";
    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::OpenRegister);
    ASSERT_EQ(session.runs.size(), 1u);
    EXPECT_EQ(session.runs[0].first, CommMode::DownloadOnly);
    EXPECT_TRUE(view.messages.empty());
    ASSERT_GE(view.lines.size(), 3u);
    EXPECT_EQ(view.lines[view.lines.size() - 2], Line(2, "Setup File Available"));
    EXPECT_EQ(view.lines.back(), Line(3, ""));
}

TEST_F(StartupTest, OfflineWithoutUsableDialSettingsEndsTheProgram) {
    struct Case {
        const char* name;
        std::optional<std::string> dialSet;
    } cases[] = {
        {"no Dial.Set", std::nullopt},
        {"empty Dial.Set", ""},
        {"two lines", "ISP\r\nuser\r\n"},
    };
    for (const auto& c : cases) {
        fs::remove(dir / "Files/Dial.Set");
        fs::remove(dir / "Files/1234567.LOG");
        if (c.dialSet) dir.Write("Files/Dial.Set", *c.dialSet);
        WriteIdentity("1234567", offline.Url(), DialConfig());
        view = RecordingView{};
        gSettings.gLanguage = 2;
        EXPECT_EQ(StartupSequence(ctx), StartupOutcome::EndProgram) << c.name;
        EXPECT_EQ(view.messages, (std::vector<std::string>{kNoDialFile})) << c.name;
        EXPECT_FALSE(gComm.gInternetAvailable) << c.name;
        EXPECT_NE(Log().find(kNoDialFile), std::string::npos) << c.name;
    }
    EXPECT_TRUE(session.runs.empty());
    EXPECT_FALSE(fs::exists(dir / "dial-runs"));
}

TEST_F(StartupTest, OfflineDialsOnceWhenThatBringsTheInternetAndHangsUpAfterTheSession) {
    // The "Internet" answers only once the dial command has run.
    std::string online = dir / "online";
    LocalHttpServer internet([online] { return fs::exists(online) ? 200 : 503; });
    dir.Write("Files/Dial.Set", "Home Dial Up\r\nshop 12\r\nsecret\r\n");
    WriteIdentity("1234567", internet.Url(), DialConfig());
    session.deliver = dir / "Files/1234567.SET";

    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::OpenRegister);
    EXPECT_EQ(Lines("dial-runs"), (std::vector<std::string>{"Home Dial Up"}));  // one run, one argument
    EXPECT_EQ(session.runs.size(), 1u);
    EXPECT_EQ(Lines("hangup-runs"), (std::vector<std::string>{"Home Dial Up"}));
    EXPECT_TRUE(gComm.gInternetAvailable);
    EXPECT_EQ(gComm.gDialEntry, "Home Dial Up");
    EXPECT_EQ(gComm.gDialUser, "shop 12");
    EXPECT_EQ(gComm.gDialPassword, "secret");
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(StartupTest, DialThatNeverHelpsEndsTheProgramAfterFourTries) {
    LocalHttpServer internet(503);
    dir.Write("Files/Dial.Set", "ISP\r\nuser\r\npassword\r\n");
    WriteIdentity("1234567", internet.Url(), DialConfig());
    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::EndProgram);
    EXPECT_EQ(Lines("dial-runs").size(), 4u);
    EXPECT_EQ(Lines("hangup-runs").size(), 1u);  // a half-open line is taken down
    EXPECT_EQ(view.messages, (std::vector<std::string>{kNoDialUp}));
    EXPECT_TRUE(session.runs.empty());
    EXPECT_FALSE(gComm.gInternetAvailable);
}

TEST_F(StartupTest, NoDialCommandConfiguredIsLikeDialUpNotAvailable) {
    dir.Write("Files/Dial.Set", "ISP\r\nuser\r\npassword\r\n");
    WriteIdentity("1234567", offline.Url());
    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::EndProgram);
    EXPECT_EQ(view.messages, (std::vector<std::string>{kNoDialUp}));
    EXPECT_TRUE(session.runs.empty());
    EXPECT_NE(Log().find("Dial-up not available: no dial command is configured"), std::string::npos);
}

// The terminal-number form, after a start-up that found no number.
class TerminalFormTest : public StartupTest {
protected:
    void StartWithoutNumber(const std::string& url) {
        dir.Write("Tarvo.ini",
                  "[Tarvo]\nFtpHost=10.1.2.3\nInternetCheckUrl=" + url + "\n[Printer]\nPort=/dev/usb/lp0\n");
        ::chmod((dir / "Tarvo.ini").c_str(), 0644);
        ASSERT_EQ(StartupSequence(ctx), StartupOutcome::ShowTerminalForm);
        view = RecordingView{};
    }
};

TEST_F(TerminalFormTest, RefusesAnythingButSevenDigits) {
    StartWithoutNumber(offline.Url());
    const std::string before = dir.Read("Tarvo.ini");
    for (const char* text : {"123456", "12345678", "12a4567", "", " 1234567", "1234567 ", "-123456"}) {
        view = RecordingView{};
        EXPECT_EQ(TerminalForm_Register(ctx, text), TerminalFormResult::StayOpen) << text;
        EXPECT_EQ(view.messages, (std::vector<std::string>{"Terminal number must be 7 digits"})) << text;
    }
    EXPECT_EQ(dir.Read("Tarvo.ini"), before);
    EXPECT_TRUE(session.runs.empty());
    EXPECT_EQ(gTerminalNumber, "");
}

TEST_F(TerminalFormTest, SevenDigitsAreStoredAndTheFirstDownloadRuns) {
    LocalHttpServer internet(200);
    StartWithoutNumber(internet.Url());
    gComm.gCommHidden = true;
    EXPECT_EQ(TerminalForm_Register(ctx, "1234567"), TerminalFormResult::Restart);
    EXPECT_TRUE(view.messages.empty());

    struct stat st {};
    ASSERT_EQ(::stat((dir / "Tarvo.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    IdentityStore stored(dir.Path());
    ASSERT_TRUE(stored.Load());
    EXPECT_EQ(stored.TerminalNumber(), "1234567");
    EXPECT_EQ(stored.Get("FtpHost"), "10.1.2.3");
    EXPECT_EQ(stored.Get("InternetCheckUrl"), internet.Url());
    EXPECT_NE(dir.Read("Tarvo.ini").find("TerminalNumber=1234567\n"), std::string::npos);
    EXPECT_NE(dir.Read("Tarvo.ini").find("[Printer]\nPort=/dev/usb/lp0\n"), std::string::npos);

    EXPECT_EQ(gTerminalNumber, "1234567");
    EXPECT_EQ(gConstants.paths.gFilesPath, dir / "Files/1234567");
    EXPECT_EQ(gConstants.paths.gDataPath, dir / "Data/1234567");
    EXPECT_FALSE(gComm.gCommHidden);
    ASSERT_EQ(session.runs.size(), 1u);
    EXPECT_EQ(session.runs[0], std::make_pair(CommMode::DownloadOnly, false));  // shown to the operator
    EXPECT_TRUE(fs::exists(dir / "Files/1234567.LOG"));
}

TEST_F(TerminalFormTest, OfflineWithoutDialSettingsEndsTheProgramInEnglish) {
    StartWithoutNumber(offline.Url());
    gSettings.gLanguage = 2;
    EXPECT_EQ(TerminalForm_Register(ctx, "7654321"), TerminalFormResult::EndProgram);
    EXPECT_EQ(view.messages, (std::vector<std::string>{kNoDialFile}));
    EXPECT_TRUE(session.runs.empty());
    IdentityStore stored(dir.Path());
    ASSERT_TRUE(stored.Load());
    EXPECT_EQ(stored.TerminalNumber(), "7654321");  // kept for the next start
    EXPECT_NE(dir.Read("Files/7654321.LOG").find(kNoDialFile), std::string::npos);
}

}  // namespace
}  // namespace tarvo
