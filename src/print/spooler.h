// The print spooler behind printer type "6" (and the labels printed on it):
// the CUPS server named by CUPS_SERVER or the client configuration.
//
// Each operation opens a connection of its own with a bounded connect and a
// bounded wait for the server's answers, and every libcups call goes through
// it, never through the library's default connection (whose waits run to a
// minute and more, and which some lookups fall back to on their own). A
// server that accepts the connection and never answers costs the register
// at most kSpoolerConnectMs + kSpoolerAnswerMs, never a freeze.
#pragma once
#include <string>

namespace tarvo {

// Connecting to the print server.
inline constexpr int kSpoolerConnectMs = 3000;
// All the answers of one operation together (finding a queue, or sending one
// job: create, document, finish and, after a failure, cancel).
inline constexpr int kSpoolerAnswerMs = 4000;

// The name of the queue `wanted` (empty: the server's default destination)
// as the server knows it. False with `error` filled when the server cannot
// be reached, does not answer in time, or has no such queue.
bool Spooler_FindQueue(const std::string& wanted, std::string& queue, std::string& error);

// Sends `data` to `queue` as one raw job named "AAAAAA"; nothing for empty
// data. False with `error` filled when the job was not taken; a job created
// and not completed is cancelled.
bool Spooler_Submit(const std::string& queue, const std::string& data, std::string& error);

}  // namespace tarvo
