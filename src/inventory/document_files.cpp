#include "inventory/document_files.h"

#include <cstdio>

#include "data/log.h"
#include "data/sale_state.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

const std::string& BusinessDate_Normalise() {
    std::string& d = gReg.gBusinessDate;
    d.resize(8, ' ');
    return d;
}

void DocumentNotSaved(const std::string& who, const std::string& kind, const std::string& why) {
    ProgramLog().Write(1, who + ": " + why + "; " + kind + " not saved");
    CIATime(kind + " Not Saved: " + why, 10);
}

bool DocumentLines_Fit(const std::string& who, const std::string& kind) {
    const std::int32_t lines = gSale.gItemCount;
    if (lines >= 0 && lines <= kMaxSaleLines) return true;
    DocumentNotSaved(who, kind, std::to_string(lines) + " Lines, " + std::to_string(kMaxSaleLines) + " at Most");
    return false;
}

std::string SavingTime() {
    const LocalTime now = Reg().clock->Now();
    char b[8];
    std::snprintf(b, sizeof b, "%02d%02d", now.hour, now.minute);
    return b;
}

}  // namespace tarvo
