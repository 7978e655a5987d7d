// The register's bilingual text tables: messages, soft-key captions, mode and
// month names, list column titles, entry-field help lines and widths. Filled
// once at start from the generated data; read everywhere by number.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "config/message_names.h"

namespace tarvo {

constexpr int kLanguages = 4;  // columns 0..3; 1 English, 2 French

struct TextTables {
    std::array<std::array<std::string, kLanguages>, 301> MessageTable;
    std::array<std::array<std::array<std::string, kLanguages>, 25>, 7> SoftKeyCaptions;
    std::array<std::array<std::string, 25>, 7> SoftKeyFlags;  // "1": the key needs a manager's code
    std::array<std::array<std::string, kLanguages>, 41> ModeNameTable;
    std::array<std::array<std::string, kLanguages>, 13> MonthNameTable;
    std::array<std::array<std::array<std::string, kLanguages>, 13>, 9> ListColumnTitles;
    std::array<std::array<std::array<std::string, kLanguages>, 13>, 8> EntryFieldPrompts;
    std::array<std::array<std::int16_t, 21>, 6> EntryFieldWidths{};
};

// Fills every table from the generated data (the message step, then the
// captions, modes, months, titles, help lines and widths).
void FillTextTables(TextTables& t);

// Bounds-checked readers: an index outside a table reads as "" (or 0).
const std::string& MessageText(const TextTables& t, Message message, int language);
const std::string& SoftKeyCaption(const TextTables& t, int group, int key, int language);
const std::string& ModeName(const TextTables& t, int mode, int language);
const std::string& MonthName(const TextTables& t, int month, int language);
const std::string& ListColumnTitle(const TextTables& t, int kind, int column, int language);
const std::string& EntryFieldPrompt(const TextTables& t, int form, int field, int language);
int EntryFieldWidth(const TextTables& t, int kind, int field);

}  // namespace tarvo
