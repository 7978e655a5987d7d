#include "common/line_reader.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace tarvo {

LineReader::~LineReader() { Close(); }

bool LineReader::Open(const std::string& path, bool skipUtf8Bom) {
    Close();
    error_ = 0;
    lineNo_ = 0;
    first_ = true;
    eof_ = false;
    pendingCr_ = false;
    skipBom_ = skipUtf8Bom;
    pos_ = end_ = 0;
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return false;
    }
    buf_.resize(1 << 16);
    return true;
}

void LineReader::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool LineReader::Fill() {
    if (eof_ || fd_ < 0) return false;
    if (pos_ > 0) {
        std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);
    for (;;) {
        ssize_t n = ::read(fd_, buf_.data() + end_, buf_.size() - end_);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error_ = errno;
            eof_ = true;
            return false;
        }
        if (n == 0) {
            eof_ = true;
            return false;
        }
        end_ += static_cast<std::size_t>(n);
        return true;
    }
}

bool LineReader::Next(std::string& line) {
    if (fd_ < 0) return false;
    if (first_) {
        first_ = false;
        while (end_ < 3 && Fill()) {}
        if (skipBom_ && end_ >= 3 && std::memcmp(buf_.data(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
    }
    std::size_t scan = pos_;
    for (;;) {
        if (pendingCr_) {
            if (pos_ < end_) {
                if (buf_[pos_] == '\n') ++pos_;
                pendingCr_ = false;
                scan = pos_;
            } else if (!Fill()) {
                pendingCr_ = false;
                return false;
            } else {
                scan = pos_;
                continue;
            }
        }
        const char* b = buf_.data();
        for (std::size_t i = scan; i < end_; ++i) {
            if (b[i] == '\n' || b[i] == '\r') {
                line.assign(b + pos_, i - pos_);
                pos_ = i + 1;
                if (b[i] == '\r') {
                    if (pos_ < end_) {
                        if (b[pos_] == '\n') ++pos_;
                    } else {
                        pendingCr_ = true;
                    }
                }
                ++lineNo_;
                return true;
            }
        }
        std::size_t scanned = end_ - pos_;  // Fill moves the unread part to the front
        if (!Fill()) {
            if (end_ > pos_) {
                line.assign(buf_.data() + pos_, end_ - pos_);
                pos_ = end_;
                ++lineNo_;
                return true;
            }
            return false;
        }
        scan = pos_ + scanned;
    }
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> out;
    std::size_t start = 0, i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            out.emplace_back(text.substr(start, i - start));
            ++i;
            if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) out.emplace_back(text.substr(start));
    return out;
}

}  // namespace tarvo
