// frmStartup: the small start-up form with its progress lines, and the view
// through which the start-up sequence (running on a worker thread) drives it.
#pragma once
#include <QLabel>
#include <QWidget>
#include <array>
#include <string_view>

#include "startup/startup_sequence.h"

namespace tarvo::ui {

class StartupWindow : public QWidget {
    Q_OBJECT
public:
    explicit StartupWindow(QWidget* parent = nullptr);
    // Progress line 0..3; the form repaints at once so the text shows while
    // the start-up runs.
    void SetLine(int line, std::string_view cp1252Text);
    QString Line(int line) const;

private:
    std::array<QLabel*, 4> lines_{};
};

// Shows a message box for the operator under `cp1252Title` (the program's
// name when empty); with TARVO_NONINTERACTIVE set (tests, unattended runs) the
// text goes to standard output instead.
void ShowMessageBox(QWidget* parent, std::string_view cp1252Text, std::string_view cp1252Title = {});
// Every message box text shown so far in this run (read by tests).
QStringList& MessageBoxesShown();

// StartupView for a window living on the GUI thread; every call is carried to
// that thread and waits for it.
class GuiStartupView : public StartupView {
public:
    explicit GuiStartupView(StartupWindow* window) : window_(window) {}
    void ProgressLine(int line, const std::string& text) override;
    void MessageBox(const std::string& text) override;

private:
    StartupWindow* window_;
};

}  // namespace tarvo::ui
