// Program-wide values of communication sessions and dial-up.
#pragma once
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

namespace tarvo {

// What a communication session is asked to do (gOperationMode); the
// documented numbers are the values.
enum class CommMode : std::int16_t {
    Full = 0,          // the new records up, then the downloads
    Log = 1,           // the program log
    AllData = 2,       // every data file
    ResendAll = 3,     // the upload files rebuilt from every record
    CommandFile = 4,   // the command file
    DownloadOnly = 9,  // the downloads alone (the first start)
};

// Writes the mode's documented number.
std::ostream& operator<<(std::ostream& out, CommMode mode);

struct CommState {
    CommMode gOperationMode = CommMode::Full;
    bool gInternetAvailable = false;
    bool gCommHidden = false;       // False: the session form is shown
    std::int16_t gCommResult = 0;   // 0 after a successful session
    bool gProductsUpdated = false;  // product or client files arrived
    bool gCommLog = false;          // the session prints its steps (the communication log)
    std::string gDialEntry, gDialUser, gDialPassword;
};

extern CommState gComm;

// One communication session with the back office. Subsystem 9 provides the
// real one; until then the session delivers nothing.
class CommunicationSession {
public:
    virtual ~CommunicationSession() = default;
    // Runs one whole session of `mode`; returns gCommResult (0 = success).
    virtual std::int16_t Run(CommMode mode, bool hidden) = 0;
    // Starts one session of `mode`; `done` gets gCommResult on the
    // user-interface thread once it has ended. A session that waits in the
    // background returns at once; this one runs whole first.
    virtual void Start(CommMode mode, bool hidden, std::function<void(std::int16_t)> done) { done(Run(mode, hidden)); }
};

class NoCommunicationSession : public CommunicationSession {
public:
    std::int16_t Run(CommMode, bool) override { return 0; }
};

}  // namespace tarvo
