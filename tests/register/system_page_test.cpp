#include "register/system_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/dates.h"
#include "config/constants.h"
#include "data/comm_state.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "page_fixture.h"
#include "platform/background_runner.h"
#include "test_dir.h"
#include "test_net.h"
#include "transfer/outbox.h"
#include "transfer/sales_upload.h"
#include "transfer/transfer_service.h"

namespace tarvo {
namespace {

constexpr KeyPage kSystem = KeyPage::System;
using Calls = std::vector<std::string>;

class SystemPageTest : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        // Ann is logged in at the register.
        AddCashier("77", "00000007", "Ann", 1);
        gReg.gCashierIndex = 1;
    }
    void MidSale() { AddLine("100", 1, Money::FromUnits(2)); }
};

// ---- the typed date -------------------------------------------------------------------------

TEST(DateCheckTest, OnlyRealCalendarDatesOfTheSupportedYears) {
    struct Case {
        const char* typed;
        bool valid;
        const char* date;
    };
    const Case cases[] = {
        {"20260115", true, "20260115"},
        {" 20261231 ", true, "20261231"},
        {"20030101", true, "20030101"},
        {"20991231", true, "20991231"},
        {"20240229", true, "20240229"},
        {"20000229", false, ""},
        {"20250229", false, ""},
        {"21000228", false, ""},
        {"20021231", false, ""},
        {"20260230", false, ""},
        {"20260431", false, ""},
        {"20260100", false, ""},
        {"20260001", false, ""},
        {"20261301", false, ""},
        {"20260132", false, ""},
        {"2026011", false, ""},
        {"202601150", false, ""},
        {"2026-1-5", false, ""},
        {"2026 115", false, ""},
        {"", false, ""},
        {"   ", false, ""},
        {"+2026011", false, ""},
        {"20260a15", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.typed + "'");
        const DateCheckResult r = Date_Check(c.typed);
        EXPECT_EQ(r.valid, c.valid);
        EXPECT_EQ(r.date, c.date);
    }
    // Every day of a leap year and of a common year, and no more.
    for (int year : {2024, 2026}) {
        int days = 0;
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= 31; ++day) {
                char text[40];
                std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
                days += Date_Check(text).valid ? 1 : 0;
            }
        EXPECT_EQ(days, Date_IsLeapYear(year) ? 366 : 365) << year;
    }
}

// ---- the keys ------------------------------------------------------------------------------

TEST_F(SystemPageTest, KeysWithoutAnOperationDoNothing) {
    for (int key : {3, 4, 5, 12, 13, 14, 15, 16, 19, 20, 21, 22}) {
        SCOPED_TRACE(key);
        Press(kSystem, key, "20260115");
        EXPECT_EQ(svc.calls, Calls{});
        EXPECT_EQ(MessageLine(), "");
        EXPECT_EQ(gReg.gBusinessDate, "20261209");
    }
}

TEST_F(SystemPageTest, BusinessDateChangesOnlyToARealDate) {
    struct Case {
        const char* typed;
        const char* message;
        const char* date;
        const char* dateText;  // the date as the register shows and prints it
    };
    const Case cases[] = {
        {"", "Format for Date Entry = YYYYMMDD", "20261209", "9/December/2026"},
        {"20260230", "Format for Date Entry = YYYYMMDD", "20261209", "9/December/2026"},
        {"2026121", "Format for Date Entry = YYYYMMDD", "20261209", "9/December/2026"},
        {"20270115", "Date Change Successful", "20270115", "15/Jan/2027"},
    };
    DefaultClient_Load();  // for the sale a new date starts
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        gReg.gBusinessDate = "20261209";
        gSale.gDateText = "9/December/2026";
        svc.calls.clear();
        screen.SetFontSize(SoftKeyId(1), 13);
        screen.SetText(kSaleTotalCell, "$2.00");
        Press(kSystem, 2, c.typed);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(gReg.gBusinessDate, c.date);
        EXPECT_EQ(gSale.gDateText, c.dateText);
        const bool changed = std::string(c.date) != "20261209";
        // A new date starts a new sale: its keys captioned again, its
        // receipt without a total yet.
        EXPECT_TRUE(svc.calls.empty());
        EXPECT_EQ(screen.State(SoftKeyId(1)).font.size, changed ? 11 : 13);
        EXPECT_EQ(screen.Text(kSaleTotalCell), changed ? "" : "$2.00");
        EXPECT_EQ(Entry(), "");
    }
}

TEST_F(SystemPageTest, KeysThatWouldLoseTheSaleRefuseMidSale) {
    MidSale();
    gSettings.gConnectionMode = ConnectionMode::Online;
    for (int key : {1, 2, 11, 17, 18, 23, 24}) {
        SCOPED_TRACE(key);
        svc.calls.clear();
        Press(kSystem, key, "20270115");
        EXPECT_EQ(MessageLine(), "Operation Not Allowed in Mid Sale");
        EXPECT_EQ(svc.calls, Calls{});
        EXPECT_EQ(gReg.gBusinessDate, "20261209");
        EXPECT_TRUE(screen.Questions().empty());
        EXPECT_TRUE(screen.Visible(kRegisterWindow));
    }
    // The tests and the sends of the log and the plain files leave the sale alone.
    Press(kSystem, 8);
    EXPECT_EQ(MessageLine(), "Connection Test Successful");
    Press(kSystem, 9);
    EXPECT_TRUE(svc.Called("Session_Run(1)"));
    EXPECT_EQ(gSale.gItemCount, 1);
}

TEST_F(SystemPageTest, PrinterTest) {
    struct Case {
        PrinterType type;
        const char* text;  // setting 880 as the file gives it
        bool opens;
        std::int16_t statusAtClose;
        const char* message;
        Calls calls;
        std::vector<std::string> printed;
    };
    const std::vector<std::string> page{"This is a printer test.....", "", "", "", "", ""};
    const Case cases[] = {
        {PrinterType::Off, "0", true, 0, "Printer is Deactivated Through Setting", {}, {}},
        {PrinterType::Com1, "3", true, 0, "Printer Test Successful 3", {"Printer_Open", "Printer_Close(true)"}, page},
        {PrinterType::Com3, "7", false, 0, "Printer Test Failed 7", {"Printer_Open"}, {}},
        {PrinterType::Com1, "3", true, 2, "Printer Test Failed 3", {"Printer_Open", "Printer_Close(true)"}, page},
        // A value the register does not name prints on LPT1 and is named as given.
        {PrinterType::Lpt1, "06", true, 0, "Printer Test Successful 06", {"Printer_Open", "Printer_Close(true)"}, page},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.opens ? " opens" : " fails"));
        svc.calls.clear();
        svc.printed.clear();
        gSettings.gPrinterType = c.type;
        gSettings.gPrinterTypeText = c.text;
        svc.printerOpens = c.opens;
        svc.printStatus = c.statusAtClose;
        Press(kSystem, 7);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(svc.calls, c.calls);
        EXPECT_EQ(svc.printed, c.printed);
    }
}

TEST_F(SystemPageTest, ConnectionTest) {
    struct Case {
        ConnectionMode mode;
        bool internet;
        int dialSettings;
        int dialResult;
        const char* message;
        Calls calls;
    };
    const Case cases[] = {
        {ConnectionMode::Online, true, 1, 1, "Connection Test Successful", {"Internet_Check"}},
        {ConnectionMode::Online, false, 1, 1, "Connection Test Failed", {"Internet_Check"}},
        {ConnectionMode::DialUp, true, 1, 1, "Connection Test Successful", {"Internet_Check", "RasDialHangUp"}},
        {ConnectionMode::DialUp,
         false,
         1,
         1,
         "Connection Test Successful",
         {"Internet_Check", "ReadDialSettings", "RasDialConnect", "RasDialHangUp"}},
        {ConnectionMode::DialUp,
         false,
         1,
         3,
         "Connection Test Failed",
         {"Internet_Check", "ReadDialSettings", "RasDialConnect", "RasDialHangUp"}},
        {ConnectionMode::DialUp,
         false,
         2,
         1,
         "Connection Test Failed",
         {"Internet_Check", "ReadDialSettings", "RasDialHangUp"}},
    };
    const ControlId kSystemKey{Control::BSys, 1};
    screen.SetCaption(kSystemKey, "System");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode == ConnectionMode::DialUp ? "dial-up" : "online") +
                     (c.internet ? " online" : " offline") + " dial " + std::to_string(c.dialSettings) + "/" +
                     std::to_string(c.dialResult));
        svc.calls.clear();
        gSettings.gConnectionMode = c.mode;
        svc.internet = c.internet;
        svc.dialSettings = c.dialSettings;
        svc.dialResult = c.dialResult;
        Press(kSystem, 8);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(svc.calls, c.calls);
        EXPECT_EQ(gComm.gInternetAvailable, c.internet);
        EXPECT_TRUE(screen.Enabled(kSystemKey)) << "the keys are unlocked again";
    }
}

// Key 8 on the program's transfer: the check, and in connection mode "1" the
// dial-up and the hang-up, wait on the register's runner; every key stays
// locked until the completion has run, and the answer comes on the message
// line only then.
TEST_F(SystemPageTest, ConnectionTestWaitsInTheBackgroundWithEveryKeyLocked) {
    LocalHttpServer up(200);
    ClosedPort down;
    ASSERT_TRUE(up.Bound() && down.Bound());
    TestDir folder;  // no Dial.Set: the dial-up cannot be made
    struct Case {
        ConnectionMode mode;
        bool online;
        const char* meanwhile;
        const char* answer;
    };
    const Case cases[] = {
        {ConnectionMode::Online, true, "Testing Internet Connection", "Connection Test Successful"},
        {ConnectionMode::Online, false, "Testing Internet Connection", "Connection Test Failed"},
        {ConnectionMode::DialUp, true, "Establishing a Connection to the Internet", "Connection Test Successful"},
        {ConnectionMode::DialUp, false, "Establishing a Connection to the Internet", "Connection Test Failed"},
    };
    const ControlId kSystemKey{Control::BSys, 1};
    const ControlId kEnterKey{Control::BReg, 4};
    screen.SetCaption(kSystemKey, "System");
    screen.SetCaption(kEnterKey, "Enter");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode == ConnectionMode::DialUp ? "dial-up" : "online") +
                     (c.online ? " online" : " offline"));
        ManualRunner runner;
        InternetCheckConfig check;
        check.url = c.online ? up.Url() : down.Url();
        check.connectTimeoutMs = 1000;
        SessionTransfer transfer;
        transfer.internet = &check;
        Reg().services.transfer = &transfer;
        Reg().runner = &runner;
        Reg().programFolder = folder.Path();
        gSettings.gConnectionMode = c.mode;
        gComm.gInternetAvailable = !c.online;

        Press(kSystem, 8);
        EXPECT_EQ(MessageLine(), c.meanwhile);
        EXPECT_FALSE(screen.Enabled(kSystemKey));
        EXPECT_FALSE(screen.Enabled(kEnterKey));
        ASSERT_TRUE(runner.RunUntilIdle(10000));
        EXPECT_EQ(MessageLine(), c.answer);
        EXPECT_EQ(gComm.gInternetAvailable, c.online);
        EXPECT_TRUE(screen.Enabled(kSystemKey)) << "the keys are unlocked again";
        EXPECT_TRUE(screen.Enabled(kEnterKey));
        Reg().runner = nullptr;
        Reg().services.transfer = nullptr;
    }
}

TEST_F(SystemPageTest, OnlineTestAsksTheServer) {
    ClosedPort closed;
    ASSERT_TRUE(closed.Bound());
    const std::string url = closed.Url();
    gConstants.servers.gServerSlot = 1;
    gConstants.servers.gServerHosts[0] = url.substr(7, url.size() - 8);
    gConstants.servers.gServerUrls[0] = DispatcherUrl(gConstants.servers.gServerHosts[0]);
    Press(kSystem, 6);
    EXPECT_EQ(MessageLine(), "Test Resulted in an error");
}

// Key 6 on the program's runner: the server is asked on the worker, every
// key locked until the completion puts the answer on the message line.
TEST_F(SystemPageTest, OnlineTestWaitsInTheBackgroundWithEveryKeyLocked) {
    ClosedPort closed;
    ASSERT_TRUE(closed.Bound());
    const std::string url = closed.Url();
    gConstants.servers.gServerSlot = 1;
    gConstants.servers.gServerHosts[0] = url.substr(7, url.size() - 8);
    gConstants.servers.gServerUrls[0] = DispatcherUrl(gConstants.servers.gServerHosts[0]);
    const ControlId kSystemKey{Control::BSys, 1};
    screen.SetCaption(kSystemKey, "System");
    ManualRunner runner;
    Reg().runner = &runner;
    Press(kSystem, 6);
    EXPECT_FALSE(screen.Enabled(kSystemKey));
    EXPECT_NE(MessageLine(), "Test Resulted in an error");
    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_EQ(MessageLine(), "Test Resulted in an error");
    EXPECT_TRUE(screen.Enabled(kSystemKey));
    Reg().runner = nullptr;
}

TEST_F(SystemPageTest, SendsRunTheirSessionAndGiveTheLogBack) {
    struct Case {
        int key;
        const char* session;
    };
    gSettings.gConnectionMode = ConnectionMode::Interval;  // a standing connection: no dial-up around the session
    // The log's session keeps the window as it was (hidden here); the
    // others show it.
    for (const Case& c : {Case{9, "Session_Run(1, hidden)"}, Case{10, "Session_Run(3)"}, Case{11, "Session_Run(2)"}}) {
        SCOPED_TRACE(c.key);
        svc.calls.clear();
        gComm.gCommHidden = true;
        svc.logOpenInSession = true;
        Press(kSystem, c.key, "abc");
        EXPECT_EQ(svc.calls, Calls{c.session});
        EXPECT_TRUE(ProgramLog().IsOpen());
        if (c.key != 10) {
            EXPECT_FALSE(svc.logOpenInSession) << "the log is sent closed";
        }
        if (c.key != 9) {
            EXPECT_FALSE(gComm.gCommHidden);
        }
        EXPECT_EQ(Entry(), "abc");  // the session's window may need it
    }
}

TEST_F(SystemPageTest, RestartAndCloseEndTheProgram) {
    Press(kSystem, 17);
    EXPECT_EQ(svc.calls, Calls{"RestartProgram"});
    svc.calls.clear();
    Press(kSystem, 18);
    EXPECT_EQ(svc.calls, Calls{"EndProgram"});
}

TEST_F(SystemPageTest, ChangeTerminalOnlyWhenNothingWaitsForThisTerminal) {
    struct Case {
        const char* name;
        bool suspended;
        const char* unsentFlags;
        bool formOpens;
        const char* message;
        bool hidden;
    };
    const Case cases[] = {
        {"suspended sale", true, "", true, "Not Allowed - There Is a Suspended Transaction", false},
        {"unsent invoice", false, "10", true, "Not Allowed - Transactions Not Yet Sent", false},
        {"no form", false, "", false, "Invalid Entry", false},
        {"all sent", false, "11", true, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseTerminalFolder(dir.Path() + "/" + c.name, kTerminal);
        screen.SetVisible(kRegisterWindow, true);
        screen.SetText(kMessageLine, "");
        gSale.gSuspended = c.suspended;
        svc.terminalFormOpens = c.formOpens;
        Open_FileInvoice();
        AddDocuments(gData.invoices, gData.gLastInvoiceRecord, 150, 130, 9, c.unsentFlags);
        svc.calls.clear();
        Press(kSystem, 1);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(screen.Visible(kRegisterWindow), !c.hidden);
        EXPECT_EQ(svc.Called("TerminalForm_Show"), !c.suspended && std::string(c.unsentFlags) != "10");
    }
}

// ---- emptying the transaction files ----------------------------------------------------------

class DeleteTest : public SystemPageTest {
protected:
    // Three invoices (two unsent), two journal entries (one unsent), one
    // unsent order.
    void Documents() {
        Open_FileInvoice();
        AddDocuments(gData.invoices, gData.gLastInvoiceRecord, 150, 130, 9, "010");
        Open_FileActivity();
        AddDocuments(gData.activity, gData.gLastActivityRecord, 60, 40, 14, "10");
        Open_FileOrder();
        AddDocuments(gData.orders, gData.gLastOrderRecord, 252, 230, 9, "0");
        Data_CloseAll(gData);
    }
    std::int32_t Count(void (*open)(), std::int32_t DataState::*counter) {
        open();
        return gData.*counter;
    }
};

TEST_F(DeleteTest, UnsentCountsAreWhatTheEmptyingLoses) {
    Documents();
    EXPECT_EQ(Files_UnsentDaily(), 3);
    EXPECT_EQ(Files_UnsentAll(), 4);
    // Counting changes nothing, open or closed.
    Open_FileInvoice();
    EXPECT_EQ(Files_UnsentDaily(), 3);
    EXPECT_EQ(Count(&Open_FileInvoice, &DataState::gLastInvoiceRecord), 4);
    EXPECT_EQ(Files_ResetDaily(), 3);
    EXPECT_EQ(Files_UnsentDaily(), 0);
    EXPECT_EQ(Files_UnsentAll(), 1);
    EXPECT_EQ(Files_ResetAll(), 1);
    EXPECT_EQ(Files_UnsentAll(), 0);
}

TEST_F(DeleteTest, AsksFirstNamingTheUnsentDocuments) {
    struct Case {
        int key;
        bool yes;
        const char* question;
        const char* message;
        std::int32_t invoicesLeft, ordersLeft;
    };
    const Case cases[] = {
        {23, false, "Transactions Not Yet Sent: 3\r\nEmpty the Transaction Files?", "", 4, 2},
        {24, false, "Transactions Not Yet Sent: 4\r\nEmpty the Transaction Files?", "", 4, 2},
        {23, true, "Transactions Not Yet Sent: 3\r\nEmpty the Transaction Files?", "Sales Transactions Deleted", 1, 2},
        {24, true, "Transactions Not Yet Sent: 4\r\nEmpty the Transaction Files?", "Sales Transactions Deleted", 1, 1},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + (c.yes ? " yes" : " no"));
        UseTerminalFolder(dir.Path() + "/" + std::to_string(++n), kTerminal);
        Documents();
        window.answer = c.yes;
        const std::size_t asked = screen.Questions().size();
        Press(kSystem, c.key);
        ASSERT_EQ(screen.Questions().size(), asked + 1);
        EXPECT_EQ(screen.Questions().back(), c.question);
        EXPECT_EQ(MessageLine(), c.message);
        Data_CloseAll(gData);
        EXPECT_EQ(Count(&Open_FileInvoice, &DataState::gLastInvoiceRecord), c.invoicesLeft);
        EXPECT_EQ(Count(&Open_FileOrder, &DataState::gLastOrderRecord), c.ordersLeft);
    }
}

// A sales upload waiting in the outbox (its session cut off before the
// server had it) still holds those sales once the files are emptied: the
// next emptying names them, and the terminal number cannot change while it
// waits. While its invoices are on file they are counted once.
TEST_F(DeleteTest, AnUploadWaitingInTheOutboxCountsAsUnsent) {
    UseTerminalFolder(dir.Path() + "/outbox", kTerminal);
    Documents();
    const UploadBuild b = Sales_CreateFile(gConstants.paths.gFilesPath + ".TRA", false);
    ASSERT_EQ(b.range.first, 4);
    Outbox outbox(Outbox_Path(gConstants.paths.gFilesPath));
    ASSERT_TRUE(outbox.Store({"TRA", b.range.first, b.range.last, OutboxState::Put, b.size, "12091030.TRA.part",
                              "12091030.TRA", b.stamp},
                             nullptr));
    Data_CloseAll(gData);
    window.answer = true;
    Press(kSystem, 23);
    EXPECT_EQ(screen.Questions().back(), "Transactions Not Yet Sent: 3\r\nEmpty the Transaction Files?");
    Press(kSystem, 24);
    EXPECT_EQ(screen.Questions().back(), "Transactions Not Yet Sent: 2\r\nEmpty the Transaction Files?");
    Press(kSystem, 23);
    EXPECT_EQ(screen.Questions().back(), "Transactions Not Yet Sent: 1\r\nEmpty the Transaction Files?");
    svc.calls.clear();
    Press(kSystem, 1);
    EXPECT_EQ(MessageLine(), "Not Allowed - Transactions Not Yet Sent");
    EXPECT_FALSE(svc.Called("TerminalForm_Show"));

    // Once it is at the back office, nothing waits.
    OutboxEntry sent = *outbox.Find("TRA");
    sent.state = OutboxState::Sent;
    ASSERT_TRUE(outbox.Store(sent, nullptr));
    Press(kSystem, 1);
    EXPECT_TRUE(svc.Called("TerminalForm_Show"));
}

TEST_F(DeleteTest, NothingUnsentStillAsks) {
    window.answer = true;
    Press(kSystem, 23);
    ASSERT_EQ(screen.Questions().size(), 1u);
    EXPECT_EQ(screen.Questions()[0], "Empty the Transaction Files?");
    EXPECT_EQ(MessageLine(), "Sales Transactions Deleted");
}

}  // namespace
}  // namespace tarvo
