// Everything the register window's handlers work with: the screen model,
// the timers, the clock and the services of the other subsystems.
#pragma once
#include <string>

#include "platform/background_runner.h"
#include "platform/clock.h"
#include "platform/io_watch.h"
#include "platform/timers.h"
#include "screen/screen_model.h"
#include "screen/service_stand_ins.h"

namespace tarvo {

// Every subsystem's stand-in at once, for a test double that stands in for
// them all and overrides what it records.
class RegisterServices : public SaleStandIn,
                         public PrintStandIn,
                         public DeviceStandIn,
                         public CardStandIn,
                         public OfficeStandIn,
                         public InventoryStandIn,
                         public TransferStandIn,
                         public OnlineStandIn,
                         public FormsStandIn,
                         public PromptStandIn,
                         public PageStandIn,
                         public ProgramStandIn {};

// The subsystems the register reaches, one interface each. A service left
// unset answers with its stand-in (what a register without that subsystem
// does). The program sets them all when the window loads; tests set fakes.
struct ServiceSet {
    SaleService* sale = nullptr;
    PrintService* print = nullptr;
    DeviceService* devices = nullptr;
    CardService* card = nullptr;
    OfficeService* office = nullptr;
    InventoryService* inventory = nullptr;
    TransferService* transfer = nullptr;
    OnlineService* online = nullptr;
    FormsService* forms = nullptr;
    PromptService* prompt = nullptr;
    PageService* pages = nullptr;
    ProgramService* program = nullptr;
    // The register's own button groups; not part of RegisterServices, so a
    // test double of the subsystems keeps the real keys.
    RegisterKeysService* keys = nullptr;
    // What the sale reports goes to the register's observer; like the keys,
    // not part of RegisterServices.
    SaleObserver* saleObserver = nullptr;

    ServiceSet() = default;
    // All the subsystems from one object (the register keys and the sale's
    // observer stay unset).
    ServiceSet(RegisterServices* all);  // NOLINT: a test double converts implicitly
    // All the subsystems from one object; the register keys and the sale's
    // observer stay as they are.
    ServiceSet& operator=(RegisterServices* all);
    // True once the program or a test set any service.
    bool Wired() const;
};

struct RegisterContext {
    ScreenModel* screen = nullptr;
    Timers* timers = nullptr;
    const Clock* clock = nullptr;
    ServiceSet services;
    std::string programFolder;
    // Runs a device's handler when its port has data (the scale's reply).
    IoWatch* ioWatch = nullptr;
    // Runs server and device waits off the user-interface thread; their
    // completions come back on it.
    BackgroundRunner* runner = nullptr;
};

// The one register of the program (set when the window loads; tests set their own).
RegisterContext& Reg();
inline ScreenModel& Screen() { return *Reg().screen; }

// The services of the register (each its stand-in while unset).
SaleService& SaleEngine();
PrintService& Printing();
DeviceService& Devices();
CardService& Cards();
OfficeService& Office();
InventoryService& Inventory();
TransferService& Transfer();
OnlineService& Online();
FormsService& Forms();
PromptService& Prompt();
PageService& Pages();
RegisterKeysService& RegisterKeys();
ProgramService& Program();
// The observer of the sale the register registered (the stand-in while unset).
SaleObserver& SaleEvents();

}  // namespace tarvo
