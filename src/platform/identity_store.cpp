#include "platform/identity_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <sys/stat.h>

#include "common/line_reader.h"
#include "data/fields.h"
#include "platform/files.h"

namespace tarvo {

IdentityStore::IdentityStore(std::string programFolder) : path_(std::move(programFolder) + "/" + kFileName) {}

namespace {
// The file holds the FTP password: one found readable (or writable) by
// others is made private. "" when nothing was wrong.
std::string MakePrivate(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || (st.st_mode & 077) == 0) return "";
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    const std::string what = "The terminal identity file " + path + " could be read by other users (mode " + mode + ")";
    if (::chmod(path.c_str(), 0600) != 0) return what + " and cannot be made 0600: " + std::strerror(errno);
    return what + "; it is now 0600.";
}
}  // namespace

bool IdentityStore::Load() {
    values_.clear();
    otherSections_.clear();
    if (!FileExists(path_)) return true;
    if (std::string n = MakePrivate(path_); !n.empty()) notice_ = n;
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

std::string IdentityStore::TakeNotice() { return std::exchange(notice_, std::string()); }

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
