#include "platform/file_mapping.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "test_dir.h"

namespace tarvo {
namespace {

constexpr std::size_t kPage = 4096;

// A file of four pages of 'x', open for reading and writing.
int FourPages(const TestDir& dir, const char* name) {
    std::string path = dir.Write(name, std::string(4 * kPage, 'x'));
    return ::open(path.c_str(), O_RDWR | O_CLOEXEC);
}

TEST(FileMapping, APageCutFromTheFileReadsAsZerosAndIsReportedOnce) {
    TestDir dir;
    int fd = FourPages(dir, "file");
    ASSERT_GE(fd, 0);
    FileMapping map;
    ASSERT_TRUE(map.Map(fd, 4 * kPage));
    const volatile char* data = map.Data();
    EXPECT_EQ(data[3 * kPage], 'x');
    ASSERT_EQ(::ftruncate(fd, kPage), 0);

    EXPECT_EQ(data[0], 'x');
    EXPECT_FALSE(map.TakeFault());
    EXPECT_EQ(data[3 * kPage], 0);
    EXPECT_EQ(data[2 * kPage + 7], 0);
    EXPECT_TRUE(map.TakeFault());
    EXPECT_FALSE(map.TakeFault());

    // An earlier mapping stays readable after a new one is made.
    ASSERT_TRUE(map.Map(fd, kPage));
    EXPECT_EQ(data[0], 'x');
    EXPECT_EQ(data[3 * kPage], 0);
    EXPECT_FALSE(map.TakeFault());  // a fault of the earlier mapping is not the current one's
    map.Release();
    ::close(fd);
}

// A SIGBUS of a mapping that is not a FileMapping ends the program as it
// would have without ours: the handler answers for its own mappings only.
TEST(FileMappingDeathTest, ASigbusElsewhereStillEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TestDir dir;
    EXPECT_EXIT(
        {
            int fd = FourPages(dir, "ours");
            FileMapping ours;  // installs the handler
            if (!ours.Map(fd, 4 * kPage)) std::_Exit(3);
            int other = FourPages(dir, "other");
            void* p = ::mmap(nullptr, 4 * kPage, PROT_READ, MAP_SHARED, other, 0);
            if (p == MAP_FAILED || ::ftruncate(other, 0) != 0) std::_Exit(4);
            volatile char c = static_cast<const volatile char*>(p)[3 * kPage];
            (void)c;
            std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGBUS), "");
}

}  // namespace
}  // namespace tarvo
