// What the register's other windows offer: the search form, the entry form,
// the deposit form, the terminal-number form and a message box the cashier
// closes. The stand-in opens nothing (FormsStandIn, screen/service_stand_ins.h:
// what a register without these windows does).
#pragma once
#include <array>
#include <string>

namespace tarvo {

// How the search form opens: its mode (1 products by word, 2 clients,
// 7 vendors, 8 products by alias), the rows of its list, its eight column
// widths in percent and its font size. It lists gData.gSearchFirst..
// gSearchLast (the vendor list: every vendor).
struct SearchFormSetup {
    int mode = 0;
    int rows = 0;
    std::array<int, 8> widths{};
    int fontSize = 10;
    bool operator==(const SearchFormSetup&) const = default;
};

class FormsService {
public:
    virtual ~FormsService() = default;

    // Loads the entry form on the page of gSale.gSearchKind (18 new client,
    // 19 new product, 12 order header, 13/14 purchase header) and hides the
    // register window.
    virtual void EntryForm_Show() = 0;
    // Loads the search form over gData.gSearchFirst..gSearchLast and hides
    // the register window.
    virtual void SearchForm_Show(const SearchFormSetup& setup) = 0;
    // A message box the cashier closes (the second-copy box of the Total key,
    // the lost spooler printer); the register goes on once it is closed.
    // `title` is the box's title bar; empty gives the program's name.
    virtual void MessageBox_Show(const std::string& text, const std::string& title = "") = 0;
    // The store's deposit form, shown without blocking the register in
    // `mode` (1 add a new deposit, 2 add a new line, 3 print a deposit,
    // 4 modify a line); it hides the register window while it is open and
    // shows it again when it closes. The stand-in says "Invalid Entry".
    virtual void DepositForm_Show(int mode) = 0;
    // Loads the terminal-number form over the register (it shows itself and
    // brings the program back); true when it opened. The stand-in opens
    // nothing.
    virtual bool TerminalForm_Show() = 0;
};

}  // namespace tarvo
