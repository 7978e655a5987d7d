// Output to a device file: a serial port (termios, raw mode, line settings
// taken from a device name such as "COM1:9600,N,8,1,ASC,LF"), a parallel port
// or any other writable file. A port opened for reading and writing (a scale
// that answers) is read without waiting: the caller learns that data is
// there from an IoWatch (platform/io_watch.h) and takes what has come.
//
// Pseudo-terminals stand in for serial ports in tests: there the kernel keeps
// 8 data bits and no parity whatever is asked, tcsetattr may answer EINVAL
// when only those bits change, and the modem-line ioctls answer ENOTTY. None
// of that is an error here; the settings that did stick are kept.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

struct LineSettings {
    int baud = 9600;
    char parity = 'N';   // N, E, O, M or S
    int dataBits = 8;    // 5-8
    int stopBits = 1;    // 1 or 2
    bool ctsHandshake = false;   // "CS" option: wait for clear-to-send
    bool dsrHandshake = false;   // "DS" option
    bool cdHandshake = false;    // "CD" option
};

// The options after "COMn:", e.g. "9600,N,8,1,ASC,LF" or "2400,N,8,1,CS,DS,CD".
// Empty fields keep their defaults; nullopt for a field that cannot be read.
std::optional<LineSettings> LineSettings_Parse(std::string_view options);

// How a port is opened: for output only (printers, displays, drawers) or for
// a device that answers.
enum class PortAccess { Write, ReadWrite };

// What one non-blocking read found.
enum class PortRead {
    Data,      // bytes were appended
    Nothing,   // nothing waiting now
    HungUp,    // the device side is gone (end of file)
    Failed,    // a read error (error filled)
};

class DevicePort {
public:
    DevicePort() = default;
    ~DevicePort() { Close(); }
    DevicePort(const DevicePort&) = delete;
    DevicePort& operator=(const DevicePort&) = delete;

    // Opens `path` (which must exist) for writing. With `line`, a terminal
    // device is set to raw mode with those settings. A regular file is
    // emptied first, as a file opened for output. False with `error` filled.
    bool Open(const std::string& path, const std::optional<LineSettings>& line, std::string& error);
    // The same with the access chosen. ReadWrite never empties a regular file.
    bool Open(const std::string& path, const std::optional<LineSettings>& line, std::string& error, PortAccess access);
    // Writes every byte; a device that takes nothing for `stallMs`
    // milliseconds (a handshake never given) is an error.
    bool Write(std::string_view bytes, std::string& error, int stallMs = 5000);
    // Waits for a terminal's output to leave, then closes. False on an error.
    bool Close(std::string* error = nullptr);
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
    int fd_ = -1;
};

}  // namespace tarvo
