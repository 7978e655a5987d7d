// New clients and new products saved from the entry form: their records byte
// for byte, the client numbers (proposed, typed, taken), what follows a save
// (message, printout, the client attached to the sale), the refusals, a
// failed write, and the count record of the files when it cannot be trusted.
#include "forms/new_entries.h"

#include <gtest/gtest.h>

#include "common/fields.h"
#include "data/transaction_files.h"
#include "file_size_limit.h"
#include "forms/entry_fixture.h"
#include "print/print_golden.h"
#include "print/printer_output.h"

namespace tarvo {
namespace {

// An entry record with its fields at their columns.
std::string Client(std::string_view number, std::string_view name, std::string_view templateId,
                   std::initializer_list<std::pair<std::size_t, std::string_view>> more = {}) {
    std::string r = FixedAt(498, {{1, "0"}, {3, number}, {11, name}, {478, templateId}});
    for (const auto& [column, text] : more) r.replace(column - 1, text.size(), text);
    return r;
}

std::string Header(int count, std::size_t text) {
    std::string h = std::to_string(count);
    h.resize(text, ' ');
    return h;
}

class NewEntriesTest : public EntryFormTest {
protected:
    std::string NwcOf(const std::vector<std::string>& entries) {
        std::string out = Framed(Header(static_cast<int>(entries.size()) + 1, 498), 500);
        for (const auto& e : entries) out += Framed(e, 500);
        return out;
    }
    // A client saved through the form with Save + Exit.
    void SaveClient(const std::string& number, const std::string& name, const std::string& templ = "1001") {
        EntryForm& f = Open(18);
        Type(1, number);
        Type(2, name);
        Type(11, templ);
        f.Button8_Click();
    }
};

TEST_F(NewEntriesTest, NewClientsAreSavedByteForByte) {
    struct Case {
        std::vector<std::pair<int, std::string>> typed;
        std::string record;
    } cases[] = {
        // Every field at its columns; the template row stores the template's id.
        {{{1, "77001"},
          {2, "Smith, O'Brien"},
          {3, "12 Main Street"},
          {4, "Springfield"},
          {5, "H0H 0H0"},
          {6, "555-0100"},
          {7, "555-0101"},
          {8, "smith@example.com"},
          {9, "Pat"},
          {10, "Pays cash"},
          {11, "2002"}},
         Client("77001", "Smith  O Brien", "CID00002",
                {{56, "12 Main Street"},
                 {146, "Springfield"},
                 {176, "H0H 0H0"},
                 {188, "555-0100"},
                 {218, "555-0101"},
                 {248, "smith@example.com"},
                 {298, "Pat"},
                 {328, "Pays cash"}})},
        // Widths cut what is longer; text is kept as typed, blanks and all.
        {{{1, " 77002"}, {2, std::string(50, 'n')}, {10, std::string(160, 'c')}, {11, " 1001 "}},
         Client(" 77002", std::string(45, 'n'), "CID00001", {{328, std::string(150, 'c')}})},
    };
    std::vector<std::string> saved;
    for (const Case& c : cases) {
        EntryForm& f = Open(18);
        for (const auto& [row, text] : c.typed) Type(row, text);
        f.Button8_Click();
        ASSERT_FALSE(f.IsLoaded()) << f.Message();
        saved.push_back(c.record);
        EXPECT_EQ(DataBytes(".NWC"), NwcOf(saved));
        EXPECT_EQ(gData.gNewCount, static_cast<std::int32_t>(saved.size()) + 1);
    }
    EXPECT_EQ(Screen().Text(kMessageLine), "New Client Saved Successfully 77002");
    EXPECT_TRUE(RegisterShown());
    // The sale's client stays the one it had, whatever the templates were.
    EXPECT_EQ(gData.gClientRecNo, 1);
    EXPECT_EQ(gData.gClientRec, gData.clients.Read(1));
    EXPECT_EQ(gSale.gClientNumber, "1001");
    EXPECT_TRUE(services.calls.empty());
}

TEST_F(NewEntriesTest, NewProductsAreSavedByteForByte) {
    gSettings.gLanguage = 2;
    EntryForm& f = Open(19);
    const char* typed[] = {"",  "NP-1", "0777", "Red \"Big\" pen", "SUP-9", "1.25", "2.50", "2.25",
                           "1", "5",    "10",   "Blue ink",        "P100"};
    for (int i = 1; i <= 12; ++i) Type(i, typed[i]);
    f.Button8_Click();
    ASSERT_FALSE(f.IsLoaded());
    const std::string record = FixedAt(298, {{1, "0"},
                                             {3, "NP-1"},
                                             {23, "0777"},
                                             {43, "Red  Big  pen"},
                                             {88, "SUP-9"},
                                             {108, "1.25"},
                                             {118, "2.50"},
                                             {128, "2.25"},
                                             {138, "1"},
                                             {148, "5"},
                                             {158, "10"},
                                             {168, "Blue ink"},
                                             {268, "PID00042"}});
    EXPECT_EQ(DataBytes(".NWP"), Framed(Header(2, 298), 300) + Framed(record, 300));
    EXPECT_EQ(Screen().Text(kMessageLine), "Nouveau Produit Sauv\xE9 Avec Succ\xE8s NP-1");

    // A product without a number is saved as long as its template is found.
    EntryForm& g = Open(19);
    Type(12, "P100");
    g.Button8_Click();
    EXPECT_FALSE(g.IsLoaded());
    EXPECT_EQ(gData.gNewCount, 3);
}

TEST_F(NewEntriesTest, ASaveIsRefusedWithoutNameTemplateOrNumber) {
    SaveClient("90001", "Known", "1001");  // a template known only as a new client: 90001
    ASSERT_EQ(gData.gNewCount, 2);
    struct Case {
        const char* number;
        const char* name;
        const char* templ;
    } cases[] = {
        {"90002", "", "1001"},       // no name
        {"90002", "   ", "1001"},    // a name of blanks
        {"90002", "Name", ""},       // no template
        {"90002", "Name", "9999"},   // a template nobody has
        {"90002", "Name", "90001"},  // a template of the new clients only
        {"", "Name", "1001"},        // numbers are typed: none typed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.number) + "/" + c.name + "/" + c.templ);
        SaveClient(c.number, c.name, c.templ);
        EXPECT_TRUE(Form().IsLoaded());
        EXPECT_EQ(Form().Message(), "");
        EXPECT_EQ(gData.gClientRecNo, 1);  // the sale's client is kept
        Form().Button9_Click();
        Form().Button9_Click();
    }
    Open_FileNewClient();
    EXPECT_EQ(gData.gNewCount, 2);

    // The product page needs its template.
    EntryForm& p = Open(19);
    Type(1, "NP-2");
    Type(12, "P999");
    p.Button8_Click();
    EXPECT_TRUE(p.IsLoaded());
    EXPECT_EQ(DataBytes(".NWP").size(), 0u);
}

TEST_F(NewEntriesTest, SaveAndAddToSaleAttachesTheNewClient) {
    EntryForm& f = Open(18);
    Type(1, "55501");
    Type(2, "Walk In");
    f.Button6_Click();
    ASSERT_FALSE(f.IsLoaded());
    EXPECT_EQ(gData.gNewClientRecNo, 2);
    // The new client is the sale's: its panel over the receipt and its name
    // on the message line.
    EXPECT_EQ(gSale.gClientNumber, "55501");
    EXPECT_EQ(gSale.gClientName, "Walk In");
    EXPECT_EQ(Screen().Text(ControlId{Control::Txt_All, 0}).substr(0, 17), "Client: Walk In\r\n");
    EXPECT_EQ(Screen().Text(kMessageLine), "Client Walk In");
}

TEST_F(NewEntriesTest, ARefusedSaveAndPrintDoesNotMakeTheNextSavePrintOrAttach) {
    gSettings.gPrinterType = PrinterType::Com1;
    print_golden::UseReadableCodes();
    EntryForm& f = Open(18);
    Type(1, "55502");
    f.Button7_Click();  // refused: no name
    f.Button6_Click();  // refused too
    EXPECT_TRUE(f.IsLoaded());
    Type(2, "Walk In");
    PrinterCapture cap;
    f.Button8_Click();
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(cap.bytes, "");
    EXPECT_EQ(gSale.gClientNumber, "1001");  // the sale's client stays
    EXPECT_TRUE(services.calls.empty());
}

TEST_F(NewEntriesTest, SaveAndPrintPrintsTheNewEntrysSheet) {
    gSettings.gPrinterType = PrinterType::Com1;
    print_golden::UseReadableCodes();
    {
        EntryForm& f = Open(18);
        Type(1, "55503");
        Type(2, "Printed Client");
        Type(3, "1 Print Road");
        PrinterCapture cap;
        f.Button7_Click();
        EXPECT_FALSE(f.IsLoaded());
        EXPECT_NE(cap.bytes.find("Printed Client"), std::string::npos) << cap.bytes;
        EXPECT_NE(cap.bytes.find("1 Print Road"), std::string::npos) << cap.bytes;
        EXPECT_NE(cap.bytes.find("Client: 55503"), std::string::npos) << cap.bytes;
    }
    {
        EntryForm& f = Open(19);
        Type(1, "NP-7");
        Type(3, "Printed Product");
        Type(12, "P100");
        PrinterCapture cap;
        f.Button7_Click();
        EXPECT_FALSE(f.IsLoaded());
        EXPECT_NE(cap.bytes.find("Printed Product"), std::string::npos) << cap.bytes;
        EXPECT_NE(cap.bytes.find("Product: NP-7"), std::string::npos) << cap.bytes;
    }
}

// ---- client numbers ------------------------------------------------------------------------

TEST_F(NewEntriesTest, TheProposedNumberComesFromTheDateAndTheTime) {
    struct Case {
        const char* date;
        int h, m, s;
        const char* number;
    } cases[] = {
        {"20261208", 14, 5, 9, "80350709"},
        {"20261208", 0, 0, 7, "80300007"},
        {"20261208", 23, 59, 59, "80386399"},
        {"20040101", 0, 0, 0, "01000000"},  // day 32: 10
    };
    for (const Case& c : cases) EXPECT_EQ(Number_Generate(c.date, c.h, c.m, c.s), c.number) << c.date;
}

TEST_F(NewEntriesTest, TheFormProposesAFreeNumberAndStartsOnTheName) {
    gSettings.gClientEntryOption = true;
    EntryForm& f = Open(18);
    EXPECT_EQ(f.RowText(1), "80350709");
    EXPECT_EQ(f.RowText(11), "1001");  // the sale's client is the default template
    EXPECT_EQ(f.Position(), 2);
    Type(2, "Auto One");
    f.Button8_Click();
    ASSERT_FALSE(f.IsLoaded());

    // Proposed again in the same second: the number is taken, the next is free.
    EntryForm& g = Open(18);
    EXPECT_EQ(g.RowText(1), "80350710");
    // Left empty, the box takes the next free number: no client without one.
    Type(1, "");
    Type(2, "Auto Two");
    g.Button8_Click();
    ASSERT_FALSE(g.IsLoaded());
    EXPECT_EQ(DataBytes(".NWC"),
              NwcOf({Client("80350709", "Auto One", "CID00001"), Client("80350710", "Auto Two", "CID00001")}));
}

TEST_F(NewEntriesTest, AProposedNumberTakenMeanwhileStepsToTheNextFree) {
    gSettings.gClientEntryOption = true;
    EntryForm& f = Open(18);
    ASSERT_EQ(f.RowText(1), "80350709");
    // Another entry takes it (and the next) before this one is saved.
    const std::vector<std::string> rows = {"80350709", "Other", "", "", "", "", "", "", "", "", "CID00001"};
    ASSERT_EQ(NewEntry_Append(NewEntryKind::Client, NewEntry_Record(NewEntryKind::Client, rows), "test"), 2);
    std::vector<std::string> next = rows;
    next[0] = "80350710";
    ASSERT_EQ(NewEntry_Append(NewEntryKind::Client, NewEntry_Record(NewEntryKind::Client, next), "test"), 3);
    Type(2, "Mine");
    f.Button8_Click();
    ASSERT_FALSE(f.IsLoaded()) << f.Message();
    gData.newFile.Close();
    Open_FileNewClient();
    EXPECT_EQ(gData.gNewCount, 4);
    EXPECT_EQ(gData.newFile.Read(4).substr(0, 18), "0 80350711Mine    ");
}

TEST_F(NewEntriesTest, ATypedNumberInUseKeepsTheFormOpenAndSaysSo) {
    SaveClient("61000", "First");
    for (const char* number : {"2002", "61000", " 61000 "}) {  // the client master, then the new clients
        SCOPED_TRACE(number);
        SaveClient(number, "Again");
        EXPECT_TRUE(Form().IsLoaded());
        EXPECT_EQ(Form().Message(), "Client number already in use: " + Trim(number));
        EXPECT_TRUE(Logged("Entry form: Client number already in use: " + Trim(number)));
        EXPECT_EQ(Form().RowText(2), "Again");
        Form().Button9_Click();
        Form().Button9_Click();
    }
    // Also when the program proposes numbers: a typed number is the cashier's.
    gSettings.gClientEntryOption = true;
    gSettings.gLanguage = 2;
    SaveClient("2002", "Typed");
    EXPECT_TRUE(Form().IsLoaded());
    EXPECT_EQ(Form().Message(), "No. de client deja utilise: 2002");
    EXPECT_EQ(Form().RowText(1), "2002");
    Open_FileNewClient();
    EXPECT_EQ(gData.gNewCount, 2);
}

// A new product under a key the register already sells by (a product of the
// file, or one entered here) could never be rung up: the form says so.
TEST_F(NewEntriesTest, ANewProductUnderAKeyOnFileKeepsTheFormOpenAndSaysSo) {
    struct Case {
        ProductKey keyMode;
        int row;
        const char* key;
        const char* templateKey;  // the template is named by the same key
        const char* message;
    } cases[] = {
        {ProductKey::Number, 1, "P100", "P100", "Product already on file: P100"},  // the template's own number
        {ProductKey::Number, 1, "NP-5", "P100", "Product already on file: NP-5"},  // entered here before
        {ProductKey::BarCode, 2, "0123456789012", "0123456789012",
         "Product already on file: 0123456789012"},  // by bar code
    };
    EntryForm& first = Open(19);
    Type(1, "NP-5");
    Type(12, "P100");
    first.Button8_Click();
    ASSERT_FALSE(first.IsLoaded());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        gSettings.gProductKeyMode = c.keyMode;
        EntryForm& f = Open(19);
        Type(c.row, c.key);
        Type(12, c.templateKey);
        f.Button8_Click();
        EXPECT_TRUE(f.IsLoaded());
        EXPECT_EQ(f.Message(), c.message);
        EXPECT_TRUE(Logged(std::string("Entry form: ") + c.message));
        f.Button9_Click();
        f.Button9_Click();
    }
    Open_FileNewProduct();
    EXPECT_EQ(gData.gNewCount, 2);
    // A new number is saved.
    gSettings.gProductKeyMode = ProductKey::Number;
    EntryForm& g = Open(19);
    Type(1, "NP-6");
    Type(12, "P100");
    g.Button8_Click();
    EXPECT_FALSE(g.IsLoaded());
}

// ---- the files -----------------------------------------------------------------------------

TEST_F(NewEntriesTest, AFailedWriteKeepsTheFormAndItsEntriesAndCountsNothing) {
    SaveClient("70001", "One");
    SaveClient("70002", "Two");
    const std::string before = DataBytes(".NWC");
    ASSERT_EQ(before.size(), 1500u);
    EntryForm& f = Open(18);
    Type(1, "70003");
    Type(2, "Three");
    {
        FileSizeLimit limit(1600);  // a full disk: record 4 does not fit
        f.Button8_Click();
    }
    EXPECT_TRUE(f.IsLoaded());
    EXPECT_EQ(f.Message(), "Error Saving New Client - Not Saved");
    EXPECT_TRUE(Logged("Client_Save: the new-client file could not be written, nothing saved"));
    EXPECT_EQ(DataBytes(".NWC").substr(0, 1500), before);
    EXPECT_EQ(f.RowText(11), "1001");  // as typed, not yet the template's id
    EXPECT_EQ(gData.gNewCount, 3);

    // Room again: the same entry saves as record 4.
    f.Button8_Click();
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(DataBytes(".NWC"), NwcOf({Client("70001", "One", "CID00001"), Client("70002", "Two", "CID00001"),
                                        Client("70003", "Three", "CID00001")}));
}

TEST_F(NewEntriesTest, ACountRecordThatFailsAfterTheEntryIsWrittenSavesNothing) {
    SaveClient("70001", "One");
    const std::string before = DataBytes(".NWC");
    EntryForm& f = Open(18);
    Type(1, "70002");
    Type(2, "Two");
    for (const char* failing : {"header", "sync"}) {
        SCOPED_TRACE(failing);
        // The entry is written and flushed; then the count record's write or
        // its flush fails.
        int seen = 0;
        DocumentCommit_SetWriteHook([&](const std::string& file, const std::string& step) {
            return !(file == ".NWC" && step == failing && seen++ == (std::string(failing) == "sync" ? 1 : 0));
        });
        f.Button8_Click();
        DocumentCommit_SetWriteHook(nullptr);
        EXPECT_TRUE(f.IsLoaded());
        EXPECT_EQ(f.Message(), "Error Saving New Client - Not Saved");
        EXPECT_EQ(DataBytes(".NWC"), before);
    }
    // Saved again: the entry once, as record 3.
    f.Button8_Click();
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(DataBytes(".NWC"), NwcOf({Client("70001", "One", "CID00001"), Client("70002", "Two", "CID00001")}));
}

TEST_F(NewEntriesTest, ACountRecordThatCannotBeTrustedIsRepairedFromTheEntries) {
    const std::string a = Client("1", "A", "CID00001"), b = Client("2", "B", "CID00001"),
                      c = Client("3", "C", "CID00001");
    struct Case {
        const char* header;
        std::vector<std::string> entries;  // records 2.. as found
        int next;                          // where the next entry goes
    } cases[] = {
        {"3", {a, b}, 4},
        {"9", {a, b}, 4},    // past the file's records (cut short): no gap of empty records
        {"abc", {a, b}, 4},  // no count: the entries are kept
        // no header at all: every file gets one before its first entry, so
        // this is damage and the entry is kept, not written over
        {"", {a}, 3},
        {"1", {a}, 2},  // an entry past the count was never committed
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.header);
        // A header never written reads as a record of length 0.
        std::string header = k.header;
        if (!header.empty()) header.resize(498, ' ');
        std::string file = Framed(header, 500);
        for (const auto& e : k.entries) file += Framed(e, 500);
        dir.Write("Data/1234567.NWC", file);
        gData.newFile.Close();
        const std::string rec = Client("4", "D", "CID00001");
        ASSERT_EQ(NewEntry_Append(NewEntryKind::Client, rec, "test"), k.next);
        gData.newFile.Close();
        Open_FileNewClient();
        EXPECT_EQ(gData.gNewCount, k.next);
        EXPECT_EQ(gData.newFile.Read(k.next), rec);
        for (int r = 2; r < k.next; ++r) EXPECT_EQ(gData.newFile.Read(r), k.entries[static_cast<std::size_t>(r - 2)]);
    }

    // At start-up a count record that holds no count is rebuilt from the
    // entries, none given up.
    dir.Write("Data/1234567.NWC", Framed("x", 500) + Framed(a, 500) + Framed(b, 500) + Framed(c, 500));
    Open_FileNew();
    Open_FileNewClient();
    EXPECT_EQ(gData.gNewCount, 4);
    EXPECT_TRUE(Logged("Open_FileNew: the header of .NWC holds no count; 3 entries counted from the file"));
}

}  // namespace
}  // namespace tarvo
