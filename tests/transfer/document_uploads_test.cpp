#include "transfer/document_uploads.h"

#include <gtest/gtest.h>

#include "transfer/upload_fixture.h"

namespace tarvo {
namespace {

using namespace upload_fixture;
using DocumentUploadTest = UploadTest;

std::string AdjustmentHeader(const std::string& number, char sent, const std::string& reference) {
    return Fixed(88, {{1, number},
                      {9, std::string(1, sent)},
                      {11, "20261209"},
                      {19, "1430"},
                      {23, "00000007"},
                      {31, "00000009"},
                      {39, "8"},
                      {40, "-12.5"},
                      {49, reference.substr(0, 40)}});
}

std::string AdjustmentLine(const std::string& number, int k, const std::string& product, const std::string& qty,
                           const std::string& note) {
    return Fixed(78, {{1, number}, {8, "00" + std::to_string(k)}, {11, product}, {19, "KEY"}, {39, qty}, {47, note}});
}

TEST_F(DocumentUploadTest, AnAdjustmentIsItsHeaderItsLineCountAndItsLines) {
    WriteFile(".ADJ", 90,
              {AdjustmentHeader("0000002", '1', "old"),
               AdjustmentHeader("0000003", '0', "a reference of more than thirty-one characters"),
               AdjustmentHeader("0000004", '0', "no lines")});
    WriteFile(".ADD", 80,
              {AdjustmentLine("0000002", 1, "1001", "-1", ""), AdjustmentLine("0000003", 1, "1001", "-2", "broken"),
               AdjustmentLine("0000003", 2, "1002", "-10.5", "expired")});
    UploadBuild b = Documents_CreateFile(DocumentKind::Adjustments, dir / "Files/1234567.ADJ");
    ASSERT_TRUE(b.ok) << b.error;
    EXPECT_EQ(b.range.first, 3);
    EXPECT_EQ(b.range.last, 4);
    const std::string header3 = "0000003 0 20261209143000000007000000098-12.5    a reference of more than thirty";
    const std::string header4 = "0000004 0 20261209143000000007000000098-12.5    no lines" + std::string(23, ' ');
    EXPECT_EQ(dir.Read("Files/1234567.ADJ"), header3 + "2  " + "1001    -2      broken" + std::string(24, ' ') +
                                                 "1002    -10.5   expired" + std::string(23, ' ') + "\r\n" + header4 +
                                                 "0  " + "\r\n");
    ASSERT_TRUE(Documents_MarkSent(DocumentKind::Adjustments, b.range));
    EXPECT_TRUE(Documents_CreateFile(DocumentKind::Adjustments, dir / "Files/1234567.ADJ").range.Empty());
    Open_Fileadjustment();
    EXPECT_EQ(gData.adjustments.Read(3).substr(0, 10), "0000003 1 ");
}

TEST_F(DocumentUploadTest, APurchaseIsItsWholeHeaderAndItsLines) {
    const std::string header = Fixed(298, {{1, "0000002"}, {9, "0"}, {11, "V100"}, {290, "1"}});
    WriteFile(".PUR", 300, {header});
    WriteFile(".PUL", 90,
              {Fixed(88, {{1, "0000002"},
                          {8, "001"},
                          {11, "1001"},
                          {19, "KEY"},
                          {39, "12"},
                          {48, "4.99"},
                          {57, "2.5"},
                          {66, "first delivery"},
                          {86, "1"}})});
    UploadBuild b = Documents_CreateFile(DocumentKind::Purchases, dir / "Files/1234567.PUR");
    ASSERT_TRUE(b.ok) << b.error;
    EXPECT_EQ(dir.Read("Files/1234567.PUR"),
              header + "1001    12       4.99     2.5      first delivery      1 " + "\r\n");
}

}  // namespace
}  // namespace tarvo
