#include "card/card_data.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "common/fields.h"
#include "common/numbers.h"
#include "config/settings.h"

namespace tarvo::card {

SwipeFields ParseSwipe(std::string_view track, CardBackend backend) {
    SwipeFields f;
    const std::size_t p1 = track.find('^');
    if (p1 == std::string_view::npos) return f;
    const std::size_t p2 = track.find('^', p1 + 1);
    if (p2 == std::string_view::npos) return f;
    // The start sentinel and the format code are skipped unread.
    if (p1 > 2) f.number = std::string(track.substr(2, p1 - 2));
    f.name = std::string(track.substr(p1 + 1, p2 - p1 - 1));
    std::replace(f.name.begin(), f.name.end(), '\'', ' ');
    f.expiry = std::string(track.substr(p2 + 1, 4));
    if (backend == CardBackend::Gateway && f.expiry.size() == 4)
        f.expiry = f.expiry.substr(2, 2) + f.expiry.substr(0, 2);
    return f;
}

int CardType_Find(std::string_view n) {
    if (n.size() <= 4) return 0;
    auto starts = [&](std::string_view p) { return n.substr(0, p.size()) == p; };
    if (starts("4")) return 4;
    if (starts("5")) return 5;
    if (starts("37") || starts("34")) return 6;
    if (starts("36") || starts("38") || starts("3000")) return 7;
    if (starts("35") || starts("3083")) return 11;
    if (starts("6011")) return 9;
    return 0;
}

int CardTender_Find(int type) {
    if (type == 0) return 0;
    for (int i = 1; i <= 22; ++i)
        if (Num_Val(gSettings.PaymentTypes[static_cast<std::size_t>(i)].CardType) == type) return i;
    return 0;
}

std::string StatusMessage(int status, CardBackend backend) {
    if (backend == CardBackend::Unknown) return "";
    const bool files = backend == CardBackend::ExchangeFiles;
    auto pick = [&](Message onFiles, Message terminal, Message gateway) {
        return Msg(files ? onFiles : backend == CardBackend::Terminal ? terminal : gateway);
    };
    switch (status) {
    case 0: return files ? Msg(Message::UnknownCreditCardRelatedError) : Msg(Message::SuccessfullyProcessed);
    case 1:
        return pick(Message::CanNotOpenTemporaryRequestFile, Message::Declined254,
                    Message::FailedResponseNotForSentRequest);
    case 2:
        return pick(Message::CanNotRenameTemporaryRequestFile, Message::NoResponseFromTerminal, Message::Declined254);
    case 3:
        return pick(Message::ErrorCanNotOpenResponseFile, Message::FailedResponseNotForSentRequest,
                    Message::FailedResponseNotForSentRequest);
    case 4: return Msg(Message::ErrorCreditOperationTimedOut);
    case 5:
        return pick(Message::ErrorResponseFileIsEmpty, Message::FailedApprovalCodeAndNumberNotDetected,
                    Message::UnknownCreditCardRelatedError);
    case 6:
        return pick(Message::ErrorUnableToDecodeCardInformation, Message::FailedInvalidCreditCardNumber,
                    Message::UnknownCreditCardRelatedError);
    case 7:
        return pick(Message::ErrorUnableToIdentifyCreditCard, Message::ErrorUnableToIdentifyCreditCard,
                    Message::UnknownCreditCardRelatedError);
    case 8:
        return pick(Message::CardNotConfiguredAsValidFormOfPayment, Message::CardNotConfiguredAsValidFormOfPayment,
                    Message::UnknownCreditCardRelatedError);
    case 9:
        return pick(Message::MultipleCreditCardsNotAllowed, Message::MultipleCreditCardsNotAllowed,
                    Message::UnknownCreditCardRelatedError);
    case 10:
        return pick(Message::SettlementTimedOut, Message::SettlementTimedOut, Message::UnknownCreditCardRelatedError);
    case 11: return pick(Message::SettlementFailed, Message::SettlementFailed, Message::UnknownCreditCardRelatedError);
    case 14:
        return pick(Message::UnknownCreditCardRelatedError, Message::FailedCancelled,
                    Message::UnknownCreditCardRelatedError);
    default: return Msg(Message::UnknownCreditCardRelatedError);
    }
}

std::string AvsMessage(char letter) {
    switch (letter) {
    case 'A': return Msg(Message::AddressFineZipIsNot);
    case 'E': return Msg(Message::IneligibleTransaction);
    case 'G': return Msg(Message::AddressInfoUnavailable);
    case 'N': return Msg(Message::NeitherAddressNorZipMatches);
    case 'R': return Msg(Message::SystemUnavailable);
    case 'S': return Msg(Message::CardTypeNotSupported);
    case 'U': return Msg(Message::AddressInfoUnavailableForNow);
    case 'W':
    case 'Z': return Msg(Message::ZipMatchesAddressDoesNot);
    case 'X':
    case 'Y': return Msg(Message::AddressAndZipMatch);
    default: return "";
    }
}

Answer Answer_Parse(const std::string& line) {
    Answer a;
    a.line = line;
    if (line.size() >= 2) a.letter = line[1];
    const std::size_t close = line.size() >= 2 ? line.find('"', 1) : std::string::npos;
    if (close != std::string::npos) a.text = line.substr(1, close - 1);
    if (a.text.size() >= 8) a.avs = a.text.back();
    return a;
}

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }
std::string Cut(const std::string& s, std::size_t n) { return Trim(s.substr(0, n)); }

}  // namespace

std::string RequestLine(const RequestFields& r) {
    const Money amount = r.amount < Money() ? -r.amount : r.amount;
    std::string expiry = r.expiry;
    if (!r.track.empty()) expiry += r.track.substr(1);
    std::string line = Quoted(r.refund ? "C3" : "C1") + "," + Quoted(Cut(r.cashier, 32)) + "," + Quoted("") + "," +
                       Quoted(r.number) + "," + Quoted(expiry) + "," + Quoted(amount.Format("#####0.00"));
    Wipe(expiry);
    if (r.withAddress) line += "," + Quoted(Cut(r.address, 32)) + "," + Quoted(Cut(r.zip, 9));
    return line + "\r\n";
}

std::string SettlementLine() { return "\"ST\"\r\n"; }

std::string SimulatedAnswer(int hour, int minute) {
    auto two = [](int v) {
        return std::string(1, static_cast<char>('0' + v / 10 % 10)) + static_cast<char>('0' + v % 10);
    };
    return "\"Y" + two(hour) + two(minute) + two(hour) + "\"\r\n";
}

std::string ExchangeFolder_Resolve(const std::string& programFolder, const std::string& folder) {
    std::string f = Trim(folder);
    if (f.empty()) f = "ICVerify";
    if (f[0] == '/') return f;
    std::replace(f.begin(), f.end(), '\\', '/');
    if (f.size() >= 2 && f[1] == ':' && std::isalpha(static_cast<unsigned char>(f[0]))) f.erase(0, 2);
    while (!f.empty() && f[0] == '/') f.erase(0, 1);
    while (!f.empty() && f.back() == '/') f.pop_back();
    if (f.empty()) return programFolder;
    return programFolder + "/" + f;
}

std::string Masked(const std::string& number) {
    if (number.size() <= 4) return std::string(number.size(), 'X');
    return std::string(number.size() - 4, 'X') + number.substr(number.size() - 4);
}

void Wipe(std::string& s) {
    volatile char* p = s.data();
    for (std::size_t i = 0; i < s.size(); ++i) p[i] = 0;
    s.clear();
    s.shrink_to_fit();
}

}  // namespace tarvo::card
