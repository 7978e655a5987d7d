#include "transfer/session_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "config/settings.h"
#include "data/comm_state.h"
#include "platform/background_runner.h"
#include "screen/controls.h"
#include "test_ftp.h"
#include "test_net.h"
#include "transfer/backoffice_session.h"
#include "transfer/upload_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace upload_fixture;
using Seen = std::vector<std::string>;

const char kUser[] = "store12";
const char kPassword[] = "s3cr:t@x";

std::string Describe(const RowPictures& p) {
    std::string s;
    for (const auto& [on, name] :
         {std::pair{p.arrow, "arrow"}, {p.check, "check"}, {p.cross, "cross"}, {p.nothing, "nothing"}})
        if (on) s += (s.empty() ? "" : "+") + std::string(name);
    return s.empty() ? "-" : s;
}

// The window as the cashier sees it change: each row whose pictures changed,
// with the pictures it shows now, and the closing counter.
class RecordingSessionView : public SessionView {
public:
    Seen seen;
    bool shown = false;

    void Session_Show(const SessionWindow& w) override {
        shown = true;
        last_.fill(RowPictures{});
        counter_.clear();
        seen.push_back("shown");
        Changes(w);
    }
    void Session_Update(const SessionWindow& w) override {
        EXPECT_TRUE(shown) << "drawn while not shown";
        Changes(w);
    }
    void Session_Hide() override {
        shown = false;
        seen.push_back("hidden");
    }

private:
    void Changes(const SessionWindow& w) {
        for (int i = 0; i < kSessionRows; ++i) {
            const auto row = static_cast<SessionRow>(i);
            const RowPictures& p = w.Pictures(row);
            if (p == last_[static_cast<std::size_t>(i)]) continue;
            last_[static_cast<std::size_t>(i)] = p;
            seen.push_back(std::string(SessionRow_Caption(row)) + ": " + Describe(p));
        }
        if (w.Counter() != counter_) {
            counter_ = w.Counter();
            seen.push_back("counter " + counter_);
        }
    }
    std::array<RowPictures, kSessionRows> last_{};
    std::string counter_;
};

class SessionWindowTest : public UploadTest {
protected:
    void SetUp() override {
        UploadTest::SetUp();
        gComm = CommState{};
        WriteFile(".INV", 150, {Header("0000002", '1', "C100"), Header("0000003", '0', "C100")});
        WriteFile(".DTL", 90,
                  {Line("0000002", 1, "1003", "PLAIN", "1", "1", ""),
                   Line("0000003", 1, "1003", "PLAIN", "2", "3", "")});
        WriteFile(".PAY", 235, {Payment("0000003", 1, "1", "6", "")});
        clock.Set(LocalTime{2026, 12, 9, 10, 30, 0});
    }

    // One session on the runner, its completions run as they come; returns
    // its result.
    std::int16_t Session(const std::string& host, const std::string& internetUrl, CommMode mode = CommMode::Full,
                         bool hidden = false) {
        SessionSetup setup;
        setup.account.hosts = {host};
        setup.account.user = kUser;
        setup.account.password = kPassword;
        setup.account.connectTimeoutMs = 2000;
        setup.account.responseTimeoutS = 3;
        setup.clock = &clock;
        setup.internet.url = internetUrl;
        setup.internet.connectTimeoutMs = 1000;
        setup.runner = &runner;
        setup.window = &window;
        BackOfficeSession session(setup);
        std::vector<std::int16_t> results;
        session.Start(mode, hidden, [&](std::int16_t r) { results.push_back(r); });
        // The window is up with the Internet step under way before any
        // network step has answered.
        EXPECT_EQ(view.shown, !hidden);
        EXPECT_TRUE(window.InSession());
        EXPECT_TRUE(results.empty());
        EXPECT_TRUE(runner.RunUntilIdle(15000));
        EXPECT_EQ(results.size(), 1u);
        EXPECT_FALSE(view.shown);
        return results.empty() ? -1 : results[0];
    }

    ManualRunner runner;
    RecordingSessionView view;
    SessionWindow window{&view};
    LocalHttpServer internet{200};
    TestDir server;
};

// A full session on a sound server: each step shows its arrow, then its
// check, in the session's order; the kinds with nothing new show the
// nothing-to-send picture; the counter shows before the window goes.
TEST_F(SessionWindowTest, AFullSessionShowsEachStepAndItsResultInOrder) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    EXPECT_EQ(Session(ftp.Host(), internet.Url()), 0);
    EXPECT_EQ(view.seen, (Seen{
                             "shown",
                             "Looking for Internet Connection: arrow",
                             "Looking for Internet Connection: check",
                             "Connecting to Server: arrow",
                             "Connecting to Server: check",
                             "New Entries: nothing",
                             "Sales: arrow",
                             "Sales: check",
                             "Activity: nothing",
                             "Inventory Count: nothing",
                             "Log: arrow",
                             "Log: check",
                             "counter 1",
                             "hidden",
                         }));
    EXPECT_TRUE(fs::exists(server.Path() + "/12091030.TRA"));
    EXPECT_EQ(Flags(), "11");
}

// What fails shows its cross, and nothing after it is tried.
TEST_F(SessionWindowTest, TheFailedStepShowsItsCross) {
    ClosedPort closed;
    ASSERT_TRUE(closed.Bound());
    const std::string downHost = "127.0.0.1:" + std::to_string(closed.Port());
    struct Case {
        const char* name;
        bool internetUp;
        bool ftpUp;
        const char* fault;
        std::int16_t result;
        Seen seen;
    };
    const Case cases[] = {
        {"no Internet",
         false,
         true,
         "none",
         1,
         {"shown", "Looking for Internet Connection: arrow", "Looking for Internet Connection: cross", "counter 1",
          "hidden"}},
        {"the server down",
         true,
         false,
         "none",
         2,
         {"shown", "Looking for Internet Connection: arrow", "Looking for Internet Connection: check",
          "Connecting to Server: arrow", "Connecting to Server: cross", "counter 1", "hidden"}},
        {"the upload refused",
         true,
         true,
         "stor-refused",
         3,
         {"shown", "Looking for Internet Connection: arrow", "Looking for Internet Connection: check",
          "Connecting to Server: arrow", "Connecting to Server: check", "New Entries: nothing", "Sales: arrow",
          "Sales: cross", "Activity: nothing", "Inventory Count: nothing", "Log: arrow", "Log: cross", "counter 1",
          "hidden"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.seen.clear();
        LocalFtpServer ftp(server.Path(), kUser, kPassword, c.fault);
        ASSERT_TRUE(ftp.Running());
        EXPECT_EQ(Session(c.ftpUp ? ftp.Host() : downHost, c.internetUp ? internet.Url() : closed.Url()), c.result);
        EXPECT_EQ(view.seen, c.seen);
        EXPECT_EQ(Flags(), "10") << "nothing flagged";
        EXPECT_TRUE(fs::is_empty(server.Path()) || c.result == 3);
    }
}

// Sending the log shows on the log row; a hidden session keeps its window
// off the screen, though its rows follow the steps.
TEST_F(SessionWindowTest, TheLogRowAndAHiddenSession) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    dir.Write("Files/1234567.LOG", "a line of the log\r\n");
    EXPECT_EQ(Session(ftp.Host(), internet.Url(), CommMode::Log), 0);
    EXPECT_EQ(view.seen, (Seen{"shown", "Looking for Internet Connection: arrow",
                               "Looking for Internet Connection: check", "Connecting to Server: arrow",
                               "Connecting to Server: check", "Log: arrow", "Log: check", "counter 1", "hidden"}));

    view.seen.clear();
    clock.Set(LocalTime{2026, 12, 9, 10, 31, 0});
    EXPECT_EQ(Session(ftp.Host(), internet.Url(), CommMode::Full, true), 0);
    EXPECT_EQ(view.seen, Seen{});
    EXPECT_EQ(Describe(window.Pictures(SessionRow::Sales)), "check");
    EXPECT_EQ(Flags(), "11");
}

// Modes 2 and 3 send on the data row: its arrow while the files go up, then
// the check, or the cross when any one of them was refused.
TEST_F(SessionWindowTest, TheFilesOfModesTwoAndThreeShowOnTheDataRow) {
    const Seen reached = {"shown",
                          "Looking for Internet Connection: arrow",
                          "Looking for Internet Connection: check",
                          "Connecting to Server: arrow",
                          "Connecting to Server: check",
                          "Data: arrow"};
    struct Case {
        const char* name;
        CommMode mode;
        const char* fault;
        std::int16_t result;
        const char* outcome;
    };
    const Case cases[] = {
        {"all files", CommMode::AllData, "none", 0, "Data: check"},
        {"plain-text resend", CommMode::ResendAll, "none", 0, "Data: check"},
        {"all files refused", CommMode::AllData, "stor-refused", 3, "Data: cross"},
        {"resend refused", CommMode::ResendAll, "stor-refused", 3, "Data: cross"},
    };
    int minute = 30;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.seen.clear();
        clock.Set(LocalTime{2026, 12, 9, 10, minute++, 0});
        LocalFtpServer ftp(server.Path(), kUser, kPassword, c.fault);
        ASSERT_TRUE(ftp.Running());
        EXPECT_EQ(Session(ftp.Host(), internet.Url(), c.mode), c.result);
        Seen expected = reached;
        expected.insert(expected.end(), {c.outcome, "counter 1", "hidden"});
        EXPECT_EQ(view.seen, expected);
    }
    EXPECT_EQ(Flags(), "10") << "these modes flag nothing";
}

// Each file the back office sent shows on its receive row: the arrow while it
// is fetched, then the check once it is in place, or the cross (a package
// that is not one); a kind without a row (the label) changes none.
TEST_F(SessionWindowTest, EachFetchedFileShowsOnItsReceiveRow) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    server.Write("Files/1234567.CLU", "client update\r\n");
    server.Write("Files/1234567.SET", "100 REG01\r\n");
    server.Write("Files/1234567.PRC", "this is not a zip package");
    server.Write("Files/1234567.LBL", "label\r\n");
    EXPECT_EQ(Session(ftp.Host(), internet.Url()), 0) << "a failed download is no failed session";
    const std::map<SessionRow, std::string> shown = {
        {SessionRow::ClientUpdate, "check"},
        {SessionRow::Settings, "check"},
        {SessionRow::ProductComplete, "cross"},
    };
    for (int i = static_cast<int>(SessionRow::ProductComplete); i < kSessionRows; ++i) {
        const auto row = static_cast<SessionRow>(i);
        SCOPED_TRACE(SessionRow_Caption(row));
        const auto it = shown.find(row);
        EXPECT_EQ(Describe(window.Pictures(row)), it == shown.end() ? "-" : it->second);
        const bool arrowSeen = std::find(view.seen.begin(), view.seen.end(),
                                         std::string(SessionRow_Caption(row)) + ": arrow") != view.seen.end();
        EXPECT_EQ(arrowSeen, it != shown.end());
    }
    // The receive rows follow the send rows.
    const auto status = std::find(view.seen.begin(), view.seen.end(), "Log: check");
    const auto settings = std::find(view.seen.begin(), view.seen.end(), "Settings: arrow");
    EXPECT_LT(status, settings);
    EXPECT_TRUE(fs::exists(server.Path() + "/Files/1234567.PRC")) << "left for the next session";
    EXPECT_FALSE(fs::exists(server.Path() + "/Files/1234567.SET"));
}

// With the communication log on, each step's line is printed with the time
// of day as the step ends, then five empty lines close the printout.
TEST_F(SessionWindowTest, TheCommunicationLogPrintsEachStepsLine) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    ClosedPort closed;
    ASSERT_TRUE(closed.Bound());
    gSettings.gPrinterType = PrinterType::Screen;  // the on-screen printout panel
    const ControlId printout{Control::Txt_Printer, 0};
    struct Case {
        const char* name;
        std::string host;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"sent",
         ftp.Host(),
         {"10:30:00 Connected to Internet", "10:30:00 Connected to QZ-Web Server",
          "10:30:00 Communicated Sales Information"}},
        {"nothing new",
         ftp.Host(),
         {"10:30:00 Connected to Internet", "10:30:00 Connected to QZ-Web Server", "10:30:00 No Sales to Communicate"}},
        {"server down",
         "127.0.0.1:" + std::to_string(closed.Port()),
         {"10:30:00 Connected to Internet", "10:30:00 Unable to Connect to QZ Server"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        screen.SetText(printout, "");
        gComm.gCommLog = true;
        Session(c.host, internet.Url());
        std::vector<std::string> lines;
        const std::string text = screen.Text(printout);
        for (std::size_t p = 0; p < text.size();) {
            const std::size_t end = text.find("\r\n", p);
            lines.push_back(text.substr(p, end == std::string::npos ? std::string::npos : end - p));
            if (end == std::string::npos) break;
            p = end + 2;
        }
        // The printed lines in order (the panel parts printouts by an empty
        // line), then at least the five empty lines of the end.
        std::vector<std::string> printed;
        int trailing = 0;
        for (const std::string& l : lines) {
            if (l.empty()) {
                ++trailing;
                continue;
            }
            printed.push_back(l);
            trailing = 0;
        }
        EXPECT_EQ(printed, c.lines);
        EXPECT_GE(trailing, 5);
    }
    // Without the log nothing is printed.
    screen.SetText(printout, "");
    gComm.gCommLog = false;
    Session(ftp.Host(), internet.Url());
    EXPECT_EQ(screen.Text(printout), "");
}

// A row shared by several kinds shows each outcome; an Internet try that
// failed before one passed leaves its cross beside the check.
TEST(SessionWindowRows, PicturesAccumulateOnARow) {
    RecordingSessionView view;
    SessionWindow w(&view);
    w.Open(false);
    w.Report(SessionRow::Internet, StepReport::Failed);
    w.Report(SessionRow::Internet, StepReport::Passed);
    w.Report(SessionRow::InventoryCount, StepReport::Started);
    w.Report(SessionRow::InventoryCount, StepReport::Passed);
    w.Report(SessionRow::InventoryCount, StepReport::Started);
    w.Report(SessionRow::InventoryCount, StepReport::Failed);
    EXPECT_EQ(Describe(w.Pictures(SessionRow::Internet)), "check+cross");
    EXPECT_EQ(Describe(w.Pictures(SessionRow::InventoryCount)), "check+cross");
    // A receive row shows the file fetched last: a package that failed, then
    // the master that arrived after it.
    w.Report(SessionRow::ProductComplete, StepReport::Started);
    w.Report(SessionRow::ProductComplete, StepReport::Failed);
    w.Report(SessionRow::ProductComplete, StepReport::Started);
    EXPECT_EQ(Describe(w.Pictures(SessionRow::ProductComplete)), "arrow");
    w.Report(SessionRow::ProductComplete, StepReport::Passed);
    EXPECT_EQ(Describe(w.Pictures(SessionRow::ProductComplete)), "check");
    // The next session starts clean.
    w.Close();
    w.Open(false);
    EXPECT_EQ(Describe(w.Pictures(SessionRow::Internet)), "arrow");
    EXPECT_EQ(Describe(w.Pictures(SessionRow::InventoryCount)), "-");
}

}  // namespace
}  // namespace tarvo
