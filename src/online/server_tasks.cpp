#include "online/server_tasks.h"

#include "backoffice/backoffice_request.h"
#include "backoffice/online_state.h"
#include "backoffice/tag_text.h"
#include "common/fields.h"
#include "config/constants.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/register_context.h"

namespace tarvo {

void Online_Test() {
    const ServerValues& s = gConstants.servers;
    const int slot = s.gServerSlot == 2 ? 2 : 1;
    const std::string& host = s.gServerHosts[slot - 1];
    if (Screen().Text(kEntryBox) == "1")
        CIATime(host, 0);
    else
        CIATime("Testing server " + std::to_string(slot) + " at " +
                    (host.size() > 3 ? host.substr(host.size() - 3) : host),
                0);

    if (!RequestIntoReply(ServerTestQuery())) {
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

}  // namespace tarvo
