// A saved document is read once from its files and printed from what was
// read: the printout does not go back to the files or to the sale state.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "print/receipt.h"
#include "print/receipt_fixture.h"
#include "print/stored_document.h"

namespace tarvo {
namespace {

using namespace receipt_fixture;

TEST_F(ReceiptTest, AReceiptReadOncePrintsTheSameAfterItsFilesAreGone) {
    CashSale();
    const std::string printed = SaveAndPrint();
    const std::int32_t recNo = gSaleSave.gPrintRecordNo;

    StoredDocument doc;
    ASSERT_EQ(StoredDocument_Read(DocumentKind::Receipt, recNo, doc), DocumentRead::Read);
    EXPECT_EQ(doc.lines.size(), 2u);
    ASSERT_EQ(doc.payments.size(), 1u);
    EXPECT_EQ(doc.payments[0].text.substr(9, 1), "1");  // the cash payment
    EXPECT_FALSE(gData.invoices.IsOpen());
    EXPECT_FALSE(gData.invoiceLines.IsOpen());
    EXPECT_FALSE(gData.payments.IsOpen());

    for (const char* ext : {".INV", ".DTL", ".PAY"}) std::filesystem::remove(gConstants.paths.gDataPath + ext);
    gSale = SaleState{};
    gSaleSave.gPrintRecordNo = 0;
    PrinterCapture cap;
    const PrintoutResult result = Receipt_Print(doc, PrintoutOptions{});
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(cap.bytes, printed);
    EXPECT_EQ(result.cardPaymentRecNo, std::optional<std::int32_t>(0));
    EXPECT_FALSE(std::filesystem::exists(gConstants.paths.gDataPath + ".INV"));  // never reopened
}

TEST_F(ReceiptTest, ADocumentThatCannotBeReadSaysWhyAndLeavesItsFilesClosed) {
    CashSale();
    ASSERT_TRUE(Sale_Save());
    StoredDocument doc;
    for (const std::int32_t recNo : {0, 1, 3}) {
        SCOPED_TRACE(recNo);
        EXPECT_EQ(StoredDocument_Read(DocumentKind::Receipt, recNo, doc), DocumentRead::NotInFile);
        EXPECT_TRUE(doc.header.empty());
        EXPECT_FALSE(gData.invoices.IsOpen());
    }
    EXPECT_EQ(DocumentRead_Why(DocumentKind::Receipt, DocumentRead::NotInFile, 3),
              "Print_Recipt: invoice record 3 is not in the invoice file, nothing printed");

    std::filesystem::remove(gConstants.paths.gDataPath + ".PAY");
    std::filesystem::create_directory(gConstants.paths.gDataPath + ".PAY");
    EXPECT_EQ(StoredDocument_Read(DocumentKind::Receipt, 2, doc), DocumentRead::FilesNotOpen);
    EXPECT_FALSE(gData.invoices.IsOpen());
    EXPECT_FALSE(gData.invoiceLines.IsOpen());
}

}  // namespace
}  // namespace tarvo
