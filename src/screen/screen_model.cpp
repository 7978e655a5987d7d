#include "screen/screen_model.h"

namespace tarvo {

const ControlState& ScreenModel::State(const ControlId& id) const {
    static const ControlState kDefault;
    auto it = controls_.find(id);
    return it == controls_.end() ? kDefault : it->second;
}

void ScreenModel::Changed(const ControlId& id) {
    if (listener_) listener_->ControlChanged(id, controls_[id]);
}

#define TARVO_SETTER(Name, Field, Type)                       \
    void ScreenModel::Name(const ControlId& id, Type value) { \
        ControlState& s = Mut(id);                            \
        if (s.Field == value) return;                         \
        s.Field = value;                                      \
        Changed(id);                                          \
    }
TARVO_SETTER(SetCaption, caption, const std::string&)
TARVO_SETTER(SetVisible, visible, bool)
TARVO_SETTER(SetEnabled, enabled, bool)
TARVO_SETTER(SetBackColour, backColour, std::uint32_t)
TARVO_SETTER(SetForeColour, foreColour, std::uint32_t)
TARVO_SETTER(SetFont, font, const Font&)
TARVO_SETTER(SetPasswordChar, passwordChar, char)
TARVO_SETTER(SetMaxLength, maxLength, int)
TARVO_SETTER(SetReadOnly, readOnly, bool)
TARVO_SETTER(SetSelStart, selStart, int)
#undef TARVO_SETTER

void ScreenModel::SetText(const ControlId& id, const std::string& text) {
    ControlState& s = Mut(id);
    if (s.text == text && s.wide.empty()) return;
    s.text = text;
    s.wide.clear();
    Changed(id);
}

void ScreenModel::AppendText(const ControlId& id, const std::string& piece) {
    if (piece.empty()) return;
    Mut(id).text += piece;
    Changed(id);
}

void ScreenModel::AddWideSpan(const ControlId& id, const TextSpan& span) {
    if (span.length <= 0) return;
    Mut(id).wide.push_back(span);
    Changed(id);
}

void ScreenModel::Show(const ControlId& id, bool on) {
    ControlState& s = Mut(id);
    if (s.visible == on && s.enabled == on) return;
    s.visible = on;
    s.enabled = on;
    Changed(id);
}

void ScreenModel::SetFontSize(const ControlId& id, double size) {
    Font f = State(id).font;
    f.size = size;
    SetFont(id, f);
}

void ScreenModel::SetBold(const ControlId& id, bool bold) {
    Font f = State(id).font;
    f.bold = bold;
    SetFont(id, f);
}

void ScreenModel::SetTab(const ControlId& id, bool stop, int index) {
    ControlState& s = Mut(id);
    if (s.tabStop == stop && s.tabIndex == index) return;
    s.tabStop = stop;
    s.tabIndex = index;
    Changed(id);
}

void ScreenModel::SetTextFromView(const ControlId& id, const std::string& text) { Mut(id).text = text; }

void ScreenModel::SetFocus(const ControlId& id) {
    focus_ = id;
    if (listener_) listener_->FocusChanged(id);
}

void ScreenModel::SetTitle(const std::string& title) {
    title_ = title;
    if (listener_) listener_->TitleChanged(title);
}

void ScreenModel::MessageBox(const std::string& text) {
    boxes_.push_back(text);
    if (listener_) listener_->MessageBox(text);
}

bool ScreenModel::Question(const std::string& text) {
    questions_.push_back(text);
    return listener_ && listener_->Question(text);
}

std::string ScreenModel::InputBox(const std::string& text) {
    inputs_.push_back(text);
    return listener_ ? listener_->InputBox(text) : std::string();
}

}  // namespace tarvo
