#include "transfer/record_uploads.h"

#include <gtest/gtest.h>

#include "transfer/upload_fixture.h"

namespace tarvo {
namespace {

using namespace upload_fixture;
using RecordUploadTest = UploadTest;

std::string FlagsOf(const char* ext, int length, std::size_t column) {
    WorkFile f;
    EXPECT_TRUE(f.Open(gConstants.paths.gDataPath + ext, length));
    std::string flags;
    for (std::int64_t r = 2; r < f.RecordCount() + 1 && !f.Read(r).empty(); ++r)
        flags += f.Read(r).substr(column - 1, 1);
    return flags;
}

// Each kind's line is its record without the sent flag, in the record's own
// columns; only the records after the newest flagged one go, and the mark
// flags exactly those.
TEST_F(RecordUploadTest, EachKindSendsItsUnsentRecordsWithoutTheirFlagAndMarksThoseOnly) {
    WriteFile(".ACT", 60,
              {"202612090900D1        00000007100      " + std::string(9, ' '),
               "202612091000P0        00000007-5.5     " + std::string(9, ' '),
               "202612091100O09999999000000072O0       " + std::string(9, ' ')});
    WriteFile(".PHY", 20,
              {Fixed(18, {{1, "1001"}, {9, "12"}, {18, "1"}}), Fixed(18, {{1, "1002"}, {9, "-3"}, {18, "0"}}),
               Fixed(18, {{1, "1003"}, {9, "7"}, {18, "0"}})});
    WriteFile(".NWC", 500, {Fixed(498, {{1, "0"}, {3, "40002"}, {11, "New Client"}, {478, "1001"}})});
    WriteFile(".NWP", 300, {Fixed(298, {{1, "1"}, {3, "NP-1"}}), Fixed(298, {{1, "0"}, {3, "NP-2"}, {43, "Tea"}})});
    Data_CloseAll(gData);

    struct Case {
        RecordKind kind;
        const char* ext;
        int length;
        std::size_t flagColumn;
        std::int64_t first, last;
        std::string file;
        std::string flagsAfter;
    } cases[] = {
        {RecordKind::Activity, ".ACT", 60, 14, 3, 4,
         "202612091000P        00000007-5.5     \r\n202612091100O9999999000000072O0       \r\n", "111"},
        {RecordKind::Physical, ".PHY", 20, 18, 3, 4, "1002    -3       \r\n1003    7        \r\n", "111"},
        {RecordKind::NewClients, ".NWC", 500, 1, 2, 2,
         Fixed(496, {{1, "40002"}, {9, "New Client"}, {476, "1001"}}) + "\r\n", "1"},
        {RecordKind::NewProducts, ".NWP", 300, 1, 3, 3, Fixed(296, {{1, "NP-2"}, {41, "Tea"}}) + "\r\n", "11"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(RecordKind_Extension(c.kind));
        const std::string path = dir / ("Files/1234567." + std::string(RecordKind_Extension(c.kind)));
        UploadBuild b = Records_CreateFile(c.kind, path, false);
        ASSERT_TRUE(b.ok) << b.error;
        EXPECT_EQ(b.range.first, c.first);
        EXPECT_EQ(b.range.last, c.last);
        EXPECT_EQ(dir.Read("Files/1234567." + std::string(RecordKind_Extension(c.kind))), c.file);
        const std::string stamp = Records_RangeStamp(c.kind, b.range);
        EXPECT_EQ(stamp, b.stamp);
        ASSERT_TRUE(Records_MarkSent(c.kind, b.range));
        EXPECT_EQ(Records_RangeStamp(c.kind, b.range), stamp);  // the flag is not part of it
        Data_CloseAll(gData);
        EXPECT_EQ(FlagsOf(c.ext, c.length, c.flagColumn), c.flagsAfter);
        UploadBuild again = Records_CreateFile(c.kind, path, false);
        EXPECT_TRUE(again.range.Empty());
        Data_CloseAll(gData);
    }
}

}  // namespace
}  // namespace tarvo
