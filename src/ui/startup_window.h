// frmStartup: the small start-up form with its progress lines.
#pragma once
#include <QLabel>
#include <QWidget>
#include <array>
#include <string_view>

namespace tarvo::ui {

class StartupWindow : public QWidget {
    Q_OBJECT
public:
    explicit StartupWindow(QWidget* parent = nullptr);
    // Progress line 1..3; the form repaints at once so the text shows while
    // the start-up runs.
    void SetLine(int line, std::string_view cp1252Text);
    QString Line(int line) const;

private:
    std::array<QLabel*, 4> lines_{};
};

}  // namespace tarvo::ui
