// The dial-up set-up windows offscreen: both windows in both languages show
// the form's captions and every text fits its control; choosing, Connect,
// New, typing and OK reach the form, which dials through the configured
// command and keeps the new entry in Dial.Set; the close boxes go back or
// end, as Exit does.
#include "ui/dial_setup_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QStyleOptionComboBox>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/log.h"
#include "test_dir.h"
#include "test_net.h"
#include "ui/startup_window.h"
#include "ui/text_fit.h"

namespace tarvo::ui {
namespace {

class DialSetupWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillTextTables(tables);
        std::filesystem::create_directories(dir / "Files");
        dir.Write("dial.sh", "printf '%s\\n' \"$1\" >> " + (dir / "dialled") + "\n");
        MessageBoxesShown().clear();
    }
    void TearDown() override {
        runner.RunUntilIdle(5000);
        form.reset();
        windows.reset();
    }
    void Open(int language, bool withCommand = true) {
        form.reset();
        windows = std::make_unique<DialSetupWindows>([this] { ++ended; });
        DialSetupSetup s;
        s.programFolder = dir.Path();
        if (withCommand) s.commands = {"/bin/sh " + (dir / "dial.sh") + " {entry}", "", 5000};
        s.internet.url = internet.Url();
        s.runner = &runner;
        s.tables = &tables;
        s.language = language;
        form = std::make_unique<DialSetupForm>(*windows, s);
        windows->SetForm(form.get());
        form->Load();
        QApplication::processEvents();
    }
    // The texts of the window shown that do not fit their controls.
    std::vector<std::string> Overflowing() {
        std::vector<std::string> out;
        int checked = 0;
        for (QWidget* w : windows->TextControls()) {
            if (!w->isVisible()) continue;
            const std::optional<TextRoom> room = TextRoomOf(w);
            const QString text = TextOf(w);
            if (!room || text.isEmpty()) continue;
            ++checked;
            if (!TextFits(w->font(), text, *room)) out.push_back(text.toStdString());
        }
        QComboBox* list = windows->CboDevices();
        if (list->isVisible()) {
            ++checked;
            QStyleOptionComboBox opt;
            opt.initFrom(list);
            const QRect field =
                list->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, list);
            const QString text = list->currentIndex() < 0 ? list->placeholderText() : list->currentText();
            if (QFontMetrics(list->font()).horizontalAdvance(text) > field.width()) out.push_back(text.toStdString());
        }
        EXPECT_GE(checked, 4);
        return out;
    }

    TestDir dir;
    TextTables tables;
    ManualRunner runner;
    LocalHttpServer internet{200};
    std::unique_ptr<DialSetupWindows> windows;
    std::unique_ptr<DialSetupForm> form;
    int ended = 0;
};

TEST_F(DialSetupWindowTest, BothWindowsFitInBothLanguages) {
    for (int language : {1, 2}) {
        for (bool withEntry : {false, true}) {
            for (bool withCommand : {true, false}) {
                SCOPED_TRACE("language " + std::to_string(language) + (withEntry ? " with" : " without") + " an entry" +
                             (withCommand ? "" : ", no dial command"));
                std::filesystem::remove(dir / "Files/Dial.Set");
                if (withEntry) dir.Write("Files/Dial.Set", "Ligne de la boutique principale\r\nu\r\np\r\n");
                Open(language, withCommand);
                const DialSetupCaptions& c = DialSetup_Captions(language);
                ASSERT_TRUE(windows->FrmDialUp()->isVisible());
                EXPECT_FALSE(windows->FrmNewDialUp()->isVisible());
                EXPECT_EQ(windows->FrmDialUp()->windowTitle().toStdString(), c.title);
                EXPECT_EQ(windows->BtnConnect()->text().toStdString(), c.connect);
                EXPECT_EQ(windows->BtnConnect()->isEnabled(), withEntry && withCommand);
                EXPECT_EQ(windows->CboDevices()->placeholderText().toStdString(),
                          withEntry ? c.selectConnection : c.createConnection);
                EXPECT_EQ(windows->LblMessage()->text().toStdString(), withCommand ? c.prompt : c.noDialCommand);
                EXPECT_EQ(Overflowing(), std::vector<std::string>{});
                if (withEntry) {
                    windows->CboDevices()->setCurrentIndex(0);  // the longest name chosen
                    QApplication::processEvents();
                    EXPECT_EQ(Overflowing(), std::vector<std::string>{});
                }
                QTest::mouseClick(windows->BtnNew(), Qt::LeftButton);
                QApplication::processEvents();
                EXPECT_FALSE(windows->FrmDialUp()->isVisible());
                ASSERT_TRUE(windows->FrmNewDialUp()->isVisible());
                EXPECT_EQ(windows->FrmNewDialUp()->windowTitle().toStdString(), c.newTitle);
                EXPECT_EQ(Overflowing(), std::vector<std::string>{});
                windows->FrmNewDialUp()->close();  // its close box: back, nothing kept
                QApplication::processEvents();
                EXPECT_TRUE(windows->FrmDialUp()->isVisible());
            }
        }
    }
    EXPECT_EQ(ended, 0);
    // A missing dial command was said in a box each time, and nothing ended.
    EXPECT_EQ(MessageBoxesShown().count(DialSetup_Captions(1).cannotContinue.c_str()), 2);
}

TEST_F(DialSetupWindowTest, AnEntryMadeChosenAndDialledThroughTheWindows) {
    Open(1);
    EXPECT_FALSE(windows->BtnConnect()->isEnabled());
    QTest::mouseClick(windows->BtnNew(), Qt::LeftButton);
    QTest::keyClicks(windows->DialUpName(), "Shop Line");
    QTest::keyClicks(windows->Username(), "shop12");
    QTest::keyClicks(windows->Password(), "s3cr3t pw");
    EXPECT_EQ(windows->Password()->displayText().toStdString().find("s3cr3t"), std::string::npos);
    QTest::mouseClick(windows->BtnOk(), Qt::LeftButton);
    EXPECT_EQ(dir.Read("Files/Dial.Set"), "Shop Line\r\nshop12\r\ns3cr3t pw\r\n");
    EXPECT_TRUE(MessageBoxesShown().contains("Shop Line"));
    EXPECT_TRUE(windows->FrmDialUp()->isVisible());
    EXPECT_FALSE(windows->FrmNewDialUp()->isVisible());
    ASSERT_EQ(windows->CboDevices()->count(), 1);
    EXPECT_EQ(windows->CboDevices()->itemText(0).toStdString(), "Shop Line");

    windows->CboDevices()->setCurrentIndex(0);
    QTest::mouseClick(windows->BtnConnect(), Qt::LeftButton);
    EXPECT_EQ(windows->LblMessage()->text().toStdString(), "Establishing a Connection to the Internet");
    EXPECT_FALSE(windows->BtnConnect()->isEnabled());
    EXPECT_FALSE(windows->BtnExit()->isEnabled());
    windows->FrmDialUp()->close();  // refused while the dial runs
    EXPECT_EQ(ended, 0);
    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_EQ(windows->LblMessage()->text().toStdString(), "Connection Test Successful");
    EXPECT_EQ(dir.Read("dialled"), "Shop Line\n");
    EXPECT_TRUE(windows->BtnExit()->isEnabled());

    // A new entry starts empty: nothing of the last one's password is kept.
    QTest::mouseClick(windows->BtnNew(), Qt::LeftButton);
    EXPECT_TRUE(windows->Password()->text().isEmpty());
    EXPECT_TRUE(windows->DialUpName()->text().isEmpty());
    windows->FrmNewDialUp()->close();

    windows->FrmDialUp()->close();  // the close box is Exit
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(windows->FrmDialUp()->isVisible());
}

}  // namespace
}  // namespace tarvo::ui
