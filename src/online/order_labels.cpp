#include "online/order_labels.h"

#include <memory>
#include <string>
#include <vector>

#include "backoffice/backoffice_request.h"
#include "backoffice/tag_text.h"
#include "common/fields.h"
#include "config/settings.h"
#include "data/log.h"
#include "online/fetched_numbers.h"
#include "online/online_page.h"
#include "print/labels.h"
#include "sale/sale_start.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/register_context.h"

namespace tarvo {
namespace {

constexpr int kMaxOrderLines = 999;

struct LabelFetch {
    std::shared_ptr<RequestChain> chain;
    std::string order;
    std::vector<std::string> replies;
};
using LabelPtr = std::shared_ptr<LabelFetch>;

void Print(const LabelPtr& f, bool communicated) {
    f->chain->End();
    Buttons_Unlock();
    DEA_Reset();
    const int printed = Labels_ByOrder_Print(f->replies, communicated);
    ProgramLog().Write(1, "Online: " + std::to_string(printed) + " labels of purchase order " + f->order);
}

void AskLine(const LabelPtr& f) {
    const int k = static_cast<int>(f->replies.size()) + 1;
    const std::string line = std::to_string(k);
    CIATime(Msg(Message::ReceivingItem) + line, 0);
    f->chain->Ask(StandardQuery(TaskCode::LabelsByPurchaseOrder, "<purchase order number>" + f->order +
                                                                     "</purchase order number><line number>" + line +
                                                                     "</line number>"),
                  [f, k](const BackOfficeResult& r) {
                      if (!r) {
                          CIATime(Msg(Message::UnsuccessfulCommunicationError), 0);
                          return Print(f, false);
                      }
                      if (Extract(r.reply, "purchase number").empty()) return Print(f, true);
                      if (!f->replies.empty() && r.reply == f->replies.back()) {
                          ProgramLog().Write(1, "Online: the labels reply for line " + std::to_string(k) +
                                                    " of order " + f->order + " repeats the one before");
                          return Print(f, true);
                      }
                      f->replies.push_back(r.reply);
                      if (k >= kMaxOrderLines) return Print(f, true);
                      AskLine(f);
                  });
}

}  // namespace

void Online_Label_By_Order(OnlineChains& chains) {
    const std::string order = Trim(Screen().Text(kEntryBox));
    if (!FetchedWholeNumber(order)) {
        ProgramLog().Write(1, "Online: the purchase order number \"" + order + "\" is not a whole number");
        CIATime(Msg(Message::InvalidEntry), 5);
        DEA_Reset();
        return;
    }
    auto chain = chains.Start();
    if (!chain) {
        Online_NotBuilt("labels by purchase order without a background runner");
        return;
    }
    auto f = std::make_shared<LabelFetch>();
    f->chain = chain;
    f->order = order;
    chain->onCancel = [f] {
        Buttons_Unlock();
        DEA_Reset();
        CIATime(Msg(Message::OperationCanceledTitle), 5);
    };
    CIATime(Msg(Message::RequestInProgress), 0);
    OnlineKeys_Lock();
    AskLine(f);
}

}  // namespace tarvo
