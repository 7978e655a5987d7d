#include "sale/record_fields.h"

#include <vector>

#include "common/fields.h"
#include "data/data_state.h"
#include "data/sale_state.h"

namespace tarvo {

void RecordBuilder::Text(std::string s, int width) {
    Str_PadRight(s, width);
    out_ += s;
}

void RecordBuilder::Zero(std::int64_t n, int width) { out_ += PadZero(std::to_string(n), width); }

void RecordBuilder::Number(const std::string& text, int width, const std::string& what) {
    if (static_cast<int>(text.size()) > width && problem_.empty()) problem_ = what;
    Text(text, width);
}

void RecordBuilder::Scrambled(std::string s, int width) {
    if (Trim(s).empty())
        s.clear();
    else
        Str_Encode(s);
    Text(std::move(s), width);
}

void SaleAmounts(RecordBuilder& b, bool withChange) {
    const SaleState& s = gSale;
    b.Number(s.gSubtotal.Text(), 9, "Subtotal");
    b.Number((-s.gSaleDiscount).Text(), 9, "Sale Discount");
    b.Number(s.gTax1.Text(), 9, "Tax 1");
    b.Number(s.gTax2.Text(), 9, "Tax 2");
    b.Number(s.gTax3.Text(), 9, "Tax 3");
    b.Number(s.gTotal.Text(), 9, "Total");
    if (withChange) b.Number(s.gChange.Text(), 9, "Change");
}

namespace {

template <typename Row, typename Field>
std::string TableField(const std::vector<Row>& table, std::int32_t index, Field field) {
    if (index < 1 || index >= static_cast<std::int32_t>(table.size())) return {};
    return table[static_cast<std::size_t>(index)].*field;
}

}  // namespace

std::string CashierNumberAt(std::int32_t index) {
    return TableField(gData.CashierTable, index, &CashierRow::CashierNumber);
}
std::string ManagerNumberAt(std::int32_t index) {
    return TableField(gData.ManagerTable, index, &ManagerRow::ManagerNumber);
}
std::string ManagerRightsAt(std::int32_t index) {
    return TableField(gData.ManagerTable, index, &ManagerRow::ManagerRights);
}
std::string SalesmanNumberAt(std::int32_t index) {
    return TableField(gData.SalesmanTable, index, &SalesmanRow::SalesmanNumber);
}

std::string SaleClientField() {
    if (gData.gClientRecNo == 0 && gData.gNewClientRecNo > 0)
        return "N" + PadRight(std::to_string(gData.gNewClientRecNo), 7);
    return PadRight(gSale.gClientCode, 8);
}

}  // namespace tarvo
