// The program's top level: runs the start-up sequence behind the start-up
// form, then opens the register window or the terminal-number form.
#pragma once
#include <QObject>
#include <memory>
#include <string>

#include "data/comm_state.h"
#include "online/deposit_form.h"
#include "platform/clock.h"
#include "platform/codec.h"
#include "platform/identity_store.h"
#include "register/program_services.h"
#include "screen/register_context.h"
#include "screen/screen_model.h"
#include "startup/startup_sequence.h"
#include "transfer/backoffice_session.h"
#include "ui/cash_count_form.h"
#include "ui/deposit_window.h"
#include "ui/entry_window.h"
#include "ui/qt_background_runner.h"
#include "ui/register_window.h"
#include "ui/search_window.h"
#include "ui/session_window.h"
#include "ui/startup_window.h"
#include "ui/terminal_form.h"

namespace tarvo::ui {

class AppController : public QObject {
    Q_OBJECT
public:
    // `comm` is the communication session used for the first download (the
    // program passes its real one; null means none is available).
    AppController(std::string programFolder, CommunicationSession* comm);
    ~AppController() override;

    void Start();
    // The register window in an ordinary window of its designed size (for
    // development) instead of filling the screen.
    void SetWindowed(bool windowed) { windowed_ = windowed; }

    StartupWindow& Startup() { return startup_; }
    TerminalForm* Terminal() { return terminalForm_.get(); }
    RegisterWindow* Register() { return register_.get(); }
    // The cash count form the register opens (hidden until then).
    CashCountWindow* CashCount() { return cashCount_.get(); }
    // The search form's window (hidden until an opener loads the form).
    SearchWindow* Search() { return search_.get(); }
    // The entry form (new client, new product, order and purchase headers),
    // hidden until the register opens it.
    EntryWindow* Entry() { return entry_.get(); }
    // The deposit form's window, hidden until a Special page deposit key opens it.
    DepositWindow* Deposit() { return deposit_.get(); }
    DepositForm* DepositFormOf() { return depositForm_.get(); }
    // The session window (hidden until a session that is not hidden runs).
    QtSessionWindow* Session() { return sessionWindow_.get(); }
    StartupContext& Context() { return ctx_; }

signals:
    // The program should end with this exit code.
    void Finished(int exitCode);
    // The terminal number was registered: the program restarts.
    void RestartRequested();

private:
    // The end of the program as the register asks for it: the controller
    // finishes, and the program ends with exit code 0.
    class WindowProgram : public ProgramService {
    public:
        explicit WindowProgram(AppController* app) : app_(app) {}
        void PlaySoundFile(int sound) override;
        void RestartProgram() override;
        void EndProgram() override;

    private:
        AppController* app_;
    };

    // The register's other windows as the program has them: the search form
    // of the product, client, alias and vendor searches, the entry form, the
    // terminal-number form of the System page's Change Terminal, and the
    // message box the cashier closes before the register goes on.
    class WindowForms : public FormsService {
    public:
        explicit WindowForms(AppController* app) : app_(app) {}
        void EntryForm_Show() override;
        bool TerminalForm_Show() override;
        void SearchForm_Show(const SearchFormSetup& setup) override;
        void MessageBox_Show(const std::string& text, const std::string& title) override;
        // The deposit form over the register in `mode`.
        void DepositForm_Show(int mode) override;

    private:
        AppController* app_;
    };

    void AfterStartup(StartupOutcome outcome);
    void RegisterNumber(const QString& text);

    std::string home_;
    IdentityStore identity_;
    Decoder decoder_;
    // The start-up's first download has nothing to fetch yet; the register's
    // sessions go to the back office.
    // The "Communication Status" window of the register's sessions: the
    // core's state, drawn by sessionWindow_ once the register is open.
    SessionWindow sessionModel_;
    std::unique_ptr<BackOfficeSession> backOffice_;
    StartupWindow startup_;
    GuiStartupView view_{&startup_};
    StartupContext ctx_;
    std::unique_ptr<TerminalForm> terminalForm_;
    // The register: its screen, clock and services (Reg() points here while
    // the window is open); the window backs its timers.
    ScreenModel screen_;
    SystemClock clock_;
    QtBackgroundRunner runner_;
    ProgramServices services_;
    WindowProgram program_{this};
    WindowForms forms_{this};
    std::unique_ptr<RegisterWindow> register_;
    std::unique_ptr<CashCountWindow> cashCount_;
    std::unique_ptr<SearchWindow> search_;
    std::unique_ptr<EntryWindow> entry_;
    std::unique_ptr<DepositWindow> deposit_;
    std::unique_ptr<DepositForm> depositForm_;
    std::unique_ptr<QtSessionWindow> sessionWindow_;
    bool windowed_ = false;
};

// Shows `window` over the whole of its screen. A till often runs on a bare X
// server, where no window manager honours a request for full screen: the
// window then takes the screen's geometry itself.
void ShowFullScreen(QWidget* window);

// Runs `work` on a worker thread and `done` on the GUI thread afterwards.
void RunInWorker(QObject* owner, std::function<void()> work, std::function<void()> done);

}  // namespace tarvo::ui
