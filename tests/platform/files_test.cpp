#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

TEST(OpenOrCreatePrivate, NeverFollowsALink) {
    TestDir dir;
    TestDir outside;
    const std::string target = outside.Write("precious.txt", "keep");
    fs::create_symlink(target, dir / "work.DAT");
    fs::create_symlink(outside / "absent.txt", dir / "dangling.DAT");
    for (const char* name : {"work.DAT", "dangling.DAT"}) {
        SCOPED_TRACE(name);
        for (int flags : {O_RDWR, O_WRONLY | O_APPEND, O_RDWR | O_TRUNC}) {
            errno = 0;
            EXPECT_EQ(OpenOrCreatePrivate(dir / name, flags), -1);
            EXPECT_EQ(errno, ELOOP);
        }
        EXPECT_EQ(OpenFailureText(dir / name, ELOOP),
                  (dir / name) + " is a symbolic link; the register never writes a file through a link");
    }
    EXPECT_EQ(outside.Read("precious.txt"), "keep");
    EXPECT_FALSE(fs::exists(outside / "absent.txt"));
    // A plain file opens as before.
    const int fd = OpenOrCreatePrivate(dir / "plain.DAT", O_RDWR);
    EXPECT_GE(fd, 0);
    ::close(fd);
}

TEST(WriteFileAtomic, ReplacesALinkWithoutWritingThroughIt) {
    TestDir dir;
    TestDir outside;
    const std::string target = outside.Write("precious.txt", "keep");
    fs::create_symlink(target, dir / "settings.ini");
    ASSERT_TRUE(WriteFileAtomic(dir / "settings.ini", "new", 0600));
    EXPECT_FALSE(fs::is_symlink(dir / "settings.ini"));
    EXPECT_EQ(dir.Read("settings.ini"), "new");
    EXPECT_EQ(outside.Read("precious.txt"), "keep");
}

}  // namespace
}  // namespace tarvo
