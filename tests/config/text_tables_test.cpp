#include "config/text_tables.h"

#include <gtest/gtest.h>

#include "common/cp1252.h"
#include "config/constants.h"
#include "config/settings.h"

namespace tarvo {
namespace {

class TextTablesTest : public ::testing::Test {
protected:
    void SetUp() override { FillTextTables(t); }
    // The table by number: these tests check the table's rows themselves.
    std::string En(int k) const { return MessageText(t, static_cast<Message>(k), 1); }
    std::string Fr(int k) const { return Cp1252ToUtf8(MessageText(t, static_cast<Message>(k), 2)); }
    TextTables t;
};

TEST_F(TextTablesTest, MessageCountsPerLanguage) {
    int en = 0, fr = 0, other = 0;
    for (int k = 0; k <= 300; ++k) {
        en += !t.MessageTable[k][1].empty();
        fr += !t.MessageTable[k][2].empty();
        other += !t.MessageTable[k][0].empty() + !t.MessageTable[k][3].empty();
    }
    EXPECT_EQ(en, 287);
    EXPECT_EQ(fr, 285);
    EXPECT_EQ(other, 0);
    for (int k = 1; k <= 287; ++k) EXPECT_FALSE(En(k).empty()) << k;
    for (int k = 1; k <= 282; ++k) EXPECT_FALSE(Fr(k).empty()) << k;
    EXPECT_EQ(Fr(283), "");
    EXPECT_EQ(Fr(284), "");
    for (int k = 285; k <= 287; ++k) EXPECT_FALSE(Fr(k).empty()) << k;
    for (int k : {0, 288, 300}) EXPECT_EQ(En(k) + Fr(k), "") << k;
}

TEST_F(TextTablesTest, MessagesKeepEveryBlankAndLineBreak) {
    struct Case {
        int k;
        const char* en;
        const char* fr;
    } cases[] = {
        {1, "Invalid Entry", "Entrée Invalide"},
        {8, "Discount %:  ", "Espt. $ Sur Total"},
        {71, "Welcome to", "Bienvenu "},
        {81, "Cashier:  ", "Commis:   "},
        {140, "Delete\r\nPayment", "Effacer\r\nPaiement"},
        {141, "Manual\r\nCreditCard", nullptr},
        {175, "     Thank You", "       Merci"},
        {93, "DEPOSIT TO SAFE", "     DEPOT"},
        {51, "Unable to Connect to Internet", "Incapable de Connecter à Internet "},
        {248, "PAID OUT", "PAID OUT"},
        {284, "Error: The Dial up configuration file does not exist.", ""},
        {283, "Printout Will Be Displayed Onscreen", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(En(c.k), c.en) << c.k;
        if (c.fr) {
            EXPECT_EQ(Fr(c.k), c.fr) << c.k;
        }
    }
}

TEST_F(TextTablesTest, FrenchFollowsTheEnglishLayout) {
    for (int k = 1; k <= 282; ++k) {
        const std::string& en = t.MessageTable[k][1];
        const std::string& fr = t.MessageTable[k][2];
        // a logged error is logged in both languages
        if (en.rfind("Error", 0) == 0) {
            EXPECT_EQ(fr.rfind("Erreu", 0), 0u) << k;
        }
        EXPECT_EQ(en.find("\r\n") != std::string::npos, fr.find("\r\n") != std::string::npos) << k;
    }
}

TEST_F(TextTablesTest, HeadingColumnsLineUp) {
    // (message, language, word, 0-based column) of the printed column headings
    struct Case {
        int k;
        int lang;
        const char* word;
        std::size_t col;
    } cases[] = {
        {100, 1, "In", 21},      {100, 1, "Out", 28},      {100, 1, "Total", 34},      {100, 2, "In", 21},
        {100, 2, "Out", 28},     {100, 2, "Total", 34},    {119, 1, "Description", 5}, {119, 1, "Quantity", 30},
        {119, 1, "Price", 40},   {119, 1, "Total", 49},    {119, 2, "Quantite", 30},   {119, 2, "Prix", 41},
        {119, 2, "Total", 50},   {129, 1, "NO.", 26},      {129, 1, "AMOUNT", 34},     {129, 2, "NO.", 27},
        {129, 2, "MONTANT", 34}, {166, 1, "Amount", 32},   {166, 2, "Montant", 34},    {209, 1, "Amount", 32},
        {209, 2, "Montant", 34}, {236, 1, "Quantity", 24}, {236, 1, "Price", 34},      {236, 2, "Quantite", 24},
        {236, 2, "Prix", 34},    {246, 1, "Quantity", 26}, {246, 2, "Quantite", 26},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MessageText(t, static_cast<Message>(c.k), c.lang).find(c.word), c.col) << c.k << " " << c.word;
    EXPECT_EQ(En(119).size(), 54u);
    EXPECT_EQ(En(100).size(), Fr(100).size());
}

TEST_F(TextTablesTest, SoftKeyCaptionsKeepTheirSeparators) {
    EXPECT_EQ(SoftKeyCaption(t, 1, 1, 1), "Change\r\nTerminal");
    EXPECT_EQ(SoftKeyCaption(t, 2, 1, 1), "Sales\rEntry");
    EXPECT_EQ(SoftKeyCaption(t, 2, 12, 2), Utf8ToCp1252("Quantité\r\nà Zéro"));
    EXPECT_EQ(SoftKeyCaption(t, 4, 1, 1), "Time /\rAttend.");
    EXPECT_EQ(SoftKeyCaption(t, 4, 3, 1), "X Report");
    // The deposit form's four keys carry the form's titles in both languages.
    EXPECT_EQ(SoftKeyCaption(t, 5, 9, 2), "Imprimer\r\nun Depot");
    EXPECT_EQ(SoftKeyCaption(t, 5, 9, 1), "Print a\r\nDeposit");
    // The web page keys take the store's labels from Tarvo.ini, not from here.
    for (int k : {18, 20})
        for (int l : {1, 2}) EXPECT_EQ(SoftKeyCaption(t, 5, k, l), "") << k << " " << l;
    // Keys with an operation and no caption in the tables got one of ours.
    EXPECT_EQ(SoftKeyCaption(t, 1, 6, 2), "Essai\r\nEn Ligne");
    EXPECT_EQ(SoftKeyCaption(t, 4, 5, 1), "Drawer\r\nReport");
    EXPECT_EQ(SoftKeyCaption(t, 4, 5, 2), "Rapport\r\nTiroir");
    EXPECT_EQ(SoftKeyCaption(t, 5, 22, 1), "-");
    EXPECT_EQ(SoftKeyCaption(t, 6, 9, 2), "Esc. 20%\r\nMarchand.");
    EXPECT_EQ(SoftKeyCaption(t, 2, 15, 2), Utf8ToCp1252("Inve0ntaire\rExcédent"));  // kept verbatim
    for (int k : {3, 4, 5, 6, 7}) EXPECT_FALSE(SoftKeyCaption(t, 3, k, 2).empty()) << k;
    for (int k : {1, 2, 8, 13, 24}) EXPECT_EQ(SoftKeyCaption(t, 3, k, 2), "") << k;
    int set = 0;
    for (int g = 0; g < 7; ++g)
        for (int k = 0; k < 25; ++k)
            for (int l = 0; l < 4; ++l) set += !t.SoftKeyCaptions[g][k][l].empty();
    // System, Mode, Extras, Print, Special, Sales; English + French.
    EXPECT_EQ(set, 12 + 12 + 14 + 14 + 5 + 5 + 18 + 18 + 17 + 17 + 13 + 13);
    // out of bounds reads as empty
    EXPECT_EQ(SoftKeyCaption(t, 7, 1, 1), "");
    EXPECT_EQ(SoftKeyCaption(t, 1, 25, 1), "");
    EXPECT_EQ(SoftKeyCaption(t, 1, 1, 4), "");
}

TEST_F(TextTablesTest, ModeMonthTitlePromptAndWidthTables) {
    EXPECT_EQ(ModeName(t, 11, 1), "Sales");
    EXPECT_EQ(ModeName(t, 16, 2), "Compte Physique");
    EXPECT_EQ(ModeName(t, 31, 1), "Change Price");
    EXPECT_EQ(ModeName(t, 7, 1), "");
    EXPECT_EQ(ModeName(t, 41, 1), "");
    EXPECT_EQ(MonthName(t, 8, 2), "Auo");
    EXPECT_EQ(MonthName(t, 12, 1), "Dec");
    EXPECT_EQ(MonthName(t, 0, 1), "");
    EXPECT_EQ(ListColumnTitle(t, 3, 5, 1), "Zip/Postal\nCode");
    EXPECT_EQ(ListColumnTitle(t, 2, 2, 1), "Number.");
    EXPECT_EQ(ListColumnTitle(t, 8, 8, 2), "Emplace.");
    EXPECT_EQ(EntryFieldPrompt(t, 5, 1, 1), "1 = Special Order\r2 = Layaway\r3 = Quotation\r4 = RMA    5 = Draft");
    EXPECT_EQ(EntryFieldPrompt(t, 6, 3, 2),
              Utf8ToCp1252("Format de date: AAAAMMJJ\rLa date à laquelle l'ordre devrait être livré"));
    EXPECT_EQ(EntryFieldPrompt(t, 7, 1, 1), "");
    struct W {
        int kind, field, width;
    } widths[] = {
        {1, 1, 8},   {1, 10, 150}, {1, 11, 8},  {1, 12, 0}, {2, 3, 45}, {2, 12, 20},
        {3, 7, 100}, {3, 8, 0},    {4, 9, 110}, {0, 1, 0},  {5, 1, 0},  {4, 21, 0},
    };
    for (const auto& w : widths) EXPECT_EQ(EntryFieldWidth(t, w.kind, w.field), w.width) << w.kind << "/" << w.field;
}

TEST(Constants, PathsAndServerAddresses) {
    Constants c;
    InitConstants(c, "/opt/app/", "1234567", {"ftp.example", "u", "p", "ftp2.example", "h1", "h2:8080"});
    EXPECT_EQ(c.paths.gFilesPath, "/opt/app/Files/1234567");
    EXPECT_EQ(c.paths.gDataPath, "/opt/app/Data/1234567");
    EXPECT_EQ(c.paths.gFilesPath + ".SET", "/opt/app/Files/1234567.SET");
    EXPECT_EQ(c.servers.gServerUrls[0], "http://tarvo:pelmorek@h1/ExternalRequest/Dispatcher.asp?");
    EXPECT_EQ(c.servers.gServerUrls[1], "http://tarvo:pelmorek@h2:8080/ExternalRequest/Dispatcher.asp?");
    EXPECT_EQ(c.servers.gServerSlot, 1);
    EXPECT_EQ(c.servers.RequestPrefix(), c.servers.gServerUrls[0]);
    c.servers.gServerSlot = 2;
    EXPECT_EQ(c.servers.RequestPrefix(), c.servers.gServerUrls[1]);
    EXPECT_EQ(c.servers.gFtpHostAlternate, "ftp2.example");
    EXPECT_EQ(MessageText(c.tables, Message::InvalidEntry, 1), "Invalid Entry");
}

TEST(Constants, ProgramFolderFromArgumentEnvironmentOrExecutable) {
    const char* withHome[] = {"tarvo", "--home", "/srv/store/"};
    EXPECT_EQ(ResolveProgramFolder(3, withHome), "/srv/store");
    const char* eq[] = {"tarvo", "--home=/a/b"};
    EXPECT_EQ(ResolveProgramFolder(2, eq), "/a/b");
    const char* none[] = {"tarvo"};
    ::setenv("TARVO_HOME", "/env/home", 1);
    EXPECT_EQ(ResolveProgramFolder(1, none), "/env/home");
    ::unsetenv("TARVO_HOME");
    std::string exeDir = ResolveProgramFolder(1, none);
    EXPECT_FALSE(exeDir.empty());
    EXPECT_NE(exeDir.back(), '/');
}

TEST(Constants, MessageLookupFollowsTheLanguageSetting) {
    FillTextTables(gConstants.tables);
    gSettings.gLanguage = 2;
    EXPECT_EQ(Cp1252ToUtf8(Msg(Message::InvalidEntry)), "Entrée Invalide");
    gSettings.gLanguage = 5;  // no such column: English
    EXPECT_EQ(Msg(Message::InvalidEntry), "Invalid Entry");
    gSettings.gLanguage = 1;
    EXPECT_EQ(Msg(Message::InvalidEntry), "Invalid Entry");
}

}  // namespace
}  // namespace tarvo
