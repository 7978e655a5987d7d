#include "platform/identity_store.h"

#include "common/line_reader.h"
#include "data/fields.h"
#include "platform/files.h"

namespace tarvo {

IdentityStore::IdentityStore(std::string programFolder) : path_(std::move(programFolder) + "/" + kFileName) {}

bool IdentityStore::Load() {
    values_.clear();
    otherSections_.clear();
    if (!FileExists(path_)) return true;
    LineReader r;
    if (!r.Open(path_, true)) return false;
    std::string line, section;
    while (r.Next(line)) {
        std::string t = Trim(line);
        if (!t.empty() && t.front() == '[' && t.back() == ']') {
            section = t.substr(1, t.size() - 2);
            if (section != kSection) otherSections_ += line + "\n";
            continue;
        }
        if (section != kSection) {
            if (!section.empty()) otherSections_ += line + "\n";
            continue;
        }
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        values_[Trim(line.substr(0, eq))] = line.substr(eq + 1);
    }
    return r.Error() == 0;
}

bool IdentityStore::Save(std::string* error) {
    std::string out = "[" + std::string(kSection) + "]\n";
    for (const auto& [k, v] : values_) out += k + "=" + v + "\n";
    out += otherSections_;
    return WriteFileAtomic(path_, out, 0600, error);
}

std::string IdentityStore::Get(const std::string& name) const {
    auto it = values_.find(name);
    return it == values_.end() ? std::string() : it->second;
}

void IdentityStore::Set(const std::string& name, const std::string& value) { values_[name] = value; }

ConnectionValues IdentityStore::Connection() const {
    return {Get("FtpHost"), Get("FtpUser"), Get("FtpPassword"), Get("FtpHostAlternate"), Get("ServerHost1"),
            Get("ServerHost2")};
}

}  // namespace tarvo
