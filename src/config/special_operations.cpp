#include "config/special_operations.h"

#include "common/fields.h"
#include "common/numbers.h"

namespace tarvo {
namespace {

// The characters from 1-based position p, len of them; "" past the end.
std::string At(const std::string& s, std::size_t p, std::size_t len) {
    if (p < 1 || p > s.size()) return {};
    return s.substr(p - 1, len);
}

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int Value2(const std::string& s, std::size_t p) { return static_cast<int>(Num_Val(At(s, p, 2))); }

void NumberedOption(Settings& s, const std::string& option) {
    static const struct {
        const char* n;
        void (*apply)(Settings&);
    } kOptions[] = {
        {"001", [](Settings& x) { x.gDrawerAtOpening = false; }},
        {"002", [](Settings& x) { x.gAskPurchaseCost = false; }},
        {"003", [](Settings& x) { x.gAskPurchasePrice = false; }},
        {"004", [](Settings& x) { x.gAskPurchaseComment = false; }},
        {"005", [](Settings& x) { x.gVendorTaxExempt = false; }},
        {"006", [](Settings& x) { x.gNoItemsOnPaymentPage = true; }},
        {"007", [](Settings& x) { x.gNoOrderPrint = true; }},
        {"008", [](Settings& x) { x.gCashRefundNeedsManager = true; }},
        {"009", [](Settings& x) { x.gFullCardNumberCopy = true; }},
        {"010", [](Settings& x) { x.gCostDisplay = 0; }},
        {"011", [](Settings& x) { x.gCostDisplay = 2; }},
        {"012", [](Settings& x) { x.gSendAfterSale = true; }},
        {"013", [](Settings& x) { x.gNoReceiptForCash = true; }},
        {"014", [](Settings& x) { x.gGiftReceiptAlways = true; }},
        {"015", [](Settings& x) { x.gClientDiscountAllLines = true; }},
        {"016", [](Settings& x) { x.gZeroOpening = true; }},
        {"017", [](Settings& x) { x.gDebugMode = "1"; }},
        {"018", [](Settings& x) { x.gReceiptIfPositive = true; }},
        {"019", [](Settings& x) { x.gIndexShortWords = true; }},
        {"020", [](Settings& x) { x.gOnlineStockCheck = true; }},
    };
    for (const auto& o : kOptions)
        if (option == o.n) o.apply(s);
}

}  // namespace

SpecialOpsResult Special_Operations(Settings& s, TextTables& t) {
    SpecialOpsResult r;
    for (int g = 1; g <= 6; ++g)
        for (int k = 1; k <= 24; ++k) t.SoftKeyFlags[g][k] = "0";
    for (auto& row : s.TaxChoiceTable) row = TaxChoice{};

    const std::string& ops = s.gSpecialOperations;
    if (ops.size() < 3) return r;
    int n = static_cast<int>(Num_Val(At(ops, 1, 2)));
    if (n < 1 || n >= 200) return r;
    auto skip = [&](int i, const std::string& why) {
        r.logLines.push_back("Special operations: record " + std::to_string(i) + " \"" +
                             At(ops, static_cast<std::size_t>(5 * i - 1), 5) + "\" skipped: " + why);
    };
    for (int i = 1; i <= n; ++i) {
        const std::size_t p = static_cast<std::size_t>(5 * i - 1);
        if (p > ops.size()) break;  // records past the end do nothing
        const std::string type = At(ops, p, 1);
        if (!AllDigits(type)) {
            if (type != " ") skip(i, "unknown record type");
            continue;
        }
        const int ty = type[0] - '0';
        if (ty >= 1 && ty <= 6) {
            // The key number is the value of its two characters: " 7" is key 7.
            const DecimalText key = Num_Scan(At(ops, p + 1, 2));
            if (key.whole.empty()) {
                skip(i, "key number is not a number");
                continue;
            }
            int k = std::stoi(key.whole) * (key.negative ? -1 : 1);
            if (k < 1 || k > 24) continue;
            std::string flag = At(ops, p + 3, 1);
            if (flag == "1") {
                t.SoftKeyFlags[ty][k] = "1";
            } else if (flag == "0") {
                for (int l = 1; l <= 3; ++l) t.SoftKeyCaptions[ty][k][l].clear();
            }
        } else if (ty == 7) {
            NumberedOption(s, At(ops, p + 1, 3));
        } else if (ty == 9) {
            const std::string letter = At(ops, p + 1, 1);
            if (letter.empty()) continue;
            switch (letter[0]) {
            case 'A': s.gPricePrefixStart = static_cast<std::int16_t>(Value2(ops, p + 2)); break;
            case 'B': s.gPricePrefixEnd = static_cast<std::int16_t>(Value2(ops, p + 2)); break;
            case 'C': s.gPriceCodeStart = static_cast<std::int16_t>(Value2(ops, p + 2)); break;
            case 'D': s.gPriceCodeEnd = static_cast<std::int16_t>(Value2(ops, p + 2)); break;
            case 'E': s.gPriceValueStart = static_cast<std::int16_t>(Value2(ops, p + 2)); break;
            case 'F': s.gPriceValueEnd = static_cast<std::int16_t>(Value2(ops, p + 2)); break;
            // A prefix shorter than three characters is followed by the next
            // record's blank: trailing blanks are not part of it.
            case 'G': s.gPricePrefix = std::string(TrimRightView(At(ops, p + 2, 3))); break;
            case 'H': s.gOrderTypeDefault = Trim(At(ops, p + 2, 2)); break;
            case 'I': {
                std::string folder = Trim(At(ops, p + 2, 13));
                s.gCardExchangeFolder = folder;
                s.gCardRequestFolder = folder + "/Request";
                s.gCardRequestBase = folder + "/Request/icver001";
                i += 2;
                break;
            }
            case 'J': {
                // Any two-digit delay is honoured: 33 seconds or more does not
                // overflow here, so it is no error that stops the reading.
                int seconds = Value2(ops, p + 2);
                if (seconds <= 0) {
                    s.gEndSaleDelay = 6000;
                    r.logLines.push_back("Special operations: end-of-sale delay 0, default of 6 seconds used");
                } else {
                    s.gEndSaleDelay = seconds * 1000;
                }
                break;
            }
            case 'O': {
                std::string row = At(ops, p + 2, 1);
                if (AllDigits(row)) {
                    TaxChoice& c = s.TaxChoiceTable[static_cast<std::size_t>(row[0] - '0')];
                    c.TaxChoiceCode = Trim(At(ops, p + 3, 3));
                    c.TaxChoiceKind = static_cast<std::int16_t>(Num_Val(At(ops, p + 6, 1)));
                    c.TaxChoiceRate = Num_Val(At(ops, p + 7, 6));
                    c.TaxChoiceStatus = At(ops, p + 13, 1);
                }
                i += 2;
                break;
            }
            case 'P': s.gDrawerPort = static_cast<std::int16_t>(Value2(ops, p + 2)); break;
            default: break;
            }
        }
    }
    return r;
}

}  // namespace tarvo
