// The entry form's window in the real program on the demo store, offscreen:
// opened from the Mode page over the register, typed into with the keyboard,
// saved, and what reached the core (the new-client file, the client of the
// sale); and every text of every page fits its control at the screen sizes
// of the tills.
#include "ui/entry_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QStyle>
#include <QTest>
#include <string>

#include "config/settings.h"
#include "data/master_files.h"
#include "demo_window.h"
#include "screen/register_context.h"
#include "ui/text_fit.h"

namespace tarvo::ui {
namespace {

class EntryWindowTest : public DemoWindowTest {
protected:
    void Touch(const char* objectName) {
        QPushButton* key = Key(objectName);
        ASSERT_NE(key, nullptr) << objectName;
        ASSERT_TRUE(key->isVisible() && key->isEnabled()) << objectName;
        QTest::mouseClick(key, Qt::LeftButton);
    }
    EntryWindow* Entry() { return app->Entry(); }
    void LogIn() {
        Type("1111");
        Type("100");
        ASSERT_FALSE(gReg.gLoggedOut);
    }
    // The Mode page's key `key` opens the form over the register.
    void OpenFromModePage(const char* key) {
        Touch("BSys_2");
        Touch(key);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Entry()->isVisible(); }, 3000));
        ASSERT_FALSE(window->isVisible()) << "the register stays shown under the form";
    }
    // A page opened as its opener does.
    void OpenPage(int page) {
        gSale.gSearchKind = static_cast<std::int16_t>(page);
        Forms().EntryForm_Show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Entry()->isVisible(); }, 3000));
    }
    void Leave() {
        EntryForm* f = EntryForm_Current();
        for (int i = 0; i < 2 && f && f->IsLoaded(); ++i) QTest::keyClick(Entry()->Col2(1), Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Entry()->isVisible() && window->isVisible(); }, 3000));
    }
    std::string NewClientRecord(int k) {
        gData.newFile.Close();
        Open_FileNewClient();
        return gData.newFile.Read(k);
    }
};

TEST_F(EntryWindowTest, ANewClientTypedOnTheFormIsSavedAndAddedToTheSale) {
    LogIn();
    if (HasFatalFailure()) return;
    OpenFromModePage("mDept_5");
    if (HasFatalFailure()) return;
    EntryWindow* e = Entry();
    EXPECT_EQ(e->isFullScreen(), window->isFullScreen()) << "the form takes the register's place";
    ASSERT_EQ(e->Rows(), 11);
    EXPECT_EQ(e->Col1(1)->text(), "Client Number");
    EXPECT_EQ(e->Col1(5)->text(), "Zip/Postal\nCode");
    EXPECT_EQ(e->Col3(2)->text(), "Enter name of new client");
    EXPECT_EQ(e->Col2(10)->maxLength(), 150);
    const QString number = e->Col2(1)->text();  // proposed by the program (setting 256)
    EXPECT_EQ(number.size(), 8);
    EXPECT_EQ(e->Col2(11)->text(), "1");  // the sale's client, the default template
    EXPECT_TRUE(e->Button(kEntrySaveAdd)->isVisible());
    EXPECT_EQ(e->Button(kEntryExit)->text(), "Abort\nExit");
    ASSERT_TRUE(QTest::qWaitFor([&] { return e->Col2(2)->hasFocus(); }, 2000)) << "the name row is current";

    QTest::keyClicks(e->Col2(2), "Ann, ");
    for (const QString& letter : {QString::fromUtf8("\xC3\xA9"), QString("t"), QString::fromUtf8("\xC3\xA9")}) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, letter);  // a letter no key code names
        QApplication::sendEvent(e->Col2(2), &key);
    }
    QTest::keyClick(e->Col2(2), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return e->Col2(3)->hasFocus(); }, 2000));
    QTest::keyClicks(e->Col2(3), "9 Rue Verte");
    QTest::keyClick(e->Col2(3), Qt::Key_Down);
    QTest::keyClicks(e->Col2(4), "Montreal");
    EXPECT_EQ(EntryForm_Current()->Position(), 4);
    EXPECT_EQ(EntryForm_Current()->RowText(2), "Ann, \xE9t\xE9");

    QTest::mouseClick(e->Button(kEntrySaveAdd), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !e->isVisible() && window->isVisible(); }, 3000));

    // What the core received: the record (cleaned, at its columns) and the client of the sale.
    const std::string rec = NewClientRecord(2);
    ASSERT_EQ(rec.size(), 498u);
    EXPECT_EQ(rec.substr(0, 10), "0 " + number.toStdString());
    EXPECT_EQ(rec.substr(10, 10), "Ann  \xE9t\xE9  ");
    EXPECT_EQ(rec.substr(55, 11), "9 Rue Verte");
    EXPECT_EQ(rec.substr(145, 8), "Montreal");
    EXPECT_EQ(rec.substr(477, 8), "1       ");  // the template's id
    EXPECT_EQ(gData.gClientRecNo, 0);
    EXPECT_EQ(gData.gNewClientRecNo, 2);
    // The client attached shows on the message line, after the save's own message.
    EXPECT_EQ(Screen().Text(kMessageLine), "Client Ann  \xE9t\xE9");
}

TEST_F(EntryWindowTest, EscapeAsksOnceWithSomethingTypedThenBringsTheRegisterBack) {
    LogIn();
    if (HasFatalFailure()) return;
    OpenFromModePage("mDept_13");  // new product
    if (HasFatalFailure()) return;
    EntryWindow* e = Entry();
    ASSERT_EQ(e->Rows(), 12);
    EXPECT_FALSE(e->Button(kEntrySaveAdd)->isVisible());
    QTest::keyClicks(e->Col2(1), "NP-77");
    QTest::keyClick(e->Col2(1), Qt::Key_Escape);
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(e->Button(kEntryExit)->text(), "Confirm");
    // Up from row 1 goes to Button9; keypad plus presses it.
    QTest::keyClick(e->Col2(1), Qt::Key_Up);
    ASSERT_TRUE(QTest::qWaitFor([&] { return e->Button(kEntryExit)->hasFocus(); }, 2000));
    QTest::keyClick(e->Button(kEntryExit), Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !e->isVisible() && window->isVisible(); }, 3000));
    EXPECT_EQ(entry->text(), "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return entry->hasFocus(); }, 2000)) << "the register's entry box takes the keys";
}

TEST_F(EntryWindowTest, AClientNumberInUseIsSaidOnTheForm) {
    LogIn();
    if (HasFatalFailure()) return;
    OpenFromModePage("mDept_5");
    if (HasFatalFailure()) return;
    EntryWindow* e = Entry();
    EXPECT_FALSE(e->MessageLine()->isVisible());
    e->Col2(1)->clear();
    QTest::keyClicks(e->Col2(1), "1001");  // Martin Dubois's number in the client master
    QTest::keyClicks(e->Col2(2), "Someone Else");
    QTest::mouseClick(e->Button(kEntrySaveExit), Qt::LeftButton);
    EXPECT_TRUE(e->isVisible());
    EXPECT_TRUE(e->MessageLine()->isVisible());
    EXPECT_EQ(e->MessageLine()->text(), "Client number already in use: 1001");
    EXPECT_EQ(e->Col2(2)->text(), "Someone Else");
}

// Every text of the form fits its control, and every control lies inside the
// window, on every page in both languages at the tills' screen sizes.
TEST_F(EntryWindowTest, EveryTextFitsOnEveryPageAtEveryScreenSize) {
    LogIn();
    if (HasFatalFailure()) return;
    const QSize sizes[] = {{1024, 768}, {1920, 1080}};
    for (int language : {1, 2}) {
        gSettings.gLanguage = static_cast<std::int16_t>(language);
        for (int page : {18, 19, 12, 14}) {
            OpenPage(page);
            if (HasFatalFailure()) return;
            EntryWindow* e = Entry();
            if (page == 18) QTest::keyClicks(e->Col2(2), "Marie-Eve Tremblay-Gagnon");
            for (const QSize& size : sizes) {
                SCOPED_TRACE("page " + std::to_string(page) + " language " + std::to_string(language) + " at " +
                             std::to_string(size.width()) + "x" + std::to_string(size.height()));
                e->setWindowState(Qt::WindowNoState);  // opened full screen over the register
                e->resize(size);
                QApplication::processEvents();
                ASSERT_EQ(e->size(), size);
                for (QWidget* w : e->TextControls()) {
                    if (!w->isVisibleTo(e)) continue;
                    const std::string name = w->objectName().toStdString();
                    EXPECT_TRUE(e->rect().contains(w->geometry())) << name;
                    const QFontMetrics fm(w->font());
                    if (auto* key = qobject_cast<QPushButton*>(w)) {
                        const QRect room = KeyCaptionRect(key);
                        const QRect needed =
                            fm.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, ShownCaption(key->text()));
                        EXPECT_TRUE(needed.width() <= room.width() && needed.height() <= room.height()) << name;
                    } else if (auto* label = qobject_cast<QLabel*>(w)) {
                        if (label->text().isEmpty()) continue;
                        const QRect room = label->contentsRect();
                        const QRect needed = fm.boundingRect(room, Qt::AlignLeft | Qt::TextWordWrap, label->text());
                        EXPECT_TRUE(needed.width() <= room.width() && needed.height() <= room.height())
                            << name << " \"" << label->text().toStdString() << "\" needs " << needed.width() << "x"
                            << needed.height() << ", has " << room.width() << "x" << room.height();
                    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                        const int frame = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth)
                                                           : 0;
                        const QRect room = edit->rect().adjusted(frame + 2, frame + 1, -frame - 2, -frame - 1);
                        EXPECT_LE(fm.horizontalAdvance(edit->displayText()), room.width()) << name;
                        EXPECT_LE(fm.height(), room.height()) << name;
                    }
                }
            }
            Leave();
            if (HasFatalFailure()) return;
        }
    }
}

}  // namespace
}  // namespace tarvo::ui
