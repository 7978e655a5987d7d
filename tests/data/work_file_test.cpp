#include "data/work_file.h"

#include <gtest/gtest.h>

#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "test_dir.h"

namespace tarvo {
namespace {

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::string Text(int k) { return "record " + std::to_string(k); }

// A working file of `records` records of 100 bytes: about five pages at 200.
void Fill(WorkFile& f, int records) {
    WorkFile::Appender out(f, 1);
    for (int k = 1; k <= records; ++k) ASSERT_TRUE(out.Add(Text(k)));
    ASSERT_TRUE(out.Finish());
}

// What another program does to the file through its own descriptor.
void CutFromOutside(const std::string& path, off_t bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, bytes), 0);
    ::close(fd);
}

TEST(WorkFile, NewFilesAreReadableByTheirOwnerOnlyAndOldOnesKeepTheirMode) {
    struct Case {
        const char* name;
        bool exists;
        bool truncate;
        unsigned mode;
    } cases[] = {
        {"new file", false, false, 0600},
        {"new file opened to be cut", false, true, 0600},
        {"existing file", true, false, 0644},
        {"existing file cut at open", true, true, 0644},
    };
    for (const auto& c : cases) {
        TestDir dir;
        std::string path = dir / "1234567.INV";
        if (c.exists) {
            dir.Write("1234567.INV", std::string(100, ' '));
            ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
        }
        WorkFile f;
        ASSERT_TRUE(f.Open(path, 100, c.truncate)) << c.name << ": " << f.Error();
        EXPECT_EQ(ModeOf(path), c.mode) << c.name;
        EXPECT_EQ(f.RecordCount(), c.exists && !c.truncate ? 1 : 0) << c.name;
    }
}

TEST(WorkFile, AFileCutByAnotherProgramReadsAsNoRecordPastItsNewEnd) {
    TestDir dir;
    std::string path = dir / "1234567.PRD";
    WorkFile f;
    ASSERT_TRUE(f.Open(path, 100));
    Fill(f, 200);
    ASSERT_EQ(f.Read(150), Text(150));  // mapped and read once

    CutFromOutside(path, 10 * 100 + 40);  // ten records and part of the eleventh
    // Pages wholly past the new end: no SIGBUS, no record.
    for (int k : {150, 200, 41, 11}) EXPECT_EQ(f.Read(k), "") << k;
    EXPECT_EQ(f.View(199), "");
    // Records inside the file still read, and the count is the file's own.
    EXPECT_EQ(f.Read(1), Text(1));
    EXPECT_EQ(f.Read(10), Text(10));
    EXPECT_EQ(f.RecordCount(), 10);

    // Written again, the records past the cut read as written.
    ASSERT_TRUE(f.Write(150, "written after the cut"));
    EXPECT_EQ(f.Read(150), "written after the cut");
    EXPECT_EQ(f.Read(149), "");
    EXPECT_EQ(f.RecordCount(), 150);

    // Cut to nothing while a view of the first record is held: the view
    // reads as blanks or zeros, never a signal, and later reads find no record.
    std::string_view held = f.View(1);
    CutFromOutside(path, 0);
    EXPECT_EQ(std::string(held).find_first_not_of(std::string("record 1 \0", 10)), std::string::npos);
    EXPECT_EQ(f.Read(1), "");
    EXPECT_EQ(f.RecordCount(), 0);
}

TEST(WorkFile, RecordsAddedByAnotherProgramAreRead) {
    TestDir dir;
    std::string path = dir / "1234567.ACT";
    WorkFile f;
    ASSERT_TRUE(f.Open(path, 100));
    Fill(f, 3);
    ASSERT_EQ(f.Read(2), Text(2));
    {
        WorkFile other;
        ASSERT_TRUE(other.Open(path, 100));
        ASSERT_TRUE(other.Write(4, Text(4)));
    }
    EXPECT_EQ(f.Read(4), Text(4));
    EXPECT_EQ(f.RecordCount(), 4);
}

}  // namespace
}  // namespace tarvo
