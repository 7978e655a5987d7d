#include "screen/soft_keys.h"

#include <string>

#include "config/settings.h"
#include "screen/controls.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

void ShowCursor() {
    if (gSettings.gKeyboardHints != 1) return;
    ScreenModel& s = Screen();
    for (int k = 1; k <= 24; ++k) {
        const ControlId key = SoftKey(k);
        Font f = s.State(key).font;
        f.bold = false;
        f.underline = false;
        s.SetFont(key, f);
        std::string caption = s.Caption(key);
        if (!caption.empty() && caption.back() == '+') {
            caption.pop_back();
            s.SetCaption(key, caption);
        }
    }
    const int h = gReg.gHighlightKey;
    if (h >= 1 && h <= 24) s.SetCaption(SoftKey(h), s.Caption(SoftKey(h)) + "+");
}

}  // namespace tarvo
