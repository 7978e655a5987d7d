// Everything the register window's handlers work with: the screen model,
// the timers, the clock and the services of the other subsystems.
#pragma once
#include <string>

#include "platform/background_runner.h"
#include "platform/clock.h"
#include "platform/io_watch.h"
#include "platform/timers.h"
#include "screen/card_service.h"
#include "screen/device_service.h"
#include "screen/forms_service.h"
#include "screen/inventory_service.h"
#include "screen/office_service.h"
#include "screen/online_service.h"
#include "screen/page_service.h"
#include "screen/print_service.h"
#include "screen/program_service.h"
#include "screen/prompt_service.h"
#include "screen/register_keys_service.h"
#include "screen/sale_service.h"
#include "screen/screen_model.h"
#include "screen/transfer_service.h"

namespace tarvo {

// Every subsystem's service at once, for a test double that stands in for them all.
class RegisterServices : public SaleService,
                         public PrintService,
                         public DeviceService,
                         public CardService,
                         public OfficeService,
                         public InventoryService,
                         public TransferService,
                         public OnlineService,
                         public FormsService,
                         public PromptService,
                         public PageService,
                         public ProgramService {
public:
    // A double shows no message box unless it says otherwise.
    void MessageBox_Show(const std::string&) override {}
};

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

    ServiceSet() = default;
    // All the subsystems from one object (the register keys stay unset).
    ServiceSet(RegisterServices* all);  // NOLINT: a test double converts implicitly
    // All the subsystems from one object; the register keys stay as they are.
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

}  // namespace tarvo
