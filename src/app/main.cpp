// tarvo: the register program. Wires the core to the Qt front end.
#include <QApplication>
#include <QTimer>

#include "config/constants.h"
#include "data/data_state.h"
#include "data/log.h"
#include "platform/process.h"
#include "ui/app_controller.h"

int main(int argc, char** argv) {
    using namespace tarvo;
    Program_SetArguments(argc, argv);
    QApplication qapp(argc, argv);
    QApplication::setStyle("Fusion");
    Program_OnClose([] { ProgramLog().Close(); });
    Program_OnClose([] { Data_CloseAll(gData); });

    ui::AppController app(ResolveProgramFolder(argc, argv), nullptr);
    QObject::connect(&app, &ui::AppController::Finished, &qapp, [](int code) { QApplication::exit(code); });
    QObject::connect(&app, &ui::AppController::RestartRequested, &qapp, [] { RestartProgram(); });
    app.Start();
    if (qEnvironmentVariableIsSet("TARVO_QUIT_AFTER_MS"))
        QTimer::singleShot(qEnvironmentVariableIntValue("TARVO_QUIT_AFTER_MS"), &qapp, [] { QApplication::exit(0); });
    int rc = qapp.exec();
    Program_CloseAll();
    return rc;
}
