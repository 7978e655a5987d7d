// FrmSummary: the cash count form. A thin window over the core's
// CashCountForm: it draws the form's state and hands the cashier's clicks
// and keys back. It fills the screen in the register's place and scales its
// design (1024 x 768) with the window as the register does; a caption or
// amount that does not fit its control is drawn smaller (ui/text_fit).
#pragma once
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <vector>

#include "office/cash_count.h"

namespace tarvo::ui {

class CashCountWindow : public QWidget, public CashCountView {
    Q_OBJECT
public:
    explicit CashCountWindow(QWidget* parent = nullptr);

    void CashCount_Show(CashCountForm& form) override;
    void CashCount_Update(const CashCountForm& form) override;
    void CashCount_Hide() override;
    // Opened over the whole screen (the program) or as a window of its
    // designed size (--windowed).
    void SetFillsScreen(bool fills) { fillsScreen_ = fills; }
    // The scale of the layout and fonts against the design.
    double Scale() const { return scale_; }

    QPushButton* cmd_Cash(int i) const { return cash_.at(static_cast<std::size_t>(i)); }
    QLineEdit* txt_Cash(int i) const { return quantity_.at(static_cast<std::size_t>(i)); }
    QPushButton* cmd_NumberPad(int k) const { return pad_.at(static_cast<std::size_t>(k)); }
    QLineEdit* txt_Summary(int i) const { return summary_.at(static_cast<std::size_t>(i)); }
    QLabel* Label(int i) const { return labels_.at(static_cast<std::size_t>(i)); }
    QLineEdit* txt_DailyTotal() const { return total_; }
    QPushButton* Cmd_Print() const { return print_; }
    QPushButton* cmd_Abort() const { return abort_; }
    QPushButton* Cmd_Erase() const { return erase_; }
    // Every control that shows a text, for the checks that it fits.
    const std::vector<QWidget*>& TextControls() const { return texts_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    template <class W>
    W* Add(W* w, const QFont& designed);
    void Fit(QWidget* w);
    void Relayout();
    void BuildCashRows(const QColor& payment, const QFont& plain, const QFont& boxFont);
    void BuildNumberPad(const QColor& keypad);
    void BuildCommands(const QColor& keypad);
    void BuildSummary(const QFont& plain, const QFont& boxFont);
    int IndexOf(const QLineEdit* box, bool& summary) const;

    CashCountForm* form_ = nullptr;
    std::array<QPushButton*, kCashDenominations> cash_{};
    std::array<QLineEdit*, kCashDenominations> quantity_{};
    std::array<QPushButton*, kCashNumberPadKeys> pad_{};
    std::array<QLineEdit*, kCashSummaryBoxes> summary_{};
    std::array<QLabel*, kCashSummaryBoxes> labels_{};
    QLineEdit* total_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* abort_ = nullptr;
    QPushButton* erase_ = nullptr;
    std::vector<QWidget*> texts_;
    QHash<QWidget*, QFont> designed_;
    QHash<QWidget*, QRect> design_;  // at the designed size
    double scale_ = 1;
    bool fillsScreen_ = false;
};

}  // namespace tarvo::ui
