// The "Communication Status" window offscreen: it shows the core's rows and
// pictures as the session reports them, every caption fits its label in
// both languages, and it goes after its closing pause.
#include "ui/session_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QTest>
#include <string>
#include <vector>

#include "config/settings.h"
#include "ui/text_fit.h"

namespace tarvo::ui {
namespace {

enum { kArrow, kCheck, kCross, kNothing };

// The pictures a row shows, as letters: A arrow, C check, X cross, N nothing.
std::string Shown(const QtSessionWindow& w, SessionRow row) {
    std::string s;
    const char letters[] = "ACXN";
    for (int k = 0; k < 4; ++k)
        if (w.Picture(row, k)->isVisibleTo(&w)) s += letters[k];
    return s;
}

std::vector<std::string> Overflowing(const QtSessionWindow& w) {
    std::vector<std::string> out;
    for (QWidget* c : w.TextControls()) {
        const std::optional<TextRoom> room = TextRoomOf(c);
        const QString text = TextOf(c);
        if (!room || text.isEmpty()) continue;
        const QFontMetrics fm(c->font());
        if (!TextFits(c->font(), text, *room) || fm.horizontalAdvance(text) > room->rect.width() ||
            fm.height() > room->rect.height())
            out.push_back(text.toStdString());
    }
    for (const QGroupBox* frame : {w.SendFrame(), w.ReceiveFrame()}) {
        const QFontMetrics fm(frame->font());
        if (fm.horizontalAdvance(frame->title()) > frame->width() - 16) out.push_back(frame->title().toStdString());
    }
    return out;
}

TEST(SessionWindowQt, ShowsTheRowsAndPicturesTheSessionReports) {
    QtSessionWindow view;
    view.SetClosingPauseMs(50);
    SessionWindow model(&view);
    model.Open(false);
    QApplication::processEvents();
    ASSERT_TRUE(view.isVisible());
    EXPECT_EQ(view.windowTitle().toStdString(), "Communication Status");
    EXPECT_EQ(view.SendFrame()->title().toStdString(), " Send ");
    EXPECT_EQ(view.ReceiveFrame()->title().toStdString(), " Receive ");
    EXPECT_EQ(view.Label(SessionRow::Internet)->text().toStdString(), "Looking for Internet Connection");
    EXPECT_EQ(view.Label(SessionRow::InventoryCount)->text().toStdString(), "Inventory Count");
    EXPECT_EQ(view.Label(SessionRow::Settings)->text().toStdString(), "Settings");
    EXPECT_EQ(Shown(view, SessionRow::Internet), "A");
    EXPECT_EQ(Shown(view, SessionRow::Server), "");
    EXPECT_FALSE(view.Lbl_Timer()->isVisibleTo(&view));

    model.Report(SessionRow::Internet, StepReport::Failed);
    model.Report(SessionRow::Internet, StepReport::Passed);
    model.Report(SessionRow::Server, StepReport::Started);
    EXPECT_EQ(Shown(view, SessionRow::Internet), "CX");
    EXPECT_EQ(Shown(view, SessionRow::Server), "A");
    model.Report(SessionRow::Server, StepReport::Passed);
    model.Report(SessionRow::NewEntries, StepReport::NothingToSend);
    model.Report(SessionRow::Sales, StepReport::Started);
    EXPECT_EQ(Shown(view, SessionRow::Sales), "A");
    model.Report(SessionRow::Sales, StepReport::Failed);
    EXPECT_EQ(Shown(view, SessionRow::Server), "C");
    EXPECT_EQ(Shown(view, SessionRow::NewEntries), "N");
    EXPECT_EQ(Shown(view, SessionRow::Sales), "X");
    EXPECT_EQ(Shown(view, SessionRow::Activity), "");

    // The session ends: the counter shows and the window stays for its pause.
    model.Close();
    EXPECT_TRUE(view.isVisible());
    EXPECT_TRUE(view.Lbl_Timer()->isVisibleTo(&view));
    EXPECT_EQ(view.Lbl_Timer()->text().toStdString(), "1");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view.isVisible(); }, 2000));

    // The next session starts with clean rows.
    model.Open(false);
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(Shown(view, SessionRow::Sales), "");
    EXPECT_EQ(Shown(view, SessionRow::Internet), "A");
    model.Close();
}

TEST(SessionWindowQt, AHiddenSessionShowsNoWindow) {
    QtSessionWindow view;
    SessionWindow model(&view);
    model.Open(true);
    model.Report(SessionRow::Internet, StepReport::Passed);
    model.Close();
    QApplication::processEvents();
    EXPECT_FALSE(view.isVisible());
}

// Every caption fits its label, whatever the register's language (the
// window has one set of captions).
TEST(SessionWindowQt, EveryCaptionFitsInBothLanguages) {
    for (int language : {1, 2}) {
        gSettings.gLanguage = static_cast<std::int16_t>(language);
        QtSessionWindow view;
        SessionWindow model(&view);
        model.Open(false);
        for (int i = 0; i < kSessionRows; ++i) model.Report(static_cast<SessionRow>(i), StepReport::Passed);
        model.Close();
        QApplication::processEvents();
        EXPECT_EQ(Overflowing(view), std::vector<std::string>{}) << "language " << language;
        // Each row's pictures stand clear of its label.
        for (int i = 0; i < kSessionRows; ++i) {
            const auto row = static_cast<SessionRow>(i);
            EXPECT_LE(view.Picture(row, kNothing)->geometry().right(), view.Label(row)->geometry().left())
                << SessionRow_Caption(row);
        }
    }
    gSettings.gLanguage = 1;
}

}  // namespace
}  // namespace tarvo::ui
