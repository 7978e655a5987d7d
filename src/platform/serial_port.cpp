#include "platform/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

namespace tarvo {

namespace {

std::string Trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return std::string(s.substr(b, e - b));
}

std::optional<int> ToInt(const std::string& s) {
    if (s.empty() || s.size() > 7) return std::nullopt;
    int n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

speed_t SpeedOf(int baud) {
    switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
    }
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string ErrnoText(const char* what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

using Clock = std::chrono::steady_clock;

// Milliseconds from now to `deadline`, 0 once it has passed.
int MsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// A modem-line wait of "CSn", "DSn" or "CDn": the number after the two
// letters, none meaning 0 (not checked). nullopt when it is not a number.
std::optional<int> LineWait(const std::string& field) {
    if (field.size() == 2) return 0;
    auto n = ToInt(field.substr(2));
    if (!n || *n > 65535) return std::nullopt;
    return n;
}

// A device without modem lines (a pseudo-terminal) answers these errors;
// its lines are not checked.
bool NoModemLines(int err) { return err == ENOTTY || err == EINVAL; }

// Waits for the lines the settings ask for. True when each came up in
// time or cannot be read here.
bool WaitForLines(int fd, const LineSettings& line, const std::string& path, std::string& error) {
    struct Wait {
        int bit;
        int ms;
        const char* name;
    };
    const Wait waits[] = {{TIOCM_CTS, line.ctsWaitMs, "clear-to-send (CTS)"},
                          {TIOCM_DSR, line.dsrWaitMs, "data-set-ready (DSR)"},
                          {TIOCM_CD, line.cdWaitMs, "carrier detect (CD)"}};
    for (const Wait& w : waits) {
        if (w.ms <= 0) continue;
        const auto deadline = Clock::now() + std::chrono::milliseconds(w.ms);
        for (;;) {
            int bits = 0;
            if (::ioctl(fd, TIOCMGET, &bits) != 0) {
                if (NoModemLines(errno)) return true;
                error = ErrnoText("cannot read the modem lines of", path);
                return false;
            }
            if ((bits & w.bit) != 0) break;
            if (MsLeft(deadline) == 0) {
                error = path + ": the device did not raise " + w.name + " within " + std::to_string(w.ms) + " ms";
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(10, MsLeft(deadline) + 1)));
        }
    }
    return true;
}

}  // namespace

std::optional<LineSettings> LineSettings_Parse(std::string_view options) {
    LineSettings s;
    std::size_t field = 0, start = 0;
    while (start <= options.size()) {
        std::size_t comma = options.find(',', start);
        if (comma == std::string_view::npos) comma = options.size();
        const std::string f = Upper(Trim(options.substr(start, comma - start)));
        if (!f.empty()) {
            if (field == 0) {
                auto n = ToInt(f);
                if (!n || SpeedOf(*n) == B0) return std::nullopt;
                s.baud = *n;
            } else if (field == 1) {
                if (f.size() != 1 || std::string_view("NEOMS").find(f[0]) == std::string_view::npos)
                    return std::nullopt;
                s.parity = f[0];
            } else if (field == 2) {
                auto n = ToInt(f);
                if (!n || *n < 5 || *n > 8) return std::nullopt;
                s.dataBits = *n;
            } else if (field == 3) {
                auto n = ToInt(f);
                if (!n || (*n != 1 && *n != 2)) return std::nullopt;
                s.stopBits = *n;
            } else if (f.rfind("CS", 0) == 0 || f.rfind("DS", 0) == 0 || f.rfind("CD", 0) == 0) {
                const auto ms = LineWait(f);
                if (!ms) return std::nullopt;
                if (f.rfind("CS", 0) == 0)
                    s.ctsWaitMs = *ms;
                else if (f.rfind("DS", 0) == 0)
                    s.dsrWaitMs = *ms;
                else
                    s.cdWaitMs = *ms;
            }
            // ASC, BIN, LF, RS, OP, TB, RB, PE: text-file options, nothing to set on the line.
        }
        ++field;
        start = comma + 1;
    }
    return s;
}

bool DevicePort::Open(const std::string& path, const std::optional<LineSettings>& line, std::string& error) {
    return Open(path, line, error, PortAccess::Write);
}

bool DevicePort::Open(const std::string& path, const std::optional<LineSettings>& line, std::string& error,
                      PortAccess access) {
    Close();
    const int mode = access == PortAccess::ReadWrite ? O_RDWR : O_WRONLY;
    const int fd = ::open(path.c_str(), mode | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = ErrnoText("cannot open", path);
        return false;
    }
    struct stat st {};
    if (access == PortAccess::Write && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0) {
        error = ErrnoText("cannot empty", path);
        ::close(fd);
        return false;
    }
    if (line && ::isatty(fd)) {
        termios t{};
        if (::tcgetattr(fd, &t) != 0) {
            error = ErrnoText("cannot read the line settings of", path);
            ::close(fd);
            return false;
        }
        ::cfmakeraw(&t);
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | CMSPAR);
        switch (line->dataBits) {
        case 5: t.c_cflag |= CS5; break;
        case 6: t.c_cflag |= CS6; break;
        case 7: t.c_cflag |= CS7; break;
        default: t.c_cflag |= CS8; break;
        }
        if (line->parity == 'E') t.c_cflag |= PARENB;
        if (line->parity == 'O') t.c_cflag |= PARENB | PARODD;
        if (line->parity == 'M') t.c_cflag |= PARENB | PARODD | CMSPAR;
        if (line->parity == 'S') t.c_cflag |= PARENB | CMSPAR;
        if (line->stopBits == 2) t.c_cflag |= CSTOPB;
        if (line->ctsWaitMs > 0) t.c_cflag |= CRTSCTS;
        t.c_cflag |= CREAD;
        if (line->cdWaitMs > 0)
            t.c_cflag &= ~static_cast<tcflag_t>(CLOCAL);
        else
            t.c_cflag |= CLOCAL;
        t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        ::cfsetispeed(&t, SpeedOf(line->baud));
        ::cfsetospeed(&t, SpeedOf(line->baud));
        if (::tcsetattr(fd, TCSANOW, &t) != 0) {
            // A pseudo-terminal refuses what it cannot do (EINVAL); what
            // stuck is read back and kept. Anything else is an error.
            termios back{};
            if (errno != EINVAL || ::tcgetattr(fd, &back) != 0) {
                error = ErrnoText("cannot set the line of", path);
                ::close(fd);
                return false;
            }
        }
        if (!WaitForLines(fd, *line, path, error)) {
            ::tcflush(fd, TCIOFLUSH);
            ::close(fd);
            return false;
        }
        baud_ = line->baud;
    } else {
        baud_ = 0;
    }
    fd_ = fd;
    return true;
}

std::chrono::milliseconds DevicePort::LineTime(long long bytes) const {
    if (baud_ <= 0 || bytes <= 0) return std::chrono::milliseconds(0);
    return std::chrono::milliseconds(bytes * 10 * 1000 / baud_ + 1);
}

long long DevicePort::Pending() const {
    int queued = 0;
    if (fd_ < 0 || !::isatty(fd_) || ::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued < 0) return 0;
    return queued;
}

bool DevicePort::Write(std::string_view bytes, std::string& error) {
    if (fd_ < 0) {
        error = "the port is not open";
        return false;
    }
    const auto allowed =
        LineTime(Pending() + static_cast<long long>(bytes.size())) + std::chrono::milliseconds(marginMs_);
    const auto deadline = Clock::now() + allowed;
    std::size_t done = 0;
    bool roomReported = false;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            roomReported = false;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A device whose poll always reports room (a parallel port) is
            // tried again after a pause rather than in a busy loop.
            if (roomReported) std::this_thread::sleep_for(std::chrono::milliseconds(std::min(10, MsLeft(deadline))));
            pollfd p{fd_, POLLOUT, 0};
            int r = 0;
            if (MsLeft(deadline) > 0) {
                do r = ::poll(&p, 1, MsLeft(deadline));
                while (r < 0 && errno == EINTR);
            }
            if (r == 0) {
                // Stalled: what is still queued would only come out later,
                // in the middle of whatever is printed next.
                if (::isatty(fd_)) ::tcflush(fd_, TCOFLUSH);
                error = "stalled: " + std::to_string(done) + " of " + std::to_string(bytes.size()) +
                        " bytes taken in " + std::to_string(allowed.count()) + " ms, output dropped";
                return false;
            }
            if (r < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
                error = "the device is no longer writable";
                return false;
            }
            roomReported = true;
            continue;
        }
        error = std::string("write failed: ") + (n < 0 ? std::strerror(errno) : "nothing written");
        return false;
    }
    return true;
}

PortRead DevicePort::Read(std::string& into, std::size_t max, std::string& error) {
    if (fd_ < 0) {
        error = "the port is not open";
        return PortRead::Failed;
    }
    char buf[256];
    std::size_t got = 0;
    while (got < max) {
        const std::size_t want = max - got < sizeof buf ? max - got : sizeof buf;
        const ssize_t n = ::read(fd_, buf, want);
        if (n > 0) {
            into.append(buf, static_cast<std::size_t>(n));
            got += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (got > 0) break;  // what came is delivered; the end shows on the next read
        if (n == 0) {
            // A raw terminal with no minimum count reads 0 bytes when nothing
            // is waiting; only a hang-up makes that the end.
            if (!::isatty(fd_)) return PortRead::HungUp;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return PortRead::HungUp;
            break;
        }
        // A pseudo-terminal whose other side has gone answers EIO.
        if (errno == EIO) return PortRead::HungUp;
        error = std::string("read failed: ") + std::strerror(errno);
        return PortRead::Failed;
    }
    return got > 0 ? PortRead::Data : PortRead::Nothing;
}

bool DevicePort::SetRts(bool on, std::string& error) {
    if (fd_ < 0) {
        error = "the port is not open";
        return false;
    }
    if (!::isatty(fd_)) return true;
    int bits = TIOCM_RTS;
    if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) == 0) return true;
    if (errno == ENOTTY || errno == EINVAL) return true;  // no modem lines here
    error = std::string("cannot set RTS: ") + std::strerror(errno);
    return false;
}

bool DevicePort::Close(std::string* error) {
    if (fd_ < 0) return true;
    bool ok = true;
    if (::isatty(fd_)) {
        // tcdrain would wait without end on a line that never lets the bytes
        // out; the output queue is watched against a deadline instead. The
        // close itself then finds nothing left to wait for.
        const long long queued = Pending();
        const auto allowed = LineTime(queued) + std::chrono::milliseconds(marginMs_);
        const auto deadline = Clock::now() + allowed;
        for (long long left = queued; left > 0; left = Pending()) {
            if (MsLeft(deadline) == 0) {
                ::tcflush(fd_, TCOFLUSH);
                ok = false;
                if (error)
                    *error = "stalled: " + std::to_string(left) + " bytes not sent in " +
                             std::to_string(allowed.count()) + " ms, output dropped";
                break;
            }
            // Look again when the bytes queued should have left, at least every 50 ms.
            const long long stepMs = std::min<long long>(LineTime(left).count() + 5, 50);
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min<long long>(stepMs, MsLeft(deadline))));
        }
    }
    if (::close(fd_) != 0 && ok) {
        ok = false;
        if (error) *error = std::string("close failed: ") + std::strerror(errno);
    }
    fd_ = -1;
    return ok;
}

}  // namespace tarvo
