// Dressing the register window once per run: Skin_Apply when the window
// loads (typeface and sizes of the receipt-grid and totals cells; the window
// style itself is the toolkit's), and UI_Setup after the settings are read
// (captions of the fixed keys in the user's language, with or without
// keyboard hints, the optional Extras captions, the grid titles, typefaces,
// sizes and colours of every key group, which optional keys show, the tab
// order, then the special operations).
//
// Captions may hold line breaks: a lone CR between a key's name and its
// keyboard hint or between the two lines of a page key, CR LF inside soft-key
// captions. The keypad keys are {Control::mNumeric, 1..12}.
#pragma once

namespace tarvo {

void Skin_Apply();
void UI_Setup();

}  // namespace tarvo
