// The soft keys' keyboard highlight.
#pragma once

namespace tarvo {

// Redraws the highlight: in keyboard mode (setting 285 = 1) the highlighted
// soft key's caption ends in "+", no other does.
void ShowCursor();

}  // namespace tarvo
