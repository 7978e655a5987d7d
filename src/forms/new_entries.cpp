#include "forms/new_entries.h"

#include "common/fields.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/transaction_files.h"

namespace tarvo {
namespace {

int FieldsOf(NewEntryKind kind) { return kind == NewEntryKind::Client ? kNewClientFields : kNewProductFields; }
int TextOf(NewEntryKind kind) { return kind == NewEntryKind::Client ? kNewClientText : kNewProductText; }

}  // namespace

std::string EntryField_Fit(std::string_view text, int width) {
    std::string s(text.substr(0, static_cast<std::size_t>(std::max(width, 0))));
    s.resize(static_cast<std::size_t>(std::max(width, 0)), ' ');
    return s;
}

int NewEntry_FieldWidth(NewEntryKind kind, int field) {
    return EntryFieldWidth(gConstants.tables, kind == NewEntryKind::Client ? 1 : 2, field);
}

std::string NewEntry_Record(NewEntryKind kind, const std::vector<std::string>& fields) {
    if (static_cast<int>(fields.size()) != FieldsOf(kind)) return {};
    std::string r = "0 ";
    for (int i = 1; i <= FieldsOf(kind); ++i)
        r += EntryField_Fit(fields[static_cast<std::size_t>(i - 1)], NewEntry_FieldWidth(kind, i));
    // The widths add up to less than the record; a table that said otherwise
    // would shift the upload's columns, so such a record is not made at all.
    if (static_cast<int>(r.size()) > TextOf(kind)) return {};
    r.resize(static_cast<std::size_t>(TextOf(kind)), ' ');
    return r;
}

std::int32_t NewEntry_Append(NewEntryKind kind, std::string_view record, const std::string& who) {
    DataState& d = gData;
    const bool client = kind == NewEntryKind::Client;
    if (static_cast<int>(record.size()) != TextOf(kind)) {
        ProgramLog().Write(1, who + ": the record is not " + std::to_string(TextOf(kind)) +
                                  " characters long, nothing written");
        return 0;
    }
    if (client)
        Open_FileNewClient();
    else
        Open_FileNewProduct();
    if (!d.newFile.IsOpen()) {
        ProgramLog().Write(1, who + ": " + d.newFile.Error());
        return 0;
    }
    if (!NewFile_Verify() ||
        !Transaction_Append(d.newFile, d.gNewCount, TextOf(kind), record, HeaderForm::PaddedToWidth)) {
        ProgramLog().Write(1, who + ": the " + std::string(client ? "new-client" : "new-product") +
                                  " file could not be written, nothing saved");
        // The count as the file has it, whatever the failed write left past it.
        if (client)
            Open_FileNewClient();
        else
            Open_FileNewProduct();
        return 0;
    }
    return d.gNewCount;
}

bool ClientNumber_Taken(const std::string& number) {
    const std::string key = Trim(number);
    if (key.empty()) return false;
    return Client_Find(key).has_value();
}

bool ProductKey_Taken(const std::string& key) {
    const std::string k = Trim(key);
    if (k.empty()) return false;
    return Product_Find(k).has_value();
}

}  // namespace tarvo
