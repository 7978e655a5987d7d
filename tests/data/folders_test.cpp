#include "data/folders.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "test_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

bool WaitForFile(const std::string& path, int ms) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!fs::exists(path) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return fs::exists(path);
}

TEST(FoldersCheck, CreatesTheWorkingFoldersAndSetsTheCardPaths) {
    TestDir dir;
    Settings s;
    EXPECT_EQ(Folders_Check(dir.Path(), s), "");
    for (const char* sub : {"Files", "Data", "ICVerify", "ICVerify/Request"})
        EXPECT_TRUE(fs::is_directory(dir / sub)) << sub;
    EXPECT_EQ(s.gCardExchangeFolder, "ICVerify");
    EXPECT_EQ(s.gCardRequestFolder, "ICVerify/Request");
    EXPECT_EQ(s.gCardRequestBase, "ICVerify/Request/icver001");

    // Existing folders and their files are left alone.
    dir.Write("Files/1234567.SET", "100 REG01\r\n");
    EXPECT_EQ(Folders_Check(dir.Path(), s), "");
    EXPECT_EQ(dir.Read("Files/1234567.SET"), "100 REG01\r\n");
}

TEST(FoldersCheck, AFolderThatCannotBeMadeIsReportedNotFatal) {
    TestDir dir;
    dir.Write("Data", "a file where the folder should be");
    Settings s;
    std::string problems = Folders_Check(dir.Path(), s);
    EXPECT_NE(problems.find("Data"), std::string::npos) << problems;
    EXPECT_TRUE(fs::is_directory(dir / "Files"));
    EXPECT_TRUE(fs::is_directory(dir / "ICVerify/Request"));
}

TEST(FoldersCheck, StartsStartupScriptDetachedInTheProgramFolder) {
    TestDir dir;
    // Relative paths: the script runs in the program folder. It outlives the
    // check (sleeps first), so the check must not wait for it.
    dir.Write("Startup.sh", "sleep 1\npwd -P > started.tmp\nmv started.tmp started\n");
    Settings s;
    auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(Folders_Check(dir.Path(), s), "");
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(900));
    ASSERT_TRUE(WaitForFile(dir / "started", 5000));
    EXPECT_EQ(dir.Read("started"), fs::canonical(dir.Path()).string() + "\n");
}

}  // namespace
}  // namespace tarvo
