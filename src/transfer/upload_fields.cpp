#include "transfer/upload_fields.h"

#include <cstdio>

#include "common/fields.h"

namespace tarvo {

void Upload_Copy(std::string& out, std::string_view record, std::size_t col, std::size_t width) {
    std::string_view v = Mid(record, col, width);
    out += v;
    out.append(width - v.size(), ' ');
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
