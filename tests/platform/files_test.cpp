#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include "test_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(WriteFileAtomic, ReplacesTheFileWithTheGivenMode) {
    TestDir dir;
    std::string path = dir.Write("file.txt", "old");
    std::string error;
    ASSERT_TRUE(WriteFileAtomic(path, "new bytes", 0600, &error)) << error;
    EXPECT_EQ(dir.Read("file.txt"), "new bytes");
    EXPECT_EQ(ModeOf(path), 0600u);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

// Whatever stands at the temporary name (a symlink planted there, a file left
// by a crash), it is never written through and the write still succeeds.
TEST(WriteFileAtomic, NeverFollowsOrKeepsWhatStandsAtTheTemporaryName) {
    struct Case {
        const char* name;
        bool symlink;
        bool danglingLink;
    } cases[] = {
        {"symlink to a victim file", true, false},
        {"dangling symlink", true, true},
        {"stale temporary file", false, false},
    };
    for (const auto& c : cases) {
        TestDir dir;
        std::string path = dir.Write("Tarvo.ini", "old");
        std::string victim = dir.Write("victim", "victim bytes");
        ASSERT_EQ(::chmod(victim.c_str(), 0644), 0);
        std::string tmp = path + ".tmp";
        if (c.symlink)
            fs::create_symlink(c.danglingLink ? dir / "nowhere" : victim, tmp);
        else
            dir.Write("Tarvo.ini.tmp", "half a file from before a crash");
        std::string error;
        ASSERT_TRUE(WriteFileAtomic(path, "new bytes", 0600, &error)) << c.name << ": " << error;
        EXPECT_EQ(dir.Read("Tarvo.ini"), "new bytes") << c.name;
        EXPECT_FALSE(fs::is_symlink(path)) << c.name;
        EXPECT_EQ(ModeOf(path), 0600u) << c.name;
        EXPECT_EQ(dir.Read("victim"), "victim bytes") << c.name;
        EXPECT_EQ(ModeOf(victim), 0644u) << c.name;
        EXPECT_FALSE(fs::exists(dir / "nowhere")) << c.name;
        EXPECT_FALSE(fs::exists(fs::symlink_status(tmp))) << c.name;
    }
}

TEST(WriteFileAtomic, FailureLeavesTheOldFile) {
    TestDir dir;
    std::string path = dir.Write("file.txt", "old");
    // A folder at the temporary name cannot be removed by unlink.
    fs::create_directory(path + ".tmp");
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(path, "new", 0600, &error));
    EXPECT_NE(error.find("file.txt.tmp"), std::string::npos) << error;
    EXPECT_EQ(dir.Read("file.txt"), "old");
}

}  // namespace
}  // namespace tarvo
