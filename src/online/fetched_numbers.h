// The numbers of the back office's documents: document and line numbers are
// whole numbers, never read leniently (a text with a letter is not 0).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// Digits only, 1 to 9 of them; nothing for anything else.
std::optional<std::int64_t> FetchedWholeNumber(std::string_view text);

// A date kept as yyyymmdd as the back office reads it: "mm-dd-yyyy"; any
// other text goes as it is.
std::string ServerDate(const std::string& yyyymmdd);

}  // namespace tarvo
