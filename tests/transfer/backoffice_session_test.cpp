#include "transfer/backoffice_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

#include "common/line_reader.h"
#include "config/settings.h"
#include "office/communication.h"
#include "office/office_service.h"
#include "platform/background_runner.h"
#include "sale/sale_service.h"
#include "screen/controls.h"
#include "test_ftp.h"
#include "test_net.h"
#include "transfer/outbox.h"
#include "transfer/sales_upload.h"
#include "transfer/transfer_service.h"
#include "transfer/upload_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace upload_fixture;

const char kUser[] = "store12";
const char kPassword[] = "s3cr:t@x";

class SessionTest : public UploadTest {
protected:
    void SetUp() override {
        UploadTest::SetUp();
        gComm = CommState{};
        // Three invoices: the first sent in an earlier session.
        WriteFile(".INV", 150,
                  {Header("0000002", '1', "C100"), Header("0000003", '0', "C100"), Header("0000004", '0', "C100")});
        WriteFile(".DTL", 90,
                  {Line("0000002", 1, "1003", "PLAIN", "1", "1", ""), Line("0000003", 1, "1003", "PLAIN", "2", "3", ""),
                   Line("0000004", 1, "1003", "PLAIN", "1", "4", "")});
        WriteFile(".PAY", 235,
                  {Payment("0000003", 1, "1", "6", ""), Payment("0000004", 1, "4", "4", "4111111111111111")});
        clock.Set(LocalTime{2026, 12, 9, 10, 30, 0});
    }

    std::int16_t RunOn(const std::string& host, CommMode mode = CommMode::Full) {
        SessionSetup setup;
        setup.account.hosts = {host};
        setup.account.user = kUser;
        setup.account.password = kPassword;
        setup.account.connectTimeoutMs = 2000;
        setup.account.responseTimeoutS = 3;
        setup.account.lowSpeedBytesPerSecond = 1000;
        setup.account.lowSpeedTimeS = 2;
        setup.clock = &clock;
        setup.internet.url = internet.Url();
        setup.internet.connectTimeoutMs = 1000;
        BackOfficeSession session(setup);
        return session.Run(mode, true);
    }

    // The server's files: name -> bytes. The status file every full session
    // sends is left out (StatusFiles has them).
    std::map<std::string, std::string> ServerFiles() const {
        std::map<std::string, std::string> out;
        for (const auto& [name, bytes] : AllServerFiles())
            if (!name.ends_with(".STT")) out[name] = bytes;
        return out;
    }
    std::map<std::string, std::string> StatusFiles() const {
        std::map<std::string, std::string> out;
        for (const auto& [name, bytes] : AllServerFiles())
            if (name.ends_with(".STT")) out[name] = bytes;
        return out;
    }
    std::map<std::string, std::string> AllServerFiles() const {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::directory_iterator(server.Path()))
            if (e.is_regular_file()) out[e.path().filename().string()] = server.Read(e.path().filename().string());
        return out;
    }
    // How often each invoice number begins a line in the server's final files.
    std::map<std::string, int> InvoicesOnServer() const {
        std::map<std::string, int> n;
        for (const auto& [name, bytes] : ServerFiles()) {
            if (name.size() < 4 || name.substr(name.size() - 4) != ".TRA") continue;
            for (std::size_t p = 0; p < bytes.size();) {
                n[bytes.substr(p, 7)]++;
                std::size_t end = bytes.find("\r\n", p);
                if (end == std::string::npos) break;
                p = end + 2;
            }
        }
        return n;
    }
    bool TemporaryLeft() const {
        for (const auto& [name, bytes] : ServerFiles())
            if (name.find(".part") != std::string::npos) return true;
        return false;
    }
    int OutboxEntries() {
        Outbox o(dir / "Files/1234567.OUT");
        EXPECT_TRUE(o.Load(nullptr));
        return o.Pending();
    }

    const std::map<std::string, int> kOnce = {{"0000003", 1}, {"0000004", 1}};
    TestDir server;
    LocalHttpServer internet{200};
};

TEST_F(SessionTest, SendsTheUnsentInvoicesOnceUnderTheirFinalNameAndFlagsThem) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    ASSERT_EQ(ServerFiles().size(), 1u);
    EXPECT_EQ(ServerFiles().begin()->first, "12091030.TRA");
    EXPECT_EQ(InvoicesOnServer(), kOnce);
    EXPECT_EQ(Flags(), "111");
    EXPECT_FALSE(fs::exists(dir / "Files/1234567.TRA"));  // it held card numbers
    EXPECT_EQ(OutboxEntries(), 0);

    clock.Set(LocalTime{2026, 12, 9, 10, 31, 0});
    EXPECT_EQ(RunOn(ftp.Host()), 0);  // nothing new
    EXPECT_EQ(ServerFiles().size(), 1u);
}

// A session that fails leaves the invoices unflagged; the next one, on a
// sound server, sends every one of them exactly once.
TEST_F(SessionTest, AfterAFailedSessionTheNextSendsEverythingOnce) {
    struct Case {
        const char* fault;
        std::int16_t result;
    } cases[] = {
        {"stor-refused", 3}, {"short-store", 3}, {"drop-upload", 3}, {"login refused", 2}, {"host down", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        TearDown();
        SetUp();
        fs::remove_all(server.Path());
        fs::create_directories(server.Path());
        {
            ClosedPort down;
            std::string fault = c.fault;
            LocalFtpServer bad(server.Path(), kUser, fault == "login refused" ? "other" : kPassword,
                               fault == "login refused" || fault == "host down" ? "none" : fault);
            ASSERT_TRUE(bad.Running());
            if (fault == "drop-upload")  // a file large enough to be cut
                WriteFile(".DTL", 90, std::vector<std::string>(150, Line("0000003", 1, "1003", "PLAIN", "2", "3", "")));
            EXPECT_EQ(RunOn(fault == "host down" ? "127.0.0.1:" + std::to_string(down.Port()) : bad.Host()), c.result);
            EXPECT_EQ(Flags(), "100");
            EXPECT_TRUE(InvoicesOnServer().empty());
        }
        LocalFtpServer good(server.Path(), kUser, kPassword);
        ASSERT_TRUE(good.Running());
        clock.Set(LocalTime{2026, 12, 9, 10, 31, 0});
        EXPECT_EQ(RunOn(good.Host()), 0);
        EXPECT_EQ(InvoicesOnServer(), kOnce);
        EXPECT_FALSE(TemporaryLeft());
        EXPECT_EQ(Flags(), "111");
        EXPECT_EQ(OutboxEntries(), 0);
    }
}

TEST_F(SessionTest, AFinalNameAlreadyTakenIsNeverOverwrittenTheUploadWaitsForTheNextSession) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    server.Write("12091030.TRA", "sent by the other register\r\n");
    EXPECT_EQ(RunOn(ftp.Host()), 3);
    EXPECT_EQ(server.Read("12091030.TRA"), "sent by the other register\r\n");
    EXPECT_EQ(Flags(), "100");

    clock.Set(LocalTime{2026, 12, 9, 10, 31, 0});
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_EQ(server.Read("12091030.TRA"), "sent by the other register\r\n");
    EXPECT_EQ(server.Read("12091031.TRA").substr(0, 7), "0000003");
    EXPECT_EQ(InvoicesOnServer(), (std::map<std::string, int>{{"sent by", 1}, {"0000003", 1}, {"0000004", 1}}));
    EXPECT_FALSE(TemporaryLeft());
    EXPECT_EQ(Flags(), "111");
}

// The outbox as a crash at each step leaves it, and what the next session
// makes of it: every invoice on the server once, every one flagged.
TEST_F(SessionTest, AnUploadACrashLeftHalfWayIsFinishedByTheNextSession) {
    struct Case {
        const char* name;
        OutboxState state;
        bool tempOnServer, tempWhole, finalOnServer;
    } cases[] = {
        {"built, nothing put", OutboxState::Built, false, false, false},
        {"built, put cut short", OutboxState::Built, true, false, false},
        {"put, not renamed", OutboxState::Put, true, true, false},
        {"renamed, not recorded", OutboxState::Put, false, false, true},
        {"sent, not flagged", OutboxState::Sent, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        fs::remove_all(server.Path());
        fs::create_directories(server.Path());
        const std::string local = dir / "Files/1234567.TRA";
        UploadBuild b = Sales_CreateFile(local, false);
        ASSERT_TRUE(b.ok);
        const std::string bytes = dir.Read("Files/1234567.TRA");
        Outbox outbox(dir / "Files/1234567.OUT");
        OutboxEntry e{"TRA",  b.range.first,       b.range.last,   c.state,
                      b.size, "12091029.TRA.part", "12091029.TRA", b.stamp};
        ASSERT_TRUE(outbox.Store(e, nullptr));
        if (c.tempOnServer) server.Write("12091029.TRA.part", c.tempWhole ? bytes : bytes.substr(0, 100));
        if (c.finalOnServer) server.Write("12091029.TRA", bytes);

        LocalFtpServer ftp(server.Path(), kUser, kPassword);
        ASSERT_TRUE(ftp.Running());
        EXPECT_EQ(RunOn(ftp.Host()), 0);
        EXPECT_EQ(InvoicesOnServer(), kOnce);
        EXPECT_FALSE(TemporaryLeft());
        EXPECT_EQ(Flags(), "111");
        EXPECT_EQ(OutboxEntries(), 0);
        EXPECT_FALSE(fs::exists(local));
    }
}

// Two registers on one account send in the same minute while one of them is
// half-way (its file on the server under its temporary name): neither takes
// the other's file for its own, and each register's invoices are on the
// server once, under names of their own.
TEST_F(SessionTest, TwoRegistersOnOneAccountInOneMinuteEachSendTheirOwnInvoices) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    UploadBuild b = Sales_CreateFile(dir / "Files/1234567.TRA", false);
    ASSERT_TRUE(b.ok);
    const std::string ours = dir.Read("Files/1234567.TRA");
    OutboxEntry e{"TRA", b.range.first, b.range.last, OutboxState::Put, b.size, "", "12091030.TRA", b.stamp};
    e.tempName = Outbox_TemporaryName(gConstants.paths.gFilesPath, e.finalName);
    ASSERT_TRUE(Outbox(dir / "Files/1234567.OUT").Store(e, nullptr));
    server.Write(e.tempName, ours);

    // The other register, at 10:30 too.
    Data_CloseAll(gData);
    TestDir other;
    UseTerminalFolder(other.Path(), "7654321");
    WriteFile(".INV", 150, {Header("0000002", '0', "C900")});
    WriteFile(".DTL", 90, {Line("0000002", 1, "1003", "PLAIN", "5", "2", "")});
    WriteFile(".PAY", 235, {Payment("0000002", 1, "1", "10", "")});
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    Data_CloseAll(gData);

    // This register's next session, a minute later.
    UseTerminalFolder(dir.Path());
    clock.Set(LocalTime{2026, 12, 9, 10, 31, 0});
    EXPECT_EQ(RunOn(ftp.Host()), 0);

    const std::string theirs = server.Read("12091030.TRA");
    EXPECT_EQ(theirs.substr(0, 7), "0000002");
    EXPECT_NE(theirs.find("C900"), std::string::npos);
    EXPECT_EQ(server.Read("12091031.TRA"), ours);
    EXPECT_EQ(ServerFiles().size(), 2u);
    EXPECT_FALSE(TemporaryLeft());
    EXPECT_EQ(Flags(), "111");
    EXPECT_EQ(OutboxEntries(), 0);
}

// Files emptied while an upload was on its way: the invoices that now stand
// under its numbers are not flagged by it, they go up on their own.
TEST_F(SessionTest, AnUploadWhoseInvoicesWereEmptiedMeanwhileFlagsNothing) {
    UploadBuild b = Sales_CreateFile(dir / "Files/1234567.TRA", false);
    ASSERT_TRUE(b.ok);
    Outbox outbox(dir / "Files/1234567.OUT");
    ASSERT_TRUE(outbox.Store({"TRA", b.range.first, b.range.last, OutboxState::Sent, b.size, "12091029.TRA.part",
                              "12091029.TRA", b.stamp},
                             nullptr));
    Data_CloseAll(gData);
    // The daily files emptied, then three sales of the new day.
    WriteFile(".INV", 150,
              {Header("0000002", '0', "C200"), Header("0000003", '0', "C200"), Header("0000004", '0', "C200")});
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_EQ(ServerFiles().size(), 1u);
    const std::string sent = server.Read("12091030.TRA");
    EXPECT_EQ(sent.substr(0, 7), "0000002");
    EXPECT_NE(sent.find("C200"), std::string::npos);
    EXPECT_EQ(Flags(), "111");  // by their own upload
    EXPECT_EQ(OutboxEntries(), 0);
}

TEST_F(SessionTest, WithoutTheInternetNothingIsTriedOnTheServer) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    int asked = 0;
    LocalHttpServer down([&asked] {
        ++asked;
        return 503;
    });
    SessionSetup setup;
    setup.account.hosts = {ftp.Host()};
    setup.account.user = kUser;
    setup.account.password = kPassword;
    setup.clock = &clock;
    setup.internet.url = down.Url();
    BackOfficeSession session(setup);
    EXPECT_EQ(session.Run(CommMode::Full, true), 1);
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(ServerFiles().empty());
    EXPECT_EQ(Flags(), "100");
}

// The log and the command file go up whole, under their upload names, the
// log into the server's Data folder.
TEST_F(SessionTest, TheLogAndTheCommandFileGoUpAsTheyAre) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    dir.Write("Files/1234567.CMD", "1\r\n");
    EXPECT_EQ(RunOn(ftp.Host(), CommMode::CommandFile), 0);
    EXPECT_EQ(server.Read("12091030.CMD"), "1\r\n");
    ProgramLog().Write(1, " a line of the log");
    EXPECT_EQ(RunOn(ftp.Host(), CommMode::Log), 0);
    const std::string log = server.Read("Data/12091030.LOG");
    EXPECT_NE(log.find(" a line of the log"), std::string::npos);
    EXPECT_EQ(Flags(), "100");  // no sales in these modes
    EXPECT_FALSE(TemporaryLeft());
    EXPECT_EQ(OutboxEntries(), 0);
}

// Through the transfer service, as the register runs it; while the upload
// waits in the outbox its invoices still count as unsent when the daily
// files are about to be emptied.
TEST_F(SessionTest, TheTransferServiceRunsTheSessionAndPendingUploadsCountAsUnsent) {
    {
        LocalFtpServer refusing(server.Path(), kUser, kPassword, "stor-refused");
        ASSERT_TRUE(refusing.Running());
        SessionSetup setup;
        setup.account.hosts = {refusing.Host()};
        setup.account.user = kUser;
        setup.account.password = kPassword;
        setup.clock = &clock;
        setup.internet.url = internet.Url();
        BackOfficeSession session(setup);
        SessionTransfer transfer;
        transfer.session = &session;
        EXPECT_EQ(transfer.Session_Run(CommMode::Full, true), 3);
        EXPECT_EQ(gComm.gCommResult, 3);
    }
    EXPECT_EQ(OutboxEntries(), 1);
    EXPECT_EQ(Files_UnsentDaily(), 2);

    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    SessionSetup setup;
    setup.account.hosts = {ftp.Host()};
    setup.account.user = kUser;
    setup.account.password = kPassword;
    setup.clock = &clock;
    setup.internet.url = internet.Url();
    BackOfficeSession session(setup);
    SessionTransfer transfer;
    transfer.session = &session;
    EXPECT_EQ(transfer.Session_Run(CommMode::Full, true), 0);
    EXPECT_EQ(InvoicesOnServer(), kOnce);
    EXPECT_EQ(Files_UnsentDaily(), 0);
}

// On the background runner: the upload file and its outbox entry are built
// before the call returns; nothing is on the server and nothing is flagged
// until the worker's steps are done and their completion has run.
TEST_F(SessionTest, OnTheRunnerTheNetworkStepsWaitOnTheWorkerAndTheMarkingOnTheCompletion) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    ManualRunner runner;
    SessionSetup setup;
    setup.account.hosts = {ftp.Host()};
    setup.account.user = kUser;
    setup.account.password = kPassword;
    setup.clock = &clock;
    setup.internet.url = internet.Url();
    setup.runner = &runner;
    BackOfficeSession session(setup);
    std::vector<std::int16_t> results;
    session.Start(CommMode::Full, true, [&](std::int16_t r) { results.push_back(r); });
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(OutboxEntries(), 1);
    EXPECT_TRUE(fs::exists(dir / "Files/1234567.TRA"));
    EXPECT_EQ(Flags(), "100");

    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_EQ(results, (std::vector<std::int16_t>{0}));
    EXPECT_EQ(gComm.gCommResult, 0);
    EXPECT_EQ(InvoicesOnServer(), kOnce);
    EXPECT_FALSE(TemporaryLeft());
    EXPECT_EQ(Flags(), "111");
    EXPECT_EQ(OutboxEntries(), 0);
    EXPECT_FALSE(fs::exists(dir / "Files/1234567.TRA"));
}

// The Special page's Communicate as the program runs it: the keys are locked
// while the session waits on the worker, nothing is flagged before the
// completion, and what reads the result runs once the session has ended.
TEST_F(SessionTest, CommunicateLocksTheKeysUntilTheSessionOnTheRunnerHasEnded) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    ManualRunner runner;
    SessionSetup setup;
    setup.account.hosts = {ftp.Host()};
    setup.account.user = kUser;
    setup.account.password = kPassword;
    setup.clock = &clock;
    setup.internet.url = internet.Url();
    setup.runner = &runner;
    BackOfficeSession session(setup);
    SessionTransfer transfer;
    transfer.session = &session;
    CashOffice office;
    SaleEngineImpl sale;
    Reg().services.transfer = &transfer;
    Reg().services.office = &office;
    Reg().services.sale = &sale;
    gCommSchedule = CommScheduleState{};
    gSettings.gConnectionMode = ConnectionMode::Online;  // always online: no dial-up around the session
    gReg.gCashierIndex = 1;
    screen.SetEnabled(kPaymentKey, true);
    gComm.gOperationMode = CommMode::Full;
    gComm.gCommHidden = true;

    std::vector<std::int16_t> results;
    Communicate([&] { results.push_back(gComm.gCommResult); });
    EXPECT_FALSE(screen.Enabled(kPaymentKey));
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(Flags(), "100");

    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_EQ(results, (std::vector<std::int16_t>{0}));
    EXPECT_TRUE(screen.Enabled(kPaymentKey));
    EXPECT_FALSE(gCommSchedule.inSession);
    EXPECT_EQ(InvoicesOnServer(), kOnce);
    EXPECT_EQ(Flags(), "111");
}

// Connection mode "1" with the Internet down: Communicate checks and dials
// on the runner's worker. The dial command waits for the test's go, so a
// dial on the window's thread would hang Communicate; the line comes up
// only when the command has run ("line-up"), unless the dial is to fail.
class DialUpCommunicateTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        Reg().programFolder = dir.Path();
        Reg().runner = &runner;
        dir.Write("Files/Dial.Set", "Shop Line\nshop12\nsecret\n");
        check.url = line.Url();
        check.connectTimeoutMs = 1000;
        check.totalTimeoutMs = 2000;
        transfer.internet = &check;
        transfer.dial = &dial;
        setup.account.hosts = {ftp.Host()};
        setup.account.user = kUser;
        setup.account.password = kPassword;
        setup.clock = &clock;
        setup.internet.url = internet.Url();
        setup.runner = &runner;
        session = std::make_unique<BackOfficeSession>(setup);
        transfer.session = session.get();
        Reg().services.transfer = &transfer;
        Reg().services.office = &office;
        Reg().services.sale = &sale;
        gCommSchedule = CommScheduleState{};
        gSettings.gConnectionMode = ConnectionMode::DialUp;
        gReg.gCashierIndex = 1;
        screen.SetEnabled(kPaymentKey, true);
        gComm.gOperationMode = CommMode::Full;
        gComm.gCommHidden = true;
    }
    void Dial(bool bringsTheLineUp) {
        dir.Write("dial.sh", "while [ ! -e " + (dir / "go") + " ]; do sleep 0.01; done\n" + "echo \"$*\" >> " +
                                 (dir / "runs") + "\n" +
                                 (bringsTheLineUp ? "[ \"$1\" = up ] && touch " + (dir / "line-up") + "\n" : ""));
    }
    std::vector<std::string> Runs() const { return SplitLines(dir.Read("runs")); }

    LocalFtpServer ftp{server.Path(), kUser, kPassword};
    LocalHttpServer line{[this] { return fs::exists(dir / "line-up") ? 200 : 503; }};
    InternetCheckConfig check;
    DialCommands dial{"/bin/sh " + (dir / "dial.sh") + " up {entry} {user} {password}",
                      "/bin/sh " + (dir / "dial.sh") + " down {entry}", 5000};
    ManualRunner runner;
    SessionSetup setup;
    std::unique_ptr<BackOfficeSession> session;
    SessionTransfer transfer;
    CashOffice office;
    SaleEngineImpl sale;
};

TEST_F(DialUpCommunicateTest, TheCheckAndTheDialRunOnTheWorkerThenTheSessionThenTheHangUp) {
    ASSERT_TRUE(ftp.Running());
    Dial(true);
    std::vector<std::int16_t> results;
    Communicate([&] { results.push_back(gComm.gCommResult); });
    // Nothing is changed until the completions run; the keys stay locked.
    EXPECT_FALSE(screen.Enabled(kPaymentKey));
    EXPECT_TRUE(results.empty());
    EXPECT_FALSE(gComm.gInternetAvailable);
    EXPECT_TRUE(gComm.gDialEntry.empty());
    EXPECT_FALSE(fs::exists(dir / "Files/1234567.TRA"));
    EXPECT_EQ(Flags(), "100");

    dir.Write("go", "");
    ASSERT_TRUE(runner.RunUntilIdle(20000));
    EXPECT_EQ(results, (std::vector<std::int16_t>{0}));
    EXPECT_TRUE(screen.Enabled(kPaymentKey));
    EXPECT_FALSE(gCommSchedule.inSession);
    EXPECT_TRUE(gComm.gInternetAvailable);
    EXPECT_EQ(gComm.gDialEntry, "Shop Line");
    EXPECT_EQ(Runs(), (std::vector<std::string>{"up Shop Line shop12 secret", "down Shop Line"}));
    EXPECT_EQ(InvoicesOnServer(), kOnce);
    EXPECT_EQ(Flags(), "111");
}

TEST_F(DialUpCommunicateTest, AFailedDialShowsItsMessageHangsUpAndTheRegisterGoesOn) {
    ASSERT_TRUE(ftp.Running());
    Dial(false);
    std::vector<std::int16_t> results;
    Communicate([&] { results.push_back(gComm.gCommResult); });
    EXPECT_FALSE(screen.Enabled(kPaymentKey));
    EXPECT_TRUE(results.empty());

    dir.Write("go", "");
    ASSERT_TRUE(runner.RunUntilIdle(20000));
    EXPECT_EQ(results, (std::vector<std::int16_t>{1}));
    EXPECT_EQ(screen.Text(kMessageLine), "Unable to Dial Out to Internet");
    EXPECT_TRUE(screen.Enabled(kPaymentKey));
    EXPECT_FALSE(gCommSchedule.inSession);
    EXPECT_FALSE(gComm.gInternetAvailable);
    // Four tries, then the half-up line is taken down.
    EXPECT_EQ(Runs(),
              (std::vector<std::string>{"up Shop Line shop12 secret", "up Shop Line shop12 secret",
                                        "up Shop Line shop12 secret", "up Shop Line shop12 secret", "down Shop Line"}));
    EXPECT_TRUE(ServerFiles().empty());
    EXPECT_EQ(Flags(), "100");
}

// An upload an outage left goes first; the invoices saved since follow with
// the session after, each in one file only.
TEST_F(SessionTest, AfterALeftoverIsFinishedTheNewerInvoicesFollowInTheirOwnFile) {
    {
        LocalFtpServer refusing(server.Path(), kUser, kPassword, "stor-refused");
        ASSERT_TRUE(refusing.Running());
        EXPECT_EQ(RunOn(refusing.Host()), 3);
    }
    ASSERT_EQ(OutboxEntries(), 1);
    WriteFile(".INV", 150,
              {Header("0000002", '1', "C100"), Header("0000003", '0', "C100"), Header("0000004", '0', "C100"),
               Header("0000005", '0', "C100")});
    WriteFile(".DTL", 90,
              {Line("0000002", 1, "1003", "PLAIN", "1", "1", ""), Line("0000003", 1, "1003", "PLAIN", "2", "3", ""),
               Line("0000004", 1, "1003", "PLAIN", "1", "4", ""), Line("0000005", 1, "1003", "PLAIN", "1", "2", "")});
    clock.Set(LocalTime{2026, 12, 9, 10, 31, 0});
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_EQ(InvoicesOnServer(), kOnce);
    EXPECT_EQ(Flags(), "1110");
    clock.Set(LocalTime{2026, 12, 9, 10, 32, 0});
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_EQ(ServerFiles().size(), 2u);
    EXPECT_EQ(InvoicesOnServer(), (std::map<std::string, int>{{"0000003", 1}, {"0000004", 1}, {"0000005", 1}}));
    EXPECT_FALSE(TemporaryLeft());
    EXPECT_EQ(Flags(), "1111");
    EXPECT_EQ(OutboxEntries(), 0);
}

TEST_F(SessionTest, ADamagedOutboxSendsNothing) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    dir.Write("Files/1234567.OUT", "TRA|3|4|Pu");
    EXPECT_EQ(RunOn(ftp.Host()), 3);
    EXPECT_TRUE(ServerFiles().empty());
    EXPECT_EQ(Flags(), "100");
    EXPECT_EQ(dir.Read("Files/1234567.OUT"), "TRA|3|4|Pu");
}

}  // namespace
}  // namespace tarvo
