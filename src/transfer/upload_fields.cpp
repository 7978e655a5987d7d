#include "transfer/upload_fields.h"

#include <cstdio>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "data/log.h"
#include "data/lookups.h"
#include "sale/totals.h"

namespace tarvo {

void Upload_Copy(std::string& out, std::string_view record, std::size_t col, std::size_t width) {
    std::string_view v = Mid(record, col, width);
    out += v;
    out.append(width - v.size(), ' ');
}

void Upload_Fit(std::string& out, std::string_view text, std::size_t width) {
    std::string_view v = text.substr(0, width);
    out += v;
    out.append(width - v.size(), ' ');
}

namespace {

std::string Decoded(std::string_view record, std::size_t col, std::size_t width) {
    std::string s(Mid(record, col, width));
    Str_Decode(s);
    return s;
}

}  // namespace

std::string Upload_LinePart(std::string_view line, const std::string& notFoundHead, const std::string& notFoundTail) {
    std::string out;
    out.reserve(65);
    Upload_Copy(out, line, 11, 8);
    Upload_Copy(out, line, 39, 9);
    Upload_Copy(out, line, 48, 9);
    Upload_Copy(out, line, 57, 9);
    // The units factor of the product (columns 175-179 of its record).
    const std::string key(TrimRightView(Mid(line, 19, 20)));
    double factor = 1;
    const std::optional<ProductMatch> found = Product_Find(key);
    if (found && found->recNo > 0)
        factor = Num_Val(Mid(found->record, 175, 5));
    else
        ProgramLog().Write(1, notFoundHead + key + notFoundTail);
    const auto price = Money::Parse(Mid(line, 57, 9));
    const auto extension = Line_Extension(price ? *price : Money(), Num_Val(Mid(line, 39, 9)), factor);
    Upload_Fit(out, extension ? extension->TextDisplay() : std::string(), 9);
    Upload_Copy(out, line, 66, 20);
    out += '|';
    return out;
}

std::string Upload_PaymentPart(std::string_view pay, bool cardData) {
    std::string out;
    out.reserve(223);
    Upload_Copy(out, pay, 18, 9);
    Upload_Copy(out, pay, 10, 8);
    Upload_Copy(out, pay, 47, 1);
    Upload_Fit(out, Decoded(pay, 48, 25), 25);
    Upload_Fit(out, Decoded(pay, 73, 10), 10);
    Upload_Fit(out, Decoded(pay, 83, 50), 50);
    if (cardData)
        Upload_Copy(out, pay, 133, 100);
    else
        out.append(100, ' ');
    Upload_Copy(out, pay, 27, 20);
    return out;
}

std::int64_t Upload_FirstOf(const WorkFile& f, std::int64_t last, std::string_view number) {
    std::int64_t lo = 2, hi = last + 1;
    while (lo < hi) {
        std::int64_t mid = lo + (hi - lo) / 2;
        if (Mid(f.View(mid), 1, 7) < number)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo <= last && Mid(f.View(lo), 1, 7) == number ? lo : 0;
}

std::string Upload_RangeStamp(const WorkFile& f, const UploadRange& range, std::size_t flagIndex) {
    std::uint64_t h = 1469598103934665603ull;
    auto add = [&h](unsigned char c) {
        h ^= c;
        h *= 1099511628211ull;
    };
    for (std::int64_t r = range.first; r <= range.last && r > 0; ++r) {
        std::string_view rec = f.View(r);
        for (std::size_t i = 0; i < rec.size(); ++i)
            if (i != flagIndex) add(static_cast<unsigned char>(rec[i]));
        add('\n');
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

}  // namespace tarvo
