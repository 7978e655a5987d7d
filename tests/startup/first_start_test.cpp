// The first start of a new terminal against a real back-office FTP server:
// the download-only session fetches the settings file (and the masters),
// and the register comes up on them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/constants.h"
#include "data/comm_state.h"
#include "data/log.h"
#include "platform/program_lock.h"
#include "program_state.h"
#include "startup/startup_sequence.h"
#include "test_dir.h"
#include "test_ftp.h"
#include "test_net.h"
#include "transfer/backoffice_session.h"
#include "transfer/download_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace download_fixture;

class Recording : public StartupView {
public:
    void ProgressLine(int line, const std::string& text) override { lines.emplace_back(line, text); }
    void MessageBox(const std::string& text) override { messages.push_back(text); }
    std::vector<std::pair<int, std::string>> lines;
    std::vector<std::string> messages;
};

class FirstStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        fs::create_directories(server / "Files");
        ASSERT_TRUE(ftp.Running());
        ctx.programFolder = dir.Path();
        ctx.identity = &identity;
        ctx.view = &view;
        ctx.decoder = &decoder;
        ctx.internet.connectTimeoutMs = 1000;
        ctx.internet.totalTimeoutMs = 2000;
        SessionSetup setup;
        setup.internetFrom = &ctx.internet;  // as the program wires it
        session = std::make_unique<BackOfficeSession>(setup);
        ctx.comm = session.get();
    }
    void TearDown() override {
        ProgramLog().Close();
        ProgramFolder_Unlock();
    }
    void WriteIdentity(const std::string& number) {
        dir.Write("Tarvo.ini", "[Tarvo]\nTerminalNumber=" + number + "\nFtpHost=" + ftp.Host() +
                                   "\nFtpUser=store12\nFtpPassword=secret\nInternetCheckUrl=" + internet.Url() + "\n");
    }

    TestDir dir, server;
    LocalFtpServer ftp{server.Path(), "store12", "secret"};
    LocalHttpServer internet{200};
    IdentityStore identity{dir.Path()};
    Recording view;
    Decoder decoder;
    std::unique_ptr<BackOfficeSession> session;
    StartupContext ctx;
};

TEST_F(FirstStartTest, ANewTerminalFetchesItsFilesFromTheBackOfficeAndComesUp) {
    WriteIdentity("1234567");
    const std::string settings = "100 REG01\r\n250 0\r\n";
    const std::string products = "1          ALPHA\r\n";
    server.Write("Files/1234567.SET", settings);
    MakePackage(server / "Files/1234567.PRC", {{"export.prd", products}});
    server.Write("Files/7654321.SET", "another terminal's\r\n");  // fetched as well, never read

    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::OpenRegister);

    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(dir.Read("Files/1234567.SET"), settings);
    EXPECT_EQ(dir.Read("Files/1234567.PRD"), products);
    EXPECT_TRUE(FilesIn(server / "Files").empty());
    EXPECT_FALSE(TemporaryIn(dir / "Files"));
    EXPECT_EQ(gComm.gOperationMode, CommMode::DownloadOnly);
    const std::vector<std::pair<int, std::string>> expected = {{1, "Retrieving Terminal Number"},
                                                               {1, "Terminal Number: 1234567"},
                                                               {2, "Setup File Not Available"},
                                                               {3, "Initiating Communication"},
                                                               {1, "Terminal Number: 1234567"},
                                                               {2, "Setup File Available"},
                                                               {3, ""}};
    EXPECT_EQ(view.lines, expected);
}

TEST_F(FirstStartTest, ABackOfficeWithoutTheSettingsFileEndsTheStartAfterOneSession) {
    WriteIdentity("1234567");
    server.Write("Files/1234567.CSH", "cashiers\r\n");
    EXPECT_EQ(StartupSequence(ctx), StartupOutcome::EndProgram);
    EXPECT_EQ(view.messages, (std::vector<std::string>{
                                 "Setup file is not locally available. Must be downloaded before program can begin."}));
    EXPECT_EQ(dir.Read("Files/1234567.CSH"), "cashiers\r\n");  // what came is kept for the next start
}

// The terminal-number form: the number stored, the terminal's files
// fetched, then the restart.
TEST_F(FirstStartTest, ANumberRegisteredOnTheFormFetchesItsSettingsAndRestarts) {
    WriteIdentity("");
    server.Write("Files/7654321.SET", "100 REG07\r\n");
    ASSERT_EQ(StartupSequence(ctx), StartupOutcome::ShowTerminalForm);
    EXPECT_EQ(TerminalForm_Register(ctx, "7654321"), TerminalFormResult::Restart);
    EXPECT_EQ(dir.Read("Files/7654321.SET"), "100 REG07\r\n");
    EXPECT_TRUE(FilesIn(server / "Files").empty());
    IdentityStore stored(dir.Path());
    ASSERT_TRUE(stored.Load());
    EXPECT_EQ(stored.TerminalNumber(), "7654321");
}

}  // namespace
}  // namespace tarvo
