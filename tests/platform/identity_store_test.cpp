#include "platform/identity_store.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "test_dir.h"

namespace tarvo {
namespace {

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(IdentityStore, MissingFileIsAnEmptyStore) {
    TestDir dir;
    IdentityStore store(dir.Path());
    EXPECT_EQ(store.Path(), dir / "Tarvo.ini");
    EXPECT_TRUE(store.Load());
    EXPECT_EQ(store.TerminalNumber(), "");
    EXPECT_EQ(store.Get("FtpHost"), "");
}

TEST(IdentityStore, ValuesSurviveASaveAndLoad) {
    TestDir dir;
    {
        IdentityStore store(dir.Path());
        ASSERT_TRUE(store.Load());
        store.Set("TerminalNumber", "1234567");
        store.Set("FtpHost", "10.0.0.5");
        store.Set("FtpUser", "shop 12");
        store.Set("FtpPassword", "a=b;c ");
        store.Set("FtpHostAlternate", "10.0.0.6");
        store.Set("ServerHost1", "10.0.0.7:8080");
        store.Set("ServerHost2", "");
        std::string error;
        ASSERT_TRUE(store.Save(&error)) << error;
    }
    EXPECT_EQ(ModeOf(dir / "Tarvo.ini"), 0600u);
    IdentityStore back(dir.Path());
    ASSERT_TRUE(back.Load());
    EXPECT_EQ(back.TerminalNumber(), "1234567");
    ConnectionValues c = back.Connection();
    EXPECT_EQ(c.ftpHost, "10.0.0.5");
    EXPECT_EQ(c.ftpUser, "shop 12");
    EXPECT_EQ(c.ftpPassword, "a=b;c");  // everything after the first '=', trimmed like the key
    EXPECT_EQ(c.ftpHostAlternate, "10.0.0.6");
    EXPECT_EQ(c.serverHost1, "10.0.0.7:8080");
    EXPECT_EQ(c.serverHost2, "");
}

TEST(IdentityStore, ReadsAHandWrittenFileAndKeepsOtherSections) {
    TestDir dir;
    dir.Write("Tarvo.ini", "\xEF\xBB\xBF[Printer]\r\n"
                           "Port=/dev/usb/lp0\r\n"
                           "[Tarvo]\r\n"
                           "; the register's number\r\n"
                           "# another comment\r\n"
                           "  TerminalNumber  =7654321\r\n"
                           "no equals sign here\r\n"
                           "FtpHost=ftp.example.test\r\n"
                           "\r\n"
                           "[Drawer]\r\n"
                           "Open=1\r\n"
                           "TerminalNumber=9999999\r\n");
    IdentityStore store(dir.Path());
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.TerminalNumber(), "7654321");
    EXPECT_EQ(store.Get("FtpHost"), "ftp.example.test");
    EXPECT_EQ(store.Get("Port"), "");  // other sections are not ours

    store.Set("TerminalNumber", "1111111");
    ASSERT_TRUE(store.Save());
    std::string text = dir.Read("Tarvo.ini");
    EXPECT_EQ(text.rfind("[Tarvo]\n", 0), 0u) << text;
    EXPECT_NE(text.find("TerminalNumber=1111111\n"), std::string::npos) << text;
    EXPECT_NE(text.find("FtpHost=ftp.example.test\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Printer]\nPort=/dev/usb/lp0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Drawer]\nOpen=1\nTerminalNumber=9999999\n"), std::string::npos) << text;
    // Comments and lines the register does not know stay where they stood.
    EXPECT_NE(text.find("[Tarvo]\n; the register's number\n# another comment\nTerminalNumber=1111111\n"
                        "no equals sign here\nFtpHost=ftp.example.test\n"),
              std::string::npos)
        << text;

    IdentityStore again(dir.Path());
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.TerminalNumber(), "1111111");
    EXPECT_EQ(again.Get("FtpHost"), "ftp.example.test");
}

TEST(IdentityStore, ValuesWrittenWithBlanksAroundThemReadTrimmed) {
    for (const char* line : {"TerminalNumber = 1234567", "TerminalNumber=1234567 ", "\tTerminalNumber=\t1234567\t",
                             "TerminalNumber =1234567  "}) {
        SCOPED_TRACE(line);
        TestDir dir;
        dir.Write("Tarvo.ini", std::string("[Tarvo]\r\n") + line + "\r\nFtpUser =  shop 12  \r\n");
        IdentityStore store(dir.Path());
        ASSERT_TRUE(store.Load());
        EXPECT_EQ(store.TerminalNumber(), "1234567");
        EXPECT_EQ(store.Connection().ftpUser, "shop 12");
    }
}

TEST(IdentityStore, SaveTightensTheModeOfAnExistingFile) {
    TestDir dir;
    std::string path = dir.Write("Tarvo.ini", "[Tarvo]\nFtpPassword=secret\n");
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    IdentityStore store(dir.Path());
    ASSERT_TRUE(store.Load());
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(ModeOf(path), 0600u);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

// The file holds the FTP password: found readable by others, it is made
// private at once, and the change is told once for the log.
TEST(IdentityStore, LoadMakesAFileOthersCanReadPrivateAndSaysSoOnce) {
    struct Case {
        unsigned before;
        unsigned after;
        const char* told;
    } cases[] = {
        {0644, 0600, "mode 0644"}, {0640, 0600, "mode 0640"}, {0604, 0600, "mode 0604"},
        {0600, 0600, nullptr},     {0400, 0400, nullptr},
    };
    for (const auto& c : cases) {
        TestDir dir;
        std::string path = dir.Write("Tarvo.ini", "[Tarvo]\nTerminalNumber=1234567\nFtpPassword=secret\n");
        ASSERT_EQ(::chmod(path.c_str(), c.before), 0);
        IdentityStore store(dir.Path());
        ASSERT_TRUE(store.Load()) << std::oct << c.before;
        EXPECT_EQ(store.TerminalNumber(), "1234567");
        EXPECT_EQ(ModeOf(path), c.after) << std::oct << c.before;
        std::string notice = store.TakeNotice();
        if (c.told) {
            EXPECT_NE(notice.find(path), std::string::npos) << notice;
            EXPECT_NE(notice.find(c.told), std::string::npos) << notice;
            EXPECT_NE(notice.find("0600"), std::string::npos) << notice;
        } else {
            EXPECT_EQ(notice, "") << std::oct << c.before;
        }
        EXPECT_EQ(store.TakeNotice(), "");
    }
}

TEST(IdentityStore, SaveIntoAMissingFolderFailsWithAReason) {
    TestDir dir;
    IdentityStore store(dir / "no-such-folder");
    ASSERT_TRUE(store.Load());
    store.Set("TerminalNumber", "1234567");
    std::string error;
    EXPECT_FALSE(store.Save(&error));
    EXPECT_NE(error.find("Tarvo.ini"), std::string::npos) << error;
}

}  // namespace
}  // namespace tarvo
