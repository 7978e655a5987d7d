// Golden printout files: one plain file per case holding its input (a few
// readable lines a test driver parses), the separator line "=== printout ==="
// and the expected printout as text. A captured printout reads as text through
// PrintoutText: CR LF as a line end, windows-1252 as UTF-8, and any other
// control byte as "[n]" (the notation of the label template), so the printer
// codes of print_golden.h show as their printable characters.
//
// TARVO_REWRITE_GOLDENS=1 in the environment rewrites the expected section of
// each file from what the code prints, keeping the input section; without it
// the files are only read.
#pragma once
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/cp1252.h"

namespace tarvo::golden_file {

inline const std::string kSeparator = "=== printout ===";

struct Golden {
    std::vector<std::string> input;  // the lines above the separator
    std::string expected;            // the text below it
    bool hasSeparator = false;
};

inline std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The input lines (CR LF, lone CR or lone LF end a line) and the text after
// the separator line.
inline Golden Parse(const std::string& text) {
    Golden g;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        std::size_t next = end;
        if (next < text.size() && text[next] == '\r') ++next;
        if (next < text.size() && text[next] == '\n') ++next;
        if (line == kSeparator) {
            g.hasSeparator = true;
            std::string rest = text.substr(next), out;
            for (std::size_t i = 0; i < rest.size(); ++i)
                if (!(rest[i] == '\r' && i + 1 < rest.size() && rest[i + 1] == '\n')) out += rest[i];
            g.expected = out;
            return g;
        }
        g.input.push_back(line);
        at = next;
    }
    return g;
}

// The printer's bytes as text.
inline std::string PrintoutText(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        if (c < 0x20 && c != '\n')
            out += "[" + std::to_string(c) + "]";
        else
            out += Cp1252ToUtf8(std::string(1, static_cast<char>(c)));
    }
    if (out.empty() || out.back() != '\n') out += '\n';
    return out;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

// Every line that differs, numbered from 1 as in the expected section: the
// expected line after "-", the printed one after "+", each between bars so
// trailing blanks show.
inline std::string LineDiff(const std::string& expected, const std::string& got) {
    const auto e = Lines(expected), g = Lines(got);
    std::ostringstream out;
    for (std::size_t i = 0; i < e.size() || i < g.size(); ++i) {
        const bool hasE = i < e.size(), hasG = i < g.size();
        if (hasE && hasG && e[i] == g[i]) continue;
        out << "line " << (i + 1) << ":\n";
        out << "  - " << (hasE ? "|" + e[i] + "|" : "(no line)") << "\n";
        out << "  + " << (hasG ? "|" + g[i] + "|" : "(no line)") << "\n";
    }
    return out.str();
}

inline bool RewriteRequested() {
    const char* v = std::getenv("TARVO_REWRITE_GOLDENS");
    return v != nullptr && std::string(v) == "1";
}

// The file with its input lines kept and `printout` as its expected section.
inline void Rewrite(const std::filesystem::path& file, const Golden& g, const std::string& printout) {
    std::string text;
    for (const std::string& line : g.input) text += line + "\n";
    text += kSeparator + "\n" + printout;
    const std::filesystem::path temp = file.string() + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::filesystem::rename(temp, file);
}

// The golden files of a folder, sorted by name.
inline std::vector<std::string> Files(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file() && entry.path().extension() == ".txt") names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// Compares what was printed with the file's expected section, showing a line
// diff on a difference; with TARVO_REWRITE_GOLDENS=1 rewrites the file instead.
inline void Check(const std::filesystem::path& file, const Golden& g, const std::string& got) {
    if (RewriteRequested()) {
        Rewrite(file, g, got);
        return;
    }
    ASSERT_TRUE(g.hasSeparator) << file.filename() << " has no line \"" << kSeparator << "\"";
    EXPECT_TRUE(got == g.expected) << file.filename() << " differs from what was printed:\n"
                                   << LineDiff(g.expected, got);
}

// A test's name from its golden file's name.
inline std::string CaseName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param.substr(0, info.param.rfind('.'));
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

}  // namespace tarvo::golden_file
