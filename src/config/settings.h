// The terminal's settings: the values read from <files path>.SET by
// Setup_Read, their defaults (Setup_Initialize), the department-key and
// payment-type records, and the values of the special-operations string.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <string>

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

struct Settings {
    // --- single-value codes -------------------------------------------------
    std::string gRegisterId;                                                // 100
    std::string gSiteId;                                                    // 101
    std::string gConnectionMode = "1";                                      // 105
    std::array<std::string, 6> gAutoSendTime{"01:00", "", "", "", "", ""};  // 115-120
    std::string gCommInterval = "999999";                                   // 125
    std::string gCommWindowStart, gCommWindowEnd;                           // 130, 135
    std::string gTerminalIP;                                                // 136
    std::string gCardBackend = "1";                                         // 140
    std::string gCardTimeout = "120";                                       // 141
    std::string gCardEnabled = "0";                                         // 142
    std::string gCardCopies = "1";                                          // 143
    std::string gCardSimulate = "0";                                        // 144
    std::string gCardAvs;                                                   // 145
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
    std::string gProductKeyMode = "0";                                      // 250
    std::string gDefaultClient = "1";                                       // 255
    std::string gClientEntryOption = "1";                                   // 256
    std::string gPayBalanceOnTotal = "0";                                   // 260
    std::string gLogoutAfterSale = "0";                                     // 265
    std::string gReportOption = "False";                                    // 270 (text form of a flag)
    std::string gOpenBalanceAllowed = "0";                                  // 275
    std::string gRefundTenderRule;                                          // 276
    std::int16_t gVoidLastReenters = 0;                                     // 280
    std::int16_t gKeyboardHints = 0;                                        // 285
    std::array<std::string, 3> gTaxName;                                    // 300, 310, 320
    std::array<double, 3> gTaxDefaultRate{};                                // 305, 315, 325
    std::string gTax2IncludesTax1 = "0";                                    // 330
    std::string gTax3IncludesTax1 = "0";                                    // 335
    std::string gTax3IncludesTax2 = "0";                                    // 340
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
    std::string gSystemOption500 = "0", gSystemOption510 = "0", gSystemOption515 = "0", gSystemOption525 = "0";
    std::string gTaxExemptCheck = "0";  // 505
    std::string gPrintOption530 = "0", gPrintOption535 = "0", gPrintOption540 = "0";
    std::string gSystemPageCode;             // 545
    std::map<int, std::string> gScreenText;  // 600-609, 610, 615, 620, 625, 630, 635 by code
    std::string gExtrasPageOn = "0";         // 640
    std::string gExtrasNeedsManager = "0";   // 641
    std::string gKeyOption642 = "0", gKeyOption643 = "0", gKeyOption645 = "0";
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
    std::string gPrinterType = "0";                  // 880
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
