#include "config/text_tables.h"

#include "config/text_data.h"

namespace tarvo {
namespace {

const std::string kEmpty;

std::string Text(const texts::TextRow& r) { return std::string(r.text, r.length); }

template <typename Table>
void FillTwoKeys(Table& table, const texts::TextRow* rows, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) table.at(rows[i].key[0]).at(rows[i].key[1]) = Text(rows[i]);
}

template <typename Table>
void FillThreeKeys(Table& table, const texts::TextRow* rows, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) table.at(rows[i].key[0]).at(rows[i].key[1]).at(rows[i].key[2]) = Text(rows[i]);
}

bool In(int v, int size) { return v >= 0 && v < size; }

}  // namespace

void FillTextTables(TextTables& t) {
    t = TextTables{};
    FillTwoKeys(t.MessageTable, texts::k_messages_en, texts::k_messages_en_count);
    FillTwoKeys(t.MessageTable, texts::k_messages_fr_given, texts::k_messages_fr_given_count);
    FillTwoKeys(t.MessageTable, texts::k_messages_fr, texts::k_messages_fr_count);
    FillThreeKeys(t.SoftKeyCaptions, texts::k_softkey_captions, texts::k_softkey_captions_count);
    FillTwoKeys(t.ModeNameTable, texts::k_mode_names, texts::k_mode_names_count);
    FillTwoKeys(t.MonthNameTable, texts::k_month_names, texts::k_month_names_count);
    FillThreeKeys(t.ListColumnTitles, texts::k_list_column_titles, texts::k_list_column_titles_count);
    FillThreeKeys(t.EntryFieldPrompts, texts::k_entry_field_prompts, texts::k_entry_field_prompts_count);
    for (std::size_t i = 0; i < texts::k_entry_field_widths_count; ++i) {
        const auto& r = texts::k_entry_field_widths[i];
        t.EntryFieldWidths.at(r.kind).at(r.field) = r.value;
    }
}

const std::string& MessageText(const TextTables& t, Message message, int language) {
    const int number = static_cast<int>(message);
    if (!In(number, 301) || !In(language, kLanguages)) return kEmpty;
    return t.MessageTable[number][language];
}

const std::string& SoftKeyCaption(const TextTables& t, int group, int key, int language) {
    if (!In(group, 7) || !In(key, 25) || !In(language, kLanguages)) return kEmpty;
    return t.SoftKeyCaptions[group][key][language];
}

const std::string& ModeName(const TextTables& t, int mode, int language) {
    if (!In(mode, 41) || !In(language, kLanguages)) return kEmpty;
    return t.ModeNameTable[mode][language];
}

const std::string& MonthName(const TextTables& t, int month, int language) {
    if (!In(month, 13) || !In(language, kLanguages)) return kEmpty;
    return t.MonthNameTable[month][language];
}

const std::string& ListColumnTitle(const TextTables& t, int kind, int column, int language) {
    if (!In(kind, 9) || !In(column, 13) || !In(language, kLanguages)) return kEmpty;
    return t.ListColumnTitles[kind][column][language];
}

const std::string& EntryFieldPrompt(const TextTables& t, int form, int field, int language) {
    if (!In(form, 8) || !In(field, 13) || !In(language, kLanguages)) return kEmpty;
    return t.EntryFieldPrompts[form][field][language];
}

int EntryFieldWidth(const TextTables& t, int kind, int field) {
    if (!In(kind, 6) || !In(field, 21)) return 0;
    return t.EntryFieldWidths[kind][field];
}

}  // namespace tarvo
