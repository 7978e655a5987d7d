// The deposit form's window (KQ_Frm): a thin window over the core's
// DepositForm. It draws the form's fields, message line and locked buttons,
// and hands the manager's typing, keys and clicks back. It takes the
// register's place (the whole screen, or the register's window size with
// --windowed) and scales its design (1024 x 768); a text that does not fit
// its control is drawn smaller (ui/text_fit).
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <vector>

#include "online/deposit_form.h"

namespace tarvo::ui {

class DepositWindow : public QWidget, public DepositView {
    Q_OBJECT
public:
    explicit DepositWindow(QWidget* parent = nullptr);

    void Deposit_Show(DepositForm& form) override;
    void Deposit_Update(const DepositForm& form) override;
    void Deposit_Box(const std::string& title, const std::string& text) override;
    void Deposit_Hide() override;
    void SetFillsScreen(bool fills) { fillsScreen_ = fills; }

    // The text box of a field (record, number, date, amount, line).
    QLineEdit* Box(DepositField field) const;
    QComboBox* Cmb_Rev() const { return revenue_; }
    QCheckBox* Chk_Cash() const { return cash_; }
    QCheckBox* Chk_Print() const { return print_; }
    QLabel* Lbl_Msg() const { return message_; }
    QLabel* Lbl_Title() const { return title_; }
    QPushButton* Cmd_Save() const { return save_; }
    QPushButton* Cmd_Cancel() const { return cancel_; }
    // Every control that shows a text, for the checks that it fits.
    const std::vector<QWidget*>& TextControls() const { return texts_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    template <class W>
    W* Add(W* w, const QFont& designed, bool text = true);
    void Fit(QWidget* w);
    void Relayout();
    void Captions(int language);
    DepositField FieldOf(const QObject* w) const;

    DepositForm* form_ = nullptr;
    std::array<QLineEdit*, kDepositFieldCount> boxes_{};
    std::array<QLabel*, kDepositTextCount> captions_{};
    QLabel* title_ = nullptr;
    QLabel* message_ = nullptr;
    QComboBox* revenue_ = nullptr;
    QCheckBox* cash_ = nullptr;
    QCheckBox* print_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::vector<QWidget*> texts_;
    QHash<QWidget*, QFont> designed_;
    QHash<QWidget*, QRect> design_;
    double scale_ = 1;
    bool fillsScreen_ = false;
    bool updating_ = false;
};

}  // namespace tarvo::ui
