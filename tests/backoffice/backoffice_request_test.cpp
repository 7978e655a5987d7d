#include "backoffice/backoffice_request.h"

#include <gtest/gtest.h>

#include "backoffice/dispatcher_stub.h"
#include "backoffice/online_state.h"
#include "backoffice/product_master.h"
#include "backoffice/tag_text.h"
#include "config/constants.h"
#include "online/server_tasks.h"
#include "register/register_fixture.h"
#include "screen/controls.h"
#include "test_dir.h"
#include "test_net.h"

namespace tarvo {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// "127.0.0.1:<port>" of a port nothing answers on.
std::string HostOf(const ClosedPort& closed) {
    const std::string url = closed.Url();  // "http://127.0.0.1:<port>/"
    return url.substr(7, url.size() - 8);
}

// A register whose server slot 1 and 2 are two dispatcher stand-ins, with its
// log in a folder of its own.
class BackOfficeTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        ASSERT_TRUE(server1.Bound());
        ASSERT_TRUE(server2.Bound());
        gOnline = OnlineState{};
        UseTerminalFolder(dir.Path());
        gTerminalNumber = "1234567";
        server1.UseAsSlot(1);
        server2.UseAsSlot(2);
        gConstants.servers.gServerSlot = 1;
    }
    void TearDown() override {
        ProgramLog().Close();
        RegisterTest::TearDown();
    }
    std::string Log() const { return dir.Read("Files/1234567.LOG"); }
    void PointSlot(int slot, const std::string& host) {
        gConstants.servers.gServerHosts[slot - 1] = host;
        gConstants.servers.gServerUrls[slot - 1] = DispatcherUrl(host);
    }

    TestDir dir;
    DispatcherStub server1, server2;
};

TEST_F(BackOfficeTest, SendsTheCredentialsAndTreatsARefusalAsAFailure) {
    server1.SetReply(TaskCode::ServerTest, "<test>Test Successful</test>");
    BackOfficeResult ok = BackOfficeRequest(ServerTestQuery());
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(ok.httpStatus, 200);
    EXPECT_EQ(ok.reply, "<test>Test Successful</test>");
    EXPECT_TRUE(server1.LastCall().authorized);

    DispatcherStub strict("tarvo", "another password");
    PointSlot(1, strict.Host());
    BackOfficeResult refused = BackOfficeRequest(ServerTestQuery());
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.httpStatus, 401);
    EXPECT_EQ(refused.reply, "");
    EXPECT_NE(refused.error.find("401"), std::string::npos) << refused.error;
    ASSERT_EQ(strict.Calls().size(), 1u);
    EXPECT_FALSE(strict.Calls()[0].authorized);

    const std::string log = Log();
    EXPECT_NE(log.find("Back office request failed: HTTP status 401"), std::string::npos) << log;
    EXPECT_EQ(log.find("pelmorek"), std::string::npos) << log;
}

TEST_F(BackOfficeTest, EachQueryFamilyReachesTheDispatcherInItsOwnKeyOrder) {
    gSettings.gDebugMode = "1";
    gSettings.gOnlineParameter644 = "F 1";
    const std::string payload = "<name>A&B #1=x+y%</name>\xE9";
    const std::string wire = "%3Cname%3EA%26B%20%231%3Dx%2By%25%3C%2Fname%3E%E9";
    const std::string sql = "SELECT qty FROM stock WHERE code='A 1'";
    const std::string sqlWire = "SELECT%20qty%20FROM%20stock%20WHERE%20code%3D%27A%201%27";
    struct Case {
        const char* family;
        std::string query;
        std::string raw;
        Pairs pairs;
    } cases[] = {
        {"standard",
         StandardQuery(TaskCode::LabelsByPurchaseOrder, payload),
         "task=14&terminal=1234567&debugmode=1&data=" + wire,
         {{"task", "14"}, {"terminal", "1234567"}, {"debugmode", "1"}, {"data", payload}}},
        {"new client",
         NewClientQuery(payload),
         "task=2&terminal=1234567&debugmode=1&flag=F%201&data=" + wire,
         {{"task", "2"}, {"terminal", "1234567"}, {"debugmode", "1"}, {"flag", "F 1"}, {"data", payload}}},
        {"server test", ServerTestQuery(), "task=0", {{"task", "0"}}},
        {"product master",
         ProductMasterQuery("AB 12"),
         "task=1&data=AB%2012&terminal=1234567",
         {{"task", "1"}, {"data", "AB 12"}, {"terminal", "1234567"}}},
        {"e-mail", EmailQuery(payload), "task=90&data=" + wire, {{"task", "90"}, {"data", payload}}},
        {"database, register",
         RegisterDatabaseQuery(TaskCode::DatabaseSelect, sql),
         "task=300&flag=1&Data=" + sqlWire + "&terminal=1234567&debugmode=1",
         {{"task", "300"}, {"flag", "1"}, {"Data", sql}, {"terminal", "1234567"}, {"debugmode", "1"}}},
        {"database, deposit",
         DepositDatabaseQuery(TaskCode::DatabaseUpdate, sql),
         "task=301&terminal=1234567&debugmode=1&data=" + sqlWire,
         {{"task", "301"}, {"terminal", "1234567"}, {"debugmode", "1"}, {"data", sql}}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(BackOfficeRequest(c.query).ok) << c.family;
        const DispatcherCall call = server1.LastCall();
        EXPECT_EQ(call.query, c.raw) << c.family;
        EXPECT_EQ(call.pairs, c.pairs) << c.family;
    }
}

TEST_F(BackOfficeTest, EveryPayloadByteArrivesAndNoneTravelsRaw) {
    std::string payload;
    for (int b = 1; b < 256; ++b) payload += static_cast<char>(b);
    ASSERT_TRUE(BackOfficeRequest(StandardQuery(TaskCode::NewOrder, payload)).ok);
    const DispatcherCall call = server1.LastCall();
    EXPECT_EQ(call.Param("data"), payload);
    const std::string data = call.query.substr(call.query.find("&data=") + 6);
    for (char c : data) {
        const auto u = static_cast<unsigned char>(c);
        EXPECT_TRUE(std::isalnum(u) || c == '%' || c == '-' || c == '_' || c == '.' || c == '~') << int(u);
    }
    // the debug mode goes as it is set: "0" until the special option turns it to "1"
    EXPECT_EQ(call.Param("debugmode"), "0");
}

TEST_F(BackOfficeTest, KeepsTheReplyBytesAsTheServerSentThem) {
    const std::string reply = "<client name>Ren\xE9 \x80 M\xFCller</client name>\r\n";
    server1.SetReply(TaskCode::ShippingExport, reply);
    BackOfficeResult r = RequestIntoReply(StandardQuery(TaskCode::ShippingExport, "<order number>5</order number>"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.reply, reply);
    EXPECT_EQ(gOnline.gReply, reply);
    EXPECT_EQ(Extract(gOnline.gReply, "client name"), "Ren\xE9 \x80 M\xFCller");
}

TEST_F(BackOfficeTest, WithSlotTwoSelectedEveryRequestGoesToTheSecondServer) {
    gConstants.servers.gServerSlot = 2;
    server2.SetReply(TaskCode::ProductMaster, "<class>K2</class>");
    ASSERT_TRUE(BackOfficeRequest(StandardQuery(TaskCode::FetchPurchaseOrder, "x")).ok);
    ASSERT_TRUE(BackOfficeRequest(EmailQuery("x")).ok);
    ASSERT_TRUE(BackOfficeRequest(RegisterDatabaseQuery(TaskCode::DatabaseUpdate, "x")).ok);
    gOnline.gProductLookup[0] = "P1";
    gOnline.gProductLookupOn = 1;
    ASSERT_TRUE(ASP_Product_Master());
    EXPECT_EQ(gOnline.gProductLookup[2], "K2");
    Online_Test();

    std::vector<int> tasks;
    for (const auto& c : server2.Calls()) tasks.push_back(c.Task());
    EXPECT_EQ(tasks, (std::vector<int>{7, 90, 301, 1, 0}));
    EXPECT_TRUE(server1.Calls().empty());
}

// ---- failures -------------------------------------------------------------

TEST_F(BackOfficeTest, TransportFailuresAreErrorsNeverEmptySuccesses) {
    ClosedPort closed;
    ASSERT_TRUE(closed.Bound());
    DispatcherStub failing;
    failing.SetHandler([](const DispatcherCall&) { return DispatcherAnswer{500, "<result>successful</result>"}; });
    struct Case {
        const char* what;
        std::string host;
        long status;
    } cases[] = {
        {"server down", HostOf(closed), 0},
        {"bad host", "", 0},
        {"server error", failing.Host(), 500},
    };
    for (const auto& c : cases) {
        PointSlot(1, c.host);
        gOnline.gReply = "<result>successful</result>";  // an earlier reply
        BackOfficeResult r = RequestIntoReply(DepositDatabaseQuery(TaskCode::DatabaseUpdate, "UPDATE x"));
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_FALSE(r) << c.what;
        EXPECT_FALSE(r.error.empty()) << c.what;
        EXPECT_EQ(r.reply, "") << c.what;
        EXPECT_EQ(r.httpStatus, c.status) << c.what;
        EXPECT_EQ(gOnline.gReply, "") << c.what;
    }
    const std::string log = Log();
    EXPECT_NE(log.find("Back office request failed"), std::string::npos);
    EXPECT_NE(log.find("http://***@"), std::string::npos) << log;
    EXPECT_EQ(log.find("pelmorek"), std::string::npos) << log;
}

TEST_F(BackOfficeTest, AServerThatAnswersTooLateIsATimeOut) {
    server1.SetHandler([this](const DispatcherCall&) {
        server1.Hold(std::chrono::seconds(20));
        return DispatcherAnswer{200, "<stock>4</stock>"};
    });
    BackOfficeResult r = BackOfficeRequest(RegisterDatabaseQuery(TaskCode::DatabaseSelect, "SELECT 1"), 1000);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reply, "");
    EXPECT_NE(r.error.find("timed out"), std::string::npos) << r.error;
}

TEST_F(BackOfficeTest, RepliesAboveOneMegabyteAreRefused) {
    struct Case {
        std::size_t size;
        bool chunked;
        bool ok;
    } cases[] = {
        {kMaxReplyBytes, false, true},
        {kMaxReplyBytes, true, true},
        {kMaxReplyBytes + 1, false, false},
        {kMaxReplyBytes + 1, true, false},
    };
    for (const auto& c : cases) {
        server1.SetHandler([&](const DispatcherCall&) {
            return DispatcherAnswer{200, std::string(c.size, 'x'), c.chunked};
        });
        BackOfficeResult r = BackOfficeRequest(StandardQuery(TaskCode::FetchOrderToPack, "x"));
        EXPECT_EQ(r.ok, c.ok) << c.size << " chunked " << c.chunked;
        EXPECT_EQ(r.reply.size(), c.ok ? c.size : 0u) << c.size << " chunked " << c.chunked;
    }
    EXPECT_NE(Log().find("reply larger than 1048576 bytes"), std::string::npos);
}

// ---- reading tag text -----------------------------------------------------

TEST(TagText, ReadsTheFirstWholeElementOfAName) {
    struct Case {
        const char* text;
        const char* tag;
        const char* value;
    } cases[] = {
        {"<test>Test Successful</test>", "test", "Test Successful"},
        {"<order number>42</order number>", "order", ""},
        {"<purchase order number>7</purchase order number><order number>9</order number>", "order number", "9"},
        {"<cc></cc><to>a@b</to>", "cc", ""},
        {"</a>x<a>y</a>", "a", ""},
        {"<a>1</a><a>2</a>", "a", "1"},
        {"<A>1</A>", "a", ""},
        {"<a>1", "a", ""},
        {"1</a>", "a", ""},
        {"", "a", ""},
        {"<a>x,\r\ny</a>", "a", "x,\r\ny"},
        {"<a><b>1</b></a>", "a", "<b>1</b>"},
    };
    for (const auto& c : cases) EXPECT_EQ(Extract(c.text, c.tag), c.value) << c.text << " / " << c.tag;

    gOnline = OnlineState{};
    gOnline.gReply = "<client number>C77</client number>";
    gOnline.gReplyValue = "old";
    gOnline.gReplyTag = "client number";
    ASP_Decode();
    EXPECT_EQ(gOnline.gReplyValue, "C77");
    gOnline.gReplyTag = "client";
    ASP_Decode();
    EXPECT_EQ(gOnline.gReplyValue, "");
}

TEST(TagText, BodyIsWhatFollowsTheLineBreakAfterItsOpeningTag) {
    struct Case {
        const char* text;
        const char* body;
    } cases[] = {
        {"<body>\r\nUkVD</body>", "UkVD"},
        {"x<body>\r\n<record count>1</record count></body>y", "<record count>1</record count>"},
        {"<body></body>", ""},
        {"<body>\r\n</body>", ""},
        {"<body>x</body>", ""},
        {"</body><body>\r\nab</body>", ""},
        {"<body>\r\nab", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Extract_Compressed_Message(c.text), c.body) << c.text;
        EXPECT_EQ(Body_Extract(c.text), c.body) << c.text;
    }
}

TEST(TagText, RecordsComeOneAfterAnother) {
    std::string rows = "<record count>2</record count><record><0>A</0></record><record><0>B</0><1>7</1></record>";
    EXPECT_EQ(Record_Extract(rows), "<0>A</0>");
    EXPECT_EQ(rows.rfind("/record>", 0), 0u) << rows;
    EXPECT_EQ(Record_Extract(rows), "<0>B</0><1>7</1>");
    const std::string rest = rows;
    EXPECT_EQ(Record_Extract(rows), "");
    EXPECT_EQ(rows, rest);

    std::string emptyFirst = "<record></record><record>x</record>";
    EXPECT_EQ(Record_Extract(emptyFirst), "");
    EXPECT_EQ(emptyFirst, "<record></record><record>x</record>");
}

TEST(TagText, StripTurnsCommasAndLineBreaksIntoBlanks) {
    gOnline = OnlineState{};
    gOnline.gReplyValue = "1,2\r\n";
    ASP_Strip();
    EXPECT_EQ(gOnline.gReplyValue, "1 2  ");
    gOnline.gReplyValue = "Main St. 4; \"B\"\t";
    ASP_Strip();
    EXPECT_EQ(gOnline.gReplyValue, "Main St. 4; \"B\"\t");
}

TEST(TagText, ColumnsAreReadUpToTheirTab) {
    gOnline = OnlineState{};
    gOnline.gImportLine = " a \tb\t\tlast";
    struct Case {
        int column;
        const char* trimmed;
        const char* asIs;
    } cases[] = {
        {1, "a", " a "}, {2, "b", "b"}, {3, "", ""}, {4, "", ""}, {0, "", ""}, {9, "", ""},
    };
    for (const auto& c : cases) {
        gOnline.gFieldValue = "old";
        Online_GetField(c.column);
        EXPECT_EQ(gOnline.gFieldValue, c.trimmed) << c.column;
        gOnline.gRequestData.clear();
        Online_FieldToTag(c.column, "ship name");
        EXPECT_EQ(gOnline.gFieldValue, c.asIs) << c.column;
        const std::string tag = *c.asIs ? std::string("<ship name>") + c.asIs + "</ship name>" : "";
        EXPECT_EQ(gOnline.gRequestData, tag) << c.column;
    }
    // with the TAB the importer appends, the last column is readable too
    gOnline.gImportLine += '\t';
    Online_GetField(4);
    EXPECT_EQ(gOnline.gFieldValue, "last");

    gOnline.gRequestData = "<a>1</a>";
    Online_FieldToTag(2, "");
    EXPECT_EQ(gOnline.gFieldValue, "b");
    gOnline.gTagValue = "";
    Online_AddTag("cc");
    gOnline.gTagValue = "34";
    Online_AddTag("territory id");
    EXPECT_EQ(gOnline.gRequestData, "<a>1</a><cc></cc><territory id>34</territory id>");
}

// ---- the server test and the product master ----------------------------------

TEST_F(BackOfficeTest, ServerTestShowsWhatTheServerAnswered) {
    struct Case {
        const char* reply;
        const char* message;
    } cases[] = {
        {"<test>Test Successful</test>", "Test Successful "},
        {"<test>test successful</test>", "Test Unsuccessful test successful"},
        {"", "Test Unsuccessful "},
        {"<test>Database offline</test>", "Test Unsuccessful Database offline"},
    };
    std::string shownWhileWaiting;
    const std::string host = server1.Host();
    for (const auto& c : cases) {
        server1.SetHandler([&shownWhileWaiting, this, reply = std::string(c.reply)](const DispatcherCall&) {
            shownWhileWaiting = screen.Text(kMessageLine);
            return DispatcherAnswer{200, reply};
        });
        Online_Test();
        EXPECT_EQ(server1.LastCall().query, "task=0");
        EXPECT_EQ(shownWhileWaiting, "Testing server 1 at " + host.substr(host.size() - 3)) << c.reply;
        EXPECT_EQ(screen.Text(kMessageLine), c.message) << c.reply;
        EXPECT_TRUE(timers.Running(TimerId::CIA));
        EXPECT_EQ(timers.Interval(TimerId::CIA), 10000);
    }

    // "1" in the entry box shows the whole host name
    screen.SetText(kEntryBox, "1");
    Online_Test();
    EXPECT_EQ(shownWhileWaiting, host);

    ClosedPort closed;
    PointSlot(1, HostOf(closed));
    Online_Test();
    EXPECT_EQ(screen.Text(kMessageLine), "Test Resulted in an error");
    EXPECT_EQ(timers.Interval(TimerId::CIA), 10000);
}

TEST_F(BackOfficeTest, ServerTestNamesTheSelectedSlot) {
    gConstants.servers.gServerSlot = 2;
    std::string shownWhileWaiting;
    server2.SetHandler([&](const DispatcherCall&) {
        shownWhileWaiting = screen.Text(kMessageLine);
        return DispatcherAnswer{200, "<test>Test Successful</test>"};
    });
    Online_Test();
    const std::string host = server2.Host();
    EXPECT_EQ(shownWhileWaiting, "Testing server 2 at " + host.substr(host.size() - 3));
    EXPECT_EQ(screen.Text(kMessageLine), "Test Successful ");
}

TEST_F(BackOfficeTest, ProductMasterFillsCategoryClassAndDepartment) {
    server1.SetReply(TaskCode::ProductMaster,
                     "<category>Shoes</category><class>Boots</class><department>Men</department>");
    auto& p = gOnline.gProductLookup;
    p.fill("stale");
    p[0] = " AB 12 ";
    gOnline.gProductLookupOn = 1;
    ASSERT_TRUE(ASP_Product_Master());
    EXPECT_EQ(server1.LastCall().query, "task=1&data=AB%2012&terminal=1234567");
    EXPECT_EQ(std::vector<std::string>(p.begin() + 1, p.end()),
              (std::vector<std::string>{"Shoes", "Boots", "Men", "", "", "", "", "", "", ""}));

    // an element the reply lacks stays empty
    server1.SetReply(TaskCode::ProductMaster, "<class>Boots</class>");
    ASSERT_TRUE(ASP_Product_Master());
    EXPECT_EQ(p[1], "");
    EXPECT_EQ(p[2], "Boots");
    EXPECT_EQ(p[3], "");
    EXPECT_EQ(server1.Calls().size(), 2u);
}

TEST_F(BackOfficeTest, ProductMasterAsksOnlyWhenOnAndGivenACode) {
    auto& p = gOnline.gProductLookup;
    struct Case {
        const char* code;
        std::int16_t on;
    } cases[] = {{"", 1}, {"AB12", 0}, {"AB12", 2}};
    for (const auto& c : cases) {
        p.fill("stale");
        p[0] = c.code;
        gOnline.gProductLookupOn = c.on;
        EXPECT_TRUE(ASP_Product_Master());
        EXPECT_EQ(p[0], c.code);
        for (std::size_t i = 1; i < p.size(); ++i) EXPECT_EQ(p[i], "") << i;
    }
    EXPECT_TRUE(server1.Calls().empty());

    // a failed request leaves the elements empty and says so
    ClosedPort closed;
    PointSlot(1, HostOf(closed));
    p.fill("stale");
    p[0] = "AB12";
    gOnline.gProductLookupOn = 1;
    EXPECT_FALSE(ASP_Product_Master());
    for (std::size_t i = 1; i < p.size(); ++i) EXPECT_EQ(p[i], "") << i;
}

}  // namespace
}  // namespace tarvo
