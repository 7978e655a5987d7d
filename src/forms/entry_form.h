// The entry form (FrmNew): a short form of labelled rows laid over the
// register, one window for four pages chosen by gSale.gSearchKind when it
// loads: 18 a new client, 19 a new product (saved to the new-entry files),
// 12 an order header, 13 and 14 a purchase header (copied into the document
// header globals of gSale). The form's state and rules live here; a view
// (the Qt window, or a test's recording view) draws it and hands the
// cashier's keys, clicks and typing back.
//
// Each row has a caption, an entry box and a help line. Positions
// 1..gListRows are the rows; gListRows + 1..4 the buttons Button7 (Save +
// Print), Button6 (Save + Add to Sale), Button8 (Save + Exit) and Button9
// (Exit). Enter, Right and Down move forward, Left and Up back, both
// skipping hidden buttons and wrapping; Esc leaves; the keypad's plus (or
// "=" with a modifier) presses the button at the cursor.
//
// Text is windows-1252 throughout. A refused save leaves the form open with
// its entries; only a failure the cashier must know of (a client number
// already in use, a file that cannot be written) shows a message on the
// form, and is logged.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvo {

inline constexpr int kEntryMaxRows = 12;
inline constexpr int kEntryButtons = 4;

// The buttons by their place after the rows.
enum EntryButton : int {
    kEntrySavePrint = 1,  // Button7
    kEntrySaveAdd = 2,    // Button6
    kEntrySaveExit = 3,   // Button8
    kEntryExit = 4,       // Button9
};

// The form's pages (gSale.gSearchKind).
inline constexpr int kEntryOrderPage = 12;
inline constexpr int kEntryPurchaseOrderPage = 13;
inline constexpr int kEntryPurchasePage = 14;
inline constexpr int kEntryNewClientPage = 18;
inline constexpr int kEntryNewProductPage = 19;

// A rectangle of the entry form in twips (1/1440 inch; 15 to a pixel at the
// design size). Its own name: the register window's TwipRect orders its
// fields otherwise, and one program cannot hold two types of one name.
struct FormRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const FormRect&) const = default;
};

// The form's design: rows over 8000 twips from the top, their three columns
// over 11940 twips from 30 twips in; the message line and the buttons below.
inline constexpr int kEntryFormWidth = 12000;
inline constexpr int kEntryFormHeight = 9600;
inline constexpr int kEntryRowsHeight = 8000;
inline constexpr int kEntryColumnsWidth = 11940;
inline constexpr int kEntryLeft = 30;

struct EntryRowLayout {
    FormRect caption, entry, help;
    bool operator==(const EntryRowLayout&) const = default;
};

// Where everything of the page stands, in twips.
struct EntryFormLayout {
    std::vector<EntryRowLayout> rows;                   // rows 1..gListRows (0 unused)
    std::array<FormRect, kEntryButtons + 1> buttons{};  // by place 1..4 (0 unused)
    FormRect message;
};

// The pieces of the form's text that no table holds.
struct EntryCaptions {
    // Buttons 1..4 (index 0 unused), English then French; two lines are
    // joined by carriage return and line feed.
    static const std::array<std::array<const char*, 3>, kEntryButtons + 1> kButtons;
    static constexpr const char* kExitHints[3] = {"", "Exit\r\n{Esc}", "Sortir\r\n{Esc}"};
    static constexpr const char* kConfirm[3] = {"", "Confirm", "Confirmer"};
    static constexpr const char* kNumberTaken[3] = {"",
                                                    "Client number already in use: ", "No. de client deja utilise: "};
    static constexpr const char* kClientNotSaved[3] = {"", "Error Saving New Client - Not Saved",
                                                       "Erreur - Nouveau Client Non Sauve"};
    static constexpr const char* kProductTaken[3] = {"", "Product already on file: ", "Produit deja au fichier: "};
    static constexpr const char* kProductNotSaved[3] = {"", "Error Saving New Product - Not Saved",
                                                        "Erreur - Nouveau Produit Non Sauve"};
};

// Colour numbers (blue-green-red) of settings 465 and 470: an integer
// 0..16777215, blanks around it allowed; anything else is the default.
std::int32_t EntryColour(const std::string& setting, std::int32_t otherwise);

// The client number proposed for `date` ("yyyymmdd") at time of day h:m:s:
// three digits from the day (the days since 2004 by 365-day years and 31-day
// months, divided by 3), five from the seconds since midnight.
std::string Number_Generate(const std::string& date, int hour, int minute, int second);

// The form's state under the names the register's other parts know it by.
struct EntryFormState {
    std::int16_t gSearchKind = 0;  // the page loaded
    int gListRows = 0;
    int gListSelected = 1;
    std::array<int, 3> gListColumnPercent{};
    std::int16_t gListFontSize = 13;
    bool gEntryHasData = false;
    bool gEntryExitConfirm = false;
    bool gEntryPrintAfterSave = false;
    std::int32_t gWorkFlag = 0;
    std::string gNewEntryNumber;
    std::int32_t gListTextColour = 0;
    std::int32_t gListSelectColour = 255;
};

struct EntryRow {
    std::string caption;  // lines joined by line feed
    std::string help;     // lines joined by carriage return
    std::string text;     // the entry box
    int width = 0;        // the most characters the box takes
    std::int32_t colour = 0;
};

class EntryForm;

// What the form needs of its window.
class EntryView {
public:
    virtual ~EntryView() = default;
    // The form was loaded on a page: build its rows, grey the close box,
    // show it and send its events to `form`.
    virtual void Entry_Show(EntryForm& form) = 0;
    // The form's state changed: redraw texts, colours, captions, the message
    // and put the focus at the cursor.
    virtual void Entry_Update(const EntryForm& form) = 0;
    // The form was unloaded.
    virtual void Entry_Hide() = 0;
};

class EntryForm {
public:
    explicit EntryForm(EntryView& view) : view_(view) {}

    // Loads the form on the page of gSale.gSearchKind and hides the register
    // window; an unknown page closes it again at once.
    void Load();

    // The cashier's events. Form_KeyDown is given every key before the
    // form's controls (shift: 1 Shift, 2 Ctrl, 4 Alt added); true when the
    // form used it.
    bool Form_KeyDown(int key, int shift);
    void Row_Click(int row);                             // the caption or help line of a row
    void Row_Focus(int row);                             // an entry box took the focus
    void Row_Changed(int row, const std::string& text);  // typed into an entry box
    void Button_Focus(int button);                       // a button took the focus
    void Button_Click(int button);
    void Button6_Click();
    void Button7_Click();
    void Button8_Click();
    void Button9_Click();

    // Some entry box holds text (gEntryHasData).
    void DataEntry_Check();
    // Every entry box cleaned of the characters that break a record.
    void Strip_Data();

    // What the view draws.
    bool IsLoaded() const { return loaded_; }
    const EntryFormState& State() const { return s_; }
    int Rows() const { return s_.gListRows; }
    const EntryRow& Row(int i) const { return rows_.at(static_cast<std::size_t>(i)); }
    const std::string& RowText(int i) const { return Row(i).text; }
    EntryFormLayout Entry_Layout() const;
    EntryRowLayout RowLayout(int i) const;
    FormRect ButtonLayout(int button) const;
    FormRect MessageLayout() const;
    const std::string& ButtonCaption(int button) const { return buttonCaption_.at(static_cast<std::size_t>(button)); }
    bool ButtonVisible(int button) const;
    // The cursor: 1..Rows() a row, Rows() + 1..4 a button.
    int Position() const { return s_.gListSelected; }
    // A message for the cashier on the form ("" none).
    const std::string& Message() const { return message_; }

private:
    void Client_Setup();
    void Product_Setup();
    void Order_Setup();
    void Purchase_Setup();
    void Rows_Setup(int kind, int rows, std::array<int, 3> percent, int fontSize);
    void Row_Set(int row, const std::string& text);
    void Entry_Highlight();
    void Move(int step);
    void Save();
    bool Client_Branch();
    bool Product_Branch();
    bool Order_Branch();
    bool Purchase_Branch();
    bool Client_NumberReady();
    bool Date_Ready(int row, bool required);
    bool OneOf(int row, char low, char high) const;
    void Say(const std::string& text);
    void Unload();
    void Exit();
    void Update() { view_.Entry_Update(*this); }

    EntryView& view_;
    bool loaded_ = false;
    EntryFormState s_;
    std::vector<EntryRow> rows_ = std::vector<EntryRow>(1);  // rows 1..gListRows
    std::array<std::string, kEntryButtons + 1> buttonCaption_{};
    std::string proposed_;  // the client number the form proposed, "" none
    std::string message_;
};

// The program's entry window, set once when the program starts (null takes
// it away). Without one the register has no entry form.
void EntryForm_SetView(EntryView* view);
// Loads the form in the window that was set; false when there is none.
bool EntryForm_Open();
// The form as loaded last (null before the first); it stays after unloading.
EntryForm* EntryForm_Current();

}  // namespace tarvo
