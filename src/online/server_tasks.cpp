#include "online/server_tasks.h"

#include "common/fields.h"
#include "online/backoffice_request.h"
#include "online/online_state.h"
#include "online/tag_text.h"
#include "register/controls.h"
#include "register/messages.h"
#include "register/register_context.h"
#include "config/constants.h"

namespace tarvo {

void Online_Test() {
    const ServerValues& s = gConstants.servers;
    const int slot = s.gServerSlot == 2 ? 2 : 1;
    const std::string& host = s.gServerHosts[slot - 1];
    if (Screen().Text(kEntryBox) == "1")
        CIATime(host, 0);
    else
        CIATime("Testing server " + std::to_string(slot) + " at " + (host.size() > 3 ? host.substr(host.size() - 3) : host), 0);

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

bool ASP_Product_Master() {
    auto& p = gOnline.gProductLookup;
    for (std::size_t i = 1; i < p.size(); ++i) p[i].clear();
    if (p[0].empty() || gOnline.gProductLookupOn != 1) return true;

    if (!RequestIntoReply(ProductMasterQuery(Trim(p[0])))) return false;
    static constexpr const char* kTags[] = {"category", "class", "department"};
    for (std::size_t i = 0; i < 3; ++i) {
        gOnline.gReplyTag = kTags[i];
        ASP_Decode();
        p[i + 1] = gOnline.gReplyValue;
    }
    return true;
}

}  // namespace tarvo
