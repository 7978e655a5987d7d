#include "transfer/status_file.h"

#include <algorithm>
#include <cstdio>

#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/transaction_files.h"
#include "platform/files.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

std::string Tagged(const char* tag, const std::string& value) {
    return std::string("<") + tag + ">" + value + "</" + tag + ">\r\n";
}

std::string Count(std::int64_t n) { return std::to_string(n); }

}  // namespace

std::string Status_Text(const LocalTime& now) {
    const DataState& d = gData;
    Open_FileInvoice();
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", now.hour % 100, now.minute % 100);
    std::string out;
    out += Tagged("version", "18.03.14");
    out += Tagged("customization", "Kaspen");
    out += Tagged("terminal", gTerminalNumber);
    out += Tagged("description", gSettings.gTerminalDescription);
    out += Tagged("date", gReg.gBusinessDate);
    out += Tagged("time", time);
    out += Tagged("product", Count(d.gProductCount));
    out += Tagged("productaux", Count(d.gAuxCount));
    out += Tagged("productpax", Count(d.gPaxCount));
    out += Tagged("client", Count(d.gClientCount));
    out += Tagged("clientaux", Count(d.gCuxCount));
    out += Tagged("manager", Count(d.gManagerCount));
    out += Tagged("cashier", Count(d.gCashierCount));
    out += Tagged("salesman", Count(d.gSalesmanCount));
    out += Tagged("vendor", Count(d.gVendorCount));
    // The last invoice record in use; 1 when there is none.
    out += Tagged("invoice", Count(std::max<std::int64_t>(1, d.gLastInvoiceRecord)));
    out += "<dejavoo>1</dejavoo>\r\n";
    return out;
}

bool Status_CreateFile(const std::string& path, const LocalTime& now) {
    std::string error;
    if (WriteFileAtomic(path, Status_Text(now), 0600, &error)) return true;
    ProgramLog().Write(1, " Status_CreateFile: " + error);
    return false;
}

}  // namespace tarvo
