// Invoice working files written record by record for the upload tests, on a
// terminal folder of the test's own.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/fields.h"
#include "data/master_files.h"
#include "data/store_fixture.h"
#include "data/transaction_files.h"
#include "data/work_file.h"
#include "register/register_fixture.h"
#include "test_dir.h"

namespace tarvo::upload_fixture {

namespace fs = std::filesystem;

inline std::string Encoded(std::string s, std::size_t width) {
    s.resize(width, ' ');
    std::string head = s.substr(0, s.find_last_not_of(' ') + 1);
    Str_Encode(head);
    return head + std::string(width - head.size(), ' ');
}

// An invoice header as the sale writes it.
inline std::string Header(const std::string& number, char sent, const std::string& client) {
    return Fixed(143, {{1, number},      {9, std::string(1, sent)},
                       {11, "0"},        {12, "20261209"},
                       {20, "1430"},     {24, "00000007"},
                       {32, "00000009"}, {40, client},
                       {48, "00000003"}, {56, "7.35"},
                       {65, "-.5"},      {74, ".37"},
                       {83, "0"},        {92, "0"},
                       {101, "7.22"},    {110, "2.78"},
                       {119, "1"},       {120, "REF 42"},
                       {140, "2"},       {143, "2"}});
}

inline std::string Line(const std::string& number, int k, const std::string& product, const std::string& key,
                        const std::string& qty, const std::string& price, const std::string& note) {
    return Fixed(88, {{1, number},
                      {8, "00" + std::to_string(k)},
                      {11, product},
                      {19, key},
                      {39, qty},
                      {48, price},
                      {57, price},
                      {66, note},
                      {87, "00"}});
}

inline std::string Payment(const std::string& number, int k, const std::string& type, const std::string& amount,
                           const std::string& card) {
    return Fixed(223, {{1, number},
                       {8, "0" + std::to_string(k)},
                       {10, type},
                       {18, amount},
                       {27, "APPROVED 1"},
                       {47, card.empty() ? "0" : "2"},
                       {48, Encoded(card, 25)},
                       {73, Encoded(card.empty() ? "" : "12/29", 10)},
                       {83, Encoded(card.empty() ? "" : "ANN O'NEIL", 50)},
                       {133, Encoded(card.empty() ? "" : "TRACK DATA", 100)}});
}

inline void WriteFile(const char* ext, int length, const std::vector<std::string>& records) {
    WorkFile f;
    ASSERT_TRUE(f.Open(gConstants.paths.gDataPath + ext, length, true));
    ASSERT_TRUE(f.Write(1, HeaderRecord(static_cast<std::int64_t>(records.size()) + 1, 0)));
    for (std::size_t i = 0; i < records.size(); ++i)
        ASSERT_TRUE(f.Write(static_cast<std::int64_t>(i) + 2, records[i]))
            << ext << " record " << i + 2 << ": " << records[i].size() << " characters";
}

class UploadTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        dir.Write("Files/1234567.PRD", CrLf({Fixed(273, {{1, "1001"}, {12, "DOZEN"}, {175, "12"}}),
                                             Fixed(273, {{1, "1002"}, {12, "LOOSE"}, {175, "0"}}),
                                             Fixed(273, {{1, "1003"}, {12, "PLAIN"}, {175, "1"}})}));
        Parse_FileProduct();
        gData.gProductKey = "SALE'S OWN";
        gData.gProductRecNo = 77;
    }
    void TearDown() override {
        Data_CloseAll(gData);
        RegisterTest::TearDown();
    }
    std::string Path() const { return dir / "Files/1234567.TRA"; }
    std::string Flags() {
        Open_FileInvoice();
        std::string flags;
        for (std::int64_t r = 2; r <= gData.gLastInvoiceRecord; ++r) flags += gData.invoices.Read(r).substr(8, 1);
        return flags;
    }

    TestDir dir;
};

}  // namespace tarvo::upload_fixture
