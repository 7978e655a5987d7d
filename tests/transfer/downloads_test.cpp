// The download step of a session against a real FTP server: every kind of
// file the back office sends, the loaders of a full session, the first
// communication, and the faults of names, packages, disk and server.
#include "transfer/downloads.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "data/comm_state.h"
#include "data/lookups.h"
#include "data/product_updates.h"
#include "file_size_limit.h"
#include "platform/zip_unpack.h"
#include "screen/controls.h"
#include "test_ftp.h"
#include "test_net.h"
#include "transfer/backoffice_session.h"
#include "transfer/download_fixture.h"
#include "transfer/upload_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace download_fixture;
using Files = std::map<std::string, std::string>;

const char kUser[] = "store12";
const char kPassword[] = "s3cr:t@x";

std::string Product(const std::string& key, const std::string& description) {
    return Fixed(273, {{1, "1"}, {12, key}, {60, description}});
}
std::string Cashier(const std::string& number, const std::string& name) {
    return Fixed(50, {{1, number}, {10, "K" + number.substr(6)}, {20, name}, {50, "1"}});
}
std::string Manager(const std::string& number, const std::string& name) {
    return Fixed(60, {{1, number}, {10, "M" + number.substr(6)}, {22, name}, {52, "111111111"}});
}
std::string Salesman(const std::string& number, const std::string& name) {
    return Fixed(49, {{1, number}, {10, "S" + number.substr(6)}, {20, name}});
}

class DownloadTest : public upload_fixture::UploadTest {
protected:
    void SetUp() override {
        UploadTest::SetUp();
        gComm = CommState{};
        gSettings.gProductKeyMode = ProductKey::Number;
        oldProducts = dir.Read("Files/1234567.PRD");
        fs::create_directories(server / "Files");
    }

    // Each session a minute after the one before: a full session sends the
    // status file under the minute's name, which a second session in the
    // same minute finds taken.
    std::int16_t RunOn(const std::string& host, CommMode mode = CommMode::Full) {
        LocalTime t = clock.Now();
        t.hour += (t.minute + 1) / 60;
        t.minute = (t.minute + 1) % 60;
        clock.Set(t);
        SessionSetup setup;
        setup.account.hosts = {host};
        setup.account.user = kUser;
        setup.account.password = kPassword;
        setup.account.connectTimeoutMs = 2000;
        setup.account.responseTimeoutS = 3;
        setup.clock = &clock;
        setup.internet.url = internet.Url();
        setup.internet.connectTimeoutMs = 1000;
        BackOfficeSession session(setup);
        return session.Run(mode, true);
    }

    void OnServer(const std::string& name, const std::string& bytes) { server.Write("Files/" + name, bytes); }
    Files ServerFiles() const { return FilesIn(server / "Files"); }
    Files LocalFiles() const { return FilesIn(dir / "Files"); }
    std::string Local(const std::string& name) const { return dir.Read("Files/" + name); }
    unsigned Mode(const std::string& name) const {
        struct stat st {};
        ::stat((dir / ("Files/" + name)).c_str(), &st);
        return st.st_mode & 0777;
    }
    std::string Log() const { return dir.Read("Files/1234567.LOG"); }
    bool Logged(const std::string& text) const { return Log().find(text) != std::string::npos; }
    std::string Package(const std::string& inside) const {
        const std::string path = scratch / "package.zip";
        MakePackage(path, {{"some/other/name.txt", inside}});
        return ReadFile(path);
    }
    // The description of the product found by key, "" when none.
    std::string DescriptionOf(const std::string& key) {
        const std::optional<ProductMatch> found = Product_Find(key);
        if (!found || found->recNo == 0) return "";
        std::string d(found->record.substr(59, 30));
        d.erase(d.find_last_not_of(' ') + 1);
        return d;
    }

    TestDir server, scratch;
    LocalHttpServer internet{200};
    std::string oldProducts;
    const std::string newProducts = CrLf({Product("ALPHA", "NEW ALPHA"), Product("OMEGA", "NEW OMEGA")});
};

TEST_F(DownloadTest, EveryKindArrivesWholeIsDeletedOnTheServerAndItsLoaderRuns) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    const Files sent = {
        {"1234567.PRC", Package(newProducts)},
        {"1234567.CLI", CrLf({Fixed(210, {{12, "C100"}, {20, "Client"}})})},
        {"1234567.KTM", "KTM\r\n"},
        {"1234567.ktd", "ktd\r\n"},
        {"1234567.SET", "100 REG01\r\n"},
        {"1234567.LBL", "label\r\n"},
        {"1234567.CSH", CrLf({Cashier("00000007", "Ann")})},
        {"1234567.MAN", CrLf({Manager("00000009", "Boss")})},
        {"1234567.SAL", CrLf({Salesman("00000005", "Sam")})},
        {"1234567.CTG", CrLf({Fixed(37, {{1, "C01"}, {8, "Coffee"}})})},
        {"1234567.clu", "client update\r\n"},
        {"1234567.VND", CrLf({Fixed(398, {{1, "V9"}, {9, "Vendor name"}, {398, "V"}})})},
        {"1234567.PAX", CrLf({Fixed(38, {{1, "APPLE"}, {19, "1001"}}), Fixed(38, {{1, "ZUCCHINI"}, {19, "1002"}})})},
    };
    for (const auto& [name, bytes] : sent) OnServer(name, bytes);
    // Not of a known kind (a mixed-case ending is none): they stay.
    const Files stays = {{"1234567.Sal", "mixed case"}, {"notes.txt", "for the manager"}};
    for (const auto& [name, bytes] : stays) OnServer(name, bytes);

    const std::string stamp = dir / "Data/1234567.PRD.stamp";
    gData.stamps.Wait(stamp);
    ASSERT_TRUE(fs::exists(stamp));

    EXPECT_EQ(RunOn(ftp.Host()), 0);

    EXPECT_EQ(ServerFiles(), stays);
    // The working file built from the old master is not taken for current.
    EXPECT_FALSE(fs::exists(stamp));
    for (const auto& [name, bytes] : sent) {
        EXPECT_EQ(Local(name), bytes) << name;
        EXPECT_EQ(Mode(name), 0600u) << name;
    }
    EXPECT_EQ(Local("1234567.PRD"), newProducts);  // unpacked whatever the entry's name
    EXPECT_EQ(Mode("1234567.PRD"), 0600u);
    EXPECT_FALSE(fs::exists(dir / "Files/name.txt"));
    EXPECT_FALSE(TemporaryIn(dir / "Files"));
    EXPECT_TRUE(gComm.gProductsUpdated);  // the masters, settings and label wait for the restart
    // The tables were loaded at once.
    ASSERT_EQ(gData.gCashierCount, 1);
    EXPECT_EQ(gData.CashierTable[1].CashierName, "Ann");
    ASSERT_EQ(gData.gManagerCount, 1);
    EXPECT_EQ(gData.ManagerTable[1].ManagerName, "Boss");
    ASSERT_EQ(gData.gSalesmanCount, 1);
    EXPECT_EQ(gData.SalesmanTable[1].SalesmanName, "Sam");
    ASSERT_EQ(gData.gCategoryCount, 1);
    EXPECT_EQ(gData.CategoryTable[1].CategoryName, "Coffee");
    EXPECT_EQ(Vendor_Find("V9").value_or(0), 1);
    EXPECT_EQ(gData.gPaxCount, 2);
}

// The first communication of a new terminal: packages are unpacked, nothing
// is loaded, and only the settings and the label ask for a restart.
TEST_F(DownloadTest, TheFirstCommunicationUnpacksButLoadsNothing) {
    struct Case {
        const char* name;
        std::vector<std::string> files;
        bool restart;
    } cases[] = {
        {"a product package", {"1234567.PRC"}, false},
        {"a package and the cashiers", {"1234567.PRC", "1234567.CSH"}, false},
        {"the settings", {"1234567.PRC", "1234567.SET"}, true},
        {"the label", {"1234567.LBL"}, true},
    };
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.Write("Files/1234567.PRD", oldProducts);
        gData.CashierTable.assign(1, CashierRow{});
        gData.gCashierCount = 0;
        for (const std::string& f : c.files)
            OnServer(f, f == "1234567.PRC" ? Package(newProducts) : CrLf({Cashier("00000007", "Ann")}));
        EXPECT_EQ(RunOn(ftp.Host(), CommMode::DownloadOnly), 0);
        EXPECT_TRUE(ServerFiles().empty());
        if (c.files[0] == "1234567.PRC") {
            EXPECT_EQ(Local("1234567.PRD"), newProducts);
        }
        EXPECT_EQ(gData.gCashierCount, 0);
        EXPECT_EQ(gComm.gProductsUpdated, c.restart);
    }
}

TEST_F(DownloadTest, AProductUpdateAppliesAtOnceUnlessANewMasterCameWithIt) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    const std::string update = CrLf({Product("ADDED", "FROM THE UPDATE")});

    // Alone: applied now, no restart.
    OnServer("1234567.PRU", update);
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_FALSE(gComm.gProductsUpdated);
    EXPECT_EQ(DescriptionOf("ADDED"), "FROM THE UPDATE");
    EXPECT_FALSE(fs::exists(dir / "Files/1234567.PRU"));
    EXPECT_NE(Local("1234567.PRD").find("FROM THE UPDATE"), std::string::npos);

    // With a new master: the master is installed as sent and the update
    // waits for the next start, which applies it onto the new master.
    OnServer("1234567.PRU", CrLf({Product("LATER", "UPDATE AFTER MASTER")}));
    OnServer("1234567.PRC", Package(newProducts));
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_TRUE(gComm.gProductsUpdated);
    EXPECT_EQ(Local("1234567.PRD"), newProducts);
    EXPECT_TRUE(fs::exists(dir / "Files/1234567.PRU"));
    EXPECT_TRUE(Logged("GetUpdates: 1234567.PRU waits for the next start"));

    Data_CloseAll(gData);
    Parse_FileProduct();  // the next start, in its order
    Process_ProductUpdate();
    EXPECT_EQ(DescriptionOf("ALPHA"), "NEW ALPHA");
    EXPECT_EQ(DescriptionOf("OMEGA"), "NEW OMEGA");
    EXPECT_EQ(DescriptionOf("LATER"), "UPDATE AFTER MASTER");
    EXPECT_EQ(DescriptionOf("ADDED"), "");  // the old working file's product is gone with it
}

TEST_F(DownloadTest, HostileNamesAreRefusedAndLeftOnTheServer) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    const Files hostile = {
        {"..SET", "dots"},
        {"a..b.SET", "dots inside"},
        {"..\\..\\1234567.SET", "back slashes"},
        {"x\\1234567.SET", "a back slash"},
        {"bell\x07.SET", "a control character"},
        {".hidden.SET", "hidden"},
    };
    for (const auto& [name, bytes] : hostile) OnServer(name, bytes);
    OnServer("1234567.SET", "100 REG01\r\n");

    EXPECT_EQ(RunOn(ftp.Host()), 0);

    EXPECT_EQ(ServerFiles(), hostile);
    for (const auto& [name, bytes] : LocalFiles())
        if (name != "1234567.SET" && name != "1234567.PRD" && name != "1234567.LOG" && name != "1234567.STT" &&
            name.find(".OUT") == std::string::npos)
            ADD_FAILURE() << "unexpected local file " << name;
    EXPECT_EQ(Local("1234567.SET"), "100 REG01\r\n");
    for (const auto& [name, bytes] : hostile) EXPECT_TRUE(Logged("GetUpdates: \"" + name + "\" refused")) << name;
    // Nothing reached the folder above.
    EXPECT_FALSE(fs::exists(dir / "1234567.SET"));
}

// A folder on the server named like a file the register takes is no file:
// it stays there, and the files beside it arrive.
TEST_F(DownloadTest, AFolderNamedLikeAKindStaysOnTheServer) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    fs::create_directories(server / "Files/1234567.CSH");
    server.Write("Files/1234567.CSH/inside.txt", "not for the register");
    OnServer("1234567.SET", "100 REG01\r\n");

    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_EQ(Local("1234567.SET"), "100 REG01\r\n");
    EXPECT_TRUE(fs::is_directory(server / "Files/1234567.CSH"));
    EXPECT_EQ(server.Read("Files/1234567.CSH/inside.txt"), "not for the register");
    EXPECT_FALSE(fs::exists(dir / "Files/1234567.CSH"));
    EXPECT_TRUE(Logged("GetUpdates: \"1234567.CSH\" is a folder; it stays on the server"));
}

TEST_F(DownloadTest, ABrokenPackageKeepsTheOldMasterAndStaysOnTheServer) {
    const std::string good = Package(newProducts);
    std::string two;
    {
        const std::string path = scratch / "two.zip";
        MakePackage(path, {{"a.PRD", newProducts}, {"b.PRD", "other"}});
        two = ReadFile(path);
    }
    struct Case {
        const char* name;
        std::string bytes;
        const char* why;
    } cases[] = {
        {"not a zip", newProducts, "not a readable package"},
        {"cut short", good.substr(0, good.size() / 2), "not a readable package"},
        {"two files", two, "the package holds 2 files"},
    };
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OnServer("1234567.PRC", c.bytes);
        EXPECT_EQ(RunOn(ftp.Host()), 0);
        EXPECT_EQ(Local("1234567.PRD"), oldProducts);
        EXPECT_FALSE(fs::exists(dir / "Files/1234567.PRC"));
        EXPECT_EQ(ServerFiles(), (Files{{"1234567.PRC", c.bytes}}));
        EXPECT_FALSE(gComm.gProductsUpdated);
        EXPECT_TRUE(Logged("GetUpdates: Failed in download of product: 1234567.PRC: " + std::string(c.why)));
        EXPECT_EQ(screen.Text(kMessageLine), "Download of 1234567.PRC failed; the old file is kept");
        EXPECT_FALSE(TemporaryIn(dir / "Files"));
    }
    // A sound package sent in its place arrives.
    OnServer("1234567.PRC", good);
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_EQ(Local("1234567.PRD"), newProducts);
    EXPECT_TRUE(gComm.gProductsUpdated);
}

TEST_F(DownloadTest, AFullDiskDuringAFetchKeepsTheOldFileAndTheNextSessionFetchesIt) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    const std::string oldClients = CrLf({Fixed(210, {{12, "OLD"}})});
    dir.Write("Files/1234567.CLI", oldClients);
    std::string big;
    for (int i = 0; i < 2000; ++i) big += Fixed(210, {{12, "C" + std::to_string(i)}}) + "\r\n";
    OnServer("1234567.CLI", big);
    {
        FileSizeLimit full(64 * 1024);
        EXPECT_EQ(RunOn(ftp.Host(), CommMode::DownloadOnly), 0);
    }
    EXPECT_EQ(Local("1234567.CLI"), oldClients);
    EXPECT_FALSE(TemporaryIn(dir / "Files"));
    EXPECT_EQ(ServerFiles().size(), 1u);
    EXPECT_FALSE(gComm.gProductsUpdated);
    EXPECT_TRUE(Logged("GetUpdates: Failed in download of client : get \"Files/1234567.CLI\""));

    EXPECT_EQ(RunOn(ftp.Host(), CommMode::DownloadOnly), 0);
    EXPECT_EQ(Local("1234567.CLI"), big);
    EXPECT_TRUE(ServerFiles().empty());
}

TEST_F(DownloadTest, MoreThanAHundredFilesAllArriveInOneSession) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    Files sent;
    for (int i = 0; i < 130; ++i) {
        const std::string name = "U" + std::to_string(1000 + i) + ".CLU";
        sent[name] = "update " + std::to_string(i) + "\r\n";
        OnServer(name, sent[name]);
    }
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_TRUE(ServerFiles().empty());
    for (const auto& [name, bytes] : sent) EXPECT_EQ(Local(name), bytes) << name;
}

// A server that keeps what was fetched: the file is installed, and fetched
// again next time without being taken for new.
TEST_F(DownloadTest, AFileWhoseServerDeleteFailsIsFetchedAgainAndChangesNothingTheSecondTime) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword, "dele-refused");
    ASSERT_TRUE(ftp.Running());
    OnServer("1234567.SET", "100 REG02\r\n");
    OnServer("1234567.CSH", CrLf({Cashier("00000007", "Ann")}));

    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_EQ(Local("1234567.SET"), "100 REG02\r\n");
    EXPECT_TRUE(gComm.gProductsUpdated);
    EXPECT_EQ(gData.CashierTable[1].CashierName, "Ann");
    EXPECT_EQ(ServerFiles().size(), 2u);
    EXPECT_TRUE(Logged("GetUpdates: 1234567.SET could not be deleted on the server and is fetched again next time"));

    gData.CashierTable.assign(1, CashierRow{});
    gData.gCashierCount = 0;
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_FALSE(gComm.gProductsUpdated);  // no restart for the same file again
    EXPECT_EQ(gData.gCashierCount, 0);
    EXPECT_EQ(Local("1234567.SET"), "100 REG02\r\n");
    EXPECT_FALSE(TemporaryIn(dir / "Files"));
}

TEST_F(DownloadTest, TheStaffLoggedInAreFoundAgainByNumberOrLoggedOut) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    auto loggedIn = [] {
        gData.CashierTable = {CashierRow{}, CashierRow{"00000003", "K3", "Bob", 1},
                              CashierRow{"00000007", "K7", "Ann", 1}};
        gData.gCashierCount = 2;
        gData.ManagerTable = {ManagerRow{}, ManagerRow{"00000008", "M8", "Old", "111111111"},
                              ManagerRow{"00000009", "M9", "Boss", "111111111"}};
        gData.gManagerCount = 2;
        gData.SalesmanTable = {SalesmanRow{}, SalesmanRow{"00000004", "S4", "Al"},
                               SalesmanRow{"00000005", "S5", "Sam"}};
        gData.gSalesmanCount = 2;
        gReg.gLoggedOut = false;
        gReg.gCashierIndex = 2;
        gReg.gManagerIndex = 2;
        gReg.gAuthorized = true;
        gSale.gSalesmanIndex = 2;
    };

    // The rows moved: each is found again by number.
    loggedIn();
    OnServer("1234567.CSH", CrLf({Cashier("00000007", "Ann"), Cashier("00000011", "Carl")}));
    OnServer("1234567.MAN", CrLf({Manager("00000009", "Boss")}));
    OnServer("1234567.SAL", CrLf({Salesman("00000005", "Sam"), Salesman("00000006", "Sue")}));
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_EQ(gReg.gCashierIndex, 1);
    EXPECT_EQ(gData.CashierTable[static_cast<std::size_t>(gReg.gCashierIndex)].CashierName, "Ann");
    EXPECT_EQ(gReg.gManagerIndex, 1);
    EXPECT_TRUE(gReg.gAuthorized);
    EXPECT_EQ(gSale.gSalesmanIndex, 1);

    // Gone from the new tables: logged out, and told.
    loggedIn();
    OnServer("1234567.CSH", CrLf({Cashier("00000003", "Bob")}));
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_EQ(gReg.gCashierIndex, 0);
    EXPECT_EQ(screen.Text(kMessageLine), "Cashier 00000007 is no longer on file: logged out");
    EXPECT_TRUE(Logged("GetUpdates: cashier 00000007 is not in the new cashier file and is logged out"));

    loggedIn();
    OnServer("1234567.MAN", CrLf({Manager("00000008", "Old")}));
    OnServer("1234567.SAL", CrLf({Salesman("00000004", "Al")}));
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_EQ(gReg.gCashierIndex, 2);
    EXPECT_EQ(gReg.gManagerIndex, 0);
    EXPECT_FALSE(gReg.gAuthorized);
    EXPECT_EQ(gSale.gSalesmanIndex, 0);
    // The tables load in the server's listing order: the last one's message stays.
    const std::string shown = screen.Text(kMessageLine);
    EXPECT_TRUE(shown == "Salesperson 00000005 is no longer on file: logged out" ||
                shown == "Manager 00000009 is no longer on file: logged out")
        << shown;
    EXPECT_TRUE(Logged("GetUpdates: manager 00000009 is not in the new manager file and is logged out"));
    EXPECT_TRUE(Logged("GetUpdates: salesperson 00000005 is not in the new salesperson file and is logged out"));
}

TEST_F(DownloadTest, TemporariesACrashLeftAreRemovedByTheNextSession) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    dir.Write("Files/.download-a1b2c3", "half a master");
    dir.Write("Files/.download-zzzzzz", "half a package");
    EXPECT_EQ(RunOn(ftp.Host()), 0);
    EXPECT_FALSE(TemporaryIn(dir / "Files"));
    EXPECT_TRUE(Logged("GetUpdates: 2 unfinished download(s) of an earlier session removed"));
    EXPECT_EQ(Local("1234567.PRD"), oldProducts);
}

// A package that would unpack to more than the disk holds is refused before
// a byte is written.
TEST(ZipUnpackTest, APackageLargerThanTheFreeDiskIsRefusedAndLeavesNothing) {
    TestDir d;
    const std::string master(200000, 'x');
    MakePackage(d / "p.zip", {{"m.PRD", master}});
    std::string temp, why;
    EXPECT_FALSE(Zip_UnpackOne(d / "p.zip", d.Path(), 100000, temp, &why));
    EXPECT_EQ(why, "the package unpacks to 200000 bytes, more than the 100000 free on the disk");
    EXPECT_EQ(FilesIn(d.Path()).size(), 1u);

    ASSERT_TRUE(Zip_UnpackOne(d / "p.zip", d.Path(), FreeDiskBytes(d.Path()), temp, &why)) << why;
    EXPECT_EQ(ReadFile(temp), master);
}

}  // namespace
}  // namespace tarvo
