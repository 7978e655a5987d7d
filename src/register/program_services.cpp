#include "register/program_services.h"

#include "register/register_keys.h"
#include "register/total_key.h"

namespace tarvo {

void RegisterKeyHandlers::BDep_Click(int page) { tarvo::BDep_Click(page); }
void RegisterKeyHandlers::BSys_Click(int index) { tarvo::BSys_Click(index); }
void RegisterKeyHandlers::BPayment_Click() { tarvo::BPayment_Click(); }
void RegisterKeyHandlers::BOp_Click(int index) { tarvo::BOp_Click(index); }
void RegisterKeyHandlers::mTotalRegister_Click() { tarvo::mTotalRegister_Click(); }

ServiceSet ProgramServices::Set() {
    ServiceSet set;
    set.sale = &sale;
    set.print = &print;
    set.devices = &devices;
    set.card = &card;
    set.office = &office;
    set.inventory = &inventory;
    set.transfer = &transfer;
    set.online = &online;
    set.prompt = &prompt;
    set.keys = &keys;
    set.pages = &pages;
    set.saleObserver = &saleObserver;
    return set;
}

}  // namespace tarvo
