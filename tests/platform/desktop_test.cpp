#include "platform/desktop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <sys/stat.h>

#include "test_dir.h"

namespace tarvo {
namespace {

// PATH holds only a folder with a recording "aplay", for the test's length.
class FakePlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("PATH");
        oldPath_ = old ? old : "";
        std::string player = bin.Write("aplay", "#!/bin/sh\necho \"$@\" > " + (bin / "played.tmp") + "\n/bin/mv " +
                                                    (bin / "played.tmp") + " " + (bin / "played") + "\n");
        ::chmod(player.c_str(), 0755);
        ::setenv("PATH", bin.Path().c_str(), 1);
    }
    void TearDown() override { ::setenv("PATH", oldPath_.c_str(), 1); }

    bool Played(int waitMs) {
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        while (!std::filesystem::exists(bin / "played") && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return std::filesystem::exists(bin / "played");
    }

    TestDir bin;
    TestDir home;

private:
    std::string oldPath_;
};

TEST_F(FakePlayerTest, SoundOnePlaysS1OfTheProgramFolder) {
    home.Write("S1.wav", "RIFF");
    PlaySoundFile(home.Path(), 1);
    ASSERT_TRUE(Played(2000));
    EXPECT_EQ(bin.Read("played"), "-q " + (home / "S1.wav") + "\n");
}

TEST_F(FakePlayerTest, MissingFileOrOtherNumberPlaysNothing) {
    PlaySoundFile(home.Path(), 1);  // no S1.wav
    home.Write("S2.wav", "RIFF");
    PlaySoundFile(home.Path(), 2);
    home.Write("S1.wav", "RIFF");
    PlaySoundFile(home.Path(), 0);
    EXPECT_FALSE(Played(300));
}

}  // namespace
}  // namespace tarvo
