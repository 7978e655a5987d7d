// The terminal's settings: the values read from <files path>.SET by
// Setup_Read, their defaults (Setup_Initialize), the department-key and
// payment-type records, and the values of the special-operations string.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "common/money.h"
#include "config/constants.h"
#include "config/register_mode.h"

namespace tarvo {

struct DepartmentKey {
    std::string Number, Caption1, Caption2, KeyKind, Target;
};

struct PaymentType {
    std::string Number, Name1, Name2;
    Money Amount;
    std::string CardType, AmountAsIs, PromptReference, ChangeMode;
    double Rate = 0;
    std::string Code, ChangeType, Active;
};

struct TaxChoice {
    std::string TaxChoiceCode;
    std::int16_t TaxChoiceKind = 10;
    double TaxChoiceRate = 0;
    std::string TaxChoiceStatus = "0";
};

// Setting 140: the program or device that takes the card payments.
enum class CardBackend : std::uint8_t {
    ExchangeFiles,  // "1": the card program's request and answer files
    Terminal,       // "2": the card terminal on the network
    Gateway,        // "3": the card gateway
    Unknown,        // any other value: none of them
};

// Setting 143: the copies of the receipt of a sale paid by card.
enum class CardCopies : std::uint8_t {
    One,  // "1" and any other value
    Two,  // "2": a second copy after the first is torn off
};

// Setting 105: how the register reaches the back office and when it sends.
enum class ConnectionMode : std::uint8_t {
    DialUp,    // "1": sessions at the fixed times (115-120), through the dial-up when the Internet does not answer
    Interval,  // "2": a session every interval (125) between the times of 130 and 135, always online
    Online,    // any other value: always online, no scheduled sessions
    // "1" with blanks around it: as Online, but the terminal information
    // is not mailed, as on a dial-up
    OnlineNoTerminalMail,
};

// Setting 880: where the receipt printer's output goes (print/printer_output.h).
enum class PrinterType : std::uint8_t {
    Off,      // "0": printing switched off
    Lpt1,     // "1" and any value not named here: the parallel port LPT1
    Lpt2,     // "2"
    Com1,     // "3": the serial ports at 9600,N,8,1
    Com2,     // "4"
    Lpt3,     // "5"
    Spooler,  // "6": the print spooler
    Com3,     // "7"
    Com4,     // "8"
    Com5,     // "9"
    Com6,     // "10"
    Screen,   // "20": the on-screen printout panel
};

// Setting 250: the key a product is rung up by, columns 12-31 of the
// product record (its number) or 40-59 (its bar code).
enum class ProductKey : std::uint8_t {
    Number,   // "0"
    BarCode,  // "1"
    Other,    // any other value
};

// Setting 250 as each of its readers takes it. The look-ups, the receipts
// and documents, the replies of the back office and the product updates
// compare the text with "0" and "1" (anything else is the bar code there, and
// no updates are applied); the word index, the search list, the entry form
// and the labels read it as a number (text that is no number reads as 0);
// the new-product sheet needs a whole number.
struct ProductKeyMode {
    ProductKey asText = ProductKey::Number;                        // "0", "1", anything else
    ProductKey asNumber = ProductKey::Number;                      // the number 0, 1, any other
    std::optional<ProductKey> asWholeNumber = ProductKey::Number;  // 0 Number, any other BarCode; none: no whole number

    constexpr ProductKeyMode() = default;
    // How "0" (Number) or "1" (BarCode) reads.
    constexpr ProductKeyMode(ProductKey key) : asText(key), asNumber(key), asWholeNumber(key) {}
    constexpr ProductKeyMode(ProductKey text, ProductKey number, std::optional<ProductKey> whole)
        : asText(text), asNumber(number), asWholeNumber(whole) {}
    bool operator==(const ProductKeyMode&) const = default;
};

// The value of a 250 line (from column 5) as the register reads it.
ProductKeyMode ProductKeyMode_Read(std::string_view value);

struct Settings {
    // --- single-value codes -------------------------------------------------
    std::string gRegisterId;                                                // 100
    std::string gSiteId;                                                    // 101
    ConnectionMode gConnectionMode = ConnectionMode::DialUp;                // 105
    std::array<std::string, 6> gAutoSendTime{"01:00", "", "", "", "", ""};  // 115-120
    std::string gCommInterval = "999999";                                   // 125
    std::string gCommWindowStart, gCommWindowEnd;                           // 130, 135
    std::string gTerminalIP;                                                // 136
    CardBackend gCardBackend = CardBackend::ExchangeFiles;                  // 140
    std::string gCardTimeout = "120";                                       // 141
    bool gCardEnabled = false;                                              // 142 "1": card payments taken
    CardCopies gCardCopies = CardCopies::One;                               // 143
    bool gCardSimulate = false;                                             // 144 "1": approvals simulated
    bool gCardAvs = false;                                                  // 145 "1": keyed cards give the address
    std::string gGatewayUrl, gGatewayLogin, gGatewayKey;                    // 146, 148, 149
    std::string gOrderMinPaidPercent = "0";                                 // 150
    std::string gOrderFieldDefaultA = "1";                                  // 155
    std::string gOrderFieldDefaultB = "1";                                  // 156
    std::int16_t gCostDisplay = 1;                                          // 160, 161
    bool gAskPurchaseCost = true;                                           // 162
    bool gAskPurchasePrice = true;                                          // 163
    bool gAskPurchaseComment = true;                                        // 164
    bool gVendorTaxExempt = true;                                           // 165
    bool gNoOrderPrint = false;                                             // 166 (not-flag)
    bool gZeroOpening = false;                                              // 167
    bool gDrawerAtOpening = true;                                           // 168 "1" (absent: on)
    bool gNoItemsOnPaymentPage = false;                                     // 169
    bool gCashRefundNeedsManager = false;                                   // 170
    bool gNoReceiptForCash = false;                                         // 171
    bool gGiftReceiptAlways = false;                                        // 172
    bool gClientDiscountAllLines = false;                                   // 173
    std::int16_t gLanguage = 1;                                             // 200
    std::string gTerminalDescription;                                       // 220
    ProductKeyMode gProductKeyMode;                                         // 250
    std::string gDefaultClient = "1";                                       // 255
    bool gClientEntryOption = true;                                         // 256 "1": the register numbers new clients
    bool gPayBalanceOnTotal = false;                                        // 260 "1": Total pays the balance by key 1
    bool gLogoutAfterSale = false;                                          // 265 "1": a sale ends with the logout
    bool gReportOption = false;                                             // 270 "1": the counted cash is declared
    bool gOpenBalanceAllowed = false;                                       // 275 "1": account clients may owe
    bool gRefundTenderRule = false;                                         // 276 "1": a refund is paid out whole
    std::int16_t gVoidLastReenters = 0;                                     // 280
    std::int16_t gKeyboardHints = 0;                                        // 285
    std::array<std::string, 3> gTaxName;                                    // 300, 310, 320
    std::array<double, 3> gTaxDefaultRate{};                                // 305, 315, 325
    bool gTax2IncludesTax1 = false;                                         // 330 "1"
    bool gTax3IncludesTax1 = false;                                         // 335 "1"
    bool gTax3IncludesTax2 = false;                                         // 340 "1"
    std::array<std::string, 4> gCaseLabel;                                  // 350, 355, 360, 365 (a to d)
    std::string gSystemPageText;                                            // 370
    std::string gColour400 = "12648447";                                    // 400
    std::string gPaymentKeyColour = "12648447";                             // 405
    // department pages 1-8: codes 410, 415, 420, 425, 411, 412, 413, 414
    std::array<std::string, 8> gPageColour{"12648447", "12648447", "12648447", "12648447",
                                           "12648447", "12648447", "12648447", "12648447"};
    std::string gColour430 = "16776960";           // 430
    std::string gMenuKeyColour = "16761087";       // 440
    std::string gColour445 = "12582912";           // 445
    std::string gColour450 = "16777215";           // 450
    std::string gColour455 = "16777215";           // 455
    std::string gEntryForeColour = "0";            // 460
    std::string gSelectedRowColour = "255";        // 465
    std::int32_t gGreetingForeColour = 0;          // 470
    std::int16_t gDisplayPort = 0;                 // 476
    std::string gDisplayLine1, gDisplayLine2;      // 477, 478
    std::int16_t gDisplayCommandSet = 0;           // 479
    std::int16_t gDefaultKeyPage = 1;              // 480
    std::int16_t gScalePort = 0;                   // 481
    std::string gWeightUnit = "Lb";                // 483
    RegisterMode gHomeMode = RegisterMode::Sales;  // 485
    // 500, 510, 515, 525 anything but "0": a manager opens the drawer, switches
    // the exchange mode, cancels a sale, pays out
    bool gSystemOption500 = false, gSystemOption510 = false, gSystemOption515 = false, gSystemOption525 = false;
    bool gTaxExemptCheck = false;  // 505 anything but "0": a manager allows a tax exemption
    std::string gPrintOption530 = "0", gPrintOption535 = "0", gPrintOption540 = "0";
    std::string gSystemPageCode;             // 545
    std::map<int, std::string> gScreenText;  // 600-609, 610, 615, 620, 625, 630, 635 by code
    bool gExtrasPageOn = false;              // 640 "1"
    bool gExtrasNeedsManager = false;        // 641 "1"
    // 642, 643, 645 "1": the Extras page's keys for web orders, shipping, purchase orders
    bool gKeyOption642 = false, gKeyOption643 = false, gKeyOption645 = false;
    std::string gOnlineParameter644;                 // 644
    bool gCountBeforeCashierReport = false;          // 646
    std::array<std::string, 5> gHeaderLine;          // 805-809
    bool gPrintCashier = false;                      // 810 "1"
    bool gPrintOption811 = false;                    // 811 "1": product codes under the lines
    bool gPrintSalesman = false;                     // 815 "1"
    bool gPrintClient = false;                       // 820 "1"
    bool gPrintFooter = false;                       // 825 "1"
    std::array<std::string, 5> gFooterLine;          // 830-834
    std::array<std::string, 42> gPrinterCodeValues;  // 835-876, trimmed
    PrinterType gPrinterType = PrinterType::Off;     // 880
    std::string gPrinterTypeText = "0";              // 880 as the file gives it: the printer test names it
    bool gSortProducts = false;                      // 885
    bool gSortClients = false;                       // 890
    bool gAutoClockOut = false;                      // 895
    std::string gClosingTime, gClosingTimeNext;      // 900
    std::int16_t gWidePaper = 0;                     // 905
    std::string gSpecialOperations;                  // 990

    // --- records --------------------------------------------------------------
    std::array<DepartmentKey, 401> Departments;  // codes 650, 651
    std::array<PaymentType, 25> PaymentTypes;    // code 700

    // --- values no code sets; special operations change them ------------------
    std::string gCardExchangeFolder = "ICVerify";  // relative to the program folder
    std::string gCardRequestFolder = "ICVerify/Request";
    std::string gCardRequestBase = "ICVerify/Request/icver001";
    std::int16_t gPricePrefixStart = 0, gPricePrefixEnd = 0, gPriceCodeStart = 0, gPriceCodeEnd = 0;
    std::int16_t gPriceValueStart = 0, gPriceValueEnd = 0;
    std::string gPricePrefix;
    std::int16_t gDrawerPort = 0;
    std::string gOrderTypeDefault = "1";
    std::int32_t gEndSaleDelay = 6000;  // milliseconds
    std::string gDebugMode = "0";
    bool gFullCardNumberCopy = false;  // option 009
    bool gSendAfterSale = false;       // option 012
    bool gReceiptIfPositive = false;   // option 018
    bool gIndexShortWords = false;     // option 019
    bool gOnlineStockCheck = false;    // option 020
    std::array<TaxChoice, 10> TaxChoiceTable;

    // --- reader state --------------------------------------------------------
    std::int16_t gSettingCode = 0;  // code of the line being read
};

extern Settings gSettings;

// Every setting to its default, the department and payment records cleared.
void Setup_Initialize(Settings& s);

struct SetupReadResult {
    bool ok = false;
    int code = 0;         // code of the line being read when it failed
    std::string message;  // what the operator is shown on failure
    std::string detail;   // for the log: what exactly was wrong
};

// Reads the settings file into `s`. On failure the file is moved aside to
// "<file>.bad" (replacing an older one) so the next start asks for a fresh
// download, unless it could not be opened at all; the result says what to
// show. Special operations are not applied here (Special_Operations).
SetupReadResult Setup_Read(const std::string& settingsPath, Settings& s);

// Applies one settings line (exposed for tests and benchmarks). False when the
// line is an error of the file; `detail` says why.
bool Setup_ApplyLine(Settings& s, const std::string& line, std::string& detail);

// Appends "136 " & address to the settings file, after a line break when the
// file does not end with one. False on an I/O error.
bool TerminalIP_Save(const std::string& settingsPath, const std::string& address);

// Language column the texts are read from: 2 for French, English otherwise.
inline int TextLanguage(const Settings& s) { return s.gLanguage == 2 ? 2 : 1; }

// The message in the current language ("" when it has no entry).
inline const std::string& Msg(Message m) { return MessageText(gConstants.tables, m, TextLanguage(gSettings)); }

}  // namespace tarvo
