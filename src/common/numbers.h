// The number rules of the register's files, settings, screens and printouts.
// Every conversion between numbers and text goes through here so that all
// subsystems read and write numbers the same way ("." and "," whatever the
// locale).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/money.h"

namespace tarvo {

// A decimal number as text pieces: sign, integer digits, fraction digits
// (no leading zeros kept in `whole` beyond one, no exponent).
struct DecimalText {
    bool negative = false;
    std::string whole;     // digits before the point ("" reads as 0)
    std::string fraction;  // digits after the point
};

// Lenient reader: leading blanks, an optional sign, digits with at most one
// decimal point; reading stops at the first other character; text that
// begins with no number reads as 0.
DecimalText Num_Scan(std::string_view text);
double Num_Val(std::string_view text);

// Strict reader: the whole text (blanks around it allowed) must be one
// number (optional sign, digits, at most one point, at least one digit).
std::optional<double> Num_ReadStrict(std::string_view text);

// An amount the cashier typed: the whole text (blanks around it allowed) one
// plain decimal number (optional sign, digits, at most one point, at least
// one digit), rounded to four decimals, ties to even. Nothing for "abc",
// "$5", "1,000", "1e3", "12abc", an empty text or an amount beyond Money.
// Every amount typed into a prompt or the entry box is read by this rule.
std::optional<Money> PlainAmount_Read(std::string_view text);

// A number as a whole integer in [lo, hi], a fraction rounded to the nearest
// even integer (the runtime's integer conversion); nullopt when out of range
// or not finite.
std::optional<std::int64_t> Num_ToInteger(double value, std::int64_t lo, std::int64_t hi);

// Strict integer conversion of a text as a whole: nullopt for text that is no
// number or out of range.
std::optional<std::int64_t> Num_ReadStrictInteger(std::string_view text, std::int64_t lo, std::int64_t hi);

// A double as a decimal of at most 15 significant digits, exactly as it would
// be printed (0.1 + 0.2 gives 0.3).
DecimalText Num_Decimal15(double value);

// A decimal rounded to `places` fraction digits, ties to even; returns the
// scaled integer (value x 10^places) or nullopt when it does not fit 64 bits.
std::optional<std::int64_t> Num_RoundHalfEven(const DecimalText& d, int places);
// The same with ties away from zero.
std::optional<std::int64_t> Num_RoundHalfAway(const DecimalText& d, int places);

// The shortest decimal text of a number, at most 15 significant digits, as the
// runtime writes numbers into records: "." as the point, "-" for negatives,
// no trailing zeros and no leading zero before the point (0.5 -> ".5",
// -0.25 -> "-.25", 12.50 -> "12.5", 100 -> "100"). Very large or very small
// magnitudes use the exponent form ("1E+15", "1E-05").
std::string Num_Text(double value);
// The same with a zero before the point (0.5 -> "0.5"), as the screen shows it.
std::string Num_TextDisplay(double value);

// A scaled integer (value x 10^places) in the shortest form, as Num_Text.
std::string Num_TextScaled(std::int64_t scaled, int places, bool leadingZero = false);

// Pattern formatting in the manner of the runtime's Format: "#" optional
// digit, "0" required digit, "," thousands grouping, "." decimal point, any
// other character literal. Ties round away from zero. A negative value gets a
// "-" in front of the whole result. ("$###,##0.00", "#0.000", "####0.00", "00").
std::string Num_Format(double value, std::string_view pattern);
// Same, from an exact scaled integer (value x 10^places).
std::string Num_FormatScaled(std::int64_t scaled, int places, std::string_view pattern);

}  // namespace tarvo
