// Starting other programs (never through a shell), and restarting this one.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace tarvo {

struct RunResult {
    bool started = false;
    bool timedOut = false;
    int exitCode = -1;
};

// Runs argv[0] (looked up in PATH) with the arguments and waits at most
// `timeoutMs` for it to end; a program still running then is killed.
RunResult RunAndWait(const std::vector<std::string>& argv, int timeoutMs);
// The same with `input` on the program's standard input (then its end); the
// bytes are handed over before the program starts, so they must be small
// (a pipe's buffer, 64 KiB).
RunResult RunAndWait(const std::vector<std::string>& argv, int timeoutMs, const std::string& input);

// Starts a program and does not wait for it (its own session, no output to
// our terminal). False when it could not be started.
bool SpawnDetached(const std::vector<std::string>& argv, const std::string& workDir = "");

// True when `program` is found in PATH (or is an existing executable path).
bool ProgramExists(const std::string& program);

// Splits a configured command line at blanks into arguments and puts the
// values in for "{name}" placeholders; each placeholder stays one argument,
// whatever blanks its value holds.
std::vector<std::string> ExpandCommand(const std::string& pattern,
                                       const std::vector<std::pair<std::string, std::string>>& values);

// Restart: remember how we were started, register what must be closed first,
// then replace this process with a fresh copy of the same binary.
void Program_SetArguments(int argc, char** argv);
void Program_OnClose(std::function<void()> closer);
void Program_CloseAll();
[[noreturn]] void RestartProgram();

}  // namespace tarvo
