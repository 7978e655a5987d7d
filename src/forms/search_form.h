// The search form (FrmSearch): the register's pick list. It takes the place
// of the register window while it is open, pages through the result of a
// prefix search in one of the word indexes (or through the whole vendor
// file), lets the cashier move a bar over the rows, and hands the chosen
// record back: a product becomes a sale line (with its kit components), a
// client is attached to the sale, a vendor goes on to the purchase header.
//
// The form's state and rules live here; a view (the Qt window, or a test's
// recording view) draws the grid and hands the cashier's keys and clicks
// back. Rows are numbered as on the form: row 1 holds the headings, rows 2
// to gListRows the entries. The layout is kept in twips (1/1440 inch); the
// view scales it to its own size.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "screen/forms_service.h"

namespace tarvo {

inline constexpr int kSearchColumns = 8;
inline constexpr int kSearchMaxRows = 25;

// The list modes.
enum SearchMode : int {
    kSearchProducts = 1,  // products by description word (.AUX)
    kSearchClients = 2,   // clients by name word or telephone digits (.CUX)
    kSearchVendors = 7,   // every vendor
    kSearchAliases = 8,   // products by alias (.PAX)
};

// The list state the opener sets and the form pages through.
struct SearchListState {
    std::int16_t gSearchMode = 0;
    std::int32_t gListRows = 0;        // last grid row; a page shows gListRows - 1 entries
    std::int32_t gListTop = 0;         // first entry read for the page
    std::int32_t gListEntryCount = 0;  // entries of the listed file
    std::int32_t gListSelected = 0;    // the row under the bar
    std::int16_t gListLastRow = 0;     // last row holding an entry; 1 on an empty page
    // Record behind each row 1..25 (product, client or vendor); 0 for the
    // heading row and an empty row.
    std::array<std::int32_t, kSearchMaxRows + 1> gListRowRecord{};
    std::array<int, kSearchColumns + 1> gListColumnPercent{};  // columns 1..8
    std::array<int, kSearchColumns + 1> gListColumnTwips{};
    std::array<int, kSearchColumns + 1> gListColumnLeft{};
    std::int16_t gListFontSize = 10;
    // Colours (windows RGB, red in the low byte), from settings 450, 470, 465.
    std::uint32_t gListBackColour = 0xFFFFFF;
    std::uint32_t gListTextColour = 0;
    std::uint32_t gListSelectColour = 0x0000FF;
};

extern SearchListState gSearchList;

// A list colour setting: its value when the text is a whole number from 0 to
// 16777215 (blanks around it allowed), else `otherwise`.
std::uint32_t SearchColour(const std::string& setting, std::uint32_t otherwise);

// Where the layout puts the list, in twips.
inline constexpr int kSearchListLeft = 30;
inline constexpr int kSearchListWidth = 11940;  // 100 %
inline constexpr int kSearchListHeight = 8000;

class SearchForm;

// What the form needs of its window.
class SearchView {
public:
    virtual ~SearchView() = default;
    // Greys the window's close box out (false) or gives it back.
    virtual void Search_SetCloseButton(bool enable) = 0;
    // The grid was laid out: build its rows and columns at the form's twips
    // (RowTop, CellHeight, gListColumnLeft/Twips), with the headings and the
    // captions of the select and exit buttons.
    virtual void Search_Layout(const SearchForm& form) = 0;
    // The form was loaded: show it (not modal) and send its events to `form`.
    virtual void Search_Show(SearchForm& form) = 0;
    // The cells, their colours or the bar changed: redraw them and give the
    // focus to the selected row's first cell.
    virtual void Search_Update(const SearchForm& form) = 0;
    // The form was unloaded.
    virtual void Search_Hide() = 0;
};

class SearchForm {
public:
    explicit SearchForm(SearchView& view) : view_(view) {}

    // The form's Load over gSearchList as the opener left it.
    void Load();

    // The buttons: one entry forward / back, one page forward / back.
    void Button1_Click();
    void Button2_Click();
    void Button3_Click();
    void Button4_Click();
    // Select and Exit.
    void Button8_click();
    void Button9_Click();
    // A key while the form is active (windows key code, shift state 1 Shift,
    // 2 Ctrl, 4 Alt).
    void KeyDown(int keyCode, int shift);
    // A cell of `row` was clicked (took the focus).
    void Cell_Focus(int row);

    // Fills rows 2..gListRows from gListTop.
    void List_Populate();
    // Colours the rows and puts the focus on the bar.
    void List_Highlight();

    // What the view draws.
    bool IsLoaded() const { return loaded_; }
    int Rows() const { return gSearchList.gListRows; }
    // Row pitch and cell height, in twips.
    int RowPitch() const { return pitch_; }
    int CellHeight() const { return pitch_ - 10; }
    int RowTop(int row) const { return (row - 1) * pitch_; }
    int ColumnLeft(int column) const { return gSearchList.gListColumnLeft.at(static_cast<std::size_t>(column)); }
    int ColumnWidth(int column) const { return gSearchList.gListColumnTwips.at(static_cast<std::size_t>(column)); }
    int FontSize() const { return gSearchList.gListFontSize; }
    // Text of a cell, rows 1 (headings) to 25, columns 1 to 8.
    const std::string& Cell(int row, int column) const;
    // Text colour of a row; the rows share one back colour.
    std::uint32_t RowTextColour(int row) const;
    std::uint32_t BackColour() const { return gSearchList.gListBackColour; }
    int Selected() const { return gSearchList.gListSelected; }
    int LastRow() const { return gSearchList.gListLastRow; }
    // Captions of the select and exit buttons, by language and key hints;
    // empty in a language the form has no captions for.
    const std::string& SelectCaption() const { return selectCaption_; }
    const std::string& ExitCaption() const { return exitCaption_; }

private:
    void List_Layout();
    void Populate_Row(int row, std::int32_t entry, std::int32_t record);
    void Row_Clear(int row);
    void Scroll(std::int32_t top);
    void Unload();

    SearchView& view_;
    bool loaded_ = false;
    int pitch_ = 0;
    std::array<std::array<std::string, kSearchColumns + 1>, kSearchMaxRows + 1> cells_{};
    std::string selectCaption_, exitCaption_;
};

// The program's search window, set once when the program starts (null takes
// it away). Without one the register has no search form.
void SearchForm_SetView(SearchView* view);
// What an opener does once its search found entries: the list state set from
// `setup`, the form loaded in the window that was set, the register window
// hidden. False (nothing opened) when there is no window.
bool SearchForm_Open(const SearchFormSetup& setup);
// The form as loaded last (null before the first); it stays after unloading.
SearchForm* SearchForm_Current();

}  // namespace tarvo
