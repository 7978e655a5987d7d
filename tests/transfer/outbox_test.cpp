#include "transfer/outbox.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

OutboxEntry Entry(std::string kind, OutboxState state) {
    OutboxEntry e;
    e.kind = kind;
    e.first = 12;
    e.last = 2011;
    e.state = state;
    e.size = 81234;
    e.finalName = "1209143" + std::string(".") + kind;
    e.tempName = "1234567-" + e.finalName + ".part";
    e.stamp = "00c0ffee00c0ffee";
    return e;
}

TEST(Outbox, EachStepIsOnDiskBeforeItReturnsAndReadsBackTheSame) {
    TestDir dir;
    const std::string path = dir / "Files/1234567.OUT";
    fs::create_directories(dir / "Files");
    Outbox outbox(path);
    ASSERT_TRUE(outbox.Load(nullptr));  // none yet: empty
    EXPECT_EQ(outbox.Pending(), 0);

    ASSERT_TRUE(outbox.Store(Entry("TRA", OutboxState::Built), nullptr));
    ASSERT_TRUE(outbox.Store(Entry("ACC", OutboxState::Built), nullptr));
    ASSERT_TRUE(outbox.Store(Entry("TRA", OutboxState::Put), nullptr));
    EXPECT_EQ(dir.Read("Files/1234567.OUT"),
              "TRA|12|2011|Put|81234|1234567-1209143.TRA.part|1209143.TRA|00c0ffee00c0ffee\r\n"
              "ACC|12|2011|Built|81234|1234567-1209143.ACC.part|1209143.ACC|00c0ffee00c0ffee\r\n");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    Outbox again(path);
    ASSERT_TRUE(again.Load(nullptr));
    EXPECT_EQ(again.Entries(), outbox.Entries());
    EXPECT_EQ(again.Find("TRA"), Entry("TRA", OutboxState::Put));
    EXPECT_FALSE(again.Find("PHY").has_value());

    ASSERT_TRUE(again.Remove("TRA", nullptr));
    ASSERT_TRUE(again.Remove("PUR", nullptr));  // not there: nothing to do
    EXPECT_EQ(dir.Read("Files/1234567.OUT"),
              "ACC|12|2011|Built|81234|1234567-1209143.ACC.part|1209143.ACC|00c0ffee00c0ffee\r\n");
    ASSERT_TRUE(again.Remove("ACC", nullptr));
    EXPECT_EQ(dir.Read("Files/1234567.OUT"), "");
    EXPECT_TRUE(again.Load(nullptr));
    EXPECT_EQ(again.Pending(), 0);
}

TEST(Outbox, ADamagedFileIsReportedAndKeptNeverTakenForEmpty) {
    const char* damaged[] = {
        "TRA|12|2011|Put|81234|a.part\r\n",            // a field short
        "TRA|12|2011|Gone|81234|a.part|a\r\n",         // no such state
        "TRA|12|-4|Put|81234|a.part|a\r\n",            // no range
        "TRA|1x|2011|Put|81234|a.part|a\r\n",          // not a number
        "TRA|12|2011|Put|81234||a\r\n",                // no temporary name
        "ACC|1|2|Sent|5|b.part|b\r\nTRA|12|2011|Put",  // cut by hand
    };
    for (const char* bytes : damaged) {
        TestDir dir;
        const std::string path = dir.Write("1234567.OUT", bytes);
        Outbox outbox(path);
        std::string error;
        EXPECT_FALSE(outbox.Load(&error)) << bytes;
        EXPECT_NE(error.find("damaged"), std::string::npos) << error;
        EXPECT_EQ(dir.Read("1234567.OUT"), bytes);
    }
    TestDir dir;
    fs::create_directories(dir / "1234567.OUT");  // cannot be read as a file
    Outbox unreadable(dir / "1234567.OUT");
    EXPECT_FALSE(unreadable.Load(nullptr));
}

TEST(Outbox, AnEntryThatCannotBeStoredOrAFailedWriteChangesNothing) {
    TestDir dir;
    Outbox outbox(dir / "1234567.OUT");
    ASSERT_TRUE(outbox.Store(Entry("TRA", OutboxState::Built), nullptr));
    const std::string before = dir.Read("1234567.OUT");

    OutboxEntry bar = Entry("ACC", OutboxState::Built);
    bar.finalName = "a|b";
    OutboxEntry newline = Entry("ACC", OutboxState::Built);
    newline.tempName = "a\r\nTRA|1|1|Sent|1|x|y";
    OutboxEntry noKind = Entry("", OutboxState::Built);
    for (const auto& e : {bar, newline, noKind}) {
        std::string error;
        EXPECT_FALSE(outbox.Store(e, &error));
        EXPECT_NE(error, "");
    }
    EXPECT_EQ(dir.Read("1234567.OUT"), before);
    EXPECT_EQ(outbox.Pending(), 1);

    Outbox nowhere(dir / "no folder/1234567.OUT");
    EXPECT_FALSE(nowhere.Store(Entry("TRA", OutboxState::Built), nullptr));
    EXPECT_EQ(nowhere.Pending(), 0);
}

}  // namespace
}  // namespace tarvo
