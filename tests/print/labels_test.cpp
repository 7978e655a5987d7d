// Label printing on real parts: the template and label.txt as files in the
// terminal's folders, products and categories loaded by the data layer,
// purchases in the working files, lines added by the sale engine, and the
// labels on a pseudo-terminal, a plain file, the private print server or the
// capture backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "backoffice/backoffice_request.h"
#include "backoffice/dispatcher_stub.h"
#include "backoffice/online_state.h"
#include "backoffice/tag_text.h"
#include "common/money.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "data/transaction_files.h"
#include "file_size_limit.h"
#include "print/cups_fixture.h"
#include "print/devices.h"
#include "print/labels.h"
#include "print/printer_output.h"
#include "pty_pair.h"
#include "register/program_services.h"
#include "register/register_fixture.h"
#include "register_mode_print.h"
#include "screen/controls.h"
#include "screen/register_state.h"
#include "test_dir.h"

namespace tarvo {
namespace {

constexpr const char* kTerminal = "1234567";
constexpr const char* kOpenFailed = "Printer_Open: HandlerPrinterOpen, Unable to open printer port";

// The real customer devices, with the scale request counted instead of a port opened.
class CountedScale : public CustomerDevices {
public:
    int scaleRequests = 0;
    void Scale_Open(std::function<bool(double)>) override { ++scaleRequests; }
};

// The real services, with the scale counted.
struct LabelServices : ProgramServices {
    CountedScale scale;
    int& scaleRequests = scale.scaleRequests;
    ServiceSet Set() {
        ServiceSet set = ProgramServices::Set();
        set.devices = &scale;
        return set;
    }
};

struct Product {
    std::string number, key, barcode, description, price1, price2, category, location;
    bool weighed = false;
};

std::string ProductRecord(const Product& p) {
    std::string r = Fixed(273, {{1, p.number},
                                {12, p.key},
                                {34, p.category},
                                {40, p.barcode},
                                {60, p.description},
                                {100, p.price1},
                                {115, p.price2},
                                {250, p.location}});
    if (p.weighed) r[8] = 'S';
    return r;
}

const Product kHammer{"101", "A100", "0123456789012", "Hammer", "12.50", "11.25", "HW", "Aisle 4"};
const Product kNails{"102", "B200", "0223456789012", "Nails 2in", "3.00", "", "XX", "Bin 7"};
const Product kCheese{"103", "C300", "0323456789012", "Cheese", "9.99", "", "HW", "Cold", true};

// A template with every piece of format 1 in visible characters.
const std::vector<std::string> kFullTemplate = {
    "11INT [2]START", "12INT END[3]", "11LBL {",   "12LBL }",  "11NUM N:", "12NUM ;",  "11UPC U:",
    "12UPC ;",        "11DES D:",     "12DES ;",   "11PRE P:", "12PRE ;",  "11LOC L:", "12LOC ;",
    "11LG1 G1<",      "12LG1 >",      "11LG2 G2<", "12LG2 >",  "11QTY Q:", "12QTY ;",
};

class LabelTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        gPrint = PrintState{};
        gLabel = LabelState{};
        UseTerminalFolder(dir.Path(), kTerminal);
        Reg().services = labelServices.Set();
        Reg().programFolder = dir.Path();
        gSettings.gPrinterType = PrinterType::Lpt1;
        gSale.gMode = RegisterMode::Sales;
        gData.gClientRecNo = 1;
        gReg.gKeyPage = KeyPage::Department1;
        gReg.gLoggedOut = false;
        gReg.gReceiptAreaContent = ReceiptAreaContent::Grid;
    }
    void TearDown() override {
        PrinterCapture_End();
        Data_Reset(gData);
        gLabel = LabelState{};
        ProgramLog().Close();
        RegisterTest::TearDown();
    }

    void Template(const std::vector<std::string>& lines) {
        dir.Write("Files/" + std::string(kTerminal) + ".LBL", CrLf(lines));
    }
    void ExtraLines(const std::vector<std::string>& lines) { dir.Write("label.txt", CrLf(lines)); }
    void Store(const std::vector<Product>& products) {
        std::vector<std::string> lines;
        for (const Product& p : products) lines.push_back(ProductRecord(p));
        dir.Write("Files/" + std::string(kTerminal) + ".PRD", CrLf(lines));
        Parse_FileProduct();
        ASSERT_EQ(gData.gProductCount, static_cast<std::int32_t>(products.size()));
    }
    void Categories() {
        dir.Write("Files/" + std::string(kTerminal) + ".CTG",
                  CrLf({Fixed(37, {{1, "HW"}, {8, "Hardware"}}), Fixed(37, {{1, "FD"}, {8, "Food"}})}));
        Read_FileCategory();
    }
    // A sale line as the sale engine leaves it.
    void SaleLine(const std::string& key, const std::string& description, const char* price, double quantity) {
        const int n = ++gSale.gItemCount;
        gSale.gLines[n].key = key;
        gSale.gLines[n].description = description;
        gSale.gLines[n].unitPrice = *Money::Parse(price);
        gSale.gLines[n].quantity = quantity;
    }
    // Label_Print with `entry` in the entry box; the bytes of the capture.
    std::string Print(const std::string& entry = "") {
        screen.SetText(kEntryBox, entry);
        PrinterCapture capture;
        Label_Print();
        return capture.bytes;
    }
    void Map(const std::string& entries) { dir.Write(kDeviceMapFile, entries); }
    std::string Log() const { return dir.Read("Files/" + std::string(kTerminal) + ".LOG"); }
    bool Logged(const std::string& text) const { return Log().find(text) != std::string::npos; }

    // The purchase lines of .PUL, appended as the purchase save writes them.
    // Lines of purchases whose headers count as saved (an opener uncounts
    // lines of a purchase above the purchases' count).
    void PurchaseLines(const std::vector<std::string>& lines) {
        Open_Filepurchase();
        long top = gData.gLastPurchaseRecord;
        for (const std::string& l : lines) top = std::max(top, std::stol(l.substr(0, 7)));
        // The purchase itself is in the file (the opener never counts past it).
        std::string number = std::to_string(top);
        number.insert(0, 7 - number.size(), '0');
        if (top > gData.gLastPurchaseRecord) {
            ASSERT_TRUE(gData.purchases.Write(top, number + " 0"));
        }
        ASSERT_TRUE(gData.purchases.Write(1, HeaderRecord(top, 278)));
        for (const std::string& l : lines)
            ASSERT_TRUE(Transaction_Append(gData.purchaseLines, gData.gLastPurchaseLineRecord, 88, l));
        gData.purchaseLines.Close();
        gData.purchases.Close();
    }
    static std::string PurchaseLine(const char* number, const char* line, const char* key, const char* quantity) {
        return Fixed(88, {{1, number}, {8, line}, {11, "1"}, {19, key}, {39, quantity}});
    }

    TestDir dir;
    LabelServices labelServices;
};

// --------------------------------------------------------- reading files ----

TEST_F(LabelTest, TemplateLinesGiveTheirPieces) {
    Template({
        "22NUM [27]A[13][10]",    // codes become bytes
        "72NUM seven",            // format digit 7 counts as format 1
        "x1DES other character",  // so does a letter
        "31QTY [65.4][0][255]",   // a code is rounded; 0 and 255 are bytes too
        "11INT",                  // 5 characters: skipped
        "12INT ",                 // 6 characters: skipped
        "11LBL first",            // replaced by the later line
        "11LBL second",
        "21LBL format two",
        "11ABC unknown key",  // ignored
        "11lbl lower case",   // keys match exactly
        "11PRE#column six ignored",
        "11UPC a[300]b[x]c[]d]e[12",  // invalid codes and the unclosed one are left out
        "31LOC  keeps blanks ",
    });
    Label_Read_Setup();
    struct Case {
        int format;
        const char* key;
        std::string expected;
    };
    const Case cases[] = {
        {2, "2NUM",
         "\x1b"
         "A\r\n"},
        {1, "2NUM", "seven"},
        {1, "1DES", "other character"},
        {3, "1QTY", std::string("A\0\xff", 3)},
        {1, "1INT", ""},
        {1, "2INT", ""},
        {1, "1LBL", "second"},
        {2, "1LBL", "format two"},
        {3, "1LBL", ""},
        {1, "1PRE", "column six ignored"},
        {1, "1UPC", "abcde"},
        {3, "1LOC", " keeps blanks "},
        {0, "1LBL", ""},
        {4, "1LBL", ""},
        {1, "1ABC", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LabelPiece(c.format, c.key), c.expected) << "format " << c.format << " " << c.key;
    EXPECT_TRUE(Logged("template line 13, the code \"[300]\" is not a character code 0-255, left out"));
    EXPECT_TRUE(Logged("template line 13, the code \"[x]\" is not a character code 0-255, left out"));
    EXPECT_TRUE(Logged("template line 13, the code \"[]\" is not a character code 0-255, left out"));
    EXPECT_TRUE(Logged("template line 13, a \"]\" that closes no \"[\" is left out"));
    EXPECT_TRUE(Logged("template line 13, the code \"[12\" is not closed, left out"));
}

TEST_F(LabelTest, LabelTxtKeepsTheFirstTenQualifyingLines) {
    std::vector<std::string> lines = {"", "5 not a kind", "0 neither", "text"};
    for (int i = 1; i <= 12; ++i) lines.push_back(std::to_string(1 + (i - 1) % 4) + "Text " + std::to_string(i));
    ExtraLines(lines);
    Label_Read_Setup();
    ASSERT_EQ(gLabel.gLabelExtraCount, 10);
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(gLabel.gLabelExtraKind[static_cast<std::size_t>(i)], 1 + (i - 1) % 4) << i;
        EXPECT_EQ(gLabel.gLabelExtraText[static_cast<std::size_t>(i)], "Text " + std::to_string(i)) << i;
    }
}

TEST_F(LabelTest, NothingIsLoadedWithPrintingOffOrWithoutFiles) {
    Template(kFullTemplate);
    ExtraLines({"1Price: "});
    gSettings.gPrinterType = PrinterType::Off;
    gPrint.gPrintStatus = 3;
    Label_Read_Setup();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(gLabel.gLabelExtraCount, 0);
    EXPECT_EQ(LabelPiece(1, "1INT"), "");

    std::filesystem::remove(dir / "label.txt");
    std::filesystem::remove(dir / ("Files/" + std::string(kTerminal) + ".LBL"));
    gSettings.gPrinterType = PrinterType::Lpt1;
    Label_Read_Setup();
    EXPECT_EQ(gLabel.gLabelExtraCount, 0);
    for (int f = 1; f <= 3; ++f)
        for (auto key : kLabelKeys) EXPECT_EQ(LabelPiece(f, key), "") << f << " " << key;
    // A run with an empty template writes nothing.
    SaleLine("A100", "Hammer", "1", 1);
    EXPECT_EQ(Print(), "");
    EXPECT_EQ(gPrint.gPrintStatus, 0);
}

// ---------------------------------------------------------- the printout ----

TEST_F(LabelTest, EveryPieceAndExtraKindOfTheSaleLabels) {
    Store({kHammer, kNails});
    Categories();
    Template(kFullTemplate);
    ExtraLines({"1Price 2: ", "2Cat: "});
    Label_Read_Setup();
    SaleLine("A100", "  Hammer ", "12.5", 2);      // found, with its category
    SaleLine("ZZZ", "Loose item", "3.5", 12.5);    // not in the product file
    SaleLine("B200", "Nails 2in", "1234.567", 1);  // found, category not in the table
    const std::string expected =
        "\x02START\r\n"
        "{\r\nN:A100;\r\nU:0123456789012;\r\nD:Hammer;\r\nP:12.50;\r\nL:Aisle 4;\r\nG1<>\r\nG2<>\r\n"
        "Price 2: 11.25\r\nCat: Hardware\r\nQ:0002;\r\n}\r\n"
        "{\r\nN:ZZZ;\r\nD:Loose item;\r\nP:3.50;\r\nG1<>\r\nG2<>\r\nQ:0013;\r\n}\r\n"
        "{\r\nN:B200;\r\nU:0223456789012;\r\nD:Nails 2in;\r\nP:1234.57;\r\nL:Bin 7;\r\nG1<>\r\nG2<>\r\n"
        "Price 2: 0.00\r\nQ:0001;\r\n}\r\n"
        "END\x03\r\n";
    EXPECT_EQ(Print(), expected);
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(screen.Text(kMessageLine), "Printing in Progress");
    EXPECT_TRUE(Logged("Label_Print: the quantity 12.5 is printed as 0013"));
}

TEST_F(LabelTest, ProductKeyModeChoosesWhichPiecesNeedTheProductFile) {
    Template({"11NUM N:", "12NUM ;", "11UPC U:", "12UPC ;", "11LOC L:", "12LOC ;"});
    struct Case {
        const char* mode;
        const char* foundKey;  // the key a sale line holds in that mode
        std::string expected;
    };
    const Case cases[] = {
        {"0", "A100", "N:A100;\r\nU:0123456789012;\r\nL:Aisle 4;\r\nN:NOPE;\r\n"},
        {"1", "0123456789012", "N:A100;\r\nU:0123456789012;\r\nL:Aisle 4;\r\nU:NOPE;\r\n"},
        {"2", "0123456789012", "N:A100;\r\nU:0123456789012;\r\nL:Aisle 4;\r\n"},
    };
    for (const auto& c : cases) {
        gSettings.gProductKeyMode = ProductKeyMode_Read(c.mode);
        Store({kHammer, kNails});
        Label_Read_Setup();
        gSale.gItemCount = 0;
        SaleLine(c.foundKey, "Hammer", "1", 1);
        SaleLine("NOPE", "Unknown", "1", 1);
        EXPECT_EQ(Print(), c.expected) << "key mode " << c.mode;
    }
}

TEST(LabelQuantity, WholeNumbersFromOneTo9999InFourDigits) {
    struct Case {
        double quantity;
        const char* text;
        bool adjusted;
    };
    const Case cases[] = {
        {2, "0002", false},    {3, "0003", false},           {12, "0012", false},
        {9999, "9999", false}, {12345, "9999", true},        {12.5, "0013", true},
        {1.5, "0002", true},   {0.4, "0001", true},          {0, "0001", true},
        {-3, "0001", true},    {std::nan(""), "0001", true}, {std::numeric_limits<double>::infinity(), "0001", true},
    };
    for (const auto& c : cases) {
        bool adjusted = !c.adjusted;
        EXPECT_EQ(LabelQuantity_Text(c.quantity, &adjusted), c.text) << c.quantity;
        EXPECT_EQ(adjusted, c.adjusted) << c.quantity;
    }
}

TEST_F(LabelTest, EntryChoosesTheFormatOrAPurchase) {
    Template({"11LBL one", "21LBL two", "31LBL three"});
    Label_Read_Setup();
    PurchaseLines({PurchaseLine("0000123", "001", "A100", "4")});
    Store({kHammer});
    SaleLine("A100", "Hammer", "1", 1);
    struct Case {
        const char* entry;
        const char* expected;
    };
    const Case cases[] = {{"", "one\r\n"},  {"2", "two\r\n"},  {"3", "three\r\n"}, {"12", "one\r\n"},
                          {"4", "one\r\n"}, {"2 ", "one\r\n"}, {"0123", ""}};
    for (const auto& c : cases) EXPECT_EQ(Print(c.entry), c.expected) << "entry \"" << c.entry << "\"";
    // 0123 loaded purchase 123 (its number padded to seven digits).
    EXPECT_EQ(gData.gDocumentKey, "0000123");
    ASSERT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(gSale.gLines[2].quantity, 4);
}

// ------------------------------------------------------ purchase loading ----

TEST_F(LabelTest, PurchaseLoadAddsItsLinesWithTheirQuantities) {
    Store({kHammer, kNails, kCheese});
    Template(kFullTemplate);
    Label_Read_Setup();
    PurchaseLines({
        PurchaseLine("0000002", "001", "B200", "1"),
        PurchaseLine("0000003", "001", "A100", "2"),
        PurchaseLine("0000003", "002", "GONE", "5"),
        PurchaseLine("0000003", "003", "B200", "12.5"),
        PurchaseLine("0000004", "001", "A100", "9"),
    });
    EXPECT_EQ(Print("03"), "");
    ASSERT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(gSale.gLines[1].key, "A100");
    EXPECT_EQ(gSale.gLines[1].quantity, 2);
    EXPECT_EQ(gSale.gLines[1].extension, Money::FromCents(2500));  // priced for its quantity
    EXPECT_EQ(gSale.gLines[2].key, "B200");
    EXPECT_EQ(gSale.gLines[2].quantity, 12.5);
    EXPECT_EQ(gSale.gLines[2].extension, Money::FromCents(3750));
    EXPECT_EQ(gSale.gQuantity, 1);
    EXPECT_TRUE(Logged("Label_Print: purchase 0000003 line 002, product GONE not found, not loaded"));
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Description, 2}), "Nails 2in");  // the receipt grid is redrawn
    EXPECT_FALSE(gData.purchaseLines.IsOpen());
    EXPECT_FALSE(gData.purchases.IsOpen());
    // The second press prints them.
    const std::string labels = Print();
    EXPECT_NE(labels.find("N:A100;\r\n"), std::string::npos);
    EXPECT_NE(labels.find("Q:0013;\r\n"), std::string::npos);
}

TEST_F(LabelTest, PurchaseNotFoundSaysSoAndPrintsTheSale) {
    Store({kHammer});
    Template({"11LBL {", "11NUM N:"});
    Label_Read_Setup();
    PurchaseLines({PurchaseLine("0000002", "001", "A100", "1")});
    SaleLine("A100", "Hammer", "1", 1);
    EXPECT_EQ(Print("07"), "{\r\nN:A100\r\n");
    EXPECT_EQ(screen.Text(kMessageLine), "Not Found");
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_FALSE(gData.purchaseLines.IsOpen());
}

TEST_F(LabelTest, PurchaseLoadIsRefusedOutsideSalesMode) {
    Store({kHammer});
    Template({"11LBL {"});
    Label_Read_Setup();
    PurchaseLines({PurchaseLine("0000002", "001", "A100", "1")});
    struct Case {
        const char* what;
        void (*set)();
    };
    const Case cases[] = {
        {"order entry", [] { gSale.gMode = RegisterMode::OrderEntry; }},
        {"purchase", [] { gSale.gMode = RegisterMode::Purchase; }},
        {"stock count", [] { gSale.gMode = RegisterMode::StockCount, gSale.gStockCount = true; }},
        {"void mode", [] { gSale.gVoidMode = true; }},
        {"price search", [] { gSale.gPriceSearch = true; }},
    };
    for (const auto& c : cases) {
        gSale = SaleState{};
        gSale.gMode = RegisterMode::Sales;
        c.set();
        screen.SetText(kMessageLine, "");
        EXPECT_EQ(Print("02"), "") << c.what;
        EXPECT_EQ(gSale.gItemCount, 0) << c.what;
        EXPECT_EQ(screen.Text(kMessageLine), "Invalid Entry") << c.what;
        EXPECT_FALSE(gData.purchaseLines.IsOpen()) << c.what;
    }
    EXPECT_TRUE(Logged("Label_Print: purchase 0000002 not loaded, the register is not in plain Sales mode"));
}

TEST_F(LabelTest, PurchaseLoadNeverWeighsAndNeverMovesAQuantityToAnotherLine) {
    gSettings.gScalePort = 1;
    Store({kHammer, kCheese});
    PurchaseLines({
        PurchaseLine("0000002", "001", "A100", "3"),
        PurchaseLine("0000002", "002", "C300", "2.5"),
    });
    screen.SetText(kEntryBox, "02");
    Label_Print();
    EXPECT_EQ(labelServices.scaleRequests, 0);
    EXPECT_EQ(gSale.gScaleRequestCount, -1);
    EXPECT_EQ(gSale.gScaleProductRecNo, 0);
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gLines[1].key, "A100");
    EXPECT_EQ(gSale.gLines[1].quantity, 3);
    EXPECT_TRUE(Logged("Label_Print: purchase 0000002 line 002, product C300 is sold by weight, not loaded"));
}

TEST_F(LabelTest, PurchaseLineTheSaleRefusesGetsNoQuantity) {
    // A full sale refuses the line: no other line takes its quantity.
    Store({kHammer});
    PurchaseLines({PurchaseLine("0000002", "001", "A100", "3")});
    for (int i = 1; i <= kMaxSaleLines; ++i) SaleLine("A100", "Hammer", "1", 7);
    screen.SetText(kEntryBox, "02");
    Label_Print();
    EXPECT_EQ(gSale.gItemCount, kMaxSaleLines);
    EXPECT_EQ(gSale.gLines[kMaxSaleLines].quantity, 7);
    EXPECT_EQ(gSale.gQuantity, 1);
    EXPECT_TRUE(Logged("Label_Print: purchase 0000002 line 001, product A100 could not be added"));
}

// --------------------------------------------------------------- outputs ----

// 2LBL without 1LBL is still written; 2DES without 1DES is not.
const std::vector<std::string> kSmallTemplate = {"11INT [27]@", "12INT [12]", "12LBL ~",
                                                 "11NUM N:",    "12DES ;",    "11QTY Q:"};
const std::string kSmallLabels = "\x1b@\r\nN:A100\r\nQ:0002\r\n~\r\n\x0c\r\n";

TEST_F(LabelTest, SerialLabelPrinterReceivesTheLabels) {
    Template(kSmallTemplate);
    Label_Read_Setup();
    SaleLine("A100", "Hammer", "1", 2);
    struct Case {
        PrinterType type;
        const char* port;
    };
    const Case cases[] = {{PrinterType::Com1, "COM1"}, {PrinterType::Com3, "COM3"}};
    for (const auto& c : cases) {
        PtyPair pty(dir.Path());
        ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
        Map(std::string(c.port) + "=" + pty.A() + "\n");
        gSettings.gPrinterType = c.type;
        screen.SetText(kEntryBox, "");
        Label_Print();
        EXPECT_EQ(gPrint.gPrintStatus, 0) << static_cast<int>(c.type);
        EXPECT_EQ(pty.ReadB(kSmallLabels.size()), kSmallLabels) << static_cast<int>(c.type);
    }
}

TEST_F(LabelTest, ParallelLabelPrinterWritesItsDeviceFile) {
    Template(kSmallTemplate);
    Label_Read_Setup();
    SaleLine("A100", "Hammer", "1", 2);
    const std::string file = dir.Write("lp2.out", "an older printout");
    Map("LPT2=" + file + "\n");
    gSettings.gPrinterType = PrinterType::Lpt2;
    screen.SetText(kEntryBox, "");
    Label_Print();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(dir.Read("lp2.out"), kSmallLabels);
}

TEST_F(LabelTest, LabelOutputThatCannotOpenIsNeverSuccess) {
    Template(kSmallTemplate);
    Label_Read_Setup();
    SaleLine("A100", "Hammer", "1", 2);
    Map("LPT1=" + (dir / "missing/lp0") + "\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    screen.SetText(kEntryBox, "");
    Label_Print();
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    EXPECT_TRUE(Logged(kOpenFailed));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    // Printing switched off: nothing is opened.
    gSettings.gPrinterType = PrinterType::Off;
    Label_Print();
    EXPECT_EQ(gPrint.gPrintStatus, 5);
}

TEST_F(LabelTest, LabelOutputThatFailsWhileWritingStopsThere) {
    Store({kHammer});
    Template(kFullTemplate);
    Label_Read_Setup();
    for (int i = 0; i < 20; ++i) SaleLine("A100", "Hammer", "1", 2);
    const std::string all = Print();  // what a whole run writes
    const std::string file = dir.Write("lp.out", "");
    Map("LPT1=" + file + "\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    screen.SetText(kEntryBox, "");
    // Room for the log line about the failure, not for the labels.
    const auto room = static_cast<rlim_t>(Log().size() + 400);
    ASSERT_GT(all.size(), room);
    {
        FileSizeLimit limit(room);
        Label_Print();
    }
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    EXPECT_TRUE(Logged(kOpenFailed));
    const std::string written = dir.Read("lp.out");
    EXPECT_LT(written.size(), all.size());
    EXPECT_EQ(written, all.substr(0, written.size()));
    EXPECT_EQ(written.find("END"), std::string::npos);
}

using LabelSpoolerTest = CupsSpoolerTest<LabelTest>;

TEST_F(LabelSpoolerTest, SpoolerLabelsGoAsOneRawJobAndTheFileIsDeleted) {
    Template(kSmallTemplate);
    Label_Read_Setup();
    SaleLine("A100", "Hammer", "1", 2);
    SaleLine("A100", "Hammer", "1", 2);
    gSettings.gPrinterType = PrinterType::Spooler;
    screen.SetText(kEntryBox, "");
    Label_Print();
    EXPECT_EQ(gPrint.gPrintStatus, 0) << Log();
    EXPECT_EQ(ReceiveJob(), "\x1b@\r\nN:A100\r\nQ:0002\r\n~\r\nN:A100\r\nQ:0002\r\n~\r\n\x0c\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "printer.txt"));
}

TEST_F(LabelSpoolerTest, SpoolerThatRefusesTheLabelsIsNeverSuccess) {
    Template(kSmallTemplate);
    Label_Read_Setup();
    SaleLine("A100", "Hammer", "1", 2);
    Map("SPOOLER=REJQ\n");
    gSettings.gPrinterType = PrinterType::Spooler;
    screen.SetText(kEntryBox, "");
    Label_Print();
    EXPECT_EQ(gPrint.gPrintStatus, 3);
    EXPECT_TRUE(Logged("Label output: the print spooler did not take the labels"));
    EXPECT_FALSE(std::filesystem::exists(dir / "printer.txt"));
}

// ------------------------------------------------------ the back office ----

// A format 3 template with every piece of a label by order.
const std::vector<std::string> kOrderTemplate = {
    "31INT [2]", "32INT [3]", "31LBL {",    "32LBL }", "31NUM N:",    "32NUM ;", "31DES D:", "31PRE O:",
    "31LOC T:",  "31UPC C:",  "31LG1 Tel<", "32LG1 >", "31LG2 Note<", "32LG2 >", "31QTY Q:", "32QTY ;",
};

std::string OrderLineReply(const std::string& number, const std::string& barcode, const std::string& quantity,
                           const std::string& comment = "rush") {
    return "<purchase number>77</purchase number><product id>9</product id><product number>" + number +
           "</product number><product bar code>" + barcode + "</product bar code><order quantity>" + quantity +
           "</order quantity><client name> Smith Hardware </client name><telephone>555-0100</telephone><comment>" +
           comment + "</comment><order number>PO-77</order number><order date>2026-12-01</order date>";
}
const std::string kNoMoreLines = "<purchase number></purchase number>";

std::string OrderLabel(const std::string& key, const std::string& description, const std::string& quantity,
                       const std::string& comment = "rush") {
    return "\x02\r\n{\r\nN:" + key + ";\r\nD:" + description + "\r\nO:PO-77\r\nT:2026-12-01\r\nC:Smith Hardware\r\n" +
           "Tel<555-0100>\r\nNote<" + comment + ">\r\nQ:" + quantity + ";\r\n}\r\n";
}

// The line number a task 14 request asks for.
int AskedLine(const DispatcherCall& call) { return std::atoi(Extract(call.Param("data"), "line number").c_str()); }

class LabelOnlineTest : public LabelTest {
protected:
    void SetUp() override {
        LabelTest::SetUp();
        gOnline = OnlineState{};
        gTerminalNumber = kTerminal;
        gConstants.servers.gServerSlot = 1;
        ASSERT_TRUE(stub.Bound());
        stub.UseAsSlot(1);
        Store({kHammer, kNails, kCheese});
    }
    // Task 14 answered by line number; lines past the list have no purchase number.
    void OrderLines(std::vector<std::string> replies) {
        stub.SetHandler([replies](const DispatcherCall& call) {
            const int k = AskedLine(call);
            return DispatcherAnswer{200, k >= 1 && k <= static_cast<int>(replies.size())
                                             ? replies[static_cast<std::size_t>(k - 1)]
                                             : kNoMoreLines};
        });
    }
    std::string ByOrder(const std::string& entry) {
        screen.SetText(kEntryBox, entry);
        PrinterCapture capture;
        Online_Label_By_Order();
        return capture.bytes;
    }

    DispatcherStub stub;
};

TEST_F(LabelOnlineTest, LabelsOfEachOrderLineUntilOneHasNoPurchaseNumber) {
    Template(kOrderTemplate);
    Label_Read_Setup();
    OrderLines({OrderLineReply("A100", "x", "3"), OrderLineReply("B200", "x", "12.5", ""),
                OrderLineReply("C300", "x", "")});
    EXPECT_EQ(ByOrder(" PO 77 "), OrderLabel("A100", "Hammer", "0003") + OrderLabel("B200", "Nails 2in", "0013", "") +
                                      OrderLabel("C300", "Cheese", "0001") + "\x03\r\n");
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(screen.Text(kMessageLine), "Communication Completed");
    const auto calls = stub.Calls();
    ASSERT_EQ(calls.size(), 4u);
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].Keys(), (std::vector<std::string>{"task", "terminal", "debugmode", "data"}));
        EXPECT_EQ(calls[i].Param("task"), "14");
        EXPECT_EQ(calls[i].Param("terminal"), kTerminal);
        EXPECT_EQ(calls[i].Param("data"), "<purchase order number>PO 77</purchase order number><line number>" +
                                              std::to_string(i + 1) + "</line number>");
    }
    EXPECT_TRUE(Logged("Label_By_Order: the quantity 12.5 is printed as 0013"));
    EXPECT_TRUE(Logged("Label_By_Order: the quantity 0 is printed as 0001"));
}

TEST_F(LabelOnlineTest, ProductKeyModeChoosesTheReplysProductCode) {
    Template({"31NUM N:"});
    Label_Read_Setup();
    struct Case {
        ProductKey mode;
        std::string expected;
    };
    const Case cases[] = {{ProductKey::Number, "N:A100\r\n"}, {ProductKey::BarCode, "N:0223456789012\r\n"}};
    for (const auto& c : cases) {
        gSettings.gProductKeyMode = c.mode;
        Store({kHammer, kNails, kCheese});
        OrderLines({OrderLineReply("A100", "0223456789012", "1")});
        EXPECT_EQ(ByOrder("5"), c.expected) << "key mode " << static_cast<int>(c.mode);
    }
}

TEST_F(LabelOnlineTest, LinesWithoutWhatALabelNeedsAreLeftOut) {
    Template(kOrderTemplate);
    Label_Read_Setup();
    OrderLines({
        "<purchase number>77</purchase number><product number>A100</product number>",  // no product id
        "<purchase number>77</purchase number><product id>9</product id>",             // no product number
        OrderLineReply("GONE", "x", "1"),                                              // not in the product file
        OrderLineReply("A100", "x", "2"),
    });
    gSale.gItemCount = 0;
    EXPECT_EQ(ByOrder("77"), OrderLabel("A100", "Hammer", "0002") + "\x03\r\n");
    EXPECT_EQ(stub.Calls().size(), 5u);
    EXPECT_TRUE(Logged("Error: Server Missing Item"));
    EXPECT_TRUE(Logged("Error: Product Id Missing from Response"));
    EXPECT_TRUE(Logged("Label_By_Order: product GONE is not in the product file, no label"));
    EXPECT_EQ(screen.Text(kMessageLine), "Communication Completed");
}

TEST_F(LabelOnlineTest, AReplyThatRepeatsTheOneBeforeEndsTheOrder) {
    Template(kOrderTemplate);
    Label_Read_Setup();
    stub.SetReply(TaskCode::LabelsByPurchaseOrder, OrderLineReply("A100", "x", "1"));
    EXPECT_EQ(ByOrder("77"), OrderLabel("A100", "Hammer", "0001") + "\x03\r\n");
    EXPECT_EQ(stub.Calls().size(), 2u);
    EXPECT_TRUE(Logged("Online_Label_By_Order: the reply for line 2 of order 77 repeats the one before"));
}

TEST_F(LabelOnlineTest, AnOrderStopsAtLine999) {
    Template({"31NUM N:"});
    Label_Read_Setup();
    stub.SetHandler([](const DispatcherCall& call) {
        return DispatcherAnswer{200, OrderLineReply("A100", "x", "1", std::to_string(AskedLine(call)))};
    });
    std::string expected;
    for (int k = 1; k <= 999; ++k) expected += "N:A100\r\n";
    EXPECT_EQ(ByOrder("77"), expected);
    EXPECT_EQ(stub.Calls().size(), 999u);
    EXPECT_TRUE(Logged("Online_Label_By_Order: order 77 stops at line 999"));
}

TEST_F(LabelOnlineTest, ServerThatFailsEndsTheRunWithWhatWasPrinted) {
    Template(kOrderTemplate);
    Label_Read_Setup();
    stub.SetHandler([](const DispatcherCall& call) {
        return AskedLine(call) == 1 ? DispatcherAnswer{200, OrderLineReply("A100", "x", "1")}
                                    : DispatcherAnswer{500, "Server Error"};
    });
    EXPECT_EQ(ByOrder("77"), OrderLabel("A100", "Hammer", "0001") + "\x03\r\n");
    EXPECT_EQ(screen.Text(kMessageLine), "Unsuccessful: Communication Error");

    // No server at all.
    std::string host;
    {
        DispatcherStub gone;
        host = gone.Host();
    }
    gConstants.servers.gServerUrls[0] = DispatcherUrl(host);
    EXPECT_EQ(ByOrder("77"), "\x03\r\n");
    EXPECT_EQ(screen.Text(kMessageLine), "Unsuccessful: Communication Error");
}

TEST_F(LabelOnlineTest, LabelOutputThatCannotOpenAsksNothing) {
    Template(kOrderTemplate);
    Label_Read_Setup();
    OrderLines({OrderLineReply("A100", "x", "1")});
    Map("LPT1=" + (dir / "missing/lp0") + "\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    screen.SetText(kEntryBox, "77");
    Online_Label_By_Order();
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    EXPECT_EQ(screen.Text(kMessageLine), "Error: Unable to open printer port");
    EXPECT_TRUE(Logged(kOpenFailed));
    EXPECT_TRUE(stub.Calls().empty());
}

TEST_F(LabelOnlineTest, ClassAndDepartmentComeFromTheProductMaster) {
    Template({"11NUM N:"});
    ExtraLines({"3Class: ", "4Dept: "});
    Label_Read_Setup();
    stub.SetHandler([](const DispatcherCall& call) {
        if (call.Param("data") == "101")
            return DispatcherAnswer{200,
                                    "<category>HW</category><class>Tools</class><department>Hardware</department>"};
        return DispatcherAnswer{200, "<category>HW</category><class></class><department>Bulk</department>"};
    });
    SaleLine("A100", "Hammer", "1", 1);
    gSale.gLines[1].product = "101";
    SaleLine("B200", "Nails", "1", 1);
    gSale.gLines[2].product = "102";
    EXPECT_EQ(Print(), "N:A100\r\nClass: Tools\r\nDept: Hardware\r\nN:B200\r\nDept: Bulk\r\n");
    const auto calls = stub.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].Keys(), (std::vector<std::string>{"task", "data", "terminal"}));
    EXPECT_EQ(calls[0].Param("task"), "1");
    EXPECT_EQ(calls[0].Param("terminal"), kTerminal);
    EXPECT_EQ(calls[3].Param("data"), "102");

    // A back office that does not answer: the labels print without them, and
    // it is asked once, not for every label.
    stub.SetHandler([](const DispatcherCall&) { return DispatcherAnswer{500, ""}; });
    EXPECT_EQ(Print(), "N:A100\r\nN:B200\r\n");
    EXPECT_EQ(stub.Calls().size(), 5u);
    EXPECT_TRUE(Logged("Label_Print: the back office did not answer, class and department are left out"));
}

}  // namespace
}  // namespace tarvo
