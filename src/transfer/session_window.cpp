#include "transfer/session_window.h"

namespace tarvo {

const char* SessionRow_Caption(SessionRow row) {
    switch (row) {
    case SessionRow::Internet: return "Looking for Internet Connection";
    case SessionRow::Server: return "Connecting to Server";
    case SessionRow::Sales: return "Sales";
    case SessionRow::Activity: return "Activity";
    case SessionRow::Log: return "Log";
    case SessionRow::Data: return "Data";
    case SessionRow::InventoryCount: return "Inventory Count";
    case SessionRow::NewEntries: return "New Entries";
    case SessionRow::ProductComplete: return "Product - Complete";
    case SessionRow::ProductUpdate: return "Product - Update";
    case SessionRow::ClientComplete: return "Client - Complete";
    case SessionRow::ClientUpdate: return "Client - Update";
    case SessionRow::Salesman: return "Salesman";
    case SessionRow::Manager: return "Manager";
    case SessionRow::Cashier: return "Cashier";
    case SessionRow::Vendor: return "Vendor";
    case SessionRow::Settings: return "Settings";
    }
    return "";
}

bool SessionRow_IsSend(SessionRow row) { return row >= SessionRow::Sales && row <= SessionRow::NewEntries; }

SessionRow SessionRow_OfUpload(const std::string& extension) {
    if (extension == "TRA" || extension == "ORD") return SessionRow::Sales;
    if (extension == "ACC") return SessionRow::Activity;
    if (extension == "LOG" || extension == "CMD" || extension == "STT") return SessionRow::Log;
    if (extension == "PHY" || extension == "ADJ" || extension == "PUR") return SessionRow::InventoryCount;
    if (extension == "NWC" || extension == "NWP") return SessionRow::NewEntries;
    return SessionRow::Data;
}

void SessionWindow::Open(bool hidden) {
    open_ = true;
    rows_.fill(RowPictures{});
    rows_[static_cast<std::size_t>(SessionRow::Internet)].arrow = true;
    counter_.clear();
    shown_ = !hidden;
    if (shown_ && view_) view_->Session_Show(*this);
}

void SessionWindow::Report(SessionRow row, StepReport what) {
    const auto i = static_cast<std::size_t>(row);
    if (i >= rows_.size()) return;
    RowPictures& p = rows_[i];
    switch (what) {
    case StepReport::Started:
        p.arrow = true;
        // A receive row shows the file fetched last: two kinds share the
        // product row, and the later one's outcome is the one that counts.
        if (row >= SessionRow::ProductComplete) p.check = p.cross = false;
        break;
    case StepReport::Passed:
        p.arrow = false;
        p.check = true;
        break;
    case StepReport::Failed:
        p.arrow = false;
        p.cross = true;
        break;
    case StepReport::NothingToSend:
        p.arrow = false;
        p.nothing = true;
        break;
    }
    Changed();
}

void SessionWindow::Close() {
    if (!open_) return;
    counter_.assign(1, '1');
    Changed();
    open_ = false;
    if (shown_ && view_) view_->Session_Hide();
    shown_ = false;
}

void SessionWindow::Changed() {
    if (shown_ && view_) view_->Session_Update(*this);
}

}  // namespace tarvo
