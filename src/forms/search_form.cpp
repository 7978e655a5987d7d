#include "forms/search_form.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "common/fields.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "sale/clients.h"
#include "sale/product_entry.h"
#include "screen/controls.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

SearchListState gSearchList;

namespace {

// The key codes the form answers.
constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeyPageUp = 33;
constexpr int kKeyPageDown = 34;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKeyPadPlus = 107;
constexpr int kKeyEquals = 187;  // "=" of the main keyboard, "+" with Shift

constexpr const char* kPriceFormat = "##,##0.00";

const std::string kNoText;

std::string Right(std::string_view record, std::size_t column, std::size_t width) {
    return std::string(TrimRightView(Mid(record, column, width)));
}

std::string Both(std::string_view record, std::size_t column, std::size_t width) {
    return std::string(TrimView(Mid(record, column, width)));
}

bool ProductMode(int mode) { return mode == kSearchProducts || mode == kSearchAliases; }

// The record number an index entry names (its digits from `column`), 0 when
// it names none.
std::int32_t IndexRecord(std::string_view entry, std::size_t column) {
    return static_cast<std::int32_t>(Num_ToInteger(Num_Val(Mid(entry, column, 6)), 0, 999999).value_or(0));
}

// The product whose key an alias names, looked up as typed: an alias is no
// scanned bar code, so no price is read out of it.
std::int32_t AliasProduct(std::string_view entry) {
    const std::optional<ProductMatch> found = Product_Find(Both(entry, 19, 20));
    return found ? found->recNo : 0;
}

void Register_Show() {
    Screen().SetVisible(kRegisterForm, true);
    Screen().SetFocus(kEntryBox);
}

SearchView* gView = nullptr;
std::optional<SearchForm> gForm;

}  // namespace

std::uint32_t SearchColour(const std::string& setting, std::uint32_t otherwise) {
    const std::string_view t = TrimView(setting);
    if (t.empty()) return otherwise;
    std::uint64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return otherwise;  // a sign, a fraction, a word
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
        if (v > 0xFFFFFF) return otherwise;
    }
    return static_cast<std::uint32_t>(v);
}

// ---- load and layout -------------------------------------------------------------------

void SearchForm::Load() {
    SearchListState& st = gSearchList;
    DataState& d = gData;
    loaded_ = true;
    // An open list keeps scheduled sessions (and their index rebuilds) away.
    gReg.gSearchFormOpen = true;
    view_.Search_SetCloseButton(false);
    switch (st.gSearchMode) {
    case kSearchProducts: st.gListEntryCount = d.gAuxCount; break;
    case kSearchClients: st.gListEntryCount = d.gCuxCount; break;
    case kSearchVendors:
        st.gListEntryCount = d.gVendorCount;
        d.gSearchFirst = 1;
        d.gSearchLast = d.gVendorCount;
        break;
    case kSearchAliases: st.gListEntryCount = d.gPaxCount; break;
    default: st.gListEntryCount = 0; break;
    }
    st.gListBackColour = SearchColour(gSettings.gColour450, 0xFFFFFF);
    st.gListTextColour = SearchColour(std::to_string(gSettings.gGreetingForeColour), 0);
    st.gListSelectColour = SearchColour(gSettings.gSelectedRowColour, 0x0000FF);
    List_Layout();
    view_.Search_Show(*this);
    st.gListTop = d.gSearchFirst;
    List_Populate();
    st.gListSelected = 2;
    List_Highlight();
}

void SearchForm::List_Layout() {
    SearchListState& st = gSearchList;
    pitch_ = kSearchListHeight / std::max(st.gListRows, 1);
    int left = kSearchListLeft;
    for (int k = 1; k <= kSearchColumns; ++k) {
        const auto at = static_cast<std::size_t>(k);
        st.gListColumnTwips[at] = st.gListColumnPercent[at] * kSearchListWidth / 100;
        st.gListColumnLeft[at] = left;
        left += st.gListColumnTwips[at];
    }
    for (auto& row : cells_) row.fill(std::string());
    const int language = TextLanguage(gSettings);
    for (int k = 1; k <= kSearchColumns; ++k)
        cells_[1][static_cast<std::size_t>(k)] = ListColumnTitle(gConstants.tables, st.gSearchMode, k, language);
    const bool hints = gSettings.gKeyboardHints != 0;
    const bool french = language == 2;
    selectCaption_ = french ? "Choisir" : "Select";
    exitCaption_ = french ? "Sortir" : "Exit";
    if (hints) {
        selectCaption_ += "\r\n{Enter +}";
        exitCaption_ += "\r\n{Esc}";
    }
    view_.Search_Layout(*this);
}

// ---- the rows ----------------------------------------------------------------------------

const std::string& SearchForm::Cell(int row, int column) const {
    if (row < 1 || row > kSearchMaxRows || column < 1 || column > kSearchColumns) return kNoText;
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

std::uint32_t SearchForm::RowTextColour(int row) const {
    const SearchListState& st = gSearchList;
    return row == st.gListSelected ? st.gListSelectColour : st.gListTextColour;
}

void SearchForm::Row_Clear(int row) {
    gSearchList.gListRowRecord[static_cast<std::size_t>(row)] = 0;
    cells_[static_cast<std::size_t>(row)].fill(std::string());
}

// Fills `row` with record `record` of the listed file; `entry` is its place
// in the search result.
void SearchForm::Populate_Row(int row, std::int32_t entry, std::int32_t record) {
    const SearchListState& st = gSearchList;
    const DataState& d = gData;
    gSearchList.gListRowRecord[static_cast<std::size_t>(row)] = record;
    auto& c = cells_[static_cast<std::size_t>(row)];
    const std::string position = std::to_string(entry - d.gSearchFirst + 1);
    switch (st.gSearchMode) {
    case kSearchProducts:
    case kSearchAliases: {
        const std::string_view rec = d.products.View(record);
        const std::size_t keyColumn = gSettings.gProductKeyMode.asNumber == ProductKey::Number ? 12 : 40;
        c = {"",
             position,
             Right(rec, keyColumn, 20),
             Right(rec, 60, 30),
             Num_Format(Num_Val(Mid(rec, 100, 10)), kPriceFormat),
             Right(rec, 180, 10),
             Right(rec, 190, 10),
             Right(rec, 200, 10),
             Right(rec, 250, 14)};
        break;
    }
    case kSearchClients: {
        const std::string_view rec = d.clients.View(record);
        c = {"",
             position,
             Right(rec, 12, 8),
             Right(rec, 20, 30),
             Both(rec, 80, 30) + " " + Both(rec, 110, 30),
             Right(rec, 140, 20),
             Right(rec, 210, 1),
             Right(rec, 205, 5),
             Right(rec, 190, 15)};
        break;
    }
    case kSearchVendors: {
        const std::string_view rec = d.vendors.View(record);
        c = {"",
             Both(rec, 9, 40),
             Both(rec, 181, 20),
             Both(rec, 221, 25),
             Both(rec, 246, 10),
             Both(rec, 256, 100),
             "",
             "",
             ""};
        break;
    }
    default: Row_Clear(row); break;
    }
}

void SearchForm::List_Populate() {
    SearchListState& st = gSearchList;
    const DataState& d = gData;
    if (st.gListTop < 1 || st.gListTop > st.gListEntryCount || d.gSearchLast < 1 || d.gSearchLast > st.gListEntryCount)
        return;
    int next = 2;
    for (std::int32_t i = st.gListTop; i <= d.gSearchLast && next <= st.gListRows; ++i) {
        std::int32_t r = 0;
        bool listed = false;
        switch (st.gSearchMode) {
        case kSearchProducts:
            r = IndexRecord(d.auxIndex.View(i), 33);
            listed = r >= 1 && r <= d.gProductCount;
            break;
        case kSearchAliases:
            r = AliasProduct(d.paxIndex.View(i));
            listed = r >= 1 && r <= d.gProductCount;
            break;
        case kSearchClients:
            r = IndexRecord(d.cuxIndex.View(i), 23);
            listed = r >= 1 && r <= d.gClientCount;
            break;
        case kSearchVendors:
            r = i;
            listed = true;
            break;
        default: break;
        }
        if (!listed) continue;
        Populate_Row(next, i, r);
        ++next;
    }
    st.gListLastRow = static_cast<std::int16_t>(next - 1);
    for (int row = next; row <= st.gListRows; ++row) Row_Clear(row);
    if (st.gListSelected > st.gListLastRow) st.gListSelected = 2;
    List_Highlight();
}

void SearchForm::List_Highlight() { view_.Search_Update(*this); }

// ---- scrolling ---------------------------------------------------------------------------

void SearchForm::Scroll(std::int32_t top) {
    gSearchList.gListTop = top;
    List_Populate();
}

void SearchForm::Button1_Click() {
    if (!loaded_) return;
    Scroll(std::min(gSearchList.gListTop + 1, gData.gSearchLast));
}

void SearchForm::Button2_Click() {
    if (!loaded_) return;
    Scroll(std::max(gSearchList.gListTop - 1, gData.gSearchFirst));
}

void SearchForm::Button3_Click() {
    if (!loaded_) return;
    Scroll(std::min(gSearchList.gListTop + (gSearchList.gListRows - 1), gData.gSearchLast));
}

void SearchForm::Button4_Click() {
    if (!loaded_) return;
    Scroll(std::max(gSearchList.gListTop - (gSearchList.gListRows - 1), gData.gSearchFirst));
}

// ---- keys and clicks ---------------------------------------------------------------------

void SearchForm::KeyDown(int keyCode, int shift) {
    if (!loaded_) return;
    SearchListState& st = gSearchList;
    if (shift != 0) {
        if (keyCode == kKeyEquals) Button8_click();
        return;
    }
    switch (keyCode) {
    case kKeyEnter:
    case kKeyPadPlus: Button8_click(); return;
    case kKeyEscape: Button9_Click(); return;
    case kKeyPageUp: Button4_Click(); return;
    case kKeyPageDown: Button3_Click(); return;
    case kKeyLeft:
    case kKeyUp:
        // The bar wraps within the page; an empty page has no row for it.
        if (st.gListLastRow < 2) return;
        st.gListSelected = st.gListSelected - 1 < 2 ? st.gListLastRow : st.gListSelected - 1;
        List_Highlight();
        return;
    case kKeyRight:
    case kKeyDown:
        if (st.gListLastRow < 2) return;
        st.gListSelected = st.gListSelected + 1 > st.gListLastRow ? 2 : st.gListSelected + 1;
        List_Highlight();
        return;
    default: return;
    }
}

void SearchForm::Cell_Focus(int row) {
    if (!loaded_) return;
    // The headings are no entry: a click on one leaves the bar where it is.
    if (row < 2 || row > gSearchList.gListLastRow) return;
    gSearchList.gListSelected = row;
    List_Highlight();
}

// ---- select and exit ---------------------------------------------------------------------

void SearchForm::Unload() {
    loaded_ = false;
    gReg.gSearchFormOpen = false;
    view_.Search_Hide();
}

void SearchForm::Button8_click() {
    if (!loaded_) return;
    const SearchListState& st = gSearchList;
    DataState& d = gData;
    SaleState& s = gSale;
    const int selected = st.gListSelected;
    const std::int32_t r =
        selected >= 1 && selected <= kSearchMaxRows ? st.gListRowRecord[static_cast<std::size_t>(selected)] : 0;
    const int mode = st.gSearchMode;
    if (ProductMode(mode)) {
        d.gProductRecNo = r;
        s.gLineKind = "P";
    } else if (mode == kSearchClients) {
        d.gClientRecNo = r;
    } else if (mode == kSearchVendors) {
        d.gVendorRecNo = r;
    }
    Unload();
    Register_Show();
    if (ProductMode(mode)) {
        if (r == 0) return;
        const std::int32_t before = s.gItemCount;
        Product_Add();
        // A product refused adds no line: no earlier line is expanded again.
        if (s.gItemCount <= before || s.gItemCount > kMaxSaleLines) return;
        s.gKitCode = s.gLines[static_cast<std::size_t>(s.gItemCount)].key;
        Inventory().Kit_Processing();
    } else if (mode == kSearchClients) {
        if (r != 0) Client_Process();
    } else if (mode == kSearchVendors) {
        if (r != 0)
            Inventory().Purchase_CollectInformation();
        else
            Inventory().Purchase_Cancel();
    }
}

void SearchForm::Button9_Click() {
    if (!loaded_) return;
    DataState& d = gData;
    const int mode = gSearchList.gSearchMode;
    if (ProductMode(mode)) d.gProductRecNo = 0;
    if (mode == kSearchClients) d.gClientRecNo = 0;
    Unload();
    Screen().SetText(kEntryBox, "");
    Register_Show();
    if (mode == kSearchVendors) {
        d.gVendorRecNo = 0;
        Inventory().Purchase_Cancel();
    }
}

// ---- the program's form ------------------------------------------------------------------

void SearchForm_SetView(SearchView* view) {
    // A form loaded in the window that goes away goes with it.
    if (view != gView && gForm) {
        if (gForm->IsLoaded()) gReg.gSearchFormOpen = false;
        gForm.reset();
    }
    gView = view;
}

bool SearchForm_Open(const SearchFormSetup& setup) {
    if (gView == nullptr) return false;
    SearchListState& st = gSearchList;
    st = SearchListState{};
    st.gSearchMode = static_cast<std::int16_t>(setup.mode);
    // The grid has 25 rows at most, and a heading row and an entry row at least.
    st.gListRows = std::clamp(setup.rows, 2, kSearchMaxRows);
    for (int k = 1; k <= kSearchColumns; ++k)
        st.gListColumnPercent[static_cast<std::size_t>(k)] = std::max(setup.widths[static_cast<std::size_t>(k - 1)], 0);
    st.gListFontSize = static_cast<std::int16_t>(setup.fontSize);
    gForm.emplace(*gView);
    gForm->Load();
    Screen().SetVisible(kRegisterForm, false);
    return true;
}

SearchForm* SearchForm_Current() { return gForm ? &*gForm : nullptr; }

}  // namespace tarvo
