// A helper program for the program-folder lock tests: takes the lock of the
// folder named by its first argument, says how it went on a line of its own
// ("Taken", "InUse" or "Failed"), and holds it until its input closes or it is
// killed. With "reexec" as second argument it first replaces itself with a
// fresh copy of the program (as a restart does) once it holds the lock, and
// the new image takes the lock again.
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "platform/program_lock.h"

int main(int argc, char** argv) {
    using namespace tarvo;
    if (argc < 2) return 2;
    std::string why;
    const FolderLock r = ProgramFolder_Lock(argv[1], &why);
    std::printf("%s\n", r == FolderLock::Taken ? "Taken" : r == FolderLock::InUse ? "InUse" : "Failed");
    std::fflush(stdout);
    if (r == FolderLock::Taken && argc > 2 && std::strcmp(argv[2], "reexec") == 0) {
        char* again[] = {argv[0], argv[1], nullptr};
        ::execv("/proc/self/exe", again);
        return 3;
    }
    char c;
    while (::read(0, &c, 1) > 0) {}
    return 0;
}
