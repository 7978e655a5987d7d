#include "online/fetched_numbers.h"

namespace tarvo {

std::optional<std::int64_t> FetchedWholeNumber(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    std::int64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string ServerDate(const std::string& d) {
    if (d.size() != 8 || d.find_first_not_of("0123456789") != std::string::npos) return d;
    return d.substr(4, 2) + "-" + d.substr(6, 2) + "-" + d.substr(0, 4);
}

}  // namespace tarvo
