#include "card/card_payments.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <unistd.h>

#include <set>
#include <string>

#include "backoffice/backoffice_request.h"
#include "card/card_data.h"
#include "card/gateway_exchange.h"
#include "card/settlement_report.h"
#include "card/terminal_discovery.h"
#include "card/terminal_exchange.h"
#include "common/fields.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "sale/sale_start.h"
#include "sale/tenders.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/register_context.h"
#include "screen/register_state.h"
#include "screen/service_stand_ins.h"

namespace tarvo {

namespace {

constexpr int kTickMs = 2000;

void Log(const std::string& text) { ProgramLog().Write(1, text); }

bool FileBackend() { return gSettings.gCardBackend == CardBackend::ExchangeFiles; }

std::string CashierName() {
    const auto i = static_cast<std::size_t>(gReg.gCashierIndex);
    if (gReg.gCashierIndex < 1 || i >= gData.CashierTable.size()) return "";
    return gData.CashierTable[i].CashierName;
}

// "Card program busy" in the terminal's language: another register sharing
// the card program's folder has a request under way.
std::string BusyText() {
    return TextLanguage(gSettings) == 2 ? "Programme de Cartes Occup\xE9, R\xE9"
                                          "essayez"
                                        : "Card Program Busy, Please Try Again";
}

std::string LateText(bool atStart) {
    if (TextLanguage(gSettings) == 2)
        return atStart ? "R\xE9ponse de carte d'une session pr\xE9"
                         "c\xE9"
                         "dente: "
                       : "R\xE9ponse de carte arriv\xE9"
                         "e en retard: ";
    return atStart ? "Card Answer Left by the Last Run: " : "Late Card Answer: ";
}

std::string LeftRequestText() {
    return TextLanguage(gSettings) == 2 ? "Demande de carte sans r\xE9ponse d'une session pr\xE9"
                                          "c\xE9"
                                          "dente, v\xE9rifiez le programme de cartes"
                                        : "Unanswered Card Request Left by the Last Run, Check the Card Program";
}

// The first IPv4 address of an interface that is up and not loopback.
std::string InterfaceAddress() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return "";
    std::string found;
    for (ifaddrs* i = list; i && found.empty(); i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP) ||
            (i->ifa_flags & IFF_LOOPBACK))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
        if (::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) found = text;
    }
    ::freeifaddrs(list);
    return found;
}

}  // namespace

CardPayments::CardPayments() : ownAddress_(InterfaceAddress) {}

CardPayments::~CardPayments() { card::Wipe(track_); }

// ---- card data ---------------------------------------------------------------------------

SwipedCard CardPayments::Card_ParseSwipe(const std::string& track) {
    // The track is kept here for the charge; the caller wipes its own copy.
    card::Wipe(track_);
    track_ = track;
    const card::SwipeFields f = card::ParseSwipe(track_, gSettings.gCardBackend);
    if (f.number.empty()) card::Wipe(track_);
    return SwipedCard{f.number, f.name, f.expiry};
}

std::int16_t CardPayments::Card_TypeFind(const std::string& number) {
    tenderIndex_ = 0;
    type_ = card::CardType_Find(number);
    if (type_ == 0) return 7;
    tenderIndex_ = card::CardTender_Find(type_);
    if (tenderIndex_ == 0) {
        type_ = 0;
        return 8;
    }
    return 0;
}

void CardPayments::Outcome_Show(std::int16_t status) {
    status_ = status;
    Credit_Card_Display_Response(status);
}

void CardPayments::Credit_Card_Display_Response(std::int16_t status) {
    std::string text = card::StatusMessage(status, gSettings.gCardBackend);
    if (!FileBackend() && status == 0) text += authCode_;
    if (gSettings.gCardBackend == CardBackend::Terminal && status == 1) text += " " + message_;
    CIATime(text, 15);
}

// ---- the exchange ------------------------------------------------------------------------

bool CardPayments::Exchange_Begin() {
    const std::string folder = card::ExchangeFolder_Resolve(Reg().programFolder, gSettings.gCardExchangeFolder);
    files_ = std::make_unique<card::ExchangeFiles>(folder + "/Request");
    std::string error;
    switch (files_->Lock_Take(error)) {
    case card::ExchangeFiles::Lock::Taken: break;
    case card::ExchangeFiles::Lock::Busy:
        Log("Card request not sent: another register's request is under way in " + files_->Folder());
        CIATime(BusyText(), 15);
        return false;
    case card::ExchangeFiles::Lock::Failed:
        Log("Card request not sent: " + error);
        Outcome_Show(1);
        return false;
    }
    // An answer there now belongs to an earlier request: reported, then cleared.
    if (files_->Answer_Present()) {
        std::string line;
        const bool read = files_->Answer_Read(line) == card::ExchangeFiles::Read::Line;
        if (!read || !files_->Remove(".ANS")) {
            Log("Card request not sent: the answer file " + files_->Path(".ANS") + " cannot be read or removed");
            files_->Lock_Release();
            Outcome_Show(1);
            return false;
        }
        LateAnswer_Report(line, false);
        files_->Lock_Release();
        return false;
    }
    return true;
}

void CardPayments::LateAnswer_Report(const std::string& line, bool atStart) {
    const card::Answer a = card::Answer_Parse(line);
    const std::string letter = a.letter ? std::string(1, a.letter) : std::string("none");
    const std::string masked = atStart ? std::string() : lastMasked_;
    const Money amount = lastAmount_;
    std::string about = "for an earlier request";
    if (!atStart && !lastMasked_.empty())
        about = "for card " + lastMasked_ + ", amount " + lastAmount_.Format("#####0.00");
    else if (!atStart && lastWasSettlement_)
        about = "for the batch close";
    Log(std::string(atStart ? "Card answer left by the last run " : "Card answer arrived late ") + about +
        ", approval letter " + letter + (a.Approved() ? " (approved: check whether the customer was charged)" : ""));
    lastMasked_.clear();
    if (atStart) return;  // the start shows it in a box of its own
    // The cashier sees it and confirms with Enter before anything else.
    std::string shown = LateText(false) + a.text;
    if (!masked.empty()) shown += " " + masked + " " + amount.Format("#####0.00");
    Screen().SetCaption(kGreeting, shown);
    CIATime(shown, 0);
    Prompt().MessageWithEnterToEnd_Show();
}

void CardPayments::Card_Load() {
    Reg().timers->SetHandler(TimerId::Credit, [this] { Credit_Timer_Timer(); });
    Reg().timers->SetHandler(TimerId::Settlement, [this] { Settlement_Timer_Timer(); });
    if (!FileBackend() || !gSettings.gCardEnabled) return;
    const std::string folder = card::ExchangeFolder_Resolve(Reg().programFolder, gSettings.gCardExchangeFolder);
    card::ExchangeFiles files(folder + "/Request");
    std::string error;
    // A request under way from another register sharing the folder is theirs.
    if (files.Lock_Take(error) != card::ExchangeFiles::Lock::Taken) return;
    std::string shown;
    if (FileExists(files.Path(".REQ")) || FileExists(files.Path(".TMP"))) {
        Log("Card request left by the last run (it ended while waiting for the card program): removed; check "
            "with the card program whether the customer was charged for a sale never saved");
        files.Remove(".REQ");
        files.Remove(".TMP");
        shown = LeftRequestText();
    }
    if (files.Answer_Present()) {
        std::string line;
        if (files.Answer_Read(line) == card::ExchangeFiles::Read::Line && files.Remove(".ANS")) {
            const card::Answer a = card::Answer_Parse(line);
            LateAnswer_Report(line, true);
            shown = LateText(true) + a.text;
        } else {
            Log("Card answer file " + files.Path(".ANS") + " left by the last run cannot be read or removed");
        }
    }
    if (!shown.empty()) Forms().MessageBox_Show(shown);
}

// The invoice number the sale will most likely be saved under, kept as the
// one sent with this card.
std::string CardPayments::NextInvoice_Keep() {
    Open_FileInvoice();
    std::string invoice = std::to_string(gData.gLastInvoiceRecord + 1);
    gData.invoiceLines.Close();
    gData.invoices.Close();
    Str_PadZero(invoice, 7);
    invoiceSent_ = invoice;
    return invoice;
}

// The card tender goes in first, for the amount confirmed; false (and the
// log says so, after `why`) when the sale did not take it.
bool CardPayments::CardTender_Add(const std::string& why) {
    const CardRequest& c = request_;
    const int before = gSale.gPaymentCount;
    const Money amount = c.gCardAmount < Money() ? -c.gCardAmount : c.gCardAmount;
    Screen().SetText(kEntryBox, amount.TextDisplay());
    Payment_Process(tenderIndex_);
    if (gSale.gPaymentCount != before + 1) {
        Log(why + ": the card tender of " + amount.Format("#####0.00") + " could not be added");
        return false;
    }
    tenderSlot_ = gSale.gPaymentCount;
    return true;
}

// ---- the charge --------------------------------------------------------------------------

void CardPayments::Card_Charge(const CardRequest& request) {
    if (gSettings.gCardBackend != CardBackend::Terminal && gSettings.gCardBackend != CardBackend::Gateway &&
        !FileBackend()) {
        CardStandIn().Card_Charge(request);
        return;
    }
    // A charge under way keeps its own request.
    if (operation_ != Operation::None) return;
    request_ = request;
    if (gSettings.gCardBackend == CardBackend::Terminal) {
        Terminal_Charge();
        return;
    }
    if (gSettings.gCardBackend == CardBackend::Gateway) {
        Gateway_Charge();
        return;
    }
    CardRequest& c = request_;
    if (tenderIndex_ == 0) {
        Outcome_Show(8);
        card::Wipe(track_);
        return;
    }
    if (!Exchange_Begin()) {
        card::Wipe(track_);
        return;
    }
    if (!CardTender_Add("Card request not sent")) {
        files_->Lock_Release();
        card::Wipe(track_);
        return;
    }

    card::RequestFields r;
    r.refund = gSale.gTotal < Money();
    r.cashier = CashierName();
    r.number = c.gCardNumber;
    r.expiry = c.gCardExpiry;
    if (c.gCardEntry == 1) r.track = track_;
    r.amount = c.gCardAmount;
    r.withAddress = c.gCardEntry == 2 && gSettings.gCardAvs;
    if (r.withAddress) {
        c.gCardAddress = Trim(c.gCardAddress.substr(0, 32));
        c.gCardZip = Trim(c.gCardZip.substr(0, 9));
        r.address = c.gCardAddress;
        r.zip = c.gCardZip;
    }
    std::string line = card::RequestLine(r);
    card::Wipe(r.track);
    card::Wipe(track_);
    std::string error;
    const int status = files_->Request_Write(line, error);
    card::Wipe(line);
    lastMasked_ = card::Masked(c.gCardNumber);
    lastAmount_ = c.gCardAmount;
    lastWasSettlement_ = false;
    if (status != 0) {
        Log("Card request for " + lastMasked_ + " not sent: " + error);
        lastMasked_.clear();
        Tender_Remove();
        files_->Lock_Release();
        Outcome_Show(static_cast<std::int16_t>(status));
        return;
    }
    Log("Card request sent: card " + lastMasked_ + ", amount " + lastAmount_.Format("#####0.00"));
    operation_ = Operation::Sale;
    timeoutRun_ = gSettings.gCardTimeout;
    Wait_ForResponse();
}

// ---- the batch close ---------------------------------------------------------------------

void CardPayments::Card_Settlement() {
    if ((gSettings.gCardBackend == CardBackend::Terminal || gSettings.gCardBackend == CardBackend::Gateway) &&
        gSettings.gCardEnabled) {
        Network_Settlement();
        return;
    }
    if (!FileBackend() || !gSettings.gCardEnabled) {
        CardStandIn().Card_Settlement();
        return;
    }
    if (operation_ != Operation::None) return;
    status_ = 0;
    message_.clear();
    if (!Exchange_Begin()) return;
    files_->Remove(".HLD");
    std::string error;
    const int status = files_->Request_Write(card::SettlementLine(), error);
    lastMasked_.clear();
    lastWasSettlement_ = true;
    if (status != 0) {
        Log("Batch close request not sent: " + error);
        files_->Lock_Release();
        Outcome_Show(static_cast<std::int16_t>(status));
        Settlement_Report(status_);
        return;
    }
    Log("Batch close request sent");
    operation_ = Operation::Settlement;
    CIATime(Msg(Message::RequestInProgressPleaseWait), 5);
    SettleTimeout_Compute();
    Summary_Show();
    Wait_ForResponse();
}

// The batch close waits 300 seconds, and 3 more for each card payment of
// the day of the last sale.
void CardPayments::SettleTimeout_Compute() {
    timeoutRun_ = "300";
    Open_FileInvoice();
    Open_FilePayment();
    const WorkFile& inv = gData.invoices;
    const WorkFile& pay = gData.payments;
    const std::int64_t last = inv.IsOpen() ? std::min<std::int64_t>(gData.gLastInvoiceRecord, inv.RecordCount()) : 0;
    if (last >= 2) {
        const std::string date = std::string(Mid(inv.View(last), 12, 8));
        std::set<std::string> invoices;
        for (std::int64_t k = std::max<std::int64_t>(2, last - 3000); k <= last; ++k) {
            const std::string_view rec = inv.View(k);
            if (Mid(rec, 12, 8) == date) invoices.insert(std::string(Mid(rec, 1, 7)));
        }
        int count = 0;
        if (pay.IsOpen()) {
            const std::int64_t lastPay = std::min<std::int64_t>(gData.gLastPaymentRecord, pay.RecordCount());
            for (std::int64_t k = 2; k <= lastPay; ++k) {
                const std::string_view rec = pay.View(k);
                const std::string_view kind = Mid(rec, 47, 1);
                if ((kind == "1" || kind == "2") && invoices.count(std::string(Mid(rec, 1, 7)))) ++count;
            }
        }
        if (count != 0) timeoutRun_ = " " + std::to_string(300 + count * 3);
    }
    gData.payments.Close();
    gData.invoiceLines.Close();
    gData.invoices.Close();
}

// ---- the wait ----------------------------------------------------------------------------

void CardPayments::Wait_ForResponse() {
    CIATime(Msg(Message::CreditCardProcessingInProgress), 0);
    Credit_Card_Start();
    Reg().timers->Stop(TimerId::Credit);
    Reg().timers->Start(TimerId::Credit, kTickMs);
    ticks_ = 0;
    openFailures_ = readFailures_ = 0;
    ShowRunningTime();
}

void CardPayments::Credit_Card_Start() {
    gReg.gEnteredAmount = Money::FromUnits(1);
    Buttons_Lock();
    ReceiptArea_Deactivate();
    gReg.gCardBusy = true;
    Screen().SetEnabled(kEntryBox, false);
}

void CardPayments::Credit_Card_End() {
    Screen().SetEnabled(kEntryBox, true);
    gReg.gCardBusy = false;
    ReceiptArea_Activate();
    Buttons_Unlock();
    Reg().timers->Stop(TimerId::Credit);
    gReg.gPromptLineActive = false;
}

// The seconds waited and the seconds the wait may last.
void CardPayments::ShowRunningTime() {
    CIATime(Msg(Message::CreditCardProcessingInProgress) + std::to_string(ticks_) + " / " + Trim(timeoutRun_), 0);
}

void CardPayments::Credit_Timer_Timer() {
    if (operation_ == Operation::Tool) {
        // A terminal search: the host being probed on the message line.
        const int host = findHost_ ? findHost_->load() : 0;
        if (host > 0)
            CIATime("Searching from " + std::to_string(findFirst_) + " to " + std::to_string(findLast_) + " ==> " +
                        std::to_string(host),
                    0);
        return;
    }
    if (operation_ == Operation::Terminal || operation_ == Operation::Gateway ||
        operation_ == Operation::NetworkSettlement) {
        ticks_ += 2;
        ShowRunningTime();
        if (Num_Val(timeoutRun_) <= ticks_) Network_Timeout();
        return;
    }
    if (operation_ == Operation::None || !files_) {
        Reg().timers->Stop(TimerId::Credit);
        return;
    }
    if (files_->Answer_Present()) {
        std::string line;
        switch (files_->Answer_Read(line)) {
        case card::ExchangeFiles::Read::Line:
            if (line.empty()) {
                Log("Card answer file is empty");
                files_->Remove(".ANS");
                Failure_End(5);
                return;
            }
            Answer_Process(line);
            return;
        case card::ExchangeFiles::Read::NotOpened:
            if (++openFailures_ >= kOpenAttempts) {
                Log("Card answer file cannot be opened, " + std::to_string(kOpenAttempts) + " tries");
                Failure_End(3);
                return;
            }
            break;
        case card::ExchangeFiles::Read::NotRead:
            if (++readFailures_ >= kReadAttempts) {
                Log("Card answer file cannot be read, " + std::to_string(kReadAttempts) + " tries");
                Failure_End(5);
                return;
            }
            break;
        }
    }
    ticks_ += 2;
    ShowRunningTime();
    if (Num_Val(timeoutRun_) <= ticks_) {
        Timeout_Response();
        return;
    }
    if (gSettings.gCardSimulate && ticks_ >= 1 && !files_->Answer_Present()) {
        const LocalTime now = Reg().clock->Now();
        std::string error;
        if (!WriteFileAtomic(files_->Path(".ANS"), card::SimulatedAnswer(now.hour, now.minute), 0600, &error))
            Log("Simulated card answer not written: " + error);
    }
}

void CardPayments::Answer_Process(const std::string& line) {
    const card::Answer a = card::Answer_Parse(line);
    message_ = a.line;
    files_->Remove(".ANS");
    const Operation op = operation_;
    Credit_Card_End();
    Request_End();
    if (op == Operation::Settlement) {
        Log("Batch close answered, approval letter " + std::string(1, a.letter));
        if (!a.Approved()) {
            CIATime(Msg(Message::SettlementFailed), 10);
            status_ = 11;
            Screen().SetCaption(kGreeting, message_);
            Prompt().MessageWithEnterToEnd_Show();
        } else {
            CIATime(Msg(Message::SettlementSuccessful) + " " + message_, 5);
            status_ = 0;
        }
        Settlement_Report(status_);
        return;
    }
    if (!a.Approved()) {
        Log("Card " + lastMasked_ + " declined, amount " + lastAmount_.Format("#####0.00"));
        Tender_Remove();
        CIATime(Msg(Message::Declined), 10);
        status_ = 11;
        Screen().SetCaption(kGreeting, message_);
        Prompt().MessageWithEnterToEnd_Show();
        lastMasked_.clear();
        return;
    }
    Log("Card " + lastMasked_ + " approved, amount " + lastAmount_.Format("#####0.00"));
    lastMasked_.clear();
    status_ = 0;
    CIATime(Msg(Message::Approved) + message_, 5);
    const std::string avs = a.avs ? card::AvsMessage(a.avs) : std::string();
    if (!avs.empty()) CIATime(Msg(Message::Approved) + " " + avs, 10);
    // The approval goes into the card tender: never the track.
    const CardRequest& c = request_;
    SalePayment& p = gSale.gPayments[static_cast<std::size_t>(tenderSlot_)];
    p.cardNumber = c.gCardNumber;
    p.cardExpiry = c.gCardExpiry;
    p.cardHolder = c.gCardEntry == 1 ? c.gCardName : std::string();  // a keyed card has no holder of its own
    p.cardData = c.gCardEntry == 1 ? std::string() : c.gCardAddress + " " + c.gCardZip;
    p.entryKind = c.gCardEntry;
    p.reference = message_;
    gSale.gCardInSale = true;
    tenderSlot_ = 0;
    if (gSale.gBalanceDue.IsZero())
        RegisterKeys().mTotalRegister_Click();
    else
        DEA_Reset();
}

void CardPayments::Timeout_Response() {
    const Operation op = operation_;
    Credit_Card_End();
    Request_End();
    if (op == Operation::Sale) {
        Log("Card request timed out after " + Trim(timeoutRun_) + " seconds: card " + lastMasked_ + ", amount " +
            lastAmount_.Format("#####0.00") +
            "; the card tender was removed, check with the card program whether the "
            "card was charged");
        Tender_Remove();
        Outcome_Show(4);
    } else {
        Log("Batch close timed out after " + Trim(timeoutRun_) + " seconds");
        Outcome_Show(10);
        Settlement_Report(10);
    }
}

void CardPayments::Failure_End(std::int16_t status) {
    const Operation op = operation_;
    Credit_Card_End();
    Request_End();
    // A sale's card that got no readable answer is not paid.
    if (op == Operation::Sale) Tender_Remove();
    Outcome_Show(status);
}

void CardPayments::Request_End() {
    if (files_) {
        files_->Remove(".REQ");
        files_->Remove(".TMP");
        files_->Lock_Release();
    }
    operation_ = Operation::None;
    openFailures_ = readFailures_ = 0;
    card::Wipe(track_);
}

// Only the card tender of this request goes, with the automatic lines added
// after it; an earlier tender always stays.
void CardPayments::Tender_Remove() {
    SaleState& s = gSale;
    const int slot = tenderSlot_;
    tenderSlot_ = 0;
    if (slot < 1 || slot > s.gPaymentCount || s.gPayments[static_cast<std::size_t>(slot)].entryKind != 0) return;
    if (slot != s.gPaymentCount && !s.gTenderLinesAdded) {
        Log("Card tender " + std::to_string(slot) + " is no longer the last one: left in the sale");
        return;
    }
    for (int k = slot; k <= s.gPaymentCount; ++k) s.gPayments[static_cast<std::size_t>(k)] = SalePayment{};
    s.gPaymentCount = static_cast<std::int16_t>(slot - 1);
    s.gTenderLinesAdded = false;
    Payment_Display();
}

// ---- the card terminal ------------------------------------------------------------------

std::string CardPayments::TerminalLogPath() const { return Reg().programFolder + "/Data/Dejavoo.LOG"; }

void CardPayments::TerminalLog(const std::string& line) {
    const LocalTime t = Reg().clock->Now();
    std::string error;
    if (!card::TerminalLog_Append(TerminalLogPath(),
                                  line.substr(0, 4) +
                                      card::TerminalLog_Stamp(t.year, t.month, t.day, t.hour, t.minute, t.second) +
                                      line.substr(4),
                                  &error))
        Log("Card terminal log not written: " + error);
}

void CardPayments::Terminal_Charge() {
    const CardRequest& c = request_;
    authCode_.clear();
    message_.clear();
    std::string host;
    int port = 0;
    if (!card::TerminalAddress_Parse(Trim(gSettings.gTerminalIP), host, port)) {
        Log("Card not sent to the terminal: its address \"" + gSettings.gTerminalIP +
            "\" (setting 136) is not an IPv4 address with an optional port");
        Outcome_Show(12);
        DEA_Reset();
        return;
    }
    // The tender an approval is posted under, known before anything is sent.
    tenderIndex_ = card::CardTender_Find(2);
    if (tenderIndex_ == 0 || Reg().runner == nullptr) {
        Log(tenderIndex_ == 0 ? "Card not sent to the terminal: no payment type takes terminal cards (card type 2)"
                              : "Card not sent to the terminal: no background runner");
        Outcome_Show(8);
        DEA_Reset();
        return;
    }
    const std::string invoice = NextInvoice_Keep();
    const std::string registerId = gSettings.gRegisterId;
    const std::string url = card::TerminalUrl(host, port, card::TerminalDocument(c.gCardAmount, invoice, registerId));
    timeoutRun_ = gSettings.gCardTimeout;
    long timeoutMs = static_cast<long>(Num_Val(gSettings.gCardTimeout) * 1000);
    if (timeoutMs <= 0) timeoutMs = 120000;
    TerminalLog(">>> " + url + "    TIMEOUT= " + gSettings.gCardTimeout);
    lastAmount_ = c.gCardAmount;
    lastMasked_.clear();
    operation_ = Operation::Terminal;
    gReg.gPromptLineActive = true;
    Wait_ForResponse();
    const std::uint64_t exchange = exchange_ = ++exchangeCount_;
    RunInBackground<card::HttpReply>(
        *Reg().runner, [request = card::HttpGetRequest{url, "", timeoutMs, ""}] { return card::HttpGet(request); },
        [this, exchange](card::HttpReply reply) { Terminal_Reply(exchange, reply); });
}

void CardPayments::Terminal_Reply(std::uint64_t exchange, const card::HttpReply& reply) {
    if (exchange != exchange_ || operation_ != Operation::Terminal) {
        // The wait already ended: the customer may still have been charged.
        if (reply.kind == card::HttpReply::Kind::Ok) TerminalLog("<<< " + reply.body);
        const card::TerminalResult late = card::TerminalReply_Evaluate(reply.body, invoiceSent_, gSettings.gRegisterId);
        Log("Card terminal answered after its wait ended (ignored): " +
            (reply.kind == card::HttpReply::Kind::Ok ? "status " + std::to_string(late.status) : reply.error) +
            (late.status == 0 ? "; approved: check on the terminal whether the customer was charged" : ""));
        return;
    }
    exchange_ = 0;
    operation_ = Operation::None;
    if (reply.kind == card::HttpReply::Kind::Ok) TerminalLog("<<< " + reply.body);
    Credit_Card_End();
    card::TerminalResult r;
    if (reply.kind == card::HttpReply::Kind::TimedOut) {
        Log("Card terminal did not answer within " + Trim(timeoutRun_) + " seconds");
        r.status = 4;
    } else if (reply.kind == card::HttpReply::Kind::Failed) {
        Log("Card terminal not reached: " + reply.error);
        r.status = 12;
    } else {
        r = card::TerminalReply_Evaluate(reply.body, invoiceSent_, gSettings.gRegisterId);
        if (r.status == 3) Log("Card terminal reply is not for the request sent (invoice " + invoiceSent_ + ")");
    }
    status_ = r.status;
    message_ = r.message;
    authCode_ = r.status == 0 ? r.authCode : std::string();
    Log("Card terminal exchange ended, status " + std::to_string(r.status) + ", amount " +
        lastAmount_.Format("#####0.00"));
    // The outcome is shown once the tender is in, so the posting does not hide it.
    if (r.status == 0) Terminal_Post(r.last4, r.name, r.authCode);
    Credit_Card_Display_Response(status_);
    if (gSale.gBalanceDue.IsZero() && r.status == 0)
        RegisterKeys().mTotalRegister_Click();
    else
        DEA_Reset();
}

void CardPayments::Network_Timeout() {
    const Operation op = operation_;
    exchange_ = 0;
    operation_ = Operation::None;
    Credit_Card_End();
    if (op == Operation::NetworkSettlement) {
        settleExchange_ = 0;
        Settlement_End(10, "");
        return;
    }
    Log(std::string(op == Operation::Gateway ? "Card gateway" : "Card terminal") + " did not answer within " +
        Trim(timeoutRun_) + " seconds; a later answer is ignored");
    if (op == Operation::Gateway) Tender_Remove();
    Outcome_Show(4);
    DEA_Reset();
}

void CardPayments::Terminal_Post(const std::string& last4, const std::string& name, const std::string& authCode) {
    const Money amount = lastAmount_ < Money() ? -lastAmount_ : lastAmount_;
    const int before = gSale.gPaymentCount;
    gTender.gCardPosting = true;
    Screen().SetText(kEntryBox, amount.TextDisplay());
    Payment_Process(tenderIndex_);
    gTender.gCardPosting = false;
    if (gSale.gPaymentCount != before + 1) {
        Log("Card approved on the terminal but its tender of " + amount.Format("#####0.00") +
            " could not be added: check the sale against the terminal");
        return;
    }
    SalePayment& p = gSale.gPayments[static_cast<std::size_t>(gSale.gPaymentCount)];
    p.cardNumber = card::TerminalCardNumber(last4);
    p.cardExpiry.clear();
    p.cardHolder = name;
    p.entryKind = 1;
    p.reference = authCode;
    gSale.gCardInSale = true;
}

// ---- the card gateway -------------------------------------------------------------------

void CardPayments::Gateway_Charge() {
    CardRequest& c = request_;
    authCode_.clear();
    message_.clear();
    const std::string url = gConstants.servers.gCardGatewayUrl;
    if (!card::GatewayAddress_Valid(url) || Reg().runner == nullptr || tenderIndex_ == 0) {
        Log(tenderIndex_ == 0 ? "Card not sent to the gateway: no payment type takes the card"
                              : "Card not sent to the gateway: CardGatewayUrl in Tarvo.ini is not an https address");
        Outcome_Show(tenderIndex_ == 0 ? 8 : 5);
        card::Wipe(track_);
        DEA_Reset();
        return;
    }
    if (!CardTender_Add("Card not sent to the gateway")) {
        card::Wipe(track_);
        return;
    }
    const std::string invoice = NextInvoice_Keep();
    card::GatewayCharge g;
    g.login = gSettings.gGatewayLogin;
    g.key = gSettings.gGatewayKey;
    g.number = c.gCardNumber;
    g.expiry = c.gCardExpiry;
    g.amount = c.gCardAmount;
    g.invoice = invoice;
    g.avs = gSettings.gCardAvs;
    g.address = c.gCardAddress;
    g.zip = c.gCardZip;
    card::HttpGetRequest request{url, card::GatewayFields(g), 120000, gConstants.servers.gCardGatewayCaFile};
    card::Wipe(g.number);
    card::Wipe(track_);
    timeoutRun_ = gSettings.gCardTimeout;
    request.timeoutMs = static_cast<long>(Num_Val(gSettings.gCardTimeout) * 1000);
    if (request.timeoutMs <= 0) request.timeoutMs = 120000;
    lastMasked_ = card::Masked(c.gCardNumber);
    lastAmount_ = c.gCardAmount;
    Log("Card request sent to the gateway: card " + lastMasked_ + ", amount " + lastAmount_.Format("#####0.00"));
    operation_ = Operation::Gateway;
    Wait_ForResponse();
    const std::uint64_t exchange = exchange_ = ++exchangeCount_;
    RunInBackground<card::HttpReply>(
        *Reg().runner,
        [request = std::move(request)]() mutable {
            card::HttpReply reply = card::HttpGet(request);
            card::Wipe(request.postBody);
            return reply;
        },
        [this, exchange](card::HttpReply reply) { Gateway_Reply(exchange, reply); });
}

void CardPayments::Gateway_Reply(std::uint64_t exchange, const card::HttpReply& reply) {
    if (exchange != exchange_ || operation_ != Operation::Gateway) {
        const card::GatewayResult late = card::Gateway_ParseReply(reply.body);
        Log("Card gateway answered after its wait ended (ignored): " +
            (reply.kind == card::HttpReply::Kind::Ok ? "response code " + late.responseCode : reply.error) +
            (late.status == 0 ? "; approved: check with the gateway whether the customer was charged" : ""));
        return;
    }
    exchange_ = 0;
    operation_ = Operation::None;
    Credit_Card_End();
    card::GatewayResult r;
    if (reply.kind == card::HttpReply::Kind::TimedOut) {
        r.status = 4;
        Log("Card gateway did not answer within " + Trim(timeoutRun_) + " seconds");
    } else if (reply.kind == card::HttpReply::Kind::Failed) {
        r.status = 5;
        r.message = "\r\n" + reply.error;
        Log("Card gateway not reached: " + reply.error);
    } else {
        r = card::Gateway_ParseReply(reply.body);
    }
    status_ = r.status;
    message_ = r.message;
    authCode_ = r.authCode;
    Log("Card " + lastMasked_ + " through the gateway, status " + std::to_string(r.status) + ", amount " +
        lastAmount_.Format("#####0.00"));
    lastMasked_.clear();
    if (r.status != 0) {
        Tender_Remove();
        Credit_Card_Display_Response(status_);
        if (!message_.empty()) {
            // The gateway's own texts stay on the screen until Enter.
            std::string shown = Trim(Screen().Text(kMessageLine));
            std::size_t from = 0;
            while (from <= message_.size()) {
                const auto end = message_.find("\r\n", from);
                const std::string part = Trim(message_.substr(from, end == std::string::npos ? end : end - from));
                if (!part.empty()) shown += " / " + part;
                if (end == std::string::npos) break;
                from = end + 2;
            }
            Screen().SetCaption(kGreeting, shown);
            Prompt().MessageWithEnterToEnd_Show();
        }
        DEA_Reset();
        return;
    }
    const CardRequest& c = request_;
    SalePayment& p = gSale.gPayments[static_cast<std::size_t>(tenderSlot_)];
    p.cardNumber = c.gCardNumber;
    p.cardExpiry = c.gCardExpiry;
    p.cardHolder = c.gCardName;
    p.cardData = c.gCardEntry == 1 ? std::string() : c.gCardAddress + " " + c.gCardZip;
    p.entryKind = c.gCardEntry;
    p.reference = r.authCode;
    gSale.gCardInSale = true;
    tenderSlot_ = 0;
    Credit_Card_Display_Response(status_);
    if (gSale.gBalanceDue.IsZero())
        RegisterKeys().mTotalRegister_Click();
    else
        DEA_Reset();
}

// ---- the batch close of the terminal and the gateway ---------------------------------------

namespace {

// The settlement server's status reply: the state before the first
// "@#@#" ('\0' without one), the text after it.
struct SettleStatus {
    char state = 0;
    std::string after;
};
SettleStatus SettleStatus_Parse(const std::string& reply) {
    SettleStatus s;
    const auto p = reply.find("@#@#");
    if (p == std::string::npos || p == 0) return s;
    s.state = reply[p - 1];
    s.after = reply.substr(p + 4);
    return s;
}

bool HttpAddress(const std::string& url) { return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0; }

}  // namespace

void CardPayments::Network_Settlement() {
    if (operation_ != Operation::None || polling_) {
        Log("Batch close not started: another card operation or batch close is under way");
        CIATime(Msg(Message::RequestInProgressPleaseWait), 5);
        return;
    }
    message_.clear();
    const std::string base = gSettings.gGatewayUrl;
    if (!HttpAddress(base) || Reg().runner == nullptr) {
        Log("Batch close not started: the settlement address (setting 146) is not an http or https address");
        timeoutRun_ = settleTimeout_ = gSettings.gCardTimeout;
        Settlement_End(12, "Error Number  0 Detected At Initial Settlement");
        return;
    }
    // The credentials go encoded in the body, never in the address or the log.
    card::HttpGetRequest request{base + "tran",
                                 "type=settle&username=" + card::UrlEncode(gSettings.gGatewayLogin) +
                                     "&password=" + card::UrlEncode(gSettings.gGatewayKey),
                                 120000, gConstants.servers.gCardGatewayCaFile};
    timeoutRun_ = settleTimeout_ = gSettings.gCardTimeout;
    request.timeoutMs = static_cast<long>(Num_Val(gSettings.gCardTimeout) * 1000);
    if (request.timeoutMs <= 0) request.timeoutMs = 120000;
    Log("Batch close request sent to " + base + "tran");
    operation_ = Operation::NetworkSettlement;
    Summary_Show();
    Wait_ForResponse();
    const std::uint64_t exchange = settleExchange_ = ++exchangeCount_;
    RunInBackground<card::HttpReply>(
        *Reg().runner, [request = std::move(request)] { return card::HttpGet(request); },
        [this, exchange](card::HttpReply reply) { Settlement_Started(exchange, reply); });
}

void CardPayments::Settlement_Started(std::uint64_t exchange, const card::HttpReply& reply) {
    if (exchange != settleExchange_ || operation_ != Operation::NetworkSettlement) {
        Log("Batch close start answered after its wait ended (ignored)" +
            (reply.kind == card::HttpReply::Kind::Ok ? std::string() : ": " + reply.error));
        return;
    }
    settleExchange_ = 0;
    operation_ = Operation::None;
    Credit_Card_End();
    if (reply.kind == card::HttpReply::Kind::TimedOut) {
        Settlement_End(10, "Initial Settlement Request Timed Out");
        return;
    }
    if (reply.kind == card::HttpReply::Kind::Failed) {
        Log("Batch close not started: " + reply.error);
        Settlement_End(12, "Error Number  " + std::to_string(reply.code) + " Detected At Initial Settlement");
        return;
    }
    std::string error;
    if (!WriteFileAtomic(Reg().programFolder + "/Data/Settlement.txt", reply.body + "\r\n", 0600, &error))
        Log("Copy of the batch close reply not written: " + error);
    if (reply.body.find("Settlement processing") == std::string::npos) {
        Settlement_End(2, "Error Detected: Settlement Process Does Not Start\r\nResponse Follows: \r\n" + reply.body);
        return;
    }
    // The keys are free again while the server works; the polling has its limit.
    SettleTimeout_Compute();
    settleTimeout_ = timeoutRun_;
    polling_ = true;
    pollInFlight_ = false;
    settleTicks_ = 0;
    progress_.clear();
    Reg().timers->Stop(TimerId::Settlement);
    Reg().timers->Start(TimerId::Settlement, 10000);
    Settlement_RunningLine();
}

void CardPayments::Settlement_RunningLine() {
    if (operation_ != Operation::None) return;  // a card's own wait is on the line
    CIATime(progress_ + std::to_string(settleTicks_) + " / " + Trim(settleTimeout_), 0);
}

void CardPayments::Settlement_Timer_Timer() {
    if (!polling_) {
        Reg().timers->Stop(TimerId::Settlement);
        return;
    }
    settleTicks_ += 10;
    if (Num_Val(settleTimeout_) <= settleTicks_) {
        Log("Batch close still running after " + Trim(settleTimeout_) + " seconds: polling stopped");
        Settlement_End(10, "");
        return;
    }
    Settlement_RunningLine();
    if (pollInFlight_) return;
    pollInFlight_ = true;
    card::HttpGetRequest request{gSettings.gGatewayUrl + "tran?type=settle_scan.cgi", "",
                                 static_cast<long>(Num_Val(settleTimeout_) * 1000),
                                 gConstants.servers.gCardGatewayCaFile};
    if (request.timeoutMs <= 0) request.timeoutMs = 120000;
    const std::uint64_t exchange = settleExchange_ = ++exchangeCount_;
    RunInBackground<card::HttpReply>(
        *Reg().runner, [request = std::move(request)] { return card::HttpGet(request); },
        [this, exchange](card::HttpReply reply) { Settlement_Polled(exchange, reply, false); });
}

void CardPayments::Settlement_Polled(std::uint64_t exchange, const card::HttpReply& reply, bool receipt) {
    if (exchange != settleExchange_ || !polling_) return;  // the polling already ended
    pollInFlight_ = false;
    if (reply.kind != card::HttpReply::Kind::Ok) {
        Log("Batch close status request failed: " + reply.error);
        if (reply.kind == card::HttpReply::Kind::TimedOut)
            Settlement_End(3, "Settlement Counter\r\nRequest for Settlement Update Timed Out");
        else
            Settlement_End(12, "Settlement Counter\r\nError Number  " + std::to_string(reply.code) +
                                   " Detected At Request For Update");
        return;
    }
    if (receipt) {
        Settlement_End(0, "");
        return;
    }
    const SettleStatus st = SettleStatus_Parse(reply.body);
    if (st.state == '0') {
        const std::string file = Trim(st.after.substr(0, 7));
        if (file.empty()) {
            Settlement_End(0, "");
            return;
        }
        pollInFlight_ = true;
        card::HttpGetRequest request{gSettings.gGatewayUrl + "show_receipt.cgi?filename=" + card::UrlEncode(file), "",
                                     static_cast<long>(Num_Val(settleTimeout_) * 1000),
                                     gConstants.servers.gCardGatewayCaFile};
        if (request.timeoutMs <= 0) request.timeoutMs = 120000;
        const std::uint64_t next = settleExchange_ = ++exchangeCount_;
        RunInBackground<card::HttpReply>(
            *Reg().runner, [request = std::move(request)] { return card::HttpGet(request); },
            [this, next](card::HttpReply r) { Settlement_Polled(next, r, true); });
        return;
    }
    if (st.state == '2') {
        Settlement_End(5, "Error Detected: Settlement Acknowledged Error\r\nResponse Follows: \r\n" + reply.body);
        return;
    }
    progress_ = st.state == '1' ? "% " + Trim(st.after.substr(0, 2)) + (st.after.size() > 6 ? st.after.substr(6) : "")
                                : std::string();
    Settlement_RunningLine();
}

void CardPayments::Settlement_End(std::int16_t status, const std::string& message) {
    Reg().timers->Stop(TimerId::Settlement);
    polling_ = pollInFlight_ = false;
    settleExchange_ = 0;
    progress_.clear();
    status_ = status;
    Log("Batch close ended, status " + std::to_string(status));
    if (operation_ == Operation::None)
        CIATime(Msg(status == 0    ? Message::SettlementSuccessful
                    : status == 10 ? Message::SettlementTimedOut
                                   : Message::SettlementFailed),
                10);
    Settlement_Print(SettlementOutcome{status, message, settleTimeout_, gSettings.gCardBackend});
}

// ---- the Online page's tests ---------------------------------------------------------------

void CardPayments::TerminalIP_Keep(const std::string& address) {
    gSettings.gTerminalIP = address;
    if (TerminalIP_Save(gConstants.paths.gFilesPath + ".SET", address)) {
        Log("Card terminal address set to " + address);
        CIATime("Terminal IP Successfully Saved", 10);
    } else {
        Log("Card terminal address " + address + " not saved: the settings file cannot be written");
        CIATime("ERROR: Unable to Set Terminal IP", 10);
    }
}

void CardPayments::TerminalIP_Input() {
    const std::string answer = Trim(Screen().InputBox("Input Terminal's IP Address: (Or Enter to abort)"));
    if (answer.empty()) return;
    std::string host;
    int port = 0;
    if (!card::TerminalAddress_Parse(answer, host, port)) {
        Log("Card terminal address refused: \"" + answer + "\" is not an IPv4 address with an optional port");
        CIATime(Msg(Message::InvalidEntry), 5);
        return;
    }
    TerminalIP_Keep(answer);
    TerminalInfo_Show();
}

void CardPayments::TerminalInfo_Show() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) name[0] = '\0';
    TerminalLog_Add("Terminal: " + gSettings.gRegisterId);
    TerminalLog_Add("Description: " + gSettings.gTerminalDescription);
    TerminalLog_Add("IP Address: " + (ownAddress_ ? ownAddress_() : std::string()));
    TerminalLog_Add("Network Name: " + std::string(name));
    TerminalLog_Add("Dejavoo Terminal Is At: " + gSettings.gTerminalIP);
    TerminalInfo_Mail();
}

void CardPayments::TerminalInfo_Mail() {
    if (gSettings.gConnectionMode == ConnectionMode::DialUp ||
        gSettings.gConnectionMode == ConnectionMode::OnlineNoTerminalMail) {
        Log("Terminal information not mailed: the connection is dial-up");
        return;
    }
    const std::string to = Trim(gConstants.servers.gSupportMail);
    if (to.empty() || operation_ != Operation::None || Reg().runner == nullptr) {
        Log("Terminal information not mailed: " +
            std::string(to.empty() ? "no support desk address (SupportMail in Tarvo.ini)" : "the register is busy"));
        return;
    }
    const std::string data = "<subject>IP Information " + gSettings.gRegisterId + " " + gSettings.gTerminalDescription +
                             "</subject><body>" + terminalInfo_ + "</body><to>" + to + "</to><from>" + to +
                             "</from><sender>" + to + "</sender><cc></cc>";
    const std::string prefix = gConstants.servers.RequestPrefix();
    const std::string query = EmailQuery(data);
    operation_ = Operation::Tool;
    Credit_Card_Start();
    RunInBackground<BackOfficeResult>(
        *Reg().runner, [prefix, query] { return BackOfficeRequestAt(prefix, query, 15000); },
        [this, prefix, query](BackOfficeResult r) {
            operation_ = Operation::None;
            Credit_Card_End();
            if (!r.ok) BackOfficeRequest_LogFailure(prefix, query, r);
            if (!r.ok || r.reply.empty()) {
                Log("Terminal information mail: empty answer from the back office");
                Screen().MessageBox((r.error.empty() ? std::string() : r.error + " ") +
                                    "Unable to send email. Empty message received from server.");
                return;
            }
            Log("Terminal information mailed to the support desk");
        });
}

void CardPayments::Terminal_FindCancel() {
    if (findCancel_) *findCancel_ = true;
}

void CardPayments::Terminal_Find() {
    if (operation_ != Operation::None || Reg().runner == nullptr) return;
    const std::string choice = Trim(Screen().InputBox("What Would You Like to Do?  0=Exit  1=Quick  2=Complete  3=IE"));
    if (choice != "1" && choice != "2" && choice != "3") return;
    std::string host;
    int port = 0;
    const bool known = card::TerminalAddress_Parse(Trim(gSettings.gTerminalIP), host, port);
    if (choice == "3") {
        const std::string address =
            "http://" + (known ? host + ":" + std::to_string(port) : std::string("127.0.0.1:8443")) + "/index.html";
        if (!known || !Browser_Open(gConstants.browser, address)) {
            Log("Terminal page not opened: " +
                std::string(known ? "the browser cannot be started" : "no terminal address (setting 136)"));
            CIATime(Msg(Message::InvalidEntry), 5);
        }
        return;
    }
    card::DiscoveryConfig config;
    config.port = known ? port : card::kTerminalPort;
    const std::string own = ownAddress_ ? ownAddress_() : std::string();
    if (!card::DiscoveryRange_Make(own, choice == "1", config.range)) {
        Log("Terminal search not started: this computer has no IPv4 address on a network");
        CIATime(Msg(Message::InvalidEntry), 5);
        return;
    }
    CIATime("Searching from " + std::to_string(config.range.first) + " to " + std::to_string(config.range.last), 0);
    operation_ = Operation::Tool;
    Credit_Card_Start();
    findCancel_ = std::make_shared<std::atomic<bool>>(false);
    findHost_ = std::make_shared<std::atomic<int>>(0);
    findFirst_ = config.range.first;
    findLast_ = config.range.last;
    Reg().timers->Stop(TimerId::Credit);
    Reg().timers->Start(TimerId::Credit, kTickMs);
    RunInBackground<std::vector<card::DiscoveryHost>>(
        *Reg().runner,
        [config, cancel = findCancel_, host = findHost_] {
            return card::Discovery_Scan(config, *cancel, [host](int n) { host->store(n); });
        },
        [this, cancel = findCancel_, port = config.port](std::vector<card::DiscoveryHost> hosts) {
            operation_ = Operation::None;
            Credit_Card_End();
            findCancel_.reset();
            findHost_.reset();
            for (const card::DiscoveryHost& h : hosts) {
                const std::string line = h.address + "-->" + (h.alive ? "True " : "False ") + h.name;
                TerminalLog_Add(line);
                if (h.alive) Log("Terminal search: " + line);
            }
            if (cancel->load()) {
                Log("Terminal search cancelled");
                CIATime("Terminal Not Found", 5);
                return;
            }
            const std::string chosen = card::Discovery_Chosen(hosts);
            for (const card::DiscoveryHost& h : hosts)
                if (h.found) Screen().MessageBox("Terminal Found At " + h.address);
            if (chosen.empty()) {
                Screen().MessageBox("Terminal Not Found");
                return;
            }
            TerminalIP_Keep(port == card::kTerminalPort ? chosen : chosen + ":" + std::to_string(port));
        });
}

void CardPayments::Terminal_Test() {
    if (operation_ != Operation::None || Reg().runner == nullptr) return;
    const std::string ip = gSettings.gTerminalIP;
    std::string host;
    int port = 0;
    if (!card::TerminalAddress_Parse(Trim(ip), host, port)) {
        Log("Terminal test not sent: the address \"" + ip + "\" (setting 136) is not an IPv4 address");
        CIATime("ERROR: No Reponse From Terminal " + ip, 5);
        return;
    }
    CIATime("Testing Terminal at " + ip, 0);
    operation_ = Operation::Tool;
    Credit_Card_Start();
    RunInBackground<card::HttpReply>(
        *Reg().runner,
        [request = card::HttpGetRequest{"http://" + host + ":" + std::to_string(port) + "/index.html", "", 5000, ""}] {
            return card::HttpGet(request);
        },
        [this, ip](card::HttpReply reply) {
            operation_ = Operation::None;
            Credit_Card_End();
            const bool answered = reply.kind == card::HttpReply::Kind::Ok && !reply.body.empty();
            if (!answered) Log("Terminal test: no answer from " + ip + (reply.error.empty() ? "" : ": " + reply.error));
            CIATime(answered ? "Test Successful " + ip : "ERROR: No Reponse From Terminal " + ip, 5);
        });
}

void CardPayments::Gateway_Test() {
    if (operation_ != Operation::None || Reg().runner == nullptr) return;
    const std::string url = gConstants.servers.gCardGatewayUrl;
    if (!card::GatewayAddress_Valid(url)) {
        Log("Gateway test not sent: CardGatewayUrl in Tarvo.ini is not an https address");
        CIATime("ERROR: Received empty message in response to test.", 5);
        return;
    }
    CIATime(Msg(Message::RequestInProgressPleaseWait), 0);
    operation_ = Operation::Tool;
    Credit_Card_Start();
    card::HttpGetRequest request{url, card::GatewayTestFields(gSettings.gGatewayLogin, gSettings.gGatewayKey),
                                 static_cast<long>(Num_Val(gSettings.gCardTimeout) * 1000),
                                 gConstants.servers.gCardGatewayCaFile};
    if (request.timeoutMs <= 0) request.timeoutMs = 120000;
    RunInBackground<card::HttpReply>(
        *Reg().runner, [request = std::move(request)] { return card::HttpGet(request); },
        [this](card::HttpReply reply) {
            operation_ = Operation::None;
            Credit_Card_End();
            if (reply.kind != card::HttpReply::Kind::Ok || reply.body.empty()) {
                Log("Gateway test: payment gateway is not responding" +
                    (reply.error.empty() ? std::string() : ": " + reply.error));
                CIATime("ERROR: Received empty message in response to test.", 5);
                return;
            }
            const std::string code = Trim(card::Tag_Value(reply.body, "responsecode"));
            const std::string reason = Trim(card::Tag_Value(reply.body, "errortext"));
            if (code == "1") {
                CIATime("Successful ", 5);
            } else if (code == "2" || code == "3") {
                CIATime("Declined (" + Trim(card::Tag_Value(reply.body, "errorcode")) + ") " + reason, 5);
            } else if (!code.empty()) {
                CIATime("Undetermined " + reason, 5);
            } else {
                Log("Gateway test: received an invalid response");
                CIATime("Invalid response received to test", 5);
            }
        });
}

void CardPayments::Settlement_Report(std::int16_t status) {
    Settlement_Print(SettlementOutcome{status, message_, timeoutRun_, gSettings.gCardBackend});
}

}  // namespace tarvo
