#include "ui/app_controller.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "print/printer_output.h"
#include "program_state.h"
#include "sale/sale_save.h"
#include "screen/register_state.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <sstream>

#include "config/constants.h"
#include "config/settings.h"
#include "data/log.h"
#include "demo_window.h"
#include "platform/process.h"
#include "pty_pair.h"
#include "register/screen_actions.h"
#include "screen/controls.h"
#include "screen/register_context.h"
#include "test_dir.h"
#include "test_net.h"
#include "ui/register_layout.h"

namespace tarvo::ui {
namespace {

constexpr int kWaitMs = 5000;

class AppControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        FreshRegisterState();
        ASSERT_TRUE(offline.Bound());
    }
    void TearDown() override { ProgramLog().Close(); }

    // A controller on the test folder; nothing it checks leaves this machine.
    std::unique_ptr<AppController> MakeApp(const std::string& internetUrl) {
        auto app = std::make_unique<AppController>(dir.Path(), nullptr);
        app->Context().internet.url = internetUrl;
        app->Context().internet.connectTimeoutMs = 300;
        app->Context().internet.totalTimeoutMs = 1000;
        return app;
    }

    TestDir dir;
    ClosedPort offline;
};

TEST_F(AppControllerTest, DemoStoreOpensTheRegisterWindow) {
    RunResult copy = RunAndWait({"cp", "-a", std::string(TARVO_SOURCE_DIR) + "/demo/.", dir.Path()}, 10000);
    ASSERT_EQ(copy.exitCode, 0);
    auto app = MakeApp(offline.Url());
    QSignalSpy finished(app.get(), &AppController::Finished);
    app->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->Register() && app->Register()->isVisible(); }, kWaitMs));
    EXPECT_EQ(app->Register()->objectName(), ControlObjectName(kRegisterForm));
    EXPECT_TRUE(app->Register()->Summary().contains("Terminal 1234567")) << app->Register()->Summary().toStdString();
    EXPECT_FALSE(app->Startup().isVisible());
    EXPECT_EQ(app->Terminal(), nullptr);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(MessageBoxesShown().isEmpty());
}

// The program's message box over the register, opened for real: its title is
// the one asked for, or the program's name when none is given.
TEST_F(AppControllerTest, AMessageBoxCarriesTheTitleAskedFor) {
    RunResult copy = RunAndWait({"cp", "-a", std::string(TARVO_SOURCE_DIR) + "/demo/.", dir.Path()}, 10000);
    ASSERT_EQ(copy.exitCode, 0);
    auto app = MakeApp(offline.Url());
    app->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->Register() && app->Register()->isVisible(); }, kWaitMs));
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
    Forms().MessageBox_Show("Mark Down The New Number, Then Press Enter To Continue ...", "New number");
    Forms().MessageBox_Show("Tear Off First Copy. Press Enter to Print Second Copy.");
    qputenv("TARVO_NONINTERACTIVE", "1");
    closer.stop();
    const std::vector<std::pair<std::string, std::string>> expected{
        {"New number", "Mark Down The New Number, Then Press Enter To Continue ..."},
        {"Tarvo", "Tear Off First Copy. Press Enter to Print Second Copy."}};
    EXPECT_EQ(seen, expected);
}

TEST_F(AppControllerTest, ClosingTheRegisterWindowEndsTheProgramWithItsFilesClosed) {
    RunResult copy = RunAndWait({"cp", "-a", std::string(TARVO_SOURCE_DIR) + "/demo/.", dir.Path()}, 10000);
    ASSERT_EQ(copy.exitCode, 0);
    auto app = MakeApp(offline.Url());
    QSignalSpy finished(app.get(), &AppController::Finished);
    app->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->Register() && app->Register()->isVisible(); }, kWaitMs));
    ASSERT_TRUE(gData.products.IsOpen());
    EXPECT_TRUE(app->Register()->close());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), 0);
    EXPECT_FALSE(gData.products.IsOpen());
    EXPECT_FALSE(app->Register()->isVisible());
}

TEST_F(AppControllerTest, DemoCashierLogsInAndRingsUpAProduct) {
    RunResult copy = RunAndWait({"cp", "-a", std::string(TARVO_SOURCE_DIR) + "/demo/.", dir.Path()}, 10000);
    ASSERT_EQ(copy.exitCode, 0);
    auto app = MakeApp(offline.Url());
    app->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->Register() && app->Register()->isVisible(); }, kWaitMs));
    auto* entry = app->Register()->findChild<QLineEdit*>(ControlObjectName(kEntryBox));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(gReg.gPromptState, PromptState::Login);  // the login prompt
    // The cashier's code, then the opening amount the settings ask for.
    QTest::keyClicks(entry, "1111");
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_EQ(gReg.gCashierIndex, 1);
    QTest::keyClicks(entry, "100");
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_EQ(gReg.gPromptState, PromptState::None);
    QTest::keyClicks(entry, "1001");
    QTest::keyClick(entry, Qt::Key_Return);
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gLines[1].key, "1001");
    auto* description = app->Register()->findChild<QWidget*>(ControlObjectName({Control::Rt_Description, 1}));
    ASSERT_NE(description, nullptr);

    // Payment page (F2), 20 in cash on the first payment key, then Total (F1):
    // the sale is saved to the invoice files.
    QTest::keyClick(entry, Qt::Key_F2);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Payment);
    QTest::keyClicks(entry, "20");
    auto* cash = app->Register()->findChild<QPushButton*>(ControlObjectName(SoftKey(1)));
    ASSERT_NE(cash, nullptr);
    QTest::mouseClick(cash, Qt::LeftButton);
    EXPECT_EQ(gSale.gPaymentCount, 1);
    QTest::keyClick(entry, Qt::Key_F1);
    Open_FileInvoice();
    EXPECT_EQ(gData.gLastInvoiceRecord, 2);
    EXPECT_EQ(gData.invoices.Read(2).substr(0, 9), "0000002 0");
    Data_CloseAll(gData);
}

// The real program with a scale and a pole display on pseudo-terminals: the
// display shows the greeting, and a product sold by weight asks the scale
// and takes the weight it answers, through the window's event loop.
TEST_F(AppControllerTest, DemoScaleWeighsAndPoleDisplayFollowsTheSale) {
    RunResult copy = RunAndWait({"cp", "-a", std::string(TARVO_SOURCE_DIR) + "/demo/.", dir.Path()}, 10000);
    ASSERT_EQ(copy.exitCode, 0);
    const std::string scaleDir = dir.Path() + "/scale", displayDir = dir.Path() + "/display";
    std::filesystem::create_directories(scaleDir);
    std::filesystem::create_directories(displayDir);
    PtyPair scale(scaleDir), display(displayDir);
    ASSERT_TRUE(scale.Ready() && display.Ready()) << "socat pseudo-terminal pairs did not start";
    std::ofstream(dir.Path() + "/ports.map") << "COM1=" << scale.A() << "\nCOM2=" << display.A() << "\n";
    // Settings: the display on COM2, the scale on COM1.
    const std::string set = dir.Path() + "/Files/1234567.SET";
    std::stringstream text;
    text << std::ifstream(set, std::ios::binary).rdbuf();
    std::string settings = text.str();
    for (const auto& [from, to] : {std::pair{"\n476 0\r", "\n476 2\r"}, std::pair{"\n481 0\r", "\n481 1\r"}}) {
        const std::size_t at = settings.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        settings.replace(at, std::char_traits<char>::length(from), to);
    }
    std::ofstream(set, std::ios::binary | std::ios::trunc) << settings;

    auto app = MakeApp(offline.Url());
    app->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->Register() && app->Register()->isVisible(); }, kWaitMs));
    EXPECT_NE(display.ReadB(46).find("Welcome to"), std::string::npos);
    auto* entry = app->Register()->findChild<QLineEdit*>(ControlObjectName(kEntryBox));
    ASSERT_NE(entry, nullptr);
    QTest::keyClicks(entry, "1111");
    QTest::keyClick(entry, Qt::Key_Return);
    QTest::keyClicks(entry, "100");
    QTest::keyClick(entry, Qt::Key_Return);
    ASSERT_EQ(gReg.gPromptState, PromptState::None);

    QTest::keyClicks(entry, "2001");
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_EQ(gSale.gItemCount, 0);  // waiting for the weight
    EXPECT_EQ(scale.ReadB(2), "W\r");
    ASSERT_TRUE(scale.WriteB("\n001.25LB\r"));
    ASSERT_TRUE(QTest::qWaitFor([] { return gSale.gItemCount == 1; }, kWaitMs));
    EXPECT_EQ(gSale.gLines[1].key, "2001");
    EXPECT_DOUBLE_EQ(gSale.gLines[1].quantity, 1.25);
    // The display follows with the weighed line.
    std::string shown;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            shown += display.ReadB(1, 0);
            return shown.find("Bananas") != std::string::npos;
        },
        kWaitMs))
        << shown;
    Data_CloseAll(gData);
}

TEST_F(AppControllerTest, WithoutATerminalNumberTheFormRefusesAShortNumber) {
    auto app = MakeApp(offline.Url());
    QSignalSpy finished(app.get(), &AppController::Finished);
    QSignalSpy restart(app.get(), &AppController::RestartRequested);
    app->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->Terminal() && app->Terminal()->isVisible(); }, kWaitMs));
    TerminalForm* form = app->Terminal();
    EXPECT_EQ(form->objectName(), QString("frmTerminal"));
    EXPECT_FALSE(app->Startup().isVisible());

    QTest::keyClicks(form->numTerminalNumber(), "123456");
    QTest::mouseClick(form->btnRegisterTerminalNumber(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return MessageBoxesShown().contains("Terminal number must be 7 digits") && form->isEnabled(); },
        kWaitMs));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->numTerminalNumber()->text(), QString("123456"));
    EXPECT_EQ(MessageBoxesShown().size(), 1);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(restart.count(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "Tarvo.ini"));
}

TEST_F(AppControllerTest, RegisteringANumberStoresItAndAsksForARestart) {
    LocalHttpServer internet(200);
    auto app = MakeApp(internet.Url());
    QSignalSpy restart(app.get(), &AppController::RestartRequested);
    app->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->Terminal() && app->Terminal()->isVisible(); }, kWaitMs));
    QTest::keyClicks(app->Terminal()->numTerminalNumber(), "7654321");
    QTest::mouseClick(app->Terminal()->btnRegisterTerminalNumber(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return restart.count() == 1; }, kWaitMs));
    IdentityStore stored(dir.Path());
    ASSERT_TRUE(stored.Load());
    EXPECT_EQ(stored.TerminalNumber(), "7654321");
    EXPECT_TRUE(MessageBoxesShown().isEmpty());
}

TEST_F(AppControllerTest, ExitOnTheTerminalFormEndsTheProgramNormally) {
    auto app = MakeApp(offline.Url());
    QSignalSpy finished(app.get(), &AppController::Finished);
    app->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->Terminal() && app->Terminal()->isVisible(); }, kWaitMs));
    QTest::mouseClick(app->Terminal()->btnExit(), Qt::LeftButton);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), 0);
}

TEST_F(AppControllerTest, OfflineWithoutSettingsOrDialFileEndsWithExitCodeOne) {
    dir.Write("Tarvo.ini", "[Tarvo]\nTerminalNumber=1234567\nInternetCheckUrl=" + offline.Url() + "\n");
    LocalHttpServer notAsked(200);  // the identity file's address wins over this one
    auto app = MakeApp(notAsked.Url());
    QSignalSpy finished(app.get(), &AppController::Finished);
    app->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, kWaitMs));
    EXPECT_EQ(finished.at(0).at(0).toInt(), 1);
    EXPECT_EQ(MessageBoxesShown(), QStringList{"Error: The Dial up configuration file does not exist."});
    EXPECT_EQ(app->Startup().Line(1), QString("Terminal Number: 1234567"));
    EXPECT_EQ(app->Startup().Line(2), QString("Setup File Not Available"));
    EXPECT_EQ(app->Startup().Line(3), QString("Initiating Communication"));
    EXPECT_FALSE(app->Startup().isVisible());
    EXPECT_EQ(app->Register(), nullptr);
}

}  // namespace
}  // namespace tarvo::ui
