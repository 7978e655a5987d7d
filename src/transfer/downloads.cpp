#include "transfer/downloads.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/indexes.h"
#include "data/log.h"
#include "data/master_files.h"
#include "data/product_updates.h"
#include "data/sale_state.h"
#include "platform/files.h"
#include "platform/zip_unpack.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

constexpr const char* kTemporaryPrefix = ".download-";

const DownloadKind kKinds[] = {
    {"PRD", 0, nullptr, DownloadAction::Restart, false, kProductMasterChanged,
     "GetUpdates: Failed in download of product:", true},
    {"PRC", 0, "PRD", DownloadAction::Restart, false, kProductMasterChanged,
     "GetUpdates: Failed in download of product:", true},
    {"KTD", 0, nullptr, DownloadAction::Restart, false, kKitsChanged,
     "GetUpdates: Failed in download of product:", true},
    {"KTM", 0, nullptr, DownloadAction::Restart, false, kKitsChanged,
     "GetUpdates: Failed in download of product:", true},
    {"SAL", 4, nullptr, DownloadAction::Salesmen, false, 0, "GetUpdates: Failed in download of salesman", false},
    {"CLI", 2, nullptr, DownloadAction::Restart, false, kClientMasterChanged,
     "GetUpdates: Failed in download of client :", true},
    {"CLC", 2, "CLI", DownloadAction::Restart, false, kClientMasterChanged,
     "GetUpdates: Failed in download of client :", true},
    {"CSH", 6, nullptr, DownloadAction::Cashiers, false, 0, "GetUpdates: Failed in download of cashier", false},
    {"MAN", 5, nullptr, DownloadAction::Managers, false, 0, "GetUpdates: Failed in download of manager", false},
    {"CTG", -1, nullptr, DownloadAction::Categories, false, 0, "GetUpdates: Failed in download of category", false},
    {"SET", 8, nullptr, DownloadAction::Restart, true, 0, "GetUpdates: Failed in download of settings", false},
    {"PRU", 1, nullptr, DownloadAction::ProductUpdate, false, 0, "GetUpdates: Failed in download of product update",
     false},
    {"CLU", 3, nullptr, DownloadAction::None, false, 0, "GetUpdates: Failed in download of client update", false},
    {"VND", 7, nullptr, DownloadAction::Vendors, false, kVendorsChanged,
     "GetUpdates: Failed in download of vendor file", false},
    {"PAX", 0, nullptr, DownloadAction::Aliases, false, kAliasesChanged, "GetUpdates: Failed in download of PAX file",
     false},
    {"LBL", -1, nullptr, DownloadAction::Restart, true, 0, "GetUpdates: Failed in download of label", false},
};

std::string Trimmed(const std::string& s) {
    const std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Do two files hold the same bytes?
bool SameBytes(const std::string& a, const std::string& b) {
    int fa = ::open(a.c_str(), O_RDONLY | O_CLOEXEC);
    if (fa < 0) return false;
    int fb = ::open(b.c_str(), O_RDONLY | O_CLOEXEC);
    if (fb < 0) {
        ::close(fa);
        return false;
    }
    const off_t sa = ::lseek(fa, 0, SEEK_END), sb = ::lseek(fb, 0, SEEK_END);
    bool same = sa >= 0 && sa == sb;
    if (same) {
        ::lseek(fa, 0, SEEK_SET);
        ::lseek(fb, 0, SEEK_SET);
        std::vector<char> ba(1 << 16), bb(1 << 16);
        for (;;) {
            const ssize_t na = ::read(fa, ba.data(), ba.size());
            if (na <= 0) {
                same = na == 0;
                break;
            }
            ssize_t got = 0;
            while (got < na) {
                const ssize_t nb = ::read(fb, bb.data() + got, static_cast<std::size_t>(na - got));
                if (nb <= 0) break;
                got += nb;
            }
            if (got != na || std::memcmp(ba.data(), bb.data(), static_cast<std::size_t>(na)) != 0) {
                same = false;
                break;
            }
        }
    }
    ::close(fa);
    ::close(fb);
    return same;
}

bool RenameInto(const std::string& from, const std::string& to, std::string& why) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        why = "cannot put " + to + " in place: " + std::strerror(errno);
        ::unlink(from.c_str());
        return false;
    }
    return true;
}

void Log(const std::string& text) { ProgramLog().Write(1, text); }

// The staff member logged in, found again by number in a table just loaded.
template <class Row, class Number>
std::int32_t FindAgain(const std::vector<Row>& table, std::int32_t count, Number number, const std::string& wanted) {
    for (std::int32_t i = 1; i <= count && static_cast<std::size_t>(i) < table.size(); ++i)
        if (Trimmed(number(table[static_cast<std::size_t>(i)])) == wanted) return i;
    return 0;
}

template <class Row, class Number>
std::string NumberAt(const std::vector<Row>& table, std::int32_t index, Number number) {
    if (index <= 0 || static_cast<std::size_t>(index) >= table.size()) return "";
    return Trimmed(number(table[static_cast<std::size_t>(index)]));
}

void ReloadCashiers() {
    auto number = [](const CashierRow& r) { return r.CashierNumber; };
    const bool loggedIn = !gReg.gLoggedOut && gReg.gCashierIndex > 0;
    const std::string who = loggedIn ? NumberAt(gData.CashierTable, gReg.gCashierIndex, number) : "";
    Open_FileCashier();
    if (who.empty()) return;
    const std::int32_t again = FindAgain(gData.CashierTable, gData.gCashierCount, number, who);
    if (again > 0) {
        gReg.gCashierIndex = again;
        return;
    }
    Log("GetUpdates: cashier " + who + " is not in the new cashier file and is logged out");
    gReg.gCashierIndex = 0;
    Office().Logout();
    CIATime("Cashier " + who + " is no longer on file: logged out", 5);
}

void ReloadManagers() {
    auto number = [](const ManagerRow& r) { return r.ManagerNumber; };
    const std::string who = NumberAt(gData.ManagerTable, gReg.gManagerIndex, number);
    Open_FileManager();
    if (who.empty()) return;
    const std::int32_t again = FindAgain(gData.ManagerTable, gData.gManagerCount, number, who);
    if (again > 0) {
        gReg.gManagerIndex = again;
        return;
    }
    Log("GetUpdates: manager " + who + " is not in the new manager file and is logged out");
    gReg.gManagerIndex = 0;
    gReg.gAuthorized = false;
    CIATime("Manager " + who + " is no longer on file: logged out", 5);
}

void ReloadSalesmen() {
    auto number = [](const SalesmanRow& r) { return r.SalesmanNumber; };
    const std::string who = NumberAt(gData.SalesmanTable, gSale.gSalesmanIndex, number);
    Open_FileSalesman();
    if (who.empty()) return;
    const std::int32_t again = FindAgain(gData.SalesmanTable, gData.gSalesmanCount, number, who);
    if (again > 0) {
        gSale.gSalesmanIndex = again;
        return;
    }
    Log("GetUpdates: salesperson " + who + " is not in the new salesperson file and is logged out");
    gSale.gSalesmanIndex = 0;
    CIATime("Salesperson " + who + " is no longer on file: logged out", 5);
}

}  // namespace

const DownloadKind* Download_KindOf(const std::string& name) {
    if (name.size() < 3) return nullptr;
    const std::string end = name.substr(name.size() - 3);
    for (const DownloadKind& k : kKinds) {
        const std::string upper = k.extension;
        std::string lower = upper;
        for (char& c : lower) c = Lower(c);
        if (end == upper || end == lower) return &k;
    }
    return nullptr;
}

std::string Download_NameProblem(const std::string& name) {
    const std::string t = Trimmed(name);
    if (t.empty()) return "an empty name";
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F) return "a control character in the name";
    if (t.find('/') != std::string::npos || t.find('\\') != std::string::npos) return "a folder in the name";
    if (t.find("..") != std::string::npos) return "\"..\" in the name";
    if (t[0] == '.') return "a hidden file's name";
    return "";
}

int Downloads_RemoveStale(const std::string& filesFolder) {
    int removed = 0;
    DIR* d = ::opendir(filesFolder.c_str());
    if (!d) return 0;
    std::vector<std::string> stale;
    while (dirent* e = ::readdir(d))
        if (std::strncmp(e->d_name, kTemporaryPrefix, std::strlen(kTemporaryPrefix)) == 0) stale.push_back(e->d_name);
    ::closedir(d);
    for (const std::string& name : stale)
        if (::unlink((filesFolder + "/" + name).c_str()) == 0) ++removed;
    if (removed > 0) SyncFolderOf(filesFolder + "/" + stale.front());
    return removed;
}

void DownloadStep::Prepare(CommMode mode, const std::string& filesFolder, const std::string& remoteFolder) {
    if (fetched_) return;
    mode_ = mode;
    wanted_ = mode == CommMode::Full || mode == CommMode::DownloadOnly;
    folder_ = filesFolder;
    remote_ = remoteFolder;
    while (!remote_.empty() && (remote_.back() == '/' || remote_.back() == '\\')) remote_.pop_back();
    // Never the login folder itself: the uploads go there.
    if (remote_.empty()) wanted_ = false;
}

void DownloadStep::Fetch(FtpClient& ftp, const RowNews& show) {
    if (!Wanted()) return;
    auto tell = [&show](const DownloadKind& kind, StepReport what) {
        if (show && kind.row >= 0)
            show(static_cast<SessionRow>(static_cast<int>(SessionRow::ProductComplete) + kind.row), what);
    };
    // Each file ends here: its row shows whether it is in place.
    auto done = [&](DownloadedFile& f) {
        tell(*f.kind, f.outcome == DownloadOutcome::Failed ? StepReport::Failed : StepReport::Passed);
        files_.push_back(std::move(f));
    };
    fetched_ = true;
    if (const int n = Downloads_RemoveStale(folder_); n > 0)
        notes_.push_back("GetUpdates: " + std::to_string(n) + " unfinished download(s) of an earlier session removed");

    const FtpResult listed = ftp.ListFiles(remote_, serverFileItems_);
    if (!listed.ok()) {
        if (listed.status != FtpStatus::NotFound) notes_.push_back("GetUpdates: " + listed.text);
        return;
    }
    for (const clsItem& item : serverFileItems_) {
        const std::string& name = item.Name();
        const DownloadKind* kind = Download_KindOf(name);
        if (!kind) continue;  // not ours: it stays on the server
        if (item.Directory()) {
            notes_.push_back("GetUpdates: \"" + name + "\" is a folder; it stays on the server");
            continue;
        }
        if (const std::string problem = Download_NameProblem(name); !problem.empty()) {
            notes_.push_back("GetUpdates: \"" + name + "\" refused (" + problem + "); it stays on the server");
            continue;
        }
        DownloadedFile f;
        f.name = name;
        f.kind = kind;
        f.path = FindFileNoCase(folder_, Trimmed(name));
        const std::string remote = remote_.empty() ? name : remote_ + "/" + name;

        tell(*kind, StepReport::Started);
        std::string fetched;
        const FtpResult got = ftp.GetToTemporary(remote, folder_, fetched);
        if (!got.ok()) {
            f.why = got.text;
            done(f);
            continue;
        }
        if (kind->unpackTo) {
            std::string target = f.path.substr(0, f.path.size() - 3) + kind->unpackTo;
            target = FindFileNoCase(folder_, target.substr(target.rfind('/') + 1));
            std::string unpacked, why;
            const std::int64_t free = FreeDiskBytes(folder_);
            if (!Zip_UnpackOne(fetched, folder_, free < 0 ? INT64_MAX : free, unpacked, &why)) {
                ::unlink(fetched.c_str());
                f.why = name + ": " + why;
                done(f);
                continue;
            }
            if (SameBytes(fetched, f.path) && SameBytes(unpacked, target)) {
                // Fetched and unpacked before (its server delete failed then).
                ::unlink(fetched.c_str());
                ::unlink(unpacked.c_str());
                f.outcome = DownloadOutcome::Unchanged;
            } else if (!RenameInto(unpacked, target, f.why) || !RenameInto(fetched, f.path, f.why)) {
                // The master went first: a crash between the two renames
                // fetches the package again and unpacks the same master.
                ::unlink(unpacked.c_str());
                ::unlink(fetched.c_str());
                done(f);
                continue;
            } else {
                SyncFolderOf(f.path);
                f.outcome = DownloadOutcome::Installed;
            }
        } else if (SameBytes(fetched, f.path)) {
            // Fetched before, its server delete failed then: nothing new.
            ::unlink(fetched.c_str());
            f.outcome = DownloadOutcome::Unchanged;
        } else {
            if (!RenameInto(fetched, f.path, f.why)) {
                done(f);
                continue;
            }
            SyncFolderOf(f.path);
            f.outcome = DownloadOutcome::Installed;
        }
        // Only what is safely in place is deleted on the server.
        if (const FtpResult del = ftp.Delete(remote); !del.ok()) {
            f.leftOnServer = true;
            f.why = del.text;
        }
        done(f);
    }
}

void DownloadStep::Install() {
    if (!fetched_ || installed_) return;
    installed_ = true;
    for (const std::string& note : notes_) Log(note);
    gComm.gProductsUpdated = false;
    const bool full = mode_ == CommMode::Full;

    // A product update written onto the old working file would be saved over
    // the new product master: it waits for the next start, which applies it
    // after loading the master.
    bool newProducts = false;
    for (const DownloadedFile& f : files_)
        if (f.outcome == DownloadOutcome::Installed && f.kind->changes == kProductMasterChanged) newProducts = true;

    for (const DownloadedFile& f : files_) {
        const DownloadKind& k = *f.kind;
        if (f.outcome == DownloadOutcome::Failed) {
            Log(std::string(k.failText) + (k.failWithReason ? " " : ": ") + f.why);
            if (full) CIATime("Download of " + f.name + " failed; the old file is kept", 5);
            continue;
        }
        if (f.leftOnServer)
            Log("GetUpdates: " + f.name +
                " could not be deleted on the server and is fetched again next time: " + f.why);
        if (f.outcome == DownloadOutcome::Unchanged) continue;
        if (k.action == DownloadAction::Restart && (full || k.restartAtFirst)) gComm.gProductsUpdated = true;
        // The first start loads everything itself (and finds a new master
        // by its file identity); nothing of the running register is touched.
        if (!full) continue;
        if (k.changes) Masters_Changed(k.changes);
        switch (k.action) {
        case DownloadAction::None:
        case DownloadAction::Restart: break;
        case DownloadAction::Salesmen: ReloadSalesmen(); break;
        case DownloadAction::Cashiers: ReloadCashiers(); break;
        case DownloadAction::Managers: ReloadManagers(); break;
        case DownloadAction::Categories: Read_FileCategory(); break;
        case DownloadAction::ProductUpdate:
            if (newProducts)
                Log("GetUpdates: " + f.name + " waits for the next start, which loads the new product master first");
            else
                Process_ProductUpdate();
            break;
        case DownloadAction::Vendors: Parse_Filevendor(); break;
        case DownloadAction::Aliases: Index_Pax(); break;
        }
    }
}

}  // namespace tarvo
