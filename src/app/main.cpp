// tarvo: the register program. Wires the core to the Qt front end.
#include <QApplication>
#include <QTimer>

#include "startup/constants.h"
#include "ui/startup_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string home = tarvo::ResolveProgramFolder(argc, argv);
    tarvo::ui::StartupWindow startup;
    startup.show();
    startup.SetLine(1, "Retrieving Terminal Number");
    tarvo::InitConstants(tarvo::gConstants, home, "", {});
    startup.SetLine(2, "Program folder: " + home);
    if (qEnvironmentVariableIsSet("TARVO_QUIT_AFTER_MS"))
        QTimer::singleShot(qEnvironmentVariableIntValue("TARVO_QUIT_AFTER_MS"), &app, &QApplication::quit);
    return app.exec();
}
