#include "register/print_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "page_fixture.h"
#include "print/labels.h"
#include "sale/sale_save.h"

namespace tarvo {
namespace {

constexpr int kPrint = 12;
using Calls = std::vector<std::string>;

class PrintPageTest : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        gReport = ReportState{};
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
        {1, "Report_TimeAttendance 20261209"}, {2, "Report_Sales(3) 20261209"},  {3, "Report_Sales(2) 20261209"},
        {4, "Report_Sales(1) 20261209"},       {5, "Report_Drawer(1) 20261209"}, {8, "Report_Collection 20261209"},
    };
    struct Outcome {
        PrinterType type;
        std::int16_t status;
        const char* message;
    };
    const Outcome outcomes[] = {{PrinterType::Com1, 0, "Printing Completed"},
                                {PrinterType::Com1, 1, "Printer Error, Unable to Print"},
                                {PrinterType::Off, 0, "Printer is Deactivated Through Setting"}};
    for (const Outcome& o : outcomes)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.key) + " type " + std::to_string(static_cast<int>(o.type)) + " status " +
                         std::to_string(o.status));
            svc.calls.clear();
            gSettings.gPrinterType = o.type;
            svc.printStatus = o.status;
            Press(kPrint, c.key);
            EXPECT_EQ(svc.Reports(), Calls{c.report});
            EXPECT_EQ(MessageLine(), o.message);
        }
}

TEST_F(PrintPageTest, ReportsRefuseMidSale) {
    AddLine("100", 1, Money::FromUnits(2));
    for (int key : {1, 2, 3, 4, 5, 8}) {
        SCOPED_TRACE(key);
        Press(kPrint, key);
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
        {3, "20260105", "Report_Sales(2) 20260105"},
        {4, "20240229", "Report_Sales(1) 20240229"},
        {8, "20261130", "Report_Collection 20261130"},
        {3, "20250229", nullptr},
        {4, "2026010", nullptr},
        {8, "yesterday", nullptr},
        // Keys without a date of their own keep the business date.
        {2, "20260105", "Report_Sales(3) 20261209"},
        {5, "20260105", "Report_Drawer(1) 20261209"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " " + c.typed);
        svc.calls.clear();
        Press(kPrint, c.key, c.typed);
        if (c.report) {
            EXPECT_EQ(svc.Reports(), Calls{c.report});
            EXPECT_EQ(MessageLine(), "Printing Completed");
        } else {
            EXPECT_EQ(svc.calls, Calls{});
            EXPECT_EQ(MessageLine(), "Format for Date Entry = YYYYMMDD");
        }
        // No date is left for a report that follows.
        svc.calls.clear();
        Press(kPrint, 8);
        EXPECT_EQ(svc.Reports(), Calls{"Report_Collection 20261209"});
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
        const char* report;  // nullptr: none
    };
    const Case cases[] = {
        {3, &gSettings.gPrintOption530, "", "Manager Authorization Required", nullptr},
        {3, &gSettings.gPrintOption530, "999", "Invalid Manager Authorization Code", nullptr},
        {3, &gSettings.gPrintOption530, "555", "Printing Completed", "Report_Sales(2) 20261209"},
        {2, &gSettings.gPrintOption535, "555", "Printing Completed", "Report_Sales(3) 20261209"},
        {1, &gSettings.gPrintOption540, "555", "Manager Not Allowed Access", nullptr},
        {4, &gSettings.gPrintOption540, "555", "Manager Not Allowed Access", nullptr},
        {5, &gSettings.gPrintOption540, "555", "Manager Not Allowed Access", nullptr},
        {8, &gSettings.gPrintOption540, "555", "Manager Not Allowed Access", nullptr},
        {1, &gSettings.gPrintOption540, "777", "Printing Completed", "Report_TimeAttendance 20261209"},
        {4, &gSettings.gPrintOption540, "777", "Printing Completed", "Report_Sales(1) 20261209"},
        {5, &gSettings.gPrintOption540, "777", "Printing Completed", "Report_Drawer(1) 20261209"},
        {8, &gSettings.gPrintOption540, "777", "Printing Completed", "Report_Collection 20261209"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " '" + c.typed + "'");
        gSettings.gPrintOption530 = gSettings.gPrintOption535 = gSettings.gPrintOption540 = "0";
        *c.setting = "1";
        svc.calls.clear();
        Press(kPrint, c.key, c.typed);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(svc.Reports(), c.report ? Calls{c.report} : Calls{});
    }
}

TEST_F(PrintPageTest, CollectionOnTheManagerPathNeverTakesAStaleDate) {
    AddManager("777", "111111111");
    gSettings.gPrintOption540 = "1";
    ReportDate_Set("20250101");  // left by something that did not print
    Press(kPrint, 8, "777");
    EXPECT_EQ(svc.Reports(), Calls{"Report_Collection 20261209"});
}

TEST_F(PrintPageTest, CashCountBeforeTheCashierAndClosingReports) {
    AddManager("777", "111111111");
    struct Case {
        int key;
        std::string* setting;  // nullptr: no manager setting
        bool countOpens;
        Calls calls;
        bool registerShown;
    };
    const Case cases[] = {
        {2, nullptr, true, {"CashCount_Open"}, false},
        {4, nullptr, true, {"CashCount_Open"}, false},
        // Without the form the report prints at once.
        {2, nullptr, false, {"CashCount_Open", "Report_Sales(3) 20261209"}, true},
        {4, &gSettings.gPrintOption540, true, {"CashCount_Open"}, false},
        // The cashier report on the manager path prints at once.
        {2, &gSettings.gPrintOption535, true, {"Report_Sales(3) 20261209"}, true},
    };
    gSettings.gCountBeforeCashierReport = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + (c.setting ? " manager" : ""));
        gSettings.gPrintOption535 = gSettings.gPrintOption540 = "0";
        if (c.setting) *c.setting = "1";
        svc.calls.clear();
        svc.cashCountOpens = c.countOpens;
        screen.SetVisible(kRegisterWindow, true);
        Press(kPrint, c.key, c.setting ? "777" : "");
        EXPECT_EQ(svc.calls, c.calls);
        EXPECT_EQ(screen.Visible(kRegisterWindow), c.registerShown);
        if (c.registerShown) {
            EXPECT_EQ(MessageLine(), "Printing Completed");
        }
    }
}

// ---- reprints ------------------------------------------------------------------------------

TEST_F(PrintPageTest, ReceiptReprintOfTheLastOrATypedNumber) {
    Invoices();
    struct Case {
        int key;
        const char* typed;
        const char* call;  // nullptr: refused with "Not Found"
    };
    const Case cases[] = {
        {13, "", "Receipt_Print(4 duplicate)"},
        {9, "", "Receipt_Print(4 duplicate gift)"},
        {13, "3", "Receipt_Print(3 duplicate)"},
        {9, " 2 ", "Receipt_Print(2 duplicate gift)"},
        {13, "0000003", "Receipt_Print(3 duplicate)"},
        {13, "9", nullptr},
        {13, "00000003", nullptr},  // eight digits: not cut down to 0000003
        {13, "10000003", nullptr},
        {9, "3x", nullptr},
        {13, "-3", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " '" + c.typed + "'");
        svc.calls.clear();
        gSaleSave = SaleSaveState{};
        Press(kPrint, c.key, c.typed);
        EXPECT_EQ(svc.calls, c.call ? Calls{c.call} : Calls{});
        EXPECT_EQ(MessageLine(), c.call ? "Printing Completed" : "Not Found");
        EXPECT_FALSE(gData.invoices.IsOpen());
    }
    svc.printStatus = 2;
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
    EXPECT_TRUE(svc.printToScreenAtReport);
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
