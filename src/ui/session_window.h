// frmCommunication: the "Communication Status" window drawn from the core's
// SessionWindow. The session's network steps wait on the register's runner,
// so this window repaints while they run; it only draws what the core
// reports. It stays on top of the register, cannot be closed by hand, and
// after the session stays up for a short pause so its last pictures can be
// read.
#pragma once
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>
#include <array>

#include "transfer/session_window.h"

namespace tarvo::ui {

class QtSessionWindow : public QDialog, public SessionView {
    Q_OBJECT
public:
    explicit QtSessionWindow(QWidget* parent = nullptr);

    void Session_Show(const SessionWindow& window) override;
    void Session_Update(const SessionWindow& window) override;
    void Session_Hide() override;

    // How long the window stays once its session has ended.
    void SetClosingPauseMs(int ms) { pauseMs_ = ms; }

    // The label of a row and its pictures (for tests and the fit check).
    QLabel* Label(SessionRow row) const { return rows_[Index(row)].label; }
    QLabel* Picture(SessionRow row, int which) const;  // 0 arrow, 1 check, 2 cross, 3 nothing
    QLabel* Lbl_Timer() const { return timer_; }
    QGroupBox* SendFrame() const { return send_; }
    QGroupBox* ReceiveFrame() const { return receive_; }
    // Every control that shows a text.
    std::vector<QWidget*> TextControls() const;

private:
    struct Row {
        QLabel* label = nullptr;
        std::array<QLabel*, 4> pictures{};
    };
    static std::size_t Index(SessionRow row) { return static_cast<std::size_t>(row); }
    void Draw(const SessionWindow& window);

    std::array<Row, kSessionRows> rows_{};
    QLabel* third_ = nullptr;  // the empty third step label
    QGroupBox* send_ = nullptr;
    QGroupBox* receive_ = nullptr;
    QLabel* timer_ = nullptr;
    QTimer pause_;
    int pauseMs_ = 1500;
};

}  // namespace tarvo::ui
