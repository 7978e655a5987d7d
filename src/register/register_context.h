// Everything the register window's handlers work with: the screen model,
// the timers, the clock and the services of other subsystems.
#pragma once
#include "platform/clock.h"
#include "platform/io_watch.h"
#include "platform/timers.h"
#include "register/key_services.h"
#include "register/panel_services.h"
#include "register/screen_model.h"

namespace tarvo {

class RegisterServices : public KeyServices, public PanelServices {};

struct RegisterContext {
    ScreenModel* screen = nullptr;
    Timers* timers = nullptr;
    const Clock* clock = nullptr;
    RegisterServices* services = nullptr;
    std::string programFolder;
    // Runs a device's handler when its port has data (the scale's reply).
    IoWatch* ioWatch = nullptr;
};

// The one register of the program (set when the window loads; tests set their own).
RegisterContext& Reg();
inline ScreenModel& Screen() { return *Reg().screen; }

}  // namespace tarvo
