// Building the fixed-column records of the documents a transaction saves
// (invoices, orders, adjustments, purchases): fields padded or cut to their
// columns, amounts refused when they do not fit, and the staff and client
// numbers the headers carry.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

// Gathers the fields of one record; the first number that does not fit its
// width is remembered by name in `problem` and the record is then worthless.
class RecordBuilder {
public:
    explicit RecordBuilder(std::string& problem) : problem_(problem) {}
    // Trimmed, blank-padded or cut to `width`.
    void Text(std::string s, int width);
    // Zero-filled to `width`.
    void Zero(std::int64_t n, int width);
    void Raw(std::string_view s) { out_ += s; }
    // A number in its shortest form, refused when it is wider than the column.
    void Number(const std::string& text, int width, const std::string& what);
    // A card field: blank stays blank, anything else is stored encoded.
    void Scrambled(std::string s, int width);
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
    std::string& problem_;
};

// The money columns of a document header, 9 each: the subtotal, minus the
// sale discount, taxes 1 to 3, the total and, when `withChange`, the change.
void SaleAmounts(RecordBuilder& b, bool withChange);

// The numbers of the staff table entries at an index ("" for none).
std::string CashierNumberAt(std::int32_t index);
std::string ManagerNumberAt(std::int32_t index);
std::string ManagerRightsAt(std::int32_t index);
std::string SalesmanNumberAt(std::int32_t index);

// The client column (8) of a document header: the sale's client code, or "N"
// and the new-client record number when only a client entered at the
// register is attached.
std::string SaleClientField();

}  // namespace tarvo
