#include "office/opening.h"

#include <filesystem>

#include "data/data_state.h"
#include "data/transaction_files.h"
#include "file_size_limit.h"
#include "journal_reader.h"
#include "print/devices.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/register_fixture.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {
namespace {

class OpeningTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        Data_Reset(gData);
        std::filesystem::create_directories(dir / "Data");
        SetTerminalPaths(gConstants.paths, dir.Path(), "1234567");
        gData.CashierTable.push_back(CashierRow{"17", "1111", "Demo", 1});
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
        gReg.gBusinessDate = "20261209";
        gReg.gPromptState = PromptState::Login;
        // A receipt printer whose drawer kick reads "D", caught by the tests;
        // nothing is plugged into its port.
        gSettings.gPrinterType = PrinterType::Com1;
        dir.Write(kDeviceMapFile, "COM1=" + (dir / "unplugged") + "\n");
        print_golden::SetCode(4, "D");
        PrinterCodes_Load();
    }
    void TearDown() override {
        Data_CloseAll(gData);
        RegisterTest::TearDown();
    }
    static std::string Journal(int k) { return JournalRecord(k); }
    // The opening asked for at a login; what reached the printer meanwhile.
    static std::string LoginPrinted() {
        PrinterCapture printer;
        Login_OpeningBalance();
        return printer.bytes;
    }
    TestDir dir;
};

TEST_F(OpeningTest, FirstLoginOfTheDayAsksForTheAmountAndOpensTheDrawer) {
    EXPECT_EQ(LoginPrinted(), "D\r\n");  // the drawer kick
    EXPECT_EQ(gReg.gPromptState, PromptState::OpeningAmount);
    EXPECT_EQ(screen.Text(kMessageLine), "Enter Drawer's Opening Amount & Select Enter");
    gSettings.gDrawerAtOpening = false;
    EXPECT_EQ(LoginPrinted(), "");
    EXPECT_EQ(gReg.gPromptState, PromptState::OpeningAmount);
}

TEST_F(OpeningTest, SavedOpeningIsAnORecordOfTheBusinessDay) {
    gReg.gEnteredAmount = *Money::Parse("150.5");
    ASSERT_TRUE(OpeningAmount_Save());
    EXPECT_EQ(Journal(2), "202612091030O0" + std::string(8, ' ') + "17      " + "150.5    " + std::string(9, ' '));
    EXPECT_EQ(Journal(1), "2" + std::string(40, ' '));  // the journal's header: the count and 40 blanks
    // a second login the same day starts the sale at once
    gReg.gPromptState = PromptState::Login;
    EXPECT_EQ(LoginPrinted(), "");  // the drawer stays shut
    EXPECT_EQ(gReg.gPromptState, PromptState::None);
    // the next day asks again
    gReg.gBusinessDate = "20261210";
    EXPECT_EQ(LoginPrinted(), "D\r\n");
    EXPECT_EQ(gReg.gPromptState, PromptState::OpeningAmount);
}

TEST_F(OpeningTest, ZeroOpeningSettingSavesZeroAndStartsTheSale) {
    gSettings.gZeroOpening = true;
    gReg.gEnteredAmount = *Money::Parse("99");
    EXPECT_EQ(LoginPrinted(), "");  // the drawer stays shut
    EXPECT_EQ(Journal(2).substr(12, 2), "O0");
    EXPECT_EQ(Journal(2).substr(30, 9), "0        ");
    EXPECT_EQ(gReg.gPromptState, PromptState::None);
}

TEST_F(OpeningTest, ZeroOpeningTheJournalCannotTakeAsksForTheOpeningInstead) {
    gSettings.gZeroOpening = true;
    Open_FileActivity();
    gData.activity.Close();
    {
        FileSizeLimit full(std::filesystem::file_size(gConstants.paths.gDataPath + ".ACT"));
        Login_OpeningBalance();
    }
    EXPECT_EQ(screen.Text(kMessageLine), "Error: Activity Journal Not Written - See Log");
    EXPECT_EQ(gReg.gPromptState, PromptState::OpeningAmount);
    EXPECT_EQ(JournalCount(), 1);
}

// Setting 168 as the login reads it: "1" opens the drawer when the opening
// amount is asked, any other value keeps it shut; without the line it opens.
class DrawerAtOpeningTest : public OpeningTest {};

TEST_F(DrawerAtOpeningTest, Setting168OneOpensTheDrawerAtTheOpeningAmount) {
    struct Case {
        const char* line;  // the settings line, "" for none
        bool opens;
    } cases[] = {{"168 1", true}, {"168 0", false}, {"", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Settings read;
        std::string detail;
        if (*c.line) {
            ASSERT_TRUE(Setup_ApplyLine(read, c.line, detail));
        }
        gSettings.gDrawerAtOpening = read.gDrawerAtOpening;
        PrinterCapture capture;
        Login_OpeningBalance();
        // The drawer's kick is what reaches the printer, or nothing at all.
        EXPECT_EQ(!capture.bytes.empty(), c.opens) << capture.bytes;
        EXPECT_EQ(screen.Text(kMessageLine), "Enter Drawer's Opening Amount & Select Enter");
    }
}

}  // namespace
}  // namespace tarvo
