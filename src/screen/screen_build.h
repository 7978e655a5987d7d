// Dressing the register window once per run: Skin_Apply when the window
// loads (typeface and sizes of the receipt-grid and totals cells, the grand
// total, the balance and the receipt area's panels; the window style itself
// is the toolkit's), and UI_Setup after the settings are read
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

// Sizes the window's dress chooses where nothing else sets one: the grid's
// column titles, the totals panel's amounts (as Variables_Set sets them), the
// sale's total under the grid, the timed message panel.
constexpr double kGridTitleSize = 10;
constexpr double kTotalsSize = 15;
constexpr double kGrandTotalSize = 18;
constexpr double kTimedMessageSize = 30;
// The fixed-pitch typeface of the on-screen printout.
constexpr const char* kPrintoutTypeface = "Courier New";

void Skin_Apply();
void UI_Setup();

}  // namespace tarvo
