#include "transfer/order_upload.h"

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

// Columns 45-54 and the new-client part: an ordinary client as the header
// holds it; a client entered at the register by its own id (7 characters) and
// its record, never the id of whichever client was looked up last.
void ClientField(std::string& out, std::string& part, std::string_view h, WorkFile& nwc) {
    if (Mid(h, 40, 1) != "N") {
        out += ' ';
        Upload_Copy(out, h, 40, 8);
        out += ' ';
        return;
    }
    const auto recordNo = static_cast<std::int64_t>(Num_Val(Mid(h, 41, 7)));
    std::string id;
    if (recordNo > 0 && nwc.IsOpen()) {
        std::string_view rec = nwc.View(recordNo);
        if (rec.size() >= 3) {
            id = std::string(TrimView(Mid(rec, 3, 8)));
            Upload_Copy(part, rec, 3, 496);
        }
    }
    out += part.empty() ? ' ' : 'N';
    Upload_Fit(out, id, 7);
    out += "  ";
}

std::string OrderLine(std::string_view h, WorkFile& nwc) {
    const std::string order(Mid(h, 1, 7));
    std::string out;
    out.reserve(251 + 10 * 65 + 2 * 223);
    Upload_Copy(out, h, 1, 7);
    out += "  ";
    Upload_Copy(out, h, 11, 1);
    Upload_Copy(out, h, 12, 8);
    out += "   ";
    Upload_Copy(out, h, 20, 3);
    out += "   ";
    Upload_Copy(out, h, 24, 16);
    out += ' ';
    std::string client;
    ClientField(out, client, h, nwc);
    Upload_Copy(out, h, 48, 8);
    out += ' ';
    for (std::size_t col = 56; col <= 101; col += 9) {
        Upload_Copy(out, h, col, 9);
        out += "  ";
    }
    Upload_Copy(out, h, 128, 1);
    Upload_Copy(out, h, 125, 2);
    Upload_Copy(out, h, 119, 1);

    std::string lines;
    int lineCount = 0;
    const WorkFile& orl = gData.orderLines;
    const std::int64_t lastLine = gData.gLastOrderLineRecord;
    std::int64_t k = orl.IsOpen() ? Upload_FirstOf(orl, lastLine, order) : 0;
    if (k == 0) {
        LogText(" Orders_CreateFile: Detail not found for Order= " + order);
    } else {
        for (; k <= lastLine; ++k) {
            std::string_view line = orl.View(k);
            if (Mid(line, 1, 7) != order) break;
            lines += Upload_LinePart(line, " Order_CreateFile: Product not found >", "< in Order= " + order);
            ++lineCount;
        }
    }

    std::string payments;
    int paymentCount = 0;
    const WorkFile& orp = gData.orderPayments;
    const std::int64_t lastPay = gData.gLastOrderPaymentRecord;
    for (std::int64_t p = orp.IsOpen() ? Upload_FirstOf(orp, lastPay, order) : 0; p != 0 && p <= lastPay; ++p) {
        std::string_view rec = orp.View(p);
        if (Mid(rec, 1, 7) != order) break;
        // The order's deposits carry their card-data field as stored.
        payments += Upload_PaymentPart(rec, true);
        ++paymentCount;
    }

    Upload_Fit(out, std::to_string(lineCount), 5);
    out += std::to_string(paymentCount).substr(0, 1);
    Upload_Copy(out, h, 130, 110);
    out += ' ';
    out += lines;
    out += payments;
    out += client;
    out += "\r\n";
    return out;
}

}  // namespace

UploadBuild Orders_CreateFile(const std::string& path, bool resendAll) {
    UploadBuild b;
    Open_FileOrder();
    const WorkFile& ord = gData.orders;
    const std::int64_t last = ord.IsOpen() ? gData.gLastOrderRecord : 0;
    std::int64_t first = 2;
    if (!resendAll) {
        for (std::int64_t r = last; r >= 2; --r)
            if (Mid(ord.View(r), 9, 1) == "1") {
                first = r + 1;
                break;
            }
    }
    std::string bytes;
    if (first <= last) {
        WorkFile nwc;
        const std::string nwcPath = gConstants.paths.gDataPath + ".NWC";
        if (FileExists(nwcPath)) nwc.Open(nwcPath, 500);
        for (std::int64_t r = first; r <= last; ++r) bytes += OrderLine(ord.View(r), nwc);
        b.range = {first, last};
        b.stamp = Upload_RangeStamp(ord, b.range, 8);
    }
    gData.orderPayments.Close();
    gData.orderLines.Close();
    gData.orders.Close();
    if (!WriteFileAtomic(path, bytes, 0600, &b.error)) {
        LogText(" Order_CreateFile: " + b.error);
        b.range = {};
        return b;
    }
    b.ok = true;
    b.size = static_cast<std::int64_t>(bytes.size());
    return b;
}

}  // namespace tarvo
