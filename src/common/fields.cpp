#include "common/fields.h"

#include <string_view>

namespace tarvo {

std::string Trim(std::string_view s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    std::size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

std::string_view TrimRightView(std::string_view s) {
    std::size_t e = s.find_last_not_of(' ');
    return e == std::string_view::npos ? std::string_view{} : s.substr(0, e + 1);
}

std::string_view TrimView(std::string_view s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return TrimRightView(s.substr(b));
}

std::string_view Mid(std::string_view s, std::size_t col, std::size_t width) {
    if (col < 1 || col > s.size()) return {};
    return s.substr(col - 1, width);
}

void Str_PadRight(std::string& s, int width) {
    if (width < 0) width = 0;
    s = Trim(s);
    s.resize(static_cast<std::size_t>(width), ' ');
}

std::string PadRight(std::string s, int width) {
    Str_PadRight(s, width);
    return s;
}

void Str_PadZero(std::string& s, int width) {
    if (width < 0) width = 0;
    std::string t = "0000000" + Trim(s);
    std::size_t w = static_cast<std::size_t>(width);
    s = t.size() > w ? t.substr(t.size() - w) : t;
    s.resize(w, ' ');
}

std::string PadZero(std::string s, int width) {
    Str_PadZero(s, width);
    return s;
}

void Str_Encode(std::string& s) {
    for (char& ch : s) {
        unsigned a = static_cast<unsigned char>(ch);
        if (a == 44)
            a = 30;
        else if (a == 39)
            a = 31;
        else if (a >= 236)
            a = '?' + 20;  // no 8-bit encoded form: stored as '?'
        else if (a >= 26)
            a += 20;
        ch = static_cast<char>(a);
    }
}

void Str_Decode(std::string& s) {
    for (char& ch : s) {
        unsigned a = static_cast<unsigned char>(ch);
        if (a == 30)
            a = 44;
        else if (a == 31)
            a = 39;
        else if (a >= 46)
            a -= 20;
        ch = static_cast<char>(a);
    }
}

}  // namespace tarvo
