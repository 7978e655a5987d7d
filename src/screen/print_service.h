// What printing offers through Printing(): the receipt output line by line
// (the sale below it, and the register's printer test and screen printout),
// the end of the print-to-screen mode and the stock count's item ticket.
// Stand-ins print nothing and report failure where the caller reads an
// outcome; the print folder implements the real ones.
#pragma once
#include <cstdint>
#include <string>

#include "config/register_mode.h"

namespace tarvo {

class PrintService {
public:
    virtual ~PrintService() = default;

    // Opens the receipt output; the outcome is read through PrintStatus().
    virtual void Printer_Open() = 0;
    // Code 0 prints `text` on the current line; newLine 1 then ends the line,
    // 0 leaves it open for more text.
    virtual void Printer_Line(int newLine, int code, const std::string& text) = 0;
    // Finishes the printout; closeHandle also releases the printer.
    virtual void Printer_Close(bool closeHandle) = 0;
    // 0 when the last print operation succeeded, not 0 after an error. The
    // stand-in: 1, since nothing can be printed.
    virtual std::int16_t PrintStatus() const = 0;
    // Ends the print-to-screen mode: the next printout goes to the printer
    // (unless this register prints on its screen).
    virtual void PrintToScreen_End() = 0;

    // Prints the counted item of the stock count (line 1 of the sale) and
    // keeps the printer open for the next one.
    virtual void Item_PrintLine() = 0;
};

}  // namespace tarvo
