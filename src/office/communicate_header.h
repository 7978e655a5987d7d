// The heading of the communication log on the receipt printer.
#pragma once

namespace tarvo {

// Prints the heading a logged session's lines follow. Nothing is printed
// yet: a logged session starts without a heading.
void Communicate_Header();

}  // namespace tarvo
