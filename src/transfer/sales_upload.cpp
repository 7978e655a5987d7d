#include "transfer/sales_upload.h"

#include <cstdio>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/transaction_files.h"
#include "data/work_file.h"
#include "platform/files.h"
#include "sale/totals.h"

namespace tarvo {

namespace {

void LogText(const std::string& text) { ProgramLog().Write(1, text); }

// Columns of a stored record, blank-padded to their width: a short record
// never shifts the columns after it.
void Copy(std::string& out, std::string_view record, std::size_t col, std::size_t width) {
    std::string_view v = Mid(record, col, width);
    out += v;
    out.append(width - v.size(), ' ');
}

void Fit(std::string& out, std::string_view text, std::size_t width) {
    std::string_view v = text.substr(0, width);
    out += v;
    out.append(width - v.size(), ' ');
}

// The first record from 2 to `last` of `f` whose columns 1-7 are `number`;
// 0 when none. Documents are appended in number order, so the file is sorted
// on those columns.
std::int64_t FirstOf(const WorkFile& f, std::int64_t last, std::string_view number) {
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

// The units factor of a product (columns 175-179 of its record), 1 when it
// is not on file.
double UnitsFactor(const std::string& key, const std::string& invoice) {
    gData.gProductKey = key;
    Product_Find();
    if (gData.gProductRecNo > 0) return Num_Val(Mid(gData.gProductRec, 175, 5));
    LogText(" Sales_CreateFile: Product not found >" + key + "< in Invoice = " + invoice);
    return 1;
}

std::string LinePart(std::string_view line, const std::string& invoice) {
    std::string out;
    out.reserve(65);
    Copy(out, line, 11, 8);
    Copy(out, line, 39, 9);
    Copy(out, line, 48, 9);
    Copy(out, line, 57, 9);
    const std::string key(TrimRightView(Mid(line, 19, 20)));
    const double factor = UnitsFactor(key, invoice);
    const auto price = Money::Parse(Mid(line, 57, 9));
    const auto extension = Line_Extension(price ? *price : Money(), Num_Val(Mid(line, 39, 9)), factor);
    Fit(out, extension ? extension->TextDisplay() : std::string(), 9);
    Copy(out, line, 66, 20);
    out += '|';
    return out;
}

std::string Decoded(std::string_view record, std::size_t col, std::size_t width) {
    std::string s(Mid(record, col, width));
    Str_Decode(s);
    return s;
}

std::string PaymentPart(std::string_view pay) {
    std::string out;
    out.reserve(223);
    Copy(out, pay, 18, 9);
    Copy(out, pay, 10, 8);
    Copy(out, pay, 47, 1);
    Fit(out, Decoded(pay, 48, 25), 25);
    Fit(out, Decoded(pay, 73, 10), 10);
    Fit(out, Decoded(pay, 83, 50), 50);
    out.append(100, ' ');  // the card data itself is never sent
    Copy(out, pay, 27, 20);
    return out;
}

// The new client a sale was made to: its record (columns 3 on) and id.
struct NewClient {
    std::string id;
    std::string part;
};

NewClient NewClientOf(WorkFile& nwc, std::int64_t recordNo) {
    NewClient c;
    if (recordNo <= 0 || !nwc.IsOpen()) return c;
    std::string_view rec = nwc.View(recordNo);
    if (rec.size() < 3) return c;
    c.id = std::string(TrimView(Mid(rec, 3, 8)));
    Copy(c.part, rec, 3, 496);
    return c;
}

std::string InvoiceLine(std::string_view h, WorkFile& nwc) {
    const std::string invoice(Mid(h, 1, 7));
    std::string out;
    out.reserve(180 + 10 * 65 + 2 * 223);
    Copy(out, h, 1, 7);
    out += ' ';
    Copy(out, h, 11, 1);
    out += ' ';
    Copy(out, h, 12, 8);
    out += "   ";
    Copy(out, h, 20, 2);
    out += ':';
    Copy(out, h, 22, 2);
    out += ' ';
    Copy(out, h, 24, 8);
    out += ' ';
    Copy(out, h, 32, 8);
    NewClient client;
    if (Mid(h, 40, 1) == "N") {
        // A client entered at the register: its own id, never the one some
        // other sale looked up last.
        client = NewClientOf(nwc, static_cast<std::int64_t>(Num_Val(Mid(h, 41, 7))));
        out += client.part.empty() ? ' ' : 'N';
        Fit(out, client.id, 8);
    } else {
        out += ' ';
        Copy(out, h, 40, 8);
    }
    out += "  ";
    Copy(out, h, 48, 8);
    for (std::size_t col = 56; col <= 110; col += 9) {
        Copy(out, h, col, 9);
        out += "  ";
    }
    Copy(out, h, 119, 1);
    out += ' ';
    Copy(out, h, 120, 20);
    out += ' ';

    std::string lines;
    int lineCount = 0;
    const WorkFile& dtl = gData.invoiceLines;
    const std::int64_t lastLine = gData.gLastInvoiceLineRecord;
    std::int64_t k = FirstOf(dtl, lastLine, invoice);
    if (k == 0) {
        LogText(" Sales_CreateFile: Detail not found for Invoice = " + invoice);
    } else {
        for (; k <= lastLine; ++k) {
            std::string_view line = dtl.View(k);
            if (Mid(line, 1, 7) != invoice) break;
            lines += LinePart(line, invoice);
            ++lineCount;
        }
    }

    std::string payments;
    int paymentCount = 0;
    const WorkFile& pay = gData.payments;
    const std::int64_t lastPay = gData.gLastPaymentRecord;
    for (std::int64_t p = FirstOf(pay, lastPay, invoice); p != 0 && p <= lastPay; ++p) {
        std::string_view rec = pay.View(p);
        if (Mid(rec, 1, 7) != invoice) break;
        payments += PaymentPart(rec);
        ++paymentCount;
    }

    Fit(out, std::to_string(lineCount), 5);
    out += std::to_string(paymentCount).substr(0, 1);
    out.append(10, ' ');
    out += lines;
    out += payments;
    out += client.part;
    out += "\r\n";
    return out;
}

// FNV-1a over the headers, column 9 (the sent flag) left out.
std::string Stamp(const WorkFile& inv, const UploadRange& range) {
    std::uint64_t h = 1469598103934665603ull;
    auto add = [&h](unsigned char c) {
        h ^= c;
        h *= 1099511628211ull;
    };
    for (std::int64_t r = range.first; r <= range.last && r > 0; ++r) {
        std::string_view rec = inv.View(r);
        for (std::size_t i = 0; i < rec.size(); ++i)
            if (i != 8) add(static_cast<unsigned char>(rec[i]));
        add('\n');
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

}  // namespace

std::string Sales_RangeStamp(const UploadRange& range) {
    Open_FileInvoice();
    if (range.Empty() || range.last > gData.gLastInvoiceRecord) return "";
    return Stamp(gData.invoices, range);
}

UploadBuild Sales_CreateFile(const std::string& path, bool resendAll) {
    UploadBuild b;
    Open_FileInvoice();
    Open_FilePayment();
    const WorkFile& inv = gData.invoices;
    const std::int64_t last = gData.gLastInvoiceRecord;
    std::int64_t first = 2;
    if (!resendAll) {
        for (std::int64_t r = last; r >= 2; --r)
            if (Mid(inv.View(r), 9, 1) == "1") {
                first = r + 1;
                break;
            }
    }
    std::string bytes;
    if (first <= last) {
        // The product look-ups below use the finder's variables: the sale's
        // own results are kept.
        const std::string productKey = gData.gProductKey, productRec = gData.gProductRec;
        const std::int32_t productRecNo = gData.gProductRecNo, newProductRecNo = gData.gNewProductRecNo;
        WorkFile nwc;
        const std::string nwcPath = gConstants.paths.gDataPath + ".NWC";
        if (FileExists(nwcPath)) nwc.Open(nwcPath, 500);
        bytes.reserve(static_cast<std::size_t>(last - first + 1) * 1300);
        for (std::int64_t r = first; r <= last; ++r) bytes += InvoiceLine(inv.View(r), nwc);
        b.range = {first, last};
        b.stamp = Stamp(inv, b.range);
        gData.gProductKey = productKey;
        gData.gProductRec = productRec;
        gData.gProductRecNo = productRecNo;
        gData.gNewProductRecNo = newProductRecNo;
    }
    if (!WriteFileAtomic(path, bytes, 0600, &b.error)) {
        LogText(" Sales_CreateFile: " + b.error);
        b.range = {};
        return b;
    }
    b.ok = true;
    b.size = static_cast<std::int64_t>(bytes.size());
    return b;
}

bool Sales_MarkSent(const UploadRange& range) {
    if (range.Empty()) return true;
    Open_FileInvoice();
    WorkFile& inv = gData.invoices;
    for (std::int64_t r = range.first; r <= range.last; ++r) {
        std::string rec = inv.Read(r);
        if (rec.size() < 9) {
            LogText(" Sales_MarkSent: invoice record " + std::to_string(r) + " is not there");
            return false;
        }
        if (rec[8] == '1') continue;
        rec[8] = '1';
        if (!inv.Write(r, rec)) {
            LogText(" Sales_MarkSent: " + inv.Error());
            return false;
        }
    }
    if (!inv.Sync()) {
        LogText(" Sales_MarkSent: " + inv.Error());
        return false;
    }
    return true;
}

}  // namespace tarvo
