// The dial-up phonebook (Files/Dial.Set) and the two set-up windows behind a
// recording view: what the IT person sees in each window, the file as kept
// on disk, and a dial through the configured command on the background
// runner with the buttons locked meanwhile.
#include "transfer/dial_setup.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/line_reader.h"
#include "data/log.h"
#include "test_dir.h"
#include "test_net.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

TEST(DialPhonebook, ANewEntryReplacesDialSetWholeAndPrivate) {
    TestDir dir;
    dir.Write("Files/DIAL.SET", "Old Line\r\nold user\r\nold secret\r\n");
    fs::permissions(dir / "Files/DIAL.SET", fs::perms(0644));
    DialPhonebook book(dir.Path(), DialCommands{"nmcli connection up {entry}", "", 1000});
    EXPECT_EQ(book.DUN_Services(), std::vector<std::string>{"Old Line"});
    ASSERT_EQ(book.Entry_Create("Shop Line 2", "shop 12", "p@ss word"), DialPhonebook::Created::Yes);
    // The file of whatever case is replaced, not joined by a second one.
    EXPECT_EQ(dir.Read("Files/DIAL.SET"), "Shop Line 2\r\nshop 12\r\np@ss word\r\n");
    EXPECT_EQ(ModeOf(dir / "Files/DIAL.SET"), 0600u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "Files"), fs::directory_iterator()), 1);
    // The register reads it back as written.
    DialValues v;
    ASSERT_EQ(ReadDialSettings(dir.Path(), v), 1);
    EXPECT_EQ(v.entry, "Shop Line 2");
    EXPECT_EQ(v.user, "shop 12");
    EXPECT_EQ(v.password, "p@ss word");
    // An empty user name and password stay three lines.
    ASSERT_EQ(book.Entry_Create("Line", "", ""), DialPhonebook::Created::Yes);
    ASSERT_EQ(ReadDialSettings(dir.Path(), v), 1);
    EXPECT_EQ(v.entry, "Line");
    EXPECT_EQ(v.password, "");
}

TEST(DialPhonebook, EntriesThatWouldNotReadBackAreRefusedAndTheOldOneKept) {
    TestDir dir;
    const std::string kept = "Old Line\r\nold user\r\nold secret\r\n";
    dir.Write("Files/Dial.Set", kept);
    DialPhonebook book(dir.Path(), DialCommands{});
    struct Case {
        std::string name, user, password;
        DialPhonebook::Created result;
    } cases[] = {
        {"", "u", "p", DialPhonebook::Created::NoName},
        {"  ", "u", "p", DialPhonebook::Created::NoName},
        {"Two\r\nLines", "u", "p", DialPhonebook::Created::Unfit},
        {"Line", "u\n", "p", DialPhonebook::Created::Unfit},
        {"Line", "u", std::string("p\0q", 3), DialPhonebook::Created::Unfit},
        {"Line", "u", std::string(257, 'x'), DialPhonebook::Created::Unfit},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_EQ(book.Entry_Create(c.name, c.user, c.password, &why), c.result) << c.name;
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(dir.Read("Files/Dial.Set"), kept) << c.name;
    }
}

TEST(DialPhonebook, AnEntryIsUsableWhenReadableAndADialCommandIsConfigured) {
    struct Case {
        const char* name;
        const char* file;  // nullptr: none
        const char* command;
        bool usable;
    } cases[] = {
        {"entry and command", "Line\r\nu\r\np\r\n", "dial {entry}", true},
        {"no command", "Line\r\nu\r\np\r\n", "", false},
        {"no file", nullptr, "dial {entry}", false},
        {"two lines only", "Line\r\nu\r\n", "dial {entry}", false},
    };
    for (const auto& c : cases) {
        TestDir dir;
        fs::create_directories(dir / "Files");
        if (c.file) dir.Write("Files/Dial.Set", c.file);
        DialPhonebook book(dir.Path(), DialCommands{c.command, "", 1000});
        EXPECT_EQ(book.DoRASDial(), c.usable) << c.name;
        EXPECT_EQ(book.Connected_OK(), c.usable) << c.name;
        if (c.usable) {
            EXPECT_EQ(book.Values().password, "p") << c.name;
        }
    }
}

TEST(DialPhonebook, ADialSetOthersCanReadIsMadePrivateWhenRead) {
    TestDir dir;
    ASSERT_TRUE(Log_Open(dir / "test.LOG"));
    dir.Write("Files/Dial.Set", "Line\r\nu\r\nsecret\r\n");
    fs::permissions(dir / "Files/Dial.Set", fs::perms(0644));
    DialValues v;
    ASSERT_EQ(ReadDialSettings(dir.Path(), v), 1);
    EXPECT_EQ(ModeOf(dir / "Files/Dial.Set"), 0600u);
    EXPECT_NE(dir.Read("test.LOG").find("could be read by other users; now by its owner only"), std::string::npos);
    ProgramLog().Close();
}

TEST(DialSetupLanguage, TheRegistersLanguageFromItsSettingsFileLeftAsItWas) {
    struct Case {
        const char* name;
        const char* settings;  // nullptr: none
        const char* terminal;
        int language;
    } cases[] = {
        {"French", "1 0\r\n200 2\r\n300 1\r\n", "1234567", 2},
        {"English", "200 1\r\n", "1234567", 1},
        {"no language line", "1 0\r\n", "1234567", 1},
        {"no settings file", nullptr, "1234567", 1},
        {"no terminal number", "200 2\r\n", "", 1},
    };
    for (const auto& c : cases) {
        TestDir dir;
        fs::create_directories(dir / "Files");
        if (c.settings) dir.Write("Files/1234567.SET", c.settings);
        EXPECT_EQ(DialSetup_Language(dir.Path(), c.terminal), c.language) << c.name;
        if (c.settings) {
            EXPECT_EQ(dir.Read("Files/1234567.SET"), c.settings) << c.name;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(dir / "Files"), fs::directory_iterator()), c.settings ? 1 : 0)
            << c.name;
    }
}

// What the two windows show, as the recording view last drew it.
struct RecordingDialView : DialSetupView {
    void DialSetup_Update(const DialSetupForm& f) override {
        window = f.Window();
        listText = f.ListText();
        entries = f.Entries();
        message = f.Message();
        connect = f.ConnectEnabled();
        newEntry = f.NewEnabled();
        exit = f.ExitEnabled();
    }
    void DialSetup_Box(const std::string& title, const std::string& text) override {
        boxes.push_back(title + ": " + text);
    }
    void DialSetup_End() override { ended = true; }

    DialSetupForm::Shown window = DialSetupForm::Shown::None;
    std::string listText, message;
    std::vector<std::string> entries;
    bool connect = false, newEntry = false, exit = false, ended = false;
    std::vector<std::string> boxes;
};

class DialSetupFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillTextTables(tables);
        fs::create_directories(dir / "Files");
        ASSERT_TRUE(Log_Open(dir / "Files/1234567.LOG"));
        dir.Write("dial.sh", "printf '%s|' \"$@\" >> " + (dir / "dialled") + "; echo >> " + (dir / "dialled") + "\n");
    }
    void TearDown() override {
        runner.RunUntilIdle(5000);
        ProgramLog().Close();
    }
    DialSetupForm& Form(bool withCommand = true, int language = 1) {
        DialSetupSetup s;
        s.programFolder = dir.Path();
        if (withCommand) s.commands = {"/bin/sh " + (dir / "dial.sh") + " {entry} {passwordfile}", "", 5000};
        s.commands.passwordFolder = dir / "Files";
        s.internet.url = internet.Url();
        s.internet.connectTimeoutMs = 1000;
        s.internet.totalTimeoutMs = 2000;
        s.runner = &runner;
        s.tables = &tables;
        s.language = language;
        form = std::make_unique<DialSetupForm>(view, s);
        return *form;
    }

    TestDir dir;
    TextTables tables;
    ManualRunner runner;
    int status = 200;
    LocalHttpServer internet{[this] { return status; }};
    RecordingDialView view;
    std::unique_ptr<DialSetupForm> form;
};

TEST_F(DialSetupFormTest, TheEntryIsListedChosenAndDialledWithTheButtonsLocked) {
    dir.Write("Files/Dial.Set", "Shop Line\r\nshop12\r\nsecret\r\n");
    DialSetupForm& f = Form();
    f.Load();
    EXPECT_EQ(view.window, DialSetupForm::Shown::DialUp);
    EXPECT_EQ(view.entries, std::vector<std::string>{"Shop Line"});
    EXPECT_EQ(view.listText, "Please select connection");
    EXPECT_EQ(view.message, "Please select a connection or create a new one.");
    EXPECT_TRUE(view.boxes.empty());

    f.Connect_Click();  // nothing chosen yet
    EXPECT_EQ(view.message, "Please select connection");
    EXPECT_FALSE(fs::exists(dir / "dialled"));

    f.Entry_Chosen(0);
    EXPECT_EQ(view.listText, "Shop Line");
    f.Connect_Click();
    EXPECT_EQ(view.message, "Establishing a Connection to the Internet");
    EXPECT_FALSE(view.connect);
    EXPECT_FALSE(view.newEntry);
    EXPECT_FALSE(view.exit);
    f.Exit_Click();  // refused while the dial runs
    EXPECT_FALSE(view.ended);
    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_EQ(view.message, "Connection Test Successful");
    EXPECT_TRUE(view.connect);
    EXPECT_TRUE(view.exit);
    const std::string dialled = dir.Read("dialled");
    EXPECT_EQ(dialled.rfind("Shop Line|" + dir / "Files/tarvo-dial-pw.", 0), 0u) << dialled;
    const std::string log = dir.Read("Files/1234567.LOG");
    EXPECT_NE(log.find("Dial-up set-up: Shop Line dialled, the Internet answers"), std::string::npos) << log;
    EXPECT_EQ(log.find("secret"), std::string::npos) << log;

    status = 503;  // the line does not come up: four tries, then the failure
    f.Connect_Click();
    ASSERT_TRUE(runner.RunUntilIdle(20000));
    EXPECT_EQ(view.message, "Unable to Dial Out to Internet");
    EXPECT_EQ(SplitLines(dir.Read("dialled")).size(), 5u);

    f.Exit_Click();
    EXPECT_TRUE(view.ended);
    EXPECT_EQ(view.window, DialSetupForm::Shown::None);
}

TEST_F(DialSetupFormTest, ANewEntryIsSavedAndListedInPlaceOfTheOld) {
    DialSetupForm& f = Form(true, 2);
    f.Load();
    EXPECT_TRUE(view.entries.empty());
    EXPECT_EQ(view.listText, "Veuillez créer une nouvelle connexion");
    EXPECT_FALSE(view.connect);

    f.New_Click();
    EXPECT_EQ(view.window, DialSetupForm::Shown::NewDialUp);
    f.Ok_Click(" ", "u", "p");
    EXPECT_EQ(view.boxes,
              std::vector<std::string>{"Nouvelle connexion commutée: Veuillez taper le nom de la connexion."});
    EXPECT_EQ(view.window, DialSetupForm::Shown::NewDialUp);  // still there to be corrected
    EXPECT_FALSE(fs::exists(dir / "Files/Dial.Set"));

    view.boxes.clear();
    f.Ok_Click("Ligne Boutique", "shop12", "s3cr3t");
    EXPECT_EQ(view.boxes, std::vector<std::string>{"Connexion enregistrée: Ligne Boutique"});
    EXPECT_EQ(view.window, DialSetupForm::Shown::DialUp);
    EXPECT_EQ(view.entries, std::vector<std::string>{"Ligne Boutique"});
    EXPECT_EQ(view.listText, "Veuillez choisir une connexion");
    EXPECT_TRUE(view.connect);
    EXPECT_EQ(dir.Read("Files/Dial.Set"), "Ligne Boutique\r\nshop12\r\ns3cr3t\r\n");
    EXPECT_EQ(ModeOf(dir / "Files/Dial.Set"), 0600u);
    EXPECT_EQ(dir.Read("Files/1234567.LOG").find("s3cr3t"), std::string::npos);

    // Cancel keeps nothing of what was typed.
    f.New_Click();
    f.NewCancel_Click();
    EXPECT_EQ(view.window, DialSetupForm::Shown::DialUp);
    EXPECT_EQ(dir.Read("Files/Dial.Set"), "Ligne Boutique\r\nshop12\r\ns3cr3t\r\n");
}

TEST_F(DialSetupFormTest, AnEntryThatCannotBeWrittenKeepsTheOldOneAndSaysSo) {
    const std::string old = "Shop Line\r\nshop12\r\nsecret\r\n";
    dir.Write("Files/Dial.Set", old);
    fs::create_directories(dir / "Files/Dial.Set.tmp");  // the temporary's name is taken
    DialSetupForm& f = Form();
    f.Load();
    f.New_Click();
    f.Ok_Click("New Line", "new user", "new secret");
    EXPECT_EQ(view.boxes, std::vector<std::string>{"New Dial-Up Connection: The connection could not be saved. See the "
                                                   "log."});
    EXPECT_EQ(view.window, DialSetupForm::Shown::NewDialUp);
    EXPECT_EQ(dir.Read("Files/Dial.Set"), old);
    const std::string log = dir.Read("Files/1234567.LOG");
    EXPECT_NE(log.find("Dial-up set-up: Dial.Set cannot be written: cannot create"), std::string::npos) << log;
    EXPECT_EQ(log.find("new secret"), std::string::npos) << log;
}

TEST_F(DialSetupFormTest, WithoutADialCommandTheWindowSaysSoAndGoesOn) {
    dir.Write("Files/Dial.Set", "Shop Line\r\nshop12\r\nsecret\r\n");
    DialSetupForm& f = Form(false);
    f.Load();
    EXPECT_EQ(view.boxes, std::vector<std::string>{"Cannot Continue: You need to have Dial-Up Network installed on "
                                                   "your machined to run this program"});
    EXPECT_FALSE(view.ended);  // only Exit ends the program
    EXPECT_EQ(view.window, DialSetupForm::Shown::DialUp);
    EXPECT_EQ(view.message, "No dial command is configured (DialCommand in Tarvo.ini).");
    EXPECT_FALSE(view.connect);
    EXPECT_TRUE(view.newEntry);
    f.Entry_Chosen(0);
    f.Connect_Click();
    EXPECT_EQ(runner.Pending(), 0);
    EXPECT_NE(dir.Read("Files/1234567.LOG").find("Dial-up set-up: no dial command is configured"), std::string::npos);
    // An entry can still be made for later.
    f.New_Click();
    f.Ok_Click("Later Line", "u", "p");
    EXPECT_EQ(dir.Read("Files/Dial.Set"), "Later Line\r\nu\r\np\r\n");
}

TEST_F(DialSetupFormTest, AnEntryGoneSinceTheListWasReadIsNotDialled) {
    dir.Write("Files/Dial.Set", "Shop Line\r\nshop12\r\nsecret\r\n");
    DialSetupForm& f = Form();
    f.Load();
    f.Entry_Chosen(0);
    fs::remove(dir / "Files/Dial.Set");
    f.Connect_Click();
    EXPECT_EQ(runner.Pending(), 0);
    EXPECT_FALSE(fs::exists(dir / "dialled"));
    EXPECT_EQ(view.message, "Unable to Dial Out to Internet");
    EXPECT_TRUE(view.entries.empty());
    EXPECT_EQ(view.listText, "Please create a new connection");
}

}  // namespace
}  // namespace tarvo
