// The deposit window offscreen: each mode in both languages shows the form's
// captions, every text fits its control at the screen sizes of the tills,
// and typing, Enter and the buttons reach the form, which saves through the
// back office with the buttons locked meanwhile.
#include "ui/deposit_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <string>
#include <utility>
#include <vector>

#include "data/data_state.h"
#include "data/log.h"
#include "online/deposit_office.h"
#include "platform/background_runner.h"
#include "register/register_fixture.h"
#include "screen/controls.h"
#include "screen/register_state.h"
#include "test_dir.h"
#include "ui/qt_text.h"
#include "ui/text_fit.h"

namespace tarvo::ui {
namespace {

class DepositWindowTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        gTerminalNumber = "1234567";
        gSettings.gSiteId = "12";
        gConstants.servers.gServerSlot = 1;
        office.stub.UseAsSlot(1);
        office.Healthy();
        gData.CategoryTable = {{}, {"1", "10010 Licences and Permits of the County"}, {"2", "20020 Fines"}};
        gData.gCategoryCount = 2;
        gData.CashierTable = {{}, {"42", "1111", "Dana", 1}};
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
        screen.SetVisible(kRegisterForm, true);
        DepositFormSetup s;
        s.runner = &runner;
        s.clock = &clock;
        s.sender = [] { return Deposit_BackOfficeSender(3000); };
        s.printTicket = [this](const DepositTicketData& t) {
            printed.push_back(t.number);
            return true;
        };
        window = std::make_unique<DepositWindow>();
        form = std::make_unique<DepositForm>(*window, s);
    }
    void TearDown() override {
        runner.RunUntilIdle(5000);
        form.reset();
        window.reset();
        Data_Reset(gData);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }
    std::vector<std::string> Overflowing() {
        std::vector<std::string> out;
        int checked = 0;
        for (QWidget* w : window->TextControls()) {
            if (!w->isVisibleTo(window.get())) continue;
            const std::optional<TextRoom> room = TextRoomOf(w);
            const QString text = TextOf(w);
            if (!room || text.isEmpty()) continue;
            ++checked;
            bool fits = TextFits(w->font(), text, *room);
            if (!room->wraps) {
                const QFontMetrics fm(w->font());
                fits = fits && fm.horizontalAdvance(text) <= room->rect.width() && fm.height() <= room->rect.height();
            }
            if (!fits) out.push_back(text.toStdString());
        }
        EXPECT_GE(checked, 6);  // the title, captions, message and buttons were measured
        return out;
    }

    TestDir dir;
    DepositOffice office;
    ManualRunner runner;
    std::vector<std::string> printed;
    std::unique_ptr<DepositWindow> window;
    std::unique_ptr<DepositForm> form;
};

TEST_F(DepositWindowTest, EveryModeFitsInBothLanguagesAtEveryScreenSize) {
    const QSize screens[] = {{800, 600}, {1024, 768}, {1920, 1080}};
    for (int language : {1, 2}) {
        gSettings.gLanguage = static_cast<std::int16_t>(language);
        for (int mode = 1; mode <= 4; ++mode) {
            form->Load(mode);
            ASSERT_TRUE(window->isVisible());
            EXPECT_FALSE(screen.Visible(kRegisterForm));
            EXPECT_EQ(window->Lbl_Title()->text().toStdString(), Deposit_ModeCaptions(mode, language).title);
            EXPECT_EQ(window->Cmd_Save()->text().toStdString(), Deposit_ModeCaptions(mode, language).save);
            EXPECT_EQ(window->Box(kDepositRecord)->isVisible(), mode == 4);
            EXPECT_EQ(window->Chk_Print()->isVisible(), mode == 3);
            EXPECT_EQ(window->Cmb_Rev()->isVisible(), mode != 3);
            // The longest message the form writes.
            window->Lbl_Msg()
                ->setText("Deposit 1234567890 was saved without its line. The record is not found. Try again with the "
                          "RECORD NUMBER.");
            for (const QSize& size : screens) {
                window->resize(size);
                QApplication::processEvents();
                EXPECT_EQ(Overflowing(), std::vector<std::string>{})
                    << "language " << language << " mode " << mode << " at " << size.width() << "x" << size.height();
            }
            form->Cancel_Click();
            EXPECT_FALSE(window->isVisible());
            EXPECT_TRUE(screen.Visible(kRegisterForm));
        }
    }
}

TEST_F(DepositWindowTest, ANewDepositTypedAndSavedThroughTheWindow) {
    office.Answer(DepositOffice::kMaster, DepositRowsReply({}));
    form->Load(1);
    QApplication::processEvents();
    QLineEdit* number = window->Box(kDepositNumber);
    number->setFocus();
    QTest::keyClicks(number, "4711");
    QTest::keyClick(number, Qt::Key_Return);  // the number is checked
    EXPECT_FALSE(window->Cmd_Save()->isEnabled());
    EXPECT_FALSE(window->Cmd_Cancel()->isEnabled());
    ASSERT_TRUE(runner.RunUntilIdle(5000));
    EXPECT_TRUE(window->Cmd_Save()->isEnabled());
    QTest::keyClicks(window->Box(kDepositDate), "03-15-2026");
    QTest::keyClicks(window->Box(kDepositAmount), "75.25");
    form->Revenue_Chosen(1);
    form->Cash_Toggled(true);
    QTest::mouseClick(window->Cmd_Save(), Qt::LeftButton);
    EXPECT_EQ(window->Lbl_Msg()->text().toStdString(), "Request In Progress, Please Wait ... ");
    ASSERT_TRUE(runner.RunUntilIdle(5000));
    EXPECT_EQ(window->Lbl_Msg()->text().toStdString(), "Entry Saved Successfully");
    EXPECT_EQ(window->Box(kDepositLine)->text().toStdString(), "1");
    EXPECT_NE(office.Sql().back().find("Values('1',Trim('4711'),'75.25','20020')"), std::string::npos);
    QTest::mouseClick(window->Cmd_Cancel(), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(screen.Visible(kRegisterForm));
}

// The boxes really open here (not printed as in the other tests): each one is
// read off the screen, title and text, and closed with its button.
TEST_F(DepositWindowTest, TheNewNumberBoxShowsItsTitle) {
    office.Answer(DepositOffice::kMaster, DepositRowsReply({}));
    form->Load(1);
    QApplication::processEvents();
    QTest::keyClicks(window->Box(kDepositNumber), "4711");
    QTest::keyClick(window->Box(kDepositNumber), Qt::Key_Return);
    ASSERT_TRUE(runner.RunUntilIdle(5000));
    QTest::keyClicks(window->Box(kDepositDate), "03-15-2026");
    QTest::keyClicks(window->Box(kDepositAmount), "75.25");
    form->Revenue_Chosen(1);

    std::vector<std::pair<std::string, std::string>> seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.emplace_back(box->windowTitle().toStdString(), box->text().toStdString());
        box->button(QMessageBox::Ok)->click();
    });
    closer.start(10);
    qunsetenv("TARVO_NONINTERACTIVE");
    QTest::mouseClick(window->Cmd_Save(), Qt::LeftButton);
    const bool idle = runner.RunUntilIdle(5000);
    qputenv("TARVO_NONINTERACTIVE", "1");
    closer.stop();
    ASSERT_TRUE(idle);
    EXPECT_EQ(window->Lbl_Msg()->text().toStdString(), "Entry Saved Successfully");
    const std::vector<std::pair<std::string, std::string>> expected{
        {"New number", "Mark Down The New Number, Then Press Enter To Continue ..."}};
    EXPECT_EQ(seen, expected);
}

}  // namespace
}  // namespace tarvo::ui
