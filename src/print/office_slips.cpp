#include "print/office_slips.h"

#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/transaction_files.h"
#include "print/print_text.h"
#include "print/printer_output.h"

namespace tarvo {
namespace {

using namespace print_text;

// One member of the slip family.
struct SlipKind {
    const char* name;  // the routine, for the log
    char letter;       // ActivityType of its records
    Message titleMessage;
    int copies;
    bool deposit;         // amount as a title (else the paid-out total block)
    const char* what;     // the record kind, for the log
    const char* failLog;  // an error in the middle of the printout
};

constexpr SlipKind kSafe{"Deposit_PrintSafe",
                         'D',
                         Message::DepositToSafeTitle,
                         2,
                         true,
                         "a deposit to the safe",
                         "Deposit_PrintSafe: HandlerPrinterSafe, Printer error in middle of printing"};
constexpr SlipKind kBank{"DepositBank_Print",
                         'B',
                         Message::DepositToBankTitle,
                         2,
                         true,
                         "a deposit to the bank",
                         "DepositBank_Print: HandlerPrinterDeposit, Printer error in middle of printing"};
constexpr SlipKind kPaidOut{"PAIDOUT_Print",
                            'P',
                            Message::PaidOutTitle,
                            1,
                            false,
                            "a paid-out",
                            "PAIDOUT_Print: HandlerPrinterDeposit, Printer error in middle of printing"};

constexpr const char* kClientFailLog = "Print_NewClient: HandlerPrintNewClient: Printer error in middle of printing";
constexpr const char* kProductFailLog = "Print_NewProduct: HandlerPrintNewProduct: Printer error in middle of printing";

void Log(const std::string& text) { ProgramLog().Write(1, text); }

int Language() { return TextLanguage(gSettings); }
const std::string& M(Message k) { return MessageText(gConstants.tables, k, Language()); }

// Padded with blanks to at least `width` (a longer text is kept whole).
std::string PadTo(const std::string& s, long width) { return s + Blanks(width - Len(s)); }

// Nothing to print for a record the caller could not write (or a wrong one).
void Record_Refuse(const std::string& logText) {
    Log(logText);
    gPrint.gPrintStatus = 2;
}

// ---- slips ------------------------------------------------------------------------------

// Reads journal record `recNo` when it is a record of the member's kind; the
// journal is closed again either way.
std::optional<std::string> SlipRecord_Read(const SlipKind& k, std::int32_t recNo) {
    Open_FileActivity();
    std::optional<std::string> rec;
    if (gData.activity.IsOpen() && recNo >= 2 && recNo <= gData.gLastActivityRecord &&
        recNo <= gData.activity.RecordCount()) {
        std::string r = gData.activity.Read(recNo);
        if (Mid(r, 13, 1) == std::string_view(&k.letter, 1)) rec = std::move(r);
    }
    gData.activity.Close();
    return rec;
}

void Slip_Copy(const SlipKind& k, const std::string& rec) {
    Title(M(k.titleMessage));
    Header_Print();
    Line("Date:     " + DateText(rec, 1, Language()));
    Line(PadTo(M(Message::Time), 10) + Col(rec, 9, 2) + ":" + Col(rec, 11, 2));
    Line("Terminal: " + gTerminalNumber);
    const auto found = Cashier_FindByNumber(ColTrim(rec, 23, 8)).value_or(0);
    if (found > 0 && static_cast<std::size_t>(found) < gData.CashierTable.size())
        Line(Fit(M(Message::Cashier), 10) + gData.CashierTable[static_cast<std::size_t>(found)].CashierName);
    const std::string amount = Amount(rec, 31, 9).Format("####,##0.00");
    if (k.deposit) {
        Title(M(Message::Amount) + amount);
    } else {
        const std::string rule(static_cast<std::size_t>(gPrint.gLineWidth), '-');
        Line(rule);
        Line(Blanks(15) + "Total: " + "$" + Blanks(11 - Len(amount)) + amount);
        Line(rule);
    }
    Print_Check();
}

void Slip_Print(const SlipKind& k, std::int32_t recNo) {
    const std::optional<std::string> rec = SlipRecord_Read(k, recNo);
    if (!rec) {
        Record_Refuse(std::string(k.name) + ": Activity record " + std::to_string(recNo) + " is not " + k.what +
                      ", nothing printed");
        return;
    }
    gData.gActivityRec = *rec;
    if (Printer_IsOff(k.name)) return;
    Printer_Open();
    if (gPrint.gPrintStatus != 0) return;
    try {
        for (int copy = 1; copy <= k.copies; ++copy) {
            Slip_Copy(k, *rec);
            if (copy < k.copies) {
                // The next copy starts on a slip of its own.
                Printer_Line(1, 6, "");
                Printer_Line(1, 7, "");
            }
        }
        Print_Check();
        Printer_Close(true);
    } catch (const std::exception&) {
        Printout_Abandon(k.failLog);
    }
}

// ---- information sheets -----------------------------------------------------------------

// The record of a sheet: a record of the new-client / new-product file (from
// record 2, after the count header) or of the master working file (from 1).
std::optional<std::string> SheetRecord_Read(bool isNew, std::int32_t recNo, const WorkFile& master,
                                            std::int32_t masterCount) {
    if (isNew) {
        const WorkFile& f = gData.newFile;
        if (!f.IsOpen() || recNo < 2 || recNo > gData.gNewCount || recNo > f.RecordCount()) return std::nullopt;
        return gData.newFile.Read(recNo);
    }
    if (!master.IsOpen() || recNo < 1 || recNo > masterCount || recNo > master.RecordCount()) return std::nullopt;
    return master.Read(recNo);
}

using SheetBody = void (*)(const std::string& rec, std::string& titleLine);

// The frame of both sheets around their body lines.
void Sheet_Print(const std::string& rec, const std::string& heading, SheetBody body, const char* failLog) {
    Printer_Open();
    if (gPrint.gPrintStatus != 0) return;
    const std::string rule(gSettings.gWidePaper == 1 ? 50 : 40, '-');
    try {
        Line(rule);
        Title(heading);
        Line(rule);
        std::string titleLine;
        body(rec, titleLine);
        Line("");
        Title(titleLine);
        Line(rule);
        Print_Check();
        Printer_Close(true);
    } catch (const std::exception&) {
        Printout_Abandon(failLog);
    }
}

void NewClient_Body(const std::string& c, std::string& titleLine) {
    Line(ColRTrim(c, 11, 39));
    Line(ColRTrim(c, 56, 39));
    Line(ColRTrim(c, 146, 30));
    Line(ColRTrim(c, 176, 12));
    titleLine = "Client: " + ColTrim(c, 3, 8);
}

void Client_Body(const std::string& c, std::string& titleLine) {
    Line(ColRTrim(c, 20, 30));
    Line(ColRTrim(c, 50, 30));
    Line(ColRTrim(c, 80, 30));
    Line(ColRTrim(c, 110, 30));
    titleLine = "Client: " + ColTrim(c, 12, 8);
}

void NewProduct_Body(const std::string& p, std::string& titleLine) {
    Line(ColRTrim(p, 43, 39));
    Title(Amount(p, 118, 10).Format("$###,##0.00"));
    Line(ColRTrim(p, 88, 20));
    Line(ColRTrim(p, 168, 39));
    titleLine = "Product: " + ColTrim(p, 3, 20);
}

void Product_Body(const std::string& p, std::string& titleLine) {
    Line(ColRTrim(p, 60, 30));
    Line(ColRTrim(p, 94, 6));
    Line(ColRTrim(p, 100, 12));
    Line(ColRTrim(p, 250, 14));
    Print_Check();
    // The key mode is a small whole number; a setting that is not one ends
    // the sheet as a failed printout.
    const std::optional<ProductKey> whole = gSettings.gProductKeyMode.asWholeNumber;
    if (!whole) throw PrintoutFailed();
    titleLine = "Product: " + (*whole == ProductKey::Number ? ColTrim(p, 12, 20) : ColTrim(p, 40, 20));
}

}  // namespace

void Deposit_PrintSafe(std::int32_t recNo) { Slip_Print(kSafe, recNo); }
void DepositBank_Print(std::int32_t recNo) { Slip_Print(kBank, recNo); }
void PAIDOUT_Print(std::int32_t recNo) { Slip_Print(kPaidOut, recNo); }

void Print_NewClient(std::int16_t isNew, std::int32_t recNo) {
    if (Printer_IsOff("Print_NewClient")) return;
    if (isNew != 0) Open_FileNewClient();
    const std::optional<std::string> rec = SheetRecord_Read(isNew != 0, recNo, gData.clients, gData.gClientCount);
    if (!rec) {
        Record_Refuse("Print_NewClient: Record " + std::to_string(recNo) + " is not in the " +
                      (isNew != 0 ? "new-client" : "client") + " file, nothing printed");
        return;
    }
    Sheet_Print(*rec, Trim(gSettings.gHeaderLine[0]), isNew != 0 ? NewClient_Body : Client_Body, kClientFailLog);
}

void Print_NewProduct(std::int16_t isNew, std::int32_t recNo) {
    if (Printer_IsOff("Print_NewProduct")) return;
    if (isNew != 0) Open_FileNewProduct();
    const std::optional<std::string> rec = SheetRecord_Read(isNew != 0, recNo, gData.products, gData.gProductCount);
    if (!rec) {
        Record_Refuse("Print_NewProduct: Record " + std::to_string(recNo) + " is not in the " +
                      (isNew != 0 ? "new-product" : "product") + " file, nothing printed");
        return;
    }
    Sheet_Print(*rec, gSettings.gHeaderLine[0], isNew != 0 ? NewProduct_Body : Product_Body, kProductFailLog);
}

}  // namespace tarvo
