#include "platform/identity_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include "common/line_reader.h"
#include "platform/files.h"

namespace tarvo {

IdentityStore::IdentityStore(std::string programFolder) : path_(std::move(programFolder) + "/" + kFileName) {}

namespace {
// Keys and values of a hand-written file: blanks and tabs around them are no
// part of them.
std::string TrimIni(std::string_view s) {
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    return std::string(s.substr(b, s.find_last_not_of(" \t") - b + 1));
}

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
    keyLine_.clear();
    sectionLines_.clear();
    preamble_.clear();
    otherSections_.clear();
    if (!FileExists(path_)) return true;
    if (std::string n = MakePrivate(path_); !n.empty()) notice_ = n;
    LineReader r;
    if (!r.Open(path_, true)) return false;
    std::string line, section;
    bool beforeAnySection = true;
    while (r.Next(line)) {
        std::string t = TrimIni(line);
        if (!t.empty() && t.front() == '[' && t.back() == ']') {
            beforeAnySection = false;
            section = t.substr(1, t.size() - 2);
            if (section != kSection) otherSections_ += line + "\n";
            continue;
        }
        if (beforeAnySection) {
            preamble_ += line + "\n";
            continue;
        }
        if (section != kSection) {
            otherSections_ += line + "\n";
            continue;
        }
        // Comments, blank lines and lines of no value are written back as
        // they stand.
        sectionLines_.push_back(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = TrimIni(line.substr(0, eq));
        values_[key] = TrimIni(line.substr(eq + 1));
        keyLine_[key] = sectionLines_.size() - 1;
    }
    return r.Error() == 0;
}

bool IdentityStore::Save(std::string* error) {
    // Every value on its own line where it stood; new ones after them.
    std::vector<std::string> lines = sectionLines_;
    for (const auto& [k, v] : values_) {
        auto at = keyLine_.find(k);
        if (at != keyLine_.end())
            lines[at->second] = k + "=" + v;
        else
            lines.push_back(k + "=" + v);
    }
    std::string out = preamble_ + "[" + std::string(kSection) + "]\n";
    for (const std::string& l : lines) out += l + "\n";
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
    return {Get("FtpHost"),          Get("FtpUser"),     Get("FtpPassword"),
            Get("FtpHostAlternate"), Get("ServerHost1"), Get("ServerHost2")};
}

}  // namespace tarvo
