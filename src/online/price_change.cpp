#include "online/price_change.h"

#include <sys/stat.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "backoffice/backoffice_request.h"
#include "backoffice/tag_text.h"
#include "common/fields.h"
#include "common/money.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "online/deposit_records.h"
#include "platform/background_runner.h"
#include "platform/files.h"
#include "sale/sale_start.h"
#include "screen/messages.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

constexpr long kPriceTimeoutMs = 90000;
constexpr std::size_t kPriceColumn = 100;  // columns 100-111: price 1
constexpr std::size_t kPriceWidth = 12;

bool IdMatches(std::string_view line, const std::string& id) { return TrimView(Mid(line, 1, 8)) == id; }

// The line or record with its price field replaced; false when it is too
// short to hold one.
bool PutPrice(std::string& text, std::size_t at, std::size_t length, const std::string& field) {
    if (length < kPriceColumn - 1 + kPriceWidth) return false;
    text.replace(at + kPriceColumn - 1, kPriceWidth, field);
    return true;
}

unsigned ModeOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    return 0600;
}

std::string MasterPath() {
    const std::string& files = gConstants.paths.gFilesPath;
    const std::size_t slash = files.rfind('/');
    if (slash == std::string::npos) return files + ".PRD";
    return FindFileNoCase(files.substr(0, slash), files.substr(slash + 1) + ".PRD");
}

// Every line of the master whose id matches gets the new price; the line
// ends (CR LF, LF or CR) stay as they are. The number of lines changed, or
// -1 (with `why`).
int RewriteMaster(const std::string& id, const std::string& field, std::string& why) {
    const std::string path = MasterPath();
    std::string text;
    if (!ReadWholeFile(path, text)) {
        why = "the product master " + path + " cannot be read";
        return -1;
    }
    int changed = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + pos, end - pos);
        if (IdMatches(line, id) && PutPrice(text, pos, line.size(), field)) ++changed;
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
    }
    if (changed == 0) {
        why = "product " + id + " is not in the product master";
        return -1;
    }
    if (!WriteFileAtomic(path, text, ModeOf(path), &why)) {
        why = "the product master " + path + " cannot be replaced: " + why;
        return -1;
    }
    return changed;
}

// The working file's records of the product, rewritten in place and flushed.
int RewriteWorkFile(const std::string& id, const std::string& field, std::string& why) {
    WorkFile& products = gData.products;
    std::vector<std::int64_t> found;
    {
        WorkFile::Reader reader(products, 1, gData.gProductCount);
        std::string_view rec;
        while (reader.Next(rec))
            if (IdMatches(rec, id)) found.push_back(reader.Current());
    }
    for (std::int64_t k : found) {
        std::string rec = products.Read(k);
        if (!PutPrice(rec, 0, rec.size(), field)) {
            why = "product record " + std::to_string(k) + " is too short for a price";
            return -1;
        }
        if (!products.Write(k, rec)) {
            why = "product record " + std::to_string(k) + " cannot be written: " + products.Error();
            return -1;
        }
    }
    if (!found.empty() && !products.Sync()) {
        why = "the product working file cannot be flushed: " + products.Error();
        return -1;
    }
    return static_cast<int>(found.size());
}

// Every key locked while the server is asked.
void AllKeys_Lock() {
    const Money typed = gReg.gEnteredAmount;
    gReg.gEnteredAmount = Money::FromUnits(1);
    Buttons_Lock();
    gReg.gEnteredAmount = typed;
}

void Refuse(const std::string& shown, const std::string& why) {
    ProgramLog().Write(1, "Price change refused: " + why);
    CIATime(shown, 5);
}

}  // namespace

bool PriceChange_PlainPrice(const std::string& price) {
    bool digit = false, point = false;
    for (char c : price) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

std::string PriceChange_Sql(const std::string& productId, const std::string& siteId, const std::string& price) {
    return "Update tbl_prd_detail set price1= " + price + " where product_id= " + productId + " and site_id= " + siteId;
}

bool PriceChange_WriteLocal(const std::string& productId, const std::string& price, std::string& why) {
    const std::string field = PadRight(price, static_cast<int>(kPriceWidth));
    // The working file is about to be written in place: what was kept of it
    // is no longer current, whatever happens next.
    Masters_Changed(kProductRecordsChanged);
    if (RewriteMaster(productId, field, why) < 0) return false;
    const int records = RewriteWorkFile(productId, field, why);
    if (records < 0) return false;
    if (records == 0) {
        why = "product " + productId + " is not in the product working file";
        return false;
    }
    return true;
}

void Online_Service_ChangePrice(BackgroundRunner& runner, const std::string& productId, const std::string& typed) {
    if (gComm.gProductsUpdated) {
        Refuse("New Product File Received, Restart Before Changing Prices",
               "a downloaded product master waits for the restart");
        return;
    }
    const std::string price = Trim(typed);
    const std::string& site = gSettings.gSiteId;
    if (!PriceChange_PlainPrice(price) || !Sql_IsDigits(productId) || !Sql_IsDigits(site)) {
        Refuse(Msg(1), "price \"" + typed + "\", product id \"" + productId + "\" or site id \"" + site +
                           "\" is not a plain number");
        return;
    }
    AllKeys_Lock();
    CIATime(Msg(167), 0);
    const std::string prefix = gConstants.servers.RequestPrefix();
    const std::string query = RegisterDatabaseQuery(TaskCode::DatabaseUpdate, PriceChange_Sql(productId, site, price));
    RunInBackground<BackOfficeResult>(
        runner, [prefix, query] { return BackOfficeRequestAt(prefix, query, kPriceTimeoutMs); },
        [prefix, query, productId, price](BackOfficeResult r) {
            Buttons_Unlock();
            if (!r) {
                BackOfficeRequest_LogFailure(prefix, query, r);
                CIATime(Msg(276), 0);
                return;
            }
            if (Extract(r.reply, "result") != "successful") {
                ProgramLog().Write(1, "Price change of product " + productId + " not saved by the server: \"" +
                                          Extract(r.reply, "result") + "\"");
                CIATime(Msg(275), 0);
                return;
            }
            std::string why;
            if (!PriceChange_WriteLocal(productId, price, why)) {
                ProgramLog().Write(1, "Price change of product " + productId + " to " + price +
                                          " saved by the server only, not on this register:");
                ProgramLog().Write(1, why);
                CIATime("Error: Price Saved on Server Only, Not on This Register", 0);
                return;
            }
            ProgramLog().Write(1, "Price of product " + productId + " changed to " + price);
            CIATime(Msg(111), 30);
        });
}

}  // namespace tarvo
