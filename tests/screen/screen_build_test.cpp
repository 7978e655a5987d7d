#include "screen/screen_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "register/key_fixture.h"
#include "register/register_keys.h"
#include "screen/receipt_area.h"

namespace tarvo {
namespace {

constexpr ControlId Id(Control name, int index = 0) { return ControlId{name, index}; }

class ScreenBuildTest : public KeyTest {
protected:
    // Data and settings under which every optional key shows.
    void AllOptionalKeysShown() {
        gData.gSalesmanCount = 2;
        gData.gClientCount = 2;
        gSettings.gSortClients = true;
        gSettings.gSortProducts = true;
        gSettings.gExtrasPageOn = true;
    }
    const std::string& Extras(int key, int language) const {
        return gConstants.tables.SoftKeyCaptions[3][static_cast<std::size_t>(key)][static_cast<std::size_t>(language)];
    }
};

// ---- fixed captions -----------------------------------------------------------------------

struct CaptionRow {
    Control name;
    int index;
    const char* englishPlain;
    const char* englishHints;
    const char* frenchPlain;
    const char* frenchHints;
};

const CaptionRow kExpectedCaptions[] = {
    {Control::BReg, 1, "Block", "Block\r{Ins.}", "Bloquer", "Bloquer\r{Ins.}"},
    {Control::BReg, 2, "Erase", "Erase", "Effacer", "Effacer"},
    {Control::BReg, 3, "Quantity", "Quantity\r{*}", "Quantite", "Quantite\r{*}"},
    {Control::BReg, 4, "Enter", "Enter", "Enter", "Enter"},
    {Control::BOp, 1, "VoidLast Item", "VoidLast\rF6", "Annuler\rDer.Art.", "Ann.Der.\rF6"},
    {Control::BOp, 2, "Void", "Void\rF7", "Annuler", "Annuler\rF7"},
    {Control::BOp, 3, "Clock In/Out", "Clock\rF8", "Horloge", "Horloge\rF8"},
    {Control::BOp, 4, "Sales Person", "Salesp.\rF9", "Vendeur", "Vendeur\rF9"},
    {Control::BOp, 5, "Client Search", "Search\rF11", "Recher. Client", "Recher.\rF11"},
    {Control::BOp, 6, "Client", "Client\rF10", "Client", "Client\rF10"},
    {Control::BOp, 7, "Product Search", "PrdSrch\rF12", "Recher. Produit", "Recher.\rF12"},
    {Control::BOp, 8, "Product", "", "Produit", ""},
    {Control::BSys, 1, "System", "System", "Systeme", "Systeme"},
    {Control::BSys, 2, "Mode", "Mode", "Mode", "Mode"},
    {Control::BSys, 3, "Extras", "Extras", "Online", "Online"},
    {Control::BSys, 4, "Print", "Print", "Imprimer", "Imprimer"},
    {Control::BSys, 5, "Special", "Special\rF3", "Special", "Special\rF3"},
    {Control::BSys, 6, "Sales", "Sales\rF4", "Ventes", "Ventes\rF4"},
    {Control::mTotalRegister, 0, "Total", "Total\rF1", "Total", "Total\rF1"},
    {Control::BPayment, 0, "Payment", "Payment\rF2", "Paiement", "Paiement\rF2"},
};

TEST_F(ScreenBuildTest, FixedCaptionsFollowLanguageAndKeyboardHints) {
    struct Mode {
        std::int16_t language, hints;
    };
    for (Mode m : {Mode{1, 0}, Mode{1, 1}, Mode{2, 0}, Mode{2, 1}}) {
        SCOPED_TRACE(testing::Message() << "language " << m.language << " hints " << m.hints);
        gSettings.gLanguage = m.language;
        gSettings.gKeyboardHints = m.hints;
        AllOptionalKeysShown();
        UI_Setup();
        for (const CaptionRow& r : kExpectedCaptions) {
            const char* expected = m.language == 1 ? (m.hints ? r.englishHints : r.englishPlain)
                                                   : (m.hints ? r.frenchHints : r.frenchPlain);
            EXPECT_EQ(screen.Caption(Id(r.name, r.index)), expected) << r.name << " " << r.index;
        }
    }
}

TEST_F(ScreenBuildTest, AnyHintSettingOtherThanZeroIsHintMode) {
    gSettings.gKeyboardHints = 7;
    UI_Setup();
    EXPECT_EQ(screen.Caption(Id(Control::BReg, 1)), "Block\r{Ins.}");
    EXPECT_EQ(screen.Caption(Id(Control::BOp, 8)), "");
}

TEST_F(ScreenBuildTest, AnOtherLanguageWritesNoFixedCaption) {
    for (const CaptionRow& r : kExpectedCaptions) screen.SetCaption(Id(r.name, r.index), "as designed");
    gSettings.gLanguage = 3;
    UI_Setup();
    for (const CaptionRow& r : kExpectedCaptions)
        EXPECT_EQ(screen.Caption(Id(r.name, r.index)), "as designed") << r.name << " " << r.index;
}

TEST_F(ScreenBuildTest, OptionalKeysShowBySettingsAndLoadedData) {
    struct Case {
        const char* what;
        std::int32_t salesmen, clients;
        bool sortClients, sortProducts;
        bool extrasOn;  // setting 640
        bool salesperson, clientSearch, client, productSearch, extras;
    };
    const Case cases[] = {
        {"all shown", 2, 2, true, true, true, true, true, true, true, true},
        {"one salesman", 1, 2, true, true, true, false, true, true, true, true},
        {"no salesman", 0, 2, true, true, true, false, true, true, true, true},
        {"exactly one client", 2, 1, true, true, true, true, false, false, true, true},
        {"client search not sorted", 2, 5, false, true, true, true, false, true, true, true},
        {"products not sorted", 2, 2, true, false, true, true, true, true, false, true},
        {"extras off", 2, 2, true, true, false, true, true, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gData.gSalesmanCount = c.salesmen;
        gData.gClientCount = c.clients;
        gSettings.gSortClients = c.sortClients;
        gSettings.gSortProducts = c.sortProducts;
        gSettings.gExtrasPageOn = c.extrasOn;
        UI_Setup();
        EXPECT_EQ(screen.Caption(Id(Control::BOp, 4)).empty(), !c.salesperson);
        EXPECT_EQ(screen.Caption(Id(Control::BOp, 5)).empty(), !c.clientSearch);
        EXPECT_EQ(screen.Caption(Id(Control::BOp, 6)).empty(), !c.client);
        EXPECT_EQ(screen.Caption(Id(Control::BOp, 7)).empty(), !c.productSearch);
        EXPECT_EQ(screen.Caption(Id(Control::BSys, 3)).empty(), !c.extras);
        // A blank operation key stays enabled; a blank page key does not.
        for (int i = 1; i <= 8; ++i) EXPECT_TRUE(screen.Enabled(Id(Control::BOp, i))) << i;
        EXPECT_EQ(screen.Enabled(Id(Control::BSys, 3)), c.extras);
        EXPECT_TRUE(screen.Enabled(Id(Control::BSys, 1)));
    }
}

TEST_F(ScreenBuildTest, OperationAndPageKeySizesByLanguageAndHints) {
    struct Case {
        std::int16_t language, hints;
        std::vector<double> op, sys;
    };
    const Case cases[] = {
        {1, 0, {13, 14, 14, 14, 14, 14, 14, 14}, {14, 14, 14, 14, 14, 14}},
        {1, 1, {13, 14, 14, 14, 14, 14, 14, 14}, {14, 14, 14, 14, 14, 14}},
        {2, 1, {13, 14, 14, 14, 14, 14, 14, 14}, {12, 14, 14, 12, 14, 14}},
        {2, 0, {13, 14, 14, 14, 14, 14, 12, 14}, {12, 14, 14, 12, 14, 14}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "language " << c.language << " hints " << c.hints);
        gSettings.gLanguage = c.language;
        gSettings.gKeyboardHints = c.hints;
        UI_Setup();
        for (int i = 1; i <= 8; ++i) {
            EXPECT_EQ(screen.State(Id(Control::BOp, i)).font, (Font{"Cambria", c.op[i - 1], false, false}))
                << Id(Control::BOp, i);
        }
        for (int i = 1; i <= 6; ++i) {
            EXPECT_EQ(screen.State(Id(Control::BSys, i)).font, (Font{"Cambria", c.sys[i - 1], false, false}))
                << Id(Control::BSys, i);
        }
    }
}

// ---- department page keys ---------------------------------------------------------------------

TEST_F(ScreenBuildTest, PageKeysTakeTheirCaptionsColoursAndSizeFromTheirSettings) {
    // Settings of pages 1-8: captions (600/605, 610/615, 620/625, 630/635,
    // 601/602, 603/604, 606/607, 608/609) and colours (410, 415, 420, 425,
    // 411, 412, 413, 414).
    struct Case {
        int page, code1, code2;
        const char* line1;
        const char* line2;
        const char* caption;
        double size;
    };
    const Case cases[] = {
        {1, 600, 605, "Grocery", "", "Grocery", 13},
        {2, 610, 615, "Deli", "Counter", "Deli\rCounter", 13},
        {3, 620, 625, "Produce", "Organic", "Produce\rOrganic", 13},  // seven characters each
        {4, 630, 635, "Beverage", "", "Beverage", 10},                // eight characters
        {5, 601, 602, "Hot", "Prepared", "Hot\rPrepared", 10},        // the second line decides
        {6, 603, 604, "", "", "", 13},
        {7, 606, 607, "Bakery", "Fresh", "Bakery\rFresh", 13},
        {8, 608, 609, "Household", "Goods", "Household\rGoods", 10},
    };
    for (const Case& c : cases) {
        gSettings.gScreenText[c.code1] = c.line1;
        gSettings.gScreenText[c.code2] = c.line2;
        gSettings.gPageColour[static_cast<std::size_t>(c.page - 1)] = std::to_string(1000 + c.page);
    }
    UI_Setup();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        const ControlId key = Id(Control::BDep, c.page);
        EXPECT_EQ(screen.Caption(key), c.caption);
        EXPECT_EQ(screen.State(key).font, (Font{"Cambria", c.size, false, false}));
        EXPECT_EQ(screen.State(key).backColour, 1000u + c.page);
        EXPECT_TRUE(screen.Enabled(key));  // even without a caption
    }
}

// ---- the Extras page ------------------------------------------------------------------------------

TEST_F(ScreenBuildTest, ExtrasCaptionsFollowTheirSettings) {
    gSettings.gKeyOption645 = true;
    gSettings.gKeyOption642 = true;
    gSettings.gKeyOption643 = true;
    UI_Setup();
    EXPECT_EQ(Extras(1, 1), "Upload PO\r\nFrom File");
    EXPECT_EQ(Extras(2, 1), "Receive\r\nPurchOrder");
    EXPECT_EQ(Extras(21, 1), "Upload\r\nNew Orders");
    EXPECT_EQ(Extras(24, 1), "Download\r\nOrdersToUPS");
    EXPECT_EQ(Extras(1, 2), "Entrez\r\nCmd.Achat");
    EXPECT_EQ(Extras(2, 2), "Reception\r\nCmd.Achat");
    EXPECT_EQ(Extras(21, 2), "Upload\r\nNew Orders");
    EXPECT_EQ(Extras(24, 2), "Download\r\nOrders to UPS");
    // The label keys keep the captions of the tables, in both languages.
    EXPECT_EQ(Extras(3, 1), "Print Labels\r\nBy Purchase");
    EXPECT_EQ(Extras(4, 2), "Imp. Etiq.\r\nPar Cmde.");

    gSettings.gKeyOption645 = false;
    gSettings.gKeyOption642 = false;
    gSettings.gKeyOption643 = false;
    UI_Setup();
    for (int key : {1, 2, 21, 24})
        for (int language : {1, 2}) EXPECT_EQ(Extras(key, language), "") << key << " " << language;
}

TEST_F(ScreenBuildTest, ExtrasCardKeysFollowTheCardBackEnd) {
    struct Case {
        bool enabled;
        CardBackend backend;
        std::array<const char*, 4> english;  // keys 13 to 16
        std::array<const char*, 4> french;
    };
    const Case cases[] = {
        {true,
         CardBackend::Terminal,
         {"Find Dejavoo\r\nTerminal", "Set  Dejavoo\r\nTerminal", "Test Dejavoo\r\nTerminal", ""},
         {"Trouvez\r\nTerminal", "R\xE9glez\r\nTerminal", "Testez\r\nTerminal", ""}},
        {true, CardBackend::Gateway, {"", "", "", "Test Pymt\r\nGateway"}, {"", "", "", "Testez\r\nPasserelle"}},
        {true, CardBackend::ExchangeFiles, {"", "", "", ""}, {"", "", "", ""}},
        // Card processing off: the keys are left as they were.
        {false, CardBackend::Terminal, {"kept", "kept", "kept", "kept"}, {"kept", "kept", "kept", "kept"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "card " << c.enabled << " back-end " << static_cast<int>(c.backend));
        for (int key = 13; key <= 16; ++key)
            for (int language : {1, 2})
                gConstants.tables
                    .SoftKeyCaptions[3][static_cast<std::size_t>(key)][static_cast<std::size_t>(language)] = "kept";
        gSettings.gCardEnabled = c.enabled;
        gSettings.gCardBackend = c.backend;
        UI_Setup();
        for (int key = 13; key <= 16; ++key) {
            EXPECT_EQ(Extras(key, 1), c.english[static_cast<std::size_t>(key - 13)]) << key;
            EXPECT_EQ(Extras(key, 2), c.french[static_cast<std::size_t>(key - 13)]) << key;
        }
    }
}

TEST_F(ScreenBuildTest, ExtrasPageShowsTheCaptionsOfTheLanguage) {
    gSettings.gExtrasPageOn = true;
    gSettings.gKeyOption645 = true;
    gSettings.gLanguage = 2;
    UI_Setup();
    LoggedIn();
    BSys_Click(3);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Extras);
    EXPECT_EQ(screen.Caption(SoftKeyId(1)), "Entrez\r\nCmd.Achat");
    EXPECT_EQ(screen.Caption(SoftKeyId(3)), "Imp. Etiq.\r\nPar Achat");
    EXPECT_EQ(screen.Caption(SoftKeyId(7)), "Embal.\r\nCmde");
    EXPECT_EQ(screen.Caption(SoftKeyId(8)), "");
    EXPECT_FALSE(screen.Enabled(SoftKeyId(8)));
    // The device check has an operation, so a caption of its own in both languages.
    EXPECT_EQ(screen.Caption(SoftKeyId(9)), "V\xE9rif.\r\nApp. USB");
    EXPECT_TRUE(screen.Enabled(SoftKeyId(9)));
    gSettings.gLanguage = 1;
    UI_Setup();
    BSys_Click(3);
    EXPECT_EQ(screen.Caption(SoftKeyId(9)), "USB Device\r\nCheck");
    EXPECT_TRUE(screen.Enabled(SoftKeyId(9)));
}

TEST_F(ScreenBuildTest, SpecialOperationsRunLastAndWinOverTheExtrasCaptions) {
    gSettings.gKeyOption642 = true;
    // Records from position 4, five characters each: Extras key 21 removed,
    // System key 5 needs a manager.
    gSettings.gSpecialOperations = "02 3210 1051 ";
    UI_Setup();
    EXPECT_EQ(Extras(21, 1), "");
    EXPECT_EQ(Extras(21, 2), "");
    EXPECT_EQ(gConstants.tables.SoftKeyFlags[1][5], "1");
}

// ---- titles, fonts, colours, tab order ------------------------------------------------------------

TEST_F(ScreenBuildTest, GridTitlesByLanguage) {
    struct Case {
        std::int16_t language;
        const char* price;
        const char* quantity;
    };
    for (Case c : {Case{1, "Unit Price", "Quantity"}, Case{2, "Prix", "Quantite"}}) {
        gSettings.gLanguage = c.language;
        UI_Setup();
        EXPECT_EQ(screen.Caption(Id(Control::Title_Number)), "No.");
        EXPECT_EQ(screen.Caption(Id(Control::Title_Description)), "Description");
        EXPECT_EQ(screen.Caption(Id(Control::Title_Tax)), "Tax");
        EXPECT_EQ(screen.Caption(Id(Control::Title_Extension)), "Extension");
        EXPECT_EQ(screen.Caption(Id(Control::Title_Price)), c.price);
        EXPECT_EQ(screen.Caption(Id(Control::Title_Quantity)), c.quantity);
    }
}

TEST_F(ScreenBuildTest, ColoursComeFromTheirSettingsByTheLeadingNumber) {
    Settings& s = gSettings;
    s.gColour400 = "101";
    s.gPaymentKeyColour = "102";
    s.gColour430 = "103xyz";  // the leading number counts
    s.gMenuKeyColour = " 104";
    s.gColour445 = "105";
    s.gColour455 = "green";  // no number: black
    s.gSelectedRowColour = "107";
    s.gLanguage = 1;
    gSettings.gExtrasPageOn = true;
    UI_Setup();
    struct Case {
        ControlId id;
        std::uint32_t back;
    };
    const Case cases[] = {
        {Id(Control::BOp, 1), 101},      {Id(Control::BOp, 8), 101},         {Id(Control::BPayment), 102},
        {Id(Control::mNumeric, 1), 103}, {Id(Control::mNumeric, 12), 103},   {Id(Control::BReg, 4), 103},
        {Id(Control::BSys, 6), 104},     {Id(Control::mTotalRegister), 105}, {Id(Control::txtCIA), 0},
        {Id(Control::txtDEA), 0},        {Id(Control::BarCode), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(screen.State(c.id).backColour, c.back) << c.id.name << " " << c.id.index;
    EXPECT_EQ(screen.State(Id(Control::Txt_Message)).foreColour, 107u);
}

TEST_F(ScreenBuildTest, TypefacesAndSizesOfEveryGroup) {
    screen.SetBold(Id(Control::mDept, 4), true);
    screen.SetBold(Id(Control::BReg, 2), true);
    UI_Setup();
    struct Case {
        ControlId id;
        Font font;
    };
    const Case cases[] = {
        {Id(Control::mDept, 4), {"Cambria", 13, false, false}},
        {Id(Control::mDept, 24), {"Cambria", 13, false, false}},
        {Id(Control::mNumeric, 2), {"Cambria", 28, false, false}},
        {Id(Control::BReg, 2), {"Cambria", 14, false, false}},
        {Id(Control::BPayment), {"Cambria", 13, false, false}},
        {Id(Control::mTotalRegister), {"Cambria", 14, false, false}},
        {Id(Control::txtCIA), {"Cambria", 14, true, false}},
        {Id(Control::txtDEA), {"Cambria", 14, true, false}},
    };
    for (const Case& c : cases) EXPECT_EQ(screen.State(c.id).font, c.font) << c.id.name << " " << c.id.index;
    EXPECT_TRUE(screen.State(Id(Control::txtCIA)).readOnly);
    EXPECT_FALSE(screen.State(Id(Control::txtDEA)).readOnly);
    for (int n = 1; n <= 12; ++n) EXPECT_TRUE(screen.Enabled(Id(Control::mNumeric, n)));
}

TEST_F(ScreenBuildTest, OnlyTheEntryBoxAndTheScannerBoxAreTabStops) {
    for (const ControlId& id : {Id(Control::BOp, 3), Id(Control::mDept, 7), Id(Control::Rt_Description, 4),
                                Id(Control::txtCIA), Id(Control::BPayment)})
        screen.SetTab(id, true, 5);
    UI_Setup();
    EXPECT_TRUE(screen.State(Id(Control::txtDEA)).tabStop);
    EXPECT_EQ(screen.State(Id(Control::txtDEA)).tabIndex, 1);
    EXPECT_TRUE(screen.State(Id(Control::BarCode)).tabStop);
    EXPECT_EQ(screen.State(Id(Control::BarCode)).tabIndex, 2);
    EXPECT_TRUE(screen.Enabled(Id(Control::BarCode)));
    for (const ControlId& id : {Id(Control::BOp, 3), Id(Control::mDept, 7), Id(Control::Rt_Description, 4),
                                Id(Control::txtCIA), Id(Control::BPayment)}) {
        EXPECT_FALSE(screen.State(id).tabStop) << id.name;
        EXPECT_EQ(screen.State(id).tabIndex, 0) << id.name;
    }
}

TEST_F(ScreenBuildTest, SkinSetsTheTypefaceAndSizesOfTheGridAndTotalsCells) {
    for (int k = 1; k <= 7; ++k)
        for (Control cell : {Control::Tr_Title, Control::Tr_Amount, Control::Rt_Tax})
            screen.SetFont(Id(cell, k), Font{"Arial", 9, true, false});
    Skin_Apply();
    for (int k = 1; k <= 7; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(screen.State(Id(Control::Rt_Number, k)).font, (Font{"Cambria", 11, false, false}));
        EXPECT_EQ(screen.State(Id(Control::Rt_Description, k)).font, (Font{"Cambria", 11, false, false}));
        for (Control cell : {Control::Rt_Extension, Control::Rt_Price, Control::Rt_Quantity})
            EXPECT_EQ(screen.State(Id(cell, k)).font, (Font{"Cambria", 13, false, false})) << cell;
        // Their sizes belong to the receipt area: only the typeface changes.
        for (Control cell : {Control::Tr_Title, Control::Tr_Amount, Control::Rt_Tax})
            EXPECT_EQ(screen.State(Id(cell, k)).font, (Font{"Cambria", 9, true, false})) << cell;
    }
}

// The number read to every customer is the most legible on the receipt: the
// grand total and the balance at least as large and bold as any amount of the
// totals panel, the timed message larger still.
TEST_F(ScreenBuildTest, TheGrandTotalAndBalanceAreAsLegibleAsTheTotalsPanel) {
    Skin_Apply();
    Variables_Set();
    double largestAmount = 0, largestLine = 0;
    for (int k = 1; k <= 11; ++k)
        largestAmount = std::max(largestAmount, screen.State(Id(Control::Tr_Amount, k)).font.size);
    for (int k = 1; k <= 7; ++k)
        for (Control cell : {Control::Rt_Extension, Control::Rt_Price, Control::Rt_Quantity, Control::Rt_Description})
            largestLine = std::max(largestLine, screen.State(Id(cell, k)).font.size);
    ASSERT_GT(largestAmount, 0);
    for (Control read : {Control::Rt_Total, Control::Lbl_BalanceDue, Control::Title_Total}) {
        const Font& f = screen.State(Id(read)).font;
        EXPECT_EQ(f.name, "Cambria") << read;
        EXPECT_TRUE(f.bold) << read;
        EXPECT_GE(f.size, largestAmount) << read;
        EXPECT_GT(f.size, largestLine) << read;
    }
    EXPECT_GT(screen.State(Id(Control::Rt_Total)).font.size, largestAmount);
    const Font message = screen.State(Id(Control::Txt_Message)).font;
    EXPECT_TRUE(message.bold);
    EXPECT_GE(message.size, 2 * largestAmount);
    // A printout keeps the printer's columns: a fixed-pitch typeface.
    EXPECT_EQ(screen.State(Id(Control::Txt_Printer)).font.name, kPrintoutTypeface);
    // The column titles have a size of their own (none is left to the toolkit).
    for (Control title : {Control::Title_Number, Control::Title_Description, Control::Title_Tax,
                          Control::Title_Quantity, Control::Title_Price, Control::Title_Extension})
        EXPECT_GT(screen.State(Id(title)).font.size, 0) << title;
}

}  // namespace
}  // namespace tarvo
