// The "Communication Status" window of a session as the core keeps it: the
// Internet and server steps, the six send rows and the nine receive rows,
// each with its pictures (under way, done, failed, nothing to send), and the
// counter of the closing pause. The session reports each step here on the
// user-interface thread; a view draws it (ui/session_window in the program, a
// recording view in tests). A hidden session keeps the state but shows
// nothing.
#pragma once
#include <array>
#include <string>

namespace tarvo {

// The window's rows, in the order the window lists them.
enum class SessionRow : int {
    Internet,  // "Looking for Internet Connection"
    Server,    // "Connecting to Server"
    // The " Send " frame.
    Sales,
    Activity,
    Log,  // also the command file and the status file
    Data,
    InventoryCount,  // also the adjustments and the purchases
    NewEntries,      // the new clients, then the new products
    // The " Receive " frame.
    ProductComplete,
    ProductUpdate,
    ClientComplete,
    ClientUpdate,
    Salesman,
    Manager,
    Cashier,
    Vendor,
    Settings,
};
constexpr int kSessionRows = 17;

// What a step tells about its row.
enum class StepReport {
    Started,        // the arrow
    Passed,         // the arrow off, the check
    Failed,         // the arrow off, the cross
    NothingToSend,  // the arrow off, the nothing-to-send picture
};

// The pictures beside a row. Several can show at once: a failed Internet try
// followed by one that passed leaves the cross beside the check, and a row
// several kinds share shows each one's outcome.
struct RowPictures {
    bool arrow = false, check = false, cross = false, nothing = false;
    bool operator==(const RowPictures&) const = default;
};

// The caption of a row's label.
const char* SessionRow_Caption(SessionRow row);
// True for the rows of the " Send " frame, false for those of " Receive ".
bool SessionRow_IsSend(SessionRow row);
// The send row of an upload by its extension ("TRA" the sales row, "ADJ" the
// inventory count row ...); the data row for any other.
SessionRow SessionRow_OfUpload(const std::string& extension);

inline constexpr const char* kSessionCaption = "Communication Status";
inline constexpr const char* kSendFrameCaption = " Send ";
inline constexpr const char* kReceiveFrameCaption = " Receive ";

class SessionWindow;

class SessionView {
public:
    virtual ~SessionView() = default;
    // The window appears with its rows as `window` has them.
    virtual void Session_Show(const SessionWindow& window) = 0;
    // A row's pictures or the closing counter changed.
    virtual void Session_Update(const SessionWindow& window) = 0;
    // The session has ended: the window goes.
    virtual void Session_Hide() = 0;
};

class SessionWindow {
public:
    explicit SessionWindow(SessionView* view = nullptr) : view_(view) {}
    void SetView(SessionView* view) { view_ = view; }

    // A session begins: every picture off but the Internet step's arrow, the
    // counter empty; shown unless `hidden`.
    void Open(bool hidden);
    // A step's news about its row.
    void Report(SessionRow row, StepReport what);
    // The session has ended: the counter shows its pause ("1"), then the
    // window goes.
    void Close();

    bool Shown() const { return shown_; }
    bool InSession() const { return open_; }
    const RowPictures& Pictures(SessionRow row) const { return rows_[static_cast<std::size_t>(row)]; }
    // The counter of the closing pause; empty until the session ends.
    const std::string& Counter() const { return counter_; }

private:
    void Changed();

    SessionView* view_;
    bool open_ = false;
    bool shown_ = false;
    std::array<RowPictures, kSessionRows> rows_{};
    std::string counter_;
};

}  // namespace tarvo
