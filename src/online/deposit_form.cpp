#include "online/deposit_form.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "platform/background_runner.h"
#include "platform/clock.h"
#include "screen/controls.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

constexpr const char* kWait = "Please wait.";
constexpr const char* kEmptyReply = "ERROR: Received empty message in response.";
constexpr const char* kNotIncluded = "Successful not included.";
constexpr const char* kContinue = "Press Enter to Continue";
constexpr const char* kNewNumberTitle = "New number";
constexpr const char* kNewNumberText = "Mark Down The New Number, Then Press Enter To Continue ...";
constexpr const char* kTooManyLines = "A deposit holds at most 100 lines.";
constexpr const char* kNotSetUp = "The site or cashier number cannot be sent: check the register's setup.";
constexpr int kAmountLimitUnits = 1000000;
constexpr int kFieldMax = 40;  // what a text box keeps

std::string Trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

bool Digits(const std::string& s, std::size_t from, std::size_t n) {
    if (s.size() < from + n) return false;
    return std::all_of(s.begin() + static_cast<long>(from), s.begin() + static_cast<long>(from + n),
                       [](char c) { return c >= '0' && c <= '9'; });
}

int DaysIn(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2) {
        // An unknown year (checked after the day) allows the 29th.
        const bool leap = year <= 0 || (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0));
        return leap ? 29 : 28;
    }
    return kDays[month - 1];
}

// An amount as the form accepts it: digits with at most one point and two
// decimals, above 0 and at most a million.
bool AmountValid(const std::string& text) {
    const std::string t = Trimmed(text);
    const auto point = t.find('.');
    const std::string whole = t.substr(0, point);
    const std::string frac = point == std::string::npos ? "" : t.substr(point + 1);
    if (whole.empty() && frac.empty()) return false;
    if (!whole.empty() && !Digits(whole, 0, whole.size())) return false;
    if (point != std::string::npos && (frac.empty() || frac.size() > 2 || !Digits(frac, 0, frac.size()))) return false;
    const std::string w = whole.substr(std::min(whole.find_first_not_of('0'), whole.size()));
    if (w.size() > 7) return false;
    const long units = w.empty() ? 0 : std::stol(w);
    const long cents = frac.empty() ? 0 : std::stol(frac) * (frac.size() == 1 ? 10 : 1);
    if (units == 0 && cents == 0) return false;
    return units < kAmountLimitUnits || (units == kAmountLimitUnits && cents == 0);
}

// A master's date as the form shows it: "mm-dd-yyyy" from that form or from
// "yyyy-mm-dd..." (the database's own); anything else as it came.
std::string DateShown(const std::string& d) {
    if (d.size() >= 10 && Digits(d, 0, 4) && d[4] == '-' && Digits(d, 5, 2) && d[7] == '-' && Digits(d, 8, 2))
        return d.substr(5, 2) + "-" + d.substr(8, 2) + "-" + d.substr(0, 4);
    return d.substr(0, 10);
}

}  // namespace

DepositCaptions Deposit_ModeCaptions(int mode, int language) {
    static constexpr DepositCaptions kEnglish[] = {{"Add a New Deposit", "Save"},
                                                   {"Add a New Line", "Save"},
                                                   {"Print a Deposit", "Print"},
                                                   {"Modify a Line", "Modify"}};
    static constexpr DepositCaptions kFrench[] = {{"Ajouter un Depot", "Enregistrer"},
                                                  {"Ajouter une Ligne", "Enregistrer"},
                                                  {"Imprimer un Depot", "Imprimer"},
                                                  {"Modifier une Ligne", "Modifier"}};
    if (mode < 1 || mode > 4) return {"Deposit Entry", "Save"};
    return language == 2 ? kFrench[mode - 1] : kEnglish[mode - 1];
}

const char* Deposit_Text(DepositText text, int language) {
    static constexpr const char* kEnglish[kDepositTextCount] = {
        "Deposit Number:",   "Deposit Date:",        "MM-DD-YYYY",     "Amount of Deposit:", "Revenue Code:",
        "Is A Cash Deposit", "Print Record Numbers", "Record Number:", "Line Number:",       "Cancel"};
    static constexpr const char* kFrench[kDepositTextCount] = {
        "Numero du Depot:", "Date du Depot:",   "MM-JJ-AAAA",           "Montant du Depot:",
        "Code de Revenu:",  "Depot en Especes", "Imprimer les Numeros", "Numero d'Enregistrement:",
        "Numero de Ligne:", "Annuler"};
    if (text < 0 || text >= kDepositTextCount) return "";
    return language == 2 ? kFrench[text] : kEnglish[text];
}

DepositForm::DepositForm(DepositView& view, DepositFormSetup setup) : view_(view), setup_(std::move(setup)) {
    if (!setup_.sender) setup_.sender = [] { return Deposit_BackOfficeSender(); };
}

int DepositForm::Language() const { return TextLanguage(gSettings); }
std::string DepositForm::Title() const { return Deposit_ModeCaptions(mode_, Language()).title; }
std::string DepositForm::SaveCaption() const { return Deposit_ModeCaptions(mode_, Language()).save; }

std::string DepositForm::RevenueCode() const {
    if (revenueIndex_ < 0 || revenueIndex_ >= static_cast<int>(revenue_.size())) return "";
    return Trimmed(revenue_[static_cast<std::size_t>(revenueIndex_)].substr(0, 5));
}

void DepositForm::Load(int mode) {
    if (busy_) return;
    if (mode < 1 || mode > 4) {
        ProgramLog().Write(1, "Deposit form: no mode " + std::to_string(mode));
        if (loaded_) Close();
        return;
    }
    mode_ = mode;
    const bool wasLoaded = loaded_;
    loaded_ = true;
    Start_All();
    if (!wasLoaded) view_.Deposit_Show(*this);
    if (Reg().screen) Screen().SetVisible(kRegisterForm, false);
    Update();
}

// Every category of the register, in its order (entries 1..count).
void DepositForm::Populate_All() {
    if (gData.gCategoryCount <= 0) return;
    revenue_.clear();
    const int count = std::min<int>(gData.gCategoryCount, static_cast<int>(gData.CategoryTable.size()) - 1);
    for (int i = 1; i <= count; ++i) revenue_.push_back(gData.CategoryTable[static_cast<std::size_t>(i)].CategoryName);
}

void DepositForm::Start_All() {
    Populate_All();
    text_.fill("");
    cash_ = false;
    print_ = false;
    revenueIndex_ = -1;
    message_.clear();
    checkedNumber_.clear();
    checkedRecord_.clear();
    Layout();
    focus_ = mode_ == 4 ? kDepositRecord : kDepositNumber;
}

void DepositForm::Layout() {
    const bool m1 = mode_ == 1, m2 = mode_ == 2, m3 = mode_ == 3, m4 = mode_ == 4;
    auto set = [this](DepositField f, bool visible, bool enabled) {
        visible_[static_cast<std::size_t>(f)] = visible;
        enabled_[static_cast<std::size_t>(f)] = visible && enabled;
    };
    set(kDepositRecord, m4, m4);
    set(kDepositNumber, true, true);
    set(kDepositDate, !m3, m1 || m4);
    set(kDepositAmount, !m3, !m3);
    set(kDepositRevenue, !m3, !m3);
    set(kDepositCash, !m3, !m3);
    set(kDepositPrint, m3, m3);
    set(kDepositLine, !m3, false);  // shows the line saved
    set(kDepositSave, true, true);
    set(kDepositCancel, true, true);
    (void)m2;
}

void DepositForm::Update() {
    if (loaded_) view_.Deposit_Update(*this);
}

void DepositForm::Close() {
    loaded_ = false;
    view_.Deposit_Hide();
    if (Reg().screen) {
        Screen().SetText(kEntryBox, "");
        Screen().SetVisible(kRegisterForm, true);
    }
}

void DepositForm::Say(const std::string& message) { message_ = message; }
void DepositForm::SayMsg(tarvo::Message number) { message_ = Msg(number); }

void DepositForm::Text_Changed(DepositField field, const std::string& text) {
    if (!loaded_ || busy_ || field < 0 || field >= kDepositFieldCount) return;
    if (field != kDepositNumber && field != kDepositDate && field != kDepositAmount && field != kDepositRecord) return;
    if (!Enabled(field)) return;
    text_[static_cast<std::size_t>(field)] = text.substr(0, kFieldMax);
}

void DepositForm::Revenue_Chosen(int index) {
    if (!loaded_ || busy_ || !Enabled(kDepositRevenue)) return;
    revenueIndex_ = index >= 0 && index < static_cast<int>(revenue_.size()) ? index : -1;
}

void DepositForm::Cash_Toggled(bool on) {
    if (loaded_ && !busy_ && Enabled(kDepositCash)) cash_ = on;
}

void DepositForm::Print_Toggled(bool on) {
    if (loaded_ && !busy_ && Enabled(kDepositPrint)) print_ = on;
}

bool DepositForm::CanFocus(DepositField field) const {
    return field != kDepositLine && Visible(field) && Enabled(field);
}

void DepositForm::Focus_Moved(DepositField field) {
    if (!loaded_ || busy_ || field < 0 || field >= kDepositFieldCount) return;
    const DepositField left = focus_;
    if (CanFocus(field)) focus_ = field;
    if (left == field) return;
    if (left == kDepositNumber) Number_Check();
    if (left == kDepositRecord && mode_ == 4) Record_Lookup();
    Update();
}

void DepositForm::MoveFocus(int step) {
    int f = focus_;
    for (int i = 0; i < kDepositFieldCount; ++i) {
        f = (f + step + kDepositFieldCount) % kDepositFieldCount;
        if (CanFocus(static_cast<DepositField>(f))) break;
    }
    Focus_Moved(static_cast<DepositField>(f));
}

void DepositForm::Enter_Key() {
    if (loaded_ && !busy_) MoveFocus(1);
}
void DepositForm::Up_Key() {
    if (loaded_ && !busy_) MoveFocus(-1);
}

void DepositForm::Run(std::function<void(const DepositSender&)> work, std::function<void()> done) {
    busy_ = true;
    Update();
    // Failed requests are logged once back on this thread, never from the worker.
    auto failures = std::make_shared<std::vector<std::string>>();
    const DepositSender send = [inner = setup_.sender(), failures](TaskCode task, const std::string& sql) {
        BackOfficeResult r = inner(task, sql);
        if (!r)
            failures->push_back("Back office request failed: " + r.error + " (task " +
                                std::to_string(TaskNumber(task)) + ")");
        return r;
    };
    auto after = [this, failures, done = std::move(done)] {
        for (const std::string& line : *failures) ProgramLog().Write(1, line);
        busy_ = false;
        if (!loaded_) return;
        done();
        Update();
    };
    if (!setup_.runner) {  // no runner: the request in line (never the program's case)
        work(send);
        after();
        return;
    }
    setup_.runner->Post([work = std::move(work), send] { work(send); }, std::move(after));
}

// The deposit number typed: in mode 1 it must be new, in mode 2 it must be a
// deposit, whose values fill the form.
void DepositForm::Number_Check() {
    const std::string number = Trimmed(Text(kDepositNumber));
    if (number.empty() || (mode_ != 1 && mode_ != 2) || number == checkedNumber_) return;
    checkedNumber_ = number;
    auto found = std::make_shared<DepositLookup>();
    const std::string site = Trimmed(gSettings.gSiteId);
    Say(Msg(Message::RequestInProgressPleaseWait));
    Run([found, number, site](const DepositSender& send) { *found = Deposit_FindMaster(number, site, send); },
        [this, found] {
            const DepositFailure f = found->result.failure;
            if (f == DepositFailure::Transfer || f == DepositFailure::BadValue) {
                checkedNumber_.clear();
                f == DepositFailure::BadValue ? Say(kNotSetUp) : SayMsg(Message::UnsuccessfulCommunicationError);
                if (f == DepositFailure::Transfer) view_.Deposit_Box("", "Error: Unexpected error happened. Error=50");
                return;
            }
            const bool exists = f == DepositFailure::None;
            if (mode_ == 1) {
                if (!exists) {
                    Say("");
                    focus_ = kDepositCash;
                    return;
                }
                Say("Record Exists,use add lines button.");
                view_.Deposit_Box("", "Record found.");
                Close();
                return;
            }
            if (!exists) {
                Say("No such record found.");
                view_.Deposit_Box("", "No such record found.");
                text_[kDepositNumber].clear();
                Close();
                return;
            }
            const DepositRow& m = found->master;
            text_[kDepositNumber] = Trimmed(m.Column(5)).empty() ? text_[kDepositNumber] : Trimmed(m.Column(5));
            cash_ = Trimmed(m.Column(6)) == "1";
            text_[kDepositDate] = DateShown(Trimmed(m.Column(4)));
            text_[kDepositRecord] = Trimmed(m.Column(0));
            const std::string code = Trimmed(m.Column(8));
            revenueIndex_ = -1;
            for (std::size_t i = 0; !code.empty() && i < revenue_.size(); ++i)
                if (revenue_[i].size() >= 5 && Trimmed(revenue_[i].substr(0, 5)) == code) {
                    revenueIndex_ = static_cast<int>(i);
                    break;
                }
            Say("");
            focus_ = kDepositNumber;
        });
}

// Mode 4: the record typed is read; its number, date, amount and revenue
// code fill the form, the list holding only that code.
void DepositForm::Record_Lookup() {
    const std::string record = Trimmed(Text(kDepositRecord));
    if (record.empty() || record == checkedRecord_) return;
    checkedRecord_ = record;
    auto found = std::make_shared<DepositRecord>();
    Say(Msg(Message::RequestInProgressPleaseWait));
    Run([found, record](const DepositSender& send) { *found = Deposit_FindRecord(record, send); },
        [this, found] {
            switch (found->result.failure) {
            case DepositFailure::None: break;
            case DepositFailure::BadValue:
                checkedRecord_.clear();
                Say("Record number is invalid.");
                return;
            case DepositFailure::NotFound:
                Say("The record is not found. Try again with the RECORD NUMBER.");
                view_.Deposit_Box("", "Press Enter to Continue, Correct Error");
                return;
            default:
                checkedRecord_.clear();
                SayMsg(Message::UnsuccessfulCommunicationError);
                view_.Deposit_Box("", "Unexpected Message Server error, Contact Morvane. Error=17");
                return;
            }
            text_[kDepositNumber] = found->number;
            text_[kDepositDate] = DateShown(found->date);
            text_[kDepositAmount] = found->amount;
            Populate_All();
            std::vector<std::string> only;
            for (const std::string& e : revenue_)
                if (e.size() >= 5 && Trimmed(e.substr(0, 5)) == found->code) {
                    only.push_back(e);
                    break;
                }
            if (gData.gCategoryCount > 0) revenue_ = only;
            revenueIndex_ = revenue_.empty() || only.empty() ? -1 : 0;
            Say("");
            view_.Deposit_Box("", kContinue);
        });
}

std::string DepositForm::Check() const {
    if (mode_ == 4 && !Sql_IsDigits(Trimmed(Text(kDepositRecord)))) return "Record number is required.";
    const std::string date = Trimmed(Text(kDepositDate));
    if (date.empty()) return "Date is required.";
    if (Trimmed(Text(kDepositAmount)).empty()) return "Amount is required.";
    if (Trimmed(Text(kDepositNumber)).empty()) return "Deposit number is required.";
    if (RevenueCode().empty()) return "Revenue Code is required.";
    if (!AmountValid(Text(kDepositAmount))) return "Amount is invalid.";
    if (date.size() != 10) return "Date Field is invalid.";
    const int month = Digits(date, 0, 2) ? std::stoi(date.substr(0, 2)) : 0;
    if (month < 1 || month > 12) return "Month Field is invalid.";
    const int year = Digits(date, 6, 4) ? std::stoi(date.substr(6, 4)) : 0;
    const int day = Digits(date, 3, 2) ? std::stoi(date.substr(3, 2)) : 0;
    if (day < 1 || day > DaysIn(month, year)) return "Day Field is invalid.";
    const int lastYear = (setup_.clock ? setup_.clock->Now().year : kDepositFirstYear) + 1;
    if (year < kDepositFirstYear || year > lastYear) return "Year Field is invalid.";
    return "";
}

DepositEntry DepositForm::Entry() const {
    DepositEntry e;
    e.number = Trimmed(Text(kDepositNumber));
    const std::string d = Trimmed(Text(kDepositDate));
    e.date = d.size() == 10 ? d.substr(0, 2) + "-" + d.substr(3, 2) + "-" + d.substr(6, 4) : d;
    e.amount = Trimmed(Text(kDepositAmount));
    e.code = RevenueCode();
    e.cash = cash_;
    e.record = Trimmed(Text(kDepositRecord));
    e.site = Trimmed(gSettings.gSiteId);
    const auto cashier = static_cast<std::size_t>(gReg.gCashierIndex);
    if (gReg.gCashierIndex > 0 && cashier < gData.CashierTable.size())
        e.employee = Trimmed(gData.CashierTable[cashier].CashierNumber);
    return e;
}

void DepositForm::Save_Click() {
    if (!loaded_ || busy_) return;
    if (mode_ == 3) {
        if (Trimmed(Text(kDepositNumber)).empty()) {
            Say("Deposit number is required.");
        } else {
            Ticket_Print(false);
        }
        Update();
        return;
    }
    const std::string refused = Check();
    if (!refused.empty()) {
        Say(refused);
        Update();
        return;
    }
    SayMsg(Message::RequestInProgressPleaseWait);
    const DepositEntry e = Entry();
    auto result = std::make_shared<DepositResult>();
    const int mode = mode_;
    Run(
        [result, e, mode](const DepositSender& send) {
            *result = mode == 1   ? Deposit_SaveNew(e, send)
                      : mode == 2 ? Deposit_AddLine(e, send)
                                  : Deposit_Modify(e, send);
        },
        [this, result] {
            if (result->Ok()) {
                Saved(*result);
            } else {
                Failed(*result, "");
            }
        });
}

void DepositForm::Saved(const DepositResult& r) {
    SayMsg(Message::EntrySavedSuccessfully);
    if (mode_ != 4) text_[kDepositLine] = std::to_string(r.lineNumber);
    view_.Deposit_Box(kNewNumberTitle, kNewNumberText);
    if (mode_ == 4) Ticket_Print(true);
}

void DepositForm::Failed(const DepositResult& r, const std::string&) {
    const std::string number = Trimmed(Text(kDepositNumber));
    if (!r.error.empty()) ProgramLog().Write(1, "Deposit form: request failed: " + r.error);
    switch (r.failure) {
    case DepositFailure::BadValue:
        Say(kNotSetUp);
        ProgramLog().Write(1, "Deposit form: the site (setting 101) or the cashier number is not digits");
        return;
    case DepositFailure::Transfer:
        SayMsg(Message::UnsuccessfulCommunicationError);
        if (mode_ == 4) {
            view_.Deposit_Box("", "Unexpected Message Server error, Contact Morvane.Error=13");
            Close();
        } else {
            view_.Deposit_Box("", "Error: Unexpected error happened. Error=64");
        }
        return;
    case DepositFailure::NoSequence:
        Say("No records selected for sequence, Contact Morvane");
        view_.Deposit_Box("", "Contact Morvane, and notify them of problem. Error=0");
        return;
    case DepositFailure::MasterEmpty:
        Say(kEmptyReply);
        view_.Deposit_Box("", "Insert Failed. Error=1. Contact Morvane.");
        return;
    case DepositFailure::MasterNotSuccessful:
        Say(kNotIncluded);
        view_.Deposit_Box("", "Insert Failed. Error=1. Contact Morvane.");
        return;
    case DepositFailure::LineEmpty:
    case DepositFailure::LineNotSuccessful:
        if (mode_ == 1) {
            // The master is in the back office: the manager adds the line.
            Say("Deposit " + number + " was saved without its line.");
            view_.Deposit_Box("", "Deposit " + number + " was saved, but its first line was not. Add the line with \"" +
                                      Deposit_ModeCaptions(2, Language()).title + "\". Error=62");
            return;
        }
        if (r.failure == DepositFailure::LineEmpty) {
            Say(kEmptyReply);
            view_.Deposit_Box("", "Insert Failed. Error=62. Contact Morvane.");
        } else {
            Say(kNotIncluded);
            view_.Deposit_Box("", "Successful not included. Contact Morvane immedately. Error=62");
        }
        return;
    case DepositFailure::NoHighestLine:
        SayMsg(Message::UnsuccessfulCommunicationError);
        view_.Deposit_Box("", "Error: Unexpected error happened. Error=66");
        return;
    case DepositFailure::TooManyLines:
        Say(kTooManyLines);
        view_.Deposit_Box("", kTooManyLines);
        return;
    case DepositFailure::ModifyEmpty:
        Say(kEmptyReply);
        view_.Deposit_Box("", "Update Failed. Error=7");
        Close();
        return;
    case DepositFailure::ModifyNotSuccessful:
        Say(kNotIncluded);
        view_.Deposit_Box("", "Successful not included. Contact Morvane immedately. Error=8.");
        Close();
        return;
    default: SayMsg(Message::UnsuccessfulCommunicationError); return;
    }
}

// The ticket of the deposit in the number box: its records fetched, then
// printed whole (nothing is printed when a row it needs is missing).
void DepositForm::Ticket_Print(bool afterModify) {
    const std::string number = Trimmed(Text(kDepositNumber));
    if (number.empty()) return;
    Say(kWait);
    const std::string site = Trimmed(gSettings.gSiteId);
    auto data = std::make_shared<DepositTicketData>();
    Run([data, number, site](const DepositSender& send) { *data = Deposit_FetchTicket(number, site, send); },
        [this, data, afterModify] {
            (void)afterModify;
            const DepositTicketData& t = *data;
            if (!t.result.error.empty()) ProgramLog().Write(1, "Deposit form: request failed: " + t.result.error);
            switch (t.result.failure) {
            case DepositFailure::None: break;
            case DepositFailure::NotFound:
                Say("Deposit not found. Try again with the Deposit Number.");
                view_.Deposit_Box("", "Press Enter to Continue, Correct Error");
                return;
            case DepositFailure::DetailsNotFound:
                Say("Details not found.");
                view_.Deposit_Box("", "No such record found. Notify Morvane. Error=51");
                return;
            case DepositFailure::TooManyLines:
                Say(kTooManyLines);
                view_.Deposit_Box("", kTooManyLines);
                return;
            case DepositFailure::SiteNotFound:
                Say("Deposit found but site not found. Inform Morvane");
                view_.Deposit_Box("", "Press Enter to Continue, Error=10");
                return;
            case DepositFailure::RevenueNotFound:
                Say("Deposit found but RECORD not found. Inform Morvane");
                view_.Deposit_Box("", "Press Enter to Continue. Error=11");
                return;
            case DepositFailure::BadValue: Say(kNotSetUp); return;
            default:
                SayMsg(Message::UnsuccessfulCommunicationError);
                view_.Deposit_Box("", "Error: Unexpected error happened. Error=52");
                return;
            }
            if (setup_.printTicket && !setup_.printTicket(t)) {
                SayMsg(Message::PrinterErrorUnableToPrint);
                return;
            }
            Start_All();
            Say("Operation Completed.");
            view_.Deposit_Box("", kContinue);
        });
}

void DepositForm::Cancel_Click() {
    if (!loaded_ || busy_) return;
    Close();
}

}  // namespace tarvo
