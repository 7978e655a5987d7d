// Program-wide values of communication sessions and dial-up.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace tarvo {

// What a communication session is asked to do (gOperationMode).
enum CommMode : std::int16_t {
    kCommFull = 0,
    kCommLog = 1,      // the program log
    kCommAllData = 2,  // every data file
    kCommResendAll = 3,
    kCommCommandFile = 4,  // the command file
    kCommDownloadOnly = 9,
};

struct CommState {
    std::int16_t gOperationMode = kCommFull;
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
    virtual std::int16_t Run(std::int16_t mode, bool hidden) = 0;
    // Starts one session of `mode`; `done` gets gCommResult on the
    // user-interface thread once it has ended. A session that waits in the
    // background returns at once; this one runs whole first.
    virtual void Start(std::int16_t mode, bool hidden, std::function<void(std::int16_t)> done) {
        done(Run(mode, hidden));
    }
};

class NoCommunicationSession : public CommunicationSession {
public:
    std::int16_t Run(std::int16_t, bool) override { return 0; }
};

}  // namespace tarvo
