// Output to a device file: a serial port (termios, raw mode, line settings
// taken from a device name such as "COM1:9600,N,8,1,ASC,LF"), a parallel port
// or any other writable file. A port opened for reading and writing (a scale
// that answers) is read without waiting: the caller learns that data is
// there from an IoWatch (platform/io_watch.h) and takes what has come.
//
// Output never waits without end: each write, and the wait for the output to
// leave at the close, has a deadline of the time its bytes need on the line
// (10 bits a byte at the port's speed) plus a margin. Past it the output
// still pending is dropped and the call fails, so a device that stopped
// taking bytes (a handshake line never raised, a printer off line) costs
// the register a few seconds, never a freeze.
//
// Pseudo-terminals stand in for serial ports in tests: there the kernel keeps
// 8 data bits and no parity whatever is asked, tcsetattr may answer EINVAL
// when only those bits change, and the modem-line ioctls answer ENOTTY. None
// of that is an error here; the settings that did stick are kept, and a line
// that cannot be read is not waited for.
#pragma once
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

struct LineSettings {
    int baud = 9600;
    char parity = 'N';  // N, E, O, M or S
    int dataBits = 8;   // 5-8
    int stopBits = 1;   // 1 or 2
    // "CSn", "DSn", "CDn": the open waits up to n milliseconds for
    // clear-to-send, data-set-ready, carrier detect; CS with a number also
    // holds the output while CTS is down (hardware handshake), CD with a
    // number makes the line watch the carrier. 0, which is also "CS", "DS"
    // and "CD" without a number: the line is not checked.
    int ctsWaitMs = 0;
    int dsrWaitMs = 0;
    int cdWaitMs = 0;
};

// The options after "COMn:", e.g. "9600,N,8,1,ASC,LF" or "2400,N,8,1,CS,DS,CD".
// Empty fields keep their defaults; nullopt for a field that cannot be read
// (a line wait is a whole number of milliseconds up to 65535).
std::optional<LineSettings> LineSettings_Parse(std::string_view options);

// How a port is opened: for output only (printers, displays, drawers) or for
// a device that answers.
enum class PortAccess { Write, ReadWrite };

// What one non-blocking read found.
// What a port is given beyond the time its bytes need on the line before
// output that does not leave counts as stalled.
inline constexpr int kPortMarginMs = 2000;

enum class PortRead {
    Data,     // bytes were appended
    Nothing,  // nothing waiting now
    HungUp,   // the device side is gone (end of file)
    Failed,   // a read error (error filled)
};

class DevicePort {
public:
    DevicePort() = default;
    ~DevicePort() { Close(); }
    DevicePort(const DevicePort&) = delete;
    DevicePort& operator=(const DevicePort&) = delete;

    // Opens `path` (which must exist) for writing. With `line`, a terminal
    // device is set to raw mode with those settings and the open waits for
    // the lines the settings name. A regular file is emptied first, as a
    // file opened for output. False with `error` filled.
    bool Open(const std::string& path, const std::optional<LineSettings>& line, std::string& error);
    // The same with the access chosen. ReadWrite never empties a regular file.
    bool Open(const std::string& path, const std::optional<LineSettings>& line, std::string& error, PortAccess access);
    // Writes every byte before the deadline (see the top of this file); past
    // it the pending output is dropped and the write fails.
    bool Write(std::string_view bytes, std::string& error);
    // Waits, up to the deadline, for a terminal's output to leave, then
    // closes. Output still pending then is dropped and the close fails.
    // False on an error; the port is closed in every case.
    bool Close(std::string* error = nullptr);
    // The margin of the deadlines (kPortMarginMs unless set); kept across opens.
    void SetMarginMs(int ms) { marginMs_ = ms; }
    bool IsOpen() const { return fd_ >= 0; }

    // Appends to `into` what has arrived, at most `max` bytes, without
    // waiting. Needs a port opened with PortAccess::ReadWrite.
    PortRead Read(std::string& into, std::size_t max, std::string& error);
    // Raises (true) or drops (false) the RTS line of a serial port. Devices
    // without modem lines (pseudo-terminals, plain files) ignore it; false
    // only on a real failure.
    bool SetRts(bool on, std::string& error);
    // The descriptor to watch for incoming data; -1 when closed.
    int Fd() const { return fd_; }

private:
    // The time `bytes` need on the line at the port's speed; none for a
    // device without one (a parallel port, a file).
    std::chrono::milliseconds LineTime(long long bytes) const;
    // Bytes written but still waiting in the device's output queue.
    long long Pending() const;

    int fd_ = -1;
    int baud_ = 0;  // the line speed of a terminal opened with settings, else 0
    int marginMs_ = kPortMarginMs;
};

}  // namespace tarvo
