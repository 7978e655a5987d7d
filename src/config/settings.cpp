#include "config/settings.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <utility>

#include "common/fields.h"
#include "common/line_reader.h"
#include "common/numbers.h"
#include "platform/files.h"

namespace tarvo {

Settings gSettings;

namespace {

std::string Mid(const std::string& s, std::size_t start, std::size_t len = std::string::npos) {
    return std::string(tarvo::Mid(std::string_view(s), start, len));
}

std::string RTrim(const std::string& s) { return std::string(TrimRightView(s)); }

std::string LTrim(const std::string& s) {
    std::size_t b = s.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b);
}

bool NumberToInt16(const std::string& text, std::int16_t& out) {
    auto v = Num_ToInteger(Num_Val(text), -32768, 32767);
    if (!v) return false;
    out = static_cast<std::int16_t>(*v);
    return true;
}

bool StrictInt16(const std::string& text, std::int16_t& out) {
    auto v = Num_ReadStrictInteger(text, -32768, 32767);
    if (!v) return false;
    out = static_cast<std::int16_t>(*v);
    return true;
}

bool StrictInt32(const std::string& text, std::int32_t& out) {
    auto v = Num_ReadStrictInteger(text, INT32_MIN, INT32_MAX);
    if (!v) return false;
    out = static_cast<std::int32_t>(*v);
    return true;
}

std::string TwoDigits(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}

void ClosingTime(Settings& s, const std::string& value) {
    std::string t = LTrim(value);
    if (t.size() < 5) t.insert(0, 5 - t.size(), '0');
    s.gClosingTime = Mid(t, 1, 2) + Mid(t, 4, 2);
    int next = (static_cast<int>(Num_Val(Mid(t, 1, 2))) + 1) % 24;
    s.gClosingTimeNext = TwoDigits(next) + ":" + Mid(t, 4, 2);
}

bool DepartmentRecord(Settings& s, const std::string& line, std::string& detail) {
    if (line.size() <= 33) return true;
    auto idx = Num_ToInteger(Num_Val(Mid(line, 5, 3)), -32768, 32767);
    if (!idx || *idx < 0 || *idx > 400) {
        detail = "department key number out of range: \"" + Mid(line, 5, 3) + "\"";
        return false;
    }
    DepartmentKey& d = s.Departments[static_cast<std::size_t>(*idx)];
    d.Number = Mid(line, 5, 3);
    d.Caption1 = RTrim(Mid(line, 9, 10));
    d.Caption2 = RTrim(Mid(line, 20, 10));
    d.KeyKind = Mid(line, 31, 1);
    d.Target = RTrim(Mid(line, 33));
    return true;
}

bool PaymentRecord(Settings& s, const std::string& line, std::string& detail) {
    if (line.size() <= 82) return true;
    auto idx = Num_ReadStrictInteger(Mid(line, 5, 3), -32768, 32767);
    if (!idx || *idx < 0 || *idx > 24) {
        detail = "payment type number is no number or out of range: \"" + Mid(line, 5, 3) + "\"";
        return false;
    }
    PaymentType& p = s.PaymentTypes[static_cast<std::size_t>(*idx)];
    auto amount = Money::Parse(Mid(line, 31, 12));
    if (!amount) {
        detail = "payment type amount too large";
        return false;
    }
    p.Number = Mid(line, 5, 3);
    p.Name1 = RTrim(Mid(line, 9, 10));
    p.Name2 = RTrim(Mid(line, 20, 10));
    p.Amount = *amount;
    p.CardType = RTrim(Mid(line, 44, 10));
    p.AmountAsIs = Mid(line, 57, 1);
    p.PromptReference = Mid(line, 59, 1);
    p.ChangeMode = Mid(line, 61, 1);
    p.Rate = Num_Val(Mid(line, 63, 10));
    p.Code = RTrim(Mid(line, 73, 8));
    p.ChangeType = RTrim(Mid(line, 82, 8));
    p.Active = RTrim(Mid(line, 91, 1));
    return true;
}

// Index of a department-page colour code (410, 415, 420, 425, 411-414), or -1.
int PageColourIndex(int code) {
    static const int codes[8] = {410, 415, 420, 425, 411, 412, 413, 414};
    for (int i = 0; i < 8; ++i)
        if (codes[i] == code) return i;
    return -1;
}

// ------------------------------------------------------------ the table

// One settings line as a reader of its value sees it.
struct SettingLine {
    int code;
    const std::string& line;   // the whole line
    const std::string& value;  // from column 5
    std::string& detail;       // why the line is an error of the file

    bool Bad(const char* what) const {
        detail = std::string(what) + ": \"" + value + "\"";
        return false;
    }
};

// Takes one line's value into its field; false when the line is an error.
using SettingParser = bool (*)(Settings&, const SettingLine&);

// The type of a field of Settings, so that a text is never stored in a flag
// (a bool converts to a character without a word from the compiler).
template <auto Field>
using FieldType = std::remove_reference_t<decltype(std::declval<Settings&>().*Field)>;

// The value as it stands.
template <auto Field>
bool Text(Settings& s, const SettingLine& l) {
    static_assert(std::is_same_v<FieldType<Field>, std::string>);
    s.*Field = l.value;
    return true;
}

// The value without its outer blanks.
template <auto Field>
bool Trimmed(Settings& s, const SettingLine& l) {
    static_assert(std::is_same_v<FieldType<Field>, std::string>);
    s.*Field = Trim(l.value);
    return true;
}

// Element `I` of an array of texts.
template <auto Field, std::size_t I>
bool TextAt(Settings& s, const SettingLine& l) {
    (s.*Field)[I] = l.value;
    return true;
}

// On when the value is exactly "1".
template <auto Field>
bool Flag(Settings& s, const SettingLine& l) {
    static_assert(std::is_same_v<FieldType<Field>, bool>);
    s.*Field = l.value == "1";
    return true;
}

// On unless the value is exactly "0".
template <auto Field>
bool UnlessZero(Settings& s, const SettingLine& l) {
    static_assert(std::is_same_v<FieldType<Field>, bool>);
    s.*Field = l.value != "0";
    return true;
}

// On when the value without its outer blanks is "1".
template <auto Field>
bool TrimmedFlag(Settings& s, const SettingLine& l) {
    static_assert(std::is_same_v<FieldType<Field>, bool>);
    s.*Field = Trim(l.value) == "1";
    return true;
}

// Off when the value is exactly "1" (a setting that says what not to do).
template <auto Field>
bool NotFlag(Settings& s, const SettingLine& l) {
    static_assert(std::is_same_v<FieldType<Field>, bool>);
    s.*Field = l.value != "1";
    return true;
}

// On when the first column of the value is "1", whatever follows.
template <auto Field>
bool FirstColumnFlag(Settings& s, const SettingLine& l) {
    static_assert(std::is_same_v<FieldType<Field>, bool>);
    s.*Field = Mid(l.line, 5, 1) == "1";
    return true;
}

// A lenient number that must fit 16 bits.
template <auto Field>
bool Number16(Settings& s, const SettingLine& l) {
    return NumberToInt16(l.value, s.*Field) || l.Bad("number too large");
}

// The home mode: a lenient number that must fit 16 bits, kept as the mode of
// that number whether or not the mode has a name.
bool HomeMode(Settings& s, const SettingLine& l) {
    std::int16_t number = 0;
    if (!NumberToInt16(l.value, number)) return l.Bad("number too large");
    s.gHomeMode = static_cast<RegisterMode>(number);
    return true;
}

// A whole number, nothing else.
template <auto Field>
bool Whole16(Settings& s, const SettingLine& l) {
    return StrictInt16(l.value, s.*Field) || l.Bad("not a whole number");
}

template <auto Field>
bool Whole32(Settings& s, const SettingLine& l) {
    return StrictInt32(l.value, s.*Field) || l.Bad("not a whole number");
}

template <std::size_t I>
bool TaxRate(Settings& s, const SettingLine& l) {
    s.gTaxDefaultRate[I] = Num_Val(l.value);
    return true;
}

// Codes 160 and 161 each switch one way of showing the cost on; "0" leaves it.
template <std::int16_t Display>
bool CostDisplay(Settings& s, const SettingLine& l) {
    if (l.value == "1") s.gCostDisplay = Display;
    return true;
}

// "1" with blanks around it is a dial-up to the terminal information mail
// only: the schedule and the sessions compare the value as it stands.
bool ConnectionModeOf(Settings& s, const SettingLine& l) {
    if (l.value == "1")
        s.gConnectionMode = ConnectionMode::DialUp;
    else if (l.value == "2")
        s.gConnectionMode = ConnectionMode::Interval;
    else if (Trim(l.value) == "1")
        s.gConnectionMode = ConnectionMode::OnlineNoTerminalMail;
    else
        s.gConnectionMode = ConnectionMode::Online;
    return true;
}

bool CardBackendOf(Settings& s, const SettingLine& l) {
    if (l.value == "1")
        s.gCardBackend = CardBackend::ExchangeFiles;
    else if (l.value == "2")
        s.gCardBackend = CardBackend::Terminal;
    else if (l.value == "3")
        s.gCardBackend = CardBackend::Gateway;
    else
        s.gCardBackend = CardBackend::Unknown;
    return true;
}

bool CardCopiesOf(Settings& s, const SettingLine& l) {
    s.gCardCopies = l.value == "2" ? CardCopies::Two : CardCopies::One;
    return true;
}

bool ProductKeyModeOf(Settings& s, const SettingLine& l) {
    s.gProductKeyMode = ProductKeyMode_Read(l.value);
    return true;
}

// Any value not in the list prints on LPT1; the text is kept as it stands
// for the printer test, which names it.
bool PrinterTypeOf(Settings& s, const SettingLine& l) {
    static const struct {
        const char* text;
        PrinterType type;
    } kTypes[] = {
        {"0", PrinterType::Off},  {"2", PrinterType::Lpt2},    {"3", PrinterType::Com1},    {"4", PrinterType::Com2},
        {"5", PrinterType::Lpt3}, {"6", PrinterType::Spooler}, {"7", PrinterType::Com3},    {"8", PrinterType::Com4},
        {"9", PrinterType::Com5}, {"10", PrinterType::Com6},   {"20", PrinterType::Screen},
    };
    s.gPrinterType = PrinterType::Lpt1;
    for (const auto& t : kTypes)
        if (l.value == t.text) s.gPrinterType = t.type;
    s.gPrinterTypeText = l.value;
    return true;
}

// The first two columns; a page below 1 is the first page.
bool DefaultKeyPage(Settings& s, const SettingLine& l) {
    NumberToInt16(Mid(l.line, 5, 2), s.gDefaultKeyPage);
    if (s.gDefaultKeyPage < 1) s.gDefaultKeyPage = 1;
    return true;
}

// The first column only.
bool ScalePort(Settings& s, const SettingLine& l) {
    NumberToInt16(Mid(l.line, 5, 1), s.gScalePort);
    return true;
}

bool PageColour(Settings& s, const SettingLine& l) {
    s.gPageColour[static_cast<std::size_t>(PageColourIndex(l.code))] = l.value;
    return true;
}

bool ScreenText(Settings& s, const SettingLine& l) {
    s.gScreenText[l.code] = l.value;
    return true;
}

bool Closing(Settings& s, const SettingLine& l) {
    ClosingTime(s, l.value);
    return true;
}

bool Department(Settings& s, const SettingLine& l) { return DepartmentRecord(s, l.line, l.detail); }
bool Payment(Settings& s, const SettingLine& l) { return PaymentRecord(s, l.line, l.detail); }

bool PrinterCode(Settings& s, const SettingLine& l) {
    s.gPrinterCodeValues[static_cast<std::size_t>(l.code - 835)] = Trim(l.value);
    return true;
}

struct SettingRow {
    int code;
    SettingParser parse;
};

// Every code the register reads, with its field and how its value is taken.
// Codes not listed are ignored.
constexpr SettingRow kSettingRows[] = {
    {100, Text<&Settings::gRegisterId>},
    {101, Text<&Settings::gSiteId>},
    {105, ConnectionModeOf},
    {115, TextAt<&Settings::gAutoSendTime, 0>},
    {116, TextAt<&Settings::gAutoSendTime, 1>},
    {117, TextAt<&Settings::gAutoSendTime, 2>},
    {118, TextAt<&Settings::gAutoSendTime, 3>},
    {119, TextAt<&Settings::gAutoSendTime, 4>},
    {120, TextAt<&Settings::gAutoSendTime, 5>},
    {125, Text<&Settings::gCommInterval>},
    {130, Text<&Settings::gCommWindowStart>},
    {135, Text<&Settings::gCommWindowEnd>},
    {136, Text<&Settings::gTerminalIP>},
    {140, CardBackendOf},
    {141, Text<&Settings::gCardTimeout>},
    {142, Flag<&Settings::gCardEnabled>},
    {143, CardCopiesOf},
    {144, Flag<&Settings::gCardSimulate>},
    {145, Flag<&Settings::gCardAvs>},
    {146, Text<&Settings::gGatewayUrl>},
    {148, Text<&Settings::gGatewayLogin>},
    {149, Text<&Settings::gGatewayKey>},
    {150, Text<&Settings::gOrderMinPaidPercent>},
    {155, Text<&Settings::gOrderFieldDefaultA>},
    {156, Text<&Settings::gOrderFieldDefaultB>},
    {160, CostDisplay<1>},
    {161, CostDisplay<2>},
    {162, Flag<&Settings::gAskPurchaseCost>},
    {163, Flag<&Settings::gAskPurchasePrice>},
    {164, Flag<&Settings::gAskPurchaseComment>},
    {165, Flag<&Settings::gVendorTaxExempt>},
    {166, NotFlag<&Settings::gNoOrderPrint>},
    {167, Flag<&Settings::gZeroOpening>},
    {168, Flag<&Settings::gDrawerAtOpening>},
    {169, Flag<&Settings::gNoItemsOnPaymentPage>},
    {170, Flag<&Settings::gCashRefundNeedsManager>},
    {171, Flag<&Settings::gNoReceiptForCash>},
    {172, Flag<&Settings::gGiftReceiptAlways>},
    {173, Flag<&Settings::gClientDiscountAllLines>},
    {200, Number16<&Settings::gLanguage>},
    {220, Text<&Settings::gTerminalDescription>},
    {250, ProductKeyModeOf},
    {255, Trimmed<&Settings::gDefaultClient>},
    {256, TrimmedFlag<&Settings::gClientEntryOption>},
    {260, Flag<&Settings::gPayBalanceOnTotal>},
    {265, Flag<&Settings::gLogoutAfterSale>},
    {270, Flag<&Settings::gReportOption>},
    {275, Flag<&Settings::gOpenBalanceAllowed>},
    {276, Flag<&Settings::gRefundTenderRule>},
    {280, Whole16<&Settings::gVoidLastReenters>},
    {285, Whole16<&Settings::gKeyboardHints>},
    {300, TextAt<&Settings::gTaxName, 0>},
    {310, TextAt<&Settings::gTaxName, 1>},
    {320, TextAt<&Settings::gTaxName, 2>},
    {305, TaxRate<0>},
    {315, TaxRate<1>},
    {325, TaxRate<2>},
    {330, Flag<&Settings::gTax2IncludesTax1>},
    {335, Flag<&Settings::gTax3IncludesTax1>},
    {340, Flag<&Settings::gTax3IncludesTax2>},
    {350, TextAt<&Settings::gCaseLabel, 0>},
    {355, TextAt<&Settings::gCaseLabel, 1>},
    {360, TextAt<&Settings::gCaseLabel, 2>},
    {365, TextAt<&Settings::gCaseLabel, 3>},
    {370, Text<&Settings::gSystemPageText>},
    {400, Text<&Settings::gColour400>},
    {405, Text<&Settings::gPaymentKeyColour>},
    {410, PageColour},
    {411, PageColour},
    {412, PageColour},
    {413, PageColour},
    {414, PageColour},
    {415, PageColour},
    {420, PageColour},
    {425, PageColour},
    {430, Text<&Settings::gColour430>},
    {440, Text<&Settings::gMenuKeyColour>},
    {445, Text<&Settings::gColour445>},
    {450, Text<&Settings::gColour450>},
    {455, Text<&Settings::gColour455>},
    {460, Text<&Settings::gEntryForeColour>},
    {465, Text<&Settings::gSelectedRowColour>},
    {470, Whole32<&Settings::gGreetingForeColour>},
    {476, Whole16<&Settings::gDisplayPort>},
    {477, Text<&Settings::gDisplayLine1>},
    {478, Text<&Settings::gDisplayLine2>},
    {479, Whole16<&Settings::gDisplayCommandSet>},
    {480, DefaultKeyPage},
    {481, ScalePort},
    {483, Text<&Settings::gWeightUnit>},
    {485, HomeMode},
    {500, UnlessZero<&Settings::gSystemOption500>},
    {505, UnlessZero<&Settings::gTaxExemptCheck>},
    {510, UnlessZero<&Settings::gSystemOption510>},
    {515, UnlessZero<&Settings::gSystemOption515>},
    {525, UnlessZero<&Settings::gSystemOption525>},
    {530, Text<&Settings::gPrintOption530>},
    {535, Text<&Settings::gPrintOption535>},
    {540, Text<&Settings::gPrintOption540>},
    {545, Text<&Settings::gSystemPageCode>},
    {600, ScreenText},
    {601, ScreenText},
    {602, ScreenText},
    {603, ScreenText},
    {604, ScreenText},
    {605, ScreenText},
    {606, ScreenText},
    {607, ScreenText},
    {608, ScreenText},
    {609, ScreenText},
    {610, ScreenText},
    {615, ScreenText},
    {620, ScreenText},
    {625, ScreenText},
    {630, ScreenText},
    {635, ScreenText},
    {640, Flag<&Settings::gExtrasPageOn>},
    {641, Flag<&Settings::gExtrasNeedsManager>},
    {642, Flag<&Settings::gKeyOption642>},
    {643, Flag<&Settings::gKeyOption643>},
    {644, Text<&Settings::gOnlineParameter644>},
    {645, Flag<&Settings::gKeyOption645>},
    {646, Flag<&Settings::gCountBeforeCashierReport>},
    {650, Department},
    {651, Department},
    {700, Payment},
    {805, TextAt<&Settings::gHeaderLine, 0>},
    {806, TextAt<&Settings::gHeaderLine, 1>},
    {807, TextAt<&Settings::gHeaderLine, 2>},
    {808, TextAt<&Settings::gHeaderLine, 3>},
    {809, TextAt<&Settings::gHeaderLine, 4>},
    {810, Flag<&Settings::gPrintCashier>},
    {811, Flag<&Settings::gPrintOption811>},
    {815, Flag<&Settings::gPrintSalesman>},
    {820, Flag<&Settings::gPrintClient>},
    {825, Flag<&Settings::gPrintFooter>},
    {830, TextAt<&Settings::gFooterLine, 0>},
    {831, TextAt<&Settings::gFooterLine, 1>},
    {832, TextAt<&Settings::gFooterLine, 2>},
    {833, TextAt<&Settings::gFooterLine, 3>},
    {834, TextAt<&Settings::gFooterLine, 4>},
    {880, PrinterTypeOf},
    {885, FirstColumnFlag<&Settings::gSortProducts>},
    {890, FirstColumnFlag<&Settings::gSortClients>},
    {895, FirstColumnFlag<&Settings::gAutoClockOut>},
    {900, Closing},
    {905, Whole16<&Settings::gWidePaper>},
    {990, Trimmed<&Settings::gSpecialOperations>},
};

constexpr int kFirstPrinterCode = 835, kLastPrinterCode = 876;

// The table by code, built once: a settings file has hundreds of lines.
class SettingIndex {
public:
    SettingIndex() {
        for (const SettingRow& row : kSettingRows) byCode_[static_cast<std::size_t>(row.code)] = row.parse;
        for (int c = kFirstPrinterCode; c <= kLastPrinterCode; ++c) byCode_[static_cast<std::size_t>(c)] = PrinterCode;
    }
    SettingParser Find(int code) const {
        if (code < 0 || static_cast<std::size_t>(code) >= byCode_.size()) return nullptr;
        return byCode_[static_cast<std::size_t>(code)];
    }

private:
    std::array<SettingParser, 1000> byCode_{};
};

}  // namespace

ProductKeyMode ProductKeyMode_Read(std::string_view value) {
    auto byValue = [](double v) {
        return v == 0 ? ProductKey::Number : v == 1 ? ProductKey::BarCode : ProductKey::Other;
    };
    ProductKeyMode m;
    m.asText = value == "0" ? ProductKey::Number : value == "1" ? ProductKey::BarCode : ProductKey::Other;
    m.asNumber = byValue(Num_Val(value));
    const std::optional<double> strict = Num_ReadStrict(value);
    const std::optional<std::int64_t> whole = strict ? Num_ToInteger(*strict, -32768, 32767) : std::nullopt;
    if (whole)
        m.asWholeNumber = *whole == 0 ? ProductKey::Number : ProductKey::BarCode;
    else
        m.asWholeNumber = std::nullopt;
    return m;
}

void Setup_Initialize(Settings& s) {
    s = Settings();
    for (int i = 1; i <= 23; ++i) s.PaymentTypes[static_cast<std::size_t>(i)].Active = "1";
}

bool Setup_ApplyLine(Settings& s, const std::string& line, std::string& detail) {
    auto code = Num_ToInteger(Num_Val(Mid(line, 1, 3)), -32768, 32767);
    s.gSettingCode = static_cast<std::int16_t>(code.value_or(0));
    static const SettingIndex index;
    const SettingParser parse = index.Find(s.gSettingCode);
    if (!parse) return true;
    const std::string v = Mid(line, 5);
    return parse(s, SettingLine{s.gSettingCode, line, v, detail});
}

SetupReadResult Setup_Read(const std::string& path, Settings& s) {
    SetupReadResult r;
    s.gSystemPageCode.clear();
    s.gSettingCode = 0;
    auto fail = [&](bool moveAside) {
        r.ok = false;
        r.code = s.gSettingCode;
        r.message = "An error is detected in setup file in line " + std::to_string(r.code) +
                    ". Ask for a new download from head office.";
        if (moveAside) {
            std::string bad = path + ".bad";
            if (std::rename(path.c_str(), bad.c_str()) != 0)
                r.detail += std::string("; cannot move it aside: ") + std::strerror(errno);
            else
                r.detail += "; moved aside to " + bad;
        }
        return r;
    };
    LineReader in;
    if (!in.Open(path, true)) {
        r.detail = std::string("settings file cannot be opened: ") + std::strerror(in.Error());
        return fail(false);
    }
    Setup_Initialize(s);
    std::string line;
    int count = 0;
    while (in.Next(line)) {
        ++count;
        std::string why;
        if (!Setup_ApplyLine(s, line, why)) {
            r.detail =
                "settings line " + std::to_string(count) + ", code " + std::to_string(s.gSettingCode) + ": " + why;
            return fail(true);
        }
    }
    if (in.Error() != 0) {
        r.detail = std::string("settings file cannot be read: ") + std::strerror(in.Error());
        return fail(false);
    }
    if (count < 10) {
        r.detail = "settings file has only " + std::to_string(count) + " lines";
        return fail(true);
    }
    r.ok = true;
    return r;
}

bool TerminalIP_Save(const std::string& path, const std::string& address) {
    // Never through a link: the settings file is the program's own.
    int fd = OpenOrCreatePrivate(path, O_RDWR | O_APPEND);
    if (fd < 0) return false;
    std::string out;
    off_t size = ::lseek(fd, 0, SEEK_END);
    if (size > 0) {
        char last = 0;
        if (::pread(fd, &last, 1, size - 1) == 1 && last != '\n' && last != '\r') out = "\r\n";
    }
    out += "136 " + address + "\r\n";
    bool ok = ::write(fd, out.data(), out.size()) == static_cast<ssize_t>(out.size());
    ok = (::fsync(fd) == 0) && ok;
    ::close(fd);
    return ok;
}

}  // namespace tarvo
