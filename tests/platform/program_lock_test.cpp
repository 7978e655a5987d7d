#include "platform/program_lock.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "lock_holder.h"
#include "test_dir.h"

namespace tarvo {
namespace {

class ProgramLockTest : public ::testing::Test {
protected:
    void TearDown() override { ProgramFolder_Unlock(); }
    TestDir dir;
};

TEST_F(ProgramLockTest, AFolderHeldByAnotherProcessIsInUseUntilThatProcessDies) {
    LockHolder other(dir.Path());
    ASSERT_EQ(other.NextLine(), "Taken");
    std::string why;
    EXPECT_EQ(ProgramFolder_Lock(dir.Path(), &why), FolderLock::InUse);
    EXPECT_NE(why.find(dir / "tarvo.lock"), std::string::npos) << why;

    other.Kill();  // SIGKILL: the kernel lets its lock go, nothing stale is left
    EXPECT_EQ(ProgramFolder_Lock(dir.Path()), FolderLock::Taken);
}

TEST_F(ProgramLockTest, TheFolderHeldIsTakenAgainAndAnotherFolderLetsItGo) {
    TestDir second;
    ASSERT_EQ(ProgramFolder_Lock(dir.Path()), FolderLock::Taken);
    EXPECT_EQ(ProgramFolder_Lock(dir.Path()), FolderLock::Taken);
    EXPECT_EQ(ProgramFolder_Lock(dir.Path() + "/."), FolderLock::Taken);  // the same folder by another name
    {
        LockHolder other(dir.Path());
        EXPECT_EQ(other.NextLine(), "InUse");
    }
    ASSERT_EQ(ProgramFolder_Lock(second.Path()), FolderLock::Taken);
    {
        LockHolder other(dir.Path());
        EXPECT_EQ(other.NextLine(), "Taken");
    }
    ProgramFolder_Unlock();
    LockHolder other(second.Path());
    EXPECT_EQ(other.NextLine(), "Taken");
}

// A restart replaces the program with a fresh copy of itself: the copy must
// find the folder free, not held by the image it replaced.
TEST_F(ProgramLockTest, ARestartTakesTheFolderAgain) {
    LockHolder restarting(dir.Path(), true);
    EXPECT_EQ(restarting.NextLine(), "Taken");
    EXPECT_EQ(restarting.NextLine(), "Taken");
    EXPECT_EQ(ProgramFolder_Lock(dir.Path()), FolderLock::InUse);
}

TEST_F(ProgramLockTest, AMissingFolderIsMadeAndALockFileThatCannotBeMadeFails) {
    EXPECT_EQ(ProgramFolder_Lock(dir / "new/home"), FolderLock::Taken);
    EXPECT_TRUE(std::filesystem::exists(dir / "new/home/tarvo.lock"));
    dir.Write("file", "x");
    std::string why;
    EXPECT_EQ(ProgramFolder_Lock(dir / "file", &why), FolderLock::Failed);
    EXPECT_NE(why.find("tarvo.lock"), std::string::npos) << why;
}

}  // namespace
}  // namespace tarvo
