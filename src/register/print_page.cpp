#include "register/print_page.h"

#include <functional>
#include <optional>
#include <string>

#include "common/dates.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "office/attendance_report.h"
#include "office/closing_report.h"
#include "office/collection_report.h"
#include "office/drawer_report.h"
#include "office/report_state.h"
#include "print/inventory_documents.h"
#include "print/labels.h"
#include "print/office_slips.h"
#include "print/order_document.h"
#include "print/printer_output.h"
#include "print/receipt.h"
#include "register/screen_actions.h"
#include "sale/modes.h"
#include "sale/sale_save.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

constexpr std::size_t kDocumentDigits = 7;

void Show(const std::string& text) { CIATime(text, 5); }

const std::string& Entry() { return Screen().Text(kEntryBox); }

bool MidSale() { return gSale.gItemCount > 0; }

// A report key's own manager setting and the right it asks for.
struct ReportGuard {
    const std::string* setting;
    int right;
};

ReportGuard GuardOf(int key) {
    switch (key) {
    case 2: return {&gSettings.gPrintOption535, 8};
    case 3: return {&gSettings.gPrintOption530, 7};
    default: return {&gSettings.gPrintOption540, 9};
    }
}

enum class Manager { NotAsked, Granted, Refused };

// The manager code typed in the entry box when the key's setting asks for
// one; a refusal has been shown.
Manager Manager_Check(int key) {
    const ReportGuard g = GuardOf(key);
    if (*g.setting == "0") return Manager::NotAsked;
    if (Entry().empty()) {
        Show(Msg(Message::ManagerAuthorizationRequired));
        return Manager::Refused;
    }
    Authorization_Verify();
    if (!gReg.gAuthorized) return Manager::Refused;
    const std::string& rights = gData.ManagerTable[static_cast<std::size_t>(gReg.gManagerIndex)].ManagerRights;
    if (rights.size() < static_cast<std::size_t>(g.right) || rights[static_cast<std::size_t>(g.right - 1)] != '1') {
        Show(Msg(Message::ManagerNotAllowedAccess));
        return Manager::Refused;
    }
    return Manager::Granted;
}

// A date typed for the report in place of the business date; false (and
// message 43 shown) when it is not a date.
bool TypedDate_Apply() {
    if (Entry().empty()) return true;
    const DateCheckResult typed = Date_Check(Entry());
    if (!typed.valid) {
        Show(Msg(Message::FormatForDateEntryYYYYMMDD));
        return false;
    }
    ReportDate_Set(typed.date);
    return true;
}

// The cashier and closing reports: the cash count first when the register
// asks for it (the count prints the report when it ends), else at once.
void CountOrReport() {
    if (gSettings.gCountBeforeCashierReport) {
        Count_Cash();
        return;
    }
    Print_Closing();
    PrintStatus_Show();
}

void Report_Key(int key) {
    if (MidSale()) {
        Show(Msg(Message::OperationNotAllowedInMidSale));
        return;
    }
    const Manager m = Manager_Check(key);
    if (m == Manager::Refused) return;
    const bool manager = m == Manager::Granted;
    switch (key) {
    case 1:
        Report_TimeAttendance();
        PrintStatus_Show();
        break;
    case 2:
        Report_Prepare(ReportKind::Cashier);
        if (manager) {
            Print_Closing();
            PrintStatus_Show();
        } else {
            CountOrReport();
        }
        break;
    case 3:
        Report_Prepare(ReportKind::Sales);
        if (!manager && !TypedDate_Apply()) return ReportDate_Clear();
        Print_Closing();
        PrintStatus_Show();
        break;
    case 4:
        Report_Prepare(ReportKind::Closing);
        if (!manager && !TypedDate_Apply()) return ReportDate_Clear();
        CountOrReport();
        break;
    case 5:
        gReport.gReportKind = ReportKind::Closing;
        Report_Drawer();
        PrintStatus_Show();
        break;
    case 8:
        // The business date unless the cashier typed one (the entry holds
        // the manager code on the manager path).
        ReportDate_Clear();
        if (!manager && !TypedDate_Apply()) return;
        Report_Collection();
        PrintStatus_Show();
        break;
    default: break;
    }
}

// The record of the document to reprint: the last one with an empty entry
// box, else the one of the typed number; 0 (and the refusal shown) when
// there is none.
struct DocumentFinder {
    std::int32_t last;
    std::function<std::int32_t(const std::string&)> find;  // the record of a number, 0 for none
};

std::int32_t Document_Record(const DocumentFinder& f) {
    if (Entry().empty()) {
        if (f.last < 2) {
            Show(Msg(Message::NotFound));
            return 0;
        }
        return f.last;
    }
    const auto number = DocumentNumber_Check(Entry());
    if (!number) {
        Show(Msg(Message::NotFound));
        return 0;
    }
    const std::int32_t found = f.find(*number);
    if (found < 2) {
        Show(Msg(Message::NotFound));
        return 0;
    }
    return found;
}

void Receipt_Reprint(bool gift) {
    Open_FileInvoice();
    const std::int32_t rec = Document_Record({gData.gLastInvoiceRecord, [](const std::string& number) {
                                                  const std::optional<RecordMatch> found = Invoice_Find(number);
                                                  return found ? found->recNo : 0;
                                              }});
    gData.invoiceLines.Close();
    gData.invoices.Close();
    if (rec == 0) return;
    gSaleSave.gPrintRecordNo = rec;
    gSaleSave.gReceiptDuplicate = true;
    gSaleSave.gGiftReceipt = gift;
    Receipt_Print();
    PrintStatus_Show();
}

void OrderFiles_Close() {
    gData.orderPayments.Close();
    gData.orderLines.Close();
    gData.orders.Close();
}

void InventoryFiles_Close() {
    gData.purchaseLines.Close();
    gData.purchases.Close();
    gData.adjustmentLines.Close();
    gData.adjustments.Close();
}

void Order_Reprint() {
    Open_FileOrder();
    const std::int32_t rec = Document_Record({gData.gLastOrderRecord, [](const std::string& number) {
                                                  return Order_Find(number).value_or(0);
                                              }});
    if (rec != 0) {
        gSaleSave.gPrintRecordNo = rec;
        gSaleSave.gReceiptDuplicate = true;
        Order_Print();
    }
    OrderFiles_Close();
    if (rec != 0) PrintStatus_Show();
}

void Purchase_Reprint() {
    Open_Filepurchase();
    const std::int32_t rec = Document_Record({gData.gLastPurchaseRecord, [](const std::string& number) {
                                                  return Purchase_Find(number).value_or(0);
                                              }});
    if (rec != 0) {
        gSaleSave.gPrintRecordNo = rec;
        Purchase_Print();
    }
    InventoryFiles_Close();
    if (rec != 0) PrintStatus_Show();
}

// Always the last adjustment: its number is not asked.
void Adjustment_Reprint() {
    Open_Fileadjustment();
    const std::int32_t rec = gData.gLastAdjustmentRecord;
    if (rec >= 2) {
        gSaleSave.gPrintRecordNo = rec;
        Adjustment_Print();
    }
    InventoryFiles_Close();
    if (rec < 2) return Show(Msg(Message::NotFound));
    PrintStatus_Show();
}

void Client_Sheet() {
    if (Entry().empty()) {
        Open_FileNewClient();
        if (gData.gNewCount < 2) {
            Show(Msg(Message::NotFound));
            return;
        }
        Print_NewClient(1, gData.gNewCount);
        PrintStatus_Show();
        return;
    }
    // The sheet's look-up leaves the sale's client as it is.
    const std::optional<ClientMatch> found = Client_Find(Entry());
    if (!found)
        return Show(Msg(Message::NotFound));
    else if (found->recNo != 0)
        Print_NewClient(0, found->recNo);
    else
        Print_NewClient(1, found->newRecNo);
    PrintStatus_Show();
}

void Product_Sheet() {
    if (Entry().empty()) {
        Open_FileNewProduct();
        if (gData.gNewCount < 2) {
            Show(Msg(Message::NotFound));
            return;
        }
        Print_NewProduct(1, gData.gNewCount);
        PrintStatus_Show();
        return;
    }
    // The sheet's look-up leaves the sale's product as it is.
    const std::optional<ProductMatch> found = Product_Find(Entry());
    if (found && found->recNo != 0) {
        Print_NewProduct(0, found->recNo);
    } else if (found) {
        Print_NewProduct(1, found->newRecNo);
    } else {
        Show(Msg(Message::NotFound));
        gReg.gTimedMessage = Msg(Message::NotFound);
        MessageWithTimerToEnd_Show();
        return;
    }
    PrintStatus_Show();
}

void Subtotal_Note() {
    SaleLine& line = gSale.gLines[static_cast<std::size_t>(gSale.gItemCount)];
    line.note = Msg(Message::SubTotal) + gSale.gTotal.Format("$####,##0.00");
    line.hasNote = true;
    Receipt_Display();
    Totals_Update();
    Show(Msg(Message::PrintingCompleted));
}

// The labels of the sale in progress or of a purchase (the entry chooses).
// A good printout leaves the message line empty; a label printer that fails
// or is switched off says so, unless the labels told something of their own.
void Labels() {
    if (Entry().empty() && gSale.gItemCount < 1) return Show(Msg(Message::InvalidEntry));
    gPrint.gPrintStatus = 0;
    Label_Print();
    if (Screen().Text(kMessageLine) != Msg(Message::PrintingInProgress)) return;
    if (gSettings.gPrinterType == PrinterType::Off && !gPrint.gPrinterLost)
        Show(Msg(Message::PrinterIsDeactivatedThroughSetting));
    else if (gPrint.gPrintStatus != 0)
        Show(Msg(Message::PrinterErrorUnableToPrint));
    else
        Show("");
}

}  // namespace

void PrintStatus_Show() {
    if (gSettings.gPrinterType == PrinterType::Off && !gPrint.gPrinterLost)
        Show(Msg(Message::PrinterIsDeactivatedThroughSetting));
    else if (gPrint.gPrintStatus != 0)
        Show(Msg(Message::PrinterErrorUnableToPrint));
    else
        Show(Msg(Message::PrintingCompleted));
}

std::optional<std::string> DocumentNumber_Check(std::string_view typed) {
    const auto first = typed.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    typed = typed.substr(first, typed.find_last_not_of(' ') - first + 1);
    if (typed.size() > kDocumentDigits) return std::nullopt;
    for (char c : typed)
        if (c < '0' || c > '9') return std::nullopt;
    return std::string(kDocumentDigits - typed.size(), '0') + std::string(typed);
}

void Print_Process(int key) {
    switch (key) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 8: Report_Key(key); return;
    case 16: Labels(); return;
    case 17:
        Show(Msg(Message::PrintoutWillBeDisplayedOnscreen));
        gPrint.gPrintToScreen = true;
        return;
    case 23:
        if (!MidSale()) return Show(Msg(Message::InvalidEntry));
        Print_Screen();
        PrintStatus_Show();
        return;
    case 24:
        if (!MidSale()) return Show(Msg(Message::InvalidEntry));
        Subtotal_Note();
        return;
    default: break;
    }
    switch (key) {
    case 9:
    case 10:
    case 13:
    case 14:
    case 15:
    case 20:
    case 21:
    case 22:
        if (MidSale()) return Show(Msg(Message::InvalidEntry));
        break;
    default: return;
    }
    switch (key) {
    case 9: Receipt_Reprint(true); break;
    case 13: Receipt_Reprint(false); break;
    case 10: Adjustment_Reprint(); break;
    case 14: Order_Reprint(); break;
    case 15: Purchase_Reprint(); break;
    case 20: File_Read(); break;
    case 21: Client_Sheet(); break;
    case 22: Product_Sheet(); break;
    default: break;
    }
}

}  // namespace tarvo
