#include "ui/register_window.h"

#include <QVBoxLayout>

#include "data/data_state.h"
#include "startup/settings.h"
#include "startup/settings_load.h"
#include "startup/startup_sequence.h"
#include "ui/qt_text.h"
#include "ui/startup_window.h"

namespace tarvo::ui {

RegisterWindow::RegisterWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("frmCashMain");
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setObjectName("lblSummary");
    layout->addWidget(summary_);
    resize(800, 600);
}

bool RegisterWindow::Load() {
    setWindowTitle(QString("Tarvo - %1").arg(QString::fromStdString(gTerminalNumber)));
    gData.messageBox = [this](const std::string& text) { ShowMessageBox(this, text); };
    SettingsLoad r = Register_LoadDataAndSettings();
    if (!r.ok) {
        ShowMessageBox(this, r.message);
        return false;
    }
    const Settings& s = gSettings;
    int payments = 0, departments = 0;
    for (const auto& p : s.PaymentTypes) payments += !p.Name1.empty();
    for (const auto& d : s.Departments) departments += !d.Caption1.empty();
    summary_->setText(QString("Terminal %1\n%2\n%3\nLanguage: %4\nPayment types: %5\nDepartment keys: %6\n"
                              "Products: %7\nClients: %8\nCashiers: %9")
                          .arg(QString::fromStdString(gTerminalNumber))
                          .arg(FromCore(s.gTerminalDescription))
                          .arg(FromCore(Msg(71)))
                          .arg(s.gLanguage)
                          .arg(payments)
                          .arg(departments)
                          .arg(gData.gProductCount)
                          .arg(gData.gClientCount)
                          .arg(gData.gCashierCount));
    return true;
}

}  // namespace tarvo::ui
