// Text typed by a cashier, made safe to store. Records are fixed-column text
// and the back office splits its upload lines on commas and quotes, so every
// entered text goes through here before it reaches a record: the characters
// that break a record ("," "'" the double quote "&", carriage return, line
// feed) and every other control character become blanks, one for one, so a
// text keeps its length and its fields keep their columns.
#pragma once
#include <string>
#include <string_view>

namespace tarvo {

// `text` in windows-1252 (the core's own form), cleaned.
std::string Text_Clean(std::string_view text);

// Text from the window (UTF-8): converted to windows-1252, a character that
// has no windows-1252 byte stored as "?", then cleaned.
std::string Text_CleanUtf8(std::string_view utf8);

}  // namespace tarvo
