// The dial-up set-up for the store's IT person (`tarvo --dial-setup`), two
// small windows over this machine's phonebook (transfer/dial_phonebook):
// frmDialUp chooses the entry and dials it, frmNewDialUp makes a new entry
// (name, user, password) in place of the one kept. The rules live here,
// behind DialSetupView; the windows only draw the state and hand clicks
// back. Nothing but Exit (or closing frmDialUp) ends the program; the dial
// runs on the background runner with the buttons locked meanwhile. Every
// text is UTF-8 (the phonebook's values go to the dial command as typed).
#pragma once
#include <string>
#include <vector>

#include "config/text_tables.h"
#include "platform/background_runner.h"
#include "platform/internet.h"
#include "transfer/dial_phonebook.h"

namespace tarvo {

// The windows' fixed texts in one language.
struct DialSetupCaptions {
    std::string title, prompt, noConnections, selectConnection, createConnection, connect, newEntry, exit;
    std::string newTitle, name, user, password, ok, saved;
    std::string nameRequired, valueUnfit, notSaved;
    std::string cannotContinueTitle, cannotContinue, noDialCommand;
};
// 1 English, 2 French.
const DialSetupCaptions& DialSetup_Captions(int language);
// The register's language (setting 200 of Files/<terminal>.SET), read
// without touching the file: English when it cannot be read.
int DialSetup_Language(const std::string& programFolder, const std::string& terminal);

class DialSetupForm;

class DialSetupView {
public:
    virtual ~DialSetupView() = default;
    // Draws both windows from the form: which is shown, the list, the
    // message, the buttons' states.
    virtual void DialSetup_Update(const DialSetupForm& form) = 0;
    // A message box that waits for the user; the form goes on once it closes.
    virtual void DialSetup_Box(const std::string& title, const std::string& text) = 0;
    // Exit: the program ends.
    virtual void DialSetup_End() = 0;
};

struct DialSetupSetup {
    std::string programFolder;
    DialCommands commands;
    InternetCheckConfig internet;
    BackgroundRunner* runner = nullptr;  // none: the dial runs here and now
    const TextTables* tables = nullptr;  // the message table
    int language = 1;
};

class DialSetupForm {
public:
    enum class Shown { None, DialUp, NewDialUp };

    DialSetupForm(DialSetupView& view, DialSetupSetup setup);

    // frmDialUp: the phonebook read, the list filled, the window shown.
    void Load();
    // The list's choice (-1: none).
    void Entry_Chosen(int index);
    void Connect_Click();
    void New_Click();
    // Exit, and the close box of frmDialUp: the end of the program (not while
    // a dial runs).
    void Exit_Click();
    // frmNewDialUp: OK with the three texts typed; Cancel (its close box)
    // goes back to frmDialUp keeping nothing.
    void Ok_Click(const std::string& name, const std::string& user, const std::string& password);
    void NewCancel_Click();

    const DialSetupCaptions& Captions() const { return DialSetup_Captions(setup_.language); }
    Shown Window() const { return shown_; }
    const std::string& ListText() const { return listText_; }
    const std::vector<std::string>& Entries() const { return entries_; }
    int Chosen() const { return chosen_; }
    const std::string& Message() const { return message_; }
    bool ConnectEnabled() const { return !busy_ && dialConfigured_ && !entries_.empty(); }
    bool NewEnabled() const { return !busy_; }
    bool ExitEnabled() const { return !busy_; }
    bool Busy() const { return busy_; }

private:
    void ReadEntries(const std::string& listText);
    void Update() { view_.DialSetup_Update(*this); }
    std::string MessageOf(tarvo::Message number) const;

    DialSetupView& view_;
    DialSetupSetup setup_;
    DialPhonebook phonebook_;
    Shown shown_ = Shown::None;
    std::string listText_;
    std::vector<std::string> entries_;
    int chosen_ = -1;
    std::string message_;
    bool dialConfigured_ = false;
    bool busy_ = false;
};

}  // namespace tarvo
