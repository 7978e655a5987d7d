#include "config/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include "common/cp1252.h"
#include "data/log.h"
#include "platform/files.h"
#include "program_state.h"
#include "register_mode_print.h"
#include "startup/settings_load.h"
#include "test_dir.h"

namespace tarvo {
namespace {

// Ten neutral lines so a file passes the minimum-length rule.
std::vector<std::string> Filler(int n = 10) { return std::vector<std::string>(static_cast<std::size_t>(n), "999 x"); }

std::string Join(const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
    std::string s;
    for (const auto& l : lines) s += l + eol;
    return s;
}

class SettingsTest : public ::testing::Test {
protected:
    // Reads a settings file made of `lines` plus filler.
    SetupReadResult Read(std::vector<std::string> lines, const std::string& eol = "\r\n") {
        auto f = Filler();
        lines.insert(lines.end(), f.begin(), f.end());
        dir.Write("T.SET", Join(lines, eol));
        return Setup_Read(path, s);
    }
    TestDir dir;
    std::string path = dir / "T.SET";
    Settings s;
};

TEST_F(SettingsTest, DefaultsWithoutAnyKnownCode) {
    ASSERT_TRUE(Read({}).ok);
    EXPECT_EQ(s.gConnectionMode, ConnectionMode::DialUp);
    EXPECT_EQ(s.gAutoSendTime[0], "01:00");
    EXPECT_EQ(s.gAutoSendTime[1], "");
    EXPECT_EQ(s.gCommInterval, "999999");
    EXPECT_EQ(s.gLanguage, 1);
    EXPECT_EQ(s.gHomeMode, RegisterMode::Sales);
    EXPECT_EQ(s.gWeightUnit, "Lb");
    EXPECT_FALSE(s.gReportOption);
    EXPECT_EQ(s.gCardBackend, CardBackend::ExchangeFiles);
    EXPECT_FALSE(s.gCardEnabled);
    EXPECT_EQ(s.gCardCopies, CardCopies::One);
    EXPECT_EQ(s.gProductKeyMode, ProductKey::Number);
    EXPECT_TRUE(s.gClientEntryOption);
    EXPECT_FALSE(s.gSystemOption500);
    EXPECT_FALSE(s.gTaxExemptCheck);
    EXPECT_EQ(s.gPrinterType, PrinterType::Off);
    EXPECT_EQ(s.gPrinterTypeText, "0");
    EXPECT_TRUE(s.gAskPurchaseCost);
    EXPECT_TRUE(s.gDrawerAtOpening);
    EXPECT_FALSE(s.gNoOrderPrint);
    EXPECT_EQ(s.gCostDisplay, 1);
    EXPECT_EQ(s.gDefaultKeyPage, 1);
    EXPECT_EQ(s.gPageColour[7], "12648447");
    EXPECT_EQ(s.gMenuKeyColour, "16761087");
    EXPECT_EQ(s.gEndSaleDelay, 6000);
    EXPECT_EQ(s.gOrderTypeDefault, "1");
    EXPECT_EQ(s.gDebugMode, "0");
    for (int i = 1; i <= 23; ++i) EXPECT_EQ(s.PaymentTypes[i].Active, "1") << i;
    EXPECT_EQ(s.PaymentTypes[0].Active, "");
    EXPECT_EQ(s.PaymentTypes[24].Active, "");
}

TEST_F(SettingsTest, EveryConversionKind) {
    struct Case {
        std::string line;
        std::function<void(const Settings&)> check;
    };
    std::vector<Case> cases = {
        // text: untouched, blanks kept
        {"220  Store  A ", [](const Settings& x) { EXPECT_EQ(x.gTerminalDescription, " Store  A "); }},
        {"105 2", [](const Settings& x) { EXPECT_EQ(x.gConnectionMode, ConnectionMode::Interval); }},
        {"118 14:30", [](const Settings& x) { EXPECT_EQ(x.gAutoSendTime[3], "14:30"); }},
        // trimmed
        {"255   42  ", [](const Settings& x) { EXPECT_EQ(x.gDefaultClient, "42"); }},
        {"990  03 1011 ", [](const Settings& x) { EXPECT_EQ(x.gSpecialOperations, "03 1011"); }},
        {"840  27 ", [](const Settings& x) { EXPECT_EQ(x.gPrinterCodeValues[5], "27"); }},
        // flag: the whole value equals "1"
        {"162 1 ", [](const Settings& x) { EXPECT_FALSE(x.gAskPurchaseCost); }},
        {"162 0", [](const Settings& x) { EXPECT_FALSE(x.gAskPurchaseCost); }},
        {"162 1", [](const Settings& x) { EXPECT_TRUE(x.gAskPurchaseCost); }},
        {"167 1", [](const Settings& x) { EXPECT_TRUE(x.gZeroOpening); }},
        {"646 1", [](const Settings& x) { EXPECT_TRUE(x.gCountBeforeCashierReport); }},
        {"810 1", [](const Settings& x) { EXPECT_TRUE(x.gPrintCashier); }},
        {"811 1", [](const Settings& x) { EXPECT_TRUE(x.gPrintOption811); }},
        {"815 0", [](const Settings& x) { EXPECT_FALSE(x.gPrintSalesman); }},
        {"820 1", [](const Settings& x) { EXPECT_TRUE(x.gPrintClient); }},
        {"825 1 ", [](const Settings& x) { EXPECT_FALSE(x.gPrintFooter); }},
        // flag, first character
        {"885 1abc", [](const Settings& x) { EXPECT_TRUE(x.gSortProducts); }},
        {"890 01", [](const Settings& x) { EXPECT_FALSE(x.gSortClients); }},
        {"895 1", [](const Settings& x) { EXPECT_TRUE(x.gAutoClockOut); }},
        // not-flag
        {"166 1", [](const Settings& x) { EXPECT_FALSE(x.gNoOrderPrint); }},
        {"166 0", [](const Settings& x) { EXPECT_TRUE(x.gNoOrderPrint); }},
        {"166 yes", [](const Settings& x) { EXPECT_TRUE(x.gNoOrderPrint); }},
        // 168 reads the other way round: "1" opens the drawer at the opening
        // amount, any other value keeps it shut.
        {"168 0", [](const Settings& x) { EXPECT_FALSE(x.gDrawerAtOpening); }},
        {"168 1", [](const Settings& x) { EXPECT_TRUE(x.gDrawerAtOpening); }},
        // numbers
        {"200 2", [](const Settings& x) { EXPECT_EQ(x.gLanguage, 2); }},
        {"200  2abc", [](const Settings& x) { EXPECT_EQ(x.gLanguage, 2); }},
        {"200 x", [](const Settings& x) { EXPECT_EQ(x.gLanguage, 0); }},
        {"305 14.975", [](const Settings& x) { EXPECT_DOUBLE_EQ(x.gTaxDefaultRate[0], 14.975); }},
        {"325 9.5%", [](const Settings& x) { EXPECT_DOUBLE_EQ(x.gTaxDefaultRate[2], 9.5); }},
        {"485 27", [](const Settings& x) { EXPECT_EQ(x.gHomeMode, RegisterMode::PriceChecker); }},
        {"485 42", [](const Settings& x) { EXPECT_EQ(static_cast<int>(x.gHomeMode), 42); }},  // no name: kept as it is
        // strict integers
        {"280 1", [](const Settings& x) { EXPECT_EQ(x.gVoidLastReenters, 1); }},
        {"285  1 ", [](const Settings& x) { EXPECT_EQ(x.gKeyboardHints, 1); }},
        {"905 2.5", [](const Settings& x) { EXPECT_EQ(x.gWidePaper, 2); }},
        {"905 3.5", [](const Settings& x) { EXPECT_EQ(x.gWidePaper, 4); }},
        {"470 16777215", [](const Settings& x) { EXPECT_EQ(x.gGreetingForeColour, 16777215); }},
        {"476 7", [](const Settings& x) { EXPECT_EQ(x.gDisplayPort, 7); }},
        // columns 5-6 / column 5 only
        {"480 0", [](const Settings& x) { EXPECT_EQ(x.gDefaultKeyPage, 1); }},
        {"480 7x9", [](const Settings& x) { EXPECT_EQ(x.gDefaultKeyPage, 7); }},
        {"480 123", [](const Settings& x) { EXPECT_EQ(x.gDefaultKeyPage, 12); }},
        {"481 35", [](const Settings& x) { EXPECT_EQ(x.gScalePort, 3); }},
        // special forms
        {"160 1", [](const Settings& x) { EXPECT_EQ(x.gCostDisplay, 1); }},
        {"161 1", [](const Settings& x) { EXPECT_EQ(x.gCostDisplay, 2); }},
        {"161 0", [](const Settings& x) { EXPECT_EQ(x.gCostDisplay, 1); }},
        {"270 1", [](const Settings& x) { EXPECT_TRUE(x.gReportOption); }},
        {"270 0", [](const Settings& x) { EXPECT_FALSE(x.gReportOption); }},
        {"900 22:00",
         [](const Settings& x) {
             EXPECT_EQ(x.gClosingTime, "2200");
             EXPECT_EQ(x.gClosingTimeNext, "23:00");
         }},
        {"900 23:30",
         [](const Settings& x) {
             EXPECT_EQ(x.gClosingTime, "2330");
             EXPECT_EQ(x.gClosingTimeNext, "00:30");
         }},
        {"900  9:15",
         [](const Settings& x) {
             EXPECT_EQ(x.gClosingTime, "0915");
             EXPECT_EQ(x.gClosingTimeNext, "10:15");
         }},
        {"413 255", [](const Settings& x) { EXPECT_EQ(x.gPageColour[6], "255"); }},
        {"425 65280", [](const Settings& x) { EXPECT_EQ(x.gPageColour[3], "65280"); }},
        {"635 Hello", [](const Settings& x) { EXPECT_EQ(x.gScreenText.at(635), "Hello"); }},
        {"365 Case D", [](const Settings& x) { EXPECT_EQ(x.gCaseLabel[3], "Case D"); }},
        {"834 Bye", [](const Settings& x) { EXPECT_EQ(x.gFooterLine[4], "Bye"); }},
        // unknown codes and lines without a code are ignored
        {"123 whatever", [](const Settings& x) { EXPECT_EQ(x.gConnectionMode, ConnectionMode::DialUp); }},
        {"", [](const Settings& x) { EXPECT_EQ(x.gLanguage, 1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(Read({c.line}).ok);
        c.check(s);
    }
}

// Each flag and each setting of several values is read once, as the file
// gives it; every other text reads as the comparisons of the register always
// took it.
TEST_F(SettingsTest, FlagsAndChoicesReadAsTheFileValues) {
    using K = ProductKey;
    const ProductKeyMode number = K::Number, barCode = K::BarCode;
    struct Case {
        std::string line;
        std::function<void(const Settings&)> check;
    };
    auto backend = [](CardBackend b) { return [b](const Settings& x) { EXPECT_EQ(x.gCardBackend, b); }; };
    auto connection = [](ConnectionMode m) { return [m](const Settings& x) { EXPECT_EQ(x.gConnectionMode, m); }; };
    auto copies = [](CardCopies c) { return [c](const Settings& x) { EXPECT_EQ(x.gCardCopies, c); }; };
    auto key = [](ProductKeyMode m) { return [m](const Settings& x) { EXPECT_EQ(x.gProductKeyMode, m); }; };
    auto printer = [](PrinterType t, std::string text) {
        return [t, text](const Settings& x) {
            EXPECT_EQ(x.gPrinterType, t);
            EXPECT_EQ(x.gPrinterTypeText, text);
        };
    };
    auto flag = [](bool Settings::*field, bool on) {
        return [field, on](const Settings& x) { EXPECT_EQ(x.*field, on); };
    };
    const std::vector<Case> cases = {
        // 105: "1" dial-up, "2" interval, anything else online
        {"105 1", connection(ConnectionMode::DialUp)},
        {"105 2", connection(ConnectionMode::Interval)},
        {"105 0", connection(ConnectionMode::Online)},
        {"105 3", connection(ConnectionMode::Online)},
        {"105 ", connection(ConnectionMode::Online)},
        {"105 2 ", connection(ConnectionMode::Online)},
        {"105 1 ", connection(ConnectionMode::OnlineNoTerminalMail)},
        {"105  1", connection(ConnectionMode::OnlineNoTerminalMail)},
        // 140: "1" the exchange files, "2" the terminal, "3" the gateway
        {"140 1", backend(CardBackend::ExchangeFiles)},
        {"140 2", backend(CardBackend::Terminal)},
        {"140 3", backend(CardBackend::Gateway)},
        {"140 7", backend(CardBackend::Unknown)},
        {"140 ", backend(CardBackend::Unknown)},
        {"140 02", backend(CardBackend::Unknown)},
        {"140 2 ", backend(CardBackend::Unknown)},
        // 143: "2" two copies, anything else one
        {"143 2", copies(CardCopies::Two)},
        {"143 1", copies(CardCopies::One)},
        {"143 3", copies(CardCopies::One)},
        {"143  2", copies(CardCopies::One)},
        // flags on for exactly "1"
        {"142 1", flag(&Settings::gCardEnabled, true)},
        {"142 0", flag(&Settings::gCardEnabled, false)},
        {"142 1 ", flag(&Settings::gCardEnabled, false)},
        {"142 yes", flag(&Settings::gCardEnabled, false)},
        {"144 1", flag(&Settings::gCardSimulate, true)},
        {"144 2", flag(&Settings::gCardSimulate, false)},
        {"145 1", flag(&Settings::gCardAvs, true)},
        {"145 ", flag(&Settings::gCardAvs, false)},
        {"260 1", flag(&Settings::gPayBalanceOnTotal, true)},
        {"260 0", flag(&Settings::gPayBalanceOnTotal, false)},
        {"265 1", flag(&Settings::gLogoutAfterSale, true)},
        {"265 01", flag(&Settings::gLogoutAfterSale, false)},
        {"270 1", flag(&Settings::gReportOption, true)},
        {"270 True", flag(&Settings::gReportOption, false)},
        {"275 1", flag(&Settings::gOpenBalanceAllowed, true)},
        {"275 3", flag(&Settings::gOpenBalanceAllowed, false)},
        {"276 1", flag(&Settings::gRefundTenderRule, true)},
        {"276 0", flag(&Settings::gRefundTenderRule, false)},
        {"330 1", flag(&Settings::gTax2IncludesTax1, true)},
        {"330 Y", flag(&Settings::gTax2IncludesTax1, false)},
        {"335 1", flag(&Settings::gTax3IncludesTax1, true)},
        {"335 Y", flag(&Settings::gTax3IncludesTax1, false)},
        {"340 1", flag(&Settings::gTax3IncludesTax2, true)},
        {"340 Y", flag(&Settings::gTax3IncludesTax2, false)},
        {"640 1", flag(&Settings::gExtrasPageOn, true)},
        {"640 0", flag(&Settings::gExtrasPageOn, false)},
        {"640 ", flag(&Settings::gExtrasPageOn, false)},
        {"641 1", flag(&Settings::gExtrasNeedsManager, true)},
        {"641 0", flag(&Settings::gExtrasNeedsManager, false)},
        {"642 1", flag(&Settings::gKeyOption642, true)},
        {"642 ", flag(&Settings::gKeyOption642, false)},
        {"643 1", flag(&Settings::gKeyOption643, true)},
        {"643 2", flag(&Settings::gKeyOption643, false)},
        {"645 1", flag(&Settings::gKeyOption645, true)},
        {"645 0", flag(&Settings::gKeyOption645, false)},
        // 256: "1" with blanks around it
        {"256 1", flag(&Settings::gClientEntryOption, true)},
        {"256  1 ", flag(&Settings::gClientEntryOption, true)},
        {"256 0", flag(&Settings::gClientEntryOption, false)},
        {"256 ", flag(&Settings::gClientEntryOption, false)},
        // flags on for anything but "0"
        {"500 0", flag(&Settings::gSystemOption500, false)},
        {"500 1", flag(&Settings::gSystemOption500, true)},
        {"500 ", flag(&Settings::gSystemOption500, true)},
        {"505 0", flag(&Settings::gTaxExemptCheck, false)},
        {"505 x", flag(&Settings::gTaxExemptCheck, true)},
        {"510 0", flag(&Settings::gSystemOption510, false)},
        {"510 2", flag(&Settings::gSystemOption510, true)},
        {"515 0", flag(&Settings::gSystemOption515, false)},
        {"515 00", flag(&Settings::gSystemOption515, true)},
        {"525 0", flag(&Settings::gSystemOption525, false)},
        {"525 0 ", flag(&Settings::gSystemOption525, true)},
        // 250: compared as text, read as a number, read as a whole number
        {"250 0", key(number)},
        {"250 1", key(barCode)},
        {"250 9", key({K::Other, K::Other, K::BarCode})},
        {"250 2", key({K::Other, K::Other, K::BarCode})},
        {"250 00", key({K::Other, K::Number, K::Number})},
        {"250 0 ", key({K::Other, K::Number, K::Number})},
        {"250 01", key({K::Other, K::BarCode, K::BarCode})},
        {"250 1x", key({K::Other, K::BarCode, std::nullopt})},
        {"250 A", key({K::Other, K::Number, std::nullopt})},
        {"250 ", key({K::Other, K::Number, std::nullopt})},
        {"250 0.4", key({K::Other, K::Other, K::Number})},
        {"250 2x", key({K::Other, K::Other, std::nullopt})},
        {"250 99999", key({K::Other, K::Other, std::nullopt})},
        // 880: the type and its text, which the printer test names
        {"880 0", printer(PrinterType::Off, "0")},
        {"880 1", printer(PrinterType::Lpt1, "1")},
        {"880 2", printer(PrinterType::Lpt2, "2")},
        {"880 3", printer(PrinterType::Com1, "3")},
        {"880 4", printer(PrinterType::Com2, "4")},
        {"880 5", printer(PrinterType::Lpt3, "5")},
        {"880 6", printer(PrinterType::Spooler, "6")},
        {"880 7", printer(PrinterType::Com3, "7")},
        {"880 8", printer(PrinterType::Com4, "8")},
        {"880 9", printer(PrinterType::Com5, "9")},
        {"880 10", printer(PrinterType::Com6, "10")},
        {"880 20", printer(PrinterType::Screen, "20")},
        {"880 11", printer(PrinterType::Lpt1, "11")},
        {"880 06", printer(PrinterType::Lpt1, "06")},
        {"880  6", printer(PrinterType::Lpt1, " 6")},
        {"880 ", printer(PrinterType::Lpt1, "")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.line + "\"");
        ASSERT_TRUE(Read({c.line}).ok);
        c.check(s);
    }
}

TEST_F(SettingsTest, LastLineOfACodeWinsAndEveryLineEndWorks) {
    for (const std::string eol : {"\r\n", "\r", "\n"}) {
        SCOPED_TRACE(testing::PrintToString(eol));
        ASSERT_TRUE(Read({"200 2", "220 First", "200 1", "220 Second"}, eol).ok);
        EXPECT_EQ(s.gLanguage, 1);
        EXPECT_EQ(s.gTerminalDescription, "Second");  // no CR left in a value
    }
    // mixed endings and a UTF-8 byte-order mark at the start
    dir.Write("T.SET", "\xEF\xBB\xBF"
                       "220 Mixed\r" +
                           Join(Filler(), "\n") + "105 2\r\n");
    ASSERT_TRUE(Setup_Read(path, s).ok);
    EXPECT_EQ(s.gTerminalDescription, "Mixed");
    EXPECT_EQ(s.gConnectionMode, ConnectionMode::Interval);
}

TEST_F(SettingsTest, ExactlyTenLinesIsEnoughNineIsNot) {
    dir.Write("T.SET", Join(Filler(10)));
    EXPECT_TRUE(Setup_Read(path, s).ok);
    dir.Write("T.SET", Join({"999 a", "999 b", "999 c", "999 d", "999 e", "999 f", "999 g", "999 h", "220 x"}));
    auto r = Setup_Read(path, s);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, 220);
    EXPECT_EQ(r.message, "An error is detected in setup file in line 220. Ask for a new download from head office.");
}

TEST_F(SettingsTest, FailureMovesTheFileAsideAndNamesTheCode) {
    struct Case {
        std::string line;
        int code;
    } cases[] = {
        {"280 A", 280},
        {"285 ", 285},
        {"470 red", 470},
        {"476 99999", 476},
        {"479 1x", 479},
        {"905 x", 905},
        {"200 40000", 200},
        {"485 -40000", 485},
        {"650 401 Caption1   Caption2   P 12345", 650},
        {"700 ABC Cash" + std::string(80, ' ') + "1", 700},
        {"700 025 Cash" + std::string(80, ' ') + "1", 700},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        dir.Write("T.SET.bad", "an older bad file");
        auto r = Read({"220 before", c.line});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.message, "An error is detected in setup file in line " + std::to_string(c.code) +
                                 ". Ask for a new download from head office.");
        EXPECT_FALSE(FileExists(path));  // the next start downloads a new one
        std::string bad = dir.Read("T.SET.bad");
        EXPECT_NE(bad.find(c.line), std::string::npos);  // kept for the store's IT person, replacing the older
    }
}

TEST_F(SettingsTest, FileThatCannotBeOpenedIsLeftAlone) {
    auto r = Setup_Read(dir / "missing.SET", s);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.detail.find("cannot be opened"), std::string::npos);
    if (::geteuid() != 0) {  // root reads anything
        dir.Write("T.SET", Join(Filler()));
        ::chmod(path.c_str(), 0);
        EXPECT_FALSE(Setup_Read(path, s).ok);
        EXPECT_TRUE(FileExists(path));
    }
}

TEST_F(SettingsTest, DepartmentKeyRecords) {
    // 33 characters: ignored; 34: Target is columns 33-34
    std::string l33 = "650 001 Grocery    Aisle 1    D 1";
    std::string l34 = "650 002 Produce    Fresh      P 12";
    ASSERT_EQ(l33.size(), 33u);
    ASSERT_EQ(l34.size(), 34u);
    ASSERT_TRUE(Read({l33, l34, "651 003 Dairy                 D 30   ", "651 005 First      X          P 11",
                      "650 005 Second     Y          D 22", "650 ABC Letters    Z          D 99"})
                    .ok);
    EXPECT_EQ(s.Departments[1].Caption1, "");
    EXPECT_EQ(s.Departments[2].Number, "002");
    EXPECT_EQ(s.Departments[2].Caption1, "Produce");
    EXPECT_EQ(s.Departments[2].Caption2, "Fresh");
    EXPECT_EQ(s.Departments[2].KeyKind, "P");
    EXPECT_EQ(s.Departments[2].Target, "12");
    EXPECT_EQ(s.Departments[3].Caption2, "");
    EXPECT_EQ(s.Departments[3].Target, "30");
    EXPECT_EQ(s.Departments[5].Caption1, "Second");  // the later record wins, 650 or 651 alike
    EXPECT_EQ(s.Departments[5].Target, "22");
    EXPECT_EQ(s.Departments[0].Caption1, "Letters");  // no number: index 0
}

std::string PaymentLine(const std::string& num, const std::string& n1, const std::string& n2, const std::string& amount,
                        const std::string& cardType, char asIs, char ref, char change, const std::string& rate,
                        const std::string& code, const std::string& changeType, const std::string& active) {
    auto pad = [](std::string v, std::size_t w) {
        v.resize(w, ' ');
        return v;
    };
    std::string l = "700 " + num + " " + pad(n1, 10) + " " + pad(n2, 10) + " " + std::string(12 - amount.size(), ' ') +
                    amount + " " + pad(cardType, 10) + "   " + asIs + " " + ref + " " + change + " " + pad(rate, 10) +
                    pad(code, 8) + " " + pad(changeType, 8) + " " + active;
    return l;
}

TEST_F(SettingsTest, PaymentTypeRecords) {
    std::string cash = PaymentLine("001", "Cash", "", "0", "1", '0', '0', ' ', "0", "", "", "1");
    std::string usd = PaymentLine("003", "US", "Dollar", "12.5", "4", '1', '1', '1', "30.25", "EXCH", "1", "1");
    std::string noDrawer = PaymentLine("002", "Card", "", "0", "2", '0', '0', '2', "0", "", "", "");
    noDrawer.resize(85, ' ');
    ASSERT_EQ(cash.size(), 91u);
    ASSERT_TRUE(Read({cash, usd, noDrawer, " 700 004 too short"}).ok);
    const PaymentType& u = s.PaymentTypes[3];
    EXPECT_EQ(u.Number, "003");
    EXPECT_EQ(u.Name1, "US");
    EXPECT_EQ(u.Name2, "Dollar");
    EXPECT_EQ(u.Amount, *Money::Parse("12.5"));
    EXPECT_EQ(u.CardType, "4");
    EXPECT_EQ(u.AmountAsIs, "1");
    EXPECT_EQ(u.PromptReference, "1");
    EXPECT_EQ(u.ChangeMode, "1");
    EXPECT_DOUBLE_EQ(u.Rate, 30.25);
    EXPECT_EQ(u.Code, "EXCH");
    EXPECT_EQ(u.ChangeType, "1");
    EXPECT_EQ(u.Active, "1");
    EXPECT_EQ(s.PaymentTypes[1].ChangeMode, " ");
    EXPECT_EQ(s.PaymentTypes[2].Active, "");  // 85 characters: the tender opens no drawer
    EXPECT_EQ(s.PaymentTypes[2].Name1, "Card");
    EXPECT_EQ(s.PaymentTypes[4].Active, "1");  // short line skipped: default kept
    // index as a whole number with blanks around
    ASSERT_TRUE(Read({PaymentLine(" 7 ", "Seven", "", "0", "", '0', '0', ' ', "0", "", "", "1")}).ok);
    EXPECT_EQ(s.PaymentTypes[7].Name1, "Seven");
}

TEST_F(SettingsTest, TerminalAddressAppendedLineWinsNextTime) {
    dir.Write("T.SET", Join(Filler()) + "136 10.0.0.5");  // no line end at the end
    ASSERT_TRUE(TerminalIP_Save(path, "10.0.0.9"));
    ASSERT_TRUE(Setup_Read(path, s).ok);
    EXPECT_EQ(s.gTerminalIP, "10.0.0.9");
    EXPECT_NE(dir.Read("T.SET").find("136 10.0.0.5\r\n136 10.0.0.9\r\n"), std::string::npos);
    ASSERT_TRUE(TerminalIP_Save(path, "10.0.0.10"));
    EXPECT_NE(dir.Read("T.SET").find("136 10.0.0.9\r\n136 10.0.0.10\r\n"), std::string::npos);
}

TEST_F(SettingsTest, TheTerminalAddressIsNeverAppendedThroughALink) {
    TestDir outside;
    const std::string target = outside.Write("elsewhere.SET", "keep");
    std::filesystem::create_symlink(target, path);
    EXPECT_FALSE(TerminalIP_Save(path, "10.0.0.9"));
    EXPECT_EQ(outside.Read("elsewhere.SET"), "keep");
}

TEST(SettingsLanguage, OnlyTwoSelectsFrench) {
    Settings s;
    for (int lang : {0, 1, 3, 5, -1}) {
        s.gLanguage = static_cast<std::int16_t>(lang);
        EXPECT_EQ(TextLanguage(s), 1) << lang;
    }
    s.gLanguage = 2;
    EXPECT_EQ(TextLanguage(s), 2);
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// The settings-failure box shows the message as the reader built it: logging
// it never pads the caller's text.
TEST(SettingsLoadTest, TheFailureMessageIsShownAsBuiltAndLogged) {
    ResetProgramState();
    TestDir dir;
    SetTerminalPaths(gConstants.paths, dir.Path(), "1234567");
    dir.Write("Files/1234567.SET", "280 A\r\n");
    ProgramLog().Open(dir / "Files/1234567.LOG");
    const SettingsLoad r = Settings_Load();
    ProgramLog().Close();
    EXPECT_FALSE(r.ok);
    const std::string text = "An error is detected in setup file in line 280. Ask for a new download from head office.";
    EXPECT_EQ(r.message, text);
    EXPECT_NE(dir.Read("Files/1234567.LOG").find(text), std::string::npos);
    gSettings = Settings{};
}

}  // namespace
}  // namespace tarvo
