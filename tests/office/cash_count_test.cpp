// The cash count form through a recording view: the summary filled from the
// journal, the number pad into quantity and summary boxes, the totals, ERASE,
// Enter, the count slip captured from the printer output and the report that
// follows it, and CANCEL.
#include "office/cash_count.h"

#include <string>
#include <vector>

#include "office/report_fixture.h"
#include "screen/controls.h"

namespace tarvo {
namespace {

class RecordingView : public CashCountView {
public:
    void CashCount_Show(CashCountForm& f) override {
        form = &f;
        calls.push_back("Show");
    }
    void CashCount_Update(const CashCountForm&) override { ++updates; }
    void CashCount_Hide() override { calls.push_back("Hide"); }
    CashCountForm* form = nullptr;
    std::vector<std::string> calls;
    int updates = 0;
};

// The register the form hands back to when it ends.
class CountServices : public RegisterServices {
public:
    void Count_Cash_Resume() override { calls.push_back("Count_Cash_Resume"); }
    std::vector<std::string> calls;
};

// Number pad keys by caption.
int Pad(const std::string& caption) {
    for (int k = 0; k < kCashNumberPadKeys; ++k)
        if (caption == CashCountCaptions::kNumberPad[static_cast<std::size_t>(k)]) return k;
    ADD_FAILURE() << "no key " << caption;
    return 0;
}

class CashCountTest : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        Reg().services = &services;
        CashCount_SetView(&view);
    }
    void TearDown() override {
        CashCount_SetView(nullptr);
        ReportTest::TearDown();
    }
    // The form loaded; what its drawer kick sent to the printer is kept.
    CashCountForm& Open() {
        PrinterCapture drawer;
        EXPECT_TRUE(CashCount_Open());
        drawerKick = drawer.bytes;
        EXPECT_NE(CashCount_Form(), nullptr);
        return *CashCount_Form();
    }
    void Keys(CashCountForm& f, const std::vector<std::string>& keys) {
        for (const std::string& k : keys) f.NumberPad_Click(Pad(k));
    }
    // The journal of the day: Ann (7) and Bob (8), and a record of another day.
    void Day() {
        Journal("20261209", "0800", 'O', "00000007", "100");
        Journal("20261209", "1000", 'D', "00000007", "50");
        Journal("20261209", "1100", 'B', "00000008", "25");
        Journal("20261209", "1200", 'P', "00000007", "12.5");
        Journal("20261209", "1300", 'C', "00000007", "-2");
        Journal("20261208", "1400", 'D', "00000007", "999");
    }

    RecordingView view;
    CountServices services;
    std::string drawerKick;
};

TEST_F(CashCountTest, WithoutAWindowNoFormOpens) {
    CashCount_SetView(nullptr);
    PrinterCapture printer;
    EXPECT_FALSE(CashCount_Open());
    EXPECT_EQ(printer.bytes, "");  // the drawer stays shut
    EXPECT_TRUE(services.calls.empty());
}

TEST_F(CashCountTest, LoadFillsTheSummaryFromTheJournalAndOpensTheDrawer) {
    Day();
    struct Case {
        std::int16_t mode;
        std::string deposits, opening, paidouts, overShort, total;
    };
    const Case cases[] = {
        {1, "$75.00", "$100.00", "$12.50", "-$2.00", "-$100.00"},  // every cashier
        {3, "$50.00", "$100.00", "$12.50", "-$2.00", "-$100.00"},  // Ann only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        services.calls.clear();
        view.calls.clear();
        Report_Prepare(static_cast<ReportKind>(c.mode));
        CashCountForm& f = Open();
        EXPECT_TRUE(f.IsLoaded());
        EXPECT_EQ(view.calls, std::vector<std::string>{"Show"});
        EXPECT_EQ(drawerKick, "D\r\n");  // the drawer opened for the count
        EXPECT_TRUE(services.calls.empty());
        EXPECT_EQ(f.SummaryText(kCashInDrawer), "");
        EXPECT_EQ(f.SummaryText(kOtherCollections), "");
        EXPECT_EQ(f.SummaryText(kTotalDeposits), c.deposits);
        EXPECT_EQ(f.SummaryText(kOpeningClosing), c.opening);
        EXPECT_EQ(f.SummaryText(kPaidouts), c.paidouts);
        EXPECT_EQ(f.SummaryText(kOverShort), c.overShort);
        EXPECT_EQ(f.TotalText(), c.total);
        for (int i = 0; i < kCashDenominations; ++i) EXPECT_EQ(f.QuantityText(i), "");
        EXPECT_TRUE(f.EntryToCash());
        EXPECT_EQ(f.CashIndex(), 0);
        EXPECT_EQ(f.SummaryIndex(), 0);
        // The report that follows covers the same date.
        EXPECT_EQ(gReport.gReportDate, "20261209");
    }
}

TEST_F(CashCountTest, AQuietDayLeavesItsBoxesEmpty) {
    Journal("20261208", "1400", 'O', "00000007", "40");
    Report_Prepare(ReportKind::Closing);
    CashCountForm& f = Open();
    for (int i = 0; i < kCashSummaryBoxes; ++i) EXPECT_EQ(f.SummaryText(i), "") << i;
    EXPECT_EQ(f.TotalText(), "$0.00");
}

TEST_F(CashCountTest, DenominationValuesComeFromTheirCaptions) {
    const char* values[] = {"100", "50", "20", "10", "5", "1", "2", "1", ".25", ".1", ".05", ".01"};
    for (int i = 0; i < kCashDenominations; ++i) EXPECT_EQ(CashDenomination_Value(i).Text(), values[i]) << i;
}

TEST_F(CashCountTest, CashInDrawerIsTheSumOfQuantityTimesValue) {
    struct Case {
        std::vector<std::pair<int, std::string>> quantities;
        std::string shown;
    };
    const Case cases[] = {
        {{{0, "2"}, {8, "3"}}, "$200.75"},
        {{{11, "999"}}, "$9.99"},
        {{{9, "3"}, {10, "7"}, {11, "1"}}, "$0.66"},
        {{{0, "999"},
          {1, "999"},
          {2, "999"},
          {3, "999"},
          {4, "999"},
          {5, "999"},
          {6, "999"},
          {7, "999"},
          {8, "999"},
          {9, "999"},
          {10, "999"},
          {11, "999"}},
         "$189,220.59"},
        {{{3, "007"}}, "$70.00"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        CashCountForm& f = Open();
        for (const auto& [i, q] : c.quantities) EXPECT_TRUE(f.Quantity_Typed(i, q));
        EXPECT_EQ(f.SummaryText(kCashInDrawer), c.shown);
        EXPECT_EQ(f.CashTotal(), CashCount_Amount(c.shown).value());
    }
}

TEST_F(CashCountTest, TotalToWithdrawIsCashPlusOtherLessOpening) {
    Journal("20261209", "0800", 'O', "00000007", "100");
    Journal("20261209", "1000", 'D', "00000007", "40");  // deposits take no part
    Journal("20261209", "1200", 'P', "00000007", "9");
    Report_Prepare(ReportKind::Closing);
    CashCountForm& f = Open();
    f.Quantity_Typed(0, "2");
    f.Quantity_Typed(8, "3");
    EXPECT_TRUE(f.Summary_Typed(kOtherCollections, "50"));
    EXPECT_EQ(f.TotalText(), "$150.75");
    EXPECT_EQ(f.TotalToWithdraw(), Money::FromCents(15075));
    EXPECT_TRUE(f.Summary_Typed(kOpeningClosing, "$1,000.5"));
    EXPECT_EQ(f.TotalText(), "-$749.75");
    EXPECT_TRUE(f.Summary_Typed(kCashInDrawer, "0.01"));
    EXPECT_EQ(f.TotalText(), "-$950.49");
}

TEST_F(CashCountTest, NumberPadWritesIntoTheCurrentQuantityBox) {
    struct Case {
        const char* name;
        int box;
        std::vector<std::string> keys;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"digits", 2, {"1", "2"}, "12"},
        {"the point does nothing", 2, {"1", ".", "5"}, "15"},
        {"00", 4, {"3", "00"}, "300"},
        {"a fourth digit is refused", 0, {"1", "2", "3", "4"}, "123"},
        {"00 past three digits is refused", 0, {"1", "2", "00"}, "12"},
        {"leading zeros", 11, {"0", "00"}, "000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CashCountForm& f = Open();
        f.Quantity_Click(c.box);
        Keys(f, c.keys);
        EXPECT_EQ(f.QuantityText(c.box), c.text);
        for (int i = 0; i < kCashDenominations; ++i)
            if (i != c.box) {
                EXPECT_EQ(f.QuantityText(i), "");
            }
    }
}

TEST_F(CashCountTest, NumberPadWritesIntoTheCurrentSummaryBox) {
    struct Case {
        const char* name;
        std::vector<std::string> keys;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"digits", {"1", "2", "00"}, "1200"},
        {"one point", {"1", ".", "5", "."}, "1.5"},
        {"two decimals", {"1", ".", "2", "5"}, "1.25"},
        {"no third decimal", {"1", ".", "2", "5", "9"}, "1.25"},
        {"00 as the two decimals", {"7", ".", "00"}, "7.00"},
        {"00 after one decimal is refused", {"7", ".", "5", "00"}, "7.5"},
        {"a point first", {".", "5"}, ".5"},
        {"a million is refused", {"9", "9", "9", "9", "9", "9", "9"}, "999999"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CashCountForm& f = Open();
        f.Summary_Click(kOtherCollections);
        EXPECT_FALSE(f.EntryToCash());
        Keys(f, c.keys);
        EXPECT_EQ(f.SummaryText(kOtherCollections), c.text);
        EXPECT_EQ(f.TotalToWithdraw(), CashCount_Amount(c.text).value());
        for (int i = 0; i < kCashDenominations; ++i) EXPECT_EQ(f.QuantityText(i), "");
    }
}

TEST_F(CashCountTest, TypedAmountsThatAreNotPlainNumbersAreRefused) {
    struct Case {
        std::string text;
        bool accepted;
        std::string amount;  // what the box then reads as
    };
    const Case cases[] = {
        {"50", true, "50"},
        {"$1,234.50", true, "1234.5"},
        {"-12.5", true, "-12.5"},
        {"-$2.00", true, "-2"},
        {"$-3", true, "-3"},
        {"", true, "0"},
        {".", true, "0"},
        {"$", true, "0"},
        {"12abc", false, "7"},
        {"1e5", false, "7"},
        {" 5", false, "7"},
        {"5 ", false, "7"},
        {"1,23", false, "7"},
        {"1,2345", false, "7"},
        {"1234,567", false, "7"},
        {"1.234", false, "7"},
        {"1..2", false, "7"},
        {"--1", false, "7"},
        {"1000000", false, "7"},
        {"-1000000", false, "7"},
        {"999,999.99", true, "999999.99"},
        {"+5", false, "7"},
        {"5$", false, "7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CashCountForm& f = Open();
        ASSERT_TRUE(f.Summary_Typed(kOtherCollections, "7"));
        EXPECT_EQ(f.Summary_Typed(kOtherCollections, c.text), c.accepted);
        EXPECT_EQ(f.SummaryText(kOtherCollections), c.accepted ? c.text : "7");
        EXPECT_EQ(f.TotalToWithdraw().Text(), c.amount);
    }
}

TEST_F(CashCountTest, TypedQuantitiesAreWholeNumbersUpToThreeDigits) {
    struct Case {
        std::string text;
        bool accepted;
    };
    const Case cases[] = {{"0", true},   {"999", true}, {"", true},    {"1000", false}, {"1.5", false},
                          {"-1", false}, {"1a", false}, {" 1", false}, {"+2", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CashCountForm& f = Open();
        ASSERT_TRUE(f.Quantity_Typed(5, "4"));
        EXPECT_EQ(f.Quantity_Typed(5, c.text), c.accepted);
        EXPECT_EQ(f.QuantityText(5), c.accepted ? c.text : "4");
    }
}

TEST_F(CashCountTest, ADenominationKeyEmptiesItsBoxAndTakesThePad) {
    CashCountForm& f = Open();
    f.Quantity_Typed(2, "15");
    f.Quantity_Typed(3, "4");
    f.Summary_Click(kOtherCollections);
    f.Denomination_Click(2);
    EXPECT_EQ(f.QuantityText(2), "");
    EXPECT_EQ(f.QuantityText(3), "4");
    EXPECT_EQ(f.SummaryText(kCashInDrawer), "$40.00");
    EXPECT_EQ(f.CashIndex(), 2);
    EXPECT_TRUE(f.EntryToCash());
    EXPECT_EQ(f.LastBoxIndex(), 2);
    EXPECT_FALSE(f.LastBoxIsSummary());
    Keys(f, {"6"});
    EXPECT_EQ(f.QuantityText(2), "6");
    EXPECT_EQ(f.SummaryText(kOtherCollections), "");
}

TEST_F(CashCountTest, EnterMovesToTheNextDenominationAndWraps) {
    CashCountForm& f = Open();
    f.Summary_Click(kOtherCollections);
    f.Enter_Key();
    EXPECT_TRUE(f.EntryToCash());
    EXPECT_EQ(f.CashIndex(), 1);
    for (int expected = 2; expected < kCashDenominations; ++expected) {
        f.Enter_Key();
        EXPECT_EQ(f.CashIndex(), expected);
        EXPECT_EQ(f.LastBoxIndex(), expected);
    }
    f.Enter_Key();  // after "$.01" back to "$100"
    EXPECT_EQ(f.CashIndex(), 0);
    EXPECT_FALSE(f.LastBoxIsSummary());
    Keys(f, {"5"});
    EXPECT_EQ(f.QuantityText(0), "5");
}

TEST_F(CashCountTest, EraseEmptiesTheBoxThatLastHadTheFocus) {
    Journal("20261209", "0800", 'O', "00000007", "100");
    Report_Prepare(ReportKind::Closing);
    CashCountForm& f = Open();
    f.Quantity_Click(0);
    Keys(f, {"3"});
    f.Summary_Click(kOtherCollections);
    Keys(f, {"5", "0"});
    EXPECT_EQ(f.TotalText(), "$250.00");
    f.Erase_Click();
    EXPECT_EQ(f.SummaryText(kOtherCollections), "");
    EXPECT_EQ(f.QuantityText(0), "3");
    EXPECT_EQ(f.TotalText(), "$200.00");
    f.Box_Focus(0, false);  // the cashier tabs back to "$100"
    f.Erase_Click();
    EXPECT_EQ(f.QuantityText(0), "");
    EXPECT_EQ(f.SummaryText(kCashInDrawer), "$0.00");
    EXPECT_EQ(f.TotalText(), "-$100.00");
    f.Box_Focus(kOpeningClosing, true);
    f.Erase_Click();
    EXPECT_EQ(f.SummaryText(kOpeningClosing), "");
    EXPECT_EQ(f.TotalText(), "$0.00");
}

TEST_F(CashCountTest, PrintPrintsTheSlipAndResumesTheReport) {
    Day();
    Report_Prepare(ReportKind::Closing);
    CashCountForm& f = Open();
    services.calls.clear();
    f.Quantity_Typed(0, "2");
    f.Quantity_Typed(8, "3");
    f.Summary_Typed(kOtherCollections, "$1,000");
    PrinterCapture cap;
    f.Print_Click();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    const std::string text = Readable(cap.bytes);
    const std::string expected = "\n<CASH SUMMARY>\n"
                                 "\n"
                                 "\n"
                                 "Denomination   Quantity Total\n"
                                 "------------   -------- -----\n"
                                 "BILLS:\n"
                                 "     $100         2         $200.00\n"
                                 "     $50                      $0.00\n"
                                 "     $20                      $0.00\n"
                                 "     $10                      $0.00\n"
                                 "     $5                       $0.00\n"
                                 "     $1                       $0.00\n"
                                 "COINS:\n"
                                 "$2                            $0.00\n"
                                 "$1                            $0.00\n"
                                 "$.25         3                $0.75\n"
                                 "$.10                          $0.00\n"
                                 "$.05                          $0.00\n"
                                 "$.01                          $0.00\n"
                                 "                             -----------\n"
                                 "                                 $200.75\n"
                                 "\n"
                                 "Cash In Drawer                    200.75\n"
                                 "Other Collections(+)            1,000.00\n"
                                 "Opening/Closing(-)                100.00\n"
                                 "                             -----------\n"
                                 "Total to Withdraw               1,100.75\n"
                                 "\n"
                                 "Total Deposits                     75.00\n"
                                 "Paidouts                           12.50\n"
                                 "Over / Short                       -2.00\n"
                                 "FC\n";  // feed and cut
    const std::size_t title = text.find("\n<CASH SUMMARY>");
    ASSERT_NE(title, std::string::npos) << text;
    EXPECT_EQ(text.substr(title - 1, 1), "\n");  // the empty line under the heading
    EXPECT_NE(text.substr(0, title).find("MY STORE"), std::string::npos);
    EXPECT_EQ(text.substr(title, expected.size()), expected) << text;
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(view.calls, (std::vector<std::string>{"Show", "Hide"}));
    EXPECT_EQ(services.calls, std::vector<std::string>{"Count_Cash_Resume"});
}

TEST_F(CashCountTest, EmptySummaryBoxesPrintBlanks) {
    CashCountForm& f = Open();
    PrinterCapture cap;
    f.Print_Click();
    const std::string text = Readable(cap.bytes);
    const std::string b(11, ' ');
    for (const char* label : {"Cash In Drawer", "Other Collections(+)", "Opening/Closing(-)", "Total Deposits",
                              "Paidouts", "Over / Short"}) {
        std::string line = label;
        line.resize(29, ' ');
        EXPECT_NE(text.find("\n" + line + b + "\n"), std::string::npos) << label << "\n" << text;
    }
    EXPECT_NE(text.find("\nTotal to Withdraw                   0.00\n"), std::string::npos) << text;
}

TEST_F(CashCountTest, APrinterThatDoesNotOpenKeepsTheFormUp) {
    CashCountForm& f = Open();
    services.calls.clear();
    f.Quantity_Typed(1, "1");
    gSettings.gPrinterType = PrinterType::Off;
    gPrint.gPrinterLost = true;  // the spooler printer was lost for the run
    f.Print_Click();
    EXPECT_NE(gPrint.gPrintStatus, 0);
    EXPECT_TRUE(f.IsLoaded());
    EXPECT_EQ(f.QuantityText(1), "1");
    EXPECT_TRUE(services.calls.empty());
    EXPECT_EQ(view.calls, std::vector<std::string>{"Show"});
    // Back in order: PRINT again ends the count.
    gPrint.gPrinterLost = false;
    gSettings.gPrinterType = PrinterType::Com1;
    PrinterCapture cap;
    f.Print_Click();
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_NE(cap.bytes.find("CASH SUMMARY"), std::string::npos);
    EXPECT_EQ(services.calls, std::vector<std::string>{"Count_Cash_Resume"});
}

TEST_F(CashCountTest, WithPrintingSwitchedOffPrintEndsTheCount) {
    CashCountForm& f = Open();
    services.calls.clear();
    gSettings.gPrinterType = PrinterType::Off;
    PrinterCapture cap;
    f.Print_Click();
    EXPECT_TRUE(cap.bytes.empty());
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(services.calls, std::vector<std::string>{"Count_Cash_Resume"});
}

TEST_F(CashCountTest, CancelShowsTheRegisterWithoutAReport) {
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape);
        Report_Prepare(ReportKind::Cashier);
        screen.SetVisible(kRegisterForm, false);
        screen.SetText(kEntryBox, "123");
        CashCountForm& f = Open();
        services.calls.clear();
        view.calls.clear();
        f.Quantity_Typed(0, "4");
        PrinterCapture cap;
        if (escape)
            f.Escape_Key();
        else
            f.Cancel_Click();
        EXPECT_TRUE(cap.bytes.empty());
        EXPECT_FALSE(f.IsLoaded());
        EXPECT_EQ(view.calls, std::vector<std::string>{"Hide"});
        EXPECT_TRUE(services.calls.empty());
        EXPECT_TRUE(screen.Visible(kRegisterForm));
        EXPECT_EQ(screen.Text(kEntryBox), "");
        EXPECT_EQ(gReport.gReportDate, "");
        Open_FileActivity();  // nothing was written
        EXPECT_EQ(gData.gLastActivityRecord, 1);
        gData.activity.Close();
    }
}

}  // namespace
}  // namespace tarvo
