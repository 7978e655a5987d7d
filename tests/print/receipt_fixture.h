// The register set up for receipts: a terminal folder with three products,
// a cashier, cash and card payment kinds, the readable printer codes of the
// golden tests, and a sale saved through the register's own save path.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "print/receipt.h"
#include "register/register_fixture.h"
#include "sale/sale_save.h"
#include "sale/tenders.h"
#include "test_dir.h"

namespace tarvo::receipt_fixture {

using namespace print_golden;

inline constexpr const char* kTerminal = "1234567";

inline Money M(const char* text) { return *Money::Parse(text); }
inline std::string Pad(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

// One product of the product file: number, key, description, taxes, units.
inline std::string ProductRecord(const std::string& number, const std::string& key, const std::string& description,
                                 const std::string& taxes, const std::string& units, bool weighed = false) {
    std::string r = Fixed(273, {{1, number}, {12, key}, {60, description}, {90, taxes}, {175, units}});
    if (weighed) r[8] = 'S';
    return r;
}

class ReceiptTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path(), kTerminal);
        for (const char* ext : {".INV", ".DTL", ".PAY"}) std::filesystem::remove(gConstants.paths.gDataPath + ext);
        gPrint = PrintState{};
        gSaleSave = SaleSaveState{};
        gTerminalNumber = kTerminal;
        gReg.gBusinessDate = "20261209";
        gReg.gLoggedOut = false;
        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
        gSettings.gPrintCashier = true;
        gSettings.gHeaderLine = {"MY STORE", "", "", "", ""};
        gSettings.gTaxName = {"GST", "PST", "HST"};
        gSettings.gWeightUnit = "Lb";
        // Payment kinds as the register builds them at load: "Cash" (type
        // code 1) and "Visa Card" (code 4, two caption lines).
        PaymentTypes({{1, "1", "Cash", ""}, {4, "4", "Visa", "Card"}});
        UseReadableCodes();
        gSettings.gPrinterType = PrinterType::Com1;

        const std::vector<std::string> products = {
            ProductRecord("1001", "APPLE", "Apple", "1  ", "1"),
            ProductRecord("1002", "BOOK", "Book", "   ", "1"),
            ProductRecord("1003", "CHEESE", "Cheese", "11 ", "1", true),
        };
        dir.Write("Files/" + std::string(kTerminal) + ".PRD", CrLf(products));
        Parse_FileProduct();
        gSale = SaleState{};
        gSale.gClientCode = "C100";
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        gData.invoices.Close();
        gData.invoiceLines.Close();
        gData.payments.Close();
        Data_Reset(gData);
        RegisterTest::TearDown();
    }

    struct Type {
        int number;
        const char* code;
        const char* name1;
        const char* name2;
    };
    static void PaymentTypes(const std::vector<Type>& types) {
        for (PaymentType& t : gSettings.PaymentTypes) t = PaymentType{};
        for (const Type& t : types) {
            PaymentType& p = gSettings.PaymentTypes[static_cast<std::size_t>(t.number)];
            p.Number = std::to_string(t.number);
            p.CardType = t.code;
            p.Name1 = t.name1;
            p.Name2 = t.name2;
        }
        Payment_Setup();
    }
    void AddLine(const char* key, double qty, const char* price) {
        const auto n = static_cast<std::size_t>(++gSale.gItemCount);
        gSale.gLines[n].product = "P";
        gSale.gLines[n].key = key;
        gSale.gLines[n].quantity = qty;
        gSale.gLines[n].listPrice = M(price);
        gSale.gLines[n].unitPrice = M(price);
    }
    void AddTender(const char* type, const char* amount) {
        const auto t = static_cast<std::size_t>(++gSale.gPaymentCount);
        gSale.gPayments[t].type = type;
        gSale.gPayments[t].amount = M(amount);
        gSale.gPaid += M(amount);
    }
    // Apple 2 x 10.00, Book 1 x 20.00; GST 2.00; total 42.00 paid with 50.00 cash.
    void CashSale() {
        AddLine("APPLE", 2, "10");
        AddLine("BOOK", 1, "20");
        gSale.gSubtotal = M("40");
        gSale.gTax1 = M("2");
        gSale.gTotal = M("42");
        gSale.gChange = M("8");
        AddTender("1", "50");
    }
    // Save the sale through the register's own save, then print its receipt.
    std::string SaveAndPrint() {
        EXPECT_TRUE(Sale_Save());
        PrinterCapture cap;
        Receipt_Print();
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        return cap.bytes;
    }

    std::string Log() const { return dir.Read("Files/" + std::string(kTerminal) + ".LOG"); }

    TestDir dir;
};

}  // namespace tarvo::receipt_fixture
