// The card data every back-end shares: the swipe split into number, holder
// and expiry, the card brand found from the number, the payment type that
// takes the brand, the status messages, the address-verification letters,
// and the exchange files' request and answer lines.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "common/money.h"
#include "config/settings.h"

namespace tarvo::card {

// What a swipe "%B<number>^<name>^<YYMM>..." holds; every field empty when
// the track does not have both separators.
struct SwipeFields {
    std::string number, name, expiry;
};
// The gateway takes the expiry as MMYY, the others as YYMM. Apostrophes
// in the name become blanks.
SwipeFields ParseSwipe(std::string_view track, CardBackend backend);

// The brand code of a card number: 4, 5, 6, 7, 11, 9; 0 unknown (and for a
// number of four characters or fewer).
int CardType_Find(std::string_view number);

// The first payment type 1..22 whose card-type column (read as a number)
// equals `type`; 0 when none takes it.
int CardTender_Find(int type);

// The message of a card status for the back-end of setting 140; empty for
// a back-end the register does not know.
std::string StatusMessage(int status, CardBackend backend);

// The address-verification message of an approval answer's letter; empty
// for a letter with none.
std::string AvsMessage(char letter);

// The first line of an answer file.
struct Answer {
    char letter = 0;   // the approval letter: 'N' declined
    std::string line;  // the whole line, quotes included
    std::string text;  // from the letter up to the closing quote; empty without one
    char avs = 0;      // the address-verification letter, 0 when the text is shorter than 8
    bool Approved() const { return letter != 'N'; }
};
Answer Answer_Parse(const std::string& line);

// The authorisation request line, CR LF ended. `track` is the swipe (empty
// for a keyed card), whose text less its first character follows the expiry.
struct RequestFields {
    bool refund = false;
    std::string cashier;
    std::string number, expiry, track;
    Money amount;
    bool withAddress = false;
    std::string address, zip;
};
std::string RequestLine(const RequestFields& r);
// The settlement request line.
std::string SettlementLine();
// The simulated approval the register writes itself at hour:minute.
std::string SimulatedAnswer(int hour, int minute);

// The exchange folder named by special option I as a Linux path: an
// absolute path as given; otherwise backslashes become slashes, a drive
// letter is dropped and the rest is taken in the program folder.
std::string ExchangeFolder_Resolve(const std::string& programFolder, const std::string& folder);

// A card number for the log and the screen: all but its last four
// characters hidden.
std::string Masked(const std::string& number);

// Overwrites a text holding card data before it is let go.
void Wipe(std::string& s);

}  // namespace tarvo::card
