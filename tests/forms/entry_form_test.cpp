// The entry form as the cashier works it: its pages' rows in both languages,
// the keys that move the cursor, Exit and its confirmation, and the order and
// purchase header pages' checks and what they copy into the document header.
#include "forms/entry_form.h"

#include <gtest/gtest.h>

#include "data/lookups.h"
#include "forms/entry_fixture.h"
#include "office/communication.h"
#include "office/office_service.h"
#include "register_mode_print.h"
#include "sale/modes.h"
#include "sale/product_entry.h"

namespace tarvo {
namespace {

// ---- pages ---------------------------------------------------------------------------------

TEST_F(EntryFormTest, EveryPageBuildsItsRowsCaptionsAndButtonsInBothLanguages) {
    struct Case {
        int page, language, rows, font;
        std::array<int, 3> percent;
        int row;
        const char* caption;
        const char* help;
        int width;
        bool print, add;  // Button7 and Button6 shown
        const char* exit;
    } cases[] = {
        {18,
         1,
         11,
         16,
         {20, 50, 30},
         5,
         "Zip/Postal\nCode",
         "Enter client's zip code or postal code",
         12,
         true,
         true,
         "Abort\r\nExit"},
        {18,
         2,
         11,
         16,
         {20, 50, 30},
         11,
         "Numero\nTemplate",
         "Entrez number de template pour nouveau client",
         8,
         true,
         true,
         "Sortir"},
        {19,
         1,
         12,
         13,
         {25, 45, 30},
         12,
         "Product\nTemplate",
         "Similar product to use as template",
         20,
         true,
         false,
         "Abort\r\nExit"},
        {19,
         2,
         12,
         13,
         {25, 45, 30},
         4,
         "No.Produit Fournisseur",
         "Numero de produit de fournisseur",
         20,
         true,
         false,
         "Sortir"},
        {12,
         1,
         7,
         13,
         {20, 40, 40},
         1,
         "Order Type",
         "1 = Special Order\r2 = Layaway\r3 = Quotation\r4 = RMA    5 = Draft",
         1,
         false,
         false,
         "Abort\r\nExit"},
        {12, 2, 7, 13, {20, 40, 40}, 7, "Commentaires", "Commentaires", 100, false, false, "Sortir"},
        {14,
         1,
         9,
         13,
         {20, 40, 40},
         8,
         "Purchase Order Type",
         "1 = Regular    2 = Future\r3 = Ship Complete\r4 = Ship Direct    5 = Request for Quote",
         1,
         false,
         false,
         "Abort\r\nExit"},
        {13,
         2,
         9,
         13,
         {20, 40, 40},
         3,
         "Date de Livraison",
         "Format de date: AAAAMMJJ\rLa date \xE0 laquelle l'ordre devrait \xEAtre livr\xE9",
         8,
         false,
         false,
         "Sortir"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("page " + std::to_string(c.page) + " language " + std::to_string(c.language));
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        EntryForm& f = Open(c.page);
        ASSERT_TRUE(f.IsLoaded());
        EXPECT_TRUE(view.shown);
        EXPECT_FALSE(RegisterShown());
        EXPECT_EQ(f.Rows(), c.rows);
        EXPECT_EQ(f.State().gListFontSize, c.font);
        EXPECT_EQ(f.State().gListColumnPercent, c.percent);
        EXPECT_EQ(f.Row(c.row).caption, c.caption);
        EXPECT_EQ(f.Row(c.row).help, c.help);
        EXPECT_EQ(f.Row(c.row).width, c.width);
        EXPECT_EQ(f.ButtonVisible(kEntrySavePrint), c.print);
        EXPECT_EQ(f.ButtonVisible(kEntrySaveAdd), c.add);
        EXPECT_TRUE(f.ButtonVisible(kEntrySaveExit));
        EXPECT_TRUE(f.ButtonVisible(kEntryExit));
        EXPECT_EQ(f.ButtonCaption(kEntrySavePrint), c.language == 1 ? "Save\r\nPrint" : "Sauver\r\nImprimer");
        EXPECT_EQ(f.ButtonCaption(kEntrySaveAdd), c.language == 1 ? "Save\r\nAdd to Sale" : "Sauver\r\nContinuer");
        EXPECT_EQ(f.ButtonCaption(kEntrySaveExit), c.language == 1 ? "Save\r\nExit" : "Sauver\r\nSortir");
        EXPECT_EQ(f.ButtonCaption(kEntryExit), c.exit);
        Form().Button9_Click();
        Form().Button9_Click();
        EXPECT_FALSE(Form().IsLoaded());
    }
}

TEST_F(EntryFormTest, KeyHintsPutTheEscapeKeyOnExitAndConfirm) {
    gSettings.gKeyboardHints = 1;
    for (int language : {1, 2}) {
        gSettings.gLanguage = static_cast<std::int16_t>(language);
        EntryForm& f = Open(19);
        EXPECT_EQ(f.ButtonCaption(kEntryExit), language == 1 ? "Exit\r\n{Esc}" : "Sortir\r\n{Esc}");
        Type(3, "x");
        f.Button9_Click();
        EXPECT_EQ(f.ButtonCaption(kEntryExit), language == 1 ? "Confirm\r\n{Esc}" : "Confirmer\r\n{Esc}");
        f.Button9_Click();
    }
}

TEST_F(EntryFormTest, RowsAreLaidOutInTwipsByTheirShares) {
    EntryForm& f = Open(18);  // 11 rows: a pitch of 727 twips
    const EntryRowLayout second = f.RowLayout(2);
    EXPECT_EQ(second.caption, (FormRect{30, 727, 2388, 717}));
    EXPECT_EQ(second.entry, (FormRect{2418, 727, 5970, 717}));
    EXPECT_EQ(second.help, (FormRect{8388, 727, 3582, 717}));
    Form().Button9_Click();
    Form().Button9_Click();
    EntryForm& p = Open(19);  // 12 rows, 25/45/30
    const EntryFormLayout l = p.Entry_Layout();
    ASSERT_EQ(l.rows.size(), 13u);
    EXPECT_EQ(l.rows[12].caption, (FormRect{30, 11 * 666, 2985, 656}));
    EXPECT_EQ(l.rows[12].help.left, 30 + 2985 + 5373);
    EXPECT_LE(l.rows[12].caption.top + l.rows[12].caption.height, kEntryRowsHeight);
    // The message line and the buttons lie under the rows, side by side, inside the form.
    EXPECT_GE(l.message.top, kEntryRowsHeight);
    for (int k = 1; k <= kEntryButtons; ++k) {
        const FormRect& b = l.buttons[static_cast<std::size_t>(k)];
        EXPECT_GE(b.top, l.message.top + l.message.height);
        EXPECT_LE(b.left + b.width, kEntryFormWidth);
        EXPECT_LE(b.top + b.height, kEntryFormHeight);
        if (k > 1) {
            const FormRect& before = l.buttons[static_cast<std::size_t>(k - 1)];
            EXPECT_GT(b.left, before.left + before.width);
        }
    }
}

TEST_F(EntryFormTest, AnUnknownPageClosesTheFormAtOnce) {
    Screen().SetText(kEntryBox, "123");
    EntryForm& f = Open(5);
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(view.shows, 0);
    EXPECT_TRUE(RegisterShown());
    EXPECT_EQ(Screen().Text(kEntryBox), "");
}

// ---- the cursor ----------------------------------------------------------------------------

TEST_F(EntryFormTest, KeysMoveTheCursorSkippingHiddenButtonsAndWrapping) {
    struct Case {
        int page;
        int from;  // a row, or rows + k for button k
        int key, shift;
        int to;
        bool used;
    } cases[] = {
        {12, 7, 13, 0, 10, true},   // Enter from the last row: Button8, the hidden two skipped
        {12, 10, 38, 0, 7, true},   // Up from Button8: the last row
        {12, 11, 13, 0, 1, true},   // Enter on Button9: row 1
        {12, 1, 38, 0, 11, true},   // Up on row 1: Button9
        {12, 3, 39, 0, 4, true},    // Right
        {12, 3, 40, 0, 4, true},    // Down
        {12, 3, 37, 0, 2, true},    // Left
        {18, 11, 40, 0, 12, true},  // the client page shows Button7 and Button6
        {18, 12, 13, 0, 13, true}, {18, 14, 37, 0, 13, true},
        {19, 13, 13, 0, 15, true},                            // the product page skips Button6 only
        {19, 15, 38, 0, 13, true}, {19, 3, 39, 1, 3, false},  // with Shift an arrow is the box's
        {19, 3, 65, 0, 3, false},                             // a letter is typed
        {19, 3, 107, 0, 3, true},                             // keypad plus on a row: nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("page " + std::to_string(c.page) + " from " + std::to_string(c.from) + " key " +
                     std::to_string(c.key));
        EntryForm& f = Open(c.page);
        if (c.from <= f.Rows())
            f.Row_Click(c.from);
        else
            f.Button_Focus(c.from - f.Rows());
        ASSERT_EQ(f.Position(), c.from);
        EXPECT_EQ(Key(c.key, c.shift), c.used);
        EXPECT_EQ(f.Position(), c.to);
        EXPECT_TRUE(f.IsLoaded());
    }
}

TEST_F(EntryFormTest, TheCurrentRowIsHighlightedInTheSelectColour) {
    gSettings.gSelectedRowColour = "65280";
    gSettings.gGreetingForeColour = 8421504;
    EntryForm& f = Open(19);
    EXPECT_EQ(f.Position(), 1);
    f.Row_Focus(4);
    for (int i = 1; i <= f.Rows(); ++i) EXPECT_EQ(f.Row(i).colour, i == 4 ? 65280 : 8421504) << i;
    f.Button_Focus(kEntrySaveExit);  // nothing highlighted while a button is current
    for (int i = 1; i <= f.Rows(); ++i) EXPECT_EQ(f.Row(i).colour, 8421504) << i;
}

TEST_F(EntryFormTest, ColourSettingsOutsideTheColoursFallBackToRedAndBlack) {
    struct Case {
        const char* select;
        std::int32_t text;
        std::int32_t selectColour, textColour;
    } cases[] = {
        {"255", 0, 255, 0},
        {" 16777215 ", 16777215, 16777215, 16777215},
        {"16777216", 16777216, 255, 0},
        {"-1", -1, 255, 0},
        {"blue", 0, 255, 0},
        {"", 0, 255, 0},
        {"12.5", 0, 255, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.select);
        gSettings.gSelectedRowColour = c.select;
        gSettings.gGreetingForeColour = c.text;
        EntryForm& f = Open(12);
        EXPECT_EQ(f.State().gListSelectColour, c.selectColour);
        EXPECT_EQ(f.State().gListTextColour, c.textColour);
        EXPECT_EQ(f.Row(1).colour, c.selectColour);
        EXPECT_EQ(f.Row(2).colour, c.textColour);
    }
}

// ---- Exit ------------------------------------------------------------------------------------

TEST_F(EntryFormTest, ExitWithNothingTypedClosesAtOnceAndEmptiesTheEntryBox) {
    for (int key : {0, 27}) {
        SCOPED_TRACE(key);
        EntryForm& f = Open(19);
        Screen().SetText(kEntryBox, "typed");
        if (key == 0)
            f.Button9_Click();
        else
            EXPECT_TRUE(Key(27));
        EXPECT_FALSE(f.IsLoaded());
        EXPECT_FALSE(view.shown);
        EXPECT_TRUE(RegisterShown());
        EXPECT_EQ(Screen().Text(kEntryBox), "");
    }
    EXPECT_TRUE(services.calls.empty());
}

TEST_F(EntryFormTest, ExitWithSomethingTypedAsksForAConfirmation) {
    EntryForm& f = Open(19);
    Type(3, "Widget");
    f.Button9_Click();
    EXPECT_TRUE(f.IsLoaded());
    EXPECT_TRUE(f.State().gEntryExitConfirm);
    EXPECT_EQ(f.ButtonCaption(kEntryExit), "Confirm");
    EXPECT_EQ(f.RowText(3), "Widget");
    // Shift with "=" presses the button at the cursor: Exit, confirmed.
    f.Button_Focus(kEntryExit);
    EXPECT_TRUE(Key(187, 1));
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_TRUE(RegisterShown());
    EXPECT_EQ(DataBytes(".NWP").size(), 0u);
}

TEST_F(EntryFormTest, LeavingTheOrderPageKeepsTheHeaderAndTheMode) {
    gSale.gMode = RegisterMode::Sales;
    gSale.gDocType = "3";
    EntryForm& f = Open(12);
    Type(1, "5");
    f.Button9_Click();
    f.Button9_Click();
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(gSale.gDocType, "3");
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    EXPECT_TRUE(services.calls.empty());
}

TEST_F(EntryFormTest, LeavingThePurchasePageCancelsThePurchase) {
    for (int page : {13, 14}) {
        services.calls.clear();
        EntryForm& f = Open(page);  // it opens with its defaults typed: Exit asks first
        f.Button9_Click();
        EXPECT_TRUE(services.calls.empty());
        f.Button9_Click();
        EXPECT_FALSE(f.IsLoaded());
        EXPECT_EQ(services.calls, std::vector<std::string>{"Purchase_Cancel"});
        // The globals keep the defaults the page set when it opened.
        EXPECT_EQ(gSale.gDocPriority, "2");
        EXPECT_EQ(gSale.gDocType, "1");
        EXPECT_EQ(gSale.gDocCancelBackOrders, "1");
    }
}

// ---- save ------------------------------------------------------------------------------------

TEST_F(EntryFormTest, SaveWithEveryBoxEmptyDoesNothingOnEveryPage) {
    for (int page : {18, 19, 12, 14}) {
        SCOPED_TRACE(page);
        EntryForm& f = Open(page);
        for (int i = 1; i <= f.Rows(); ++i) Type(i, "");
        for (int k : {kEntrySavePrint, kEntrySaveAdd, kEntrySaveExit})
            if (f.ButtonVisible(k)) f.Button_Click(k);
        EXPECT_TRUE(f.IsLoaded());
        EXPECT_FALSE(f.State().gEntryHasData);
        f.Button9_Click();
    }
    EXPECT_EQ(services.calls, std::vector<std::string>{"Purchase_Cancel"});  // from leaving the purchase page
    EXPECT_EQ(DataBytes(".NWC").size() + DataBytes(".NWP").size(), 0u);
}

TEST_F(EntryFormTest, StripDataBlanksWhatWouldBreakARecordEvenWhenTheSaveIsRefused) {
    struct Case {
        const char* typed;
        const char* kept;
    } cases[] = {
        {"Smith, O'Brien", "Smith  O Brien"},
        {"say \"hi\"", "say  hi "},
        {"a\rb\nc", "a b c"},
        {"R&D\ttab", "R D tab"},
        {"caf\xE9", "caf\xE9"},  // windows-1252 letters stay
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EntryForm& f = Open(19);
        Type(3, c.typed);
        f.Button8_Click();  // refused: no template
        EXPECT_TRUE(f.IsLoaded());
        EXPECT_EQ(f.RowText(3), c.kept);
        f.Button9_Click();
        f.Button9_Click();
    }
}

TEST_F(EntryFormTest, EntryBoxesTakeNoMoreThanTheirFieldsWidth) {
    EntryForm& f = Open(18);
    Type(2, std::string(60, 'N'));
    EXPECT_EQ(f.RowText(2), std::string(45, 'N'));
    Type(1, "123456789");
    EXPECT_EQ(f.RowText(1), "12345678");
}

// ---- order and purchase headers -------------------------------------------------------------

class HeaderPageTest : public EntryFormTest {
protected:
    // The register's mode box, which a saved header page leaves naming the mode.
    const ControlId kModeBox{Control::Txt_Mode, 0};

    void SetUp() override {
        EntryFormTest::SetUp();
        DefaultHeader();
    }
    // The document header as a new sale sets it.
    static void DefaultHeader() {
        SaleState& s = gSale;
        s.gMode = RegisterMode::Sales;
        s.gDocType = "1";
        s.gDocPriority = "1";
        s.gDocDeliveryDate = "20261208";
        s.gDocCancelBackOrders = "1";
        s.gDocSupplyMethod = "1";
        s.gDocDeliveryMethod = "1";
        s.gDocComment = "";
    }
};

TEST_F(HeaderPageTest, TheOrderPageAcceptsOnlyItsValuesAndARealDate) {
    struct Case {
        int row;
        const char* typed;
        bool saved;
    } cases[] = {
        {3, "20261209", true},
        {3, "2026121 ", false},  // seven digits and a blank
        {3, "20261309", false},  // month 13
        {3, "20300231", false},  // 31 February is no date
        {3, "20240229", true},   // a leap day
        {3, "20230229", false},
        {3, "20510101", false},  // years compare as text: "2051" is past "2050"
        {3, "20500101", true},
        {3, "20031231", false},
        {3, "", false},  // required
        {3, "2026129", false},
        {3, "2026120a", false},
        {3, "+2026120", false},
        {1, "7", true},  // "1" to "9", wider
                         // than the five types
                         // of its help line
        {1, "0", false},
        {2, "3", true},
        {2, "4", false},
        {4, "2", true},
        {4, "3", false},
        {5, "0", false},
        {6, "2", true},
        {6, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + " \"" + c.typed + "\"");
        services.calls.clear();
        DefaultHeader();
        screen.SetText(kModeBox, "");
        EntryForm& f = Open(12);
        EXPECT_EQ(f.RowText(3), "20261208");  // the header as the sale has it
        Type(c.row, c.typed);
        f.Button8_Click();
        EXPECT_EQ(f.IsLoaded(), !c.saved);
        if (c.saved) {
            EXPECT_EQ(gSale.gMode, RegisterMode::OrderEntry);
            EXPECT_EQ(screen.Text(kModeBox), "Mode: Order Entry");
            EXPECT_TRUE(services.calls.empty());
            EXPECT_TRUE(RegisterShown());
        } else {
            EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
            EXPECT_EQ(screen.Text(kModeBox), "");
            EXPECT_TRUE(services.calls.empty());
            f.Button9_Click();
            f.Button9_Click();
        }
    }
}

TEST_F(HeaderPageTest, TheOrderPageCopiesItsRowsIntoTheHeader) {
    EntryForm& f = Open(12);
    const char* typed[] = {"", "2", "3", "20270115", "2", "2", "1", "Call before, please"};
    for (int i = 1; i <= 7; ++i) Type(i, typed[i]);
    f.Button_Focus(kEntrySaveExit);
    EXPECT_TRUE(Key(107));  // keypad plus on Button8 saves
    ASSERT_FALSE(f.IsLoaded());
    const SaleState& s = gSale;
    EXPECT_EQ(s.gDocType, "2");
    EXPECT_EQ(s.gDocPriority, "3");
    EXPECT_EQ(s.gDocDeliveryDate, "20270115");
    EXPECT_EQ(s.gDocCancelBackOrders, "2");
    EXPECT_EQ(s.gDocSupplyMethod, "2");
    EXPECT_EQ(s.gDocDeliveryMethod, "1");
    EXPECT_EQ(s.gDocComment, "Call before  please");
}

TEST_F(HeaderPageTest, ThePurchasePageStartsFromItsDefaultsAndCopiesItsRows) {
    gSale.gDocComment = "left from an order";
    EntryForm& f = Open(14);
    const char* shown[] = {"", "", "", "", "", "1", "", "2", "1", ""};
    for (int i = 1; i <= 9; ++i) EXPECT_EQ(f.RowText(i), shown[i]) << i;

    // Saved unchanged: status 2, type 1, cancel back orders 1, the dates empty.
    screen.SetText(kModeBox, "");
    f.Button8_Click();
    ASSERT_FALSE(f.IsLoaded());
    EXPECT_EQ(screen.Text(kModeBox), "Mode: Sales");  // the mode the sale is in, shown before the vendor
    EXPECT_EQ(services.calls, (std::vector<std::string>{"Vendor_ShowInformation"}));
    EXPECT_EQ(gSale.gDocPriority, "2");
    EXPECT_EQ(gSale.gDocType, "1");
    EXPECT_EQ(gSale.gDocCancelBackOrders, "1");
    EXPECT_EQ(gSale.gDocDeliveryDate, "");
    EXPECT_EQ(gSale.gDocCancelDate, "");
    EXPECT_EQ(gSale.gDocComment, "");

    EntryForm& g = Open(14);
    const char* typed[] = {"", "Ann Contact", "V-778", "20270102", "20270301", "2", "1Z999", "1", "4", "Rush it"};
    for (int i = 1; i <= 9; ++i) Type(i, typed[i]);
    g.Button8_Click();
    ASSERT_FALSE(g.IsLoaded());
    const SaleState& s = gSale;
    EXPECT_EQ(s.gDocSupplyMethod, "Ann Contact");
    EXPECT_EQ(s.gDocVendorOrderNo, "V-778");
    EXPECT_EQ(s.gDocDeliveryDate, "20270102");
    EXPECT_EQ(s.gDocCancelDate, "20270301");
    EXPECT_EQ(s.gDocCancelBackOrders, "2");
    EXPECT_EQ(s.gDocDeliveryMethod, "1Z999");
    EXPECT_EQ(s.gDocPriority, "1");
    EXPECT_EQ(s.gDocType, "4");
    EXPECT_EQ(s.gDocComment, "Rush it");
}

TEST_F(HeaderPageTest, ThePurchasePageRefusesValuesOutsideItsSets) {
    struct Case {
        int row;
        const char* typed;
        bool saved;
    } cases[] = {
        {8, "6", false},  {8, "5", true},         {7, "3", false},        {5, "0", false},
        {3, "   ", true}, {4, "20510101", false}, {4, "20270230", false}, {3, "202701", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + " \"" + c.typed + "\"");
        EntryForm& f = Open(14);
        Type(c.row, c.typed);
        f.Button8_Click();
        EXPECT_EQ(f.IsLoaded(), !c.saved);
        if (f.IsLoaded()) {
            f.Button9_Click();
            f.Button9_Click();
        }
    }
    EXPECT_EQ(gSale.gDocDeliveryDate, "");  // all blanks is an empty date
}

// ---- leaving the form ------------------------------------------------------------------------

// The order keys of the Mode page open the form on the order page.
class OrderKeyTest : public HeaderPageTest {
protected:
    class OrderKeyServices : public EntryServices {
    public:
        void EntryForm_Show() override { EntryForm_Open(); }
    };
    void SetUp() override {
        HeaderPageTest::SetUp();
        Reg().services = &keys;
        gReg.gCashierIndex = 1;
        // A100 sells at 10.00, taxed by tax 1 at 5 %.
        std::ofstream(gConstants.paths.gFilesPath + ".PRD", std::ios::binary)
            << Crlf({FixedAt(273, {{1, "00000001"}, {12, "A100"}, {60, "Lamp"}, {90, "1"}, {100, "10.00"}})});
        Parse_FileProduct();
    }
    // A100 scanned: the line added and the total on the screen.
    std::string ScanAndTotal() {
        gSale.gQuantity = 1;
        gSale.gLineKind = "P";
        Product_SetCurrent("A100", Product_Find("A100"));
        Product_Add();
        EXPECT_EQ(gSale.gItemCount, 1);
        return screen.Text(ControlId{Control::Rt_Total, 0});
    }
    OrderKeyServices keys;
};

// A store order carries no tax; the order page left without saving takes
// that back, so the sale rung up next is taxed as it was before the key.
TEST_F(OrderKeyTest, LeavingTheOrderPageTakesBackWhatTheKeySet) {
    struct Case {
        const char* what;
        int key;            // 21 client order, 22 store order
        bool exemptBefore;  // the cashier had made the sale tax exempt
        bool save;
        const char* total;  // of A100 rung up afterwards
    };
    const Case cases[] = {
        {"store order left", 22, false, false, "$10.50"},
        {"client order left", 21, false, false, "$10.50"},
        {"store order left on a sale made exempt", 22, true, false, "$10.00"},
        {"store order saved", 22, false, true, "$10.00"},
        {"client order saved", 21, false, true, "$10.50"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gSale = SaleState{};
        DefaultHeader();
        gSale.gTaxRate = {0, 5, 0, 0};
        for (int k = 1; k <= 3; ++k) gSale.gTaxExempt[k] = c.exemptBefore;
        Mode_Process(c.key);
        EntryForm* form = EntryForm_Current();
        ASSERT_TRUE(form && form->IsLoaded());
        if (c.save) {
            form->Button8_Click();
        } else {
            form->Button9_Click();
            form->Button9_Click();  // the page opens with the header typed: Exit asks first
        }
        ASSERT_FALSE(form->IsLoaded());
        EXPECT_EQ(ScanAndTotal(), c.total);
    }
}

// The register's schedule of sessions as the program runs it (the transfer's
// stand-in answers for the back office): a fixed-time session that runs ends
// with "Hanging Up the Internet Connection" on the message line; one that
// falls due while the form is open waits for the next sale.
class EntryLeftTest : public HeaderPageTest {
protected:
    void SetUp() override {
        HeaderPageTest::SetUp();
        Reg().services.office = &office;
        gData.CashierTable.push_back(CashierRow{"17", "1111", "Demo", 1});
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
        Communication_Configure();
    }
    // A session due at 14:mm, and the timer's tick at that minute.
    void SessionDueAt(int mm) {
        gSettings.gAutoSendTime[0] = "14:" + std::to_string(mm);
        clock.Set(LocalTime{2026, 12, 8, 14, mm, 20});
        ASSERT_TRUE(timers.Tick(TimerId::Comm));
    }
    CashOffice office;
};

TEST_F(EntryLeftTest, EveryWayOutOfTheFormLetsTheNextScheduledSessionRun) {
    struct Case {
        const char* what;
        int page;
        std::vector<std::pair<int, std::string>> typed;
        int button;
    };
    const Case cases[] = {
        {"a new client saved", 18, {{1, "55501234"}, {2, "New Client"}}, kEntrySaveExit},
        {"a new product saved", 19, {{1, "N200"}, {12, "P100"}}, kEntrySaveExit},
        {"the new product page left", 19, {}, kEntryExit},
        {"the order page saved", 12, {}, kEntrySaveExit},
        {"the order page left", 12, {}, kEntryExit},
        {"the purchase page saved", 14, {}, kEntrySaveExit},
        {"the purchase page left", 14, {}, kEntryExit},
    };
    int minute = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DefaultHeader();
        EntryForm& f = Open(c.page);
        for (const auto& [row, text] : c.typed) Type(row, text);
        f.Button_Click(c.button);
        if (f.IsLoaded() && c.button == kEntryExit) f.Button_Click(kEntryExit);  // confirmed
        ASSERT_FALSE(f.IsLoaded());
        screen.SetText(kMessageLine, "");
        SessionDueAt(minute++);
        EXPECT_EQ(screen.Text(kMessageLine), "Hanging Up the Internet Connection");
    }
    // While the form is open the session waits.
    EntryForm& f = Open(19);
    screen.SetText(kMessageLine, "");
    SessionDueAt(minute);
    EXPECT_TRUE(f.IsLoaded());
    EXPECT_EQ(screen.Text(kMessageLine), "");
}

}  // namespace
}  // namespace tarvo
