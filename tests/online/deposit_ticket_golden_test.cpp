// Golden deposit tickets: each file of tests/fixtures/printouts/deposit/ is
// one case, its input above the separator and the expected printout below
// (the printer codes readable as in print_golden.h). TARVO_REWRITE_GOLDENS=1
// rewrites the expected sections.
//
// Input lines ("name: arguments"; "#" starts a comment line):
//   paper: narrow | wide
//   agency: TEXT                 a heading line of the agency's name
//   number: N                    the deposit number
//   employee: N                  the deposit's employee (cashier 42 is "Dana")
//   date: MM-DD-YYYY
//   bank: ID|NAME|CODE|SITE      the bank and site row
//   line: AMOUNT|AGENCY|TRANS|FUND|FISCAL|REV|COST|FIPS   a line and its revenue row
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

#include "data/data_state.h"
#include "online/deposit_ticket.h"
#include "print/golden_file.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/register_fixture.h"

namespace tarvo {
namespace {

std::string Folder() { return std::string(TARVO_FIXTURES) + "/printouts/deposit"; }

std::vector<std::string> Split(const std::string& s) {
    std::vector<std::string> out;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, '|')) out.push_back(part);
    return out;
}

std::string Row(const std::vector<std::string>& columns) {
    std::string text;
    for (std::size_t i = 0; i < columns.size(); ++i)
        text += "<" + std::to_string(i) + ">" + columns[i] + "</" + std::to_string(i) + ">";
    return text;
}

class DepositTicketGolden : public RegisterTest, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        Data_Reset(gData);
        gData.CashierTable.push_back(CashierRow{"42", "1111", "Dana", 1});
        gData.gCashierCount = 1;
        print_golden::UseReadableCodes();
        gSettings.gPrinterType = PrinterType::Com1;
    }
    void TearDown() override {
        PrinterCapture_End();
        Printer_Abandon();
        gSettings.gPrinterType = PrinterType::Off;
        Data_Reset(gData);
        RegisterTest::TearDown();
    }

    std::string Run(const std::vector<std::string>& input) {
        DepositTicketData t;
        std::vector<std::string> agency;
        for (const std::string& line : input) {
            if (line.empty() || line[0] == '#') continue;
            const auto colon = line.find(": ");
            EXPECT_NE(colon, std::string::npos) << line;
            if (colon == std::string::npos) continue;
            const std::string name = line.substr(0, colon), value = line.substr(colon + 2);
            if (name == "paper") {
                gSettings.gWidePaper = value == "wide" ? 1 : 0;
            } else if (name == "agency") {
                agency.push_back(value);
            } else if (name == "number") {
                t.number = value;
            } else if (name == "employee") {
                t.employee = value;
            } else if (name == "date") {
                t.date = value;
            } else if (name == "bank") {
                const auto b = Split(value);
                t.accountId = b.at(0);
                t.accountName = b.at(1);
                t.accountCode = b.at(2);
                t.siteDescription = b.at(3);
            } else if (name == "line") {
                const auto l = Split(value);
                DepositTicketLine dl;
                dl.amount = l.at(0);
                dl.code = l.at(5);
                dl.revenue.text = Row({"12", l.at(5), l.at(1), l.at(2), l.at(3), l.at(4), l.at(5), l.at(6), l.at(7)});
                t.lines.push_back(dl);
            } else {
                ADD_FAILURE() << "unknown input line: " << line;
            }
        }
        PrinterCapture cap;
        EXPECT_TRUE(DepositTicket_Print(t, agency));
        return cap.bytes;
    }
};

TEST_P(DepositTicketGolden, PrintsAsTheGoldenFileSays) {
    const std::filesystem::path file = Folder() + "/" + GetParam();
    const golden_file::Golden g = golden_file::Parse(golden_file::ReadBytes(file));
    const std::string got = golden_file::PrintoutText(Run(g.input));
    EXPECT_EQ(gPrint.gPrintStatus, 0) << GetParam();
    golden_file::Check(file, g, got);
}

INSTANTIATE_TEST_SUITE_P(DepositTickets, DepositTicketGolden, ::testing::ValuesIn(golden_file::Files(Folder())),
                         golden_file::CaseName);

}  // namespace
}  // namespace tarvo
