#include "forms/entry_form.h"

#include <cctype>
#include <optional>

#include "common/dates.h"
#include "common/fields.h"
#include "common/numbers.h"
#include "common/text_clean.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "forms/new_entries.h"
#include "print/office_slips.h"
#include "sale/clients.h"
#include "sale/modes.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

const std::array<std::array<const char*, 3>, kEntryButtons + 1> EntryCaptions::kButtons = {{
    {"", "", ""},
    {"", "Save\r\nPrint", "Sauver\r\nImprimer"},
    {"", "Save\r\nAdd to Sale", "Sauver\r\nContinuer"},
    {"", "Save\r\nExit", "Sauver\r\nSortir"},
    {"", "Abort\r\nExit", "Sortir"},
}};

namespace {

constexpr std::int32_t kLargestColour = 16777215;
// How far a taken client number is stepped on before the form gives up.
constexpr int kNumberSteps = 100000;

int Language() { return TextLanguage(gSettings); }
bool KeyHints() { return gSettings.gKeyboardHints != 0; }
bool AutoClientNumber() { return gSettings.gClientEntryOption; }
bool Blank(const std::string& s) { return TrimView(s).empty(); }

bool AllDigits(std::string_view s) {
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return !s.empty();
}

// The client number after `number` (8 digits), wrapping after 99999999.
std::string NextNumber(const std::string& number) {
    long long n = AllDigits(number) && number.size() <= 8 ? std::stoll(number) : 0;
    std::string t = std::to_string((n + 1) % 100000000);
    return std::string(8 - t.size(), '0') + t;
}

// `number` when it is free, else the first free number after it; "" when
// none was found.
std::string FirstFree(std::string number) {
    for (int i = 0; i < kNumberSteps; ++i) {
        if (!ClientNumber_Taken(number)) return number;
        number = NextNumber(number);
    }
    return {};
}

// The number the form proposes now: from the business date (the clock's
// date before a login) and the clock's time of day.
std::string ProposedNumber() {
    const LocalTime now = Reg().clock->Now();
    const std::string& business = gReg.gBusinessDate;
    const std::string date = business.size() == 8 && AllDigits(business) ? business : DateText(now);
    return Number_Generate(date, now.hour, now.minute, now.second);
}

}  // namespace

std::int32_t EntryColour(const std::string& setting, std::int32_t otherwise) {
    const std::string_view t = TrimView(setting);
    if (!AllDigits(t) || t.size() > 8) return otherwise;
    const long v = std::stol(std::string(t));
    return v <= kLargestColour ? static_cast<std::int32_t>(v) : otherwise;
}

std::string Number_Generate(const std::string& date, int hour, int minute, int second) {
    const long long seconds = static_cast<long long>(hour) * 3600 + minute * 60 + second;
    long long y = 0, m = 0, d = 0;
    if (date.size() >= 8 && AllDigits(date.substr(0, 8))) {
        y = std::stoll(date.substr(0, 4));
        m = std::stoll(date.substr(4, 2));
        d = std::stoll(date.substr(6, 2));
    }
    long long day = (y - 2004) * 365 + m * 31 + d;
    if (day < 0) day = -day;  // a date before 2004 still gives three digits
    const std::string part1 = "000" + std::to_string(day / 3);
    const std::string part2 = "00000" + std::to_string(seconds);
    return part1.substr(part1.size() - 3) + part2.substr(part2.size() - 5);
}

// ---- load and pages ---------------------------------------------------------------------

void EntryForm::Load() {
    loaded_ = true;
    s_ = EntryFormState{};
    s_.gSearchKind = gSale.gSearchKind;
    s_.gListTextColour = EntryColour(std::to_string(gSettings.gGreetingForeColour), 0);
    s_.gListSelectColour = EntryColour(gSettings.gSelectedRowColour, 255);
    rows_.assign(1, EntryRow{});
    proposed_.clear();
    message_.clear();
    for (int k = 1; k <= kEntryButtons; ++k)
        buttonCaption_[static_cast<std::size_t>(k)] = EntryCaptions::kButtons[static_cast<std::size_t>(k)][Language()];
    if (KeyHints()) buttonCaption_[kEntryExit] = EntryCaptions::kExitHints[Language()];

    switch (s_.gSearchKind) {
    case kEntryNewClientPage: Client_Setup(); break;
    case kEntryNewProductPage: Product_Setup(); break;
    case kEntryOrderPage: Order_Setup(); break;
    case kEntryPurchaseOrderPage:
    case kEntryPurchasePage: Purchase_Setup(); break;
    default:
        // An opener that names no page gets the form closed again at once.
        Exit();
        return;
    }
    view_.Entry_Show(*this);
    s_.gListSelected = s_.gSearchKind == kEntryNewClientPage && AutoClientNumber() ? 2 : 1;
    Entry_Highlight();
    Screen().SetVisible(kRegisterForm, false);
    Update();
}

void EntryForm::Rows_Setup(int kind, int rows, std::array<int, 3> percent, int fontSize) {
    s_.gListRows = rows;
    s_.gListColumnPercent = percent;
    s_.gListFontSize = static_cast<std::int16_t>(fontSize);
    rows_.assign(static_cast<std::size_t>(rows + 1), EntryRow{});
    const TextTables& t = gConstants.tables;
    for (int i = 1; i <= rows; ++i) {
        EntryRow& r = rows_[static_cast<std::size_t>(i)];
        r.caption = ListColumnTitle(t, kind, i, Language());
        r.help = EntryFieldPrompt(t, kind, i, Language());
        r.width = EntryFieldWidth(t, kind - 2, i);
    }
}

void EntryForm::Client_Setup() {
    Rows_Setup(3, kNewClientFields, {20, 50, 30}, 16);
    if (AutoClientNumber()) {
        proposed_ = FirstFree(ProposedNumber());
        Row_Set(1, proposed_);
    }
    // The client of the sale is the default template.
    Row_Set(11, Trim(gSale.gClientNumber));
}

void EntryForm::Product_Setup() { Rows_Setup(4, kNewProductFields, {25, 45, 30}, 13); }

void EntryForm::Order_Setup() {
    Rows_Setup(5, 7, {20, 40, 40}, 13);
    const SaleState& s = gSale;
    const std::string* values[] = {&s.gDocType,         &s.gDocPriority,
                                   &s.gDocDeliveryDate, &s.gDocCancelBackOrders,
                                   &s.gDocSupplyMethod, &s.gDocDeliveryMethod,
                                   &s.gDocComment};
    for (int i = 1; i <= 7; ++i) Row_Set(i, *values[i - 1]);
}

void EntryForm::Purchase_Setup() {
    SaleState& s = gSale;
    s.gDocPriority = "2";
    s.gDocType = "1";
    s.gDocCancelBackOrders = "1";
    s.gDocDeliveryDate.clear();
    s.gDocCancelDate.clear();
    s.gDocVendorOrderNo.clear();
    s.gDocSupplyMethod.clear();
    s.gDocDeliveryMethod.clear();
    s.gDocComment.clear();
    Rows_Setup(6, 9, {20, 40, 40}, 13);
    Row_Set(1, s.gDocSupplyMethod);
    Row_Set(2, s.gDocVendorOrderNo);
    Row_Set(5, s.gDocCancelBackOrders);
    Row_Set(7, s.gDocPriority);
    Row_Set(8, s.gDocType);
    Row_Set(9, s.gDocComment);
}

void EntryForm::Row_Set(int row, const std::string& text) {
    if (row < 1 || row > s_.gListRows) return;
    EntryRow& r = rows_[static_cast<std::size_t>(row)];
    // The box takes no more than its field's width.
    r.text = r.width > 0 && static_cast<int>(text.size()) > r.width ? text.substr(0, static_cast<std::size_t>(r.width))
                                                                    : text;
}

// ---- geometry -----------------------------------------------------------------------------

EntryRowLayout EntryForm::RowLayout(int i) const {
    EntryRowLayout l;
    if (s_.gListRows < 1) return l;
    const int pitch = kEntryRowsHeight / s_.gListRows;
    const int top = (i - 1) * pitch;
    const int height = pitch - 10;
    const auto width = [this](int column) {
        return s_.gListColumnPercent[static_cast<std::size_t>(column)] * kEntryColumnsWidth / 100;
    };
    l.caption = {kEntryLeft, top, width(0), height};
    l.entry = {kEntryLeft + width(0), top, width(1), height};
    l.help = {kEntryLeft + width(0) + width(1), top, width(2), height};
    return l;
}

EntryFormLayout EntryForm::Entry_Layout() const {
    EntryFormLayout l;
    l.rows.resize(static_cast<std::size_t>(s_.gListRows + 1));
    for (int i = 1; i <= s_.gListRows; ++i) l.rows[static_cast<std::size_t>(i)] = RowLayout(i);
    for (int k = 1; k <= kEntryButtons; ++k) l.buttons[static_cast<std::size_t>(k)] = ButtonLayout(k);
    l.message = MessageLayout();
    return l;
}

FormRect EntryForm::MessageLayout() const { return {kEntryLeft, kEntryRowsHeight + 40, kEntryColumnsWidth, 420}; }

FormRect EntryForm::ButtonLayout(int button) const {
    // Four places across the form, one per button whether shown or not, so a
    // button stands in the same place on every page.
    const int slot = kEntryColumnsWidth / kEntryButtons;
    return {kEntryLeft + (button - 1) * slot + 30, kEntryRowsHeight + 500, slot - 60, 1000};
}

bool EntryForm::ButtonVisible(int button) const {
    switch (button) {
    case kEntrySavePrint: return s_.gSearchKind == kEntryNewClientPage || s_.gSearchKind == kEntryNewProductPage;
    case kEntrySaveAdd: return s_.gSearchKind == kEntryNewClientPage;
    case kEntrySaveExit:
    case kEntryExit: return true;
    default: return false;
    }
}

// ---- cursor and keys -------------------------------------------------------------------------

void EntryForm::Entry_Highlight() {
    for (int i = 1; i <= s_.gListRows; ++i)
        rows_[static_cast<std::size_t>(i)].colour = i == s_.gListSelected ? s_.gListSelectColour : s_.gListTextColour;
}

void EntryForm::Move(int step) {
    const int last = s_.gListRows + kEntryButtons;
    int p = s_.gListSelected;
    do {
        p += step;
        if (p > last) p = 1;
        if (p < 1) p = last;
    } while (p > s_.gListRows && !ButtonVisible(p - s_.gListRows));
    s_.gListSelected = p;
    Entry_Highlight();
    Update();
}

bool EntryForm::Form_KeyDown(int key, int shift) {
    if (!loaded_) return false;
    const auto pressAtCursor = [this] {
        if (s_.gListSelected > s_.gListRows) Button_Click(s_.gListSelected - s_.gListRows);
    };
    if ((shift & 7) != 0) {
        if (key != 187) return false;
        pressAtCursor();
        return true;
    }
    switch (key) {
    case 13:
    case 39:
    case 40: Move(1); return true;
    case 37:
    case 38: Move(-1); return true;
    case 27: Exit(); return true;
    case 107: pressAtCursor(); return true;
    default: return false;
    }
}

void EntryForm::Row_Click(int row) {
    if (!loaded_ || row < 1 || row > s_.gListRows) return;
    s_.gListSelected = row;
    Entry_Highlight();
    Update();
}

void EntryForm::Row_Focus(int row) { Row_Click(row); }

void EntryForm::Row_Changed(int row, const std::string& text) {
    if (!loaded_ || row < 1 || row > s_.gListRows) return;
    Row_Set(row, text);
    Row_Click(row);
}

void EntryForm::Button_Focus(int button) {
    if (!loaded_ || !ButtonVisible(button)) return;
    s_.gListSelected = s_.gListRows + button;
    Entry_Highlight();
    Update();
}

void EntryForm::Button_Click(int button) {
    switch (button) {
    case kEntrySavePrint: Button7_Click(); break;
    case kEntrySaveAdd: Button6_Click(); break;
    case kEntrySaveExit: Button8_Click(); break;
    case kEntryExit: Button9_Click(); break;
    default: break;
    }
}

// Each save button says what follows its own save only: a refused Save +
// Print must not make a later Save + Exit print, nor a refused Save + Add to
// Sale attach the client of a later save.
void EntryForm::Button7_Click() {
    if (!loaded_ || !ButtonVisible(kEntrySavePrint)) return;
    s_.gEntryPrintAfterSave = true;
    s_.gWorkFlag = 0;
    Save();
}

void EntryForm::Button6_Click() {
    if (!loaded_ || !ButtonVisible(kEntrySaveAdd)) return;
    s_.gEntryPrintAfterSave = false;
    s_.gWorkFlag = 1;
    Save();
}

void EntryForm::Button8_Click() {
    if (!loaded_) return;
    s_.gEntryPrintAfterSave = false;
    s_.gWorkFlag = 0;
    Save();
}

void EntryForm::Button9_Click() {
    if (loaded_) Exit();
}

// ---- save ------------------------------------------------------------------------------------

void EntryForm::DataEntry_Check() {
    s_.gEntryHasData = false;
    for (int i = 1; i <= s_.gListRows; ++i)
        if (!rows_[static_cast<std::size_t>(i)].text.empty()) s_.gEntryHasData = true;
}

void EntryForm::Strip_Data() {
    for (int i = 1; i <= s_.gListRows; ++i) {
        EntryRow& r = rows_[static_cast<std::size_t>(i)];
        r.text = Text_Clean(r.text);
    }
}

void EntryForm::Say(const std::string& text) {
    message_ = text;
    ProgramLog().Write(1, "Entry form: " + text);
}

void EntryForm::Save() {
    DataEntry_Check();
    if (!s_.gEntryHasData) return;
    message_.clear();
    Strip_Data();
    bool closed = false;
    switch (s_.gSearchKind) {
    case kEntryNewClientPage: closed = Client_Branch(); break;
    case kEntryNewProductPage: closed = Product_Branch(); break;
    case kEntryOrderPage: closed = Order_Branch(); break;
    case kEntryPurchaseOrderPage:
    case kEntryPurchasePage: closed = Purchase_Branch(); break;
    default: break;
    }
    if (!closed && loaded_) {
        Entry_Highlight();
        Update();
    }
}

bool EntryForm::Client_NumberReady() {
    std::string number = Trim(RowText(1));
    if (number.empty()) {
        if (!AutoClientNumber()) return false;
        // The program gives numbers: a box left empty takes the next free one,
        // never a client without a number.
        proposed_ = FirstFree(ProposedNumber());
        if (proposed_.empty()) {
            Say(std::string(EntryCaptions::kNumberTaken[Language()]) + ProposedNumber());
            return false;
        }
        Row_Set(1, proposed_);
        return true;
    }
    if (!ClientNumber_Taken(number)) return true;
    if (AutoClientNumber() && number == Trim(proposed_)) {
        // The number the form proposed was taken meanwhile: the next free one.
        const std::string next = FirstFree(NextNumber(number));
        if (!next.empty()) {
            ProgramLog().Write(1, "Entry form: client number " + number + " is taken, " + next + " proposed");
            proposed_ = next;
            Row_Set(1, next);
            return true;
        }
    }
    Say(std::string(EntryCaptions::kNumberTaken[Language()]) + number);
    return false;
}

bool EntryForm::Client_Branch() {
    if (Blank(RowText(11)) || Blank(RowText(2))) return false;
    // The template's look-up leaves the sale's client as it is. Only a
    // client of the master is a template, not one entered here.
    const std::optional<ClientMatch> model = Client_Find(Trim(RowText(11)));
    if (!model || model->recNo == 0) return false;
    const std::string templateId(Mid(model->record, 1, 8));
    if (!Client_NumberReady()) return false;

    // Client_Save
    s_.gNewEntryNumber = RowText(1);
    std::vector<std::string> fields;
    for (int i = 1; i <= kNewClientFields; ++i)
        fields.push_back(EntryField_Fit(i == 11 ? templateId : RowText(i),
                                        NewEntry_FieldWidth(NewEntryKind::Client, i)));
    const std::int32_t recNo =
        NewEntry_Append(NewEntryKind::Client, NewEntry_Record(NewEntryKind::Client, fields), "Client_Save");
    if (recNo == 0) {
        Say(EntryCaptions::kClientNotSaved[Language()]);
        return false;
    }
    for (int i = 1; i <= kNewClientFields; ++i)
        rows_[static_cast<std::size_t>(i)].text = fields[static_cast<std::size_t>(i - 1)];

    if (s_.gEntryPrintAfterSave) Print_NewClient(1, recNo);
    Unload();
    CIATime(Msg(Message::NewClientSavedSuccessfully) + Trim(s_.gNewEntryNumber), 5);
    if (s_.gWorkFlag == 1) {
        gData.gClientRecNo = 0;
        gData.gNewClientRecNo = recNo;
        Client_Process();
    }
    return true;
}

bool EntryForm::Product_Branch() {
    if (Blank(RowText(12))) return false;
    // The template's look-up leaves the sale's product as it is.
    const std::optional<ProductMatch> model = Product_Find(Trim(RowText(12)));
    if (!model || model->recNo == 0) return false;
    const std::string templateId(Mid(model->record, 1, 8));
    // The key the register sells by (the number, or the bar code with
    // setting 250) must not name a product already: the new one could never
    // be found by it.
    const int keyRow = gSettings.gProductKeyMode.asNumber == ProductKey::Number ? 1 : 2;
    if (ProductKey_Taken(RowText(keyRow))) {
        Say(std::string(EntryCaptions::kProductTaken[Language()]) + Trim(RowText(keyRow)));
        return false;
    }

    // Product_Save
    s_.gNewEntryNumber = RowText(1);
    std::vector<std::string> fields;
    for (int i = 1; i <= kNewProductFields; ++i)
        fields.push_back(EntryField_Fit(i == 12 ? EntryField_Fit(templateId, 8) : RowText(i),
                                        NewEntry_FieldWidth(NewEntryKind::Product, i)));
    const std::int32_t recNo =
        NewEntry_Append(NewEntryKind::Product, NewEntry_Record(NewEntryKind::Product, fields), "Product_Save");
    if (recNo == 0) {
        Say(EntryCaptions::kProductNotSaved[Language()]);
        return false;
    }
    for (int i = 1; i <= kNewProductFields; ++i)
        rows_[static_cast<std::size_t>(i)].text = fields[static_cast<std::size_t>(i - 1)];

    if (s_.gEntryPrintAfterSave) Print_NewProduct(1, recNo);
    Unload();
    CIATime(Msg(Message::NewProductSavedSuccessfully) + Trim(s_.gNewEntryNumber), 5);
    return true;
}

// One character from `low` to `high`.
bool EntryForm::OneOf(int row, char low, char high) const {
    const std::string& t = RowText(row);
    return t.size() == 1 && t[0] >= low && t[0] <= high;
}

// A header date: exactly 8 digits of a real calendar date, the year "2004"
// to "2050". The date is put back into its box as it is kept. An optional
// date may be left empty.
bool EntryForm::Date_Ready(int row, bool required) {
    const std::string t = Trim(RowText(row));
    if (t.empty()) {
        Row_Set(row, "");
        return !required;
    }
    const bool eight = t.size() == 8;
    const std::string date = EntryField_Fit(t, 8);
    Row_Set(row, date);
    if (!eight || !AllDigits(date) || !Date_Check(date).valid) return false;
    const std::string year = date.substr(0, 4), month = date.substr(4, 2), day = date.substr(6, 2);
    return year >= "2004" && year <= "2050" && month >= "01" && month <= "12" && day >= "01" && day <= "31";
}

bool EntryForm::Order_Branch() {
    bool ok = OneOf(1, '1', '9');
    ok = OneOf(2, '1', '3') && ok;
    ok = Date_Ready(3, true) && ok;
    ok = OneOf(4, '1', '2') && ok;
    ok = OneOf(5, '1', '2') && ok;
    ok = OneOf(6, '1', '2') && ok;
    if (!ok) return false;
    // Order_Save
    SaleState& s = gSale;
    s.gDocType = RowText(1);
    s.gDocPriority = RowText(2);
    s.gDocDeliveryDate = RowText(3);
    s.gDocCancelBackOrders = RowText(4);
    s.gDocSupplyMethod = RowText(5);
    s.gDocDeliveryMethod = RowText(6);
    s.gDocComment = RowText(7);
    Unload();
    Order_PageClosed(true);
    s.gMode = RegisterMode::OrderEntry;
    Mode_Display();
    return true;
}

bool EntryForm::Purchase_Branch() {
    bool ok = Date_Ready(3, false);
    ok = Date_Ready(4, false) && ok;
    ok = OneOf(5, '1', '2') && ok;
    ok = OneOf(7, '1', '2') && ok;
    ok = OneOf(8, '1', '5') && ok;
    if (!ok) return false;
    // Purchase_Save
    SaleState& s = gSale;
    s.gDocSupplyMethod = RowText(1);
    s.gDocVendorOrderNo = RowText(2);
    s.gDocDeliveryDate = RowText(3);
    s.gDocCancelDate = RowText(4);
    s.gDocCancelBackOrders = RowText(5);
    s.gDocDeliveryMethod = RowText(6);
    s.gDocPriority = RowText(7);
    s.gDocType = RowText(8);
    s.gDocComment = RowText(9);
    Unload();
    Mode_Display();
    Inventory().Vendor_ShowInformation();
    return true;
}

// ---- leaving ---------------------------------------------------------------------------------

void EntryForm::Unload() {
    loaded_ = false;
    // The form is no longer open: the register may start a scheduled
    // session again.
    gSale.gSearchKind = 0;
    view_.Entry_Hide();
    // The register back, ready for the cashier's next key.
    Screen().SetVisible(kRegisterForm, true);
    Screen().SetFocus(kRegisterForm);
    Screen().SetFocus(kEntryBox);
}

void EntryForm::Exit() {
    if (!s_.gEntryExitConfirm) {
        DataEntry_Check();
        if (s_.gEntryHasData) {
            s_.gEntryExitConfirm = true;
            buttonCaption_[kEntryExit] =
                std::string(EntryCaptions::kConfirm[Language()]) + (KeyHints() ? "\r\n{Esc}" : "");
            Update();
            return;
        }
    }
    const bool purchase = s_.gSearchKind == kEntryPurchaseOrderPage || s_.gSearchKind == kEntryPurchasePage;
    Unload();
    Screen().SetText(kEntryBox, "");
    // A purchase is not begun without its header: leaving the page ends it
    // and the register goes back to sales. Leaving the order page takes back
    // what the order key set.
    if (purchase) Inventory().Purchase_Cancel();
    if (s_.gSearchKind == kEntryOrderPage) Order_PageClosed(false);
}

// ---- the program's form ------------------------------------------------------------------

namespace {
EntryView* gEntryView = nullptr;
std::optional<EntryForm> gEntryForm;
}  // namespace

void EntryForm_SetView(EntryView* view) { gEntryView = view; }

bool EntryForm_Open() {
    if (gEntryView == nullptr) return false;
    gEntryForm.emplace(*gEntryView);
    gEntryForm->Load();
    return true;
}

EntryForm* EntryForm_Current() { return gEntryForm ? &*gEntryForm : nullptr; }

}  // namespace tarvo
