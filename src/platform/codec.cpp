#include "platform/codec.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

namespace tarvo {

bool Decoder::Initialize() {
    const char sample[] = "Tarvo compression check Tarvo compression check";
    std::vector<Bytef> packed(compressBound(sizeof sample));
    uLongf packedLen = static_cast<uLongf>(packed.size());
    if (compress(packed.data(), &packedLen, reinterpret_cast<const Bytef*>(sample), sizeof sample) != Z_OK)
        return false;
    std::vector<Bytef> back(sizeof sample);
    uLongf backLen = static_cast<uLongf>(back.size());
    if (uncompress(back.data(), &backLen, packed.data(), packedLen) != Z_OK) return false;
    ready_ = backLen == sizeof sample && std::equal(back.begin(), back.end(), reinterpret_cast<const Bytef*>(sample));
    return ready_;
}

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
int Sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}
}  // namespace

std::optional<std::string> Base64Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3 / 4);
    unsigned buf = 0;
    int bits = 0, chars = 0, pad = 0;
    for (char c : text) {
        if (c == ' ' || c == '\r' || c == '\n' || c == '\t') continue;
        if (c == '=') {
            ++pad;
            ++chars;
            continue;
        }
        if (pad) return std::nullopt;  // data after padding
        int v = Sextet(c);
        if (v < 0) return std::nullopt;
        buf = (buf << 6) | static_cast<unsigned>(v);
        bits += 6;
        ++chars;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((buf >> bits) & 0xFF));
        }
    }
    if (chars % 4 != 0 || pad > 2) return std::nullopt;
    return out;
}

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

}  // namespace tarvo
