#include "common/text_clean.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(TextClean, EveryCharacterThatBreaksARecordBecomesOneBlank) {
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {"Smith, John", "Smith  John"},
        {"O'Neil \"Bud\" & Co", "O Neil  Bud    Co"},
        {"line1\r\nline2\ttab", "line1  line2 tab"},
        {std::string("a\0b", 3), "a b"},
        {"del\x7F", "del "},
        {"c1\x81\x8D\x8F\x90\x9D", "c1     "},
        // windows-1252 letters, symbols and blanks stay as they are
        {"Caf\xE9 \x80"
         "5 ; 50% - ok! (#12) /:?@",
         "Caf\xE9 \x80"
         "5 ; 50% - ok! (#12) /:?@"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Text_Clean(c.in), c.out) << c.in;
}

TEST(TextClean, WindowTextIsStoredAsWindows1252WithAQuestionMarkForTheRest) {
    EXPECT_EQ(Text_CleanUtf8("Café “Noir”, 5 €"), "Caf\xE9 \x93Noir\x94  5 \x80");
    EXPECT_EQ(Text_CleanUtf8("日本 ok"), "?? ok");
    EXPECT_EQ(Text_CleanUtf8("bad \xFF byte"), "bad ? byte");
    EXPECT_EQ(Text_CleanUtf8("l1\nl2"), "l1 l2");
}

}  // namespace
}  // namespace tarvo
