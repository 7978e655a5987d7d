// The typefaces the register's windows are drawn in on this machine, where
// the designed ones ("Cambria", "impact", "Arial", "Courier New") are not
// installed: every text control resolves to an installed text font that has
// every character it shows, never to a symbol font (figures as dingbats).
// The cash count form fills the screen in the register's place and scales.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <string>

#include "demo_window.h"
#include "screen/register_state.h"
#include "ui/cash_count_form.h"
#include "ui/text_fit.h"

namespace tarvo::ui {
namespace {

// Why the font `w` is drawn in is not a text font for what it shows; empty
// when it is one.
std::string NotATextFont(const QWidget* w) {
    const QString family = QFontInfo(w->font()).family();
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
    const std::string name = w->objectName().toStdString() + " in \"" + family.toStdString() + "\"";
    if (!QFontDatabase::families().contains(family)) return name + ": not installed";
    if (systems.contains(QFontDatabase::Symbol) || !systems.contains(QFontDatabase::Latin))
        return name + ": a symbol font";
    const QFontMetrics fm(w->font());
    for (QChar c : TextOf(w))
        if (!c.isSpace() && !fm.inFont(c)) return name + ": no glyph for " + QString(c).toStdString();
    return {};
}

class FormFontsTest : public DemoWindowTest {};

TEST_F(FormFontsTest, EveryFormDrawsItsTextsInAnInstalledTextFont) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->property("controlName").isNull() || TextOf(w).isEmpty()) continue;
        const std::string why = NotATextFont(w);
        EXPECT_TRUE(why.empty()) << why;
    }

    // The cash count form, before the cashier report (setting 646).
    Type("1111");
    Type("100");
    QTest::mouseClick(Key("BSys_4"), Qt::LeftButton);   // Print
    QTest::mouseClick(Key("mDept_2"), Qt::LeftButton);  // the cashier report
    CashCountWindow* count = app->CashCount();
    ASSERT_TRUE(QTest::qWaitFor([&] { return count->isVisible(); }, 2000));
    ASSERT_FALSE(count->TextControls().empty());
    for (QWidget* w : count->TextControls()) {
        const std::string why = NotATextFont(w);
        EXPECT_TRUE(why.empty()) << why;
    }
    // The number pad and PRINT, CANCEL and ERASE ask for "impact": a heavy
    // sans of the system instead, not the symbols it was swapped for.
    for (QWidget* w : {static_cast<QWidget*>(count->cmd_NumberPad(7)), static_cast<QWidget*>(count->Cmd_Print()),
                       static_cast<QWidget*>(count->cmd_Abort()), static_cast<QWidget*>(count->Cmd_Erase())}) {
        const QString family = QFontInfo(w->font()).family();
        EXPECT_NE(family, "D050000L") << w->objectName().toStdString();
        EXPECT_NE(family, "Standard Symbols PS") << w->objectName().toStdString();
    }

    // It takes the screen as the register had it, its keys grown with it.
    EXPECT_EQ(count->geometry(), count->screen()->geometry());
    const QSize screen = count->screen()->geometry().size();
    const double scale = std::min(screen.width() / 1024.0, screen.height() / 768.0);
    EXPECT_NEAR(count->cmd_NumberPad(7)->height(), 80 * scale, 2);
    EXPECT_NEAR(count->Cmd_Print()->width(), 153 * scale, 2);
}

}  // namespace
}  // namespace tarvo::ui
