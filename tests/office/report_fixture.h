// A terminal with a small store for the report tests: two cashiers (Ann is
// logged in), two categories, four products, the payment keys Cash, Visa and
// Sales on Credit, builders of invoices, orders and journal records written
// through the real working files, and the captured printout read as text
// ("@" initialise, "<" ">" title, "D" drawer kick, "F" "C" feed and cut; each
// CR LF a line end; windows-1252 as UTF-8), to compare with the golden
// printouts of tests/fixtures/reports/.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "common/fields.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "data/transaction_files.h"
#include "office/report_state.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "print/report_header.h"
#include "register/register_fixture.h"
#include "sale/tenders.h"
#include "test_dir.h"

namespace tarvo {

struct LineRow {
    std::string product, quantity, price;
};
struct PayRow {
    std::string type, amount;
};

class ReportTest : public RegisterTest {
protected:
    static constexpr const char* kTerminal = "1234567";

    void SetUp() override {
        RegisterTest::SetUp();
        gData.stamps.WaitAll();                     // a working file's stamp may still be on its way to Data/
        std::filesystem::remove_all(dir / "Data");  // a case of its own starts with no documents
        UseTerminalFolder(dir.Path(), kTerminal);
        gPrint = PrintState{};
        gReport = ReportState{};
        gReportHeader = ReportHeaderState{};
        gTerminalNumber = kTerminal;
        gSettings.gHeaderLine = {"MY STORE", "", "  12 Main St", "", ""};
        gSettings.gTerminalDescription = "Front";
        gSettings.gTaxName = {"GST", "QST", "ECO"};
        print_golden::UseReadableCodes();
        print_golden::SetCode(4, "D");
        PrinterCodes_Load();
        gSettings.gPrinterType = PrinterType::Com1;

        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
        gData.CashierTable.push_back(CashierRow{"00000008", "88", "Bob Longname-Smithers", 1});
        gData.gCashierCount = 2;
        gData.CategoryTable.push_back(CategoryRow{"10", "Grocery"});
        gData.CategoryTable.push_back(CategoryRow{"20", "Hardware"});
        gData.gCategoryCount = 2;
        gReg.gCashierIndex = 1;
        gReg.gBusinessDate = "20261209";
        gSale.gDateText = "09/Dec/2026";
        gReport.gReportKind = ReportKind::Closing;

        gTender = TenderState{};
        PaymentKey("1", "Cash");
        PaymentKey("CARD", "Visa");
        PaymentKey("24", "Sales on Credit");

        // Product number (12), category (34), units factor (175).
        Products({Fixed(273, {{12, "A100"}, {34, "10"}, {60, "Apples"}, {175, "1"}}),
                  Fixed(273, {{12, "B200"}, {34, "20"}, {60, "Screws, box of 12"}, {175, "12"}}),
                  Fixed(273, {{12, "C300"}, {34, "99"}, {60, "No category"}, {175, "1"}}),
                  Fixed(273, {{12, "D400"}, {34, "10"}, {60, "Units left blank"}})});
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        gTender = TenderState{};
        gReport = ReportState{};
        gReportHeader = ReportHeaderState{};
        Data_Reset(gData);
        RegisterTest::TearDown();
    }

    static void PaymentKey(const std::string& code, const std::string& name) {
        const auto k = static_cast<std::size_t>(++gTender.gPaymentListCount);
        gTender.gPaymentListCode[k] = code;
        gTender.gPaymentListName[k] = name;
    }

    void Products(const std::vector<std::string>& records) {
        ASSERT_TRUE(gData.products.Open(gConstants.paths.gDataPath + ".PRD", 275, true));
        for (std::size_t i = 0; i < records.size(); ++i)
            ASSERT_TRUE(gData.products.Write(static_cast<std::int64_t>(i + 1), records[i]));
        gData.gProductCount = static_cast<std::int32_t>(records.size());
    }

    static std::string Two(int n) { return n < 10 ? "0" + std::to_string(n) : std::to_string(n); }
    static std::string Three(int n) { return std::string(n < 10 ? "00" : n < 100 ? "0" : "") + std::to_string(n); }

    // An invoice (its number is its record), its lines and its payments.
    // Amounts are record texts; `totals` are subtotal, discount, tax 1-3.
    std::string Invoice(const std::string& date, const std::string& time, const std::string& cashier,
                        const std::vector<std::string>& totals, const std::vector<LineRow>& lines,
                        const std::vector<PayRow>& payments) {
        Open_FileInvoice();
        Open_FilePayment();
        DataState& d = gData;
        const std::string number = PadZero(std::to_string(d.gLastInvoiceRecord + 1), 7);
        int n = 1;
        for (const LineRow& l : lines) {
            EXPECT_TRUE(Transaction_Append(
                d.invoiceLines, d.gLastInvoiceLineRecord, 60,
                Fixed(88, {{1, number}, {8, Three(n++)}, {19, l.product}, {39, l.quantity}, {57, l.price}})));
        }
        n = 1;
        for (const PayRow& p : payments)
            EXPECT_TRUE(Transaction_Append(d.payments, d.gLastPaymentRecord, 230,
                                           Fixed(60, {{1, number}, {8, Two(n++)}, {10, p.type}, {18, p.amount}})));
        EXPECT_TRUE(Transaction_Append(d.invoices, d.gLastInvoiceRecord, 130,
                                       DocumentRecord(number, "", date, time, cashier, totals, "")));
        d.payments.Close();
        d.invoiceLines.Close();
        d.invoices.Close();
        return number;
    }

    // A client order ("1" in column 11) of document type `docType` with its payments.
    std::string Order(const std::string& date, const std::string& cashier, const std::vector<std::string>& totals,
                      const std::string& docType, const std::vector<PayRow>& payments, const std::string& kind = "1") {
        Open_FileOrder();
        DataState& d = gData;
        const std::string number = PadZero(std::to_string(d.gLastOrderRecord + 1), 7);
        int n = 1;
        for (const PayRow& p : payments)
            EXPECT_TRUE(Transaction_Append(d.orderPayments, d.gLastOrderPaymentRecord, 230,
                                           Fixed(60, {{1, number}, {8, Two(n++)}, {10, p.type}, {18, p.amount}})));
        EXPECT_TRUE(Transaction_Append(d.orders, d.gLastOrderRecord, 230,
                                       DocumentRecord(number, kind, date, "1200", cashier, totals, docType)));
        d.orderPayments.Close();
        d.orderLines.Close();
        d.orders.Close();
        return number;
    }

    // A journal record as the cash-office writers build it.
    void Journal(const std::string& date, const std::string& time, char letter, const std::string& cashier,
                 const std::string& amount) {
        Open_FileActivity();
        EXPECT_TRUE(Transaction_Append(
            gData.activity, gData.gLastActivityRecord, 40,
            Fixed(48, {{1, date}, {9, time}, {13, std::string(1, letter) + "0"}, {23, cashier}, {31, amount}})));
        gData.activity.Close();
    }

    // Many journal records at once (written without a flush each).
    void JournalMany(int count, const std::string& date, char letter) {
        Open_FileActivity();
        WorkFile& f = gData.activity;
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(f.Write(++gData.gLastActivityRecord,
                                Fixed(48,
                                      {{1, date}, {9, "0900"}, {13, std::string(1, letter) + "0"}, {23, "00000007"}})));
        ASSERT_TRUE(f.Write(1, HeaderRecord(gData.gLastActivityRecord, 40)));
        f.Close();
    }

    // The printout as text: CR LF as a line end, windows-1252 as UTF-8.
    static std::string Readable(const std::string& bytes) {
        std::string text = Cp1252ToUtf8(bytes), out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
            out += text[i];
        }
        if (out.empty() || out.back() != '\n') out += '\n';
        return out;
    }
    static std::string Golden(const std::string& name) {
        std::ifstream in(std::string(TARVO_FIXTURES) + "/reports/" + name, std::ios::binary);
        EXPECT_TRUE(in) << name;
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The printout of `print` compared with the golden printout `name`.
    void ExpectPrintout(void (*print)(), const std::string& name) {
        PrinterCapture cap;
        print();
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        EXPECT_EQ(Readable(cap.bytes), Golden(name)) << name;
    }
    // The printout of `print` as text.
    static std::string Printout(void (*print)()) {
        PrinterCapture cap;
        print();
        return Readable(cap.bytes);
    }

    // An amount line of the printout as text: the label in 22, the amount in 11.
    static std::string Amt(const std::string& label, const std::string& amount) {
        std::string l = label.substr(0, 22);
        l.resize(22, ' ');
        return l + std::string(amount.size() < 11 ? 11 - amount.size() : 0, ' ') + amount + "\n";
    }

    std::string LogText() const { return dir.Read("Files/" + std::string(kTerminal) + ".LOG"); }

    TestDir dir;

private:
    static std::string DocumentRecord(const std::string& number, const std::string& kind, const std::string& date,
                                      const std::string& time, const std::string& cashier,
                                      const std::vector<std::string>& totals, const std::string& docType) {
        std::string rec = Fixed(130, {{1, number}, {11, kind}, {12, date}, {20, time}, {24, cashier}, {125, docType}});
        for (std::size_t i = 0; i < totals.size() && i < 5; ++i) rec.replace(55 + 9 * i, totals[i].size(), totals[i]);
        return rec;
    }
};

}  // namespace tarvo
