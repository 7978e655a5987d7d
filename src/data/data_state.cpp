#include "data/data_state.h"

#include "data/log.h"

namespace tarvo {

DataState gData;

void Data_CloseAll(DataState& d) {
    for (WorkFile* f : {&d.products, &d.clients, &d.vendors, &d.kitHeaders, &d.kitLines, &d.auxIndex, &d.cuxIndex,
                        &d.paxIndex, &d.newFile, &d.invoices, &d.invoiceLines, &d.payments, &d.activity, &d.physical,
                        &d.orders, &d.orderLines, &d.orderPayments, &d.adjustments, &d.adjustmentLines, &d.purchases,
                        &d.purchaseLines})
        f->Close();
}

void Data_MessageBox(DataState& d, const std::string& text) {
    ProgramLog().Write(1, text);
    if (d.messageBox) d.messageBox(text);
}

}  // namespace tarvo
