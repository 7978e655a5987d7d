#include "ui/terminal_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tarvo::ui {

TerminalForm::TerminalForm(std::function<void(const QString&)> onRegister, QWidget* parent) : QDialog(parent) {
    setObjectName("frmTerminal");
    setWindowTitle("Tarvo Terminal Registration 18.03.14");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Enter Your Terminal Number", this));
    number_ = new QLineEdit(this);
    number_->setObjectName("numTerminalNumber");
    layout->addWidget(number_);
    auto* buttons = new QHBoxLayout;
    register_ = new QPushButton("Register", this);
    register_->setObjectName("btnRegisterTerminalNumber");
    register_->setDefault(true);
    exit_ = new QPushButton("Exit", this);
    exit_->setObjectName("btnExit");
    buttons->addWidget(register_);
    buttons->addWidget(exit_);
    layout->addLayout(buttons);
    connect(register_, &QPushButton::clicked, this, [this, onRegister] { onRegister(number_->text()); });
    connect(exit_, &QPushButton::clicked, this, &QDialog::reject);
}

void TerminalForm::Refocus() {
    number_->setFocus();
    number_->selectAll();
}

}  // namespace tarvo::ui
