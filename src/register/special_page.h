// The Special page (soft-key page 14): the cashier's operations outside the
// sale itself. Send to the back office now, close the card batch, log out,
// the deposit form, deposits to the safe and the bank, the drawer opened
// without a sale, cancel the sale, exchange and return modes, suspend and
// recall, the minus sign, paid out and the cash declaration.
//
// The dispatcher has already applied the key's manager flag and empties the
// entry box after the key (not after the minus sign). Mid sale (lines in the
// sale) most keys refuse with "Operation Not Allowed in Mid Sale". Some keys
// ask a manager themselves when their setting is not "0": the code typed in
// the entry box, and that manager's right (character n of the rights field
// is "1"): 1 open the drawer (500), 3 exchange and return (510), 4 cancel
// the sale (515), 6 paid out (525).
#pragma once
#include <string>

#include "config/text_tables.h"

namespace tarvo {

// The two web-page keys of the Special page (18 and 20) open pages of the
// store: their label and host come from the program folder's Tarvo.ini
// (WebKey18Label, WebKey18Host, WebKey20Label, WebKey20Host). A key without
// both, or with a host that is not a plain host name (letters, digits, "."
// and "-"), has no caption and does nothing.

// Puts the labels of the usable web-page keys on keys 18 and 20 of the
// Special page in both languages (the others stay uncaptioned); a refused
// host is logged.
void WebPageKeys_Caption(TextTables& tables);

// The address web-page key `key` opens: "https://" and the host, for key 20
// followed by ":443/Start.do?webid=1"; "" for any other key or a key that is
// not usable.
std::string WebPage_Address(int key);

// Performs the operation of Special key `key` (1..24); other keys and the
// keys without an operation do nothing.
void Special_Process(int key);

// True when manager `index` of the manager table holds right `right` (1-based).
bool Manager_HasRight(int index, int right);

}  // namespace tarvo
