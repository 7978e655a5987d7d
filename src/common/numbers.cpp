#include "common/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tarvo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Scans a number at the start of s; returns the characters consumed.
std::size_t ScanNumber(std::string_view s, DecimalText& d) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) d.negative = s[i++] == '-';
    while (i < s.size() && IsDigit(s[i])) d.whole.push_back(s[i++]);
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) d.fraction.push_back(s[i++]);
    }
    return i;
}

bool HasDigits(const DecimalText& d) { return !d.whole.empty() || !d.fraction.empty(); }

double ToDouble(const DecimalText& d) {
    if (!HasDigits(d)) return 0.0;
    std::string t = (d.whole.empty() ? "0" : d.whole);
    if (!d.fraction.empty()) t += "." + d.fraction;
    double v = 0;
    std::from_chars(t.data(), t.data() + t.size(), v);
    return d.negative ? -v : v;
}

// Scaled integer from digits, with the rounding decided by `roundUp`.
template <typename Decide>
std::optional<std::int64_t> RoundScaled(const DecimalText& d, int places, Decide roundUp) {
    std::string digits = d.whole;
    std::string frac = d.fraction;
    if (static_cast<int>(frac.size()) < places) frac.append(places - frac.size(), '0');
    digits += frac.substr(0, places);
    std::string rest = frac.substr(places);
    std::int64_t r = 0;
    for (char c : digits) {
        if (__builtin_mul_overflow(r, 10, &r) || __builtin_add_overflow(r, c - '0', &r)) return std::nullopt;
    }
    bool odd = (r % 2) != 0;
    if (!rest.empty() && roundUp(rest, odd) && __builtin_add_overflow(r, 1, &r)) return std::nullopt;
    return d.negative ? -r : r;
}

std::int64_t Pow10(int n) {
    std::int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

}  // namespace

DecimalText Num_Scan(std::string_view text) {
    DecimalText d;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    ScanNumber(text.substr(i), d);
    if (!HasDigits(d)) d = DecimalText{};
    return d;
}

double Num_Val(std::string_view text) { return ToDouble(Num_Scan(text)); }

std::optional<double> Num_ReadStrict(std::string_view text) {
    text = TrimBlanks(text);
    DecimalText d;
    std::size_t used = ScanNumber(text, d);
    if (used != text.size() || !HasDigits(d)) return std::nullopt;
    return ToDouble(d);
}

std::optional<Money> PlainAmount_Read(std::string_view text) {
    text = TrimBlanks(text);
    DecimalText d;
    if (ScanNumber(text, d) != text.size() || !HasDigits(d)) return std::nullopt;
    const std::optional<std::int64_t> v = Num_RoundHalfEven(d, 4);
    if (!v) return std::nullopt;
    return Money::FromRaw(*v);
}

std::optional<std::int64_t> Num_ToInteger(double value, std::int64_t lo, std::int64_t hi) {
    if (!std::isfinite(value)) return std::nullopt;
    double r = std::nearbyint(value);  // default rounding mode: ties to even
    if (r < static_cast<double>(lo) || r > static_cast<double>(hi)) return std::nullopt;
    return static_cast<std::int64_t>(r);
}

std::optional<std::int64_t> Num_ReadStrictInteger(std::string_view text, std::int64_t lo, std::int64_t hi) {
    text = TrimBlanks(text);
    DecimalText d;
    std::size_t used = ScanNumber(text, d);
    if (used != text.size() || !HasDigits(d)) return std::nullopt;
    auto v = Num_RoundHalfEven(d, 0);
    if (!v || *v < lo || *v > hi) return std::nullopt;
    return v;
}

DecimalText Num_Decimal15(double value) {
    DecimalText d;
    if (!std::isfinite(value) || value == 0.0) {
        d.whole = "0";
        return d;
    }
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    std::string_view s(buf, res.ptr - buf);  // d.dddddddddddddde[+-]xx
    std::string digits;
    std::size_t e = s.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (IsDigit(s[i])) digits.push_back(s[i]);
    int exp = 0;
    std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), exp);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int point = exp + 1;  // digits before the decimal point
    if (point <= 0) {
        d.whole = "0";
        d.fraction = std::string(-point, '0') + digits;
    } else if (point >= static_cast<int>(digits.size())) {
        d.whole = digits + std::string(point - digits.size(), '0');
    } else {
        d.whole = digits.substr(0, point);
        d.fraction = digits.substr(point);
    }
    d.negative = value < 0;
    return d;
}

std::optional<std::int64_t> Num_RoundHalfEven(const DecimalText& d, int places) {
    return RoundScaled(d, places, [](const std::string& rest, bool odd) {
        if (rest[0] > '5') return true;
        if (rest[0] < '5') return false;
        for (std::size_t i = 1; i < rest.size(); ++i)
            if (rest[i] != '0') return true;
        return odd;
    });
}

std::optional<std::int64_t> Num_RoundHalfAway(const DecimalText& d, int places) {
    return RoundScaled(d, places, [](const std::string& rest, bool) { return rest[0] >= '5'; });
}

std::string Num_TextScaled(std::int64_t scaled, int places, bool leadingZero) {
    bool neg = scaled < 0;
    unsigned long long mag = neg ? 0ULL - static_cast<unsigned long long>(scaled)
                                 : static_cast<unsigned long long>(scaled);
    unsigned long long p = static_cast<unsigned long long>(Pow10(places));
    unsigned long long whole = mag / p, frac = mag % p;
    std::string out = neg ? "-" : "";
    std::string f;
    if (frac != 0) {
        f = std::to_string(frac);
        f.insert(0, places - f.size(), '0');
        while (f.back() == '0') f.pop_back();
    }
    if (whole != 0 || f.empty() || leadingZero) out += std::to_string(whole);
    if (!f.empty()) out += "." + f;
    return out;
}

namespace {
std::string TextOf(double value, bool leadingZero) {
    if (!std::isfinite(value)) return "0";
    if (value == 0.0) return "0";
    DecimalText d = Num_Decimal15(value);
    std::string digits = d.whole + d.fraction;
    std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return "0";
    int exp = d.whole != "0" ? static_cast<int>(d.whole.size()) - 1
                             : -static_cast<int>(d.fraction.find_first_not_of('0') + 1);
    if (exp >= 15 || exp <= -5) {
        std::string m = digits.substr(first);
        while (m.size() > 1 && m.back() == '0') m.pop_back();
        std::string out = d.negative ? "-" : "";
        out += m.substr(0, 1);
        if (m.size() > 1) out += "." + m.substr(1);
        char e[16];
        int ae = exp < 0 ? -exp : exp;
        std::snprintf(e, sizeof e, "E%c%02d", exp < 0 ? '-' : '+', ae);
        return out + e;
    }
    std::string out = d.negative ? "-" : "";
    std::string whole = d.whole;
    std::string frac = d.fraction;
    while (!frac.empty() && frac.back() == '0') frac.pop_back();
    if (whole == "0" && !frac.empty() && !leadingZero) whole.clear();
    out += whole;
    if (!frac.empty()) out += "." + frac;
    return out;
}
}  // namespace

std::string Num_Text(double value) { return TextOf(value, false); }
std::string Num_TextDisplay(double value) { return TextOf(value, true); }

std::string Num_FormatScaled(std::int64_t scaled, int places, std::string_view pattern) {
    // Split the pattern: literal prefix, the placeholder body, literal suffix.
    std::size_t b = pattern.find_first_of("#0.");
    std::size_t e = pattern.find_last_of("#0.");
    if (b == std::string_view::npos) return std::string(pattern);
    std::string_view prefix = pattern.substr(0, b), body = pattern.substr(b, e - b + 1), suffix = pattern.substr(e + 1);
    std::size_t point = body.find('.');
    std::string_view intPart = body.substr(0, point);
    std::string_view fracPart = point == std::string_view::npos ? std::string_view() : body.substr(point + 1);
    int intMin = 0, fracTotal = 0, fracMin = 0;
    bool group = intPart.find(',') != std::string_view::npos;
    for (char c : intPart) intMin += c == '0';
    for (char c : fracPart) {
        if (c == '#' || c == '0') ++fracTotal;
        if (c == '0') fracMin = fracTotal;
    }
    // Rescale to the pattern's decimals, ties away from zero.
    bool neg = scaled < 0;
    unsigned long long mag = neg ? 0ULL - static_cast<unsigned long long>(scaled)
                                 : static_cast<unsigned long long>(scaled);
    if (fracTotal < places) {
        unsigned long long p = static_cast<unsigned long long>(Pow10(places - fracTotal));
        mag = mag / p + ((mag % p) * 2 >= p ? 1 : 0);
    } else {
        mag *= static_cast<unsigned long long>(Pow10(fracTotal - places));
    }
    unsigned long long p = static_cast<unsigned long long>(Pow10(fracTotal));
    unsigned long long whole = mag / p, frac = mag % p;
    std::string w = whole ? std::to_string(whole) : "";
    if (static_cast<int>(w.size()) < intMin) w.insert(0, intMin - w.size(), '0');
    if (group) {
        std::string g;
        int n = 0;
        for (auto it = w.rbegin(); it != w.rend(); ++it, ++n) {
            if (n && n % 3 == 0) g.push_back(',');
            g.push_back(*it);
        }
        w.assign(g.rbegin(), g.rend());
    }
    std::string f;
    if (fracTotal) {
        f = std::to_string(frac);
        f.insert(0, fracTotal - f.size(), '0');
        while (static_cast<int>(f.size()) > fracMin && f.back() == '0') f.pop_back();
    }
    std::string out;
    if (neg && mag != 0) out.push_back('-');
    out.append(prefix);
    out += w;
    if (point != std::string_view::npos) out += "." + f;
    out.append(suffix);
    return out;
}

std::string Num_Format(double value, std::string_view pattern) {
    std::size_t point = pattern.find('.');
    int places = 0;
    if (point != std::string_view::npos)
        for (char c : pattern.substr(point + 1)) places += (c == '#' || c == '0');
    auto scaled = Num_RoundHalfAway(Num_Decimal15(value), places);
    if (!scaled) return Num_Text(value);
    return Num_FormatScaled(*scaled, places, pattern);
}

}  // namespace tarvo
