// Output to a device file: a serial port (termios, raw mode, line settings
// taken from a device name such as "COM1:9600,N,8,1,ASC,LF"), a parallel port
// or any other writable file.
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
    // Writes every byte; a device that takes nothing for `stallMs`
    // milliseconds (a handshake never given) is an error.
    bool Write(std::string_view bytes, std::string& error, int stallMs = 5000);
    // Waits for a terminal's output to leave, then closes. False on an error.
    bool Close(std::string* error = nullptr);
    bool IsOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace tarvo
