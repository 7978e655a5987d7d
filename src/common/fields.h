// Fixed-width field helpers shared by every record writer, and the character
// substitution applied to stored card fields.
#pragma once
#include <string>
#include <string_view>

namespace tarvo {

// Trim blanks at both ends, then pad with blanks on the right or cut to width.
void Str_PadRight(std::string& s, int width);
std::string PadRight(std::string s, int width);

// Trim, put up to seven zeros in front (the last `width` characters of
// "0000000" & s), then pad with blanks or cut to width.
void Str_PadZero(std::string& s, int width);
std::string PadZero(std::string s, int width);

// Text without leading and trailing blanks.
std::string Trim(std::string_view s);
std::string_view TrimView(std::string_view s);
std::string_view TrimRightView(std::string_view s);

// Columns col..col+width-1 of a record (from 1): shorter at its end, empty
// past it.
std::string_view Mid(std::string_view s, std::size_t col, std::size_t width = std::string_view::npos);

// Card-field substitution: comma -> 30, apostrophe -> 31, codes 26-235 move up
// by 20; Str_Decode undoes it. A code of 236 or more has no 8-bit encoded
// form: it is stored as an encoded "?" (card fields never hold one).
void Str_Encode(std::string& s);
void Str_Decode(std::string& s);

}  // namespace tarvo
