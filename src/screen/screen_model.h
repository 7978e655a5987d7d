// The register window as the core sees it: every control's state, by name
// and index ({Control::mDept, 5}). The core writes here; the window (Qt)
// listens for changes and redraws that control, and forwards what the
// operator types back through SetTextFromView. Tests read the model as the cashier would
// see the screen.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "screen/control_table.h"

namespace tarvo {

struct Font {
    std::string name = "Cambria";
    double size = 10;  // points; the designed sizes include halves (9.5)
    bool bold = false;
    bool underline = false;
    bool operator==(const Font&) const = default;
};

// A piece of a box's text by its line (0 the first) and columns.
struct TextSpan {
    int line = 0;
    int column = 0;
    int length = 0;
    bool operator==(const TextSpan&) const = default;
};

// Colours are windows RGB numbers: red in the low byte.
struct ControlState {
    std::string caption;  // buttons and labels (windows-1252, may hold CR/LF)
    std::string text;     // edit boxes
    bool visible = true;
    bool enabled = true;
    std::uint32_t backColour = 0xFFFFFF;
    std::uint32_t foreColour = 0;
    Font font;
    char passwordChar = 0;  // 0: text shown as it is
    int maxLength = 0;      // 0: no limit
    bool readOnly = false;
    bool tabStop = false;
    int tabIndex = 0;
    int selStart = 0;  // caret position in an edit box
    // The on-screen printout: the pieces of the text drawn double width (a
    // title, double width on paper). A text set anew has none.
    std::vector<TextSpan> wide;
};

class ScreenListener {
public:
    virtual ~ScreenListener() = default;
    virtual void ControlChanged(const ControlId& id, const ControlState& state) = 0;
    virtual void FocusChanged(const ControlId& id) = 0;
    virtual void TitleChanged(const std::string& title) = 0;
    // A message box the operator must close (the core goes on afterwards).
    virtual void MessageBox(const std::string& text) = 0;
    // A yes/no question the operator answers before the core goes on; true
    // for yes. Without a window to ask in, the answer is no.
    virtual bool Question(const std::string& text) { return false; }
    // A line the operator types in answer to `text` before the core goes on;
    // empty when nothing was typed or the box was closed.
    virtual std::string InputBox(const std::string& text) { return ""; }
};

class ScreenModel {
public:
    void SetListener(ScreenListener* l) { listener_ = l; }

    const ControlState& State(const ControlId& id) const;
    // Convenience readers.
    const std::string& Caption(const ControlId& id) const { return State(id).caption; }
    const std::string& Text(const ControlId& id) const { return State(id).text; }
    bool Visible(const ControlId& id) const { return State(id).visible; }
    bool Enabled(const ControlId& id) const { return State(id).enabled; }

    void SetCaption(const ControlId& id, const std::string& caption);
    void SetText(const ControlId& id, const std::string& text);
    // Adds `piece` at the end of the text: one change, whatever the text holds.
    void AppendText(const ControlId& id, const std::string& piece);
    // Marks a piece of the text to be drawn double width.
    void AddWideSpan(const ControlId& id, const TextSpan& span);
    void SetVisible(const ControlId& id, bool visible);
    void SetEnabled(const ControlId& id, bool enabled);
    // Panels are shown visible and enabled together, hidden both off.
    void Show(const ControlId& id, bool on);
    void SetBackColour(const ControlId& id, std::uint32_t rgb);
    void SetForeColour(const ControlId& id, std::uint32_t rgb);
    void SetFont(const ControlId& id, const Font& font);
    void SetFontSize(const ControlId& id, double size);
    void SetBold(const ControlId& id, bool bold);
    void SetPasswordChar(const ControlId& id, char c);
    void SetMaxLength(const ControlId& id, int n);
    void SetReadOnly(const ControlId& id, bool ro);
    void SetTab(const ControlId& id, bool stop, int index);
    void SetSelStart(const ControlId& id, int pos);

    // The window's text edits reach the model without echo.
    void SetTextFromView(const ControlId& id, const std::string& text);

    void SetFocus(const ControlId& id);
    const ControlId& Focus() const { return focus_; }
    void SetTitle(const std::string& title);
    const std::string& Title() const { return title_; }
    void MessageBox(const std::string& text);
    // Every message box shown (tests read it).
    const std::vector<std::string>& MessageBoxes() const { return boxes_; }
    // Asks the listener; no (false) without one.
    bool Question(const std::string& text);
    // Every question asked (tests read it).
    const std::vector<std::string>& Questions() const { return questions_; }
    // Asks the listener for a line; empty without one.
    std::string InputBox(const std::string& text);
    // Every input box shown (tests read it).
    const std::vector<std::string>& InputBoxes() const { return inputs_; }

private:
    ControlState& Mut(const ControlId& id) { return controls_[id]; }
    void Changed(const ControlId& id);

    std::map<ControlId, ControlState> controls_;
    ControlId focus_;
    std::string title_;
    std::vector<std::string> boxes_;
    std::vector<std::string> questions_;
    std::vector<std::string> inputs_;
    ScreenListener* listener_ = nullptr;
};

}  // namespace tarvo
