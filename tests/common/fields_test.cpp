#include "common/fields.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(Fields, PadRightTrimsThenPadsOrCuts) {
    struct Case {
        const char* in;
        int width;
        const char* out;
    } cases[] = {
        {"  ab  ", 4, "ab  "}, {"abcdef", 4, "abcd"}, {"", 3, "   "},
        {"x", 0, ""},          {" a b ", 5, "a b  "}, {"abc", -1, ""},
    };
    for (const auto& c : cases) {
        std::string s = c.in;
        Str_PadRight(s, c.width);
        EXPECT_EQ(s, c.out) << '"' << c.in << "\" " << c.width;
    }
}

TEST(Fields, PadZeroAddsAtMostSevenZeros) {
    struct Case {
        const char* in;
        int width;
        const char* out;
    } cases[] = {
        {"12", 7, "0000012"}, {"12", 10, "000000012 "}, {"12345678", 7, "2345678"},
        {" 5 ", 3, "005"},    {"", 7, "0000000"},       {"1234567", 7, "1234567"},
    };
    for (const auto& c : cases) EXPECT_EQ(PadZero(c.in, c.width), c.out) << c.in << " " << c.width;
}

TEST(Fields, EncodeAndDecodeCardFields) {
    std::string s = "a,b'c";
    Str_Encode(s);
    EXPECT_EQ(s, std::string({char(117), char(30), char(118), char(31), char(119)}));
    EXPECT_EQ(s.find(','), std::string::npos);
    EXPECT_EQ(s.find('\''), std::string::npos);
    Str_Decode(s);
    EXPECT_EQ(s, "a,b'c");

    std::string zero = "0";
    Str_Encode(zero);
    EXPECT_EQ(zero, "D");

    // every code below 236 survives the round trip
    std::string all;
    for (int a = 1; a < 236; ++a) all.push_back(static_cast<char>(a));
    std::string enc = all;
    Str_Encode(enc);
    Str_Decode(enc);
    EXPECT_EQ(enc, all);

    // a code with no 8-bit encoded form comes back as '?', never as another letter
    std::string high = "\xF0";
    Str_Encode(high);
    Str_Decode(high);
    EXPECT_EQ(high, "?");
}

}  // namespace
}  // namespace tarvo
