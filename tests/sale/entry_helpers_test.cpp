#include "sale/entry_helpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/constants.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/index_fixture.h"
#include "data/indexes.h"
#include "data/sale_state.h"
#include "register/register_fixture.h"
#include "screen/controls.h"

namespace tarvo {
namespace {

// Records the communication sessions asked for, with the mode and the
// visibility they were asked with.
class SessionServices : public RegisterServices {
public:
    std::vector<std::string> sessions;
    void Communicate(std::function<void()> then) override {
        sessions.push_back("mode " + std::to_string(static_cast<int>(gComm.gOperationMode)) +
                           (gComm.gCommHidden ? ", hidden" : ", shown"));
        if (then) then();
    }
};

class EntryHelpersTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        Reg().services = &sessionServices;
    }
    SessionServices sessionServices;
};

// ---- entry text ----------------------------------------------------------------------------

TEST_F(EntryHelpersTest, StripNumberKeepsDigitsAndMinusAndMakesEveryPointAPoint) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"1,50", "1.50"},
        {"$ 12", "12"},
        {"-2,5kg", "-2.5"},
        {"1.2.3", "1.2.3"},  // the form of the number is not checked
        {"12 345,67", "12345.67"},
        {"--1", "--1"},
        {"+3", "3"},
        {"1e5", "15"},
        {"abc", ""},
        {"", ""},
        {"\xBD"
         "7",
         "7"},  // a one-half sign of windows-1252 is dropped
    };
    for (const Case& c : cases) {
        screen.SetText(kEntryBox, c.in);
        Strip_Number();
        EXPECT_EQ(screen.Text(kEntryBox), c.out) << c.in;
    }
}

TEST_F(EntryHelpersTest, StripTextTurnsEachSeparatorIntoOneBlank) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"A&B, 'C'", "A B   C "},
        {"line1\r\nline2", "line1  line2"},
        {"Caf\xE9 \"noir\" ; 50% - ok!", "Caf\xE9  noir  ; 50% - ok!"},  // the rest stays
        {"&&", "  "},
        {"", ""},
    };
    for (const Case& c : cases) {
        screen.SetText(kEntryBox, c.in);
        Strip_Text();
        EXPECT_EQ(screen.Text(kEntryBox), c.out) << c.in;
    }
}

// ---- window title ------------------------------------------------------------------------

TEST_F(EntryHelpersTest, TitleShowsTerminalBusinessDateAndTheLoggedInCashier) {
    gTerminalNumber = "1234567";
    gSale.gDateText = "9/December/2026";
    gData.CashierTable = {CashierRow{}, CashierRow{"1", "1111", "Demo Cashier", 1},
                          CashierRow{"2", "2222", "Head Cashier", 3}};
    gData.gCashierCount = 2;
    struct Case {
        std::int32_t cashier;
        const char* title;
    } cases[] = {
        {0, "Corlant 18.03.14 Kaspen (1234567)  9/December/2026 "},
        {1, "Corlant 18.03.14 Kaspen (1234567)  9/December/2026 Demo Cashier"},
        {2, "Corlant 18.03.14 Kaspen (1234567)  9/December/2026 Head Cashier"},
        {3, "Corlant 18.03.14 Kaspen (1234567)  9/December/2026 "},  // beyond the table: no name
    };
    for (const Case& c : cases) {
        gReg.gCashierIndex = c.cashier;
        Caption_Show();
        EXPECT_EQ(screen.Title(), c.title) << "cashier " << c.cashier;
    }
    Data_Reset(gData);
}

// ---- full resend --------------------------------------------------------------------------

TEST_F(EntryHelpersTest, ResendOfEveryFileRunsOneShownSessionInPlainTextMode) {
    gComm.gOperationMode = CommMode::Full;
    gComm.gCommHidden = true;
    AllFilesASCII_Send();
    EXPECT_EQ(sessionServices.sessions, std::vector<std::string>{"mode 3, shown"});
}

// ---- word indexes at start -----------------------------------------------------------------

class SortPerformTest : public DataFolderTest {};

TEST_F(SortPerformTest, RebuildsTheIndexesTheSettingsAskFor) {
    struct Case {
        bool products, clients;
        std::int32_t productWords, clientWords;
    } cases[] = {
        {false, false, 0, 0},
        {true, false, 2, 0},
        {false, true, 0, 3},
        {true, true, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.products ? "products" : "no products") + ", " +
                     (c.clients ? "clients" : "no clients"));
        Data_Reset(gData);
        std::filesystem::remove(dir / "Data/1234567.AUX");
        std::filesystem::remove(dir / "Data/1234567.CUX");
        // "apple" and "soup"; "smith", "anna" and the telephone digits "12".
        LoadProducts({ProductRecord("P1", "B1", "RED APPLE BAG"), ProductRecord("P2", "B2", "SOUP")});
        LoadClients({ClientRecord("C1", "BO SMITH", "N/A"), ClientRecord("C2", "Anna", "  12 ")});
        gSettings.gSortProducts = c.products;
        gSettings.gSortClients = c.clients;

        Sort_Perform();

        EXPECT_EQ(gData.gAuxCount, c.productWords);
        EXPECT_EQ(gData.gCuxCount, c.clientWords);
        EXPECT_EQ(std::filesystem::exists(dir / "Data/1234567.AUX"), c.products);
        EXPECT_EQ(std::filesystem::exists(dir / "Data/1234567.CUX"), c.clients);
    }
}

}  // namespace
}  // namespace tarvo
