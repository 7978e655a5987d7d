// frmTerminal: asks for the terminal number of a register that has none.
#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

namespace tarvo::ui {

class TerminalForm : public QDialog {
    Q_OBJECT
public:
    // `onRegister` gets the typed text; the form stays open until it is done.
    explicit TerminalForm(std::function<void(const QString&)> onRegister, QWidget* parent = nullptr);
    QLineEdit* numTerminalNumber() const { return number_; }
    QPushButton* btnRegisterTerminalNumber() const { return register_; }
    QPushButton* btnExit() const { return exit_; }
    // Focus back in the box after a refused number.
    void Refocus();

private:
    QLineEdit* number_;
    QPushButton* register_;
    QPushButton* exit_;
};

}  // namespace tarvo::ui
