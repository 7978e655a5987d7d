#include "common/line_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "test_dir.h"

namespace tarvo {
namespace {

std::vector<std::string> ReadAll(const std::string& path, bool bom = false) {
    LineReader r(path, bom);
    std::vector<std::string> out;
    std::string line;
    while (r.Next(line)) out.push_back(line);
    EXPECT_EQ(r.Error(), 0);
    return out;
}

TEST(LineReader, EveryLineEndEndsALineAndNoCrRemains) {
    TestDir dir;
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\r\n\r\n", {"", ""}},
        {"", {}},
        {"last", {"last"}},
        {"x\n\ry", {"x", "", "y"}},
    };
    for (const auto& c : cases) {
        std::string p = dir.Write("f.txt", c.bytes);
        EXPECT_EQ(ReadAll(p), c.lines);
        EXPECT_EQ(SplitLines(c.bytes), c.lines);
    }
}

TEST(LineReader, CrLfSplitAcrossReadBlocksIsOneLineEnd) {
    TestDir dir;
    // Lines of varied length so that CR LF pairs fall on the 64 KiB block edges.
    std::string bytes;
    std::vector<std::string> expect;
    for (int i = 0; bytes.size() < 400000; ++i) {
        std::string line(static_cast<std::size_t>(i % 97), static_cast<char>('a' + i % 26));
        expect.push_back(line);
        bytes += line + "\r\n";
    }
    std::string p = dir.Write("big.txt", bytes);
    EXPECT_EQ(ReadAll(p), expect);
    // a line longer than the block
    std::string huge(200000, 'z');
    p = dir.Write("huge.txt", "a\r\n" + huge + "\rb");
    EXPECT_EQ(ReadAll(p), (std::vector<std::string>{"a", huge, "b"}));
}

TEST(LineReader, ByteOrderMarkIsSkippedOnlyWhenAsked) {
    TestDir dir;
    std::string p = dir.Write("bom.txt", "\xEF\xBB\xBF"
                                         "200 1\r\n");
    EXPECT_EQ(ReadAll(p, true), std::vector<std::string>{"200 1"});
    EXPECT_EQ(ReadAll(p, false), std::vector<std::string>{"\xEF\xBB\xBF"
                                                          "200 1"});
}

TEST(LineReader, MissingFileReportsError) {
    LineReader r;
    EXPECT_FALSE(r.Open("/nonexistent/x.txt"));
    EXPECT_NE(r.Error(), 0);
    std::string line;
    EXPECT_FALSE(r.Next(line));
}

}  // namespace
}  // namespace tarvo
