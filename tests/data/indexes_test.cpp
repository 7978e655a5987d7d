#include "data/indexes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "index_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// The word part (first 16 characters, blanks removed) of every .AUX entry.
std::vector<std::string> AuxWords() {
    std::vector<std::string> words;
    for (std::int32_t k = 1; k <= gData.gAuxCount; ++k) {
        std::string w = gData.auxIndex.Read(k).substr(0, 16);
        w.erase(w.find_last_not_of(' ') + 1);
        words.push_back(w);
    }
    return words;
}

std::string Pad(std::string_view s, std::size_t width) {
    std::string out(s.substr(0, std::min(s.size(), width)));
    out.resize(width, ' ');
    return out;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

// ---------------------------------------------------------------------------
// Lower case

TEST(LowerCase1252, ChangesAsciiAndAccentedCapitalsOnly) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"ABCXYZ abc 019", "abcxyz abc 019"},
        {"@[`{", "@[`{"},                          // neighbours of A-Z and a-z
        {"\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF"},  // S caron, OE, Z caron, Y diaeresis
        {"\x9A\x9C\x9E\xFF", "\x9A\x9C\x9E\xFF"},  // already lower
        {"\xC0\xC9\xD6\xD8\xDE", "\xE0\xE9\xF6\xF8\xFE"},
        {"\xD7\xDF\xBF\x80\x8B", "\xD7\xDF\xBF\x80\x8B"},  // multiplication sign, sharp s, others stay
    };
    for (const Case& c : cases) EXPECT_EQ(LowerCase1252(c.in), c.out) << c.in;
}

// ---------------------------------------------------------------------------
// Product word index

class ProductIndexTest : public DataFolderTest {};

TEST_F(ProductIndexTest, WordsShorterThanTheMinimumAreLeftOut) {
    struct Case {
        std::string description;
        bool shortWords;
        std::vector<std::string> words;  // in index order
    } cases[] = {
        {"RED APPLE BAG", false, {"apple"}},
        {"RED APPLE BAG", true, {"apple", "bag", "red"}},
        {"SOUP", false, {"soup"}},
        {"  TWO   SPACES  HERE", false, {"here", "spaces"}},
        {"A B CD", true, {"cd"}},
        {"X", true, {}},
        {"", false, {}},
        {"TOMATO TOMATO", false, {"tomato", "tomato"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description + (c.shortWords ? " (short words)" : ""));
        gSettings.gIndexShortWords = c.shortWords;
        LoadProducts({ProductRecord("P1", "B1", c.description)});
        Index_Product();
        EXPECT_EQ(AuxWords(), c.words);
        EXPECT_EQ(gData.gAuxCount, static_cast<std::int32_t>(c.words.size()));
        EXPECT_EQ(gData.auxIndex.RecordCount(), gData.gAuxCount);  // a rebuild replaces the whole file
    }
}

TEST_F(ProductIndexTest, EntryHoldsWordKeyAndRecordNumberInFixedColumns) {
    LoadProducts({
        ProductRecord("P-100", "0123456789012", "ABCDEFGHIJKLMNOPQRST"),     // 20-letter word
        ProductRecord("  LEADING-BLANKS-X", "  77-88-99-00-11-22", "Soup"),  // key columns cut to 16
    });
    struct Case {
        std::string mode;  // setting 250 as the file gives it
        std::string key1, key2;
    } cases[] = {
        {"0", "P-100", "LEADING-BLANKS"},
        {"1", "0123456789012", "77-88-99-00-11"},
        {"9", "0123456789012", "77-88-99-00-11"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("key mode " + c.mode);
        gSettings.gProductKeyMode = ProductKeyMode_Read(c.mode);
        Index_Product();
        ASSERT_EQ(gData.gAuxCount, 2);
        std::string e1 = "abcdefghijklmnop" + Pad(c.key1, 16) + "1     ";
        std::string e2 = Pad("soup", 16) + Pad(c.key2, 16) + "2     ";
        EXPECT_EQ(Records(gData.auxIndex, 2), (std::vector<std::string>{e1, e2}));
        // On disk: the saved index's header, then records of 40 bytes, a
        // 2-byte length (38) and the entry.
        std::string bytes = dir.Read("Data/1234567.AUX");
        EXPECT_EQ(bytes.substr(0, 8), "TRVINDEX");
        EXPECT_EQ(bytes.substr(128), std::string("\x26\x00", 2) + e1 + std::string("\x26\x00", 2) + e2);
    }
    // No temporary sort file or batch file is left behind.
    EXPECT_FALSE(fs::exists(dir / "TempFile"));
    EXPECT_FALSE(fs::exists(dir / "T1.bat"));
}

TEST_F(ProductIndexTest, EntriesAreInByteOrderOfTheWholeEntry) {
    LoadProducts({
        ProductRecord("K2", "",
                      "\xC9"
                      "CLAIR ZEBRA"),
        ProductRecord("K1", "", "zebra {BRACE} ~TILDE"),
        ProductRecord("K0", "",
                      "\x8AKODA APPLE \x8C"
                      "UFS"),
        ProductRecord("K0", "", "APPLE"),
    });
    Index_Product();
    std::vector<std::string> expected = {
        Pad("apple", 16) + Pad("K0", 16) + "3     ",
        Pad("apple", 16) + Pad("K0", 16) + "4     ",
        Pad("zebra", 16) + Pad("K1", 16) + "2     ",
        Pad("zebra", 16) + Pad("K2", 16) + "1     ",
        Pad("{brace}", 16) + Pad("K1", 16) + "2     ",
        Pad("~tilde", 16) + Pad("K1", 16) + "2     ",
        Pad("\x9Akoda", 16) + Pad("K0", 16) + "3     ",
        Pad("\x9C"
            "ufs",
            16) +
            Pad("K0", 16) + "3     ",
        Pad("\xE9"
            "clair",
            16) +
            Pad("K2", 16) + "1     ",
    };
    EXPECT_EQ(Records(gData.auxIndex, gData.gAuxCount), expected);
}

TEST_F(ProductIndexTest, RecordNumbersBeyondSixDigitsAreLeftOutWithOneLogLinePerBuild) {
    // A sparse working file: only the last three of 1,000,001 records hold text.
    ASSERT_TRUE(gData.products.Open(gConstants.paths.gDataPath + ".PRD", 275, true));
    ASSERT_TRUE(gData.products.Write(999999, ProductRecord("P1", "", "ALPHA")));
    ASSERT_TRUE(gData.products.Write(1000000, ProductRecord("P2", "", "BRAVO CHARLIE")));
    ASSERT_TRUE(gData.products.Write(1000001, ProductRecord("P3", "", "DELTA")));
    gData.gProductCount = 1000001;
    Index_Product();
    EXPECT_EQ(Records(gData.auxIndex, gData.gAuxCount),
              (std::vector<std::string>{Pad("alpha", 16) + Pad("P1", 16) + "999999"}));
    std::string log = LogText();
    const std::string line =
        "Index_Product: 3 entries of products past record 999999 left out (the index holds 6-digit record numbers)";
    ASSERT_NE(log.find(line), std::string::npos) << log;
    EXPECT_EQ(log.find(line), log.rfind(line)) << log;  // one line, not one per entry
    EXPECT_EQ(log.find("Index_Product", log.find(line) + line.size()), std::string::npos) << log;
}

// ---------------------------------------------------------------------------
// Client name index

class ClientIndexTest : public DataFolderTest {};

TEST_F(ClientIndexTest, NameWordsAndTelephoneDigits) {
    gSettings.gIndexShortWords = true;  // the client index keeps its 4-character minimum
    LoadClients({
        ClientRecord("C1", "ABCDEFGHIJKLMNOPQRSTUVWXY LEE", "(514) 555-1234"),
        ClientRecord("C2", "BO SMITH", "N/A"),
        ClientRecord("C3", "Anna", "  12 "),
        ClientRecord("C4", "", ""),
    });
    Index_Client();
    std::vector<std::string> expected = {
        Pad("12", 22) + "3     ",
        Pad("5145551234", 22) + "1     ",
        "abcdefghijklmnopqrstuv"
        "1     ",
        Pad("anna", 22) + "3     ",
        Pad("smith", 22) + "2     ",
    };
    EXPECT_EQ(Records(gData.cuxIndex, gData.gCuxCount), expected);
    std::string bytes = dir.Read("Data/1234567.CUX");
    ASSERT_EQ(bytes.size(), 128u + 5u * 30);
    EXPECT_EQ(bytes.substr(128, 30), std::string("\x1C\x00", 2) + expected[0]);
}

TEST_F(ClientIndexTest, SearchFindsNamesWhateverTheCaseAndTelephoneDigits) {
    LoadClients({
        ClientRecord("C1", "ABCDEFGHIJKLMNOPQRSTUVWXY", "(514) 555-1234"),
        ClientRecord("C2", "MARTIN", "514-555-9999"),
        ClientRecord("C3", "MARTINEZ", ""),
    });
    Index_Client();
    // 12, ... : 5145551234, 5145559999, abcdefg..., martin, martinez
    struct Case {
        std::string text;
        int first, last;
    } cases[] = {
        {"514555", 1, 2},
        {"5145559", 2, 2},
        {"Martin", 4, 5},
        {"martinez", 5, 5},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 3, 3},  // 26 letters, the entry keeps 22
        {"7", 0, 0},
    };
    for (const Case& c : cases) {
        gData.gSearchText = c.text;
        AuxClient_Search();
        EXPECT_EQ(gData.gSearchFirst, c.first) << c.text;
        EXPECT_EQ(gData.gSearchLast, c.last) << c.text;
        EXPECT_EQ(gData.gSearchText, c.text);  // the typed text is left as it was
    }
}

// ---------------------------------------------------------------------------
// Prefix search

class ProductSearchTest : public DataFolderTest {
protected:
    void Search(const std::string& text) {
        gData.gSearchText = text;
        AuxProduct_Search();
    }
};

TEST_F(ProductSearchTest, FirstAndLastMatchShorteningTheTextWhileNothingIsFound) {
    LoadProducts({
        ProductRecord("1", "", "TOMATO"),
        ProductRecord("2", "", "TOMB"),
        ProductRecord("3", "", "TOME"),
        ProductRecord("4", "", "TOMATO"),
        ProductRecord("5", "", "APPLE"),
        ProductRecord("6", "", "TOYS"),
        ProductRecord("7", "", "TOAST"),
    });
    Index_Product();
    // 1 apple, 2 toast, 3 tomato, 4 tomato, 5 tomb, 6 tome, 7 toys
    ASSERT_EQ(AuxWords(), (std::vector<std::string>{"apple", "toast", "tomato", "tomato", "tomb", "tome", "toys"}));
    struct Case {
        std::string text;
        int first, last;
    } cases[] = {
        {"tomz", 3, 6},  // no word starts with all four letters: retried with "tom"
        {"TOMA", 3, 4}, {"tomato", 3, 4}, {"tomatoes", 3, 4},  {"to", 2, 7},
        {"t", 2, 7},    {"a", 1, 1},      {"apple pie", 1, 1},  // "apple " still matches the blank-padded entry
        {"b", 0, 0},    {"zz", 0, 0},     {"xapple", 0, 0},     // shortened from the end only
        {"", 0, 0},
    };
    for (const Case& c : cases) {
        Search(c.text);
        EXPECT_EQ(gData.gSearchFirst, c.first) << c.text;
        EXPECT_EQ(gData.gSearchLast, c.last) << c.text;
    }
}

TEST_F(ProductSearchTest, LastMatchReachesWordsWithCharactersAboveZ) {
    LoadProducts({
        ProductRecord("1", "", "ABZZZZZZZZ AB{X AB~~"),
        ProductRecord("2", "",
                      "AB\xC9"
                      "E AB\x8C"
                      "UF ACDC"),
        ProductRecord("3", "", "AAAA"),
    });
    Index_Product();
    // 1 aaaa, 2 abzzzzzzzz, 3 ab{x, 4 ab~~, 5 ab<oe>uf, 6 ab<e acute>e, 7 acdc
    struct Case {
        std::string text;
        int first, last;
    } cases[] = {
        {"ab", 2, 6},
        {"AB", 2, 6},
        {"ab\xC9", 6, 6},  // the capital is searched as its lower case
        {"ab\xE9"
         "x",
         6, 6},
        {"ab~", 4, 4},
        {"a", 1, 7},
    };
    for (const Case& c : cases) {
        Search(c.text);
        EXPECT_EQ(gData.gSearchFirst, c.first) << c.text;
        EXPECT_EQ(gData.gSearchLast, c.last) << c.text;
    }
}

TEST_F(ProductSearchTest, AgreesWithAScanOfEveryEntry) {
    const std::string alphabet = "abcz{~\xE9\xC9\x9C"
                                 "1B";
    std::mt19937 rng(1234);
    auto word = [&](int minLen, int maxLen) {
        std::string w;
        int len = minLen + static_cast<int>(rng() % (maxLen - minLen + 1));
        for (int i = 0; i < len; ++i) w += alphabet[rng() % alphabet.size()];
        return w;
    };
    gSettings.gIndexShortWords = true;
    std::vector<std::string> records;
    for (int i = 0; i < 400; ++i)
        records.push_back(ProductRecord("P" + std::to_string(i), "", word(2, 6) + " " + word(2, 6) + " " + word(2, 6)));
    LoadProducts(records);
    Index_Product();
    std::vector<std::string> entries = Records(gData.auxIndex, gData.gAuxCount);
    ASSERT_EQ(entries.size(), 1200u);
    ASSERT_TRUE(std::is_sorted(entries.begin(), entries.end()));

    for (int t = 0; t < 600; ++t) {
        std::string text = word(1, 5);
        std::string lower = LowerCase1252(text);
        int first = 0, last = 0;
        for (std::size_t n = lower.size(); n >= 1 && first == 0; --n) {
            std::string prefix = lower.substr(0, n);
            for (std::size_t k = 0; k < entries.size(); ++k) {
                if (entries[k].compare(0, n, prefix) == 0) {
                    if (first == 0) first = static_cast<int>(k) + 1;
                    last = static_cast<int>(k) + 1;
                }
            }
        }
        Search(text);
        ASSERT_EQ(gData.gSearchFirst, first) << text;
        ASSERT_EQ(gData.gSearchLast, last) << text;
    }
}

TEST_F(ProductSearchTest, EmptyIndexesFindNothing) {
    LoadProducts({ProductRecord("1", "", "AB CD")});  // no word long enough
    Index_Product();
    EXPECT_EQ(gData.gAuxCount, 0);
    Index_Client();
    EXPECT_EQ(gData.gCuxCount, 0);
    gData.gSearchText = "ab";
    gData.gSearchFirst = gData.gSearchLast = 9;
    AuxProduct_Search();
    EXPECT_EQ(gData.gSearchFirst, 0);
    EXPECT_EQ(gData.gSearchLast, 0);
    gData.gSearchFirst = gData.gSearchLast = 9;
    AuxClient_Search();
    EXPECT_EQ(gData.gSearchFirst, 0);
    EXPECT_EQ(gData.gSearchLast, 0);
    gData.gSearchFirst = gData.gSearchLast = 9;
    AuxPax_Search();  // never built: closed, count 0
    EXPECT_EQ(gData.gSearchFirst, 0);
    EXPECT_EQ(gData.gSearchLast, 0);
}

// 500,000 products of four words each: the build stays within 3 seconds and
// a search within 100 microseconds.
// Speed on a large store is measured by bench_data; here a store of many
// products must give a fully ordered index that every search finds in.
TEST_F(ProductSearchTest, ManyProductsGiveAnOrderedIndexThatFindsEveryText) {
    const char* syllables[] = {"ka", "lo", "mi", "ne", "pu", "ra", "si", "to", "ve", "zu", "ba", "de",
                               "fo", "gi", "ho", "ju", "ly", "mo", "nu", "qi", "re", "sa", "ti", "wo"};
    auto word = [&](std::uint32_t n) {
        std::string w;
        for (int i = 0; i < 3; ++i) {
            w += syllables[n % 24];
            n /= 24;
        }
        return w;  // 6 letters, 13,824 different words
    };
    const int count = 50000;
    ASSERT_TRUE(gData.products.Open(gConstants.paths.gDataPath + ".PRD", 275, true));
    {
        WorkFile::Appender out(gData.products, 1);
        std::mt19937 rng(99);
        for (int i = 1; i <= count; ++i) {
            std::string desc = word(rng()) + " " + word(rng()) + " " + word(rng()) + " " + word(rng());
            ASSERT_TRUE(out.Add(ProductRecord(std::to_string(1000000 + i), "", desc)));
        }
        ASSERT_TRUE(out.Finish());
    }
    gData.gProductCount = count;

    Index_Product();
    ASSERT_EQ(gData.gAuxCount, 4 * count);
    for (std::int32_t k = 2; k <= gData.gAuxCount; ++k)
        ASSERT_LE(gData.auxIndex.View(k - 1), gData.auxIndex.View(k)) << k;

    std::vector<std::string> texts;
    std::mt19937 rng(5);
    for (int i = 0; i < 2000; ++i) texts.push_back(word(rng()).substr(0, 1 + rng() % 6) + (i % 3 ? "" : "x"));
    int found = 0;
    for (const std::string& t : texts) {
        gData.gSearchText = t;
        AuxProduct_Search();
        found += gData.gSearchFirst > 0;
    }
    EXPECT_EQ(found, 2000);
}

// ---------------------------------------------------------------------------
// Alias index

class AliasIndexTest : public DataFolderTest {
protected:
    static std::string Alias(std::string_view text, std::string_view key) { return Pad(text, 18) + Pad(key, 20); }
};

TEST_F(AliasIndexTest, ReceivedFileIsSortedInPlaceAndLoaded) {
    std::vector<std::string> lines = {
        Alias("ZUCCHINI", "100"),
        Alias("apple", "101"),
        Alias("APPLE", "102"),
        Alias("{BRACE}", "103"),
        Alias("\xC9"
              "CLAIR",
              "104"),
        Alias("APPLE", "099") + "XY",  // 40 characters: the index keeps 38
        "SHORT",                       // padded to 38
    };
    std::string original = Lines(lines);
    std::string path = dir.Write("Files/1234567.PAX", original);
    std::string expectedFile = RunCommand("LC_ALL=C sort '" + dir.Write("copy.txt", original) + "'");

    Index_Pax();
    EXPECT_EQ(dir.Read("Files/1234567.PAX"), expectedFile);
    ASSERT_EQ(gData.gPaxCount, 7);
    EXPECT_EQ(Records(gData.paxIndex, 7), (std::vector<std::string>{
                                              Alias("APPLE", "099"),
                                              Alias("APPLE", "102"),
                                              Pad("SHORT", 38),
                                              Alias("ZUCCHINI", "100"),
                                              Alias("apple", "101"),
                                              Alias("{BRACE}", "103"),
                                              Alias("\xC9"
                                                    "CLAIR",
                                                    "104"),
                                          }));
    EXPECT_EQ(fs::file_size(dir / "Data/1234567.PAX"), 128u + 7u * 40);

    gData.gSearchText = "APPLE";
    AuxPax_Search();
    EXPECT_EQ(gData.gSearchFirst, 1);
    EXPECT_EQ(gData.gSearchLast, 2);
}

TEST_F(AliasIndexTest, SearchUsesTheFirst18CharactersOfTheText) {
    dir.Write("Files/1234567.PAX", Lines({Alias("ABCDEFGHIJKLMNOPQR", "STUV"), Alias("ABCDEFGHIJKLMNOPQR", "ZZZZ"),
                                          Alias("ABCDEFGHIJKLMNOPQZ", "1")}));
    Index_Pax();
    // Characters 19-22 of this text equal the first key: searched whole, it
    // would find only that record.
    gData.gSearchText = "ABCDEFGHIJKLMNOPQRSTUVWXY";
    ASSERT_EQ(gData.gSearchText.size(), 25u);
    AuxPax_Search();
    EXPECT_EQ(gData.gSearchFirst, 1);
    EXPECT_EQ(gData.gSearchLast, 2);
}

TEST_F(AliasIndexTest, MissingFileLogsAndLeavesAnEmptyIndex) {
    dir.Write("Files/1234567.PAX", Lines({Alias("APPLE", "1")}));
    Index_Pax();
    ASSERT_EQ(gData.gPaxCount, 1);
    fs::remove(dir / "Files/1234567.PAX");

    Index_Pax();
    EXPECT_EQ(gData.gPaxCount, 0);
    EXPECT_FALSE(gData.paxIndex.IsOpen());
    EXPECT_NE(LogText().find("Parse_FilePAX: Unable to sort file"), std::string::npos);
    gData.gSearchText = "APPLE";
    AuxPax_Search();
    EXPECT_EQ(gData.gSearchFirst, 0);
    EXPECT_EQ(gData.gSearchLast, 0);
    EXPECT_FALSE(fs::exists(dir / "Files/1234567.PAX"));  // nothing created
}

TEST_F(AliasIndexTest, FileReceivedInLowerCaseIsUsedInPlace) {
    dir.Write("Files/1234567.pax", Lines({Alias("PEAR", "2"), Alias("APPLE", "1")}));
    Index_Pax();
    EXPECT_EQ(gData.gPaxCount, 2);
    EXPECT_EQ(dir.Read("Files/1234567.pax"), Lines({Alias("APPLE", "1"), Alias("PEAR", "2")}));
    EXPECT_FALSE(fs::exists(dir / "Files/1234567.PAX"));
}

// ---------------------------------------------------------------------------
// Sort_File against the system sort

class SortFileTest : public ::testing::Test {
protected:
    // The system sort of `content` (its lines ending in LF), lines ending CR LF.
    std::string SystemSort(const std::string& content) {
        std::string lf;
        for (char c : content)
            if (c != '\r') lf += c;
        std::string out = RunCommand("LC_ALL=C sort '" + dir.Write("sys.txt", lf) + "'");
        std::string crlf;
        for (char c : out) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return crlf;
    }
    TestDir dir;
};

TEST_F(SortFileTest, MatchesTheSystemSortOnFixedLengthLinesOfAnyBytes) {
    const std::string bytes = std::string(" 09AZaz{|}~") + "\x7F\x80\x8A\x9F\xA0\xC9\xE9\xFF";
    std::mt19937 rng(42);
    std::string content;
    for (int i = 0; i < 3000; ++i) {
        std::string line;
        // few distinct leading characters, so many lines share long prefixes
        for (int c = 0; c < 38; ++c) line += bytes[rng() % (c < 6 ? 4 : bytes.size())];
        content += line + "\r\n";
    }
    content += content.substr(0, 40 * 10);  // duplicate lines stay
    std::string path = dir.Write("lines.txt", content);
    // The system sort is given the same CR LF file.
    std::string expected = RunCommand("LC_ALL=C sort '" + dir.Write("copy.txt", content) + "'");
    ASSERT_EQ(expected.size(), content.size());

    ASSERT_TRUE(Sort_File(path));
    EXPECT_TRUE(dir.Read("lines.txt") == expected);
}

TEST_F(SortFileTest, LinesOfDifferentLengthsSortByTheirTextAndEndInCrLf) {
    // A line that begins another comes first; line ends of every kind are
    // accepted; the last line has none.
    std::string content = "ab c\r\nab\r\n\r\nabc\n~\r\n\xE9\r\nab\x7F\r\na\r\n{|}\r\nA B\r\n \r\nab";
    std::string path = dir.Write("mixed.txt", content);
    ASSERT_TRUE(Sort_File(path));
    EXPECT_EQ(dir.Read("mixed.txt"), SystemSort(content));
    EXPECT_EQ(dir.Read("mixed.txt"), "\r\n \r\nA B\r\na\r\nab\r\nab\r\nab c\r\nabc\r\nab\x7F\r\n{|}\r\n~\r\n\xE9\r\n");
}

TEST_F(SortFileTest, MissingFileFailsAndNothingIsCreated) {
    EXPECT_FALSE(Sort_File(dir / "missing.txt"));
    EXPECT_TRUE(fs::is_empty(dir.Path()));

    dir.Write("empty.txt", "");
    EXPECT_TRUE(Sort_File(dir / "empty.txt"));
    EXPECT_EQ(dir.Read("empty.txt"), "");
}

}  // namespace
}  // namespace tarvo
