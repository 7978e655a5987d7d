// Downloads from a real FTP server: the back office's folder "Files/" of the
// terminal's account, and packages made with libzip.
#pragma once
#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "test_dir.h"

namespace tarvo::download_fixture {

namespace fs = std::filesystem;

// A zip package at `path` holding `entries` (name, bytes) in order.
inline void MakePackage(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(z, nullptr) << err;
    for (const auto& [name, bytes] : entries) {
        zip_source_t* s = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
        ASSERT_NE(s, nullptr);
        ASSERT_GE(zip_file_add(z, name.c_str(), s, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// The files of a folder: name -> bytes (regular files only).
inline std::map<std::string, std::string> FilesIn(const std::string& folder) {
    std::map<std::string, std::string> out;
    if (!fs::exists(folder)) return out;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.is_regular_file()) out[e.path().filename().string()] = ReadFile(e.path().string());
    return out;
}

inline bool TemporaryIn(const std::string& folder) {
    for (const auto& [name, bytes] : FilesIn(folder))
        if (name.rfind(".download-", 0) == 0) return true;
    return false;
}

}  // namespace tarvo::download_fixture
