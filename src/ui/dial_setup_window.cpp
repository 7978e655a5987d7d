#include "ui/dial_setup_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "common/cp1252.h"
#include "config/text_tables.h"
#include "data/log.h"
#include "platform/identity_store.h"
#include "ui/qt_background_runner.h"
#include "ui/startup_window.h"

namespace tarvo::ui {

namespace {

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// A top-level window whose close box runs `onClose` instead of closing.
class SetupWindow : public QWidget {
public:
    explicit SetupWindow(std::function<void()> onClose) : onClose_(std::move(onClose)) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        if (onClose_) onClose_();
    }

private:
    std::function<void()> onClose_;
};

}  // namespace

DialSetupWindows::DialSetupWindows(std::function<void()> onEnd) : onEnd_(std::move(onEnd)) {
    dialUp_ = std::make_unique<SetupWindow>([this] {
        if (form_) form_->Exit_Click();
    });
    dialUp_->setObjectName("frmDialUp");
    dialUp_->setMinimumWidth(480);
    auto* layout = new QVBoxLayout(dialUp_.get());
    message_ = new QLabel(dialUp_.get());
    message_->setObjectName("lblMessage");
    message_->setWordWrap(true);
    message_->setMinimumHeight(message_->fontMetrics().lineSpacing() * 3);
    layout->addWidget(message_);
    devices_ = new QComboBox(dialUp_.get());
    devices_->setObjectName("cboDevices");
    devices_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    layout->addWidget(devices_);
    auto* buttons = new QHBoxLayout;
    connect_ = new QPushButton(dialUp_.get());
    connect_->setObjectName("btnBeginCommunication");
    new_ = new QPushButton(dialUp_.get());
    new_->setObjectName("btnCreateNewConnection");
    exit_ = new QPushButton(dialUp_.get());
    exit_->setObjectName("btnExit");
    for (QPushButton* b : {connect_, new_, exit_}) buttons->addWidget(b);
    layout->addLayout(buttons);
    QObject::connect(devices_, &QComboBox::currentIndexChanged, dialUp_.get(), [this](int index) {
        if (!updating_ && form_) form_->Entry_Chosen(index);
    });
    QObject::connect(connect_, &QPushButton::clicked, dialUp_.get(), [this] {
        if (form_) form_->Connect_Click();
    });
    QObject::connect(new_, &QPushButton::clicked, dialUp_.get(), [this] {
        if (form_) form_->New_Click();
    });
    QObject::connect(exit_, &QPushButton::clicked, dialUp_.get(), [this] {
        if (form_) form_->Exit_Click();
    });

    newDialUp_ = std::make_unique<SetupWindow>([this] {
        if (form_) form_->NewCancel_Click();
    });
    newDialUp_->setObjectName("frmNewDialUp");
    newDialUp_->setMinimumWidth(420);
    auto* form = new QFormLayout(newDialUp_.get());
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    nameLabel_ = new QLabel(newDialUp_.get());
    userLabel_ = new QLabel(newDialUp_.get());
    passwordLabel_ = new QLabel(newDialUp_.get());
    name_ = new QLineEdit(newDialUp_.get());
    name_->setObjectName("gDialUpName");
    user_ = new QLineEdit(newDialUp_.get());
    user_->setObjectName("gUsername");
    password_ = new QLineEdit(newDialUp_.get());
    password_->setObjectName("gPassword");
    password_->setEchoMode(QLineEdit::Password);
    form->addRow(nameLabel_, name_);
    form->addRow(userLabel_, user_);
    form->addRow(passwordLabel_, password_);
    ok_ = new QPushButton(newDialUp_.get());
    ok_->setObjectName("btnOk");
    ok_->setDefault(true);
    form->addRow(ok_);
    QObject::connect(ok_, &QPushButton::clicked, newDialUp_.get(), [this] {
        if (form_)
            form_->Ok_Click(name_->text().toStdString(), user_->text().toStdString(), password_->text().toStdString());
    });
}

DialSetupWindows::~DialSetupWindows() = default;

void DialSetupWindows::Captions(const DialSetupCaptions& c) {
    if (captions_ == &c) return;
    captions_ = &c;
    dialUp_->setWindowTitle(Text(c.title));
    connect_->setText(Text(c.connect));
    new_->setText(Text(c.newEntry));
    exit_->setText(Text(c.exit));
    newDialUp_->setWindowTitle(Text(c.newTitle));
    nameLabel_->setText(Text(c.name));
    userLabel_->setText(Text(c.user));
    passwordLabel_->setText(Text(c.password));
    ok_->setText(Text(c.ok));
}

void DialSetupWindows::Fill(const DialSetupForm& form) {
    updating_ = true;
    QStringList items;
    for (const std::string& e : form.Entries()) items << Text(e);
    QStringList shown;
    for (int i = 0; i < devices_->count(); ++i) shown << devices_->itemText(i);
    if (shown != items) {
        devices_->clear();
        devices_->addItems(items);
    }
    devices_->setPlaceholderText(Text(form.ListText()));
    devices_->setCurrentIndex(form.Chosen());
    updating_ = false;
}

void DialSetupWindows::DialSetup_Update(const DialSetupForm& form) {
    Captions(form.Captions());
    Fill(form);
    message_->setText(Text(form.Message()));
    connect_->setEnabled(form.ConnectEnabled());
    new_->setEnabled(form.NewEnabled());
    exit_->setEnabled(form.ExitEnabled());
    devices_->setEnabled(!form.Busy());
    const bool newShown = form.Window() == DialSetupForm::Shown::NewDialUp;
    if (!newShown) {
        // A new entry starts empty; the password is kept nowhere once saved.
        name_->clear();
        user_->clear();
        password_->clear();
    }
    dialUp_->setVisible(form.Window() == DialSetupForm::Shown::DialUp);
    newDialUp_->setVisible(newShown);
    if (newShown) name_->setFocus();
}

void DialSetupWindows::DialSetup_Box(const std::string& title, const std::string& text) {
    QWidget* parent = newDialUp_->isVisible() ? newDialUp_.get() : dialUp_.get();
    ShowMessageBox(parent, Utf8ToCp1252(text), Utf8ToCp1252(title));
}

void DialSetupWindows::DialSetup_End() {
    password_->clear();
    if (onEnd_) onEnd_();
}

std::vector<QWidget*> DialSetupWindows::TextControls() const {
    return {message_, connect_, new_, exit_, nameLabel_, userLabel_, passwordLabel_, ok_};
}

int RunDialSetup(const std::string& programFolder) {
    IdentityStore identity(programFolder);
    identity.Load();
    const std::string terminal = identity.TerminalNumber();
    // The register's log, when this folder has a terminal.
    if (!terminal.empty()) Log_Open(programFolder + "/Files/" + terminal + ".LOG");
    if (std::string notice = identity.TakeNotice(); !notice.empty()) ProgramLog().Write(1, notice);

    TextTables tables;
    FillTextTables(tables);
    QtBackgroundRunner runner;
    DialSetupSetup setup;
    setup.programFolder = programFolder;
    setup.commands.connect = identity.Get("DialCommand");
    setup.commands.hangUp = identity.Get("HangUpCommand");
    setup.commands.passwordFolder = programFolder + "/Files";
    if (const std::string url = identity.Get("InternetCheckUrl"); !url.empty()) setup.internet.url = url;
    setup.runner = &runner;
    setup.tables = &tables;
    setup.language = DialSetup_Language(programFolder, terminal);

    DialSetupWindows windows([] { QApplication::exit(0); });
    DialSetupForm form(windows, setup);
    windows.SetForm(&form);
    form.Load();
    const int code = QApplication::exec();
    ProgramLog().Close();
    return code;
}

}  // namespace tarvo::ui
