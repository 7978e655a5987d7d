#include "register/print_page.h"
#include "register/count_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "office/cash_count.h"
#include "page_fixture.h"
#include "print/labels.h"
#include "sale/sale_save.h"

namespace tarvo {
namespace {

constexpr KeyPage kPrint = KeyPage::Print;
using Calls = std::vector<std::string>;

class PrintPageTest : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        gReport = ReportState{};
    }
    void TearDown() override {
        CashCount_SetView(nullptr);
        PageTest::TearDown();
    }

    // The report a printout holds, as its title and the date it shows
    // ("CASHIER REPORT of 9/December/2026"); "" when it holds none.
    static std::string ReportPrinted(const std::string& bytes) {
        static const char* const kTitles[] = {"TIME/ATTENDANCE", "CASHIER REPORT", "SALES REPORT",
                                              "CLOSING REPORT",  "DRAWER REPORT",  "COLLECTION SUMMARY"};
        std::string title, date;
        std::size_t at = 0;
        while (at < bytes.size()) {
            std::size_t end = bytes.find("\r\n", at);
            if (end == std::string::npos) end = bytes.size();
            const std::string line = bytes.substr(at, end - at);
            at = end + 2;
            for (const char* t : kTitles)
                if (title.empty() && line == t) title = line;
            if (date.empty() && line.rfind("Date:     ", 0) == 0) date = line.substr(10);
        }
        return title.empty() ? "" : title + " of " + date;
    }
    // Presses a key of the Print page with what reaches the printer caught;
    // the report it printed.
    std::string PressForReport(int key, const std::string& typed = "") {
        PrinterCapture capture;
        Press(kPrint, key, typed);
        return ReportPrinted(capture.bytes);
    }
    // The invoices 2..4 of the terminal.
    void Invoices() {
        Open_FileInvoice();
        AddDocuments(gData.invoices, gData.gLastInvoiceRecord, 150, 130, 9, "111");
        Data_CloseAll(gData);
    }
};

TEST(DocumentNumberTest, OneToSevenDigitsZeroFilled) {
    struct Case {
        const char* typed;
        const char* number;  // nullptr: refused
    };
    const Case cases[] = {
        {"3", "0000003"},      {" 42 ", "0000042"},   {"1234567", "1234567"}, {"0000003", "0000003"},
        {"12345678", nullptr}, {"00000003", nullptr}, {"3a", nullptr},        {"-3", nullptr},
        {"3 4", nullptr},      {"", nullptr},         {"  ", nullptr},        {"3.0", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const auto n = DocumentNumber_Check(c.typed);
        ASSERT_EQ(n.has_value(), c.number != nullptr);
        if (n) {
            EXPECT_EQ(*n, c.number);
        }
    }
}

TEST_F(PrintPageTest, KeysWithoutAnOperationDoNothing) {
    for (int key : {6, 7, 11, 12, 18, 19}) {
        SCOPED_TRACE(key);
        Press(kPrint, key, "3");
        EXPECT_EQ(svc.calls, Calls{});
        EXPECT_EQ(MessageLine(), "");
    }
}

// ---- reports -------------------------------------------------------------------------------

TEST_F(PrintPageTest, ReportsOfTheBusinessDayAndHowThePrintoutWent) {
    struct Case {
        int key;
        const char* report;
    };
    const Case cases[] = {
        {1, "TIME/ATTENDANCE of 9/December/2026"}, {2, "CASHIER REPORT of 9/December/2026"},
        {3, "SALES REPORT of 9/December/2026"},    {4, "CLOSING REPORT of 9/December/2026"},
        {5, "DRAWER REPORT of 9/December/2026"},   {8, "COLLECTION SUMMARY of 9/December/2026"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        // The printer takes the report.
        gSettings.gPrinterType = PrinterType::Com1;
        EXPECT_EQ(PressForReport(c.key), c.report);
        EXPECT_EQ(MessageLine(), "Printing Completed");
        // Its port cannot be opened (nothing plugged into COM1): nothing printed.
        Press(kPrint, c.key);
        EXPECT_EQ(MessageLine(), "Printer Error, Unable to Print");
        // Printing switched off.
        gSettings.gPrinterType = PrinterType::Off;
        EXPECT_EQ(PressForReport(c.key), "");
        EXPECT_EQ(MessageLine(), "Printer is Deactivated Through Setting");
    }
}

TEST_F(PrintPageTest, ReportsRefuseMidSale) {
    AddLine("100", 1, Money::FromUnits(2));
    for (int key : {1, 2, 3, 4, 5, 8}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(PressForReport(key), "");
        EXPECT_EQ(svc.calls, Calls{});
        EXPECT_EQ(MessageLine(), "Operation Not Allowed in Mid Sale");
    }
}

TEST_F(PrintPageTest, ATypedDateChoosesTheDayOfTheReport) {
    struct Case {
        int key;
        const char* typed;
        const char* report;  // nullptr: refused
    };
    const Case cases[] = {
        {3, "20260105", "SALES REPORT of 05/Jan/2026"},
        {4, "20240229", "CLOSING REPORT of 29/Feb/2024"},
        {8, "20261130", "COLLECTION SUMMARY of 30/Nov/2026"},
        {3, "20250229", nullptr},
        {4, "2026010", nullptr},
        {8, "yesterday", nullptr},
        // Keys without a date of their own keep the business date.
        {2, "20260105", "CASHIER REPORT of 9/December/2026"},
        {5, "20260105", "DRAWER REPORT of 9/December/2026"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " " + c.typed);
        const std::string printed = PressForReport(c.key, c.typed);
        if (c.report) {
            EXPECT_EQ(printed, c.report);
            EXPECT_EQ(MessageLine(), "Printing Completed");
        } else {
            EXPECT_EQ(printed, "");
            EXPECT_EQ(MessageLine(), "Format for Date Entry = YYYYMMDD");
        }
        // No date is left for a report that follows.
        EXPECT_EQ(PressForReport(8), "COLLECTION SUMMARY of 9/December/2026");
    }
}

TEST_F(PrintPageTest, ReportSettingsAskForAManagerWithTheRight) {
    AddManager("555", "000000110");  // rights 7 and 8, not 9
    AddManager("777", "111111111");
    struct Case {
        int key;
        std::string* setting;
        const char* typed;
        const char* message;
        const char* report;  // "": none
    };
    const Case cases[] = {
        {3, &gSettings.gPrintOption530, "", "Manager Authorization Required", ""},
        {3, &gSettings.gPrintOption530, "999", "Invalid Manager Authorization Code", ""},
        {3, &gSettings.gPrintOption530, "555", "Printing Completed", "SALES REPORT of 9/December/2026"},
        {2, &gSettings.gPrintOption535, "555", "Printing Completed", "CASHIER REPORT of 9/December/2026"},
        {1, &gSettings.gPrintOption540, "555", "Manager Not Allowed Access", ""},
        {4, &gSettings.gPrintOption540, "555", "Manager Not Allowed Access", ""},
        {5, &gSettings.gPrintOption540, "555", "Manager Not Allowed Access", ""},
        {8, &gSettings.gPrintOption540, "555", "Manager Not Allowed Access", ""},
        {1, &gSettings.gPrintOption540, "777", "Printing Completed", "TIME/ATTENDANCE of 9/December/2026"},
        {4, &gSettings.gPrintOption540, "777", "Printing Completed", "CLOSING REPORT of 9/December/2026"},
        {5, &gSettings.gPrintOption540, "777", "Printing Completed", "DRAWER REPORT of 9/December/2026"},
        {8, &gSettings.gPrintOption540, "777", "Printing Completed", "COLLECTION SUMMARY of 9/December/2026"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " '" + c.typed + "'");
        gSettings.gPrintOption530 = gSettings.gPrintOption535 = gSettings.gPrintOption540 = "0";
        *c.setting = "1";
        EXPECT_EQ(PressForReport(c.key, c.typed), c.report);
        EXPECT_EQ(MessageLine(), c.message);
    }
}

TEST_F(PrintPageTest, CollectionOnTheManagerPathNeverTakesAStaleDate) {
    AddManager("777", "111111111");
    gSettings.gPrintOption540 = "1";
    ReportDate_Set("20250101");  // left by something that did not print
    EXPECT_EQ(PressForReport(8, "777"), "COLLECTION SUMMARY of 9/December/2026");
}

TEST_F(PrintPageTest, CashCountBeforeTheCashierAndClosingReports) {
    AddManager("777", "111111111");
    struct Case {
        int key;
        std::string* setting;  // nullptr: no manager setting
        bool countWindow;      // the program has a cash count window
        bool counted;          // the count form came up
        const char* report;    // "": nothing printed yet
    };
    const Case cases[] = {
        {2, nullptr, true, true, ""},
        {4, nullptr, true, true, ""},
        // Without the form the report prints at once.
        {2, nullptr, false, false, "CASHIER REPORT of 9/December/2026"},
        {4, &gSettings.gPrintOption540, true, true, ""},
        // The cashier report on the manager path prints at once.
        {2, &gSettings.gPrintOption535, true, false, "CASHIER REPORT of 9/December/2026"},
    };
    gSettings.gCountBeforeCashierReport = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + (c.setting ? " manager" : "") + (c.countWindow ? "" : " no window"));
        gSettings.gPrintOption535 = gSettings.gPrintOption540 = "0";
        if (c.setting) *c.setting = "1";
        CountWindow count;
        CashCount_SetView(c.countWindow ? &count : nullptr);
        screen.SetVisible(kRegisterWindow, true);
        screen.SetText(kMessageLine, "");
        EXPECT_EQ(PressForReport(c.key, c.setting ? "777" : ""), c.report);
        EXPECT_EQ(count.shown, c.counted);
        // The count form takes the register window's place.
        EXPECT_EQ(screen.Visible(kRegisterWindow), !c.counted);
        EXPECT_EQ(MessageLine(), c.counted ? "" : "Printing Completed");
        CashCount_SetView(nullptr);
    }
}

// ---- reprints ------------------------------------------------------------------------------

TEST_F(PrintPageTest, ReceiptReprintOfTheLastOrATypedNumber) {
    Invoices();
    gSettings.gPrinterType = PrinterType::Off;  // the receipt prints nothing: the record chosen tells
    struct Case {
        int key;
        const char* typed;
        std::int32_t record;  // 0: refused with "Not Found"
        bool gift;
    };
    // Eight digits are refused, not cut down to 0000003.
    const Case cases[] = {
        {13, "", 4, false},        {9, "", 4, true},     {13, "3", 3, false},        {9, " 2 ", 2, true},
        {13, "0000003", 3, false}, {13, "9", 0, false},  {13, "00000003", 0, false}, {13, "10000003", 0, false},
        {9, "3x", 0, false},       {13, "-3", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " '" + c.typed + "'");
        svc.calls.clear();
        gSaleSave = SaleSaveState{};
        Press(kPrint, c.key, c.typed);
        EXPECT_EQ(gSaleSave.gPrintRecordNo, c.record);
        EXPECT_EQ(gSaleSave.gReceiptDuplicate, c.record != 0);  // a reprint is marked a duplicate
        EXPECT_EQ(gSaleSave.gGiftReceipt, c.gift);
        EXPECT_EQ(MessageLine(), c.record ? "Printer is Deactivated Through Setting" : "Not Found");
        EXPECT_TRUE(svc.calls.empty());
        EXPECT_FALSE(gData.invoices.IsOpen());
    }
    // A printer that does not answer says so.
    gSettings.gPrinterType = PrinterType::Com1;
    Press(kPrint, 13);
    EXPECT_EQ(MessageLine(), "Printer Error, Unable to Print");
}

TEST_F(PrintPageTest, OrderPurchaseAndAdjustmentReprintsPickTheirDocument) {
    Open_FileOrder();
    AddDocuments(gData.orders, gData.gLastOrderRecord, 252, 230, 9, "111");
    Open_Filepurchase();
    AddDocuments(gData.purchases, gData.gLastPurchaseRecord, 300, 280, 9, "11");
    Open_Fileadjustment();
    AddDocuments(gData.adjustments, gData.gLastAdjustmentRecord, 90, 80, 9, "1111");
    Data_CloseAll(gData);
    gSettings.gPrinterType = PrinterType::Off;  // the documents print nothing: the record chosen tells
    struct Case {
        int key;
        const char* typed;
        std::int32_t record;  // 0: "Not Found"
        bool duplicate;
    };
    const Case cases[] = {
        {14, "", 4, true},          {14, "2", 2, true}, {14, "  3", 3, true}, {14, "5", 0, false},
        {14, "00000002", 0, false}, {15, "", 3, false}, {15, "2", 2, false},  {15, "4", 0, false},
        {15, "2b", 0, false},       {10, "", 5, false}, {10, "2", 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " '" + c.typed + "'");
        gSaleSave = SaleSaveState{};
        Press(kPrint, c.key, c.typed);
        EXPECT_EQ(gSaleSave.gPrintRecordNo, c.record);
        EXPECT_EQ(gSaleSave.gReceiptDuplicate, c.duplicate);
        EXPECT_EQ(MessageLine(), c.record ? "Printer is Deactivated Through Setting" : "Not Found");
        EXPECT_FALSE(gData.orders.IsOpen());
        EXPECT_FALSE(gData.purchases.IsOpen());
        EXPECT_FALSE(gData.adjustments.IsOpen());
    }
}

TEST_F(PrintPageTest, ReprintsWithoutADocumentSayNotFound) {
    // Empty order, purchase and adjustment files; no invoices.
    for (int key : {9, 13, 14, 15, 10}) {
        for (const char* typed : {"", "5", "12345678"}) {
            if (key == 10 && *typed) continue;  // always the last adjustment
            SCOPED_TRACE(std::to_string(key) + " '" + typed + "'");
            svc.calls.clear();
            Press(kPrint, key, typed);
            EXPECT_EQ(svc.calls, Calls{});
            EXPECT_EQ(MessageLine(), "Not Found");
        }
    }
}

TEST_F(PrintPageTest, ReprintsAndSheetsRefuseMidSale) {
    Invoices();
    AddLine("100", 1, Money::FromUnits(2));
    for (int key : {9, 10, 13, 14, 15, 20, 21, 22}) {
        SCOPED_TRACE(key);
        svc.calls.clear();
        Press(kPrint, key);
        EXPECT_EQ(svc.calls, Calls{});
        EXPECT_EQ(MessageLine(), "Invalid Entry");
    }
}

TEST_F(PrintPageTest, SheetsOfUnknownClientsAndProductsSayNotFound) {
    Products({"100", "200"});
    struct Case {
        int key;
        const char* typed;
    };
    for (const Case& c : {Case{21, ""}, Case{21, "C999"}, Case{22, ""}, Case{22, "999"}}) {
        SCOPED_TRACE(std::to_string(c.key) + " '" + c.typed + "'");
        svc.calls.clear();
        gReg.gTimedMessage.clear();
        Press(kPrint, c.key, c.typed);
        EXPECT_EQ(MessageLine(), "Not Found");
        EXPECT_EQ(svc.calls, Calls{});
        EXPECT_EQ(gReg.gTimedMessage, c.key == 22 && *c.typed ? "Not Found" : "");
    }
}

TEST_F(PrintPageTest, ProductSheetOfAProductOfTheFile) {
    Products({"100", "200"});
    gSettings.gPrinterType = PrinterType::Screen;  // the on-screen printout panel
    Press(kPrint, 22, "200");
    EXPECT_EQ(MessageLine(), "Printing Completed");
    EXPECT_NE(screen.Text(ControlId{Control::Txt_Printer, 0}).find("Description"), std::string::npos);
}

TEST_F(PrintPageTest, AClientSheetLeavesTheClientOfTheSaleAsItWas) {
    // Client N7 entered at this register (the new-client file's record 2,
    // framed by its length as the register writes it).
    auto framed = [](std::string_view text) {
        std::string r(500, ' ');
        r[0] = static_cast<char>(text.size() & 0xFF);
        r[1] = static_cast<char>(text.size() >> 8);
        return r.replace(2, text.size(), text);
    };
    dir.Write("Data/1234567.NWC", framed("2       ") + framed("  N7      Seven"));
    // The sale holds client 1001 of the client file, attached before its
    // first line; the cashier prints N7's sheet, then rings the sale up.
    gSettings.gPrinterType = PrinterType::Screen;  // the on-screen printout panel
    gData.gClientRecNo = 1;
    gData.gNewClientRecNo = 0;
    gSale.gClientCode = "1001";
    Press(kPrint, 21, "N7");
    EXPECT_EQ(MessageLine(), "Printing Completed");
    AddLine("100", 1, Money::FromUnits(2));

    // The sale as it is saved still names client 1001, not N7.
    std::string problem;
    const std::optional<SaleRecords> records = SaleRecords_Build(2, LocalTime{2026, 12, 9, 10, 30}, problem);
    ASSERT_TRUE(records) << problem;
    EXPECT_EQ(records->header.substr(39, 8), "1001    ");
}

// ---- labels, the screen, the subtotal --------------------------------------------------------

TEST_F(PrintPageTest, LabelsNeedAnEntryOrASaleAndTellHowThePrinterWent) {
    Press(kPrint, 16);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_EQ(svc.calls, Calls{});

    gLabel = LabelState{};
    gLabel.LabelTemplate[1][0] = "<";  // 1INT
    gLabel.LabelTemplate[1][1] = ">";  // 2INT
    gSettings.gPrinterType = PrinterType::Off;
    Press(kPrint, 16, "1");
    EXPECT_EQ(MessageLine(), "Printer is Deactivated Through Setting");

    gSettings.gPrinterType = PrinterType::Com1;
    {
        PrinterCapture capture;
        gPrint.gPrintStatus = 2;  // an earlier printout's failure is not this one's
        Press(kPrint, 16, "1");
        EXPECT_EQ(MessageLine(), "");
        EXPECT_NE(capture.bytes.find('<'), std::string::npos);
    }
}

TEST_F(PrintPageTest, DisplayOnScreenSendsTheNextReportToTheScreen) {
    Press(kPrint, 17);
    EXPECT_EQ(MessageLine(), "Printout Will Be Displayed Onscreen");
    EXPECT_TRUE(gPrint.gPrintToScreen);
    Press(kPrint, 3);
    // The report is on the screen's printout panel, not on the printer.
    EXPECT_NE(screen.Text(ControlId{Control::Txt_Printer, 0}).find("SALES REPORT"), std::string::npos)
        << screen.Text(ControlId{Control::Txt_Printer, 0});
    EXPECT_EQ(MessageLine(), "Printing Completed");
    // Also in the middle of a sale.
    gPrint.gPrintToScreen = false;
    AddLine("100", 1, Money::FromUnits(2));
    Press(kPrint, 17);
    EXPECT_TRUE(gPrint.gPrintToScreen);
}

TEST_F(PrintPageTest, PrintScreenNeedsASaleAndAPrinter) {
    Press(kPrint, 23);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_EQ(svc.calls, Calls{});

    AddLine("100", 1, Money::FromUnits(2));
    struct Case {
        PrinterType type;
        bool opens;
        const char* message;
        bool printed;
    };
    const Case cases[] = {
        {PrinterType::Com1, true, "Printing Completed", true},
        {PrinterType::Com1, false, "Printer Error, Unable to Print", false},
        {PrinterType::Off, true, "Printer is Deactivated Through Setting", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.type)) + (c.opens ? " opens" : " fails"));
        svc.printed.clear();
        gSettings.gPrinterType = c.type;
        svc.printerOpens = c.opens;
        Press(kPrint, 23);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(!svc.printed.empty(), c.printed);
    }
}

TEST_F(PrintPageTest, SubtotalBecomesTheNoteOfTheLastLine) {
    Press(kPrint, 24);
    EXPECT_EQ(MessageLine(), "Invalid Entry");

    AddLine("100", 1, Money::FromUnits(2));
    AddLine("200", 3, Money::FromUnits(500));
    gSale.gTotal = Money::FromUnits(1234) + Money::FromRaw(5000);
    Press(kPrint, 24);
    EXPECT_EQ(gSale.gLines[2].note, "Sub Total: $1,234.50");
    EXPECT_TRUE(gSale.gLines[2].hasNote);
    EXPECT_FALSE(gSale.gLines[1].hasNote);
    // The totals are worked out again from the lines and shown.
    EXPECT_EQ(gSale.gTotal, Money::FromUnits(1502));
    EXPECT_EQ(screen.Text(kSaleTotalCell), "$1,502.00");
    EXPECT_EQ(MessageLine(), "Printing Completed");
}

}  // namespace
}  // namespace tarvo
