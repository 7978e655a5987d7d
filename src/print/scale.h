// The serial scale: products sold by weight are weighed on a scale on the
// serial port of setting 481 (gSettings.gScalePort, COM1..COM6 through
// ports.map, see print/devices.h), at 9600 baud, even parity, 7 data bits,
// 1 stop bit, no handshaking, RTS off.
//
// The exchange: product entry records the pending request (gSale
// gScaleProductRecNo, gScaleRequestCount) and calls Scale_Open, which opens
// the port, sends "W" CR, shows "Requesting Weight from Scale" and starts the
// 10-second scale timer. The reply is read as it comes, without blocking the
// window (the port is watched through Reg().ioWatch), and is judged once 9
// characters have arrived: the weight is the number at the start of
// characters 2 to 7 (blanks, tabs and line feeds among them ignored, "." as
// the decimal point). A scale answering "\n001.25LB\r" weighs 1.25.
//
// Outcomes, each ending with the port closed and no request pending:
// - a weight above 0: "Weight 1.25" on the message line and the line added
//   by whoever asked (product entry's Product_Weighed: the line of the
//   product that asked, kits expanded);
// - a weight of 0 or less, or no number: "Scale Is at Zero, Try Again";
// - a reply while no request is pending for the sale as it is now (a line
//   was added meanwhile, a new sale started, the register mode changed):
//   "Scale Input Ignored, Timeout", nothing added;
// - no full reply within 10 seconds: the scale timer's
//   "Error: No Response from Scale" (sale/product_entry.h);
// - a port that cannot be opened: "Unable to Open Scale Communication Port"
//   on the message line and in the timed panel, a log line, the request
//   dropped so the sale goes on as before.
#pragma once
#include <functional>

namespace tarvo {

// Opens the scale port (closing it first when open), sends the weight
// request and starts the scale timer. The weight read goes to `weighed`
// (true when a line came of it). Called by product entry through
// DeviceService::Scale_Open.
void Scale_Open(std::function<bool(double weight)> weighed);

// Closes the scale port when it is open and forgets what it received.
// Called by the scale timer through DeviceService::Scale_Close.
void Scale_Close();

// The scale port's receive handler: takes what has arrived and, once the
// reply is complete, judges it. Run by the port's watch.
void ScaleComm_OnComm();

// Whether the scale port is open (a request is being answered).
bool Scale_PortOpen();

}  // namespace tarvo
