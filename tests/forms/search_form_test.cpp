// The search form against real stores: the demo store for what the cashier
// reads in each mode and what a pick hands back, a generated store for the
// paging over long results. The view records what the window would show;
// a pick adds its product or attaches its client in the real sale, the kit
// and purchase steps after it are recorded by a double.
#include "forms/search_form.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/fields.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/indexes.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "office/communication.h"
#include "register/keyboard.h"
#include "register/register_fixture.h"
#include "sale/clients.h"
#include "sale/product_entry.h"
#include "screen/controls.h"
#include "startup/settings_load.h"
#include "synthetic_store.h"
#include "test_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;
using Row = std::vector<std::string>;

constexpr int kEnter = 13, kEscape = 27, kPageUp = 33, kPageDown = 34;
constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kPadPlus = 107, kEquals = 187;
const SearchFormSetup kVendorList{7, 22, {32, 13, 15, 5, 35, 2, 0, 0}, 10};

// What the window would show: the close box, whether it is up, how often it
// was laid out and redrawn.
class RecordingSearchView : public SearchView {
public:
    void Search_SetCloseButton(bool enable) override { closeBox = enable; }
    void Search_Layout(const SearchForm&) override { ++layouts; }
    void Search_Show(SearchForm&) override { shown = true; }
    void Search_Update(const SearchForm&) override { ++updates; }
    void Search_Hide() override { shown = false; }

    std::optional<bool> closeBox;
    bool shown = false;
    int layouts = 0, updates = 0;
};

// The openers' form (the window set above), and what a pick hands on to the
// kits and the purchase, with the state each step finds.
class SearchServices : public RegisterServices {
public:
    void SearchForm_Show(const SearchFormSetup& setup) override {
        calls.push_back("SearchForm_Show");
        SearchForm_Open(setup);
    }
    void Kit_Processing() override { calls.push_back("Kit_Processing " + gSale.gKitCode); }
    void Purchase_CollectInformation() override {
        calls.push_back("Purchase_CollectInformation " + std::to_string(gData.gVendorRecNo));
    }
    void Purchase_Cancel() override { calls.push_back("Purchase_Cancel " + std::to_string(gData.gVendorRecNo)); }
    bool Internet_Check() override { return true; }
    std::int16_t Session_Run(CommMode, bool) override {
        calls.push_back("Session_Run");
        return 0;
    }

    Calls calls;
};

class SearchFormTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        Reg().services = &services;
        SearchForm_SetView(&view);
    }
    void TearDown() override {
        SearchForm_SetView(nullptr);
        Data_Reset(gData);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }

    // The demo store's tables, settings and word indexes.
    void UseDemoStore() {
        fs::copy(std::string(TARVO_SOURCE_DIR) + "/demo/Files", dir / "Files",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        ASSERT_TRUE(Register_LoadDataAndSettings().ok);
        Index_Product();
        Index_Client();
        ASSERT_GT(gData.gAuxCount, 0);
        // The sale has its client (the store's default, client 1), so products
        // may be sold.
        gData.gClientRecNo = 1;
    }
    // A generated store of `products` products and its word index.
    void UseGeneratedStore(int products) {
        StoreSize size;
        size.products = products;
        size.clients = 100;
        size.vendors = 40;
        size.aliases = 50;
        size.kits = 5;
        std::string error;
        ASSERT_TRUE(WriteSyntheticStore(dir.Path(), "1234567", size, &error)) << error;
        OpenTables();
        Index_Product();
        ASSERT_EQ(gData.gProductCount, products);
    }

    // The entry box's text searched as the product (client) search key does.
    void SearchProducts(const std::string& text) {
        Screen().SetText(kEntryBox, text);
        Aux_Product();
    }
    void SearchClients(const std::string& text) {
        Screen().SetText(kEntryBox, text);
        Aux_Client();
    }

    SearchForm& Form() { return *SearchForm_Current(); }
    Row RowOf(int row) {
        Row out;
        for (int k = 1; k <= kSearchColumns; ++k) out.push_back(Form().Cell(row, k));
        return out;
    }
    // Column `k` of rows 2..gListLastRow.
    std::vector<std::string> Column(int k) {
        std::vector<std::string> out;
        for (int r = 2; r <= gSearchList.gListLastRow; ++r) out.push_back(Form().Cell(r, k));
        return out;
    }
    std::int32_t RecordOf(int row) { return gSearchList.gListRowRecord[static_cast<std::size_t>(row)]; }
    // The product record number a word index entry names.
    static std::int32_t AuxRecord(std::int32_t entry) {
        return static_cast<std::int32_t>(Num_Val(Mid(gData.auxIndex.View(entry), 33, 6)));
    }
    void Key(int code, int shift = 0) { Form().KeyDown(code, shift); }

    TestDir dir;
    SearchServices services;
    RecordingSearchView view;
};

// ---- opening and what each mode shows ---------------------------------------------------

TEST_F(SearchFormTest, ProductSearchOpensTheListOverTheRegisterWithTheMatchingProducts) {
    UseDemoStore();
    SearchProducts("Coff");
    ASSERT_EQ(services.calls, Calls{"SearchForm_Show"});
    EXPECT_TRUE(view.shown);
    EXPECT_EQ(view.closeBox, false);
    EXPECT_FALSE(screen.Visible(kRegisterForm));
    EXPECT_TRUE(gReg.gSearchFormOpen);
    EXPECT_EQ(screen.Text(kEntryBox), "");
    EXPECT_EQ(gSearchList.gListEntryCount, gData.gAuxCount);
    EXPECT_EQ(gSearchList.gListTop, gData.gSearchFirst);

    // Two products carry the word "coffee": one page, the rows below them empty.
    EXPECT_EQ(RowOf(1), (Row{"No.", "Product", "Description", "Price", "Stock", "OnOrder", "Date", "Location"}));
    EXPECT_EQ(RowOf(2), (Row{"1", "1001", "Coffee 1 lb", "8.99", "40", "0", "0", "Aisle 3"}));
    EXPECT_EQ(RowOf(3), (Row{"2", "1002", "Decaf Coffee 1 lb", "9.49", "12", "0", "0", "Aisle 3"}));
    EXPECT_EQ(gSearchList.gListLastRow, 3);
    EXPECT_EQ(gSearchList.gListSelected, 2);
    for (int r = 4; r <= 22; ++r) {
        EXPECT_EQ(RowOf(r), Row(8)) << r;
        EXPECT_EQ(RecordOf(r), 0) << r;
    }
    EXPECT_EQ(RecordOf(1), 0);
    EXPECT_EQ(RecordOf(3), Product_Find("1002").value().recNo);

    // The layout: 22 rows of 363 twips, the columns side by side from 30.
    EXPECT_EQ(Form().RowPitch(), 363);
    EXPECT_EQ(Form().CellHeight(), 353);
    EXPECT_EQ(Form().RowTop(22), 21 * 363);
    EXPECT_EQ(Form().ColumnLeft(1), 30);
    EXPECT_EQ(Form().ColumnWidth(1), 477);   // 4 % of 11940
    EXPECT_EQ(Form().ColumnWidth(3), 4417);  // 37 %, integer part
    EXPECT_EQ(Form().ColumnLeft(2), 30 + 477);
    EXPECT_EQ(Form().ColumnLeft(8), Form().ColumnLeft(7) + Form().ColumnWidth(7));
    EXPECT_EQ(Form().FontSize(), 10);
}

TEST_F(SearchFormTest, ASearchThatFindsNothingOpensNoFormAndStillEmptiesTheEntryBox) {
    UseDemoStore();
    SearchProducts("zzz");
    SearchClients("qqq");
    EXPECT_TRUE(services.calls.empty());
    EXPECT_EQ(SearchForm_Current(), nullptr);
    EXPECT_EQ(screen.Text(kEntryBox), "");
    EXPECT_TRUE(screen.Visible(kRegisterForm));
}

TEST_F(SearchFormTest, ClientSearchListsNumberNameAddressPhoneAndTerms) {
    UseDemoStore();
    SearchClients("Emily");
    ASSERT_EQ(services.calls, Calls{"SearchForm_Show"});
    EXPECT_EQ(gSearchList.gListEntryCount, gData.gCuxCount);
    EXPECT_EQ(RowOf(1), (Row{"No.", "Number.", "Name", "Address", "Phone", "Price", "Dsct", "Standing"}));
    // The second and third address lines, trimmed and joined by one blank.
    EXPECT_EQ(RowOf(2), (Row{"1", "1004", "Emily Chen", "Apt 12 Springfield", "555-0104", "1", "0", ""}));
    EXPECT_EQ(gSearchList.gListLastRow, 2);
    // Telephone digits find the client too.
    Form().Button9_Click();
    SearchClients("5550105");
    EXPECT_EQ(RowOf(2)[2], "H\xE9l\xE8ne C\xF4t\xE9");
}

TEST_F(SearchFormTest, VendorListShowsEveryVendorByNameFromTheFirst) {
    UseDemoStore();
    gData.gSearchFirst = 5;  // left over from an earlier search
    gData.gSearchLast = 9;
    Forms().SearchForm_Show(kVendorList);
    EXPECT_EQ(gData.gSearchFirst, 1);
    EXPECT_EQ(gData.gSearchLast, 3);
    EXPECT_EQ(gSearchList.gListEntryCount, 3);
    EXPECT_EQ(RowOf(1), (Row{"Vendor Name", "Telephone", "Contact", "Min.", "Comments", "", "", ""}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"Springfield Coffee Roasters", "Valley Farms Produce",
                                                   "Northern Dairy Co-op"}));
    EXPECT_EQ(RowOf(2),
              (Row{"Springfield Coffee Roasters", "555-0201", "Tom Roast", "100", "Demo vendor", "", "", ""}));
    EXPECT_EQ(RecordOf(4), 3);
    // Columns 7 and 8 have no width in the vendor list.
    EXPECT_EQ(Form().ColumnWidth(7), 0);
    EXPECT_EQ(Form().ColumnLeft(8), Form().ColumnLeft(7));
}

TEST_F(SearchFormTest, AliasSearchListsTheProductsOfTheAliases) {
    UseDemoStore();
    gReg.gCashierIndex = 1;
    gReg.gLoggedOut = false;
    Screen().SetText(kEntryBox, "CO");
    Form_KeyDown(123, 1);  // Shift+F12
    ASSERT_EQ(services.calls, Calls{"SearchForm_Show"});
    EXPECT_EQ(gSearchList.gSearchMode, kSearchAliases);
    EXPECT_EQ(gSearchList.gListEntryCount, gData.gPaxCount);
    EXPECT_EQ(RowOf(1)[1], "Product");
    EXPECT_EQ(RowOf(2), (Row{"1", "1001", "Coffee 1 lb", "8.99", "40", "0", "0", "Aisle 3"}));
    EXPECT_EQ(gSearchList.gListLastRow, 2);
}

TEST_F(SearchFormTest, HeadingsAndButtonCaptionsFollowTheLanguageAndTheKeyHints) {
    UseDemoStore();
    struct Case {
        int language, hints;
        SearchFormSetup setup;
        Row headings;
        const char *select, *exit;
    };
    const SearchFormSetup products{1, 22, {4, 15, 37, 8, 8, 8, 9, 11}, 10};
    const SearchFormSetup clients{2, 22, {4, 8, 20, 30, 16, 2, 6, 14}, 10};
    const SearchFormSetup aliases{8, 22, {4, 15, 37, 8, 8, 8, 9, 11}, 10};
    const Case cases[] = {
        {1,
         0,
         products,
         {"No.", "Product", "Description", "Price", "Stock", "OnOrder", "Date", "Location"},
         "Select",
         "Exit"},
        {2,
         0,
         products,
         {"No.", "Produit", "Description", "Prix", "Invent.", "SurCmd.", "Date", "Emplace."},
         "Choisir",
         "Sortir"},
        {2,
         1,
         aliases,
         {"No.", "Produit", "Description", "Prix", "Invent.", "SurCmd.", "Date", "Emplace."},
         "Choisir\r\n{Enter +}",
         "Sortir\r\n{Esc}"},
        {1,
         1,
         clients,
         {"No.", "Number.", "Name", "Address", "Phone", "Price", "Dsct", "Standing"},
         "Select\r\n{Enter +}",
         "Exit\r\n{Esc}"},
        {2, 0, clients, {"No.", "Numero", "Nom", "Address", "Telephone", "Prix", "Esct.", "Etat"}, "Choisir", "Sortir"},
        {2,
         0,
         kVendorList,
         {"Fournisseur", "Telephone", "Nom", "Min.", "Commentaire", "", "", ""},
         "Choisir",
         "Sortir"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.setup.mode) + " language " + std::to_string(c.language) + " hints " +
                     std::to_string(c.hints));
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        gSettings.gKeyboardHints = static_cast<std::int16_t>(c.hints);
        gData.gSearchFirst = 1;
        gData.gSearchLast = 1;
        ASSERT_TRUE(SearchForm_Open(c.setup));
        EXPECT_EQ(RowOf(1), c.headings);
        EXPECT_EQ(Form().SelectCaption(), c.select);
        EXPECT_EQ(Form().ExitCaption(), c.exit);
        Form().Button9_Click();
    }
}

TEST_F(SearchFormTest, Setting250ShowsTheBarCodeInsteadOfTheProductNumber) {
    UseDemoStore();
    const std::string barcode = Trim(Mid(Product_Find("1001").value().record, 40, 20));
    ASSERT_FALSE(barcode.empty());
    for (const char* mode : {"0", "1", "00"}) {
        SCOPED_TRACE(mode);
        gSettings.gProductKeyMode = ProductKeyMode_Read(mode);
        SearchProducts("coffee");
        EXPECT_EQ(RowOf(2)[1], Num_Val(mode) == 0 ? "1001" : barcode);
        Form().Button9_Click();
    }
}

TEST_F(SearchFormTest, ListColoursComeFromTheSettingsAndFallBackWhenNotAColour) {
    struct Case {
        const char* text;
        std::uint32_t otherwise, expected;
    };
    const Case cases[] = {
        {"16777215", 0, 16777215},
        {"255", 0, 255},
        {" 65280 ", 0, 65280},
        {"0", 255, 0},
        {"16777216", 0, 0},
        {"-1", 7, 7},
        {"12.5", 7, 7},
        {"", 255, 255},
        {"red", 16777215, 16777215},
        {"99999999999999999999", 3, 3},
    };
    for (const Case& c : cases) EXPECT_EQ(SearchColour(c.text, c.otherwise), c.expected) << c.text;

    UseDemoStore();
    gSettings.gColour450 = "8454143";         // light yellow back
    gSettings.gSelectedRowColour = "blue";    // not a number: red
    gSettings.gGreetingForeColour = 1 << 25;  // beyond the colours: black
    SearchProducts("coffee");
    EXPECT_EQ(Form().BackColour(), 8454143u);
    EXPECT_EQ(Form().RowTextColour(2), 255u);
    EXPECT_EQ(Form().RowTextColour(3), 0u);
    Key(kDown);
    EXPECT_EQ(Form().RowTextColour(2), 0u);
    EXPECT_EQ(Form().RowTextColour(3), 255u);
}

// ---- paging on a long result ------------------------------------------------------------------

class SearchPagingTest : public SearchFormTest {
protected:
    void SetUp() override {
        SearchFormTest::SetUp();
        UseGeneratedStore(3000);
        SearchProducts("coffee");
        ASSERT_EQ(services.calls, Calls{"SearchForm_Show"});
        first = gData.gSearchFirst;
        last = gData.gSearchLast;
        // Several pages, the last of them partly filled.
        ASSERT_GT(last - first + 1, 3 * 21);
        ASSERT_NE((last - first + 1) % 21, 0);
    }
    // The page shows entries top.. in order, every row filled while entries last.
    void ExpectPageFrom(std::int32_t top) {
        EXPECT_EQ(gSearchList.gListTop, top);
        const std::int32_t shown = std::min<std::int32_t>(21, last - top + 1);
        ASSERT_EQ(gSearchList.gListLastRow, shown + 1);
        for (int r = 2; r <= shown + 1; ++r) {
            const std::int32_t entry = top + r - 2;
            EXPECT_EQ(Form().Cell(r, 1), std::to_string(entry - first + 1)) << r;
            EXPECT_EQ(RecordOf(r), AuxRecord(entry)) << r;
            EXPECT_EQ(Form().Cell(r, 3), Trim(gData.products.View(AuxRecord(entry)).substr(59, 30))) << r;
        }
        for (int r = shown + 2; r <= 22; ++r) EXPECT_EQ(RecordOf(r), 0) << r;
    }

    std::int32_t first = 0, last = 0;
};

TEST_F(SearchPagingTest, PagesMoveTwentyOneEntriesAndStopAtTheEndsOfTheResult) {
    ExpectPageFrom(first);
    Form().Button3_Click();
    ExpectPageFrom(first + 21);
    Key(kPageDown);
    ExpectPageFrom(first + 42);
    Key(kPageUp);
    ExpectPageFrom(first + 21);
    Form().Button4_Click();
    ExpectPageFrom(first);
    Form().Button4_Click();  // clamped at the first entry
    ExpectPageFrom(first);
    Form().Button2_Click();
    ExpectPageFrom(first);

    // Forward until the top is the last entry: the last page shows it alone.
    for (int i = 0; i < 200 && gSearchList.gListTop != last; ++i) Form().Button3_Click();
    ExpectPageFrom(last);
    EXPECT_EQ(gSearchList.gListLastRow, 2);
    Form().Button3_Click();
    Form().Button1_Click();
    ExpectPageFrom(last);
    Form().Button2_Click();
    ExpectPageFrom(last - 1);
    Form().Button1_Click();
    ExpectPageFrom(last);
}

TEST_F(SearchPagingTest, OneEntryButtonsMoveTheTopByOne) {
    Form().Button1_Click();
    ExpectPageFrom(first + 1);
    Form().Button1_Click();
    ExpectPageFrom(first + 2);
    Form().Button2_Click();
    ExpectPageFrom(first + 1);
}

TEST_F(SearchPagingTest, TheBarKeepsItsRowUnlessTheNewPageEndsAboveIt) {
    for (int i = 0; i < 5; ++i) Key(kDown);
    ASSERT_EQ(gSearchList.gListSelected, 7);
    Form().Button3_Click();
    EXPECT_EQ(gSearchList.gListSelected, 7);  // the same row, another entry

    // A top three entries before the end: four rows, the bar goes back to row 2.
    gSearchList.gListTop = last - 3;
    Form().List_Populate();
    EXPECT_EQ(gSearchList.gListLastRow, 5);
    EXPECT_EQ(gSearchList.gListSelected, 2);
    Key(kDown);
    Key(kDown);
    Form().Button1_Click();  // now three rows: the bar on row 4 stays
    EXPECT_EQ(gSearchList.gListLastRow, 4);
    EXPECT_EQ(gSearchList.gListSelected, 4);
}

TEST_F(SearchPagingTest, APagePositionOutsideTheIndexLeavesTheGridAsItWas) {
    const Row shown = RowOf(2);
    for (std::int32_t top : {0, -3, gData.gAuxCount + 1}) {
        gSearchList.gListTop = top;
        Form().List_Populate();
        EXPECT_EQ(RowOf(2), shown) << top;
        EXPECT_EQ(gSearchList.gListLastRow, 22);
    }
    gSearchList.gListTop = first;
    gData.gSearchLast = gData.gAuxCount + 1;  // an end beyond the index
    Form().List_Populate();
    EXPECT_EQ(RowOf(2), shown);
}

TEST_F(SearchPagingTest, EntriesNamingNoProductTakeNoRow) {
    // Entries 2 and 4 of the result name record 0 and a record past the end.
    std::string entry = gData.auxIndex.Read(first + 1);
    ASSERT_TRUE(gData.auxIndex.Write(first + 1, entry.substr(0, 32) + "0     "));
    entry = gData.auxIndex.Read(first + 3);
    ASSERT_TRUE(gData.auxIndex.Write(first + 3, entry.substr(0, 32) + std::to_string(gData.gProductCount + 1)));
    gSearchList.gListTop = first;
    Form().List_Populate();
    EXPECT_EQ(Form().Cell(2, 1), "1");
    EXPECT_EQ(Form().Cell(3, 1), "3");
    EXPECT_EQ(Form().Cell(4, 1), "5");
    EXPECT_EQ(Form().Cell(5, 1), "6");
    EXPECT_EQ(RecordOf(3), AuxRecord(first + 2));
    // The page still fills its 21 rows, from further down the result.
    EXPECT_EQ(gSearchList.gListLastRow, 22);
    EXPECT_EQ(Form().Cell(22, 1), "23");
}

// ---- keys and clicks --------------------------------------------------------------------------

TEST_F(SearchFormTest, ArrowsWrapWithinThePageAndClicksPutTheBarOnFilledRowsOnly) {
    UseDemoStore();
    SearchProducts("co");  // coffee, cookies: three entries
    ASSERT_EQ(gSearchList.gListLastRow, 4);
    struct Step {
        std::function<void()> act;
        int selected;
    };
    const Step steps[] = {
        {[&] { Key(kDown); }, 3},
        {[&] { Key(kRight); }, 4},
        {[&] { Key(kDown); }, 2},
        {[&] { Key(kUp); }, 4},
        {[&] { Key(kLeft); }, 3},
        {[&] { Form().Cell_Focus(2); }, 2},
        {[&] { Form().Cell_Focus(4); }, 4},
        {[&] { Form().Cell_Focus(5); }, 4},  // below the last entry
        {[&] { Form().Cell_Focus(1); }, 4},  // a heading
        {[&] { Key(kDown, 1); }, 4},
        {[&] { Key(kEquals); }, 4},
        {[&] { Key(65); }, 4},
    };
    int n = 0;
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(gSearchList.gListSelected, s.selected) << "step " << n;
        EXPECT_EQ(Form().RowTextColour(s.selected), 255u) << "step " << n;
        ++n;
    }
    EXPECT_TRUE(Form().IsLoaded());
    EXPECT_EQ(services.calls, Calls{"SearchForm_Show"});
}

TEST_F(SearchFormTest, UpAndDownOnAnEmptyPageLeaveTheBarOnRowTwo) {
    UseDemoStore();
    // Every entry of the result names no product.
    SearchProducts("coffee");
    for (std::int32_t i = gData.gSearchFirst; i <= gData.gSearchLast; ++i)
        ASSERT_TRUE(gData.auxIndex.Write(i, gData.auxIndex.Read(i).substr(0, 32) + "0     "));
    Form().List_Populate();
    ASSERT_EQ(gSearchList.gListLastRow, 1);
    for (int key : {kUp, kDown, kLeft, kRight}) {
        Key(key);
        EXPECT_EQ(gSearchList.gListSelected, 2) << key;
    }
    Form().Cell_Focus(1);
    Form().Cell_Focus(2);
    EXPECT_EQ(gSearchList.gListSelected, 2);
    // Select hands back nothing: no product is added.
    Key(kEnter);
    EXPECT_EQ(services.calls, Calls{"SearchForm_Show"});
    EXPECT_EQ(gData.gProductRecNo, 0);
    EXPECT_FALSE(view.shown);
    EXPECT_TRUE(screen.Visible(kRegisterForm));
}

TEST_F(SearchFormTest, SelectAndExitKeys) {
    UseDemoStore();
    struct Case {
        int key, shift;
        bool selects, exits;
    };
    const Case cases[] = {
        {kEnter, 0, true, false},   {kPadPlus, 0, true, false},  {kEquals, 1, true, false},  {kEquals, 2, true, false},
        {kEquals, 4, true, false},  {kEscape, 0, false, true},   {kEquals, 0, false, false}, {kEnter, 1, false, false},
        {kEscape, 2, false, false}, {kPadPlus, 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("key " + std::to_string(c.key) + " shift " + std::to_string(c.shift));
        services.calls.clear();
        gSale.gItemCount = 0;
        Screen().SetText(kEntryBox, "coffee");
        Aux_Product();
        Screen().SetText(kEntryBox, "typed");
        Key(c.key, c.shift);
        EXPECT_EQ(Form().IsLoaded(), !c.selects && !c.exits);
        // Selected, the first coffee is sold and its kit looked at.
        EXPECT_EQ(services.calls.size(), c.selects ? 2u : 1u);
        EXPECT_EQ(gSale.gItemCount, c.selects ? 1 : 0);
        if (c.exits) {
            EXPECT_EQ(screen.Text(kEntryBox), "");
        }
        if (Form().IsLoaded()) Form().Button9_Click();
    }
}

// ---- what a pick hands back -------------------------------------------------------------

TEST_F(SearchFormTest, SelectingAProductAddsItAfterTheRegisterIsBackAndExpandsItsKit) {
    UseDemoStore();
    SearchProducts("gift");
    ASSERT_EQ(RowOf(2)[1], "5001");
    const std::int32_t kit = RecordOf(2);
    services.calls.clear();
    Key(kEnter);
    EXPECT_EQ(services.calls, Calls{"Kit_Processing 5001"});
    EXPECT_FALSE(view.shown);
    EXPECT_FALSE(gReg.gSearchFormOpen);
    EXPECT_EQ(gData.gProductRecNo, kit);
    // The line on the register's receipt, shown again.
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gLines[1].key, "5001");
    EXPECT_EQ(gSale.gLines[1].quantity, 1);
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Number, 1}), "1");
    EXPECT_TRUE(screen.Visible(kRegisterForm));

    // The second of two coffees, by its row.
    SearchProducts("coffee");
    Form().Cell_Focus(3);
    services.calls.clear();
    Form().Button8_click();
    EXPECT_EQ(services.calls, Calls{"Kit_Processing 1002"});
    ASSERT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(gSale.gLines[2].key, "1002");

    // A product the sale refuses (a sale of 400 lines takes no more) adds no
    // line: the last line is not expanded again.
    gSale.gItemCount = 400;
    SearchProducts("gift");
    services.calls.clear();
    Key(kPadPlus);
    EXPECT_TRUE(services.calls.empty());
    EXPECT_EQ(gSale.gItemCount, 400);
    EXPECT_EQ(screen.Text(kMessageLine), "Invalid Entry");
}

TEST_F(SearchFormTest, SelectingAnAliasAddsItsProduct) {
    UseDemoStore();
    gData.gSearchText = "GIFT";
    AuxPax_Search();
    Forms().SearchForm_Show(SearchFormSetup{8, 22, {4, 15, 37, 8, 8, 8, 9, 11}, 10});
    const std::int32_t kit = Product_Find("5001").value().recNo;
    ASSERT_EQ(RecordOf(2), kit);
    services.calls.clear();
    Key(kEquals, 1);
    EXPECT_EQ(services.calls, Calls{"Kit_Processing 5001"});
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gLines[1].key, "5001");
}

TEST_F(SearchFormTest, AliasesOfUnknownProductsAndEmbeddedPricesAreNotReadAsPrices) {
    UseDemoStore();
    // An alias whose key no product has is left out of the list; the price
    // check of scanned codes stays as it was.
    std::string unknown(38, ' ');
    unknown.replace(0, 10, "COFFEE CUP");
    unknown.replace(18, 4, "9999");
    ASSERT_TRUE(gData.paxIndex.Write(gData.gPaxCount + 1, unknown));
    ++gData.gPaxCount;
    gData.gSearchFirst = 1;  // every alias, the unknown one last
    gData.gSearchLast = gData.gPaxCount;
    Forms().SearchForm_Show(SearchFormSetup{8, 22, {4, 15, 37, 8, 8, 8, 9, 11}, 10});
    EXPECT_EQ(gSearchList.gListLastRow, 6);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"2001", "1001", "5001", "1001", "3001"}));
    EXPECT_FALSE(gData.gManualPrice);
}

TEST_F(SearchFormTest, SelectingAClientAttachesIt) {
    UseDemoStore();
    SearchClients("spring");  // Springfield School
    ASSERT_EQ(RowOf(2)[2], "Springfield School");
    const std::int32_t client = RecordOf(2);
    services.calls.clear();
    Key(kEnter);
    EXPECT_TRUE(services.calls.empty());
    EXPECT_EQ(gData.gClientRecNo, client);
    // The sale's client, its panel over the receipt and its name on the message line.
    EXPECT_EQ(gSale.gClientNumber, "1009");
    EXPECT_EQ(gSale.gClientName, "Springfield School");
    EXPECT_EQ(screen.Text(ControlId{Control::Txt_All, 0}).substr(0, 28), "Client: Springfield School\r\n");
    EXPECT_EQ(screen.Text(kMessageLine), "Client Springfield School");
    EXPECT_TRUE(screen.Visible(kRegisterForm));
}

TEST_F(SearchFormTest, SelectingAVendorGoesOnToThePurchaseAndNoVendorCancelsIt) {
    UseDemoStore();
    Forms().SearchForm_Show(kVendorList);
    Key(kDown);
    services.calls.clear();
    Key(kEnter);
    EXPECT_EQ(services.calls, Calls{"Purchase_CollectInformation 2"});
    EXPECT_EQ(gData.gVendorRecNo, 2);

    // A store without vendors: an empty list, select cancels the purchase.
    gData.gVendorCount = 0;
    Forms().SearchForm_Show(kVendorList);
    EXPECT_EQ(RowOf(2), Row(8));
    services.calls.clear();
    Key(kEnter);
    EXPECT_EQ(services.calls, Calls{"Purchase_Cancel 0"});
}

TEST_F(SearchFormTest, ExitHandsBackNothingEmptiesTheEntryBoxAndCancelsAPurchase) {
    UseDemoStore();
    struct Case {
        std::function<void()> open;
        Calls after;
    };
    const Case cases[] = {
        {[&] { SearchProducts("coffee"); }, {}},
        {[&] { SearchClients("spring"); }, {}},
        {[&] {
             gData.gSearchText = "JAVA";
             AuxPax_Search();
             Forms().SearchForm_Show(SearchFormSetup{8, 22, {4, 15, 37, 8, 8, 8, 9, 11}, 10});
         },
         {}},
        {[&] { Forms().SearchForm_Show(kVendorList); }, {"Purchase_Cancel 0"}},
    };
    for (const Case& c : cases) {
        c.open();
        const int mode = gSearchList.gSearchMode;
        SCOPED_TRACE(mode);
        gData.gProductRecNo = gData.gClientRecNo = gData.gVendorRecNo = 7;
        Screen().SetText(kEntryBox, "typed");
        services.calls.clear();
        Key(kEscape);
        EXPECT_EQ(services.calls, c.after);
        EXPECT_FALSE(view.shown);
        EXPECT_TRUE(screen.Visible(kRegisterForm));
        EXPECT_EQ(screen.Text(kEntryBox), "");
        EXPECT_FALSE(gReg.gSearchFormOpen);
        EXPECT_EQ(gData.gProductRecNo, mode == 1 || mode == 8 ? 0 : 7);
        EXPECT_EQ(gData.gClientRecNo, mode == 2 ? 0 : 7);
        EXPECT_EQ(gData.gVendorRecNo, mode == 7 ? 0 : 7);
        EXPECT_EQ(gSale.gItemCount, 0);
        EXPECT_EQ(gSale.gClientName, "");  // no client attached
        // A closed form takes no more keys.
        Key(kEnter);
        EXPECT_EQ(services.calls, c.after);
    }
}

// ---- an open list and the communication schedule ---------------------------------------

TEST_F(SearchFormTest, AScheduledSessionWaitsWhileTheListIsOpen) {
    UseDemoStore();
    gReg.gCashierIndex = 1;
    gSettings.gConnectionMode = ConnectionMode::DialUp;
    gSettings.gAutoSendTime[0] = "10:32";
    Communication_Configure();  // at 10:30
    SearchProducts("coffee");
    ASSERT_TRUE(gReg.gSearchFormOpen);
    services.calls.clear();
    clock.Set(LocalTime{2026, 12, 9, 10, 32, 0});
    ASSERT_TRUE(timers.Tick(TimerId::Comm));
    EXPECT_TRUE(services.calls.empty());
    EXPECT_TRUE(gSale.gSendPending);

    // Closed again, the next time that falls due runs.
    Form().Button9_Click();
    gSettings.gAutoSendTime[1] = "10:33";
    clock.Set(LocalTime{2026, 12, 9, 10, 33, 0});
    ASSERT_TRUE(timers.Tick(TimerId::Comm));
    EXPECT_EQ(services.calls, Calls{"Session_Run"});
}

}  // namespace
}  // namespace tarvo
