// Product entry: the product just found (gData.gProductRecNo) becomes a sale
// line, or, by the register mode and the one-shot modifiers, a price or stock
// display, a stock-count entry, a price change, a purchase line or a count
// into an order fetched from the back office. Around it: the department keys,
// the default soft-key page, the void check, the weight request of products
// sold by weight, and the product word search.
//
// Lines are refused with "Invalid Entry", the sale left as it was, when the
// sale already holds 400 lines, when an amount leaves the currency range, or
// when the quantity, list price or unit price does not fit the 9-character
// field of the saved sale line.
#pragma once

namespace tarvo {

// Adds the product of record gData.gProductRecNo by the rules of the register
// mode: a line with its quantity (gSale.gQuantity, negative for void, return
// and exchange), price (department price, manual price or the client's price
// level), tax flags and extension; a product sold by weight first asks the
// scale. Nothing is looked up here: the caller found the product.
void Product_Add();

// The scale's weight for the pending request: the line is added for the
// product that asked for it (whatever was looked up since) with the weight as
// its quantity. A weight of 0 or less ends the request with "Scale Is at
// Zero, Try Again". False when no line was added (no request pending, the
// weight refused, or the line refused).
bool Product_AddWeighed(double weight);
// What the scale's weight does: the line added as above and, when it was,
// expanded as a kit. What product entry hands the scale when it asks.
bool Product_Weighed(double weight);

// Judges the void line just added (line gSale.gItemCount): accepted
// (gCheckResult 1) when the product was sold in the sale and not voided yet;
// otherwise the line is dropped with "Void Mode Cancelled".
void Product_VerifyVoid();

// Department key `index` (0-400, key + 24 x (page - 1)): kind "P" sells its
// target product, kind "D" sells it at the price typed in the entry box.
void Department_Process(int index);

// Shows the soft-key page of setting 480 by clicking its page key.
void Department_SetDefaultKey();

// Blanks the captions of the 24 soft keys.
void Department_ClearButtons();

// The scale timer (10 s): a weight still pending with no line added since
// the request is given up with "Error: No Response from Scale".
void Scale_Timer_Timer();
// Connects Scale_Timer_Timer to the register's scale timer; once at load.
void ScaleTimer_Connect();

// Product word search on the entry box's text; the search form opens over
// the matching words.
void Aux_Product();

}  // namespace tarvo
