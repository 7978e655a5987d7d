#include "backoffice/product_master.h"

#include "backoffice/backoffice_request.h"
#include "backoffice/online_state.h"
#include "backoffice/tag_text.h"
#include "common/fields.h"

namespace tarvo {

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
