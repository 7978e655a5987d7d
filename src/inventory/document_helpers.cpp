#include "inventory/document_helpers.h"

#include <string>
#include <string_view>

#include "common/fields.h"
#include "common/money.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "platform/files.h"
#include "print/count_tickets.h"
#include "sale/sale_start.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr int kMessageSeconds = 5;
constexpr int kErrorSeconds = 10;
constexpr unsigned kPrivateFile = 0600;

constexpr ControlId kTotalKey{Control::mTotalRegister, 0};

// A text of this file's own in the register's language.
std::string Text(const char* english, const char* french) { return TextLanguage(gSettings) == 2 ? french : english; }

void Log(const std::string& text) { ProgramLog().Write(1, text); }

// ---- the Total and Payment keys ----------------------------------------------------------

struct KeyCaptions {
    const char* total;
    const char* payment;
};

// By language (English, French), key hints (off, on) and state (normal, refund).
// A CR separates the two lines of a caption, as in the other key captions.
constexpr KeyCaptions kKeyCaptions[2][2][2] = {
    {{{"Total", "Payment"}, {"Credit\rNote", "Refund"}}, {{"Total\rF1", "Payment\rF2"}, {"Credit\rF1", "Refund\rF2"}}},
    {{{"Total", "Paiement"}, {"Note de\rCredit", "Rembourse"}},
     {{"Total\rF1", "Paiement\rF2"}, {"Credit\rF1", "Rembourse\rF2"}}},
};

// ---- product information -------------------------------------------------------------------

std::string Column(std::string_view record, std::size_t column, std::size_t width) {
    return Trim(Mid(record, column, width));
}

std::string Amount(std::string_view text) { return Trim(Money::Parse(text).value_or(Money()).Format("###,##0.00")); }

}  // namespace

void Total_UpdateCaption() {
    const int language = gSettings.gLanguage;
    if (language != 1 && language != 2) return;  // other languages keep their captions
    const bool hints = gSettings.gKeyboardHints != 0;
    const bool refund = gSale.gTotal < Money() && gReg.gKeyPage != KeyPage::Payment;
    const KeyCaptions& c = kKeyCaptions[language - 1][hints ? 1 : 0][refund ? 1 : 0];
    Screen().SetCaption(kTotalKey, c.total);
    Screen().SetCaption(kPaymentKey, c.payment);
}

void Product_Display_Info() {
    const SaleState& s = gSale;
    const int n = s.gItemCount;
    if (n < 1 || n > kMaxSaleLines) return;
    const SaleLine& line = s.gLines[static_cast<std::size_t>(n)];

    std::string cost, stock, onOrder, date, location, committed;
    const std::string& rec = gData.gProductRec;
    if (rec.size() > 250) {
        // The first cashier of the table sees the first cost, the others the second.
        cost = Amount(Mid(rec, gReg.gCashierIndex == 1 ? 230 : 240, 10));
        stock = Column(rec, 180, 10);
        onOrder = Column(rec, 190, 10);
        date = Column(rec, 200, 10);
        location = Column(rec, 250, 14);
        committed = Column(rec, 264, 10);
    }

    std::string text = std::string(kCrLf) + kCrLf + line.description + kCrLf + kCrLf;
    // Costs are for the two first cashiers of the table only.
    if (gReg.gCashierIndex == 1 || gReg.gCashierIndex == 2) text += Msg(Message::Cost) + cost + kCrLf;
    text += Msg(Message::Price) + line.unitPrice.Format("###,##0.00") + kCrLf + kCrLf;
    text += Msg(Message::Stock) + stock + kCrLf;
    text += Msg(Message::OnOrder) + onOrder + " " + date + kCrLf;
    text += Msg(Message::Committed) + committed + kCrLf;
    text += Msg(Message::Location) + location;
    Screen().SetText(kMessageBox, text);
    MessageWithNoEnd_Show();
}

void Sale_Cancel() {
    if (!Office().SaleCancel_Save()) {
        // Without its journal record the cancel would go unaccounted: the
        // sale stays as it is.
        Log("Sale_Cancel: the activity record was not written, the sale is kept");
        CIATime(Text("Error: Sale Not Cancelled - See Log", "Erreur: Vente Non Annul\xE9"
                                                            "e - Voir le Journal"),
                kErrorSeconds);
        return;
    }
    Screen().SetText(kMessageLine, "");
    Sale_Start();
}

void CommandFile_Create(int command) {
    const std::string path = gConstants.paths.gFilesPath + ".CMD";
    const std::string contents = command == 1 ? std::string("1") + kCrLf : std::string();
    std::string error;
    if (!WriteFileAtomic(path, contents, kPrivateFile, &error)) {
        // No file, no session: the back office would act on an older one.
        Log("CommandFile_Create: " + error);
        CIATime(Text("Error: Command File Not Written - See Log", "Erreur: Fichier de Commande Non \xC9"
                                                                  "crit - Voir le Journal"),
                kErrorSeconds);
        return;
    }

    CommState& c = gComm;
    c.gOperationMode = CommMode::CommandFile;
    c.gCommHidden = false;
    Office().Communicate([] {
        if (gComm.gCommResult != 0) {
            CIATime(Msg(Message::InternetConnectionIsNotAvailable), kMessageSeconds);
            return;
        }
        CIATime(Msg(Message::CommunicationCompleted), kMessageSeconds);
        gCountRunningTotal = Money();
        PhysicalStart_Print();
    });
}

}  // namespace tarvo
