// The receipt area of the register window: the region below the entry box
// and the message line that shows one thing at a time (gReg.gReceiptAreaContent:
// 0 the receipt grid, 1 the totals panel, 2 another panel). Receipt_Show and
// Receipt_Hide bring the grid in and take it away; Variables_Set prepares the
// totals panel once at start.
#pragma once
#include <vector>

#include "screen/receipt_grid.h"

namespace tarvo {

// ---- totals panel layout, in twips ----------------------------------------------
// Rows 1..10 of Tr_Title and Tr_Amount follow each other with no gap; row 10
// holds the balance on its left (Lbl_BalanceDue, Tr_Amount 11) and the change
// on its right.
constexpr int kTotalsRows = 10;
constexpr int kTotalsRowHeight = 428;
constexpr int TotalsRowTop(int row) { return 955 + kTotalsRowHeight * (row - 1); }

// Every placed control of the totals panel: Tr_Title 1..10, Tr_Amount 1..11
// and Lbl_BalanceDue.
const std::vector<PlacedControl>& TotalsPanelLayout();

// Takes the receipt grid out of the receipt area (the cells keep their texts).
void Receipt_Hide();
// Hides every panel of the receipt area and shows the receipt grid, with the
// rows as they were (gReceiptAreaContent 0).
void Receipt_Show();
// Captions, fonts and colours of the totals panel in the user's language, and
// the card gateway's credentials; once at start, after the settings are read.
void Variables_Set();

}  // namespace tarvo
