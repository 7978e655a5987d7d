// Stock adjustments: the .ADJ header and .ADD lines read back byte for byte
// for stock going out and coming in (signed amount and quantities, manager,
// reason, reference), the header records and the numbering of adjustments
// that follow each other; values that do not fit and a failure at every write
// leave the files and the sale as they were; the reason question, the
// adjustment mode and its cancel, reached from the Mode page's keys; the
// Total key with the program's services saves and prints the adjustment.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/fields.h"
#include "config/settings.h"
#include "data/adjustment_records.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "inventory/adjustments.h"
#include "inventory/document_fixture.h"
#include "inventory/inventory_service.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/program_services.h"
#include "register/prompt_line.h"
#include "register/total_key.h"
#include "register_mode_print.h"
#include "sale/modes.h"
#include "sale/sale_builder.h"
#include "sale/sale_save.h"
#include "screen/controls.h"

namespace tarvo {
namespace {

using namespace document_fixture;
using sale_builder::AddLine;

const std::vector<std::string> kAdjustmentFiles = {".ADJ", ".ADD"};

struct AdjustmentHead : AdjustmentHeadRecord {
    AdjustmentHead() : AdjustmentHeadRecord{"0000002", "20261209", "1030", "00000007", "", "7 ", "-12.5", ""} {}
};

class AdjustmentTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        for (const std::string& e : kAdjustmentFiles) std::filesystem::remove(FilePath(e));
        gData.ManagerTable.push_back(ManagerRow{"00000003", "33", "Bob", ""});
        gData.gManagerCount = 1;
        gSettings.gHomeMode = RegisterMode::Sales;
        clock.Set(LocalTime{2026, 12, 9, 10, 30, 0});
    }
    // A shortage of two lines worth 12.50, reason 7.
    static void Shortage() {
        gSale.gMode = RegisterMode::Adjustment;
        gSale.gAdjustmentDirection = -1;
        gSale.gAdjustmentReason = "7";
        AddLine("1001", "012345", 2, "5", "5");
        AddLine("1002", "ABC", 1.25, "2", "2", "box crushed", true);
        gSale.gSubtotal = M("12.5");
    }
};

// ---- the records ------------------------------------------------------------------

TEST_F(AdjustmentTest, AdjustmentsAreStoredSignedByTheirDirection) {
    struct Case {
        const char* what;
        std::function<void(AdjustmentHead&)> build;  // changes to the shortage, and to its header
        std::vector<std::string> lines;
        const char* subtotalAfter;
    };
    const std::vector<Case> cases = {
        {"stock out, no manager",
         [](AdjustmentHead&) {},
         {AdjustmentLineRecord("0000002", "001", "1001", "012345", "-2"),
          AdjustmentLineRecord("0000002", "002", "1002", "ABC", "-1.25", "box crushed")},
         "-12.5"},
        {"stock in, a manager, a reference, a reason typed with blanks",
         [](AdjustmentHead& h) {
             gSale.gAdjustmentDirection = 1;
             gSale.gAdjustmentReason = " 4 ";
             gSale.gSaleReference = "Shelf 4 recount";
             gReg.gManagerIndex = 1;
             h.amount = "12.5";
             h.reason = "4 ";
             h.manager = "00000003";
             h.reference = "Shelf 4 recount";
         },
         {AdjustmentLineRecord("0000002", "001", "1001", "012345", "2"),
          AdjustmentLineRecord("0000002", "002", "1002", "ABC", "1.25", "box crushed")},
         "12.5"},
        {"stock out with a returned line, a reason longer than its columns, saved at 09:05",
         [this](AdjustmentHead& h) {
             gSale.gLines[1].quantity = -3;
             gSale.gAdjustmentReason = "123";
             clock.Set(LocalTime{2026, 12, 9, 9, 5, 0});
             h.reason = "12";
             h.time = "0905";
         },
         {AdjustmentLineRecord("0000002", "001", "1001", "012345", "3"),
          AdjustmentLineRecord("0000002", "002", "1002", "ABC", "-1.25", "box crushed")},
         "-12.5"},
        {"stock out worth nothing",
         [](AdjustmentHead& h) {
             gSale.gSubtotal = M("0");
             h.amount = "0";
         },
         {AdjustmentLineRecord("0000002", "001", "1001", "012345", "-2"),
          AdjustmentLineRecord("0000002", "002", "1002", "ABC", "-1.25", "box crushed")},
         "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        Shortage();
        AdjustmentHead head;
        c.build(head);
        ASSERT_TRUE(Adjustment_Save()) << MessageLine();

        const auto adj = Records(".ADJ", 90);
        ASSERT_EQ(adj.size(), 2u);
        EXPECT_EQ(adj[0], "2" + Blanks(70));
        EXPECT_EQ(adj[1], head.Record());
        EXPECT_EQ(adj[1].size(), 88u);
        const auto add = Records(".ADD", 80);
        ASSERT_EQ(add.size(), 3u);
        EXPECT_EQ(add[0], "3" + Blanks(50));
        EXPECT_EQ(std::vector<std::string>(add.begin() + 1, add.end()), c.lines);
        EXPECT_EQ(add[1].size(), 76u);
        // The amount keeps its stored sign; the reason its stored form.
        EXPECT_EQ(gSale.gSubtotal, M(c.subtotalAfter));
        EXPECT_EQ(gSale.gAdjustmentReason, head.reason);
        EXPECT_EQ(gData.gLastAdjustmentRecord, 2);
        EXPECT_EQ(gData.gLastAdjustmentLineRecord, 3);
        EXPECT_EQ(gSaleSave.gPrintRecordNo, 2);
        EXPECT_FALSE(gData.adjustments.IsOpen() || gData.adjustmentLines.IsOpen());
    }
}

TEST_F(AdjustmentTest, TheNextAdjustmentTakesTheNextNumbers) {
    Shortage();
    ASSERT_TRUE(Adjustment_Save());
    gSale = SaleState{};
    gSaleSave = SaleSaveState{};
    Shortage();
    gSale.gItemCount = 1;
    ASSERT_TRUE(Adjustment_Save());
    const auto adj = Records(".ADJ", 90);
    ASSERT_EQ(adj.size(), 3u);
    EXPECT_EQ(adj[0], "3" + Blanks(70));
    EXPECT_EQ(adj[2].substr(0, 9), "0000003 0");
    const auto add = Records(".ADD", 80);
    ASSERT_EQ(add.size(), 4u);
    EXPECT_EQ(add[0], "4" + Blanks(50));
    EXPECT_EQ(add[3], AdjustmentLineRecord("0000003", "001", "1001", "012345", "-2"));
    EXPECT_EQ(gSaleSave.gPrintRecordNo, 3);
}

// ---- refusals and failures -------------------------------------------------------------

class AdjustmentRefusalTest : public AdjustmentTest {
protected:
    void SetUp() override {
        AdjustmentTest::SetUp();
        Shortage();
        ASSERT_TRUE(Adjustment_Save());
        Next();
    }
    static void Next() {
        gSale = SaleState{};
        gSaleSave = SaleSaveState{};
        Shortage();
    }
    static void ExpectUnsaved() {
        EXPECT_EQ(gSale.gSubtotal, M("12.5"));  // not signed
        EXPECT_EQ(gSale.gItemCount, 2);
        EXPECT_EQ(gSale.gLines[1].quantity, 2);
        EXPECT_EQ(gSaleSave.gPrintRecordNo, 0);
        EXPECT_EQ(gData.gLastAdjustmentRecord, 2);
        EXPECT_EQ(gData.gLastAdjustmentLineRecord, 3);
    }
};

TEST_F(AdjustmentRefusalTest, AValueThatDoesNotFitItsColumnsOnceSignedSavesNothing) {
    struct Case {
        const char* what;
        void (*spoil)();
        const char* message;
    };
    const Case cases[] = {
        // 8 characters coming in, 9 going out.
        {"quantity", [] { gSale.gLines[2].quantity = 12345678; }, "Adjustment Not Saved: Quantity of Line 2 Too Large"},
        {"amount", [] { gSale.gSubtotal = M("123456.78"); }, "Adjustment Not Saved: Amount Too Large"},
        {"direction", [] { gSale.gAdjustmentDirection = 0; }, "Adjustment Not Saved: No Direction"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Next();
        c.spoil();
        const Money subtotal = gSale.gSubtotal;
        const Snapshot files = Files(kAdjustmentFiles);
        EXPECT_FALSE(Adjustment_Save());
        EXPECT_EQ(Files(kAdjustmentFiles), files);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(gSale.gSubtotal, subtotal);
        EXPECT_EQ(gData.gLastAdjustmentRecord, 2);
    }
    // The same values fit coming in.
    Next();
    gSale.gAdjustmentDirection = 1;
    gSale.gLines[2].quantity = 12345678;
    gSale.gSubtotal = M("123456.78");
    ASSERT_TRUE(Adjustment_Save()) << MessageLine();
    EXPECT_EQ(Records(".ADJ", 90)[2].substr(39, 9), "123456.78");
    EXPECT_EQ(Records(".ADD", 80)[4].substr(38, 8), "12345678");
}

TEST_F(AdjustmentRefusalTest, MoreLinesThanADocumentHoldsSaveNothing) {
    Next();
    gSale.gItemCount = 401;
    const Snapshot files = Files(kAdjustmentFiles);
    EXPECT_FALSE(Adjustment_Save());
    EXPECT_EQ(Files(kAdjustmentFiles), files);
    EXPECT_EQ(MessageLine(), "Adjustment Not Saved: 401 Lines, 400 at Most");
    EXPECT_NE(dir.Read("Files/1234567.LOG").find("Adjustment_Save: 401 Lines, 400 at Most; Adjustment not saved"),
              std::string::npos);
    EXPECT_EQ(gSale.gSubtotal, M("12.5"));
}

TEST_F(AdjustmentRefusalTest, FilesThatCannotBeOpenedSaveNothing) {
    const std::string adj = Bytes(".ADJ");
    std::filesystem::remove(FilePath(".ADD"));
    std::filesystem::create_directory(FilePath(".ADD"));
    EXPECT_FALSE(Adjustment_Save());
    EXPECT_EQ(MessageLine(), "Adjustment Not Saved: Adjustment Files Cannot Be Opened");
    EXPECT_EQ(Bytes(".ADJ"), adj);
    EXPECT_EQ(gSale.gSubtotal, M("12.5"));
    EXPECT_EQ(gSaleSave.gPrintRecordNo, 0);
    EXPECT_FALSE(gData.adjustments.IsOpen() || gData.adjustmentLines.IsOpen());
}

TEST_F(AdjustmentRefusalTest, AFailureAtAnyWritePutsEveryFileBack) {
    ExpectEveryFailedWritePutsTheFilesBack(
        kAdjustmentFiles, 8, [] { return Adjustment_Save(); }, [this] { Next(); },
        "Adjustment Not Saved: Error Writing the Adjustment Files", [this] { ExpectUnsaved(); },
        [] { EXPECT_EQ(gSale.gSubtotal, M("-12.5")); });
}

TEST_F(AdjustmentRefusalTest, AnAdjustmentKilledBeforeAnyWriteIsWhollyThereOrNotAndTheNextFollowsOn) {
    ExpectKilledSavesWhollyThereOrNot(
        kAdjustmentFiles, Open_Fileadjustment,
        {{&DataState::adjustments, &DataState::gLastAdjustmentRecord},
         {&DataState::adjustmentLines, &DataState::gLastAdjustmentLineRecord}},
        [] { return Adjustment_Save(); }, [this] { Next(); }, {1, 2});
}

// ---- the reason question, the mode and its cancel ---------------------------------------

TEST_F(AdjustmentTest, PrepareAsksTheReasonUnderTheReasonList) {
    gSettings.gLanguage = 2;  // the list is the same in every language; the question is not
    screen.SetText(kEntryBox, "12");
    Adjustment_Prepare();
    // The panel's caption is what the window draws on it.
    EXPECT_EQ(screen.Caption(kGreeting),
              " 1  Breakage\r2  Damaged\r3  Expired\r4  Physical Count\r5  Samples to Clients\r"
              "6  Samples to Salesmen\r7  Shortage\r8  Theft\r9  Other");
    EXPECT_EQ(svc.calls, (std::vector<std::string>{"MessageWithEnterToEnd_Show", "PromptInCIA_Show(9)"}));
    EXPECT_EQ(gReg.gPromptLine, 9);
    EXPECT_EQ(MessageLine(), "Choisir la Raison l'Ajustement du Stock");
    EXPECT_EQ(screen.Text(kEntryBox), "");
    EXPECT_FALSE(screen.Visible(ControlId{Control::Title_Total, 0}));  // the receipt is hidden

    gSettings.gLanguage = 1;
    Adjustment_Prepare();
    EXPECT_EQ(MessageLine(), "Select Reason for Stock Adjustment");
}

TEST_F(AdjustmentTest, StartEntersTheAdjustmentMode) {
    gSale.gMode = RegisterMode::Sales;
    screen.SetText(kMessageLine, "Select Reason for Stock Adjustment");
    Adjustment_Start();
    EXPECT_EQ(gSale.gMode, RegisterMode::Adjustment);
    EXPECT_TRUE(svc.calls.empty());
    EXPECT_EQ(screen.Text(ControlId{Control::Txt_Mode, 0}), "Mode: Adjustment");
    EXPECT_EQ(MessageLine(), "");
    EXPECT_TRUE(screen.Visible(ControlId{Control::Title_Total, 0}));
}

TEST_F(AdjustmentTest, CancelGoesHomeWithBothNotices) {
    gSettings.gHomeMode = RegisterMode::Sales;
    gSale.gMode = RegisterMode::Adjustment;
    AddLine("1001", "012345", 3, "0", "0");
    Adjustment_Cancel();
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    // A new, empty sale in the home mode.
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(gSale.gLines[1].key, "");
    EXPECT_EQ(screen.Text(ControlId{Control::Txt_Mode, 0}), "Mode: Sales");
    EXPECT_EQ(MessageLine(), "Stock Adjustment Terminated");
    EXPECT_EQ(screen.Text(kTimedBox), "OPERATION CANCELED");
    EXPECT_TRUE(screen.Visible(kTimedBox));
    EXPECT_TRUE(timers.Running(TimerId::Message));
    // Nothing is written on cancel.
    EXPECT_FALSE(std::filesystem::exists(FilePath(".ADJ")));
}

// The Mode page's shortage and overage keys, the reason answered on the real
// prompt line, into the real inventory documents.
class AdjustmentKeysTest : public AdjustmentTest {
protected:
    void SetUp() override {
        AdjustmentTest::SetUp();
        Reg().services.inventory = &inventory;
        Reg().services.prompt = &prompt;
        gSale.gMode = RegisterMode::Sales;
    }
    void Answer(const std::string& text) {
        screen.SetText(kEntryBox, text);
        PromptInCIA_Enter();
    }
    InventoryDocuments inventory;
    PromptLine prompt;
};

TEST_F(AdjustmentKeysTest, TheReasonAnswerStartsOrCancelsTheAdjustment) {
    struct Case {
        int key;
        const char* answer;
        std::int16_t direction;
        RegisterMode mode;
        const char* reason;
    };
    const Case cases[] = {
        {14, "9", -1, RegisterMode::Adjustment, "9"}, {15, "1", 1, RegisterMode::Adjustment, "1"},
        {14, "10", -1, RegisterMode::Sales, ""},      {14, "0", -1, RegisterMode::Sales, ""},
        {15, "a", 1, RegisterMode::Sales, ""},        {14, "", -1, RegisterMode::Sales, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " answered \"" + c.answer + "\"");
        gSale = SaleState{};
        gSale.gMode = RegisterMode::Sales;
        Mode_Process(c.key);
        EXPECT_EQ(gSale.gAdjustmentDirection, c.direction);
        EXPECT_EQ(gReg.gPromptLine, 9);
        EXPECT_EQ(MessageLine(), "Select Reason for Stock Adjustment");
        EXPECT_TRUE(screen.Visible(kGreeting));  // the reasons stay in sight until answered
        Answer(c.answer);
        EXPECT_FALSE(screen.Visible(kGreeting));
        EXPECT_EQ(gSale.gMode, c.mode);
        EXPECT_EQ(gSale.gAdjustmentReason, c.reason);
        if (c.mode == RegisterMode::Sales) {
            EXPECT_EQ(screen.Text(kTimedBox), "OPERATION CANCELED");
        }
    }
}

TEST_F(AdjustmentKeysTest, TheKeyAgainInTheAdjustmentModeCancelsIt) {
    Mode_Process(14);
    Answer("3");
    ASSERT_EQ(gSale.gMode, RegisterMode::Adjustment);
    Mode_Process(15);
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    EXPECT_EQ(MessageLine(), "Stock Adjustment Terminated");
    // Cancel on the question is an empty answer.
    Mode_Process(14);
    PromptInCIA_Cancel();
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    EXPECT_EQ(screen.Text(kTimedBox), "OPERATION CANCELED");
}

// ---- the Total key -----------------------------------------------------------------------

class AdjustmentTotalKeyTest : public AdjustmentTest {
protected:
    void SetUp() override {
        AdjustmentTest::SetUp();
        Reg().services = program.Set();
        print_golden::UseReadableCodes();
        gSettings.gPrinterType = PrinterType::Com1;
        gTerminalNumber = "1234567";
        TwoProducts(dir);
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        AdjustmentTest::TearDown();
    }
    ProgramServices program;
};

TEST_F(AdjustmentTotalKeyTest, TotalSavesTheAdjustmentAndPrintsIt) {
    Shortage();
    PrinterCapture cap;
    mTotalRegister_Click();

    EXPECT_TRUE(gSaleSave.gSaleFinished);
    const auto adj = Records(".ADJ", 90);
    ASSERT_EQ(adj.size(), 2u);
    EXPECT_EQ(adj[1], AdjustmentHead{}.Record());
    EXPECT_EQ(Records(".ADD", 80).size(), 3u);
    EXPECT_EQ(gSaleSave.gPrintRecordNo, 2);
    // The printout is the adjustment just saved.
    for (const char* shown :
         {"Document Number:  1234567 0000002", "Reason:   Shortage", "Apple                         -2",
          "Book                          -1.25", "Total: $      -12.50"})
        EXPECT_NE(cap.bytes.find(shown), std::string::npos) << shown << "\n" << cap.bytes;
}

TEST_F(AdjustmentTotalKeyTest, AnAdjustmentThatCannotBeSavedStaysOpen) {
    Shortage();
    gSale.gSubtotal = M("123456.78");
    PrinterCapture cap;
    mTotalRegister_Click();

    EXPECT_FALSE(gSaleSave.gSaleFinished);
    EXPECT_EQ(MessageLine(), "Adjustment Not Saved: Amount Too Large");
    EXPECT_EQ(Records(".ADJ", 90).size(), 1u);
    EXPECT_TRUE(cap.bytes.empty());
    EXPECT_TRUE(screen.Enabled(ControlId{Control::mTotalRegister, 0}));
    EXPECT_EQ(gSale.gSubtotal, M("123456.78"));
    EXPECT_EQ(gSale.gMode, RegisterMode::Adjustment);
}

}  // namespace
}  // namespace tarvo
