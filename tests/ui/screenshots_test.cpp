// The README's screenshots (docs/*.png), taken from the real register window
// on the demo store at 1024 x 768, full screen as on a till. Runs only when
// asked for:
//   TARVO_SCREENSHOTS_DIR=docs QT_QPA_PLATFORM=offscreen
//     build/tests/tarvo_ui_tests --gtest_filter='Screenshots*'
// (one command line)
#include <gtest/gtest.h>

#include <QApplication>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTest>

#include "demo_window.h"

namespace tarvo::ui {
namespace {

class ScreenshotsTest : public DemoWindowTest {
protected:
    void Save(const char* name) {
        QApplication::processEvents();
        const QString path = qEnvironmentVariable("TARVO_SCREENSHOTS_DIR") + "/" + name + ".png";
        EXPECT_TRUE(window->grab().save(path)) << path.toStdString();
    }
    void Touch(const char* objectName) {
        QPushButton* key = Key(objectName);
        ASSERT_NE(key, nullptr) << objectName;
        QTest::mouseClick(key, Qt::LeftButton);
    }
};

TEST_F(ScreenshotsTest, TheReadmeScreenshots) {
    if (qEnvironmentVariableIsEmpty("TARVO_SCREENSHOTS_DIR")) GTEST_SKIP() << "TARVO_SCREENSHOTS_DIR not set";
    window->setFixedSize(1024, 768);
    window->setWindowState(Qt::WindowFullScreen);
    QApplication::processEvents();
    Save("login");
    Type("1111");
    Type("100");
    Type("1010");
    Type("4001");
    Type("1001");
    Save("sale");
    QTest::keyClick(entry, Qt::Key_F2);
    QTest::keyClicks(entry, "50");
    Touch("mDept_1");  // Cash
    Save("payment");
    QTest::keyClick(entry, Qt::Key_F1);
    ASSERT_TRUE(W(Control::Txt_Printer)->isVisible());
    Save("receipt");
}

}  // namespace
}  // namespace tarvo::ui
