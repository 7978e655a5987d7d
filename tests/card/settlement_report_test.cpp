// The settlement report against its golden files in
// tests/fixtures/printouts/settlement/ (the style of the other printouts:
// input lines, the separator, the printout as text).
//
// Input lines:
//   paper: narrow | wide          language: 1 | 2 (the terminal's)
//   status: N                     the card status the batch close ended on
//   message: TEXT                 the card program's answer ("\n" ends a line)
//   timeout: TEXT                 the seconds the wait allowed, as counted
//   backend: 1 | 2 | 3            cashier: none (nobody logged in)
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>

#include "card/settlement_report.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "print/golden_file.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/register_fixture.h"

namespace tarvo {
namespace {

std::string Folder() { return std::string(TARVO_FIXTURES) + "/printouts/settlement"; }

class SettlementGolden : public RegisterTest, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        gTerminalNumber = "1234567";
        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
        gReg.gLoggedOut = false;
        gSettings.gHeaderLine = {"MY STORE", "", "  12 Main St", "", ""};
        gSale.gDateText = "09/Dec/2026";
        print_golden::UseReadableCodes();
        gSettings.gPrinterType = PrinterType::Com1;
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        Data_Reset(gData);
        RegisterTest::TearDown();
    }
};

TEST_P(SettlementGolden, PrintsAsTheGoldenFileSays) {
    const std::filesystem::path file = Folder() + "/" + GetParam();
    const golden_file::Golden g = golden_file::Parse(golden_file::ReadBytes(file));
    SettlementOutcome o;
    o.backend = CardBackend::ExchangeFiles;
    for (const std::string& line : g.input) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t colon = line.find(": ");
        ASSERT_NE(colon, std::string::npos) << line;
        const std::string name = line.substr(0, colon), value = line.substr(colon + 2);
        if (name == "paper")
            gSettings.gWidePaper = value == "wide" ? 1 : 0;
        else if (name == "language")
            gSettings.gLanguage = static_cast<std::int16_t>(std::stoi(value));
        else if (name == "status")
            o.status = static_cast<std::int16_t>(std::stoi(value));
        else if (name == "message") {
            std::string m = value;
            for (std::size_t at; (at = m.find("\\n")) != std::string::npos;) m.replace(at, 2, "\r\n");
            o.message = m;
        } else if (name == "timeout")
            o.timeoutRun = value;
        else if (name == "backend") {
            // As the settings file gives setting 140.
            Settings read;
            std::string why;
            ASSERT_TRUE(Setup_ApplyLine(read, "140 " + value, why));
            o.backend = read.gCardBackend;
        } else if (name == "cashier")
            gReg.gLoggedOut = value == "none";
        else
            ADD_FAILURE() << "no such input: " << name;
    }
    PrinterCapture cap;
    Settlement_Print(o);
    const std::string got = golden_file::PrintoutText(cap.bytes);
    EXPECT_EQ(gPrint.gPrintStatus, 0) << GetParam();
    golden_file::Check(file, g, got);
}

INSTANTIATE_TEST_SUITE_P(Reports, SettlementGolden, ::testing::ValuesIn(golden_file::Files(Folder())),
                         golden_file::CaseName);

TEST_F(SettlementGolden, NothingWithPrintingSwitchedOff) {
    gSettings.gPrinterType = PrinterType::Off;
    PrinterCapture cap;
    Settlement_Print(SettlementOutcome{0, "\"YOK\"", "300", CardBackend::ExchangeFiles});
    EXPECT_TRUE(cap.bytes.empty());
    EXPECT_EQ(gPrint.gPrintStatus, 0);
}

}  // namespace
}  // namespace tarvo
