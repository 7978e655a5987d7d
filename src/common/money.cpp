#include "common/money.h"

#include "common/numbers.h"

namespace tarvo {
namespace {
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}
}  // namespace

std::optional<Money> Money::FromDouble(double value) {
    auto v = Num_RoundHalfEven(Num_Decimal15(value), 4);
    if (!v) return std::nullopt;
    return Money(*v);
}

std::optional<Money> Money::Parse(std::string_view text) {
    auto v = Num_RoundHalfEven(Num_Scan(text), 4);
    if (!v) return std::nullopt;
    return Money(*v);
}

std::string Money::Text() const { return Num_TextScaled(v_, 4); }
std::string Money::TextDisplay() const { return Num_TextScaled(v_, 4, true); }
std::string Money::Format(std::string_view pattern) const { return Num_FormatScaled(v_, 4, pattern); }

Money CentRoundUpWith(Money x, Money addend) { return Money::FromRaw(FloorDiv(x.Raw() + addend.Raw(), 100) * 100); }

Money CentRoundUp(Money x) { return CentRoundUpWith(x, Money::FromRaw(50)); }

Money CentRound(Money x) {
    if (x.Raw() >= 0) return CentRoundUp(x);
    return -CentRoundUp(-x);
}

}  // namespace tarvo
