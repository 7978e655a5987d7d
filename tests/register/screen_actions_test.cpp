#include "register/screen_actions.h"
#include "register/count_window.h"
#include "screen/controls.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/line_reader.h"
#include "config/constants.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "office/cash_count.h"
#include "office/report_state.h"
#include "print/devices.h"
#include "print/printer_output.h"
#include "register_fixture.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/receipt_area.h"
#include "test_dir.h"

namespace tarvo {
namespace {

const ControlId kMessageLine{Control::txtCIA, 0};
const ControlId kTotalCell{Control::Rt_Total, 0};

// The printer as far as these actions see them.
class FakeServices : public RegisterServices {
public:
    // printer: the texts sent, joined into printed lines
    void Printer_Open() override {
        ++opens;
        gPrint.gPrintStatus = openStatus;  // the printer's outcome, where the register reads it
    }
    void Printer_Line(int newLine, int code, const std::string& text) override {
        EXPECT_EQ(code, 0);
        current += text;
        if (newLine == 1) {
            printed.push_back(current);
            current.clear();
            if (static_cast<int>(printed.size()) == failAfterLines) gPrint.gPrintStatus = 1;
        }
    }
    void Printer_Close(bool closeHandle) override { closes.push_back(closeHandle); }
    std::int16_t PrintStatus() const override { return gPrint.gPrintStatus; }

    void OnlineProduct_Clear() override { ++onlineClears; }

    int opens = 0;
    std::int16_t openStatus = 0;
    int failAfterLines = -1;
    std::vector<std::string> printed;
    std::string current;
    std::vector<bool> closes;
    int onlineClears = 0;
};

class ScreenActionsTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        Data_Reset(gData);
        Reg().services = &fake;
        Reg().programFolder = dir.Path();
        MessageTimers_Connect();
        SetTerminalPaths(gConstants.paths, dir.Path(), "1234567");
        std::filesystem::create_directories(dir / "Data");
        std::filesystem::create_directories(dir / "Files");
        ProgramLog().Open(dir / "Files/1234567.LOG");
        gData.gClientRecNo = 1;  // the sale has its client, so products may be sold
    }
    void TearDown() override {
        CashCount_SetView(nullptr);
        Data_Reset(gData);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }

    // The product working file with these keys (sorted), key at column 12,
    // each at $2.00 (column 100).
    void Products(std::vector<std::string> keys) {
        ASSERT_TRUE(gData.products.Open(dir / "Data/1234567.PRD", 275, true));
        for (std::size_t i = 0; i < keys.size(); ++i) {
            std::string rec(273, ' ');
            rec.replace(11, keys[i].size(), keys[i]);
            rec.replace(99, 4, "2.00");
            ASSERT_TRUE(gData.products.Write(static_cast<std::int64_t>(i + 1), rec));
        }
        gData.gProductCount = static_cast<std::int32_t>(keys.size());
    }
    // A product entered at the register only (the new-product file).
    void NewProduct(const std::string& key) {
        WorkFile f;
        ASSERT_TRUE(f.Open(gConstants.paths.gDataPath + ".NWP", 300, true));
        ASSERT_TRUE(f.Write(1, "2       "));
        ASSERT_TRUE(f.Write(2, "  " + key));
    }
    void CodeFile(const std::string& text) { dir.Write("QZFile", text); }

    std::vector<std::pair<std::string, double>> Lines() const {
        std::vector<std::pair<std::string, double>> v;
        for (int i = 1; i <= gSale.gItemCount; ++i) v.emplace_back(gSale.gLines[i].key, gSale.gLines[i].quantity);
        return v;
    }
    std::string Log() const { return dir.Read("Files/1234567.LOG"); }

    FakeServices fake;
    TestDir dir;
};

// ---- File_Read --------------------------------------------------------------------

TEST_F(ScreenActionsTest, CodeFileLinesBecomeSaleLines) {
    Products({"1234", "5678"});
    NewProduct("7777");
    struct Case {
        const char* line;
        bool added;
        double quantity;
    } cases[] = {
        {"x,1234,3,", true, 3},
        {"1234,3", false, 0},    // two fields only
        {"x,1234,3", false, 0},  // no comma after the quantity
        {"x,1234,0,", false, 0},
        {"x,1234,-2,", false, 0},
        {"x,1234,2.6,", true, 3},  // rounded to a whole number
        {"x,5678,1,anything,after", true, 1},
        {",5678,12,", true, 12},
        {"x,9999,1,", false, 0},  // no such product
        {"x,7777,1,", false, 0},  // only among the new products: no record to read
        {"x,1234,abc,", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        gSale = SaleState{};
        CodeFile(std::string(c.line) + "\r\n");
        File_Read();
        if (c.added) {
            ASSERT_EQ(gSale.gItemCount, 1) << c.line;
            EXPECT_EQ(gSale.gLines[1].quantity, c.quantity) << c.line;
        } else {
            EXPECT_EQ(gSale.gItemCount, 0) << c.line;
        }
    }
}

TEST_F(ScreenActionsTest, CodeFileIsReadToTheEndThenTotalledAndShown) {
    Products({"1234", "5678"});
    CodeFile("a,1234,2,\r\nbad line\r\nb,5678,4,\nc,1234,1,");
    gReg.gMessageCounter = 0;
    CIATime("Reading", 0);
    File_Read();
    EXPECT_EQ(Lines(), (std::vector<std::pair<std::string, double>>{{"1234", 2}, {"5678", 4}, {"1234", 1}}));
    EXPECT_EQ(screen.Text(kTotalCell), "$14.00");  // 7 at $2.00, totalled once the file is read
    EXPECT_EQ(screen.Text({Control::Rt_Number, 3}), "3");
    EXPECT_EQ(screen.Text({Control::Rt_Quantity, 2}), "4");
    EXPECT_EQ(screen.Text(kMessageLine), "");
    EXPECT_EQ(gSale.gLineKind, "P");
}

TEST_F(ScreenActionsTest, EmptyCodeFileOnlyRepaintsTheReceipt) {
    gSale.gItemCount = 1;
    gSale.gLines[1].description = "Already here";
    CodeFile("");
    File_Read();
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(screen.Text({Control::Rt_Description, 1}), "Already here");
}

TEST_F(ScreenActionsTest, QuantityThatDoesNotFitIsSkippedAndLogged) {
    Products({"1234"});
    CodeFile("x,1234,40000,\r\nx,1234,-40000,\r\nx,1234,32767,\r\n");
    File_Read();
    EXPECT_EQ(Lines(), (std::vector<std::pair<std::string, double>>{{"1234", 32767}}));
    std::string log = Log();
    EXPECT_NE(log.find("QZFile line 1 skipped, quantity does not fit: x,1234,40000,"), std::string::npos);
    EXPECT_NE(log.find("QZFile line 2 skipped, quantity does not fit: x,1234,-40000,"), std::string::npos);
    EXPECT_EQ(SplitLines(log).size(), 2u);
}

TEST_F(ScreenActionsTest, LineTheSaleEngineRefusesLeavesTheLastLineAlone) {
    Products({"1234"});
    // A sale of 400 lines takes no more.
    gSale.gItemCount = 400;
    gSale.gLines[400].key = "earlier";
    gSale.gLines[400].quantity = 1;
    CodeFile("x,1234,5,\r\n");
    File_Read();
    EXPECT_EQ(gSale.gItemCount, 400);
    EXPECT_EQ(gSale.gLines[400].key, "earlier");
    EXPECT_EQ(gSale.gLines[400].quantity, 1);
}

TEST_F(ScreenActionsTest, MissingOrUnreadableCodeFileIsReported) {
    const std::string expected = dir.Path() + "/QZFile Not Found";
    screen.SetText(kTotalCell, "before");
    // missing
    File_Read();
    EXPECT_EQ(screen.Text(kMessageLine), expected);
    EXPECT_EQ(timers.Interval(TimerId::CIA), 3000);
    EXPECT_EQ(screen.Text(kTotalCell), "before");  // nothing totalled
    // a folder in its place: opens, cannot be read
    std::filesystem::create_directories(dir / "QZFile");
    CIATime("", 0);
    File_Read();
    EXPECT_EQ(screen.Text(kMessageLine), expected);
    EXPECT_EQ(screen.Text(kTotalCell), "before");  // nothing totalled
    EXPECT_EQ(gSale.gItemCount, 0);
}

// ---- Count_Cash ----------------------------------------------------------------------

TEST_F(ScreenActionsTest, CashCountHidesTheRegisterUntilTheReportIsPrinted) {
    CountWindow window;
    CashCount_SetView(&window);
    dir.Write(kDeviceMapFile, "COM1=" + (dir / "unplugged") + "\n");
    gReg.gBusinessDate = "20261209";
    gSale.gDateText = "09/Dec/2026";
    struct Case {
        PrinterType printerType;
        bool printerAnswers;  // else its port cannot be opened (nothing plugged into COM1)
        const char* message;
    } cases[] = {{PrinterType::Com1, true, "Printing Completed"},
                 {PrinterType::Com1, false, "Printer Error, Unable to Print"},
                 // Printing switched off: nothing was printed, and the cashier is told why.
                 {PrinterType::Off, false, "Printer is Deactivated Through Setting"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        gSettings.gPrinterType = c.printerType;
        Report_Prepare(ReportKind::Cashier);
        std::optional<PrinterCapture> printer;
        if (c.printerAnswers) printer.emplace();
        window.shown = false;
        Count_Cash();
        EXPECT_TRUE(window.shown);
        EXPECT_FALSE(screen.Visible(kRegisterForm));
        if (printer) {
            EXPECT_EQ(printer->bytes.find("CASHIER REPORT"), std::string::npos);  // not yet
        }
        Count_Cash_Resume();
        EXPECT_TRUE(screen.Visible(kRegisterForm));
        if (printer) {
            EXPECT_NE(printer->bytes.find("CASHIER REPORT\r\n"), std::string::npos) << printer->bytes;
            EXPECT_NE(printer->bytes.find("Date:     09/Dec/2026\r\n"), std::string::npos) << printer->bytes;
        }
        EXPECT_EQ(screen.Text(kMessageLine), c.message);
        EXPECT_EQ(timers.Interval(TimerId::CIA), 5000);
    }
}

TEST_F(ScreenActionsTest, WithoutACountFormTheReportIsPrintedAtOnce) {
    gSettings.gPrinterType = PrinterType::Com1;
    gReg.gBusinessDate = "20261209";
    gSale.gDateText = "09/Dec/2026";
    Report_Prepare(ReportKind::Cashier);
    PrinterCapture printer;
    Count_Cash();
    EXPECT_TRUE(screen.Visible(kRegisterForm));
    EXPECT_NE(printer.bytes.find("CASHIER REPORT\r\n"), std::string::npos) << printer.bytes;
    EXPECT_EQ(screen.Text(kMessageLine), "Printing Completed");
}

// ---- Print_Screen ----------------------------------------------------------------------

class PrintScreenTest : public ScreenActionsTest {
protected:
    void SetUp() override {
        ScreenActionsTest::SetUp();
        gSettings.gPrinterType = PrinterType::Lpt1;
        gTerminalNumber = "1234567";
        clock.Set(LocalTime{2026, 12, 9, 7, 5, 0});
        gData.CashierTable.push_back(CashierRow{"0001", "11", "Marie", 1});
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
    }
    int Add(const std::string& key, double quantity, const char* price, const std::string& description) {
        int i = ++gSale.gItemCount;
        gSale.gLines[i].key = key;
        gSale.gLines[i].quantity = quantity;
        gSale.gLines[i].unitPrice = *Money::Parse(price);
        gSale.gLines[i].description = description;
        return i;
    }
};

TEST_F(PrintScreenTest, PrintsHeaderLinesAndFourEmptyLines) {
    int i = Add("1234", 3, "5", "Milk 2L");
    gSale.gLines[i].hasNote = true;
    gSale.gLines[i].note = "bring back the crate";
    Add("ABCDEFGHIJKLMNOPQRSTU", 12, "1234.56", std::string(45, 'D'));
    Print_Screen();
    std::vector<std::string> expected{
        "Time:     07:05",
        "Terminal: 1234567",
        "Cashier:  Marie",
        "",
        "1    1234            3$5.00",
        "Milk 2L" + std::string(32, ' '),
        "bring back the crate",
        "2    ABCDEFGHIJKLMNOP121,234.56",
        std::string(39, 'D'),
        "",
        "",
        "",
        "",
    };
    EXPECT_EQ(fake.printed, expected);
    EXPECT_EQ(fake.current, "");
    EXPECT_EQ(fake.closes, std::vector<bool>{true});
}

TEST_F(PrintScreenTest, PriceKeepsItsDigitsAndSign) {
    struct Case {
        const char* price;
        const char* printed;
    } cases[] = {
        {"5", "$5.00"},
        {"0.5", "$.50"},
        {"1234.56", "1,234.56"},     // the dollar sign gives way
        {"12345.67", "$12,345.67"},  // a digit would be lost: printed whole
        {"-1234.56", "-$1,234.56"},  // the sign would be lost: printed whole
        {"-5", "-$5.00"},
    };
    for (const Case& c : cases) {
        gSale = SaleState{};
        fake.printed.clear();
        Add("1", 1, c.price, "x");
        Print_Screen();
        ASSERT_GE(fake.printed.size(), 5u);
        const std::string& line = fake.printed[4];
        EXPECT_EQ(line.substr(std::string("1    ").size() + 16 + 1), c.printed) << c.price;
    }
}

TEST_F(PrintScreenTest, NothingIsPrintedWithPrintingOffOrAfterAnError) {
    Add("1", 1, "1", "x");
    Add("2", 1, "1", "y");
    struct Case {
        PrinterType printerType;
        std::int16_t openStatus;
        int failAfterLines;
        int opens;
        std::size_t lines;
        std::size_t closes;
    } cases[] = {
        {PrinterType::Off, 0, -1, 0, 0, 0},   // printing off
        {PrinterType::Lpt1, 1, -1, 1, 0, 0},  // the printer does not open
        {PrinterType::Lpt1, 0, 5, 1, 5, 0},   // fails at the first sale line: nothing further
        {PrinterType::Lpt1, 0, -1, 1, 12, 1},
    };
    for (const Case& c : cases) {
        fake = FakeServices{};
        gSettings.gPrinterType = c.printerType;
        fake.openStatus = c.openStatus;
        fake.failAfterLines = c.failAfterLines;
        Print_Screen();
        EXPECT_EQ(fake.opens, c.opens) << static_cast<int>(c.printerType) << c.openStatus << c.failAfterLines;
        EXPECT_EQ(fake.printed.size(), c.lines) << static_cast<int>(c.printerType) << c.openStatus << c.failAfterLines;
        EXPECT_EQ(fake.closes.size(), c.closes) << static_cast<int>(c.printerType) << c.openStatus << c.failAfterLines;
    }
    EXPECT_EQ(gSale.gItemCount, 2);
}

TEST_F(PrintScreenTest, NoCashierLineWithNobodyLoggedIn) {
    gReg.gCashierIndex = 0;
    gSettings.gLanguage = 2;
    Print_Screen();
    ASSERT_GE(fake.printed.size(), 3u);
    EXPECT_EQ(fake.printed[0], "Heure:    07:05");
    EXPECT_EQ(fake.printed[1], "Terminal: 1234567");
    EXPECT_EQ(fake.printed[2], "");
}

// ---- Mode_PriceChange_Activate ------------------------------------------------------------

TEST_F(ScreenActionsTest, PriceChangePanelStartsEmptyInStockCountMode) {
    Receipt_Show();
    for (Control label : {Control::Lbl_Phys_Code, Control::Lbl_Phys_Desc, Control::Lbl_Phys_Quantity})
        screen.SetCaption({label, 0}, "old");
    screen.SetText({Control::txtDEA, 0}, "12.99");
    Mode_PriceChange_Activate();
    EXPECT_TRUE(gSale.gStockCount);
    for (Control label : {Control::Lbl_Phys_Code, Control::Lbl_Phys_Desc, Control::Lbl_Phys_Quantity}) {
        EXPECT_TRUE(screen.Visible({label, 0})) << label;
        EXPECT_EQ(screen.Caption({label, 0}), "") << label;
    }
    EXPECT_FALSE(screen.Visible({Control::Rt_Description, 1}));
    EXPECT_FALSE(screen.Enabled({Control::Rt_Up, 0}));
    EXPECT_EQ(screen.Text({Control::txtDEA, 0}), "");
    EXPECT_EQ(fake.onlineClears, 1);
}

}  // namespace
}  // namespace tarvo
