// A terminal's Files/ and Data/ folders in a temporary program folder, the
// program-wide state reset around each test, and builders of fixed-column
// master file lines.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/line_reader.h"
#include "config/constants.h"
#include "data/data_state.h"
#include "data/log.h"
#include "program_state.h"
#include "test_dir.h"

namespace tarvo {

// A line of `length` blanks with each text put at its column (from 1).
inline std::string Fixed(std::size_t length, std::initializer_list<std::pair<std::size_t, std::string_view>> fields) {
    std::string line(length, ' ');
    for (const auto& [column, text] : fields) {
        if (line.size() < column - 1 + text.size()) line.resize(column - 1 + text.size(), ' ');
        line.replace(column - 1, text.size(), text);
    }
    return line;
}

// Lines joined with CR LF after each.
inline std::string CrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

class StoreTest : public ::testing::Test {
protected:
    static constexpr const char* kTerminal = "1234567";

    void SetUp() override {
        ResetProgramState();
        Data_Reset(gData);
        SetTerminalPaths(gConstants.paths, dir.Path(), kTerminal);
        std::filesystem::create_directories(dir / "Files");
        std::filesystem::create_directories(dir / "Data");
        ProgramLog().Open(FilesPath(".LOG"));
    }
    void TearDown() override {
        Data_Reset(gData);
        ProgramLog().Close();
    }

    std::string FilesPath(std::string_view ext) const { return gConstants.paths.gFilesPath + std::string(ext); }
    std::string DataPath(std::string_view ext) const { return gConstants.paths.gDataPath + std::string(ext); }

    // A received text file of the terminal.
    void Received(std::string_view ext, const std::vector<std::string>& lines) {
        dir.Write("Files/" + std::string(kTerminal) + std::string(ext), CrLf(lines));
    }
    std::string DataBytes(std::string_view ext) const {
        return dir.Read("Data/" + std::string(kTerminal) + std::string(ext));
    }

    // Event lines of the log (kind 1) without their date and time, trailing
    // blanks removed; data lines (kind 2) as they stand.
    std::vector<std::string> LogLines() const {
        std::vector<std::string> out;
        for (std::string l : SplitLines(dir.Read("Files/" + std::string(kTerminal) + ".LOG"))) {
            if (l.rfind("Data ", 0) != 0 && l.size() >= 20) l = l.substr(20);
            l.erase(l.find_last_not_of(' ') + 1);
            out.push_back(l);
        }
        return out;
    }
    void ClearLog() {
        ProgramLog().Close();
        dir.Write("Files/" + std::string(kTerminal) + ".LOG", "");
        ProgramLog().Open(FilesPath(".LOG"));
    }

    // The framed bytes of one record: the 2-byte little-endian length, the
    // text, blanks to the record length.
    static std::string Framed(std::string_view text, std::size_t recordLength) {
        std::string r(recordLength, ' ');
        r[0] = static_cast<char>(text.size() & 0xFF);
        r[1] = static_cast<char>(text.size() >> 8);
        r.replace(2, text.size(), text);
        return r;
    }

    TestDir dir;
};

}  // namespace tarvo
