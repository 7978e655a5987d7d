// A helper program for the restart test: notes each start in the file named
// by its first argument, registers a closer that notes "closed", and restarts
// itself until it has started twice.
#include <fstream>
#include <string>

#include "platform/process.h"

namespace {
void Note(const std::string& path, const char* what) { std::ofstream(path, std::ios::app) << what << "\n"; }
int Starts(const std::string& path) {
    std::ifstream in(path);
    int n = 0;
    for (std::string line; std::getline(in, line);) n += line == "start";
    return n;
}
}  // namespace

int main(int argc, char** argv) {
    using namespace tarvo;
    if (argc < 2) return 2;
    Program_SetArguments(argc, argv);
    const std::string path = argv[1];
    Note(path, "start");
    Program_OnClose([path] { Note(path, "closed"); });
    if (Starts(path) < 2) RestartProgram();
    return 0;
}
