// The document helpers: the Total and Payment key captions, the product
// figures of a purchase line, the cancelled sale with its journal record
// (written by the real cash office), and the command file with the session
// that sends it (a recording office in place of the back office).
#include "inventory/document_helpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/money.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "inventory/inventory_service.h"
#include "office/journal_reader.h"
#include "office/office_service.h"
#include "platform/files.h"
#include "print/count_tickets.h"
#include "print/printer_output.h"
#include "register/register_fixture.h"
#include "register/special_page.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "test_dir.h"

namespace tarvo {
namespace {

const ControlId kTotalKey{Control::mTotalRegister, 0};

class DocumentHelpersTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
    }
    void TearDown() override {
        Data_Reset(gData);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }
    std::string MessageLine() const { return screen.Text(kMessageLine); }
    std::string Log() const { return dir.Read("Files/1234567.LOG"); }
    TestDir dir;
};

// ---- Total and Payment keys -----------------------------------------------------------------

TEST_F(DocumentHelpersTest, TotalAndPaymentCaptionsByLanguageHintsAndRefund) {
    struct Case {
        int language, hints;
        const char* total;
        KeyPage page;
        const char* totalKey;
        const char* paymentKey;
    };
    const Case cases[] = {
        {1, 1, "5", KeyPage::Department1, "Total\rF1", "Payment\rF2"},
        {1, 1, "-5", KeyPage::Department1, "Credit\rF1", "Refund\rF2"},
        {1, 0, "0", KeyPage::Department1, "Total", "Payment"},
        {1, 0, "-5", KeyPage::Department1, "Credit\rNote", "Refund"},
        {2, 1, "5", KeyPage::Department1, "Total\rF1", "Paiement\rF2"},
        {2, 1, "-5", KeyPage::Department1, "Credit\rF1", "Rembourse\rF2"},
        {2, 0, "5", KeyPage::Department1, "Total", "Paiement"},
        {2, 0, "-5", KeyPage::Department1, "Note de\rCredit", "Rembourse"},
        // On the payment page a negative total is paid out as usual.
        {1, 0, "-5", KeyPage::Payment, "Total", "Payment"},
        {2, 1, "-5", KeyPage::Payment, "Total\rF1", "Paiement\rF2"},
        {1, 0, "-5", KeyPage::Mode, "Credit\rNote", "Refund"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.language) + "/" + std::to_string(c.hints) + " " + c.total + " page " +
                     std::to_string(static_cast<int>(c.page)));
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        gSettings.gKeyboardHints = static_cast<std::int16_t>(c.hints);
        gSale.gTotal = *Money::Parse(c.total);
        gReg.gKeyPage = c.page;
        Total_UpdateCaption();
        EXPECT_EQ(screen.Caption(kTotalKey), c.totalKey);
        EXPECT_EQ(screen.Caption(kPaymentKey), c.paymentKey);
    }
    // Another language keeps what the keys show.
    gSettings.gLanguage = 3;
    gSale.gTotal = Money();
    Total_UpdateCaption();
    EXPECT_EQ(screen.Caption(kTotalKey), "Credit\rNote");
    EXPECT_EQ(screen.Caption(kPaymentKey), "Refund");
}

// ---- product figures -----------------------------------------------------------------------

class ProductInfoTest : public DocumentHelpersTest {
protected:
    void SetUp() override {
        DocumentHelpersTest::SetUp();
        gSale.gItemCount = 2;
        gSale.gLines[2].description = "Garden hose";
        gSale.gLines[2].unitPrice = *Money::Parse("1234.5");
        gData.gProductRec = Fixed(273, {{180, "  12"},
                                        {190, "5"},
                                        {200, "20261224"},
                                        {230, "1234.567"},
                                        {240, "8.1"},
                                        {250, "Aisle 3"},
                                        {264, "2"}});
    }
    std::string Panel() const { return screen.Text(kMessageBox); }
};

TEST_F(ProductInfoTest, FiguresOfTheProductJustAdded) {
    struct Case {
        int cashier;
        const char* costLine;
    };
    // The first cashier of the table sees the first cost, the second the
    // other; nobody else sees a cost.
    const Case cases[] = {{1, "Cost: 1,234.57\r\n"}, {2, "Cost: 8.10\r\n"}, {3, ""}, {0, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cashier);
        gReg.gCashierIndex = c.cashier;
        screen.Show(kMessageBox, false);
        Product_Display_Info();
        EXPECT_EQ(Panel(), std::string("\r\n\r\nGarden hose\r\n\r\n") + c.costLine +
                               "Price: 1,234.50\r\n\r\n"
                               "Stock: 12\r\n"
                               "On Order: 5 20261224\r\n"
                               "Committed: 2\r\n"
                               "Location: Aisle 3");
        EXPECT_TRUE(screen.Visible(kMessageBox));
        EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Panel);
    }
}

TEST_F(ProductInfoTest, AShortRecordShowsEveryLabelEmptyButThePrice) {
    gReg.gCashierIndex = 1;
    gSettings.gLanguage = 2;
    gData.gProductRec.resize(250);
    Product_Display_Info();
    EXPECT_EQ(Panel(), "\r\n\r\nGarden hose\r\n\r\n"
                       "Cout: \r\n"
                       "Prix: 1,234.50\r\n\r\n"
                       "Qte Stock: \r\n"
                       "Sur Commande:  \r\n"
                       "R\xE9serv\xE9: \r\n"
                       "Emplacment: ");
}

// ---- cancelled sale --------------------------------------------------------------------------

class SaleCancelTest : public DocumentHelpersTest {
protected:
    void SetUp() override {
        DocumentHelpersTest::SetUp();
        Reg().services = &sale;
        Reg().services.office = &office;
        Reg().services.inventory = &inventory;
        gData.CashierTable.push_back(CashierRow{"00000017", "1111", "Demo", 1});
        gData.gCashierCount = 1;
        gData.ManagerTable.push_back(ManagerRow{"42", "9999", "Boss", "111111111"});
        gData.gManagerCount = 1;
        gReg.gCashierIndex = 1;
        gReg.gBusinessDate = "20261209";
        DefaultClient_Load();
        gSale.gItemCount = 2;
        screen.SetText(kModeBox, "");
    }
    // A new sale shows its mode; the mode box is emptied before each cancel.
    const ControlId kModeBox{Control::Txt_Mode, 0};
    RegisterServices sale;
    CashOffice office;
    InventoryDocuments inventory;
};

TEST_F(SaleCancelTest, TheJournalRecordThenANewSale) {
    struct Case {
        int manager;
        std::string record;
    };
    const Case cases[] = {
        {0, "202612091030S0" + std::string(8, ' ') + "00000017" + std::string(18, ' ')},
        {1, "202612091030S0" + std::string("42      ") + "00000017" + std::string(18, ' ')},
    };
    std::int64_t expected = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.manager);
        gSale.gItemCount = 2;
        gReg.gManagerIndex = c.manager;
        screen.SetText(kModeBox, "");
        CIATime("Cancel the sale?", 0);
        Sale_Cancel();
        ASSERT_EQ(c.record.size(), 48u);
        EXPECT_EQ(JournalRecord(expected), c.record);
        EXPECT_EQ(JournalRecord(1), std::to_string(expected) + std::string(40, ' '));
        // A new sale: no lines, the default client, the mode shown.
        EXPECT_EQ(gSale.gItemCount, 0);
        EXPECT_EQ(gSale.gClientName, "Cash Customer");
        EXPECT_EQ(screen.Text(kModeBox), "Mode: Sales");
        EXPECT_EQ(MessageLine(), "");
        ++expected;
    }
}

TEST_F(SaleCancelTest, AJournalThatCannotBeWrittenKeepsTheSale) {
    gData.stamps.WaitAll();  // a working file's stamp may still be on its way to Data/
    std::filesystem::remove_all(dir / "Data");
    dir.Write("Data", "not a folder");
    Sale_Cancel();
    EXPECT_EQ(screen.Text(kModeBox), "");  // no new sale
    EXPECT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(MessageLine(), "Error: Sale Not Cancelled - See Log");
    EXPECT_NE(Log().find("Sale_Cancel: the activity record was not written, the sale is kept"), std::string::npos);
}

// The Special page's cancel key, with no manager asked for.
TEST_F(SaleCancelTest, TheSpecialPagesCancelKey) {
    gSettings.gSystemOption515 = false;
    Special_Process(14);
    EXPECT_EQ(JournalRecord(2).substr(12, 2), "S0");
    EXPECT_EQ(screen.Text(kModeBox), "Mode: Sales");  // a new sale
    EXPECT_EQ(gSale.gItemCount, 0);
}

// ---- command file ----------------------------------------------------------------------------

// The back office's session as the cash office runs it: what it was asked
// for, and the command file it found to send.
class RecordingOffice : public RegisterServices {
public:
    void Communicate(std::function<void()> then) override {
        ++sessions;
        mode = gComm.gOperationMode;
        hidden = gComm.gCommHidden;
        if (!ReadWholeFile(gConstants.paths.gFilesPath + ".CMD", fileSent)) fileSent = "(none)";
        gComm.gCommResult = result;
        if (then) then();
    }
    std::int16_t result = 0;
    int sessions = 0;
    std::optional<CommMode> mode;  // none before a session
    bool hidden = true;
    std::string fileSent;
};

class CommandFileTest : public DocumentHelpersTest {
protected:
    void SetUp() override {
        DocumentHelpersTest::SetUp();
        Reg().services = &office;
        gComm = CommState{};
        gComm.gCommHidden = true;
        gCountRunningTotal = *Money::Parse("99.5");
        gSettings.gPrinterType = PrinterType::Com1;
        gData.CashierTable.push_back(CashierRow{"7", "77", "Ann", 1});
        gReg.gCashierIndex = 1;
    }
    void TearDown() override {
        gSettings.gPrinterType = PrinterType::Off;
        Printer_Abandon();
        DocumentHelpersTest::TearDown();
    }
    std::string CommandFile() const { return gConstants.paths.gFilesPath + ".CMD"; }
    RecordingOffice office;
};

TEST_F(CommandFileTest, TheCommandIsWrittenPrivatelyAndSentThenTheCountStarts) {
    struct Case {
        int command;
        const char* contents;
    };
    for (const Case& c : {Case{1, "1\r\n"}, Case{0, ""}, Case{2, ""}}) {
        SCOPED_TRACE(c.command);
        office.sessions = 0;
        gCountRunningTotal = *Money::Parse("99.5");
        PrinterCapture cap;
        CommandFile_Create(c.command);
        EXPECT_EQ(office.sessions, 1);
        EXPECT_EQ(office.mode, CommMode::CommandFile);
        EXPECT_FALSE(office.hidden);
        EXPECT_EQ(office.fileSent, c.contents);
        struct stat st {};
        ASSERT_EQ(::stat(CommandFile().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        EXPECT_EQ(MessageLine(), "Communication Completed");
        EXPECT_EQ(gCountRunningTotal, Money());
        EXPECT_NE(cap.bytes.find("Physical Inventory Count Started"), std::string::npos);
        Printer_Abandon();
    }
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "Files"), {}), 2);  // .CMD and .LOG
}

TEST_F(CommandFileTest, AFailedSessionSaysSoAndPrintsNothing) {
    office.result = 3;
    PrinterCapture cap;
    CommandFile_Create(1);
    EXPECT_EQ(office.sessions, 1);
    EXPECT_EQ(MessageLine(), "Internet Connection Is Not Available");
    EXPECT_EQ(gCountRunningTotal, *Money::Parse("99.5"));
    EXPECT_EQ(cap.bytes, "");

    gSettings.gLanguage = 2;
    CommandFile_Create(1);
    EXPECT_EQ(MessageLine(), "Connexion \xE0 Internet n'Est pas Disponible");
}

TEST_F(CommandFileTest, AFileThatCannotBeWrittenRunsNoSession) {
    std::filesystem::remove_all(dir / "Files");
    dir.Write("Files", "not a folder");
    CommandFile_Create(1);
    EXPECT_EQ(office.sessions, 0);
    EXPECT_EQ(MessageLine(), "Error: Command File Not Written - See Log");
}

// The Mode page's count key reaches the helper through the inventory service.
TEST_F(CommandFileTest, TheServiceStartsACount) {
    InventoryDocuments inventory;
    Reg().services.inventory = &inventory;
    PrinterCapture cap;
    Inventory().CommandFile_Create();
    EXPECT_EQ(office.fileSent, "1\r\n");
}

}  // namespace
}  // namespace tarvo
