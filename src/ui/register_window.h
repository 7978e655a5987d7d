// frmCashMain: the register window. For now it reads the settings at load and
// shows what it read; the full register comes with its own work.
#pragma once
#include <QLabel>
#include <QWidget>

namespace tarvo::ui {

class RegisterWindow : public QWidget {
    Q_OBJECT
public:
    explicit RegisterWindow(QWidget* parent = nullptr);
    // The load step: reads the settings. False when the program must end (the
    // message was shown).
    bool Load();
    QString Summary() const { return summary_->text(); }

private:
    QLabel* summary_;
};

}  // namespace tarvo::ui
