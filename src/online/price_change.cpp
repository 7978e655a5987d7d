#include "online/price_change.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

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
#include "online/online_page.h"
#include "platform/background_runner.h"
#include "platform/files.h"
#include "sale/sale_start.h"
#include "screen/messages.h"
#include "screen/register_context.h"
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

std::string MasterPath() {
    const std::string& files = gConstants.paths.gFilesPath;
    const std::size_t slash = files.rfind('/');
    if (slash == std::string::npos) return files + ".PRD";
    return FindFileNoCase(files.substr(0, slash), files.substr(slash + 1) + ".PRD");
}

// The lines of the master whose id matches (their first byte's offsets).
// The id is looked for with a string search (a product master is large), and
// each place found is taken only when it lies in the id columns of a line.
std::vector<std::size_t> MatchingLines(std::string_view text, const std::string& id) {
    std::vector<std::size_t> starts;
    if (id.empty()) return starts;
    const std::boyer_moore_horspool_searcher search(id.begin(), id.end());
    auto from = text.begin();
    while (true) {
        const auto hit = std::search(from, text.end(), search);
        if (hit == text.end()) break;
        std::size_t start = static_cast<std::size_t>(hit - text.begin());
        while (start > 0 && text[start - 1] != '\r' && text[start - 1] != '\n' &&
               static_cast<std::size_t>(hit - text.begin()) - start < 8)
            --start;
        const bool atLineStart = start == 0 || text[start - 1] == '\r' || text[start - 1] == '\n';
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        if (atLineStart && IdMatches(text.substr(start, end - start), id) && (starts.empty() || starts.back() != start))
            starts.push_back(start);
        from = hit + 1;
    }
    return starts;
}

// Every line of the master whose id matches gets the new price; everything
// else, line ends included, is copied as it stands. The file is replaced
// whole (temporary file, flushed, renamed). The number of lines changed, or
// -1 (with `why`).
int RewriteMaster(const std::string& id, const std::string& field, std::string& why) {
    const std::string path = MasterPath();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0) ::close(fd);
        why = "the product master " + path + " cannot be read";
        return -1;
    }
    const std::size_t size = static_cast<std::size_t>(st.st_size);
    void* map = size > 0 ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : nullptr;
    ::close(fd);
    if (size > 0 && map == MAP_FAILED) {
        why = "the product master " + path + " cannot be read";
        return -1;
    }
    struct Unmap {
        void* p;
        std::size_t n;
        ~Unmap() {
            if (p && p != MAP_FAILED) ::munmap(p, n);
        }
    } unmap{map, size};
    const std::string_view text(static_cast<const char*>(map), size);
    const std::vector<std::size_t> lines = MatchingLines(text, id);
    FileCommit out;
    std::size_t done = 0;
    int changed = 0;
    bool ok = out.Begin(path, st.st_mode & 07777);
    for (std::size_t start : lines) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        if (end - start < kPriceColumn - 1 + kPriceWidth) continue;  // too short to hold a price
        const std::size_t at = start + kPriceColumn - 1;
        ok = ok && out.Write(text.substr(done, at - done)) && out.Write(field);
        done = at + kPriceWidth;
        ++changed;
    }
    if (changed == 0) {
        why = "product " + id + " is not in the product master";
        return -1;
    }
    ok = ok && out.Write(text.substr(done)) && out.Commit();
    if (!ok) {
        why = "the product master " + path + " cannot be replaced: " + out.Error();
        return -1;
    }
    return changed;
}

// The working file's records of the product, rewritten in place and flushed.
int RewriteWorkFile(const std::string& id, const std::string& field, std::string& why) {
    WorkFile& products = gData.products;
    std::vector<std::int64_t> found;
    // Reading the last record first maps the whole file at once.
    products.View(gData.gProductCount);
    for (std::int64_t k = 1; k <= gData.gProductCount; ++k)
        if (IdMatches(products.View(k), id)) found.push_back(k);
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
        Refuse(Msg(Message::InvalidEntry), "price \"" + typed + "\", product id \"" + productId + "\" or site id \"" +
                                               site + "\" is not a plain number");
        return;
    }
    AllKeys_Lock();
    CIATime(Msg(Message::RequestInProgressPleaseWait), 0);
    const std::string prefix = gConstants.servers.RequestPrefix();
    const std::string query = RegisterDatabaseQuery(TaskCode::DatabaseUpdate, PriceChange_Sql(productId, site, price));
    RunInBackground<BackOfficeResult>(
        runner, [prefix, query] { return BackOfficeRequestAt(prefix, query, kPriceTimeoutMs); },
        [prefix, query, productId, price](BackOfficeResult r) {
            Buttons_Unlock();
            if (!r) {
                BackOfficeRequest_LogFailure(prefix, query, r);
                CIATime(Msg(Message::UnsuccessfulCommunicationError), 0);
                return;
            }
            if (Extract(r.reply, "result") != "successful") {
                ProgramLog().Write(1, "Price change of product " + productId + " not saved by the server: \"" +
                                          Extract(r.reply, "result") + "\"");
                CIATime(Msg(Message::ErrorServerUnableToSaveTransaction), 0);
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
            CIATime(Msg(Message::EntrySavedSuccessfully), 30);
        });
}

void Online_Service_ChangePrice(const std::string& productId, const std::string& price) {
    if (Reg().runner)
        Online_Service_ChangePrice(*Reg().runner, productId, price);
    else
        Online_NotBuilt("the price change without a background runner");
}

}  // namespace tarvo
