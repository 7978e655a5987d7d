#include "ui/app_controller.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

#include "config/settings.h"
#include "data/sale_state.h"
#include "office/communication.h"
#include "online/deposit_ticket.h"
#include "platform/desktop.h"
#include "platform/process.h"
#include "register/keyboard.h"
#include "register/register_keys.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "ui/qt_io_watch.h"
#include "ui/qt_text.h"

namespace tarvo::ui {

void RunInWorker(QObject* owner, std::function<void()> work, std::function<void()> done) {
    QThread* t = QThread::create(std::move(work));
    QObject::connect(t, &QThread::finished, owner, [t, done = std::move(done)] {
        t->deleteLater();
        done();
    });
    t->start();
}

void ShowFullScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen) window->setGeometry(screen->geometry());
    window->showFullScreen();
}

AppController::AppController(std::string programFolder, CommunicationSession* comm)
    : home_(std::move(programFolder)), identity_(home_) {
    ctx_.programFolder = home_;
    ctx_.identity = &identity_;
    ctx_.view = &view_;
    // The account is read from the settings at each session; the network
    // steps wait on the program's runner, never on the window's thread.
    SessionSetup setup;
    setup.clock = &clock_;
    setup.internetFrom = &ctx_.internet;
    setup.runner = &runner_;
    setup.window = &sessionModel_;
    backOffice_ = std::make_unique<BackOfficeSession>(std::move(setup));
    services_.transfer.session = comm ? comm : backOffice_.get();
    // The first start of a new terminal runs the same session (mode 9) on
    // the start-up's own thread.
    ctx_.comm = comm ? comm : backOffice_.get();
    services_.transfer.internet = &ctx_.internet;
    services_.transfer.dial = &ctx_.dial;
    ctx_.decoder = &decoder_;
}

void AppController::WindowProgram::PlaySoundFile(int sound) { tarvo::PlaySoundFile(Reg().programFolder, sound); }
void AppController::WindowProgram::RestartProgram() { tarvo::RestartProgram(); }

void AppController::WindowProgram::EndProgram() {
    if (app_->register_) app_->register_->hide();
    emit app_->Finished(0);
}

// Change Terminal: the terminal-number form over the register. A number
// registered restarts the program on it; Exit brings the register back.
bool AppController::WindowForms::TerminalForm_Show() {
    AppController* app = app_;
    // A number registered here changes the terminal's number, paths and log
    // on the form's worker, with its Internet check and dial-up: no scheduled
    // session may start meanwhile. The minutes missed while the form is open
    // are caught up once the register is back (Timer_Comm handles every
    // minute since the last it handled).
    Timers* timers = Reg().timers;
    const int commInterval = timers && timers->Running(TimerId::Comm) ? timers->Interval(TimerId::Comm) : 0;
    if (commInterval > 0) timers->Stop(TimerId::Comm);
    app->terminalForm_ = std::make_unique<TerminalForm>([app](const QString& text) { app->RegisterNumber(text); });
    connect(app->terminalForm_.get(), &QDialog::rejected, app, [app, commInterval] {
        app->terminalForm_->hide();
        if (Reg().screen != &app->screen_) return;
        if (commInterval > 0 && Reg().timers) Reg().timers->Start(TimerId::Comm, commInterval);
        Screen().SetVisible(kRegisterForm, true);
    });
    app->terminalForm_->show();
    return true;
}

// The search form in the register window's place: the same size and place on
// the screen. The form hides the register once it is loaded and shows it
// again when it closes.
void AppController::WindowForms::SearchForm_Show(const SearchFormSetup& setup) {
    AppController* app = app_;
    if (!app->search_) return;
    if (app->register_) {
        app->search_->setGeometry(app->register_->geometry());
        app->search_->setWindowState(app->register_->windowState() & Qt::WindowFullScreen);
    }
    SearchForm_Open(setup);
}

// The entry form takes the register window's place while it is open: it
// opens where the register is, and the form hides the register and shows it
// again when it closes.
void AppController::WindowForms::EntryForm_Show() {
    AppController* app = app_;
    if (!app->entry_) return;
    if (app->register_ && app->register_->isVisible()) {
        app->entry_->setGeometry(app->register_->geometry());
        app->entry_->setWindowState(app->register_->isFullScreen() ? Qt::WindowFullScreen : Qt::WindowNoState);
    }
    EntryForm_Open();
}

// A modal box over the window the cashier is looking at (the register, or
// the form in its place); the register goes on once it is closed. Its keys
// stay locked meanwhile and the timers do not enter a handler twice.
void AppController::WindowForms::MessageBox_Show(const std::string& text, const std::string& title) {
    QWidget* over = QApplication::activeWindow();
    if (!over && app_->register_ && app_->register_->isVisible()) over = app_->register_.get();
    ShowMessageBox(over, text, title);
}

// The deposit form takes the register window's place while it is open; the
// form hides the register and shows it again on every way out.
void AppController::WindowForms::DepositForm_Show(int mode) {
    AppController* app = app_;
    if (!app->depositForm_) return;
    if (app->register_ && app->register_->isVisible()) {
        app->deposit_->setGeometry(app->register_->geometry());
        app->deposit_->setWindowState(app->register_->isFullScreen() ? Qt::WindowFullScreen : Qt::WindowNoState);
    }
    app->depositForm_->Load(mode);
}

AppController::~AppController() {
    sessionModel_.SetView(nullptr);
    if (search_) SearchForm_SetView(nullptr);
    if (cashCount_) CashCount_SetView(nullptr);
    if (entry_) EntryForm_SetView(nullptr);
    if (Reg().screen == &screen_) Reg() = RegisterContext{};
}

void AppController::Start() {
    startup_.show();
    auto outcome = std::make_shared<StartupOutcome>(StartupOutcome::EndProgram);
    RunInWorker(
        this, [this, outcome] { *outcome = StartupSequence(ctx_); }, [this, outcome] { AfterStartup(*outcome); });
}

void AppController::AfterStartup(StartupOutcome outcome) {
    switch (outcome) {
    case StartupOutcome::EndProgram:
        startup_.close();
        emit Finished(1);
        return;
    case StartupOutcome::ShowTerminalForm:
        startup_.hide();
        terminalForm_ = std::make_unique<TerminalForm>([this](const QString& text) { RegisterNumber(text); });
        connect(terminalForm_.get(), &QDialog::rejected, this, [this] { emit Finished(0); });
        terminalForm_->show();
        return;
    case StartupOutcome::OpenRegister:
        startup_.close();
        register_ = std::make_unique<RegisterWindow>(screen_);
        Reg() = RegisterContext{&screen_, &register_->RegisterTimers(), &clock_, services_.Set(), home_};
        Reg().services.program = &program_;
        Reg().services.forms = &forms_;
        Reg().ioWatch = new QtIoWatch(register_.get());  // owned by the window, as its timers
        Reg().runner = &runner_;
        {
            RegisterInput in;
            in.onClick = [](const ControlId& id) { Button_Click(id); };
            in.onKeyDown = [](int key, int shift) { Form_KeyDown(key, shift); };
            in.onKeyUp = [](int key, int shift) { Form_KeyUp(key, shift); };
            in.onFocusCell = [](const ControlId& id) { Control_GotFocus(id); };
            in.canClose = [] { return gSale.gItemCount == 0; };
            in.onClosed = [] { Program_Close(); };
            register_->SetInput(std::move(in));
        }
        if (!register_->Load()) {
            emit Finished(1);
            return;
        }
        // The cash count form, opened by the Print page's count before a report.
        cashCount_ = std::make_unique<CashCountWindow>();
        cashCount_->SetFillsScreen(!windowed_);
        CashCount_SetView(cashCount_.get());
        // The search form, opened by the product, client and alias searches and the vendor list.
        search_ = std::make_unique<SearchWindow>();
        SearchForm_SetView(search_.get());
        entry_ = std::make_unique<EntryWindow>();
        EntryForm_SetView(entry_.get());
        // The deposit form, opened by the Special page's deposit keys; its
        // requests go through the program's runner, its ticket to the printer.
        deposit_ = std::make_unique<DepositWindow>();
        deposit_->SetFillsScreen(!windowed_);
        {
            DepositFormSetup setup;
            setup.runner = &runner_;
            setup.clock = &clock_;
            setup.printTicket = [](const DepositTicketData& t) {
                const auto& a = gConstants.depositAgency;
                return DepositTicket_Print(t, std::vector<std::string>(a.begin(), a.end()));
            };
            depositForm_ = std::make_unique<DepositForm>(*deposit_, std::move(setup));
        }
        // The window of the register's sessions, over the register.
        sessionWindow_ = std::make_unique<QtSessionWindow>(register_.get());
        sessionModel_.SetView(sessionWindow_.get());
        if (windowed_)
            register_->show();
        else
            ShowFullScreen(register_.get());
        register_->raise();
        register_->activateWindow();
        return;
    }
}

void AppController::RegisterNumber(const QString& text) {
    terminalForm_->setEnabled(false);
    auto result = std::make_shared<TerminalFormResult>(TerminalFormResult::StayOpen);
    std::string number = ToCore(text);
    RunInWorker(
        this, [this, number, result] { *result = TerminalForm_Register(ctx_, number); },
        [this, result] {
            terminalForm_->setEnabled(true);
            if (*result == TerminalFormResult::StayOpen)
                terminalForm_->Refocus();
            else if (*result == TerminalFormResult::EndProgram)
                emit Finished(1);
            else
                emit RestartRequested();
        });
}

}  // namespace tarvo::ui
