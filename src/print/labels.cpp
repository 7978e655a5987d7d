#include "print/labels.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "backoffice/backoffice_request.h"
#include "backoffice/online_state.h"
#include "backoffice/product_master.h"
#include "backoffice/tag_text.h"
#include "common/fields.h"
#include "common/line_reader.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "platform/files.h"
#include "platform/serial_port.h"
#include "print/printer_output.h"
#include "sale/product_entry.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"

namespace tarvo {

LabelState gLabel;

namespace {

constexpr const char* kOpenFailed = "Printer_Open: HandlerPrinterOpen, Unable to open printer port";
constexpr const char* kSpoolFile = "printer.txt";

void LogLine(const std::string& text) { ProgramLog().Write(1, text); }

std::string ProgramFolder() {
    if (!gConstants.paths.programFolder.empty()) return gConstants.paths.programFolder;
    return Reg().programFolder;
}

int KeyIndex(std::string_view key) {
    for (std::size_t i = 0; i < kLabelKeys.size(); ++i)
        if (kLabelKeys[i] == key) return static_cast<int>(i);
    return -1;
}

// ---- reading ---------------------------------------------------------------------------

// The piece text of a template line: "[n]" becomes the byte n, an invalid
// code is left out (and logged), everything else is copied.
std::string DecodePiece(std::string_view text, long lineNo) {
    auto problem = [lineNo](const std::string& what) {
        LogLine("Label_Read_Setup: template line " + std::to_string(lineNo) + ", " + what);
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ']') {
            problem("a \"]\" that closes no \"[\" is left out");
            continue;
        }
        if (c != '[') {
            out += c;
            continue;
        }
        const std::size_t close = text.find(']', i + 1);
        if (close == std::string_view::npos) {
            problem("the code \"" + std::string(text.substr(i)) + "\" is not closed, left out");
            break;
        }
        const std::string_view number = text.substr(i + 1, close - i - 1);
        const std::optional<double> value = Num_ReadStrict(number);
        const std::optional<std::int64_t> code = value ? Num_ToInteger(*value, 0, 255) : std::nullopt;
        if (code)
            out += static_cast<char>(static_cast<unsigned char>(*code));
        else
            problem("the code \"[" + std::string(number) + "]\" is not a character code 0-255, left out");
        i = close;
    }
    return out;
}

void ReadExtraLines() {
    LineReader in;
    if (!in.Open(FindFileNoCase(ProgramFolder(), "label.txt"))) return;  // no extra lines
    LabelState& l = gLabel;
    std::string line;
    while (l.gLabelExtraCount < kLabelExtraMax && in.Next(line)) {
        if (line.empty() || line[0] < '1' || line[0] > '4') continue;
        const auto k = static_cast<std::size_t>(++l.gLabelExtraCount);
        l.gLabelExtraKind[k] = static_cast<std::int16_t>(line[0] - '0');
        l.gLabelExtraText[k] = line.substr(1);
    }
    if (in.Error() != 0)
        LogLine("Label_Read_Setup: label.txt could not be read to its end (" + std::string(std::strerror(in.Error())) +
                ")");
}

void ReadTemplate() {
    const std::string& base = gConstants.paths.gFilesPath;
    const std::size_t slash = base.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : base.substr(0, slash);
    const std::string name = (slash == std::string::npos ? base : base.substr(slash + 1)) + ".LBL";
    LineReader in;
    if (!in.Open(FindFileNoCase(folder, name))) return;  // no template: every piece stays empty
    std::string line;
    while (in.Next(line)) {
        if (line.size() <= 6) continue;
        const int key = KeyIndex(std::string_view(line).substr(1, 4));
        if (key < 0) continue;
        const int format = line[0] >= '1' && line[0] <= '3' ? line[0] - '0' : 1;
        gLabel.LabelTemplate[static_cast<std::size_t>(format)][static_cast<std::size_t>(key)] =
            DecodePiece(std::string_view(line).substr(6), in.LineNumber());
    }
    if (in.Error() != 0)
        LogLine("Label_Read_Setup: " + name + " could not be read to its end (" + std::strerror(in.Error()) + ")");
}

// ---- the label output ------------------------------------------------------------------

// The label output of one run (file 20 while labels print).
class LabelOutput {
public:
    LabelOutput() = default;
    ~LabelOutput() { Drop(); }
    LabelOutput(const LabelOutput&) = delete;
    LabelOutput& operator=(const LabelOutput&) = delete;

    // Opens the output of the printer type. False when nothing can be
    // written: printing is off (status 5) or the open failed (status 1).
    bool Open() {
        const PrinterType type = gSettings.gPrinterType;
        if (Printer_IsOff("Label output")) {
            // A printer lost for the run has logged and set status 1.
            if (gPrint.gPrinterLost) return false;
            gPrint.gPrintStatus = 5;
            LogLine("Label output: printing is switched off (printer type 0), no labels");
            return false;
        }
        if (std::string* capture = PrinterCapture_Target()) {
            capture_ = capture;
            sink_ = Sink::Capture;
        } else if (type == PrinterType::Spooler) {
            path_ = ProgramFolder() + "/" + kSpoolFile;
            fd_ = OpenOrCreatePrivate(path_, O_WRONLY | O_TRUNC);
            if (fd_ < 0)
                return Fail(errno == ELOOP ? OpenFailureText(path_, errno) : path_ + ": " + std::strerror(errno));
            sink_ = Sink::File;
        } else {
            std::string name = PrinterPort_Name(type);
            if (name.empty()) name = "lpt1";  // the on-screen type has no label printer of its own
            std::string error;
            if (!PrinterPort_Open(port_, name, error)) return Fail(error);
            sink_ = Sink::Port;
        }
        gPrint.gPrintStatus = 0;
        return true;
    }

    bool Failed() const { return failed_; }

    // One line and its CR LF.
    void Line(std::string_view text) {
        if (sink_ == Sink::None) return;
        std::string bytes(text);
        bytes += "\r\n";
        std::string error;
        switch (sink_) {
        case Sink::None: return;
        case Sink::Capture: capture_->append(bytes); return;
        case Sink::Port:
            if (!port_.Write(bytes, error)) Fail(error);
            return;
        case Sink::File:
            if (!WriteAll(bytes)) Fail(path_ + ": " + std::strerror(errno));
            return;
        }
    }

    // The part of `format` under `key`, alone on its line, when it is set.
    void Part(int format, std::string_view key) {
        const std::string& part = LabelPiece(format, key);
        if (!part.empty()) Line(part);
    }

    // The piece's first part, the value without blanks around it and its
    // second part, on one line, when the first part is set.
    void Piece(int format, std::string_view name, std::string_view value) {
        const std::string& before = LabelPiece(format, "1" + std::string(name));
        if (before.empty()) return;
        Line(before + Trim(value) + LabelPiece(format, "2" + std::string(name)));
    }

    // Ends the run: a port is closed; the spool file of type "6" is closed,
    // sent as one raw job and deleted. False when the labels did not get out
    // (status 1, or 3 when the spooler refused them).
    bool Finish() {
        std::string error;
        bool spoolerRefused = false;
        if (sink_ == Sink::Port) {
            if (!port_.Close(&error)) Fail(error);
        } else if (sink_ == Sink::File) {
            const int fd = fd_;
            fd_ = -1;
            if (::close(fd) != 0) {
                Fail(path_ + ": " + std::strerror(errno));
            } else {
                std::string bytes;
                if (!ReadWholeFile(path_, bytes)) {
                    Fail(path_ + ": the labels cannot be read back");
                } else if (!Spooler_SendRaw(bytes, error)) {
                    LogLine("Label output: the print spooler did not take the labels (" + error + ")");
                    gPrint.gPrintStatus = 3;
                    spoolerRefused = true;
                }
            }
        }
        Drop();
        return !failed_ && !spoolerRefused;
    }

private:
    enum class Sink { None, Capture, Port, File };

    bool WriteAll(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    // The output is given up: logged, status 1, nothing more written.
    bool Fail(const std::string& why) {
        LogLine(std::string(kOpenFailed) + " (" + why + ")");
        gPrint.gPrintStatus = 1;
        failed_ = true;
        Drop();
        return false;
    }

    // Closes whatever is open without sending anything; the spool file goes.
    void Drop() {
        if (port_.IsOpen()) port_.Close(nullptr);
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        if (!path_.empty()) {
            std::remove(path_.c_str());
            path_.clear();
        }
        sink_ = Sink::None;
        capture_ = nullptr;
    }

    Sink sink_ = Sink::None;
    DevicePort port_;
    int fd_ = -1;
    std::string path_;
    std::string* capture_ = nullptr;
    bool failed_ = false;
};

// ---- the sale's labels -----------------------------------------------------------------

// Looks a product up by its key, an embedded price not split off: found when
// it is in the product file.
std::optional<ProductMatch> FindProduct(const std::string& key) {
    std::optional<ProductMatch> found = Product_Find(key);
    if (found && found->recNo > 0) return found;
    return std::nullopt;
}

std::string QuantityText(double quantity, const std::string& who) {
    bool adjusted = false;
    std::string text = LabelQuantity_Text(quantity, &adjusted);
    if (adjusted) LogLine(who + ": the quantity " + Num_TextDisplay(quantity) + " is printed as " + text);
    return text;
}

// One run of sale labels.
struct SaleRun {
    LabelOutput out;
    int format = 1;
    // The back office did not answer a class or department lookup: the rest
    // of the run does without them instead of waiting for it on every label.
    bool lookupFailed = false;
};

// The class (kind 3) or department (kind 4) of a product, asked of the back
// office; empty when it has none or does not answer.
std::string ProductMaster(SaleRun& run, const std::string& product, int kind) {
    if (run.lookupFailed) return {};
    gOnline.gProductLookup[0] = product;
    gOnline.gProductLookupOn = 1;
    if (!ASP_Product_Master()) {
        run.lookupFailed = true;
        LogLine("Label_Print: the back office did not answer, class and department are left out of these labels");
        return {};
    }
    return gOnline.gProductLookup[kind == 3 ? 2 : 3];
}

// The extra lines of label.txt for sale line n; `found` tells whether the
// line's product is in the product file (its record `record`).
void ExtraLines(SaleRun& run, int n, bool found, const std::string& record) {
    LabelOutput& out = run.out;
    const LabelState& l = gLabel;
    for (int i = 1; i <= l.gLabelExtraCount && !out.Failed(); ++i) {
        const auto k = static_cast<std::size_t>(i);
        std::string value;
        switch (l.gLabelExtraKind[k]) {
        case 1:
            if (!found) continue;
            value = Num_Format(Num_Val(Mid(record, 115, 12)), "###0.00");
            break;
        case 2: {
            if (!found) continue;
            const std::int32_t category = Category_Find(Trim(Mid(record, 34, 6))).value_or(0);
            if (category <= 0) continue;
            value = gData.CategoryTable[static_cast<std::size_t>(category)].CategoryName;
            break;
        }
        case 3:
        case 4:
            value = ProductMaster(run, gSale.gLines[static_cast<std::size_t>(n)].product, l.gLabelExtraKind[k]);
            if (value.empty()) continue;
            break;
        default: continue;
        }
        out.Line(l.gLabelExtraText[k] + value);
    }
}

void SaleLabel(SaleRun& run, int n) {
    LabelOutput& out = run.out;
    const int format = run.format;
    const SaleLine& line = gSale.gLines[static_cast<std::size_t>(n)];
    out.Part(format, "1LBL");
    const std::string key = line.key;
    const std::optional<ProductMatch> product = FindProduct(key);
    const bool found = product.has_value();
    const std::string record = found ? std::string(product->record) : std::string();
    const ProductKey keyMode = gSettings.gProductKeyMode.asNumber;
    if (keyMode == ProductKey::Number)
        out.Piece(format, "NUM", key);
    else if (found)
        out.Piece(format, "NUM", Mid(record, 12, 20));
    if (keyMode == ProductKey::BarCode)
        out.Piece(format, "UPC", key);
    else if (found)
        out.Piece(format, "UPC", Mid(record, 40, 20));
    out.Piece(format, "DES", line.description);
    out.Piece(format, "PRE", line.unitPrice.Format("####0.00"));
    if (found) out.Piece(format, "LOC", Mid(record, 250, 14));
    out.Piece(format, "LG1", "");
    out.Piece(format, "LG2", "");
    ExtraLines(run, n, found, record);
    out.Piece(format, "QTY", QuantityText(line.quantity, "Label_Print"));
    out.Part(format, "2LBL");
}

// ---- labels by purchase order ----------------------------------------------------------

constexpr const char* kPortError = "Error: Unable to open printer port";
// Lines asked of one purchase order at most.
constexpr int kMaxOrderLines = 999;

// The output of the labels-by-order run under way, for Label_By_Order.
LabelOutput* gOrderOutput = nullptr;

std::string ReplyTag(const char* tag) {
    gOnline.gReplyTag = tag;
    ASP_Decode();
    return gOnline.gReplyValue;
}

// ---- a stored purchase into the sale ---------------------------------------------------

enum class PurchaseLoad { Loaded, Refused, NotFound };

void ClosePurchaseFiles() {
    gData.purchaseLines.Close();
    gData.purchases.Close();
}

// Adds the lines of purchase `number` to the sale, each with the purchase's
// quantity. Only in Sales mode with no one-shot modifier, where a product
// becomes a plain sale line; a product sold by weight is not loaded (its
// weight would have to come from the scale).
PurchaseLoad Purchase_LoadForLabels(const std::string& number) {
    SaleState& s = gSale;
    const std::string padded = "0000000" + number;
    const std::string document = padded.substr(padded.size() - 7);
    if (s.gMode != RegisterMode::Sales || s.gStockCount || s.gVoidMode || s.gReturnMode || s.gExchangeMode ||
        s.gPriceSearch || s.gStockSearch) {
        CIATime(Msg(Message::InvalidEntry), 5);
        LogLine("Label_Print: purchase " + document + " not loaded, the register is not in plain Sales mode");
        return PurchaseLoad::Refused;
    }
    DataState& d = gData;
    d.gDocumentKey = document;
    Open_Filepurchase();
    const std::optional<std::int32_t> first = PurchaseDetail_Find(document);
    if (!first) {
        ClosePurchaseFiles();
        CIATime(Msg(Message::NotFound), 5);
        return PurchaseLoad::NotFound;
    }
    for (std::int32_t r = *first; r <= d.gLastPurchaseLineRecord; ++r) {
        const std::string line = d.purchaseLines.Read(r);
        if (Mid(line, 1, 7) != document) break;
        const std::string key(TrimRightView(Mid(line, 19, 20)));
        const std::string where = "Label_Print: purchase " + document + " line " + std::string(Mid(line, 8, 3));
        const std::optional<ProductMatch> product = FindProduct(key);
        if (!product) {
            LogLine(where + ", product " + key + " not found, not loaded");
            continue;
        }
        if (Mid(product->record, 9, 1) == "S") {
            LogLine(where + ", product " + key + " is sold by weight, not loaded");
            continue;
        }
        const double quantity = Num_Val(Mid(line, 39, 9));
        const std::int32_t before = s.gItemCount;
        const double pending = s.gQuantity;
        Product_SetCurrent(key, product);  // the product the line is made of
        s.gLineKind = "P";
        s.gQuantity = quantity;  // the line is made with the purchase's quantity
        Product_Add();
        if (s.gItemCount <= before) {
            s.gQuantity = pending;
            LogLine(where + ", product " + key + " could not be added");
            continue;
        }
        const double made = s.gLines[static_cast<std::size_t>(s.gItemCount)].quantity;
        if (made != quantity)
            LogLine(where + ", the quantity " + Num_TextDisplay(quantity) + " is not a sale quantity, " +
                    Num_TextDisplay(made) + " taken");
    }
    Receipt_Display();
    ClosePurchaseFiles();
    return PurchaseLoad::Loaded;
}

}  // namespace

const std::string& LabelPiece(int format, std::string_view key) {
    static const std::string none;
    const int k = KeyIndex(key);
    if (format < 1 || format > kLabelFormats || k < 0) return none;
    return gLabel.LabelTemplate[static_cast<std::size_t>(format)][static_cast<std::size_t>(k)];
}

std::string LabelQuantity_Text(double quantity, bool* adjusted) {
    double whole = std::isfinite(quantity) ? std::round(quantity) : 1;
    if (whole < 1) whole = 1;
    if (whole > 9999) whole = 9999;
    if (adjusted) *adjusted = whole != quantity;
    char text[8];
    std::snprintf(text, sizeof text, "%04d", static_cast<int>(whole));
    return text;
}

void Label_Read_Setup() {
    gLabel = LabelState{};
    if (gSettings.gPrinterType == PrinterType::Off) {
        gPrint.gPrintStatus = 0;
        return;
    }
    ReadExtraLines();
    ReadTemplate();
}

void Label_Print() {
    CIATime(Msg(Message::PrintingInProgress), 0);
    const std::string entry = Screen().Text(kEntryBox);
    int format = entry == "2" ? 2 : entry == "3" ? 3 : 1;
    if (!entry.empty() && entry[0] == '0') {
        if (Purchase_LoadForLabels(entry.substr(1)) != PurchaseLoad::NotFound) return;
        format = 1;
    }
    SaleRun run;
    run.format = format;
    LabelOutput& out = run.out;
    if (!out.Open()) return;
    out.Part(format, "1INT");
    for (int n = 1; n <= gSale.gItemCount && n <= kMaxSaleLines && !out.Failed(); ++n) SaleLabel(run, n);
    out.Part(format, "2INT");
    out.Finish();
}

void Online_Label_By_Order() {
    const std::string order = Trim(Screen().Text(kEntryBox));
    CIATime(Msg(Message::RequestInProgress), 0);
    LabelOutput out;
    if (!out.Open()) {
        CIATime(kPortError, 10);
        return;
    }
    gOrderOutput = &out;
    bool communicated = true;
    std::string previous;
    for (int k = 1; k <= kMaxOrderLines && !out.Failed(); ++k) {
        const std::string line = std::to_string(k);
        CIATime(Msg(Message::ReceivingItem) + line, 0);
        const std::string payload =
            "<purchase order number>" + order + "</purchase order number><line number>" + line + "</line number>";
        if (!RequestIntoReply(StandardQuery(TaskCode::LabelsByPurchaseOrder, payload))) {
            communicated = false;
            CIATime(Msg(Message::UnsuccessfulCommunicationError), 0);
            break;
        }
        gOnline.gReplyTag = "purchase number";
        ASP_Decode();
        if (gOnline.gReplyValue.empty()) break;
        if (k > 1 && gOnline.gReply == previous) {
            LogLine("Online_Label_By_Order: the reply for line " + line + " of order " + order +
                    " repeats the one before, no more lines asked");
            break;
        }
        previous = gOnline.gReply;
        Label_By_Order();
        if (k == kMaxOrderLines)
            LogLine("Online_Label_By_Order: order " + order + " stops at line " + line + ", no more lines asked");
    }
    gOrderOutput = nullptr;
    if (communicated && !out.Failed()) CIATime(Msg(Message::CommunicationCompleted), 0);
    out.Part(3, "2INT");
    if (!out.Finish()) CIATime(kPortError, 10);
}

int Labels_ByOrder_Print(const std::vector<std::string>& replies, bool communicated) {
    LabelOutput out;
    if (!out.Open()) {
        CIATime(kPortError, 10);
        return 0;
    }
    gOrderOutput = &out;
    int printed = 0;
    for (const std::string& reply : replies) {
        if (out.Failed()) break;
        gOnline.gReply = reply;
        Label_By_Order();
        ++printed;
    }
    gOrderOutput = nullptr;
    if (communicated && !out.Failed()) CIATime(Msg(Message::CommunicationCompleted), 0);
    out.Part(3, "2INT");
    if (!out.Finish()) CIATime(kPortError, 10);
    return printed;
}

void Label_By_Order() {
    if (!gOrderOutput) {
        LogLine("Label_By_Order: no label output is open");
        return;
    }
    LabelOutput& out = *gOrderOutput;
    if (ReplyTag("product id").empty()) {
        CIATime(Msg(Message::ErrorServerMissingItem), 0);
        return;
    }
    const bool byBarcode = gSettings.gProductKeyMode.asText != ProductKey::Number;
    const std::string code = ReplyTag(byBarcode ? "product bar code" : "product number");
    if (code.empty()) {
        CIATime(Msg(Message::ErrorProductIdMissingFromResponse), 0);
        return;
    }
    const std::optional<ProductMatch> product = FindProduct(code);
    if (!product) {
        LogLine("Label_By_Order: product " + code + " is not in the product file, no label");
        return;
    }
    gSale.gLineKind = "P";
    const std::string record(product->record);
    const std::string key(TrimRightView(Mid(record, byBarcode ? 40 : 12, 20)));
    const std::string description(TrimRightView(Mid(record, 60, 30)));
    const double quantity = Num_Val(ReplyTag("order quantity"));
    out.Part(3, "1INT");
    out.Part(3, "1LBL");
    out.Piece(3, "NUM", key);
    out.Piece(3, "DES", description);
    out.Piece(3, "PRE", ReplyTag("order number"));
    out.Piece(3, "LOC", ReplyTag("order date"));
    out.Piece(3, "UPC", ReplyTag("client name"));
    out.Piece(3, "LG1", ReplyTag("telephone"));
    out.Piece(3, "LG2", ReplyTag("comment"));
    out.Piece(3, "QTY", QuantityText(quantity, "Label_By_Order"));
    out.Part(3, "2LBL");
}

}  // namespace tarvo
