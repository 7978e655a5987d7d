// Whole sessions of the sends besides the full session's records: the
// plain-text resend (mode 3, orders included), the all-files upload (mode 2),
// the status file and the card terminal's log of a full session, against a
// real FTP server on 127.0.0.1.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "config/settings.h"
#include "data/log.h"
#include "screen/register_state.h"
#include "test_ftp.h"
#include "test_net.h"
#include "transfer/backoffice_session.h"
#include "transfer/order_upload.h"
#include "transfer/outbox.h"
#include "transfer/upload_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace upload_fixture;

const char kUser[] = "store12";
const char kPassword[] = "s3cr:t@x";

std::string Pad(const std::string& text, std::size_t width) {
    std::string s = text;
    s.resize(width, ' ');
    return s;
}

// An order header as the order save writes it (230 characters).
std::string OrderHeader(const std::string& number, char sent, const std::string& client, const std::string& comment) {
    return Fixed(230, {{1, number},      {9, std::string(1, sent)},
                       {11, "1"},        {12, "20261209"},
                       {20, "112"},      {24, "00000007"},
                       {32, "20261224"}, {40, client},
                       {48, "00000003"}, {56, "25.5"},
                       {65, "0"},        {74, "1.28"},
                       {83, "0"},        {92, "0"},
                       {101, "26.78"},   {110, "3.22"},
                       {119, "1"},       {120, "2"},
                       {123, "1"},       {125, "11"},
                       {128, "2"},       {130, comment}});
}

const std::string kNewClient = Fixed(498, {{1, "0"}, {3, "40002"}, {11, "New Client"}, {478, "1001"}});

class SendModesTest : public UploadTest {
protected:
    void SetUp() override {
        UploadTest::SetUp();
        gComm = CommState{};
        // Three invoices, the first sent already.
        WriteFile(".INV", 150,
                  {Header("0000002", '1', "C100"), Header("0000003", '0', "C100"), Header("0000004", '0', "C100")});
        WriteFile(".DTL", 90,
                  {Line("0000002", 1, "1003", "PLAIN", "1", "1", ""), Line("0000003", 1, "1003", "PLAIN", "2", "3", ""),
                   Line("0000004", 1, "1003", "PLAIN", "1", "4", "")});
        WriteFile(".PAY", 235,
                  {Payment("0000003", 1, "1", "6", ""), Payment("0000004", 1, "4", "4", "4111111111111111")});
        // The journal: the first record sent.
        WriteFile(".ACT", 60,
                  {"202612090900D1        00000007100      " + std::string(9, ' '),
                   "202612091000P0        00000007-5.5     " + std::string(9, ' ')});
        WriteFile(".NWC", 500, {kNewClient});
        // Orders: the first flagged sent (the resend sends it all the same),
        // one to the client entered here, one without lines or deposits.
        WriteFile(".ORD", 252,
                  {OrderHeader("0000002", '1', "C100", "Deliver after 5 pm"),
                   OrderHeader("0000003", '0', "N0000002", ""), OrderHeader("0000004", '0', "C100", "")});
        WriteFile(".ORL", 90,
                  {Line("0000002", 1, "1003", "PLAIN", "2", "12.75", "gift wrap"),
                   Line("0000002", 2, "1001", "DOZEN", "1", "6", ""),
                   Line("0000003", 1, "1003", "PLAIN", "1", "2", "")});
        orderPayment = Payment("0000002", 1, "4", "26.78", "4111111111111111");
        WriteFile(".ORP", 235, {orderPayment});
        // Adjustments: the first sent; the resend takes the unsent one only.
        WriteFile(".ADJ", 90,
                  {Fixed(88, {{1, "0000002"}, {9, "1"}, {11, "20261209"}, {49, "old"}}),
                   Fixed(88, {{1, "0000003"}, {9, "0"}, {11, "20261209"}, {49, "new"}})});
        WriteFile(".ADD", 80, {});
        clock.Set(LocalTime{2026, 12, 9, 10, 30, 0});
    }

    std::int16_t RunOn(const std::string& host, CommMode mode) {
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
        return session.Run(mode, false);
    }

    // The files of a server folder ("" the login folder): name -> bytes.
    std::map<std::string, std::string> Folder(const std::string& folder = "") const {
        std::map<std::string, std::string> out;
        const std::string path = folder.empty() ? server.Path() : server / folder;
        if (!fs::exists(path)) return out;
        for (const auto& e : fs::directory_iterator(path))
            if (e.is_regular_file())
                out[e.path().filename().string()] =
                    server.Read((folder.empty() ? "" : folder + "/") + e.path().filename().string());
        return out;
    }
    std::string ActivityFlags() {
        Open_FileActivity();
        std::string flags;
        for (std::int64_t r = 2; r <= gData.gLastActivityRecord; ++r) flags += gData.activity.Read(r).substr(13, 1);
        return flags;
    }
    bool ResendFilesLeft() const {
        for (const auto& e : fs::directory_iterator(dir / "Files"))
            if (e.path().filename().string().find("-resend") != std::string::npos) return true;
        return false;
    }

    // The expected upload line of order 0000002, written column by column.
    std::string FirstOrderLine() const {
        return "0000002" + std::string(2, ' ') + "1" + "20261209" + "   " + "112" + "   " + "0000000720261224" + " " +
               " " + Pad("C100", 8) + " " + "00000003" + " " + Pad("25.5", 9) + "  " + Pad("0", 9) + "  " +
               Pad("1.28", 9) + "  " + Pad("0", 9) + "  " + Pad("0", 9) + "  " + Pad("26.78", 9) + "  " + "2" + "11" +
               "1" + "2    " + "1" + Pad("Deliver after 5 pm", 110) + " " +
               // the lines: factor 1, then 12 (1 x 6 / 12)
               "1003    " + Pad("2", 9) + Pad("12.75", 9) + Pad("12.75", 9) + Pad("25.5", 9) + Pad("gift wrap", 20) +
               "|" + "1001    " + Pad("1", 9) + Pad("6", 9) + Pad("6", 9) + Pad("0.5", 9) + Pad("", 20) + "|" +
               // the deposit: the card restored, its card-data field as stored
               Pad("26.78", 9) + Pad("4", 8) + "2" + Pad("4111111111111111", 25) + Pad("12/29", 10) +
               Pad("ANN O'NEIL", 50) + orderPayment.substr(132, 100) + Pad("APPROVED 1", 20) + "\r\n";
    }
    // Order 0000003, to the client entered at the register: its own id,
    // then its record at the end.
    std::string SecondOrderLine() const {
        return "0000003" + std::string(2, ' ') + "1" + "20261209" + "   " + "112" + "   " + "0000000720261224" + " " +
               "N" + Pad("40002", 7) + "  " + "00000003" + " " + Pad("25.5", 9) + "  " + Pad("0", 9) + "  " +
               Pad("1.28", 9) + "  " + Pad("0", 9) + "  " + Pad("0", 9) + "  " + Pad("26.78", 9) + "  " + "2" + "11" +
               "1" + "1    " + "0" + Pad("", 110) + " " + "1003    " + Pad("1", 9) + Pad("2", 9) + Pad("2", 9) +
               Pad("2", 9) + Pad("", 20) + "|" + Fixed(496, {{1, "40002"}, {9, "New Client"}, {476, "1001"}}) + "\r\n";
    }

    std::string orderPayment;
    TestDir server;
    LocalHttpServer internet{200};
};

TEST_F(SendModesTest, TheOrderFileCarriesEveryOrderWithItsLinesDepositsAndNewClient) {
    UploadBuild b = Orders_CreateFile(dir / "Files/1234567.ORD", true);
    ASSERT_TRUE(b.ok) << b.error;
    EXPECT_EQ(b.range.first, 2);
    EXPECT_EQ(b.range.last, 4);
    const std::string third = "0000004" + std::string(2, ' ') + "1" + "20261209" + "   " + "112" + "   " +
                              "0000000720261224" + " " + " " + Pad("C100", 8) + " " + "00000003" + " " +
                              Pad("25.5", 9) + "  " + Pad("0", 9) + "  " + Pad("1.28", 9) + "  " + Pad("0", 9) + "  " +
                              Pad("0", 9) + "  " + Pad("26.78", 9) + "  " + "2" + "11" + "1" + "0    " + "0" +
                              Pad("", 110) + " " + "\r\n";
    EXPECT_EQ(dir.Read("Files/1234567.ORD"), FirstOrderLine() + SecondOrderLine() + third);
    EXPECT_NE(dir.Read("Files/1234567.LOG").find(" Orders_CreateFile: Detail not found for Order= 0000004"),
              std::string::npos);

    // Outside the resend only the orders after the newest one sent.
    b = Orders_CreateFile(dir / "Files/1234567.ORD", false);
    EXPECT_EQ(b.range.first, 3);
    EXPECT_EQ(dir.Read("Files/1234567.ORD").substr(0, 7), "0000003");
}

// Mode 3: every invoice, journal record, new client and order from record 2
// on, and the adjustments not sent yet, into the server's Data folder; not a
// flag changes, so the next full session still sends what was unsent.
TEST_F(SendModesTest, TheResendPutsEveryRecordIntoTheDataFolderAndFlagsNothing) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    EXPECT_EQ(RunOn(ftp.Host(), CommMode::ResendAll), 0);
    EXPECT_TRUE(Folder().empty());
    const auto data = Folder("Data");
    std::vector<std::string> names;
    for (const auto& [name, bytes] : data) names.push_back(name);
    // No new products on file: no file for them.
    EXPECT_EQ(names, (std::vector<std::string>{"12091030.ACC", "12091030.ADJ", "12091030.NWC", "12091030.ORD",
                                               "12091030.TRA"}));
    const std::string tra = data.at("12091030.TRA");
    EXPECT_EQ(tra.substr(0, 7), "0000002");
    EXPECT_EQ(std::count(tra.begin(), tra.end(), '\n'), 3);
    EXPECT_NE(tra.find("4111111111111111"), std::string::npos);
    EXPECT_EQ(data.at("12091030.ACC"), "202612090900D        00000007100      \r\n"
                                       "202612091000P        00000007-5.5     \r\n");
    EXPECT_EQ(data.at("12091030.NWC"), Fixed(496, {{1, "40002"}, {9, "New Client"}, {476, "1001"}}) + "\r\n");
    EXPECT_EQ(data.at("12091030.ORD").substr(0, FirstOrderLine().size() + SecondOrderLine().size()),
              FirstOrderLine() + SecondOrderLine());
    EXPECT_EQ(data.at("12091030.ADJ").substr(0, 10), "0000003 0 ");
    EXPECT_EQ(std::count(data.at("12091030.ADJ").begin(), data.at("12091030.ADJ").end(), '\n'), 1);

    EXPECT_EQ(Flags(), "100");
    EXPECT_EQ(ActivityFlags(), "10");
    EXPECT_FALSE(ResendFilesLeft()) << "the resend files hold card numbers";

    // The full session after it sends the unsent invoices, once.
    clock.Set(LocalTime{2026, 12, 9, 10, 31, 0});
    EXPECT_EQ(RunOn(ftp.Host(), CommMode::Full), 0);
    const std::string sent = server.Read("12091031.TRA");
    EXPECT_EQ(sent.substr(0, 7), "0000003");
    EXPECT_EQ(std::count(sent.begin(), sent.end(), '\n'), 2);
    EXPECT_EQ(Flags(), "111");
}

// A resend file the server refuses fails the session; the others arrive and
// nothing is left half way, here or there.
TEST_F(SendModesTest, AResendFileRefusedFailsTheSession) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword, "refuse:.ORD");
    ASSERT_TRUE(ftp.Running());
    EXPECT_EQ(RunOn(ftp.Host(), CommMode::ResendAll), 3);
    const auto data = Folder("Data");
    EXPECT_EQ(data.count("12091030.ORD"), 0u);
    EXPECT_EQ(data.count("12091030.TRA"), 1u);
    EXPECT_EQ(data.count("12091030.ADJ"), 1u);
    for (const auto& [name, bytes] : data) EXPECT_EQ(name.find(".part"), std::string::npos) << name;
    EXPECT_FALSE(ResendFilesLeft());
    EXPECT_NE(dir.Read("Files/1234567.LOG").find("12091030.ORD"), std::string::npos);
    EXPECT_EQ(Flags(), "100");
}

// Mode 2: the log and the working files, byte for byte, into the Data
// folder; a file this register does not have is left out.
TEST_F(SendModesTest, TheAllFilesUploadSendsTheLogAndTheWorkingFilesAsTheyAre) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    ProgramLog().Write(1, " a line of the log");
    fs::remove(dir / "Data/1234567.PHY");
    EXPECT_EQ(RunOn(ftp.Host(), CommMode::AllData), 0);
    EXPECT_TRUE(Folder().empty());
    const auto data = Folder("Data");
    std::vector<std::string> expected;
    for (const char* ext : {"CLI", "PRD", "INV", "DTL", "PAY", "ACT", "PHY", "ORD", "ORL", "ORP", "NWC", "NWP"}) {
        const std::string local = dir / ("Data/1234567." + std::string(ext));
        const std::string remote = "12091030." + std::string(ext);
        SCOPED_TRACE(remote);
        if (!fs::exists(local)) {
            EXPECT_EQ(data.count(remote), 0u);
            continue;
        }
        ASSERT_EQ(data.count(remote), 1u);
        EXPECT_EQ(data.at(remote), dir.Read("Data/1234567." + std::string(ext)));
    }
    EXPECT_EQ(data.at("12091030.INV").size(), 4u * 150u);
    EXPECT_NE(data.at("12091030.LOG").find(" a line of the log"), std::string::npos);
    for (const auto& [name, bytes] : data) EXPECT_EQ(name.find(".part"), std::string::npos) << name;
    EXPECT_FALSE(fs::exists(dir / "Files/1234567-all.LOG"));
    EXPECT_EQ(Flags(), "100");
}

// Any file refused fails the step, not only the last one; the files after it
// still go.
TEST_F(SendModesTest, AnyAllFilesPutRefusedFailsTheStep) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword, "refuse:.INV");
    ASSERT_TRUE(ftp.Running());
    EXPECT_EQ(RunOn(ftp.Host(), CommMode::AllData), 3);
    const auto data = Folder("Data");
    EXPECT_EQ(data.count("12091030.INV"), 0u);
    EXPECT_EQ(data.count("12091030.DTL"), 1u);
    EXPECT_EQ(data.count("12091030.NWC"), 1u);
    EXPECT_NE(dir.Read("Files/1234567.LOG").find("12091030.INV"), std::string::npos);
}

// A full session ends with the status file: what runs here and what is
// loaded, tag by tag.
TEST_F(SendModesTest, AFullSessionSendsTheStatusFile) {
    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    gTerminalNumber = "1234567";
    gSettings.gTerminalDescription = "Front Counter";
    gReg.gBusinessDate = "20261209";
    gData.gProductCount = 3;
    gData.gAuxCount = 5;
    gData.gPaxCount = 0;
    gData.gClientCount = 12;
    gData.gCuxCount = 14;
    gData.gManagerCount = 2;
    gData.gCashierCount = 3;
    gData.gSalesmanCount = 1;
    gData.gVendorCount = 40;
    EXPECT_EQ(RunOn(ftp.Host(), CommMode::Full), 0);
    EXPECT_EQ(server.Read("12091030.STT"), "<version>18.03.14</version>\r\n"
                                           "<customization>Kaspen</customization>\r\n"
                                           "<terminal>1234567</terminal>\r\n"
                                           "<description>Front Counter</description>\r\n"
                                           "<date>20261209</date>\r\n"
                                           "<time>10:30</time>\r\n"
                                           "<product>3</product>\r\n"
                                           "<productaux>5</productaux>\r\n"
                                           "<productpax>0</productpax>\r\n"
                                           "<client>12</client>\r\n"
                                           "<clientaux>14</clientaux>\r\n"
                                           "<manager>2</manager>\r\n"
                                           "<cashier>3</cashier>\r\n"
                                           "<salesman>1</salesman>\r\n"
                                           "<vendor>40</vendor>\r\n"
                                           "<invoice>4</invoice>\r\n"
                                           "<dejavoo>1</dejavoo>\r\n");
    // Sent again by the next session, fresh; a refused one fails the session.
    clock.Set(LocalTime{2026, 12, 9, 10, 31, 0});
    EXPECT_EQ(RunOn(ftp.Host(), CommMode::Full), 0);
    EXPECT_NE(server.Read("12091031.STT").find("<time>10:31</time>"), std::string::npos);
    ftp.Stop();
    LocalFtpServer refusing(server.Path(), kUser, kPassword, "refuse:.STT");
    ASSERT_TRUE(refusing.Running());
    clock.Set(LocalTime{2026, 12, 9, 10, 32, 0});
    EXPECT_EQ(RunOn(refusing.Host(), CommMode::Full), 3);
    EXPECT_FALSE(fs::exists(server / "12091032.STT"));
}

// ---- the card terminal's log ----------------------------------------------------------------

class TerminalLogTest : public SendModesTest {
protected:
    std::string Log() const { return dir / "Data/Dejavoo.LOG"; }
    std::string Aside() const { return dir / "Data/Dejavoo-send.LOG"; }
    // The terminal logs on the server: name -> bytes.
    std::map<std::string, std::string> OnServer() const {
        std::map<std::string, std::string> out;
        for (const auto& [name, bytes] : Folder())
            if (name.rfind("Dejavoo", 0) == 0) out[name] = bytes;
        return out;
    }
    int OutboxEntries() {
        Outbox o(dir / "Files/1234567.OUT");
        EXPECT_TRUE(o.Load(nullptr));
        return o.Pending();
    }
};

// Set aside before the upload, so the card's new lines start a fresh log; a
// failed upload keeps what was set aside, and it goes first next time.
TEST_F(TerminalLogTest, TheLogIsSetAsideAndDeletedOnlyOnceItIsOnTheServer) {
    dir.Write("Data/Dejavoo.LOG", ">>> request 1\r\n\r\n<<< approved 1\r\n\r\n");
    {
        LocalFtpServer refusing(server.Path(), kUser, kPassword, "refuse:Dejavoo");
        ASSERT_TRUE(refusing.Running());
        EXPECT_EQ(RunOn(refusing.Host(), CommMode::Full), 3);
    }
    EXPECT_TRUE(OnServer().empty());
    EXPECT_FALSE(fs::exists(Log()));
    EXPECT_EQ(dir.Read("Data/Dejavoo-send.LOG"), ">>> request 1\r\n\r\n<<< approved 1\r\n\r\n");
    dir.Write("Data/Dejavoo.LOG", ">>> request 2\r\n\r\n");  // the next card

    LocalFtpServer ftp(server.Path(), kUser, kPassword);
    ASSERT_TRUE(ftp.Running());
    clock.Set(LocalTime{2026, 12, 9, 10, 31, 0});
    EXPECT_EQ(RunOn(ftp.Host(), CommMode::Full), 0);
    EXPECT_EQ(OnServer(), (std::map<std::string, std::string>{
                              {"Dejavoo-12091031.Log", ">>> request 1\r\n\r\n<<< approved 1\r\n\r\n"}}));
    EXPECT_FALSE(fs::exists(Aside()));
    EXPECT_EQ(dir.Read("Data/Dejavoo.LOG"), ">>> request 2\r\n\r\n");

    clock.Set(LocalTime{2026, 12, 9, 10, 32, 0});
    EXPECT_EQ(RunOn(ftp.Host(), CommMode::Full), 0);
    EXPECT_EQ(OnServer().size(), 2u);
    EXPECT_EQ(OnServer().at("Dejavoo-12091032.Log"), ">>> request 2\r\n\r\n");
    EXPECT_FALSE(fs::exists(Log()));
    EXPECT_FALSE(fs::exists(Aside()));
    EXPECT_EQ(OutboxEntries(), 0);

    // Nothing logged since: nothing sent.
    clock.Set(LocalTime{2026, 12, 9, 10, 33, 0});
    EXPECT_EQ(RunOn(ftp.Host(), CommMode::Full), 0);
    EXPECT_EQ(OnServer().size(), 2u);
}

// What a crash at each step leaves, and what the next session makes of it:
// the lines on the server once, in one file, nothing left here.
TEST_F(TerminalLogTest, ALogACrashLeftHalfWayGoesUpOnce) {
    const std::string lines = ">>> request 1\r\n\r\n";
    struct Case {
        const char* name;
        bool entry;
        OutboxState state;
        bool asideLeft, tempOnServer, finalOnServer;
    } cases[] = {
        {"set aside, no entry yet", false, OutboxState::Built, true, false, false},
        {"stored, nothing put", true, OutboxState::Built, true, false, false},
        {"put, not renamed", true, OutboxState::Put, true, true, false},
        {"renamed, not recorded", true, OutboxState::Put, true, false, true},
        {"sent, not deleted", true, OutboxState::Sent, true, false, true},
        {"deleted, entry left", true, OutboxState::Sent, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        fs::remove_all(server.Path());
        fs::create_directories(server.Path());
        if (c.asideLeft) dir.Write("Data/Dejavoo-send.LOG", lines);
        if (c.entry) {
            Outbox outbox(dir / "Files/1234567.OUT");
            ASSERT_TRUE(outbox.Store({"Dejavoo", 0, 0, c.state, static_cast<std::int64_t>(lines.size()),
                                      "Dejavoo-12091029.Log.part", "Dejavoo-12091029.Log", ""},
                                     nullptr));
        }
        if (c.tempOnServer) server.Write("Dejavoo-12091029.Log.part", lines);
        if (c.finalOnServer) server.Write("Dejavoo-12091029.Log", lines);

        LocalFtpServer ftp(server.Path(), kUser, kPassword);
        ASSERT_TRUE(ftp.Running());
        EXPECT_EQ(RunOn(ftp.Host(), CommMode::Full), 0);
        const auto logs = OnServer();
        ASSERT_EQ(logs.size(), 1u);
        EXPECT_EQ(logs.begin()->second, lines);
        EXPECT_FALSE(fs::exists(Aside()));
        EXPECT_EQ(OutboxEntries(), 0);
    }
}

}  // namespace
}  // namespace tarvo
