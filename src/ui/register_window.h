// frmCashMain: the register window. It builds a widget for every control of
// the screen model, lays them out (the receipt area at its designed places),
// redraws a control whenever the model says it changed, and hands the
// cashier's clicks, keys, typing and touches to the register through
// RegisterInput. It also backs the register's timers.
#pragma once
#include <QPointer>
#include <QWidget>
#include <map>
#include <string>

#include "screen/screen_model.h"
#include "ui/fonts.h"
#include "ui/qt_timers.h"
#include "ui/register_input.h"
#include "ui/register_layout.h"

class QKeyEvent;
class QLabel;

namespace tarvo::ui {

class RegisterWindow : public QWidget, public ScreenListener {
    Q_OBJECT
public:
    // The window listens to `screen` for as long as it lives and shows at
    // once what the model already holds.
    explicit RegisterWindow(ScreenModel& screen, QWidget* parent = nullptr);
    ~RegisterWindow() override;

    // The load step: reads the data and the settings. False when the program
    // must end (the message was shown).
    bool Load();
    // What the load found (terminal, store, counts of what was loaded), as
    // written to the program log.
    QString Summary() const;

    void SetInput(RegisterInput input) { input_ = std::move(input); }
    RegisterInput& Input() { return input_; }
    QtTimers& RegisterTimers() { return *timers_; }

    // The widget of a control, null for a name the window does not have.
    QWidget* Control(const ControlId& id) const;
    QWidget* ReceiptArea() const { return receipt_; }
    // The strip along the top that shows the window title while the window
    // fills the screen (no title bar then); hidden in a window.
    QLabel* TitleStrip() const { return titleStrip_; }

    // ScreenListener
    void ControlChanged(const ControlId& id, const ControlState& state) override;
    void FocusChanged(const ControlId& id) override;
    void TitleChanged(const std::string& title) override;
    void MessageBox(const std::string& text) override;
    bool Question(const std::string& text) override;
    std::string InputBox(const std::string& text) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Entry {
        const ControlDef* def = nullptr;
        QWidget* widget = nullptr;
        ControlState applied;  // what the widget shows
        QFont designed;        // the model's font at the window's scale
        bool fresh = true;     // nothing applied yet
    };

    void Build();
    QWidget* MakeWidget(const ControlDef& def, QWidget* parent);
    void Relayout();
    // The title strip shows the window title, its font at the layout's scale.
    void FitTitleStrip(double scale);
    // The widget's font: the designed one, smaller when its text needs it.
    void Fit(Entry& entry);
    void Apply(Entry& entry, const ControlState& state);
    void ApplyTabOrder();
    void EditedByCashier(const ControlId& id, const std::string& text);
    bool PreviewKey(QWidget* target, QKeyEvent* event);
    Entry* Find(const ControlId& id);

    ScreenModel& screen_;
    RegisterInput input_;
    QtTimers* timers_;
    QWidget* receipt_ = nullptr;
    QLabel* titleStrip_ = nullptr;  // the window title, while the window fills the screen
    QString summary_;
    double scale_ = 1;  // of the layout and the fonts
    std::map<ControlId, Entry> entries_;
    std::map<const QObject*, ControlId> ids_;
    bool applying_ = false;  // the window itself is changing a widget
    bool tabOrderDirty_ = false;
    int redelivering_ = 0;  // a key event is on its way to its widget
};

}  // namespace tarvo::ui
