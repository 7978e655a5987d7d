// tarvo: the register program. Wires the core to the Qt front end: the
// start-up sequence runs on a worker thread behind the start-up form, then
// the register window (or the terminal-number form) takes over.
#include <QApplication>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <memory>

#include "data/log.h"
#include "platform/process.h"
#include "startup/startup_sequence.h"
#include "ui/register_window.h"
#include "ui/startup_window.h"
#include "ui/terminal_form.h"
#include "ui/qt_text.h"

namespace {

using namespace tarvo;

// Runs `work` on a worker thread and `done` on the GUI thread afterwards.
void RunInWorker(QObject* owner, std::function<void()> work, std::function<void()> done) {
    QThread* t = QThread::create(std::move(work));
    QObject::connect(t, &QThread::finished, owner, [t, done = std::move(done)] {
        t->deleteLater();
        done();
    });
    t->start();
}

struct App {
    std::string home;
    IdentityStore identity;
    Decoder decoder;
    NoCommunicationSession comm;
    ui::StartupWindow startup;
    ui::GuiStartupView view{&startup};
    StartupContext ctx;
    std::unique_ptr<ui::TerminalForm> terminalForm;
    std::unique_ptr<ui::RegisterWindow> reg;
    StartupOutcome outcome = StartupOutcome::EndProgram;
    TerminalFormResult formResult = TerminalFormResult::StayOpen;

    explicit App(std::string h) : home(std::move(h)), identity(home) {
        ctx.programFolder = home;
        ctx.identity = &identity;
        ctx.view = &view;
        ctx.comm = &comm;
        ctx.decoder = &decoder;
    }

    void Start() {
        startup.show();
        RunInWorker(&startup, [this] { outcome = StartupSequence(ctx); }, [this] { AfterStartup(); });
    }

    void AfterStartup() {
        switch (outcome) {
        case StartupOutcome::EndProgram:
            QApplication::exit(1);
            return;
        case StartupOutcome::ShowTerminalForm:
            startup.hide();
            terminalForm = std::make_unique<ui::TerminalForm>([this](const QString& text) { Register(text); });
            QObject::connect(terminalForm.get(), &QDialog::rejected, [] { QApplication::exit(0); });
            terminalForm->show();
            return;
        case StartupOutcome::OpenRegister:
            startup.close();
            reg = std::make_unique<ui::RegisterWindow>();
            if (!reg->Load()) {
                QApplication::exit(1);
                return;
            }
            reg->show();
            reg->raise();
            reg->activateWindow();
            return;
        }
    }

    void Register(const QString& text) {
        terminalForm->setEnabled(false);
        std::string number = ui::ToCore(text);
        RunInWorker(terminalForm.get(), [this, number] { formResult = TerminalForm_Register(ctx, number); },
                    [this] {
                        terminalForm->setEnabled(true);
                        if (formResult == TerminalFormResult::StayOpen) terminalForm->Refocus();
                        else if (formResult == TerminalFormResult::EndProgram) QApplication::exit(1);
                        else RestartProgram();
                    });
    }
};

}  // namespace

int main(int argc, char** argv) {
    Program_SetArguments(argc, argv);
    QApplication qapp(argc, argv);
    QApplication::setStyle("Fusion");
    Program_OnClose([] { ProgramLog().Close(); });
    App app(ResolveProgramFolder(argc, argv));
    app.Start();
    if (qEnvironmentVariableIsSet("TARVO_QUIT_AFTER_MS"))
        QTimer::singleShot(qEnvironmentVariableIntValue("TARVO_QUIT_AFTER_MS"), &qapp, [] { QApplication::exit(0); });
    int rc = qapp.exec();
    Program_CloseAll();
    return rc;
}
