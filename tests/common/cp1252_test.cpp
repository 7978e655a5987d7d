#include "common/cp1252.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(Cp1252, HighControlRangeMapsToWindowsLetters) {
    struct Case {
        unsigned char byte;
        const char* utf8;
    } cases[] = {
        {0x80, "€"},        {0x82, "‚"},        {0x83, "ƒ"}, {0x84, "„"},        {0x85, "…"},        {0x86, "†"},
        {0x87, "‡"},        {0x88, "ˆ"},        {0x89, "‰"}, {0x8A, "Š"},        {0x8B, "‹"},        {0x8C, "Œ"},
        {0x8E, "Ž"},        {0x91, "‘"},        {0x92, "’"}, {0x93, "“"},        {0x94, "”"},        {0x95, "•"},
        {0x96, "–"},        {0x97, "—"},        {0x98, "˜"}, {0x99, "™"},        {0x9A, "š"},        {0x9B, "›"},
        {0x9C, "œ"},        {0x9E, "ž"},        {0x9F, "Ÿ"}, {0x81, "\xC2\x81"}, {0x8D, "\xC2\x8D"}, {0x8F, "\xC2\x8F"},
        {0x90, "\xC2\x90"}, {0x9D, "\xC2\x9D"}, {0xE9, "é"}, {0xA0, "\xC2\xA0"}, {0xFF, "ÿ"},        {'A', "A"},
    };
    for (const auto& c : cases) {
        std::string b(1, static_cast<char>(c.byte));
        EXPECT_EQ(Cp1252ToUtf8(b), c.utf8) << std::hex << int(c.byte);
        EXPECT_EQ(Utf8ToCp1252(c.utf8), b) << std::hex << int(c.byte);
    }
}

TEST(Cp1252, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, UnmappableAndMalformedInputBecomeReplacement) {
    EXPECT_EQ(Utf8ToCp1252("a\xE2\x82\xACz"), "a\x80z");
    EXPECT_EQ(Utf8ToCp1252("日本"), "??");
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");     // cut sequence
    EXPECT_EQ(Utf8ToCp1252("\xC0\xA9"), "??");  // overlong
    EXPECT_EQ(Utf8ToCp1252("x\xFFy", '_'), "x_y");
    EXPECT_EQ(Utf8ToCp1252("😀"), "?");
}

TEST(Cp1252, AccentNeverShiftsAFixedColumn) {
    std::string field = Utf8ToCp1252("Crème brûlée");
    EXPECT_EQ(field.size(), 12u);
}

}  // namespace
}  // namespace tarvo
