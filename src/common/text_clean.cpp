#include "common/text_clean.h"

#include "common/cp1252.h"

namespace tarvo {

namespace {

bool BreaksRecord(unsigned char c) {
    switch (c) {
    case ',':
    case '\'':
    case '"':
    case '&': return true;
    // Bytes windows-1252 leaves unassigned stand for C1 controls.
    case 0x81:
    case 0x8D:
    case 0x8F:
    case 0x90:
    case 0x9D: return true;
    default: return c < 0x20 || c == 0x7F;
    }
}

}  // namespace

std::string Text_Clean(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (BreaksRecord(static_cast<unsigned char>(c))) c = ' ';
    return out;
}

std::string Text_CleanUtf8(std::string_view utf8) { return Text_Clean(Utf8ToCp1252(utf8, '?')); }

}  // namespace tarvo
