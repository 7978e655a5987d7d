#include "screen/register_context.h"

namespace tarvo {

RegisterContext& Reg() {
    static RegisterContext ctx;
    return ctx;
}

ServiceSet::ServiceSet(RegisterServices* all) {
    sale = all;
    print = all;
    devices = all;
    card = all;
    office = all;
    inventory = all;
    transfer = all;
    online = all;
    forms = all;
    prompt = all;
    pages = all;
    program = all;
}

ServiceSet& ServiceSet::operator=(RegisterServices* all) {
    RegisterKeysService* const keptKeys = keys;
    SaleObserver* const keptObserver = saleObserver;
    *this = ServiceSet(all);
    keys = keptKeys;
    saleObserver = keptObserver;
    return *this;
}

bool ServiceSet::Wired() const {
    return sale || print || devices || card || office || inventory || transfer || online || forms || prompt || pages ||
           program || keys || saleObserver;
}

namespace {

// The service `set`, or the stand-in of its kind.
template <class Service, class StandIn>
Service& Or(Service* set) {
    static StandIn standIn;
    return set ? *set : standIn;
}

}  // namespace

SaleService& SaleEngine() { return Or<SaleService, SaleStandIn>(Reg().services.sale); }
PrintService& Printing() { return Or<PrintService, PrintStandIn>(Reg().services.print); }
DeviceService& Devices() { return Or<DeviceService, DeviceStandIn>(Reg().services.devices); }
CardService& Cards() { return Or<CardService, CardStandIn>(Reg().services.card); }
OfficeService& Office() { return Or<OfficeService, OfficeStandIn>(Reg().services.office); }
InventoryService& Inventory() { return Or<InventoryService, InventoryStandIn>(Reg().services.inventory); }
TransferService& Transfer() { return Or<TransferService, TransferStandIn>(Reg().services.transfer); }
OnlineService& Online() { return Or<OnlineService, OnlineStandIn>(Reg().services.online); }
FormsService& Forms() { return Or<FormsService, FormsStandIn>(Reg().services.forms); }
PromptService& Prompt() { return Or<PromptService, PromptStandIn>(Reg().services.prompt); }
PageService& Pages() { return Or<PageService, PageStandIn>(Reg().services.pages); }
RegisterKeysService& RegisterKeys() { return Or<RegisterKeysService, RegisterKeysStandIn>(Reg().services.keys); }
ProgramService& Program() { return Or<ProgramService, ProgramStandIn>(Reg().services.program); }
SaleObserver& SaleEvents() { return Or<SaleObserver, SaleObserverStandIn>(Reg().services.saleObserver); }

}  // namespace tarvo
