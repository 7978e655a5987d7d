#include "transfer/sales_upload.h"

#include <cstdio>

#include "common/fields.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/transaction_files.h"
#include "data/work_file.h"
#include "platform/files.h"
#include "transfer/upload_fields.h"

namespace tarvo {

namespace {

void LogText(const std::string& text) { ProgramLog().Write(1, text); }

void Fit(std::string& out, std::string_view text, std::size_t width) { Upload_Fit(out, text, width); }

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
    Upload_Copy(c.part, rec, 3, 496);
    return c;
}

std::string InvoiceLine(std::string_view h, WorkFile& nwc) {
    const std::string invoice(Mid(h, 1, 7));
    std::string out;
    out.reserve(180 + 10 * 65 + 2 * 223);
    Upload_Copy(out, h, 1, 7);
    out += ' ';
    Upload_Copy(out, h, 11, 1);
    out += ' ';
    Upload_Copy(out, h, 12, 8);
    out += "   ";
    Upload_Copy(out, h, 20, 2);
    out += ':';
    Upload_Copy(out, h, 22, 2);
    out += ' ';
    Upload_Copy(out, h, 24, 8);
    out += ' ';
    Upload_Copy(out, h, 32, 8);
    NewClient client;
    if (Mid(h, 40, 1) == "N") {
        // A client entered at the register: its own id, never the one some
        // other sale looked up last.
        client = NewClientOf(nwc, static_cast<std::int64_t>(Num_Val(Mid(h, 41, 7))));
        out += client.part.empty() ? ' ' : 'N';
        Fit(out, client.id, 8);
    } else {
        out += ' ';
        Upload_Copy(out, h, 40, 8);
    }
    out += "  ";
    Upload_Copy(out, h, 48, 8);
    for (std::size_t col = 56; col <= 110; col += 9) {
        Upload_Copy(out, h, col, 9);
        out += "  ";
    }
    Upload_Copy(out, h, 119, 1);
    out += ' ';
    Upload_Copy(out, h, 120, 20);
    out += ' ';

    std::string lines;
    int lineCount = 0;
    const WorkFile& dtl = gData.invoiceLines;
    const std::int64_t lastLine = gData.gLastInvoiceLineRecord;
    std::int64_t k = Upload_FirstOf(dtl, lastLine, invoice);
    if (k == 0) {
        LogText(" Sales_CreateFile: Detail not found for Invoice = " + invoice);
    } else {
        for (; k <= lastLine; ++k) {
            std::string_view line = dtl.View(k);
            if (Mid(line, 1, 7) != invoice) break;
            lines += Upload_LinePart(line, " Sales_CreateFile: Product not found >", "< in Invoice = " + invoice);
            ++lineCount;
        }
    }

    std::string payments;
    int paymentCount = 0;
    const WorkFile& pay = gData.payments;
    const std::int64_t lastPay = gData.gLastPaymentRecord;
    for (std::int64_t p = Upload_FirstOf(pay, lastPay, invoice); p != 0 && p <= lastPay; ++p) {
        std::string_view rec = pay.View(p);
        if (Mid(rec, 1, 7) != invoice) break;
        payments += Upload_PaymentPart(rec, false);
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

}  // namespace

std::string Sales_RangeStamp(const UploadRange& range) {
    Open_FileInvoice();
    if (range.Empty() || range.last > gData.gLastInvoiceRecord) return "";
    return Upload_RangeStamp(gData.invoices, range, 8);
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
        WorkFile nwc;
        const std::string nwcPath = gConstants.paths.gDataPath + ".NWC";
        if (FileExists(nwcPath)) nwc.Open(nwcPath, 500);
        bytes.reserve(static_cast<std::size_t>(last - first + 1) * 1300);
        for (std::int64_t r = first; r <= last; ++r) bytes += InvoiceLine(inv.View(r), nwc);
        b.range = {first, last};
        b.stamp = Upload_RangeStamp(inv, b.range, 8);
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
