// FrmNew: the entry form's window. A thin window over the core's EntryForm:
// it builds the rows of the page loaded (caption, entry box, help line), the
// four buttons and the message line, draws the form's state, and hands every
// key (before the control that has the focus), click and typed text back.
// The form's twips become pixels at 15 to the pixel, scaled with the window;
// a text that does not fit its control is drawn smaller (ui/text_fit).
#pragma once
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <vector>

#include "forms/entry_form.h"

namespace tarvo::ui {

class EntryWindow : public QWidget, public EntryView {
    Q_OBJECT
public:
    explicit EntryWindow(QWidget* parent = nullptr);

    void Entry_Show(EntryForm& form) override;
    void Entry_Update(const EntryForm& form) override;
    void Entry_Hide() override;

    // Row i (from 1) of the page loaded: caption, entry box, help line.
    QLabel* Col1(int i) const { return col1_.at(static_cast<std::size_t>(i)); }
    QLineEdit* Col2(int i) const { return col2_.at(static_cast<std::size_t>(i)); }
    QLabel* Col3(int i) const { return col3_.at(static_cast<std::size_t>(i)); }
    int Rows() const { return static_cast<int>(col2_.size()) - 1; }
    // The buttons by their place after the rows: 1 Button7, 2 Button6,
    // 3 Button8, 4 Button9.
    QPushButton* Button(int k) const { return buttons_.at(static_cast<std::size_t>(k)); }
    QLabel* MessageLine() const { return message_; }
    // Every control that shows a text, for the checks that it fits.
    std::vector<QWidget*> TextControls() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Build(const EntryForm& form);
    void Relayout();
    void Fit(QWidget* w);
    QRect Pixels(const FormRect& r) const;
    int RowOf(const QObject* w) const;
    int ButtonOf(const QObject* w) const;
    template <class W>
    W* Watch(W* w, const char* name, int index);

    EntryForm* form_ = nullptr;
    std::vector<QLabel*> col1_{nullptr}, col3_{nullptr};
    std::vector<QLineEdit*> col2_{nullptr};
    std::array<QPushButton*, kEntryButtons + 1> buttons_{};
    QLabel* message_ = nullptr;
    int fontSize_ = 13;
    double scale_ = 1;
    QHash<QWidget*, QFont> designed_;
};

}  // namespace tarvo::ui
