// What the receipt area, totals and message panels call in subsystems built
// elsewhere (customer display, printing, cash count, sale engine, product
// entry). Stand-ins do nothing, or report failure where the caller reads an
// outcome, until the real subsystems override them.
#pragma once
#include <cstdint>
#include <string>

namespace tarvo {

class PanelServices {
public:
    virtual ~PanelServices() = default;

    // --- customer display ------------------------------------------------------
    // The two greeting lines back on the pole display.
    // Stand-in until the customer display subsystem: nothing.
    virtual void Customer_Greeting() {}
    // The newest sale line on the pole display; the outcome through DisplayError().
    // Stand-in until the customer display subsystem: nothing.
    virtual void Customer_Product() {}
    // 0 when the last customer-display operation succeeded, not 0 after a failure.
    // Stand-in until the customer display subsystem: 0 (no display, nothing failed).
    virtual std::int16_t DisplayError() const { return 0; }

    // --- printing ----------------------------------------------------------------
    // Opens the receipt output; the outcome is read through PrintStatus().
    // Stand-in until the printing subsystem: nothing (PrintStatus reports failure).
    virtual void Printer_Open() {}
    // Code 0 prints `text` on the current line; newLine 1 then ends the line,
    // 0 leaves it open for more text.
    // Stand-in until the printing subsystem: nothing.
    virtual void Printer_Line(int newLine, int code, const std::string& text) {}
    // Finishes the printout; closeHandle also releases the printer.
    // Stand-in until the printing subsystem: nothing.
    virtual void Printer_Close(bool closeHandle) {}
    // 0 when the last print operation succeeded, not 0 after an error.
    // Stand-in until the printing subsystem: 1, since nothing can be printed.
    virtual std::int16_t PrintStatus() const { return 1; }

    // --- cash office ---------------------------------------------------------------
    // Loads the cash-count form, which shows itself; true when it opened.
    // Stand-in until the cash office subsystem: false (no form to open).
    virtual bool CashCount_Open() { return false; }
    // Prints the report the Print page chose; errors show in PrintStatus().
    // Stand-in until the cash office subsystem: nothing.
    virtual void Report_Sales() {}

    // --- sale engine ---------------------------------------------------------------
    // Locks the register's keys (ordinary lock).
    // Stand-in until the sale engine: nothing.
    virtual void Buttons_Lock() {}
    // Adds the product of gData.gProductRec as the next sale line.
    // Stand-in until the sale engine: nothing (no line is added).
    virtual void Product_Add() {}
    // Recomputes the sale's totals after the lines changed.
    // Stand-in until the sale engine: nothing.
    virtual void Totals_Update() {}

    // --- product entry ---------------------------------------------------------------
    // Forgets the product a price change acts on.
    // Stand-in until the product entry subsystem: nothing.
    virtual void OnlineProduct_Clear() {}
};

}  // namespace tarvo
