// The deposit form: a manager records the store's bank deposits in the back
// office. Four modes: 1 a new deposit (its master and first line), 2 one more
// line on a deposit, 3 the ticket of a deposit printed, 4 a line's amount and
// revenue code changed (its ticket printed after). The form never touches the
// register's files: every read and write is a deposit record request
// (deposit_records.h), run on the background runner while the form's buttons
// are locked.
//
// The form's state and rules live here; a view (the Qt window, or a test's
// recording view) draws it and hands the manager's typing, keys and clicks
// back. The register window is hidden while the form is open and shown again
// on every way out.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "config/message_names.h"
#include "online/deposit_records.h"

namespace tarvo {

class BackgroundRunner;
class Clock;

// The form's fields, in the order Enter moves through them.
enum DepositField : int {
    kDepositRecord = 0,  // mode 4: the record modified
    kDepositNumber,
    kDepositDate,
    kDepositAmount,
    kDepositRevenue,
    kDepositCash,
    kDepositPrint,
    kDepositLine,
    kDepositSave,
    kDepositCancel,
    kDepositFieldCount,
};

// The form's fixed texts in English (index 0) and French (index 1).
struct DepositCaptions {
    const char* title;
    const char* save;
};
// The window and Save captions of modes 1-4 in `language` (1 English, 2 French).
DepositCaptions Deposit_ModeCaptions(int mode, int language);
// A field's caption ("Deposit Number:", ...) and the other fixed texts.
enum DepositText : int {
    kDepositTextNumber,
    kDepositTextDate,
    kDepositTextDateHint,
    kDepositTextAmount,
    kDepositTextRevenue,
    kDepositTextCash,
    kDepositTextPrint,
    kDepositTextRecord,
    kDepositTextLine,
    kDepositTextCancel,
    kDepositTextCount,
};
const char* Deposit_Text(DepositText text, int language);

class DepositForm;

class DepositView {
public:
    virtual ~DepositView() = default;
    // The form was loaded: hide the register window, show the form (not
    // modal) and send its events to `form`.
    virtual void Deposit_Show(DepositForm& form) = 0;
    // Fields, their visibility, the message line, the focus or the lock
    // changed: redraw them.
    virtual void Deposit_Update(const DepositForm& form) = 0;
    // A message the manager closes with Enter (the form waits for nothing).
    virtual void Deposit_Box(const std::string& title, const std::string& text) = 0;
    // The form was unloaded: hide it and show the register window again.
    virtual void Deposit_Hide() = 0;
};

// What the form reads of the register and the back office: how requests go
// out, the ticket's printer and the current year. The program's come from
// the register context; tests give their own.
struct DepositFormSetup {
    BackgroundRunner* runner = nullptr;
    const Clock* clock = nullptr;
    std::function<DepositSender()> sender;  // default: Deposit_BackOfficeSender()
    // Prints the ticket of a deposit fetched; false when the printer failed.
    std::function<bool(const DepositTicketData&)> printTicket;
};

class DepositForm {
public:
    DepositForm(DepositView& view, DepositFormSetup setup);

    // Opens the form in `mode` (1-4); another value opens nothing.
    void Load(int mode);

    // The manager's events. Typing is refused while a request runs.
    void Text_Changed(DepositField field, const std::string& text);
    void Revenue_Chosen(int index);  // -1 nothing chosen
    void Cash_Toggled(bool on);
    void Print_Toggled(bool on);
    void Focus_Moved(DepositField field);  // the focus left one field for `field`
    void Enter_Key();                      // the next field (also Down)
    void Up_Key();                         // the field before
    void Save_Click();
    void Cancel_Click();

    // The form's state.
    bool IsLoaded() const { return loaded_; }
    int Mode() const { return mode_; }
    int Language() const;
    bool Busy() const { return busy_; }
    const std::string& Text(DepositField field) const { return text_.at(static_cast<std::size_t>(field)); }
    bool Visible(DepositField field) const { return visible_.at(static_cast<std::size_t>(field)); }
    bool Enabled(DepositField field) const { return enabled_.at(static_cast<std::size_t>(field)) && !busy_; }
    bool Cash() const { return cash_; }
    bool PrintNumbers() const { return print_; }
    const std::vector<std::string>& RevenueList() const { return revenue_; }
    int RevenueIndex() const { return revenueIndex_; }
    // The revenue code sent: the first 5 characters of the entry chosen.
    std::string RevenueCode() const;
    const std::string& Message() const { return message_; }
    DepositField Focus() const { return focus_; }
    std::string Title() const;
    std::string SaveCaption() const;

private:
    void Start_All();
    void Populate_All();
    void Layout();
    void Update();
    void Close();
    void Say(const std::string& message);
    void SayMsg(tarvo::Message number);
    // The first failing field check's message; "" when all pass.
    std::string Check() const;
    DepositEntry Entry() const;
    bool CanFocus(DepositField field) const;
    void MoveFocus(int step);
    void Number_Check();
    void Record_Lookup();
    void Ticket_Print(bool afterModify);
    void Saved(const DepositResult& r);
    void Failed(const DepositResult& r, const std::string& transferBox);
    void Run(std::function<void(const DepositSender&)> work, std::function<void()> done);

    DepositView& view_;
    DepositFormSetup setup_;
    bool loaded_ = false;
    bool busy_ = false;
    int mode_ = 0;
    std::array<std::string, kDepositFieldCount> text_{};
    std::array<bool, kDepositFieldCount> visible_{};
    std::array<bool, kDepositFieldCount> enabled_{};
    bool cash_ = false;
    bool print_ = false;
    std::vector<std::string> revenue_;
    int revenueIndex_ = -1;
    std::string message_;
    DepositField focus_ = kDepositNumber;
    std::string checkedNumber_;  // the number the last check looked up
    std::string checkedRecord_;
};

// The year window of a deposit date: 2013 up to the current year plus one.
inline constexpr int kDepositFirstYear = 2013;

}  // namespace tarvo
