#include "config/settings.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

}  // namespace

void Setup_Initialize(Settings& s) {
    s = Settings();
    for (int i = 1; i <= 23; ++i) s.PaymentTypes[static_cast<std::size_t>(i)].Active = "1";
}

bool Setup_ApplyLine(Settings& s, const std::string& line, std::string& detail) {
    auto code = Num_ToInteger(Num_Val(Mid(line, 1, 3)), -32768, 32767);
    s.gSettingCode = static_cast<std::int16_t>(code.value_or(0));
    const int c = s.gSettingCode;
    const std::string v = Mid(line, 5);
    auto bad = [&](const char* what) {
        detail = std::string(what) + ": \"" + v + "\"";
        return false;
    };
    switch (c) {
    case 100: s.gRegisterId = v; break;
    case 101: s.gSiteId = v; break;
    case 105: s.gConnectionMode = v; break;
    case 115:
    case 116:
    case 117:
    case 118:
    case 119:
    case 120: s.gAutoSendTime[c - 115] = v; break;
    case 125: s.gCommInterval = v; break;
    case 130: s.gCommWindowStart = v; break;
    case 135: s.gCommWindowEnd = v; break;
    case 136: s.gTerminalIP = v; break;
    case 140: s.gCardBackend = v; break;
    case 141: s.gCardTimeout = v; break;
    case 142: s.gCardEnabled = v; break;
    case 143: s.gCardCopies = v; break;
    case 144: s.gCardSimulate = v; break;
    case 145: s.gCardAvs = v; break;
    case 146: s.gGatewayUrl = v; break;
    case 148: s.gGatewayLogin = v; break;
    case 149: s.gGatewayKey = v; break;
    case 150: s.gOrderMinPaidPercent = v; break;
    case 155: s.gOrderFieldDefaultA = v; break;
    case 156: s.gOrderFieldDefaultB = v; break;
    case 160:
        if (v == "1") s.gCostDisplay = 1;
        break;
    case 161:
        if (v == "1") s.gCostDisplay = 2;
        break;
    case 162: s.gAskPurchaseCost = v == "1"; break;
    case 163: s.gAskPurchasePrice = v == "1"; break;
    case 164: s.gAskPurchaseComment = v == "1"; break;
    case 165: s.gVendorTaxExempt = v == "1"; break;
    case 166: s.gNoOrderPrint = v != "1"; break;
    case 167: s.gZeroOpening = v == "1"; break;
    case 168: s.gDrawerAtOpening = v == "1"; break;
    case 169: s.gNoItemsOnPaymentPage = v == "1"; break;
    case 170: s.gCashRefundNeedsManager = v == "1"; break;
    case 171: s.gNoReceiptForCash = v == "1"; break;
    case 172: s.gGiftReceiptAlways = v == "1"; break;
    case 173: s.gClientDiscountAllLines = v == "1"; break;
    case 200:
        if (!NumberToInt16(v, s.gLanguage)) return bad("number too large");
        break;
    case 220: s.gTerminalDescription = v; break;
    case 250: s.gProductKeyMode = v; break;
    case 255: s.gDefaultClient = Trim(v); break;
    case 256: s.gClientEntryOption = Trim(v); break;
    case 260: s.gPayBalanceOnTotal = v; break;
    case 265: s.gLogoutAfterSale = v; break;
    case 270: s.gReportOption = v == "1" ? "True" : "False"; break;
    case 275: s.gOpenBalanceAllowed = v; break;
    case 276: s.gRefundTenderRule = v; break;
    case 280:
        if (!StrictInt16(v, s.gVoidLastReenters)) return bad("not a whole number");
        break;
    case 285:
        if (!StrictInt16(v, s.gKeyboardHints)) return bad("not a whole number");
        break;
    case 300:
    case 310:
    case 320: s.gTaxName[(c - 300) / 10] = v; break;
    case 305:
    case 315:
    case 325: s.gTaxDefaultRate[(c - 305) / 10] = Num_Val(v); break;
    case 330: s.gTax2IncludesTax1 = v; break;
    case 335: s.gTax3IncludesTax1 = v; break;
    case 340: s.gTax3IncludesTax2 = v; break;
    case 350:
    case 355:
    case 360:
    case 365: s.gCaseLabel[(c - 350) / 5] = v; break;
    case 370: s.gSystemPageText = v; break;
    case 400: s.gColour400 = v; break;
    case 405: s.gPaymentKeyColour = v; break;
    case 410:
    case 411:
    case 412:
    case 413:
    case 414:
    case 415:
    case 420:
    case 425: s.gPageColour[PageColourIndex(c)] = v; break;
    case 430: s.gColour430 = v; break;
    case 440: s.gMenuKeyColour = v; break;
    case 445: s.gColour445 = v; break;
    case 450: s.gColour450 = v; break;
    case 455: s.gColour455 = v; break;
    case 460: s.gEntryForeColour = v; break;
    case 465: s.gSelectedRowColour = v; break;
    case 470:
        if (!StrictInt32(v, s.gGreetingForeColour)) return bad("not a whole number");
        break;
    case 476:
        if (!StrictInt16(v, s.gDisplayPort)) return bad("not a whole number");
        break;
    case 477: s.gDisplayLine1 = v; break;
    case 478: s.gDisplayLine2 = v; break;
    case 479:
        if (!StrictInt16(v, s.gDisplayCommandSet)) return bad("not a whole number");
        break;
    case 480:
        NumberToInt16(Mid(line, 5, 2), s.gDefaultKeyPage);
        if (s.gDefaultKeyPage < 1) s.gDefaultKeyPage = 1;
        break;
    case 481: NumberToInt16(Mid(line, 5, 1), s.gScalePort); break;
    case 483: s.gWeightUnit = v; break;
    case 485:
        if (!NumberToInt16(v, s.gHomeMode)) return bad("number too large");
        break;
    case 500: s.gSystemOption500 = v; break;
    case 505: s.gTaxExemptCheck = v; break;
    case 510: s.gSystemOption510 = v; break;
    case 515: s.gSystemOption515 = v; break;
    case 525: s.gSystemOption525 = v; break;
    case 530: s.gPrintOption530 = v; break;
    case 535: s.gPrintOption535 = v; break;
    case 540: s.gPrintOption540 = v; break;
    case 545: s.gSystemPageCode = v; break;
    case 600:
    case 601:
    case 602:
    case 603:
    case 604:
    case 605:
    case 606:
    case 607:
    case 608:
    case 609:
    case 610:
    case 615:
    case 620:
    case 625:
    case 630:
    case 635: s.gScreenText[c] = v; break;
    case 640: s.gExtrasPageOn = v; break;
    case 641: s.gExtrasNeedsManager = v; break;
    case 642: s.gKeyOption642 = v; break;
    case 643: s.gKeyOption643 = v; break;
    case 644: s.gOnlineParameter644 = v; break;
    case 645: s.gKeyOption645 = v; break;
    case 646: s.gCountBeforeCashierReport = v == "1"; break;
    case 650:
    case 651: return DepartmentRecord(s, line, detail);
    case 700: return PaymentRecord(s, line, detail);
    case 805:
    case 806:
    case 807:
    case 808:
    case 809: s.gHeaderLine[c - 805] = v; break;
    case 810: s.gPrintCashier = v; break;
    case 811: s.gPrintOption811 = v; break;
    case 815: s.gPrintSalesman = v; break;
    case 820: s.gPrintClient = v; break;
    case 825: s.gPrintFooter = v; break;
    case 830:
    case 831:
    case 832:
    case 833:
    case 834: s.gFooterLine[c - 830] = v; break;
    case 880: s.gPrinterType = v; break;
    case 885: s.gSortProducts = Mid(line, 5, 1) == "1"; break;
    case 890: s.gSortClients = Mid(line, 5, 1) == "1"; break;
    case 895: s.gAutoClockOut = Mid(line, 5, 1) == "1"; break;
    case 900: ClosingTime(s, v); break;
    case 905:
        if (!StrictInt16(v, s.gWidePaper)) return bad("not a whole number");
        break;
    case 990: s.gSpecialOperations = Trim(v); break;
    default:
        if (c >= 835 && c <= 876) s.gPrinterCodeValues[static_cast<std::size_t>(c - 835)] = Trim(v);
        break;
    }
    return true;
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
