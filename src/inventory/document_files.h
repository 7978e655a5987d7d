// What the order, adjustment and purchase writers share: the business date
// as every document stores it, the message and log line of a document that
// was not saved, and the amount text of a header.
#pragma once
#include <string>

namespace tarvo {

// gReg.gBusinessDate cut or blank-padded to its 8 characters (the document
// writers store it so and leave it so).
const std::string& BusinessDate_Normalise();

// A document not saved: the log line (`who` and why) and the message line
// "<kind> Not Saved: <why>" for 10 seconds.
void DocumentNotSaved(const std::string& who, const std::string& kind, const std::string& why);

// True when the sale's lines fit a document (at most 400). Otherwise the
// document is not saved ("<kind> Not Saved: 401 Lines, 400 at Most" and the
// log line) and the caller writes nothing: a document never names more
// lines than it holds.
bool DocumentLines_Fit(const std::string& who, const std::string& kind);

// The time of saving, "HHmm".
std::string SavingTime();

}  // namespace tarvo
