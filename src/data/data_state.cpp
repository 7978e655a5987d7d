#include "data/data_state.h"

#include <new>

#include "data/log.h"

namespace tarvo {

DataState gData;

void Data_CloseAll(DataState& d) {
    d.stamps.WaitAll();
    for (const std::string& line : d.stamps.TakeFailures()) ProgramLog().Write(1, line);
    for (WorkFile* f :
         {&d.products,        &d.clients,   &d.vendors,      &d.kitHeaders, &d.kitLines,      &d.auxIndex,
          &d.cuxIndex,        &d.paxIndex,  &d.newFile,      &d.invoices,   &d.invoiceLines,  &d.payments,
          &d.activity,        &d.physical,  &d.orders,       &d.orderLines, &d.orderPayments, &d.adjustments,
          &d.adjustmentLines, &d.purchases, &d.purchaseLines})
        f->Close();
}

void Data_Reset(DataState& d) {
    // DataState holds non-copyable files, so it cannot be assigned a fresh
    // value: end the object (the files close in their destructors) and build
    // a new one in its place, which resets fields added later as well.
    d.~DataState();
    ::new (static_cast<void*>(&d)) DataState();
}

void Data_MessageBox(DataState& d, const std::string& text) {
    ProgramLog().Write(1, text);
    if (d.messageBox) d.messageBox(text);
}

}  // namespace tarvo
