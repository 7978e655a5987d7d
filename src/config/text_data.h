// Raw rows of the register's text tables, generated at build time from the
// data files in src/startup/texts (windows-1252 bytes).
#pragma once
#include <cstddef>

namespace tarvo::texts {

struct TextRow {
    short key[3];      // the row's keys in file order; unused keys are 0
    const char* text;  // windows-1252 bytes, may hold CR and LF
    unsigned length;
};
struct NumberRow {
    short kind, field, value;
};

#define TARVO_TEXT_TABLE(name)       \
    extern const TextRow k_##name[]; \
    extern const std::size_t k_##name##_count;
TARVO_TEXT_TABLE(messages_en)
TARVO_TEXT_TABLE(messages_fr_given)
TARVO_TEXT_TABLE(messages_fr)
TARVO_TEXT_TABLE(softkey_captions)
TARVO_TEXT_TABLE(mode_names)
TARVO_TEXT_TABLE(month_names)
TARVO_TEXT_TABLE(list_column_titles)
TARVO_TEXT_TABLE(entry_field_prompts)
#undef TARVO_TEXT_TABLE

extern const NumberRow k_entry_field_widths[];
extern const std::size_t k_entry_field_widths_count;

}  // namespace tarvo::texts
