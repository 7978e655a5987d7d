// The dial-up set-up's two small windows (frmDialUp, frmNewDialUp): thin
// windows over the core's DialSetupForm. They draw its state and hand the
// clicks back; the close box of frmDialUp is its Exit, that of frmNewDialUp
// goes back without keeping anything.
#pragma once
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "transfer/dial_setup.h"

namespace tarvo::ui {

class DialSetupWindows : public DialSetupView {
public:
    // `onEnd` runs when the user leaves with Exit.
    explicit DialSetupWindows(std::function<void()> onEnd);
    ~DialSetupWindows() override;
    DialSetupWindows(const DialSetupWindows&) = delete;
    DialSetupWindows& operator=(const DialSetupWindows&) = delete;

    // The form whose clicks the windows hand on (set before its Load).
    void SetForm(DialSetupForm* form) { form_ = form; }

    void DialSetup_Update(const DialSetupForm& form) override;
    void DialSetup_Box(const std::string& title, const std::string& text) override;
    void DialSetup_End() override;

    QWidget* FrmDialUp() const { return dialUp_.get(); }
    QWidget* FrmNewDialUp() const { return newDialUp_.get(); }
    QComboBox* CboDevices() const { return devices_; }
    QLabel* LblMessage() const { return message_; }
    QPushButton* BtnConnect() const { return connect_; }
    QPushButton* BtnNew() const { return new_; }
    QPushButton* BtnExit() const { return exit_; }
    QLineEdit* DialUpName() const { return name_; }
    QLineEdit* Username() const { return user_; }
    QLineEdit* Password() const { return password_; }
    QPushButton* BtnOk() const { return ok_; }
    // Every control that shows a text, for the checks that it fits.
    std::vector<QWidget*> TextControls() const;

private:
    void Captions(const DialSetupCaptions& c);
    void Fill(const DialSetupForm& form);

    std::function<void()> onEnd_;
    DialSetupForm* form_ = nullptr;
    std::unique_ptr<QWidget> dialUp_;
    std::unique_ptr<QWidget> newDialUp_;
    QComboBox* devices_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* connect_ = nullptr;
    QPushButton* new_ = nullptr;
    QPushButton* exit_ = nullptr;
    QLabel* nameLabel_ = nullptr;
    QLabel* userLabel_ = nullptr;
    QLabel* passwordLabel_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QPushButton* ok_ = nullptr;
    const DialSetupCaptions* captions_ = nullptr;
    bool updating_ = false;
};

// `tarvo --dial-setup`: the dial-up set-up on the program folder, with this
// machine's dial commands and Internet check of Tarvo.ini and the register's
// language; runs until its Exit and returns the program's exit code.
int RunDialSetup(const std::string& programFolder);

}  // namespace tarvo::ui
