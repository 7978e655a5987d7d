// Card payments through the real exchange-file back-end: a sale's card
// tender charged and the batch closed against the fake card program (a
// process of its own watching the test's exchange folder), the wait driven
// by the Credit timer's ticks. What is asserted is what the cashier sees and
// what is left on disk.
#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "card/card_payments.h"
#include "card/fake_card_program.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/program_services.h"
#include "register/register_fixture.h"
#include "register/register_keys.h"
#include "sale/sale_builder.h"
#include "sale/sale_save.h"
#include "sale/tenders.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "screen/service_stand_ins.h"
#include "test_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTrack = "%B4111111111111111^DOE/JOHN^2605101987654?";
constexpr const char* kTrackSecret = "101987654";  // the track's own data, after the expiry

class RecordingForms : public FormsStandIn {
public:
    void MessageBox_Show(const std::string& text, const std::string&) override { boxes.push_back(text); }
    std::vector<std::string> boxes;
};

class CardTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        Reg().programFolder = dir.Path();
        Reg().services = program.Set();
        Reg().services.forms = &forms;
        gTerminalNumber = "1234567";
        gSettings.gCardEnabled = true;
        gSettings.gCardBackend = CardBackend::ExchangeFiles;
        gSettings.gCardTimeout = "120";
        // As special option I names it on a register moved from Windows.
        gSettings.gCardExchangeFolder = "C:\\ICVerify";
        for (PaymentType& t : gSettings.PaymentTypes) t = PaymentType{};
        PaymentType& cash = gSettings.PaymentTypes[1];
        cash.Number = "1";
        cash.CardType = "1";
        cash.Name1 = "Cash";
        PaymentType& visa = gSettings.PaymentTypes[4];
        visa.Number = "4";
        visa.CardType = "4";
        visa.Name1 = "Visa";
        PaymentType& master = gSettings.PaymentTypes[5];
        master.Number = "5";
        master.CardType = "5";
        master.Name1 = "MasterCard";
        Payment_Setup();
        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann O'Hara", 1});
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
        gReg.gLoggedOut = false;
        gReg.gBusinessDate = "20261209";
        gSale.gDateText = "09/Dec/2026";
        gSaleSave = SaleSaveState{};
        Cards().Card_Load();
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        for (WorkFile* f : {&gData.invoices, &gData.invoiceLines, &gData.payments}) f->Close();
        Data_Reset(gData);
        RegisterTest::TearDown();
    }

    std::string Exchange() const { return dir.Path() + "/ICVerify"; }
    std::string FileOf(const char* ext) const { return Exchange() + "/Request/icver001" + ext; }
    std::string Seen() const { return dir.Path() + "-seen.log"; }
    std::string SeenText() const {
        std::ifstream f(Seen(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }

    // Two lines, 11.00 in all.
    void Sale() {
        sale_builder::AddLine("1001", "APPLE", 2, "1.50", "1.50");
        sale_builder::AddLine("1002", "BOOK", 1, "8.00", "8.00");
        Totals_Update();
    }
    void Swipe(const std::string& track = kTrack) {
        screen.SetText(kEntryBox, track);
        BarCode_Change();
    }
    void Enter(const std::string& text) {
        screen.SetText(kEntryBox, text);
        BReg_Click(4);
    }
    void ConfirmAmount() { BReg_Click(4); }
    // The fake program's answer is there (or the time is up).
    bool AnswerArrives(int ms = 5000) {
        for (int waited = 0; waited < ms; waited += 10) {
            struct stat st;
            if (::lstat(FileOf(".ANS").c_str(), &st) == 0) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    // The fake program has read the request.
    bool RequestSeen(int ms = 5000) {
        for (int waited = 0; waited < ms; waited += 10) {
            if (!SeenText().empty()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    std::string Message() const { return screen.Text(kMessageLine); }
    std::string LogText() const {
        std::ifstream f(gConstants.paths.gFilesPath + ".LOG", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    // Every file under the program folder holding `text`.
    std::vector<std::string> FilesHolding(const std::string& text) const {
        std::vector<std::string> found;
        for (const auto& e : fs::recursive_directory_iterator(dir.Path())) {
            if (!e.is_regular_file()) continue;
            std::ifstream f(e.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(f)), {});
            if (bytes.find(text) != std::string::npos) found.push_back(e.path().string());
        }
        return found;
    }

    TestDir dir;
    ProgramServices program;
    RecordingForms forms;
};

// ---- an approved card -------------------------------------------------------------------

TEST_F(CardTest, ApprovedSwipeIsPostedMaskedSavedAndPrinted) {
    FakeCardProgram fake(Exchange(), "approve", Seen());
    ASSERT_TRUE(fake.Ready());
    gSettings.gPrinterType = PrinterType::Com1;
    print_golden::UseReadableCodes();
    PrinterCapture cap;
    Sale();
    Swipe();
    EXPECT_EQ(Message(), "Confirm Amount of Charge");
    EXPECT_EQ(screen.Text(kEntryBox), "11");
    ConfirmAmount();

    // Waiting: the keys locked, the running time shown.
    EXPECT_TRUE(gReg.gCardBusy);
    EXPECT_FALSE(screen.Enabled(kEntryBox));
    EXPECT_FALSE(screen.Enabled(ControlId{Control::mTotalRegister, 0}));
    EXPECT_EQ(Message(), "Credit Card Processing In Progress 0 / 120");
    EXPECT_TRUE(timers.Running(TimerId::Credit));
    EXPECT_EQ(timers.Interval(TimerId::Credit), 2000);
    EXPECT_EQ(gSale.gPaymentCount, 1);

    ASSERT_TRUE(AnswerArrives());
    timers.Tick(TimerId::Credit);  // the first tick after the answer takes it

    EXPECT_EQ(SeenText(), "600 \"C1\",\"Ann O'Hara\",\"\",\"4111111111111111\",\"2605B4111111111111111^DOE/JOHN^"
                          "2605101987654?\",\"11.00\"\r\n");
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_FALSE(timers.Running(TimerId::Credit));
    EXPECT_TRUE(gSale.gCardInSale);
    EXPECT_EQ(program.card.LastStatus(), 0);
    // Nothing was due any more: the sale is saved and printed with its slip.
    EXPECT_TRUE(gSaleSave.gSaleFinished);
    EXPECT_NE(cap.bytes.find("XXXXXXXXXXXX1111"), std::string::npos) << cap.bytes;
    EXPECT_EQ(cap.bytes.find("4111111111111111"), std::string::npos) << cap.bytes;
    // The request and the answer are gone; the track is in no file at all.
    for (const char* ext : {".REQ", ".TMP", ".ANS"}) EXPECT_FALSE(fs::exists(FileOf(ext))) << ext;
    EXPECT_TRUE(FilesHolding(kTrackSecret).empty());
    EXPECT_TRUE(FilesHolding("4111111111111111").empty());
    EXPECT_NE(LogText().find("Card XXXXXXXXXXXX1111 approved, amount 11.00"), std::string::npos) << LogText();
}

TEST_F(CardTest, ApprovedTenderKeepsTheCardFieldsButNeverTheTrack) {
    FakeCardProgram fake(Exchange(), "approve", Seen());
    ASSERT_TRUE(fake.Ready());
    Sale();
    sale_builder::AddTender("1", "5.00");  // cash first, the card pays the rest
    Swipe();
    ConfirmAmount();
    ASSERT_TRUE(AnswerArrives());
    timers.Tick(TimerId::Credit);

    // Nothing is due any more: the Total key's message follows.
    EXPECT_EQ(Message().substr(0, 18), "Approved \"Y123451\"") << Message();
    ASSERT_EQ(gSale.gPaymentCount, 2);
    const SalePayment& p = gSale.gPayments[2];
    EXPECT_EQ(p.amount.Format("0.00"), "6.00");
    EXPECT_EQ(p.cardNumber, "4111111111111111");
    EXPECT_EQ(p.cardExpiry, "2605");
    EXPECT_EQ(p.cardHolder, "DOE/JOHN");
    EXPECT_EQ(p.cardData, "");
    EXPECT_EQ(p.entryKind, 1);
    EXPECT_EQ(p.reference, "\"Y123451\"");
    EXPECT_EQ(gSale.gPayments[1].amount.Format("0.00"), "5.00");
}

TEST_F(CardTest, KeyedCardWithAddressCheckSendsAddressAndShowsTheLetter) {
    FakeCardProgram fake(Exchange(), "approve-avs", Seen());
    ASSERT_TRUE(fake.Ready());
    gSettings.gCardAvs = true;
    Sale();
    ASSERT_TRUE(PaymentPage_Open());
    mDept_Click(23);
    EXPECT_EQ(Message(), "Input Credit Card Number");
    Enter("5500000000000004");
    EXPECT_EQ(Message(), "Input Card Expiry Date MMYY");
    Enter("0527");
    Enter("1234 A Very Long Street Name That Goes On");
    Enter("K1A0B1-EXTRA");
    EXPECT_EQ(Message(), "Confirm Amount of Charge");
    ConfirmAmount();
    EXPECT_EQ(Message(), "Credit Card Processing In Progress 0 / 120");
    ASSERT_TRUE(AnswerArrives());
    timers.Tick(TimerId::Credit);

    EXPECT_EQ(SeenText(), "600 \"C1\",\"Ann O'Hara\",\"\",\"5500000000000004\",\"2705\",\"11.00\","
                          "\"1234 A Very Long Street Name Tha\",\"K1A0B1-EX\"\r\n");
    EXPECT_EQ(Message().substr(0, 31), "Approved  (Address & Zip Match)") << Message();
    EXPECT_EQ(gSale.gPayments[1].entryKind, 2);
    EXPECT_EQ(gSale.gPayments[1].cardData, "1234 A Very Long Street Name Tha K1A0B1-EX");
}

TEST_F(CardTest, AnswerWithoutClosingQuoteIsApprovedWithoutAddressMessage) {
    FakeCardProgram fake(Exchange(), "no-quote", Seen());
    ASSERT_TRUE(fake.Ready());
    gSettings.gCardAvs = true;
    Sale();
    Swipe();
    ConfirmAmount();
    ASSERT_TRUE(AnswerArrives());
    timers.Tick(TimerId::Credit);
    EXPECT_EQ(Message().substr(0, 21), "Approved \"Y123451XYZ ") << Message();
    EXPECT_TRUE(gSale.gCardInSale);
}

// ---- declines, errors and time-outs: the card tender goes, nothing else -----------------

struct Failure {
    const char* mode;
    int ticks;  // ticks after the answer appeared (or in all, when none comes)
    const char* message;
    std::int16_t status;
};

class CardFailureTest : public CardTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(CardFailureTest, RemovesOnlyTheCardTenderAndSaysWhy) {
    const Failure& f = GetParam();
    FakeCardProgram fake(Exchange(), f.mode, Seen());
    ASSERT_TRUE(fake.Ready());
    Sale();
    sale_builder::AddTender("1", "5.00");
    Swipe();
    ConfirmAmount();
    ASSERT_EQ(gSale.gPaymentCount, 2);
    if (std::string(f.mode) != "silent") {
        ASSERT_TRUE(AnswerArrives());
    }
    for (int k = 0; k < f.ticks; ++k) timers.Tick(TimerId::Credit);

    EXPECT_EQ(Message().substr(0, std::string(f.message).size()), f.message) << Message();
    EXPECT_EQ(program.card.LastStatus(), f.status);
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_FALSE(timers.Running(TimerId::Credit));
    EXPECT_TRUE(screen.Enabled(kEntryBox));
    // The cash tender stays, the card's is gone: the balance is as before the card.
    ASSERT_EQ(gSale.gPaymentCount, 1);
    EXPECT_EQ(gSale.gPayments[1].amount.Format("0.00"), "5.00");
    EXPECT_EQ(gSale.gBalanceDue.Format("0.00"), "6.00");
    EXPECT_FALSE(gSale.gCardInSale);
    EXPECT_FALSE(fs::exists(FileOf(".REQ")));
    EXPECT_TRUE(FilesHolding(kTrackSecret).empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, CardFailureTest,
                         ::testing::Values(Failure{"decline", 1, "Declined ", 11},
                                           Failure{"empty", 1, "Error: Response File Is Empty", 5},
                                           Failure{"directory", CardPayments::kReadAttempts,
                                                   "Error: Response File Is Empty", 5},
                                           Failure{"silent", 60, "Error: Credit Operation Timed Out", 4}),
                         [](const ::testing::TestParamInfo<Failure>& i) { return std::string(i.param.mode); });

TEST_F(CardTest, DeclineShowsTheAnswerUntilEnter) {
    FakeCardProgram fake(Exchange(), "decline", Seen());
    ASSERT_TRUE(fake.Ready());
    Sale();
    Swipe();
    ConfirmAmount();
    ASSERT_TRUE(AnswerArrives());
    timers.Tick(TimerId::Credit);
    EXPECT_EQ(screen.Caption(kGreeting), "\"NDECLINED\"");
    EXPECT_TRUE(screen.Visible(kGreeting));
    EXPECT_TRUE(gReg.gPromptLineActive);
    EXPECT_EQ(gReg.gPromptLine, 6);
    BReg_Click(4);
    EXPECT_FALSE(screen.Visible(kGreeting));
}

TEST_F(CardTest, TimeOutComesAtTheSixtiethTickAndIsLoggedMasked) {
    FakeCardProgram fake(Exchange(), "silent", Seen());
    ASSERT_TRUE(fake.Ready());
    Sale();
    Swipe();
    ConfirmAmount();
    for (int k = 0; k < 59; ++k) timers.Tick(TimerId::Credit);
    EXPECT_TRUE(gReg.gCardBusy);
    EXPECT_EQ(Message(), "Credit Card Processing In Progress 118 / 120");
    timers.Tick(TimerId::Credit);
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_EQ(Message(), "Error: Credit Operation Timed Out");
    const std::string log = LogText();
    EXPECT_NE(log.find("Card request timed out after 120 seconds: card XXXXXXXXXXXX1111, amount 11.00"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("4111111111111111"), std::string::npos);
}

TEST_F(CardTest, LateAnswerIsLoggedAndShownBeforeTheNextCard) {
    FakeCardProgram fake(Exchange(), "late", Seen());
    ASSERT_TRUE(fake.Ready());
    Sale();
    Swipe();
    ConfirmAmount();
    ASSERT_TRUE(RequestSeen());
    for (int k = 0; k < 60; ++k) timers.Tick(TimerId::Credit);
    ASSERT_EQ(program.card.LastStatus(), 4);
    ASSERT_TRUE(AnswerArrives());  // the card program answers after all

    Swipe();
    ConfirmAmount();
    EXPECT_EQ(Message(), "Late Card Answer: Y123451 XXXXXXXXXXXX1111 11.00 Press Enter or Cancel to Continue");
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_EQ(gSale.gPaymentCount, 0);  // the new card waits for the cashier
    EXPECT_FALSE(fs::exists(FileOf(".ANS")));
    EXPECT_NE(LogText().find("Card answer arrived late for card XXXXXXXXXXXX1111, amount 11.00, approval letter Y"),
              std::string::npos)
        << LogText();
}

// ---- the request cannot be handed over: said at once, no wait ---------------------------

TEST_F(CardTest, RequestFolderThatCannotBeWrittenIsReportedAtOnce) {
    fs::remove_all(Exchange() + "/Request");
    std::ofstream(Exchange() + "/Request") << "a file where the folder should be";
    ASSERT_TRUE(fs::is_regular_file(Exchange() + "/Request"));
    Sale();
    Swipe();
    ConfirmAmount();
    EXPECT_EQ(Message(), "Can Not Open Temporary Request File");
    EXPECT_EQ(program.card.LastStatus(), 1);
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_FALSE(timers.Running(TimerId::Credit));
}

TEST_F(CardTest, RenameRefusedIsReportedAtOnceAndTheTemporaryFileRemoved) {
    fs::create_directories(FileOf(".REQ") + "/in-the-way");
    Sale();
    Swipe();
    ConfirmAmount();
    EXPECT_EQ(Message(), "Can Not Rename Temporary Request File");
    EXPECT_EQ(program.card.LastStatus(), 2);
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_FALSE(timers.Running(TimerId::Credit));
    EXPECT_FALSE(fs::exists(FileOf(".TMP")));
    EXPECT_TRUE(FilesHolding(kTrackSecret).empty());
}

TEST_F(CardTest, AnotherRegisterHoldingTheExchangeSaysCardProgramBusy) {
    fs::create_directories(Exchange() + "/Request");
    const int fd = ::open(FileOf(".LCK").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    Sale();
    Swipe();
    ConfirmAmount();
    EXPECT_EQ(Message(), "Card Program Busy, Please Try Again");
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_FALSE(fs::exists(FileOf(".REQ")));
    ::close(fd);
}

// ---- the simulation setting --------------------------------------------------------------

TEST_F(CardTest, SimulationApprovesOnTheSecondTick) {
    gSettings.gCardSimulate = true;
    Sale();
    Swipe();
    ConfirmAmount();
    timers.Tick(TimerId::Credit);
    EXPECT_TRUE(gReg.gCardBusy);
    timers.Tick(TimerId::Credit);
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_TRUE(gSale.gCardInSale);
    EXPECT_EQ(gSale.gPayments[1].reference, "\"Y103010\"");
}

// ---- what a run that ended mid-card left --------------------------------------------------

TEST_F(CardTest, LeftoversOfAnEndedRunAreLoggedShownOnceAndCleared) {
    fs::create_directories(Exchange() + "/Request");
    std::ofstream(FileOf(".REQ")) << "\"C1\",\"Ann\",\"\",\"4111111111111111\",\"2605B4111\",\"11.00\"\r\n";
    std::ofstream(FileOf(".ANS")) << "\"Y777777\"\r\n";
    Cards().Card_Load();
    ASSERT_EQ(forms.boxes.size(), 1u);
    EXPECT_EQ(forms.boxes[0], "Card Answer Left by the Last Run: Y777777");
    EXPECT_FALSE(fs::exists(FileOf(".REQ")));
    EXPECT_FALSE(fs::exists(FileOf(".ANS")));
    const std::string log = LogText();
    EXPECT_NE(log.find("Card request left by the last run"), std::string::npos) << log;
    EXPECT_NE(log.find("approval letter Y"), std::string::npos) << log;
    Cards().Card_Load();
    EXPECT_EQ(forms.boxes.size(), 1u);
}

// ---- the batch close ---------------------------------------------------------------------

TEST_F(CardTest, BatchCloseApprovedPrintsTheReport) {
    FakeCardProgram fake(Exchange(), "approve", Seen());
    ASSERT_TRUE(fake.Ready());
    gSettings.gPrinterType = PrinterType::Com1;
    print_golden::UseReadableCodes();
    fs::create_directories(Exchange() + "/Request");
    std::ofstream(FileOf(".HLD")) << "held";
    PrinterCapture cap;
    Cards().Card_Settlement();
    EXPECT_TRUE(gReg.gCardBusy);
    EXPECT_FALSE(fs::exists(FileOf(".HLD")));
    EXPECT_EQ(Message(), "Credit Card Processing In Progress 0 / 300");
    ASSERT_TRUE(AnswerArrives());
    timers.Tick(TimerId::Credit);
    EXPECT_EQ(SeenText(), "600 \"ST\"\r\n");
    EXPECT_EQ(Message(), "Settlement Successful \"YBATCH CLOSED 1\"");
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_NE(cap.bytes.find("Settlement Successful\r\n\"YBATCH CLOSED 1\""), std::string::npos) << cap.bytes;
    EXPECT_FALSE(fs::exists(FileOf(".REQ")));
}

TEST_F(CardTest, BatchCloseWaitsThreeSecondsMoreForEachCardOfTheDay) {
    for (int k = 0; k < 21; ++k) {
        gSale = SaleState{};
        gSaleSave = SaleSaveState{};
        sale_builder::AddLine("1001", "APPLE", 1, "1.00", "1.00");
        sale_builder::Totals("1", "0", "1");
        sale_builder::AddTender(k == 20 ? "1" : "4", "1");  // the last one in cash
        if (k < 20) {
            gSale.gPayments[1].entryKind = k % 2 == 0 ? 1 : 2;
            gSale.gPayments[1].cardNumber = "4111111111111111";
        }
        ASSERT_TRUE(Sale_Save()) << Message();
    }
    gSale = SaleState{};
    Cards().Card_Settlement();
    EXPECT_EQ(Message(), "Credit Card Processing In Progress 0 / 360");
    for (int k = 0; k < 179; ++k) timers.Tick(TimerId::Credit);
    EXPECT_TRUE(gReg.gCardBusy);
    timers.Tick(TimerId::Credit);
    EXPECT_EQ(program.card.LastStatus(), 10);
}

TEST_F(CardTest, BatchCloseDeclinedPrintsTheFailure) {
    FakeCardProgram fake(Exchange(), "decline", Seen());
    ASSERT_TRUE(fake.Ready());
    gSettings.gPrinterType = PrinterType::Com1;
    print_golden::UseReadableCodes();
    PrinterCapture cap;
    Cards().Card_Settlement();
    ASSERT_TRUE(AnswerArrives());
    timers.Tick(TimerId::Credit);
    EXPECT_EQ(program.card.LastStatus(), 11);
    EXPECT_EQ(Message().substr(0, 17), "Settlement Failed");
    EXPECT_EQ(screen.Caption(kGreeting), "\"NBATCH REFUSED\"");
    EXPECT_NE(cap.bytes.find("Settlement Failed\r\n\"NBATCH REFUSED\""), std::string::npos) << cap.bytes;
}

TEST_F(CardTest, BatchCloseTimeOutPrintsTheSecondsWaited) {
    FakeCardProgram fake(Exchange(), "silent", Seen());
    ASSERT_TRUE(fake.Ready());
    gSettings.gPrinterType = PrinterType::Com1;
    print_golden::UseReadableCodes();
    PrinterCapture cap;
    Cards().Card_Settlement();
    for (int k = 0; k < 150; ++k) timers.Tick(TimerId::Credit);
    EXPECT_EQ(program.card.LastStatus(), 10);
    EXPECT_EQ(Message(), "Settlement Timed Out");
    EXPECT_NE(cap.bytes.find("Settlement Timed Out 300 Seconds"), std::string::npos) << cap.bytes;
}

}  // namespace
}  // namespace tarvo
