// The generated store the benchmarks run on: written once per run into a
// folder of the temporary directory, the register's paths pointed at it and
// its log opened there.
#pragma once
#include <cstdio>
#include <filesystem>
#include <string>

#include "config/constants.h"
#include "data/log.h"
#include "synthetic_store.h"

namespace tarvo::bench {

// Writes the store of `size` into the temporary folder `name` (emptied
// first) and points the register at it; the folder's path.
inline std::string UseSyntheticStore(const char* name, const StoreSize& size) {
    const std::string folder = (std::filesystem::temp_directory_path() / name).string();
    std::filesystem::remove_all(folder);
    std::string error;
    if (!WriteSyntheticStore(folder, "1234567", size, &error)) std::fprintf(stderr, "%s\n", error.c_str());
    SetTerminalPaths(gConstants.paths, folder, "1234567");
    ProgramLog().Open(folder + "/Files/1234567.LOG");
    return folder;
}

}  // namespace tarvo::bench
