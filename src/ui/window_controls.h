// The two window switches the register's forms ask for: the close box of the
// title bar greyed out or given back, and a window kept above the others or
// put back among them. Neither moves nor resizes the window.
#pragma once
class QWidget;

namespace tarvo::ui {

// Result -1 when `w` is not a window (null, or a child widget), else 0; a
// close box already in the wanted state is left as it is (0 too). While the
// box is greyed every close request is refused: the form leaves by hiding.
int SetCloseButton(QWidget* w, bool enable);
void SetTopMost(QWidget* w, bool on);

}  // namespace tarvo::ui
