// A register with the entry form on a terminal folder of its own: a
// recording view, the services the form calls recorded, a client master
// (clients 1001 and 2002) and a product master (P100) to take templates from.
#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "forms/entry_form.h"
#include "forms/new_entries.h"
#include "platform/files.h"
#include "register/register_fixture.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {

// The window as the form left it.
class RecordingEntryView : public EntryView {
public:
    void Entry_Show(EntryForm& f) override {
        form = &f;
        shown = true;
        ++shows;
    }
    void Entry_Update(const EntryForm&) override { ++updates; }
    void Entry_Hide() override { shown = false; }

    EntryForm* form = nullptr;
    bool shown = false;
    int shows = 0;
    int updates = 0;
};

// What the form asks of the inventory.
class EntryServices : public RegisterServices {
public:
    void Vendor_ShowInformation() override { calls.push_back("Vendor_ShowInformation"); }
    void Purchase_Cancel() override { calls.push_back("Purchase_Cancel"); }
    std::vector<std::string> calls;
};

inline std::string FixedAt(std::size_t length, std::initializer_list<std::pair<std::size_t, std::string_view>> fields) {
    std::string line(length, ' ');
    for (const auto& [column, text] : fields) line.replace(column - 1, text.size(), text);
    return line;
}

// A work-file record as stored: 2-byte length, the text, blanks to the record.
inline std::string Framed(std::string_view text, std::size_t recordLength) {
    std::string r(2, '\0');
    r[0] = static_cast<char>(text.size() & 0xFF);
    r[1] = static_cast<char>(text.size() >> 8);
    r += text;
    r.resize(recordLength, ' ');
    return r;
}

inline std::string Crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

// The masters the entries take their templates from, written to the
// terminal's Files/ and loaded: clients 1001 (id CID00001) and 2002
// (CID00002), product P100 (PID00042).
inline void TemplateMasters_Load() {
    std::ofstream(gConstants.paths.gFilesPath + ".CLI", std::ios::binary)
        << Crlf({FixedAt(210, {{1, "CID00001"}, {12, "1001"}, {20, "First Client"}}),
                 FixedAt(210, {{1, "CID00002"}, {12, "2002"}, {20, "Second Client"}})});
    std::ofstream(gConstants.paths.gFilesPath + ".PRD", std::ios::binary)
        << Crlf({FixedAt(273, {{1, "PID00042"}, {12, "P100"}, {40, "0123456789012"}, {60, "Template"}})});
    Parse_FileClient();
    Parse_FileProduct();
}

// An entry typed on page `page` (18 new client, 19 new product) and saved
// with Save + Exit in a form of its own; true when the save closed it.
inline bool Entry_SaveThroughForm(int page, const std::vector<std::pair<int, std::string>>& typed) {
    RecordingEntryView view;
    EntryForm_SetView(&view);
    gSale.gSearchKind = static_cast<std::int16_t>(page);
    bool saved = false;
    if (EntryForm_Open()) {
        EntryForm& f = *EntryForm_Current();
        for (const auto& [row, text] : typed) f.Row_Changed(row, text);
        f.Button8_Click();
        saved = !f.IsLoaded();
    }
    EntryForm_SetView(nullptr);
    return saved;
}

class EntryFormTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        Reg().services = &services;
        EntryForm_SetView(&view);
        clock.Set(LocalTime{2026, 12, 8, 14, 5, 9});
        gReg.gBusinessDate = "20261208";
        gSettings.gClientEntryOption = false;
        TemplateMasters_Load();
        // The sale has client 1001 attached.
        gSale.gClientNumber = "1001";
        gData.gClientRecNo = 1;
        gData.gClientRec = gData.clients.Read(1);
        Screen().SetVisible(kRegisterForm, true);
    }
    void TearDown() override {
        EntryForm_SetView(nullptr);
        Data_Reset(gData);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }

    EntryForm& Open(int page) {
        gSale.gSearchKind = static_cast<std::int16_t>(page);
        EXPECT_TRUE(EntryForm_Open());
        return *EntryForm_Current();
    }
    EntryForm& Form() { return *EntryForm_Current(); }
    void Type(int row, const std::string& text) { Form().Row_Changed(row, text); }
    bool Key(int code, int shift = 0) { return Form().Form_KeyDown(code, shift); }
    bool RegisterShown() { return Screen().Visible(kRegisterForm); }

    // The bytes of a working file of the terminal ("" when missing).
    std::string DataBytes(const char* ext) {
        const std::string path = gConstants.paths.gDataPath + ext;
        return FileExists(path) ? dir.Read(std::string("Data/1234567") + ext) : std::string();
    }
    // Event lines of the log, without their date and time.
    std::vector<std::string> LogLines() {
        std::vector<std::string> out;
        std::string all = dir.Read("Files/1234567.LOG");
        std::size_t start = 0;
        while (start < all.size()) {
            std::size_t end = all.find("\r\n", start);
            if (end == std::string::npos) end = all.size();
            std::string l = all.substr(start, end - start);
            if (l.size() >= 20) l = l.substr(20);
            l.erase(l.find_last_not_of(' ') + 1);
            out.push_back(l);
            start = end + 2;
        }
        return out;
    }
    bool Logged(const std::string& text) {
        for (const std::string& l : LogLines())
            if (l.find(text) != std::string::npos) return true;
        return false;
    }

    TestDir dir;
    RecordingEntryView view;
    EntryServices services;
};

}  // namespace tarvo
