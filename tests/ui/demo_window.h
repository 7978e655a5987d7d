// The real program started on a temporary copy of the bundled demo store, its
// register window open offscreen, for tests that type into it and read it.
#pragma once
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>

#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "platform/process.h"
#include "print/printer_output.h"
#include "program_state.h"
#include "register/screen_actions.h"
#include "sale/sale_save.h"
#include "screen/controls.h"
#include "screen/register_state.h"
#include "test_dir.h"
#include "test_net.h"
#include "ui/app_controller.h"
#include "ui/register_layout.h"

namespace tarvo::ui {

// The program-wide state as a fresh start has it. A register of an earlier
// test may have ended in the middle of a sale (saved, its printout on the
// screen, the next not started).
inline void FreshRegisterState() {
    ResetProgramState();
    gReg = RegisterState{};
    gPrint = PrintState{};
    gSaleSave = SaleSaveState{};
    MessageBoxesShown().clear();
}

class DemoWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        FreshRegisterState();
        ASSERT_TRUE(offline.Bound());
        RunResult copy = RunAndWait({"cp", "-a", std::string(TARVO_SOURCE_DIR) + "/demo/.", dir.Path()}, 10000);
        ASSERT_EQ(copy.exitCode, 0);
        app = std::make_unique<AppController>(dir.Path(), nullptr);
        app->Context().internet.url = offline.Url();
        app->Context().internet.connectTimeoutMs = 300;
        app->Context().internet.totalTimeoutMs = 1000;
        app->Start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return app->Register() && app->Register()->isVisible(); }, 5000));
        window = app->Register();
        entry = window->findChild<QLineEdit*>(ControlObjectName(kEntryBox));
        ASSERT_NE(entry, nullptr);
    }
    void TearDown() override {
        app.reset();
        Data_CloseAll(gData);
        ProgramLog().Close();
    }

    // Typed into the entry box, then Enter.
    void Type(const char* text) {
        QTest::keyClicks(entry, text);
        QTest::keyClick(entry, Qt::Key_Return);
    }
    QWidget* W(Control name, int index = 0) { return window->Control(ControlId{name, index}); }
    // A key of the window by its object name ("mDept_5", "BSys_5"); null when none.
    QPushButton* Key(const char* objectName) { return window->findChild<QPushButton*>(objectName); }
    // Touches a key of the window, which must be there and enabled.
    void Touch(const char* objectName) {
        QPushButton* key = Key(objectName);
        ASSERT_NE(key, nullptr) << objectName;
        ASSERT_TRUE(key->isVisible() && key->isEnabled()) << objectName;
        QTest::mouseClick(key, Qt::LeftButton);
    }
    // The on-screen printout.
    QPlainTextEdit* Printout() { return qobject_cast<QPlainTextEdit*>(W(Control::Txt_Printer)); }
    // The demo cashier logs in with an opening amount of 100.
    void LogIn() {
        Type("1111");
        Type("100");
        ASSERT_EQ(gReg.gCashierIndex, 1);
    }

    TestDir dir;
    ClosedPort offline;
    std::unique_ptr<AppController> app;
    RegisterWindow* window = nullptr;
    QLineEdit* entry = nullptr;
};

}  // namespace tarvo::ui
