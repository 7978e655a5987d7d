#include "ui/window_controls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace tarvo::ui {
namespace {

TEST(WindowControls, AGreyedCloseBoxRefusesEveryCloseUntilItIsGivenBack) {
    QWidget w;
    w.setGeometry(40, 50, 300, 200);
    w.show();
    EXPECT_EQ(SetCloseButton(&w, false), 0);
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(SetCloseButton(&w, false), 0);  // twice: nothing changes

    // What the window system's close box or Alt+F4 does: the platform window
    // is asked to close.
    w.windowHandle()->close();
    QApplication::processEvents();
    EXPECT_TRUE(w.isVisible());

    EXPECT_EQ(SetCloseButton(&w, true), 0);
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(w.isVisible());

    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());

    // A form with a greyed box leaves by hiding itself.
    w.show();
    SetCloseButton(&w, false);
    EXPECT_FALSE(w.close());
    w.hide();
    EXPECT_FALSE(w.isVisible());
}

TEST(WindowControls, OnlyWindowsAnswer) {
    QWidget top;
    QWidget* child = new QWidget(&top);
    EXPECT_EQ(SetCloseButton(nullptr, false), -1);
    EXPECT_EQ(SetCloseButton(child, false), -1);
    SetTopMost(child, true);  // ignored
    EXPECT_FALSE(child->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(WindowControls, TopMostKeepsTheWindowWhereItIs) {
    QWidget w;
    w.setGeometry(60, 70, 320, 240);
    w.show();
    const QRect before = w.geometry();
    SetTopMost(&w, true);
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.geometry(), before);
    SetTopMost(&w, false);
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w.geometry(), before);
}

}  // namespace
}  // namespace tarvo::ui
