// The search form's window in the real program on the demo store: the
// product search key opens it in the register's place, the keyboard pages
// and picks, a click on a cell moves the bar, the pick lands in the sale, and
// every text fits its cell at the screen sizes of the tills.
#include "ui/search_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QTest>
#include <functional>
#include <string>

#include "config/settings.h"
#include "data/sale_state.h"
#include "demo_window.h"
#include "forms/search_form.h"
#include "screen/register_context.h"
#include "screen/register_state.h"
#include "ui/text_fit.h"

namespace tarvo::ui {
namespace {

class SearchWindowTest : public DemoWindowTest {
protected:
    void SetUp() override {
        DemoWindowTest::SetUp();
        if (HasFatalFailure()) return;
        search = app->Search();
        ASSERT_NE(search, nullptr);
        ASSERT_FALSE(search->isVisible());
        Type("1111");  // the cashier
        Type("100");   // the opening amount
        ASSERT_FALSE(gReg.gLoggedOut);
    }

    // `text` typed into the entry box, then `key` (F12 product search, F11
    // client search); true once the search form is up.
    bool Search(const char* text, Qt::Key key = Qt::Key_F12) {
        QTest::keyClicks(entry, text);
        QTest::keyClick(entry, key);
        return QTest::qWaitFor([&] { return search->isVisible(); }, 2000);
    }
    QString CellText(int row, int column) { return search->Cell(row, column)->text(); }

    // Every text of the form fits its control, measured with the control's
    // font, and every control lies inside the window.
    void ExpectEverythingFits() {
        for (QWidget* w : search->TextControls()) {
            if (!w->isVisibleTo(search)) continue;
            const std::string name = w->objectName().toStdString();
            EXPECT_TRUE(search->rect().contains(w->geometry())) << name;
            const std::optional<TextRoom> room = TextRoomOf(w);
            ASSERT_TRUE(room.has_value()) << name;
            const QString text = TextOf(w);
            if (text.isEmpty()) continue;
            const QFontMetrics fm(w->font());
            if (room->wraps) {
                const QRect needed = fm.boundingRect(room->rect, Qt::AlignCenter | Qt::TextWordWrap, text);
                EXPECT_LE(needed.width(), room->rect.width()) << name << " \"" << text.toStdString() << "\"";
                EXPECT_LE(needed.height(), room->rect.height()) << name << " \"" << text.toStdString() << "\"";
            } else {
                EXPECT_LE(fm.horizontalAdvance(text), room->rect.width()) << name;
                EXPECT_LE(fm.height(), room->rect.height()) << name;
            }
        }
        for (int n : {1, 2, 3, 4, 8, 9})
            EXPECT_TRUE(search->rect().contains(search->Button(n)->geometry())) << "Button" << n;
    }

    SearchWindow* search = nullptr;
};

TEST_F(SearchWindowTest, ProductSearchPagesAndPicksByKeyboardAndTheSaleGetsTheLine) {
    ASSERT_TRUE(Search("coffee"));
    EXPECT_FALSE(window->isVisible());  // the form takes the register's place
    EXPECT_FALSE(search->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(search->size(), window->size());
    EXPECT_EQ(CellText(1, 2), "Product");
    EXPECT_TRUE(search->Cell(1, 2)->font().bold());
    EXPECT_FALSE(search->Cell(2, 2)->font().bold());
    EXPECT_EQ(CellText(2, 3), "Coffee 1 lb");
    EXPECT_EQ(CellText(3, 3), "Decaf Coffee 1 lb");
    EXPECT_EQ(search->Button(8)->text(), "Select");
    EXPECT_EQ(search->Button(9)->text(), "Exit");
    for (int n : {5, 6, 7}) EXPECT_EQ(search->Button(n), nullptr);
    // The bar's row in the selected colour (red), the others in black.
    EXPECT_EQ(search->Cell(2, 3)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(search->Cell(3, 3)->palette().color(QPalette::WindowText), QColor(0, 0, 0));

    // Page Down shows the last entry alone, Page Up the first page again.
    QTest::keyClick(search, Qt::Key_PageDown);
    EXPECT_EQ(CellText(2, 3), "Decaf Coffee 1 lb");
    EXPECT_EQ(CellText(3, 3), "");
    QTest::keyClick(search, Qt::Key_PageUp);
    EXPECT_EQ(CellText(3, 3), "Decaf Coffee 1 lb");

    // Down, then Enter: the decaf is sold.
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_EQ(search->Cell(3, 3)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QTest::keyClick(search, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, 2000));
    EXPECT_FALSE(search->isVisible());
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gLines[1].key, "1002");
    EXPECT_FALSE(gReg.gSearchFormOpen);
}

TEST_F(SearchWindowTest, AClickOnACellMovesTheBarAndSelectAddsThatProduct) {
    ASSERT_TRUE(Search("co"));  // coffee, decaf, cookies
    QTest::mouseClick(search->Cell(4, 3), Qt::LeftButton);
    EXPECT_EQ(gSearchList.gListSelected, 4);
    QTest::mouseClick(search->Cell(1, 3), Qt::LeftButton);  // a heading: the bar stays
    QTest::mouseClick(search->Cell(9, 3), Qt::LeftButton);  // an empty row: the same
    EXPECT_EQ(gSearchList.gListSelected, 4);
    QTest::mouseClick(search->Cell(3, 5), Qt::LeftButton);
    EXPECT_EQ(gSearchList.gListSelected, 3);
    QTest::mouseClick(search->Button(8), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, 2000));
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gLines[1].key, "1002");

    // Escape leaves the sale as it was and the entry box empty.
    ASSERT_TRUE(Search("co"));
    QTest::keyClick(search, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, 2000));
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_TRUE(entry->text().isEmpty());
}

TEST_F(SearchWindowTest, TheKeypadPlusAndShiftEqualsSelectThePlainEqualsDoesNot) {
    ASSERT_TRUE(Search("co"));
    QTest::keyClick(search, Qt::Key_Equal);
    QTest::keyClick(search, Qt::Key_A);
    EXPECT_TRUE(search->isVisible());
    QTest::keyClick(search, Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, 2000));
    ASSERT_TRUE(Search("co"));
    QTest::keyClick(search, Qt::Key_Up);  // wraps to the last row: the cookies
    QTest::keyClick(search, Qt::Key_Plus, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, 2000));
    ASSERT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(gSale.gLines[1].key, "1001");
    EXPECT_EQ(gSale.gLines[2].key, "4001");
}

TEST_F(SearchWindowTest, EveryTextFitsAtTheTillsScreenSizes) {
    const QSize sizes[] = {{1024, 768}, {1920, 1080}};
    struct Open {
        const char* name;
        std::function<bool()> open;
    };
    const Open opens[] = {
        {"products", [&] { return Search("co"); }},
        {"clients in French with the key hints",
         [&] {
             gSettings.gLanguage = 2;
             gSettings.gKeyboardHints = 1;
             return Search("s", Qt::Key_F11);
         }},
        {"vendors",
         [&] {
             Forms().SearchForm_Show(SearchFormSetup{7, 22, {32, 13, 15, 5, 35, 2, 0, 0}, 10});
             return search->isVisible();
         }},
    };
    for (const Open& open : opens) {
        SCOPED_TRACE(open.name);
        ASSERT_TRUE(open.open());
        // Over the whole screen, as the register; then at each size.
        EXPECT_TRUE(search->isFullScreen());
        search->setWindowState(Qt::WindowNoState);
        for (const QSize& size : sizes) {
            SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
            search->setFixedSize(size);
            QApplication::processEvents();
            ASSERT_EQ(search->size(), size);
            ExpectEverythingFits();
        }
        // The grid grows with the window.
        EXPECT_GT(search->Cell(22, 1)->geometry().bottom(), 1080 / 2);
        QTest::keyClick(search, Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, 2000));
        search->setMinimumSize(0, 0);
        search->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    EXPECT_EQ(search->Button(8)->text(), "Choisir\n{Enter +}");
    EXPECT_EQ(search->Button(9)->text(), "Sortir\n{Esc}");
    EXPECT_EQ(search->Cell(2, 1)->text(), "Springfield Coffee Roasters");
}

}  // namespace
}  // namespace tarvo::ui
