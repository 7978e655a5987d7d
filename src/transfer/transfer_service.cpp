#include "transfer/transfer_service.h"

#include <string>

#include "data/log.h"
#include "screen/register_context.h"

namespace tarvo {

namespace {
DialValues DialValuesOf(const CommState& c) { return {c.gDialEntry, c.gDialUser, c.gDialPassword}; }
}  // namespace

std::int16_t SessionTransfer::Session_Run(std::int16_t mode, bool hidden) {
    return session ? session->Run(mode, hidden) : 0;
}

void SessionTransfer::Session_Start(std::int16_t mode, bool hidden, std::function<void(std::int16_t)> done) {
    if (session)
        session->Start(mode, hidden, std::move(done));
    else
        done(0);
}

bool SessionTransfer::Internet_Check() { return tarvo::Internet_Check(Internet()); }

int SessionTransfer::ReadDialSettings() {
    DialValues v;
    std::string why;
    const int result = tarvo::ReadDialSettings(Reg().programFolder, v, &why);
    if (result != 1) {
        ProgramLog().Write(1, "Dial-up: " + why);
        return result;
    }
    gComm.gDialEntry = v.entry;
    gComm.gDialUser = v.user;
    gComm.gDialPassword = v.password;
    return 1;
}

int SessionTransfer::RasDialConnect() {
    const InternetCheckConfig check = Internet();
    return tarvo::RasDialConnect(Dial(), DialValuesOf(gComm),
                                 [&] { return gComm.gInternetAvailable = tarvo::Internet_Check(check); });
}

void SessionTransfer::RasDialHangUp() { tarvo::RasDialHangUp(Dial(), DialValuesOf(gComm)); }

}  // namespace tarvo
