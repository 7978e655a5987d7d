// What the sale tells the register above it: a line added, the totals
// recomputed, a sale saved. The sale calls the one observer the register
// registered (SaleEvents(), register_context.h) and never reaches up by
// itself; the register decides what follows (the pole display, the Total
// and Payment captions, the back office's stock check). With none
// registered nothing follows (SaleObserverStandIn).
#pragma once
#include <cstdint>
#include <string>

namespace tarvo {

// What a saved sale or document leaves for the Total key to finish.
struct SaleSaveResult {
    bool saved = false;
    // The invoice record written (0 for a document other than a sale).
    std::int32_t recordNo = 0;
    // A tender of a kind that opens the cash drawer.
    bool openDrawer = false;
    // The copies to print: the receipt (with the gift receipt when every
    // sale gets one), and a second copy after the tear-off box.
    bool receipt = false;
    bool giftReceipt = false;
    bool secondCopy = false;
    // What the cashier is told: why nothing was saved, or a warning that
    // follows the printout.
    std::string message;

    explicit operator bool() const { return saved; }
};

class SaleObserver {
public:
    virtual ~SaleObserver() = default;

    // Line `line` of gSale was added (a sale or purchase line; not a stock
    // count, nor a void line that found nothing to void).
    virtual void Sale_LineAdded(int line) = 0;
    // gSale's totals were recomputed and the Total key enabled or not.
    virtual void Sale_TotalsChanged() = 0;
    // The sale was written to the invoice files as `result.recordNo`.
    virtual void Sale_Saved(const SaleSaveResult& result) = 0;
};

}  // namespace tarvo
