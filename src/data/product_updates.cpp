#include "data/product_updates.h"

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/line_reader.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/indexes.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "platform/files.h"

namespace tarvo {
namespace {

constexpr std::size_t kProductRecord = 273;
constexpr std::size_t kKeyWidth = 20;

const char* const kUpdateError = "Error detected processing product updates ";
const char* const kResortError = "Error detected sorting Product.New ";

// A file of the exchange folder: the received name whatever its letter case.
std::string ExchangeFile(const char* extension) {
    const std::string& files = gConstants.paths.gFilesPath;
    std::size_t slash = files.rfind('/');
    if (slash == std::string::npos) return files + extension;
    return FindFileNoCase(files.substr(0, slash), files.substr(slash + 1) + extension);
}

std::size_t KeyColumn() { return gSettings.gProductKeyMode.asText == ProductKey::Number ? 12 : 40; }

std::string_view KeyField(std::string_view record) {
    std::size_t col = KeyColumn();
    if (record.size() < col) return {};
    return record.substr(col - 1, kKeyWidth);
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

unsigned FileMode(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    return 0600;
}

// Applies the update lines to the product working file; the number of
// products added after the last record, or -1 after a failure (reported).
std::int32_t ApplyUpdates(const std::string& path) {
    LineReader in;
    if (!in.Open(path)) return -1;
    WorkFile& products = gData.products;
    std::int32_t added = 0;
    std::unordered_map<std::string, std::int64_t> appended;  // key -> record written in this run
    std::string line;
    while (in.Next(line)) {
        if (line.size() < kProductRecord) {
            ProgramLog().Write(1, "Process_ProductUpdate: Parsing Product updates, Length of line is less than 273 "
                                  "characters, thus ignored");
            ProgramLog().Write(2, line);
            continue;
        }
        std::string_view record = std::string_view(line).substr(0, kProductRecord);
        std::string key(TrimRight(KeyField(record)));
        const std::optional<ProductMatch> found = Product_Find(key);
        std::int64_t target = found ? found->recNo : 0;
        if (target == 0) {
            auto it = appended.find(key);
            if (it != appended.end()) {
                target = it->second;
            } else {
                ++added;
                target = std::int64_t(gData.gProductCount) + added;
                appended.emplace(key, target);
            }
        }
        if (!products.Write(target, record)) {
            Data_MessageBox(gData, kUpdateError + products.Error());
            return -1;
        }
    }
    if (in.Error() != 0) {
        Data_MessageBox(gData, kUpdateError + std::string(std::strerror(in.Error())));
        return -1;
    }
    return added;
}

// The product records 1..records in the order of their sort-file lines: the
// key column as it stands (20 characters), then the record, compared as bytes.
// The records are views into the working file; empty when one cannot be read
// (reported).
bool SortedRecords(std::int64_t records, std::vector<std::string_view>& out) {
    const WorkFile& products = gData.products;
    struct Item {
        char key[kKeyWidth];
        std::string_view rec;
    };
    std::vector<Item> items(static_cast<std::size_t>(records));
    // Reading the last record first maps the whole file at once, so the views
    // taken below stay valid together.
    products.View(records);
    for (std::int64_t i = 1; i <= records; ++i) {
        std::string_view rec = products.View(i);
        if (rec.empty()) {
            Data_MessageBox(gData, kUpdateError + std::string("product record ") + std::to_string(i) +
                                       " cannot be read from " + products.Path());
            return false;
        }
        Item& item = items[static_cast<std::size_t>(i - 1)];
        std::string_view key = KeyField(rec);
        std::memset(item.key, ' ', kKeyWidth);
        std::memcpy(item.key, key.data(), key.size());
        item.rec = rec;
    }
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        int c = std::memcmp(a.key, b.key, kKeyWidth);
        return c != 0 ? c < 0 : a.rec < b.rec;
    });
    out.clear();
    out.reserve(items.size());
    for (const Item& item : items) out.push_back(item.rec);
    return true;
}

// Writes the sort file (kept in the exchange folder) and then the product text
// file in key order, each replaced whole.
bool WriteSortedFiles(const std::vector<std::string_view>& records) {
    std::string text, why;
    text.reserve(records.size() * (kKeyWidth + kProductRecord + 2));
    for (std::string_view rec : records) {
        std::string_view key = KeyField(rec);
        text.append(key);
        text.append(kKeyWidth - key.size(), ' ');
        text.append(rec);
        text.append("\r\n");
    }
    std::string sortPath = gConstants.paths.gFilesPath + ".NEW";
    if (!WriteFileAtomic(sortPath, text, FileMode(sortPath), &why)) {
        Data_MessageBox(gData, kUpdateError + why);
        return false;
    }

    text.clear();
    for (std::string_view rec : records) {
        text.append(rec);
        text.append("\r\n");
    }
    std::string productPath = ExchangeFile(".PRD");
    if (!WriteFileAtomic(productPath, text, FileMode(productPath), &why)) {
        Data_MessageBox(gData, kResortError + why);
        return false;
    }
    return true;
}

}  // namespace

void Setting_ProductKey() {
    gSettings.gProductKeyMode = ProductKeyMode_Read("9");  // no 250 line
    LineReader in;
    if (!in.Open(gConstants.paths.gFilesPath + ".SET", true)) return;
    std::string line;
    while (in.Next(line)) {
        if (line.size() > 4 && line.compare(0, 3, "250") == 0)
            gSettings.gProductKeyMode = ProductKeyMode_Read(line.substr(4, 1));
    }
}

void Process_ProductUpdate() {
    if (gSettings.gProductKeyMode.asText == ProductKey::Other) return;
    std::string updatePath = ExchangeFile(".PRU");
    if (!FileExists(updatePath)) return;

    // The working file is written in place from here on: what was kept of it
    // and of its word index is no longer current.
    Masters_Changed(kProductMasterChanged);
    std::int32_t added = ApplyUpdates(updatePath);
    if (added < 0) return;  // reported; the update file stays for the next run

    // The sort file and the product text file, in key order. The records are
    // sorted in memory (as the sort of the sort file's lines would order them).
    {
        std::vector<std::string_view> records;  // views into the working file
        if (!SortedRecords(std::int64_t(gData.gProductCount) + added, records)) return;
        if (!WriteSortedFiles(records)) return;
    }

    // The product text file now holds every update: the update file is done.
    ::unlink(updatePath.c_str());
    Parse_FileProduct();
    if (added > 0 && gSettings.gSortProducts) Index_Product();
}

}  // namespace tarvo
