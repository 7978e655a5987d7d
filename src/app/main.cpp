// tarvo: the register program. Wires the core to the Qt front end.
//
//   tarvo [--home DIR] [--windowed]
//   tarvo [--home DIR] --dial-setup
//
// The register fills the screen; --windowed opens it in an ordinary window
// of its designed size. --dial-setup opens only the dial-up set-up windows
// (choose and dial the phonebook's entry, or make a new one) for the
// store's IT person, not the register. Ctrl+C (SIGINT) or SIGTERM ends the program as
// closing its window does.
#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstring>

#include "config/constants.h"
#include "data/data_state.h"
#include "data/log.h"
#include "platform/process.h"
#include "ui/app_controller.h"
#include "ui/dial_setup_window.h"

namespace {

int gSignalPipe[2] = {-1, -1};

void OnEndSignal(int) {
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(gSignalPipe[1], &c, 1);
}

// SIGINT and SIGTERM end the event loop, so the program closes its files on
// the way out as it does when its window closes.
void EndOnSignals(QApplication& qapp) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, &qapp);
    QObject::connect(notifier, &QSocketNotifier::activated, &qapp, [] {
        char c;
        [[maybe_unused]] ssize_t n = ::read(gSignalPipe[0], &c, 1);
        QApplication::exit(0);
    });
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = OnEndSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
}

bool HasOption(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], option) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tarvo;
    Program_SetArguments(argc, argv);
    QApplication qapp(argc, argv);
    QApplication::setStyle("Fusion");
    EndOnSignals(qapp);
    if (HasOption(argc, argv, "--dial-setup")) return ui::RunDialSetup(ResolveProgramFolder(argc, argv));
    Program_OnClose([] { ProgramLog().Close(); });
    Program_OnClose([] { Data_CloseAll(gData); });

    ui::AppController app(ResolveProgramFolder(argc, argv), nullptr);
    app.SetWindowed(HasOption(argc, argv, "--windowed"));
    QObject::connect(&app, &ui::AppController::Finished, &qapp, [](int code) { QApplication::exit(code); });
    QObject::connect(&app, &ui::AppController::RestartRequested, &qapp, [] { RestartProgram(); });
    app.Start();
    if (qEnvironmentVariableIsSet("TARVO_QUIT_AFTER_MS"))
        QTimer::singleShot(qEnvironmentVariableIntValue("TARVO_QUIT_AFTER_MS"), &qapp, [] { QApplication::exit(0); });
    int rc = qapp.exec();
    Program_CloseAll();
    return rc;
}
