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
    RegisterKeysService* const kept = keys;
    *this = ServiceSet(all);
    keys = kept;
    return *this;
}

bool ServiceSet::Wired() const {
    return sale || print || devices || card || office || inventory || transfer || online || forms || prompt || pages ||
           program || keys;
}

namespace {

// The service `set`, or the stand-in of its kind.
template <class Service, class StandIn = Service>
Service& Or(Service* set) {
    static StandIn standIn;
    return set ? *set : standIn;
}

}  // namespace

SaleService& SaleEngine() { return Or(Reg().services.sale); }
PrintService& Printing() { return Or(Reg().services.print); }
DeviceService& Devices() { return Or(Reg().services.devices); }
CardService& Cards() { return Or(Reg().services.card); }
OfficeService& Office() { return Or(Reg().services.office); }
InventoryService& Inventory() { return Or(Reg().services.inventory); }
TransferService& Transfer() { return Or(Reg().services.transfer); }
OnlineService& Online() { return Or(Reg().services.online); }
FormsService& Forms() { return Or<FormsService, FormsStandIn>(Reg().services.forms); }
PromptService& Prompt() { return Or(Reg().services.prompt); }
PageService& Pages() { return Or(Reg().services.pages); }
RegisterKeysService& RegisterKeys() { return Or(Reg().services.keys); }
ProgramService& Program() { return Or(Reg().services.program); }

}  // namespace tarvo
