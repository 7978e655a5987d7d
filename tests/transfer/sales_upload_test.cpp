#include "transfer/sales_upload.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "transfer/upload_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace upload_fixture;
using SalesUploadTest = UploadTest;

// The columns of the sales upload line, field by field, as the back office reads them.
TEST_F(SalesUploadTest, EachUnsentInvoiceIsOneLineOfFixedColumnsWithItsLinesPaymentsAndNewClient) {
    dir.Write("Data/1234567.NWC", "");
    {
        WorkFile nwc;
        ASSERT_TRUE(nwc.Open(dir / "Data/1234567.NWC", 500));
        ASSERT_TRUE(nwc.Write(1, "2"));
        ASSERT_TRUE(nwc.Write(2, Fixed(498, {{1, "0"}, {3, "40002"}, {11, "Crash Client"}, {478, "1001"}})));
    }
    std::string shortHeader =
        Header("0000004", '0', "N0000002").substr(0, 120);  // cut after the first character of its reference
    WriteFile(".INV", 150, {Header("0000002", '1', "C100"), Header("0000003", '0', "C100"), shortHeader});
    WriteFile(".DTL", 90,
              {Line("0000002", 1, "1003", "PLAIN", "1", "1", ""),
               Line("0000003", 1, "1001", "DOZEN", "1", "6", "a note of 21 chars ab"),
               Line("0000003", 2, "9999", "GONE", "3", ".335", ""),
               Line("0000004", 1, "1002", "LOOSE", "-2", "1.25", "")});
    WriteFile(".PAY", 235,
              {Payment("0000003", 1, "1", "5", ""), Payment("0000003", 2, "4", "2.22", "4111,1111'1111111")});

    UploadBuild b = Sales_CreateFile(Path(), false);
    ASSERT_TRUE(b.ok) << b.error;
    EXPECT_EQ(b.range.first, 3);
    EXPECT_EQ(b.range.last, 4);

    const std::string fixed3 =
        "0000003 0 20261209   14:30 00000007 00000009 C100      00000003"
        "7.35       -.5        .37        0          0          7.22       2.78       1 REF 42               ";
    const std::string counts3 = "2    2          ";
    const std::string lines3 = "1001    1        6        6        0.5      a note of 21 chars a|"
                               "9999    3        .335     .335     1.01                         |";
    const std::string pays3 = "5        1       0" + std::string(25 + 10 + 50 + 100, ' ') + "APPROVED 1          " +
                              "2.22     4       2" + "4111,1111'1111111        " + "12/29     " + "ANN O'NEIL" +
                              std::string(40, ' ') + std::string(100, ' ') + "APPROVED 1          ";
    const std::string fixed4 = "0000004 0 20261209   14:30 00000007 00000009N40002     00000003"
                               "7.35       -.5        .37        0          0          7.22       2.78       1 R" +
                               std::string(19, ' ') + " ";
    const std::string counts4 = "1    0          ";
    const std::string lines4 = "1002    -2       1.25     1.25     -2.5                         |";
    const std::string client4 = Fixed(496, {{1, "40002"}, {9, "Crash Client"}, {476, "1001"}});
    const std::string expected =
        fixed3 + counts3 + lines3 + pays3 + "\r\n" + fixed4 + counts4 + lines4 + client4 + "\r\n";
    const std::string got = dir.Read("Files/1234567.TRA");
    EXPECT_EQ(got, expected);
    EXPECT_EQ(fixed3.size(), 163u);
    EXPECT_EQ(b.size, static_cast<std::int64_t>(expected.size()));
    EXPECT_EQ(fs::status(Path()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(got.find("TRACK"), std::string::npos);  // never the card data

    // The sale's own product look-up is as it was.
    EXPECT_EQ(gData.gProductKey, "SALE'S OWN");
    EXPECT_EQ(gData.gProductRecNo, 77);
}

TEST_F(SalesUploadTest, TheMarkFlagsExactlyTheRangeBuiltNotASaleSavedMeanwhile) {
    WriteFile(".INV", 150,
              {Header("0000002", '1', "C100"), Header("0000003", '0', "C100"), Header("0000004", '0', "C100")});
    WriteFile(".DTL", 90, {});
    WriteFile(".PAY", 235, {});
    UploadBuild b = Sales_CreateFile(Path(), false);
    ASSERT_TRUE(b.ok);
    // A sale saved between the build and the mark.
    WriteFile(".INV", 150,
              {Header("0000002", '1', "C100"), Header("0000003", '0', "C100"), Header("0000004", '0', "C100"),
               Header("0000005", '0', "C100")});
    ASSERT_TRUE(Sales_MarkSent(b.range));
    EXPECT_EQ(Flags(), "1110");
    Open_FileInvoice();
    EXPECT_EQ(gData.invoices.Read(3),
              Fixed(143, {{1, "0000003"}}).substr(0, 8) + "1" + Header("0000003", '0', "C100").substr(9));

    UploadBuild next = Sales_CreateFile(Path(), false);
    EXPECT_EQ(next.range.first, 5);
    EXPECT_EQ(next.range.last, 5);
    EXPECT_EQ(dir.Read("Files/1234567.TRA").substr(0, 7), "0000005");
}

TEST_F(SalesUploadTest, WhatCountsAsUnsent) {
    struct Case {
        const char* name;
        std::string flags;  // one per invoice, oldest first
        bool resendAll;
        std::int64_t first, last;
    } cases[] = {
        {"no invoices", "", false, 0, 0},
        {"all sent", "11", false, 0, 0},
        {"only the newest flagged", "001", false, 0, 0},
        {"none flagged", "000", false, 2, 4},
        {"after the newest flagged", "0100", false, 4, 5},
        {"resend everything", "111", true, 2, 4},
    };
    for (const auto& c : cases) {
        std::vector<std::string> headers;
        for (std::size_t i = 0; i < c.flags.size(); ++i)
            headers.push_back(Header("000000" + std::to_string(i + 2), c.flags[i], "C100"));
        WriteFile(".INV", 150, headers);
        WriteFile(".DTL", 90, {});
        WriteFile(".PAY", 235, {});
        UploadBuild b = Sales_CreateFile(Path(), c.resendAll);
        ASSERT_TRUE(b.ok) << c.name;
        EXPECT_EQ(b.range.first, c.first) << c.name;
        EXPECT_EQ(b.range.last, c.last) << c.name;
        const std::string file = dir.Read("Files/1234567.TRA");
        std::size_t lines = 0;
        for (std::size_t p = file.find("\r\n"); p != std::string::npos; p = file.find("\r\n", p + 2)) ++lines;
        EXPECT_EQ(lines, static_cast<std::size_t>(c.first == 0 ? 0 : c.last - c.first + 1)) << c.name;
        EXPECT_EQ(Flags(), c.flags) << c.name;  // building changes no flag
    }
}

}  // namespace
}  // namespace tarvo
