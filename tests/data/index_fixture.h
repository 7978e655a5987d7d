// A register folder for the index and product-update tests: Files/ and Data/
// in a temporary folder, the terminal paths pointed at it, the program log
// open there, and the data layer's state fresh for each test.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "program_state.h"
#include "test_dir.h"

namespace tarvo {

// A text of `width` blanks with fields placed at 1-based columns.
inline std::string Columns(std::size_t width, std::initializer_list<std::pair<std::size_t, std::string_view>> fields) {
    std::string text(width, ' ');
    for (const auto& [col, value] : fields) text.replace(col - 1, value.size(), value);
    text.resize(width, ' ');
    return text;
}

// A 273-character product record: id 1(8), product number 12(20), bar code
// 40(20), description 60(30).
inline std::string ProductRecord(std::string_view number, std::string_view barcode, std::string_view description,
                                 std::string_view id = "") {
    return Columns(273, {{1, id}, {12, number}, {40, barcode}, {60, description}});
}

// A 210-character client record: name 20(30), telephone 140(20).
inline std::string ClientRecord(std::string_view number, std::string_view name, std::string_view telephone) {
    return Columns(210, {{12, number}, {20, name}, {140, telephone}});
}

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        Data_Reset(gData);
        SetTerminalPaths(gConstants.paths, dir.Path(), "1234567");
        std::filesystem::create_directories(dir / "Files");
        std::filesystem::create_directories(dir / "Data");
        Log_Open(dir / "Files/1234567.LOG");
    }
    void TearDown() override {
        Data_Reset(gData);
        ProgramLog().Close();
        ResetProgramState();
    }

    std::string LogText() const { return dir.Read("Files/1234567.LOG"); }

    // The product working file holding exactly these records.
    void LoadProducts(const std::vector<std::string>& records) {
        ASSERT_TRUE(gData.products.Open(gConstants.paths.gDataPath + ".PRD", 275, true));
        WorkFile::Appender out(gData.products, 1);
        for (const std::string& r : records) ASSERT_TRUE(out.Add(r));
        ASSERT_TRUE(out.Finish());
        gData.gProductCount = static_cast<std::int32_t>(records.size());
    }
    void LoadClients(const std::vector<std::string>& records) {
        ASSERT_TRUE(gData.clients.Open(gConstants.paths.gDataPath + ".CLI", 212, true));
        for (std::size_t i = 0; i < records.size(); ++i)
            ASSERT_TRUE(gData.clients.Write(std::int64_t(i) + 1, records[i]));
        gData.gClientCount = static_cast<std::int32_t>(records.size());
    }

    static std::vector<std::string> Records(const WorkFile& f, std::int32_t count) {
        std::vector<std::string> out;
        for (std::int32_t k = 1; k <= count; ++k) out.push_back(f.Read(k));
        return out;
    }

    TestDir dir;
};

// Output of a shell command (stdout), run through /bin/sh.
inline std::string RunCommand(const std::string& command) {
    std::string out;
    if (std::FILE* p = ::popen(command.c_str(), "r")) {
        char buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

}  // namespace tarvo
