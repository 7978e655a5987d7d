#include "platform/ftp_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "test_dir.h"
#include "test_ftp.h"
#include "test_net.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const char kUser[] = "store12";
const char kPassword[] = "s3cr:t@x pw";

FtpAccount Account(std::vector<std::string> hosts, std::string password = kPassword) {
    FtpAccount a;
    a.hosts = std::move(hosts);
    a.user = kUser;
    a.password = std::move(password);
    a.connectTimeoutMs = 2000;
    a.responseTimeoutS = 3;
    a.lowSpeedBytesPerSecond = 20000;
    a.lowSpeedTimeS = 1;
    return a;
}

std::string DownHost(const ClosedPort& port) { return "127.0.0.1:" + std::to_string(port.Port()); }

// Bytes a text transfer would spoil: CR LF, a lone LF, NUL and high bytes.
std::string BinaryBytes(size_t n) {
    std::string s = "A\r\nB\nC\0\xE9\xFF\x1Bp"s;
    while (s.size() < n) s += static_cast<char>(s.size() * 7);
    s.resize(n);
    return s;
}

struct Server {
    TestDir root;
    TestDir local;
    LocalFtpServer ftp;
    explicit Server(const std::string& fault = "none") : ftp(root.Path(), kUser, kPassword, fault) {}
};

TEST(FtpClient, PutsChecksRenamesListsGetsAndDeletesByteForByte) {
    Server s;
    ASSERT_TRUE(s.ftp.Running());
    const std::string bytes = BinaryBytes(70000);
    std::string local = s.local.Write("0101.TRA", bytes);

    FtpClient ftp(Account({s.ftp.Host()}));
    ASSERT_TRUE(ftp.Connect().ok());
    EXPECT_EQ(ftp.Host(), s.ftp.Host());

    ASSERT_TRUE(ftp.Put(local, "Data/0101.TRA.part").ok());  // the missing folder is made
    std::int64_t size = 0;
    ASSERT_TRUE(ftp.Size("Data/0101.TRA.part", size).ok());
    EXPECT_EQ(size, static_cast<std::int64_t>(bytes.size()));
    ASSERT_TRUE(ftp.Rename("Data/0101.TRA.part", "Data/0101.TRA").ok());
    EXPECT_EQ(s.root.Read("Data/0101.TRA"), bytes);
    EXPECT_FALSE(fs::exists(s.root / "Data/0101.TRA.part"));

    std::vector<std::string> names;
    ASSERT_TRUE(ftp.ListNames("Data", names).ok());
    EXPECT_EQ(names, std::vector<std::string>{"0101.TRA"});

    std::string temp;
    ASSERT_TRUE(ftp.GetToTemporary("Data/0101.TRA", s.local.Path(), temp).ok());
    EXPECT_EQ(fs::path(temp).parent_path(), fs::path(s.local.Path()));
    EXPECT_EQ(fs::status(temp).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(s.local.Read(fs::path(temp).filename().string()), bytes);

    ASSERT_TRUE(ftp.Delete("Data/0101.TRA").ok());
    EXPECT_FALSE(fs::exists(s.root / "Data/0101.TRA"));
    bool exists = true;
    ASSERT_TRUE(ftp.Exists("Data/0101.TRA", exists).ok());
    EXPECT_FALSE(exists);
    EXPECT_EQ(ftp.Delete("Data/0101.TRA").status, FtpStatus::NotFound);
    EXPECT_EQ(ftp.Size("Data/0101.TRA", size).status, FtpStatus::NotFound);
}

TEST(FtpClient, NamesWithBlanksHashesAndPercentsReachTheServerAsTheyAre) {
    Server s;
    ASSERT_TRUE(s.ftp.Running());
    std::string local = s.local.Write("x", "payload");
    FtpClient ftp(Account({s.ftp.Host()}));
    ASSERT_TRUE(ftp.Connect().ok());
    for (std::string name : {"a b.txt", "c#d.txt", "e%20f.txt", "g?h;type=a.txt"}) {
        ASSERT_TRUE(ftp.Put(local, "In Box/" + name).ok()) << name;
        EXPECT_EQ(s.root.Read("In Box/" + name), "payload") << name;
        ASSERT_TRUE(ftp.Rename("In Box/" + name, "In Box/r " + name).ok()) << name;
        EXPECT_TRUE(ftp.Delete("In Box/r " + name).ok()) << name;
    }
    std::vector<std::string> names;
    ASSERT_TRUE(ftp.ListNames("In Box", names).ok());
    EXPECT_TRUE(names.empty());
}

TEST(FtpClient, NamesThatCouldEscapeTheFolderOrAddACommandAreRefused) {
    Server s;
    ASSERT_TRUE(s.ftp.Running());
    s.root.Write("keep.txt", "kept");
    std::string local = s.local.Write("x", "payload");
    FtpClient ftp(Account({s.ftp.Host()}));
    ASSERT_TRUE(ftp.Connect().ok());
    for (std::string bad :
         {"../x", "Data/../keep.txt", "/keep.txt", "a//b", "x\r\nDELE keep.txt", "x\nDELE keep.txt", "", "."}) {
        EXPECT_EQ(ftp.Put(local, bad).status, FtpStatus::BadName) << bad;
        EXPECT_EQ(ftp.Delete(bad).status, FtpStatus::BadName) << bad;
        EXPECT_EQ(ftp.Rename("keep.txt", bad).status, FtpStatus::BadName) << bad;
    }
    EXPECT_EQ(s.root.Read("keep.txt"), "kept");

    for (std::string host : {"evil.example/x", "user@host", "host:0", "host:99999", "host:21x", "-x", " h"}) {
        FtpClient h(Account({host}));
        EXPECT_EQ(h.Connect().status, FtpStatus::BadName) << host;
    }
}

TEST(FtpClient, PrimaryHostDownOrRefusingTheLoginGivesWayToTheAlternate) {
    Server s;
    ASSERT_TRUE(s.ftp.Running());
    ClosedPort down;
    LocalFtpServer wrongAccount(s.root.Path(), "someone", "else");
    ASSERT_TRUE(wrongAccount.Running());

    struct Case {
        std::vector<std::string> hosts;
        FtpStatus status;
        std::string host;
    } cases[] = {
        {{DownHost(down), s.ftp.Host()}, FtpStatus::Ok, s.ftp.Host()},
        {{wrongAccount.Host(), s.ftp.Host()}, FtpStatus::Ok, s.ftp.Host()},
        {{"", s.ftp.Host()}, FtpStatus::Ok, s.ftp.Host()},
        {{s.ftp.Host(), DownHost(down)}, FtpStatus::Ok, s.ftp.Host()},
        {{DownHost(down)}, FtpStatus::Unreachable, ""},
        {{DownHost(down), wrongAccount.Host()}, FtpStatus::LoginRefused, ""},
        {{}, FtpStatus::NotConnected, ""},
    };
    for (const auto& c : cases) {
        FtpClient ftp(Account(c.hosts));
        FtpResult r = ftp.Connect();
        EXPECT_EQ(r.status, c.status) << r.text;
        EXPECT_EQ(ftp.Host(), c.host);
        EXPECT_EQ(r.text.find(kPassword), std::string::npos) << r.text;
    }

    FtpClient never(Account({s.ftp.Host()}));
    std::vector<std::string> names;
    EXPECT_EQ(never.ListNames("", names).status, FtpStatus::NotConnected);
    EXPECT_FALSE(fs::exists(s.root / "x"));
}

TEST(FtpClient, ARenameNeverReplacesAFileAlreadyThere) {
    Server s;
    ASSERT_TRUE(s.ftp.Running());
    s.root.Write("Data/0101.TRA", "sent by the other register");
    std::string local = s.local.Write("x", "ours");
    FtpClient ftp(Account({s.ftp.Host()}));
    ASSERT_TRUE(ftp.Connect().ok());
    ASSERT_TRUE(ftp.Put(local, "Data/0101.TRA.part").ok());
    EXPECT_EQ(ftp.Rename("Data/0101.TRA.part", "Data/0101.TRA").status, FtpStatus::Taken);
    EXPECT_EQ(s.root.Read("Data/0101.TRA"), "sent by the other register");
    EXPECT_EQ(s.root.Read("Data/0101.TRA.part"), "ours");
    EXPECT_EQ(ftp.Rename("Data/none", "Data/other").status, FtpStatus::NotFound);
}

TEST(FtpClient, ListsEveryNameOfALargeFolder) {
    Server s;
    ASSERT_TRUE(s.ftp.Running());
    for (int i = 0; i < 150; ++i) s.root.Write("Files/F" + std::to_string(1000 + i) + ".PRC", "x");
    FtpClient ftp(Account({s.ftp.Host()}));
    ASSERT_TRUE(ftp.Connect().ok());
    std::vector<std::string> names;
    ASSERT_TRUE(ftp.ListNames("Files", names).ok());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 150u);
    EXPECT_EQ(names.front(), "F1000.PRC");
    EXPECT_EQ(names.back(), "F1149.PRC");
    EXPECT_EQ(ftp.ListNames("Nowhere", names).status, FtpStatus::NotFound);
    EXPECT_TRUE(names.empty());
}

TEST(FtpClient, AFetchThatFailsLeavesNoLocalFile) {
    Server s;
    ASSERT_TRUE(s.ftp.Running());
    FtpClient ftp(Account({s.ftp.Host()}));
    ASSERT_TRUE(ftp.Connect().ok());
    std::string temp = "unchanged";
    EXPECT_EQ(ftp.GetToTemporary("Files/missing.PRC", s.local.Path(), temp).status, FtpStatus::NotFound);
    EXPECT_EQ(temp, "");
    EXPECT_TRUE(fs::is_empty(s.local.Path()));
    s.root.Write("Files/there.PRC", "x");
    EXPECT_EQ(ftp.GetToTemporary("Files/there.PRC", s.local / "no such folder", temp).status, FtpStatus::LocalFile);
}

// What the server does wrong, and what the client reports.
TEST(FtpClient, UploadFaultsAreReportedNeverTakenForSuccess) {
    struct Case {
        const char* fault;
        FtpStatus status;
        double maxSeconds;
    } cases[] = {
        {"stor-refused", FtpStatus::Refused, 2},
        {"drop-upload", FtpStatus::Failed, 2},
        // Bounded by the low-speed and reply time-outs (about 8 s here), far
        // below the minutes an unguarded stall takes.
        {"stall", FtpStatus::TimedOut, 15},
    };
    for (const auto& c : cases) {
        Server s(c.fault);
        ASSERT_TRUE(s.ftp.Running()) << c.fault;
        std::string local = s.local.Write("big", BinaryBytes(3 << 20));
        FtpClient ftp(Account({s.ftp.Host()}));
        ASSERT_TRUE(ftp.Connect().ok()) << c.fault;
        auto start = std::chrono::steady_clock::now();
        FtpResult r = ftp.Put(local, "Data/big.part");
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(r.status, c.status) << c.fault << ": " << r.text;
        EXPECT_LT(seconds, c.maxSeconds) << c.fault;
        EXPECT_NE(r.text, "") << c.fault;
    }
}

TEST(FtpClient, AServerThatKeepsFewerBytesIsCaughtBySize) {
    Server s("short-store");
    ASSERT_TRUE(s.ftp.Running());
    std::string local = s.local.Write("f", BinaryBytes(10000));
    FtpClient ftp(Account({s.ftp.Host()}));
    ASSERT_TRUE(ftp.Connect().ok());
    ASSERT_TRUE(ftp.Put(local, "f.part").ok());  // the server says it has it all
    std::int64_t size = 0;
    ASSERT_TRUE(ftp.Size("f.part", size).ok());
    EXPECT_EQ(size, 5000);
}

TEST(FtpClient, AfterADroppedConnectionTheNextOperationConnectsAgain) {
    Server s("drop-upload");
    ASSERT_TRUE(s.ftp.Running());
    std::string big = s.local.Write("big", BinaryBytes(1 << 20));
    std::string small = s.local.Write("small", "small");
    FtpClient ftp(Account({s.ftp.Host()}));
    ASSERT_TRUE(ftp.Connect().ok());
    EXPECT_FALSE(ftp.Put(big, "big.part").ok());
    ASSERT_TRUE(ftp.Put(small, "small.part").ok());
    EXPECT_EQ(s.root.Read("small.part"), "small");
}

TEST(FtpClient, ARaisedCancelFlagStopsATransfer) {
    Server s("stall");
    ASSERT_TRUE(s.ftp.Running());
    std::string local = s.local.Write("big", BinaryBytes(3 << 20));
    FtpAccount account = Account({s.ftp.Host()});
    account.lowSpeedTimeS = 30;  // only the flag can stop it in time
    FtpClient ftp(account);
    std::atomic<bool> cancel{false};
    ftp.SetCancelFlag(&cancel);
    ASSERT_TRUE(ftp.Connect().ok());
    std::thread raiser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel = true;
    });
    auto start = std::chrono::steady_clock::now();
    FtpResult r = ftp.Put(local, "big.part");
    raiser.join();
    EXPECT_EQ(r.status, FtpStatus::Cancelled) << r.text;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// A self-signed certificate for 127.0.0.1, made for the test.
bool MakeCertificate(const TestDir& dir) {
    std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -addext "
                          "subjectAltName=IP:127.0.0.1 -keyout '" +
                          (dir / "key.pem") + "' -out '" + (dir / "cert.pem") + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// The login over TLS. (The test server cannot carry data over TLS for this
// client: it resets a data connection whose handshake comes before the
// transfer command, which is when libcurl makes it.)
TEST(FtpClient, OverTlsTheServerMustProveItselfAndTheLoginNeverGoesInClear) {
    TestDir root, certs;
    ASSERT_TRUE(MakeCertificate(certs));
    LocalFtpServer server(root.Path(), kUser, kPassword, "tls", {certs / "cert.pem", certs / "key.pem"});
    ASSERT_TRUE(server.Running());
    LocalFtpServer clearServer(root.Path(), kUser, kPassword);
    ASSERT_TRUE(clearServer.Running());

    FtpAccount trusted = Account({server.Host()});
    trusted.tls = true;
    trusted.caFile = certs / "cert.pem";
    FtpClient ftp(trusted);
    ASSERT_TRUE(ftp.Connect().ok());

    FtpAccount unknown = trusted;
    unknown.caFile = certs / "key.pem";  // not the server's certificate
    FtpClient untrusting(unknown);
    EXPECT_FALSE(untrusting.Connect().ok());

    FtpAccount noTls = trusted;
    noTls.hosts = {clearServer.Host()};
    FtpClient refusing(noTls);
    FtpResult r = refusing.Connect();
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.text.find(kPassword), std::string::npos);
}

// The listing the downloads read: every name with its attribute word, a
// folder told from a file, from the machine listing or, where the server does
// not know it, from the plain names.
TEST(FtpClient, ListsEachFileWithItsAttributesAndFallsBackToTheNames) {
    for (const std::string fault : {"none", "no-mlsd"}) {
        SCOPED_TRACE(fault);
        Server s(fault);
        ASSERT_TRUE(s.ftp.Running());
        s.root.Write("Files/1234567.SET", "100 REG01\r\n");
        s.root.Write("Files/a b;c.PRD", "x");
        fs::create_directories(s.root / "Files/1234567.CSH");
        FtpClient ftp(Account({s.ftp.Host()}));
        ASSERT_TRUE(ftp.Connect().ok());
        colItem items;
        items.Add("left from before", 0);
        ASSERT_TRUE(ftp.ListFiles("Files", items).ok());
        ASSERT_EQ(items.Count(), 3u);
        EXPECT_EQ(items.Item("left from before"), nullptr);
        const bool machine = fault == "none";
        ASSERT_NE(items.Item("1234567.SET"), nullptr);
        EXPECT_EQ(items.Item("1234567.SET")->Value(), clsItem::kNormal);
        ASSERT_NE(items.Item("a b;c.PRD"), nullptr);
        EXPECT_EQ(items.Item("a b;c.PRD")->Value(), clsItem::kNormal);
        ASSERT_NE(items.Item("1234567.CSH"), nullptr);
        EXPECT_EQ(items.Item("1234567.CSH")->Directory(), machine);
        EXPECT_EQ(ftp.ListFiles("Nowhere", items).status, FtpStatus::NotFound);
        EXPECT_EQ(items.Count(), 0u);
    }
}

TEST(FtpClient, AMachineListingLineGivesItsNameAndAttributes) {
    struct Case {
        const char* line;
        bool listed;
        const char* name;
        std::uint32_t attributes;
    } cases[] = {
        {"type=file;size=12;modify=20261209103000;perm=adfrw; 1234567.PRD", true, "1234567.PRD", clsItem::kNormal},
        {"Type=File;Perm=r; read only.SET", true, "read only.SET", clsItem::kNormal | clsItem::kReadOnly},
        {"type=dir;perm=flcdmpe; Archive", true, "Archive", clsItem::kDirectory},
        {"type=cdir;perm=el; .", false, "", 0},
        {"type=pdir;perm=el; ..", false, "", 0},
        {"type=file;size=3; a;b c.txt", true, "a;b c.txt", clsItem::kNormal},
        {"type=file;size=3; /Files/x.CLI", true, "x.CLI", clsItem::kNormal},
        {"size=3; no type given", true, "no type given", clsItem::kNormal},
        {"type=file;size=3;", false, "", 0},
        {"", false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string name;
        std::uint32_t attributes = 0;
        ASSERT_EQ(Ftp_ParseMachineLine(c.line, name, attributes), c.listed);
        if (!c.listed) continue;
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(attributes, c.attributes);
    }
}

}  // namespace
}  // namespace tarvo
