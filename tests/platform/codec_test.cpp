#include "platform/codec.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(Codec, DecoderInitializes) {
    Decoder d;
    EXPECT_FALSE(d.Ready());
    EXPECT_TRUE(d.Initialize());
    EXPECT_TRUE(d.Ready());
}

TEST(Base64, KnownVectorsBothWays) {
    struct Case {
        std::string_view bytes, text;
    } cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"\xFB\xFF\xBF", "+/+/"},
        {std::string_view("\0\0\0", 3), "AAAA"},
        {"Caf\xE9 \x80", "Q2Fm6SCA"},  // windows-1252 bytes stay as they are
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Base64Encode(c.bytes), c.text) << c.text;
        EXPECT_EQ(Base64Decode(c.text), std::string(c.bytes)) << c.text;
    }
}

TEST(Base64, DecodingSkipsBlanksAndLineBreaks) {
    EXPECT_EQ(Base64Decode("Zm9v\r\nYmFy\n"), "foobar");
    EXPECT_EQ(Base64Decode(" Zm9v YmE=\t"), "fooba");
    EXPECT_EQ(Base64Decode("Zm\r\n8="), "fo");
}

TEST(Base64, RefusesInvalidText) {
    for (std::string_view bad : {
             "Zm9",    // length not a multiple of four
             "Zm9vY",  // same
             "Zm9v!",  // character outside the alphabet
             "Zm-v",   // URL-safe alphabet is not accepted
             "Zm_v",
             "Zg=a",      // data after padding
             "Zg==Zg==",  // padding in the middle
             "Z===",      // too much padding
             "====",
             "Zm9vYmFy=",  // stray padding
         })
        EXPECT_FALSE(Base64Decode(bad).has_value()) << bad;
}

TEST(Base64, EveryByteValueAndLengthRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    // 256, 255 and 254 bytes: each padding form.
    for (std::size_t cut : {0u, 1u, 2u}) {
        std::string bytes = all.substr(cut);
        std::string text = Base64Encode(bytes);
        EXPECT_EQ(text.size() % 4, 0u);
        EXPECT_EQ(Base64Decode(text), bytes) << cut;
    }
}

}  // namespace
}  // namespace tarvo
