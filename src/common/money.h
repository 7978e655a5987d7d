// Money: a signed count of ten-thousandths (four decimals), the register's
// currency. No amount is ever held in a double; every rounding rule is one
// named function here.
#pragma once
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

class Money {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Money() = default;
    static constexpr Money FromRaw(std::int64_t tenThousandths) { return Money(tenThousandths); }
    static constexpr Money FromCents(std::int64_t cents) { return Money(cents * 100); }
    static constexpr Money FromUnits(std::int64_t units) { return Money(units * kScale); }

    // A floating result (rate x amount, price / units) as an amount: its
    // 15-digit decimal rounded to four decimals, ties to even. nullopt when it
    // does not fit.
    static std::optional<Money> FromDouble(double value);
    // The lenient reader's number (leading blanks, sign, digits, one point;
    // no number is 0), rounded exactly to four decimals, ties to even.
    static std::optional<Money> Parse(std::string_view text);

    constexpr std::int64_t Raw() const { return v_; }
    double ToDouble() const { return static_cast<double>(v_) / kScale; }
    constexpr bool IsZero() const { return v_ == 0; }

    // Shortest record text: "12.5", ".5", "-.25", "100".
    std::string Text() const;
    // Shortest text with a zero before the point: "0.5".
    std::string TextDisplay() const;
    // Pattern text ("$###,##0.00", "####0.00"), see Num_Format.
    std::string Format(std::string_view pattern) const;

    constexpr Money operator-() const { return Money(-v_); }
    constexpr Money operator+(Money o) const { return Money(v_ + o.v_); }
    constexpr Money operator-(Money o) const { return Money(v_ - o.v_); }
    constexpr Money& operator+=(Money o) {
        v_ += o.v_;
        return *this;
    }
    constexpr Money& operator-=(Money o) {
        v_ -= o.v_;
        return *this;
    }
    constexpr auto operator<=>(const Money&) const = default;

private:
    constexpr explicit Money(std::int64_t v) : v_(v) {}
    std::int64_t v_ = 0;
};

// To whole cents, half away from zero: for x >= 0 Int((x + 0.005) x 100) / 100,
// for x < 0 the negation of the same on |x|.
Money CentRound(Money x);
// Int((x + 0.005) x 100) / 100 with Int the floor and no sign branch: a
// negative half cent rounds towards plus infinity.
Money CentRoundUp(Money x);
// Int((x + addend) x 100) / 100 with Int the floor (the exchange rule uses an
// addend of 0.001).
Money CentRoundUpWith(Money x, Money addend);

}  // namespace tarvo
