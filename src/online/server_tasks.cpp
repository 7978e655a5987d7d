#include "online/server_tasks.h"

#include "backoffice/backoffice_request.h"
#include "backoffice/online_state.h"
#include "backoffice/tag_text.h"
#include "common/fields.h"
#include "config/constants.h"
#include "sale/sale_start.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

// Which server is asked, on the message line until the answer comes.
void ServerTest_Announce() {
    const ServerValues& s = gConstants.servers;
    const int slot = s.gServerSlot == 2 ? 2 : 1;
    const std::string& host = s.gServerHosts[slot - 1];
    if (Screen().Text(kEntryBox) == "1")
        CIATime(host, 0);
    else
        CIATime("Testing server " + std::to_string(slot) + " at " +
                    (host.size() > 3 ? host.substr(host.size() - 3) : host),
                0);
}

void ServerTest_Show(const BackOfficeResult& r) {
    gOnline.gReply = r.reply;
    if (!r) {
        CIATime("Test Resulted in an error", 10);
        return;
    }
    gOnline.gReplyTag = "test";
    ASP_Decode();
    if (gOnline.gReplyValue == "Test Successful")
        CIATime("Test Successful ", 10);
    else
        CIATime("Test Unsuccessful " + gOnline.gReplyValue, 10);
}

// Every key locked while the server is asked, the keypad and the register
// keys too (Buttons_Lock's full level).
void AllKeys_Lock() {
    const Money typed = gReg.gEnteredAmount;
    gReg.gEnteredAmount = Money::FromUnits(1);
    Buttons_Lock();
    gReg.gEnteredAmount = typed;
}

}  // namespace

void Online_Test() {
    ServerTest_Announce();
    ServerTest_Show(RequestIntoReply(ServerTestQuery()));
}

void Online_Test_Start(BackgroundRunner& runner) {
    ServerTest_Announce();
    AllKeys_Lock();
    const std::string prefix = gConstants.servers.RequestPrefix();
    const std::string query = ServerTestQuery();
    RunInBackground<BackOfficeResult>(
        runner, [prefix, query] { return BackOfficeRequestAt(prefix, query); },
        [prefix, query](BackOfficeResult r) {
            if (!r) BackOfficeRequest_LogFailure(prefix, query, r);
            ServerTest_Show(r);
            Buttons_Unlock();
        });
}

}  // namespace tarvo
