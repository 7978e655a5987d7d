#include "backoffice/tag_text.h"

#include "backoffice/online_state.h"
#include "common/fields.h"

namespace tarvo {

namespace {

// What lies between the first `open` and the first `close` after skipping
// `skip` characters past the start of `open`; "" when either is missing, the
// closing text stands first or nothing is left between them.
std::string Between(std::string_view text, std::string_view open, std::string_view close, std::size_t skip,
                    std::size_t* closeAt = nullptr) {
    const std::size_t s = text.find(open);
    const std::size_t e = text.find(close);
    if (s == std::string_view::npos || e == std::string_view::npos || e <= s) return {};
    if (closeAt) *closeAt = e;
    if (e <= s + skip) return {};
    return std::string(text.substr(s + skip, e - s - skip));
}

std::string Element(std::string_view tag, std::string_view value) {
    std::string t;
    t.reserve(2 * tag.size() + value.size() + 5);
    t.append("<").append(tag).append(">").append(value).append("</").append(tag).append(">");
    return t;
}

// Column `column` (from 1) of `line` when a TAB follows it.
bool Column(std::string_view line, int column, std::string_view& value) {
    if (column < 1) return false;
    std::size_t from = 0;
    for (int i = 1;; ++i) {
        const std::size_t tab = line.find('\t', from);
        if (tab == std::string_view::npos) return false;
        if (i == column) {
            value = line.substr(from, tab - from);
            return true;
        }
        from = tab + 1;
    }
}

}  // namespace

std::string Extract(std::string_view text, std::string_view tag) {
    const std::string open = "<" + std::string(tag) + ">";
    const std::string close = "</" + std::string(tag) + ">";
    return Between(text, open, close, open.size());
}

void ASP_Decode() { gOnline.gReplyValue = Extract(gOnline.gReply, gOnline.gReplyTag); }

std::string Extract_Compressed_Message(std::string_view text) {
    // "<body>" and the two characters of the line break after it
    return Between(text, "<body>", "</body>", 8);
}

std::string Body_Extract(std::string_view text) { return Extract_Compressed_Message(text); }

std::string Record_Extract(std::string& text) {
    std::size_t close = 0;
    std::string row = Between(text, "<record>", "</record>", 8, &close);
    if (!row.empty()) text.erase(0, close + 1);  // now begins with "/record>"
    return row;
}

void ASP_Strip() {
    for (char& c : gOnline.gReplyValue)
        if (c == ',' || c == '\n' || c == '\r') c = ' ';
}

void Online_GetField(int column) {
    std::string_view v;
    gOnline.gFieldValue = Column(gOnline.gImportLine, column, v) ? Trim(v) : std::string();
}

void Online_FieldToTag(int column, std::string_view tag) {
    std::string_view v;
    gOnline.gFieldValue = Column(gOnline.gImportLine, column, v) ? std::string(v) : std::string();
    if (!tag.empty() && !gOnline.gFieldValue.empty()) gOnline.gRequestData += Element(tag, gOnline.gFieldValue);
}

void Online_AddTag(std::string_view tag) { gOnline.gRequestData += Element(tag, gOnline.gTagValue); }

}  // namespace tarvo
