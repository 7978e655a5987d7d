// windows-1252 <-> UTF-8. The core keeps every text as windows-1252 bytes (one
// byte per character, so fixed columns stay fixed); conversion happens only at
// the edges (the Qt window, UTF-8 data files).
#pragma once
#include <string>
#include <string_view>

namespace tarvo {

// Every byte maps to one code point: 0x80-0x9F to the windows-1252 letters,
// the five unassigned bytes (81 8D 8F 90 9D) to the C1 control of that value.
std::string Cp1252ToUtf8(std::string_view bytes);

// Characters with no windows-1252 byte become `replacement`; malformed UTF-8
// sequences too (one replacement per bad byte).
std::string Utf8ToCp1252(std::string_view utf8, char replacement = '?');

// The code point a windows-1252 byte stands for.
char32_t Cp1252CodePoint(unsigned char byte);

}  // namespace tarvo
