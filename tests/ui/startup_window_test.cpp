#include "ui/startup_window.h"

#include <gtest/gtest.h>

#include "ui/qt_text.h"

namespace tarvo::ui {

TEST(StartupWindow, ShowsProgressLinesInUnicode) {
    StartupWindow w;
    w.show();
    w.SetLine(1, "Retrieving Terminal Number");
    w.SetLine(2, "Entr\xE9"
                 "e Invalide \x80");  // windows-1252 bytes from the core
    EXPECT_EQ(w.Line(1), QString("Retrieving Terminal Number"));
    EXPECT_EQ(w.Line(2), QString::fromUtf8("Entrée Invalide €"));
    EXPECT_EQ(w.objectName(), QString("frmStartup"));
}

TEST(QtText, RoundTripsEveryWindows1252Byte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(ToCore(FromCore(all)), all);
}

}  // namespace tarvo::ui
