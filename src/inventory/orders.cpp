#include "inventory/orders.h"

#include <array>

#include "common/money.h"
#include "common/text_clean.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "inventory/document_files.h"
#include "sale/record_fields.h"
#include "sale/sale_save.h"
#include "sale/tenders.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

void CloseOrderFiles() {
    gData.orderPayments.Close();
    gData.orderLines.Close();
    gData.orders.Close();
}

// The two columns of the order's type: special order, layaway, quotation,
// RMA, draft; anything else is a special order.
const char* TypeCode(const std::string& type) {
    if (type == "2") return "11";
    if (type == "3") return "5 ";
    if (type == "4") return "10";
    if (type == "5") return "9 ";
    return "1 ";
}

const char* PriorityCode(const std::string& priority) {
    if (priority == "2") return "2";
    if (priority == "3") return "3";
    return "1";
}

std::string OrderHeader_Build(std::int64_t orderNo, std::string& problem) {
    const SaleState& s = gSale;
    RecordBuilder h(problem);
    h.Zero(orderNo, 7);
    h.Raw(" 0 ");
    h.Raw(s.gOrderKind);
    h.Raw(gReg.gBusinessDate);
    h.Raw(s.gDocSupplyMethod == "1" ? "1" : "2");
    h.Raw(s.gDocDeliveryMethod == "1" ? "1" : "2");
    h.Raw(s.gDocCancelBackOrders == "1" ? "1" : "2");
    h.Raw(" ");
    h.Text(CashierNumberAt(gReg.gCashierIndex), 8);
    h.Text(Text_Clean(s.gDocDeliveryDate), 8);
    h.Raw(SaleClientField());
    h.Text(SalesmanNumberAt(s.gSalesmanIndex), 8);
    SaleAmounts(h, true);
    h.Text(s.gInvoiceStatus, 1);
    h.Text(std::to_string(s.gItemCount), 3);
    h.Number(std::to_string(s.gPaymentCount), 1, "Number of Deposits");
    h.Raw(" ");
    h.Raw(TypeCode(s.gDocType));
    h.Raw(" ");
    h.Raw(PriorityCode(s.gDocPriority));
    h.Raw(" ");
    h.Text(Text_Clean(s.gDocComment), 110);
    return h.Take();
}

}  // namespace

bool Order_Save() {
    SaleState& s = gSale;
    DataState& d = gData;
    Invoice_Status();
    if (!DocumentLines_Fit("Order_Save", "Order")) return false;
    Open_FileOrder();
    if (!d.orders.IsOpen() || !d.orderLines.IsOpen() || !d.orderPayments.IsOpen()) {
        CloseOrderFiles();
        DocumentNotSaved("Order_Save", "Order", "Order Files Cannot Be Opened");
        return false;
    }
    // (assign, not "= \"1\"": GCC 12 warns falsely of an overlapping copy there)
    if (s.gOrderKind != "1" && s.gOrderKind != "2") s.gOrderKind.assign(1, '1');
    BusinessDate_Normalise();

    const std::int64_t orderNo = Transaction_NextRecord(d.orders);
    std::string problem;
    // Lines and deposits are laid out as a sale's, keyed by the order number.
    std::optional<SaleRecords> rec =
        SaleRecords_Build(static_cast<std::int32_t>(std::min<std::int64_t>(orderNo, INT32_MAX)), Reg().clock->Now(),
                          problem);
    std::string header;
    if (rec) header = OrderHeader_Build(orderNo, problem);
    if (!rec || !problem.empty()) {
        CloseOrderFiles();
        DocumentNotSaved("Order_Save", "Order", problem + " Too Large");
        return false;
    }
    std::array<DocumentPart, 3> parts{{
        {&d.orders, ".ORD", orderNo, {std::move(header)}, 230, 0, &d.gLastOrderRecord},
        {&d.orderLines, ".ORL", Transaction_NextRecord(d.orderLines), std::move(rec->lines), 60, 0,
         &d.gLastOrderLineRecord},
        {&d.orderPayments, ".ORP", Transaction_NextRecord(d.orderPayments), std::move(rec->payments), 233, 233,
         &d.gLastOrderPaymentRecord},
    }};
    if (!Document_Commit(parts, "Order_Save")) {
        CloseOrderFiles();
        DocumentNotSaved("Order_Save", "Order", "Error Writing the Order Files");
        return false;
    }
    gSaleSave.gPrintRecordNo = static_cast<std::int32_t>(orderNo);
    // The last deposit is kept net of the change, as stored.
    if (s.gPaymentCount > 0 && !s.gChange.IsZero()) {
        Money& last = s.gPayments[static_cast<std::size_t>(s.gPaymentCount)].amount;
        last = CentRound(last - s.gChange);
    }
    CloseOrderFiles();
    return true;
}

}  // namespace tarvo
