#include "online/purchase_order_file.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "online/fetched_numbers.h"
#include "sale/modes.h"
#include "sale/product_entry.h"
#include "sale/sale_save.h"
#include "sale/sale_start.h"
#include "sale/tenders.h"
#include "sale/totals.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFileName = "PO.txt";

std::string ProgramFolder() {
    if (!gConstants.paths.programFolder.empty()) return gConstants.paths.programFolder;
    return Reg().programFolder;
}

// "PO.txt" in the program folder, found whatever the case of its name.
fs::path FilePath() {
    const fs::path folder = ProgramFolder();
    const fs::path exact = folder / kFileName;
    std::error_code ec;
    if (fs::exists(exact, ec)) return exact;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        std::string name = entry.path().filename().string();
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name == "po.txt" && entry.is_regular_file(ec)) return entry.path();
    }
    return exact;
}

std::uint64_t Digest(const std::string& bytes) {
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

bool ReadWhole(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream s;
    s << in.rdbuf();
    bytes = s.str();
    return !in.bad();
}

// Column `column` (from 1) of a TAB-separated line, trimmed; "" when absent.
std::string Column(const std::string& line, int column) {
    std::size_t from = 0;
    for (int i = 1; i < column; ++i) {
        const std::size_t tab = line.find('\t', from);
        if (tab == std::string::npos) return {};
        from = tab + 1;
    }
    const std::size_t end = line.find('\t', from);
    return Trim(line.substr(from, end == std::string::npos ? std::string::npos : end - from));
}

// A product by its number: the number, then "0" and "00" in front.
std::optional<ProductMatch> FindByNumber(std::string& key) {
    ProductKeyMode& mode = gSettings.gProductKeyMode;
    const ProductKeyMode kept = mode;
    mode = ProductKey::Number;
    std::optional<ProductMatch> found;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) key = "0" + key;
        found = Product_Find(key);
        if (found && found->recNo > 0) break;
        found.reset();
    }
    mode = kept;
    return found;
}

void Refuse(const std::string& message, const std::string& why) {
    ProgramLog().Write(1, "PO.txt not imported: " + why);
    Sale_Start();
    CIATime(message, 5);
}

}  // namespace

void OnLine_Search_PO_File() {
    CIATime(Msg(Message::RequestInProgressPleaseWait), 0);
    const fs::path path = FilePath();
    std::string bytes;
    if (!ReadWhole(path, bytes)) {
        ProgramLog().Write(1, "PO.txt: " + path.string() + " cannot be read, the purchase order starts empty");
        bytes.clear();
    }

    std::vector<SaleLine> lines;
    std::size_t from = 0;
    while (from < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", from);
        if (end == std::string::npos) end = bytes.size();
        const std::string text = bytes.substr(from, end - from);
        from = end + (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n' ? 2 : 1);
        if (Trim(text).empty() && from >= bytes.size()) break;  // the file's last line break
        const int n = static_cast<int>(lines.size()) + 1;
        if (n > kMaxSaleLines) return Refuse(Msg(Message::InvalidEntry), "more than 400 lines");
        CIATime(Msg(Message::ReceivingItem) + std::to_string(n), 0);
        std::string key = Column(text, 1);
        if (key.empty())
            return Refuse(Msg(Message::ErrorServerMissingItem) + " " + std::to_string(n),
                          "line " + std::to_string(n) + " no product");
        const std::optional<ProductMatch> found = FindByNumber(key);
        if (!found)
            return Refuse(Msg(Message::ErrorProductNotFoundLocally) + " " + key,
                          "line " + std::to_string(n) + " product " + key + " not found");
        const std::string quantityText = Column(text, 7);
        const std::string costText = Column(text, 8);
        const std::optional<double> quantity = quantityText.empty() ? std::optional<double>(0)
                                                                    : Num_ReadStrict(quantityText);
        const std::optional<Money> cost = costText.empty() ? std::optional<Money>(Money()) : PlainAmount_Read(costText);
        if (!quantity || !cost)
            return Refuse(Msg(Message::InvalidEntry),
                          "line " + std::to_string(n) + " has a quantity or cost that is not a number");

        const std::string record(found->record);
        SaleLine line;
        line.product = Trim(Mid(record, 1, 8));
        line.kitComponent = false;
        line.key = std::string(ProductKeyOf(record));
        line.description = std::string(TrimRightView(Mid(record, 60, 30)));
        line.priceUnits = Num_Val(Mid(record, 175, 5));
        if (line.priceUnits == 0) line.priceUnits = 1;
        line.department = std::string(TrimRightView(Mid(record, 94, 6)));
        line.quantity = *quantity;
        line.unitPrice = *cost;
        const std::optional<Money> raw = Money::FromDouble(cost->ToDouble() * *quantity / line.priceUnits);
        if (!raw) return Refuse(Msg(Message::InvalidEntry), "line " + std::to_string(n) + " is too large");
        line.extension = CentRoundUp(*raw);
        lines.push_back(line);
    }

    SaleState& s = gSale;
    s.gItemCount = 0;
    for (const SaleLine& line : lines) s.gLines[static_cast<std::size_t>(++s.gItemCount)] = line;
    s.gPurchaseVendor.clear();
    s.gServerDocNumber.clear();
    s.gServerDocClosed = false;
    s.gImportedFile = path.string();
    s.gImportedDigest = Digest(bytes);
    for (int k = 1; k <= 3; ++k) s.gTaxExempt[static_cast<std::size_t>(k)] = true;
    s.gMode = RegisterMode::NewPurchaseOrder;
    s.gPurchaseIsOrder = true;
    Receipt_Display();
    Totals_Update();
    Change_Display();
    Total_Activate();
    Mode_Display();
    ProgramLog().Write(1, "PO.txt: " + std::to_string(lines.size()) + " lines read into a purchase order");
    Inventory().Purchase_Start();
}

void PurchaseOrderFile_Sent(const std::string& number) {
    SaleState& s = gSale;
    if (s.gImportedFile.empty()) return;
    const fs::path path = s.gImportedFile;
    s.gImportedFile.clear();
    std::string bytes;
    if (!ReadWhole(path, bytes) || Digest(bytes) != s.gImportedDigest) {
        ProgramLog().Write(1, "PO.txt changed or went since purchase order " + number + " was read; left as it is");
        return;
    }
    const std::string backup = FetchedWholeNumber(number) ? "PO." + number + ".bak" : "PO.bak";
    const fs::path target = path.parent_path() / backup;
    std::error_code ec;
    if (fs::exists(target, ec)) {
        ProgramLog().Write(1, "PO.txt kept: the backup " + backup + " is there already");
        return;
    }
    fs::rename(path, target, ec);
    if (ec) {
        ProgramLog().Write(1, "PO.txt kept: renaming it to " + backup + " failed: " + ec.message());
        return;
    }
    ProgramLog().Write(1, "PO.txt of purchase order " + number + " kept as " + backup);
}

void Delete_This() {
    SaleState& s = gSale;
    struct Kept {
        std::string key;
        double quantity;
    };
    std::vector<Kept> kept;
    for (int i = 1; i <= s.gItemCount && i <= kMaxSaleLines; ++i) {
        const SaleLine& line = s.gLines[static_cast<std::size_t>(i)];
        if (line.quantity > 0) kept.push_back({line.key, line.quantity});
    }
    Sale_Start();
    for (const Kept& k : kept) {
        const std::optional<ProductMatch> found = Product_Find(k.key);
        if (!found || found->recNo == 0) {
            ProgramLog().Write(1, "Delete_This: product " + k.key + " is not in the product file, not kept");
            continue;
        }
        const std::int32_t before = s.gItemCount;
        Product_SetCurrent(k.key, found);
        s.gLineKind = "P";
        s.gQuantity = k.quantity;  // the line is made with the quantity received
        Product_Add();
        if (s.gItemCount <= before) {
            s.gQuantity = 1;
            ProgramLog().Write(1, "Delete_This: product " + k.key + " could not be added");
        }
    }
    Receipt_Display();
}

}  // namespace tarvo
