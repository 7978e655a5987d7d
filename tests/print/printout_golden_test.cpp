// Golden printouts: each file of tests/fixtures/printouts/ is one case, its
// input a few lines over a small store, its expected printout below the
// separator. The driver builds the case through the register's own code (the
// sale save, the order, purchase and adjustment saves, the cash-office
// writers, the master files, the label template, the stock count's sale
// line), prints it into the capture backend and compares the text line by
// line. TARVO_REWRITE_GOLDENS=1 writes what was printed into the files.
//
// Input lines ("name: arguments"; "#" starts a comment line):
//   print: receipt | order | purchase | adjustment | deposit-safe |
//          deposit-bank | paid-out | client-sheet | product-sheet | labels |
//          count
//   paper: narrow | wide          language: 1 | 2 (the terminal's)
//   client: C100                  the sale's or order's client
//   line: KEY QTY PRICE [note]    a line of the sale (the price is the cost on
//                                 a purchase)
//   totals: NAME AMOUNT ...       subtotal discount tax1 tax2 tax3 total change
//   tender: TYPE AMOUNT [reference]
//   card: swiped|keyed NUMBER EXPIRY [holder]   of the last tender
//   backend: 1 | 2 | 3            the card back-end
//   variant: gift | duplicate | second-copy | training
//   order: special | layaway | quotation | store
//   vendor: V100                  purchase: the vendor
//   adjust: in|out REASON         adjustment: direction and reason digit
//   manager: yes                  the manager Bob is selected
//   amount: 12.50                 a cash-office slip's amount
//   record: N                     a sheet's record of the master file
//   template: TEXT                a line of the label template
//   extra: TEXT                   a line of label.txt
//   count: KEY QTY PRICE EXTENSION DESCRIPTION   one counted item
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/money.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "inventory/adjustments.h"
#include "inventory/orders.h"
#include "inventory/purchases.h"
#include "office/cash_office.h"
#include "print/count_tickets.h"
#include "print/golden_file.h"
#include "print/inventory_documents.h"
#include "print/labels.h"
#include "print/office_slips.h"
#include "print/order_document.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "print/receipt.h"
#include "print/report_header.h"
#include "register/program_services.h"
#include "register/register_fixture.h"
#include "register_mode_print.h"
#include "sale/sale_save.h"
#include "sale/tenders.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {
namespace {

constexpr const char* kTerminal = "1234567";

std::string Folder() { return std::string(TARVO_FIXTURES) + "/printouts"; }

Money M(const std::string& text) {
    const auto m = Money::Parse(text);
    EXPECT_TRUE(m.has_value()) << "not an amount: " << text;
    return m.value_or(Money());
}

// One input line: its name, its words, and the text after the first n words.
struct Input {
    std::string name;
    std::vector<std::string> words;
    std::string rest;  // everything after "name: "
    std::string After(std::size_t n) const {
        std::size_t at = 0;
        for (std::size_t k = 0; k < n; ++k) {
            at = rest.find_first_not_of(' ', at);
            at = at == std::string::npos ? rest.size() : rest.find(' ', at);
            if (at == std::string::npos) return "";
        }
        at = rest.find_first_not_of(' ', at);
        return at == std::string::npos ? "" : rest.substr(at);
    }
    const std::string& Word(std::size_t k) const {
        static const std::string none;
        return k < words.size() ? words[k] : none;
    }
};

std::vector<Input> ParseInput(const std::vector<std::string>& lines) {
    std::vector<Input> out;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t colon = line.find(':');
        EXPECT_NE(colon, std::string::npos) << "no name in: " << line;
        if (colon == std::string::npos) continue;
        Input in;
        in.name = line.substr(0, colon);
        in.rest = line.substr(colon + 1);
        if (!in.rest.empty() && in.rest[0] == ' ') in.rest.erase(0, 1);
        std::istringstream words(in.rest);
        for (std::string w; words >> w;) in.words.push_back(w);
        out.push_back(in);
    }
    return out;
}

// The store's products: number, key (also the product number the keys are
// looked up by), bar code, description, taxes, price, units, location.
struct StoreProduct {
    const char *number, *key, *barcode, *description, *taxes, *price, *units, *location;
    bool weighed;
};
const StoreProduct kProducts[] = {
    {"1001", "APPLE", "0001112223334", "Apple", "1  ", "1.50", "1", "A-12", false},
    {"1002", "BOOK", "0002223334445", "Book", "   ", "20.00", "1", "Shelf 3", false},
    {"1003", "CHEESE", "0003334445556", "Cheese", "11 ", "8.00", "1", "Cold", true},
    {"1004", "SCREWS", "0004445556667", "Screws, box of 12", "111", "6.00", "12", "Bin 7", false},
};

class PrintoutGolden : public RegisterTest, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path(), kTerminal);
        Reg().services = programServices.Set();
        Reg().programFolder = dir.Path();
        gPrint = PrintState{};
        gSaleSave = SaleSaveState{};
        gReportHeader = ReportHeaderState{};
        gLabel = LabelState{};
        gCountRunningTotal = Money();
        gTerminalNumber = kTerminal;
        gReg.gBusinessDate = "20261209";
        gReg.gLoggedOut = false;
        gReg.gKeyPage = KeyPage::Department1;
        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
        gData.gCashierCount = 1;
        gData.ManagerTable.push_back(ManagerRow{"00000003", "33", "Bob", ""});
        gData.gManagerCount = 1;
        gReg.gCashierIndex = 1;
        gSettings.gPrintCashier = true;
        gSettings.gHeaderLine = {"MY STORE", "", "  12 Main St", "", ""};
        gSettings.gTerminalDescription = "Front";
        gSettings.gTaxName = {"GST", "PST", "HST"};
        gSettings.gWeightUnit = "Lb";
        gSettings.gHomeMode = RegisterMode::Sales;
        gSettings.gAskPurchaseCost = true;
        gSettings.gAskPurchasePrice = false;
        gSettings.gAskPurchaseComment = false;
        PaymentTypes();
        print_golden::UseReadableCodes();
        gSettings.gPrinterType = PrinterType::Com1;

        std::vector<std::string> products;
        for (const StoreProduct& p : kProducts) {
            std::string r = Fixed(273, {{1, p.number},
                                        {12, p.key},
                                        {40, p.barcode},
                                        {60, p.description},
                                        {90, p.taxes},
                                        {100, p.price},
                                        {175, p.units},
                                        {250, p.location}});
            if (p.weighed) r[8] = 'S';
            products.push_back(r);
        }
        dir.Write("Files/" + std::string(kTerminal) + ".PRD", CrLf(products));
        Parse_FileProduct();
        dir.Write("Files/" + std::string(kTerminal) + ".CLI", CrLf({Fixed(210, {{1, "C100"},
                                                                                {9, "1"},
                                                                                {12, "00000100"},
                                                                                {20, "Jean Tremblay"},
                                                                                {50, "12 Main St"},
                                                                                {80, "Apt 4"},
                                                                                {140, "555-0100"}}),
                                                                    Fixed(210, {{1, "C200"},
                                                                                {9, "2"},
                                                                                {12, "00000200"},
                                                                                {20, "Marie Roy"},
                                                                                {50, "8 rue du Port"},
                                                                                {140, "555-0200"}})}));
        Parse_FileClient();
        dir.Write("Files/" + std::string(kTerminal) + ".VND", CrLf({Fixed(220, {{1, "V100"},
                                                                                {9, "Acme Supply"},
                                                                                {49, "12 Mill Road"},
                                                                                {129, "Springfield"},
                                                                                {179, " 1"},
                                                                                {181, "555-0100"},
                                                                                {201, "555-0101"}}),
                                                                    Fixed(220, {{1, "V200"},
                                                                                {9, "Fournitures Boreal"},
                                                                                {49, "8 rue du Port"},
                                                                                {129, "Quebec"},
                                                                                {179, " 2"},
                                                                                {181, "555-0200"}})}));
        Parse_Filevendor();
        gSale = SaleState{};
        gSale.gDateText = "09/Dec/2026";  // today as the report heading prints it
    }
    void TearDown() override {
        PrinterCapture_End();
        Printer_Abandon();
        gSettings.gPrinterType = PrinterType::Off;
        Data_Reset(gData);
        gLabel = LabelState{};
        RegisterTest::TearDown();
    }

    // "Cash" (type code 1) and "Visa Card" (code 4, two caption lines).
    static void PaymentTypes() {
        for (PaymentType& t : gSettings.PaymentTypes) t = PaymentType{};
        PaymentType& cash = gSettings.PaymentTypes[1];
        cash.Number = "1";
        cash.CardType = "1";
        cash.Name1 = "Cash";
        PaymentType& visa = gSettings.PaymentTypes[4];
        visa.Number = "4";
        visa.CardType = "4";
        visa.Name1 = "Visa";
        visa.Name2 = "Card";
        Payment_Setup();
    }

    static const StoreProduct* Product(const std::string& key) {
        for (const StoreProduct& p : kProducts)
            if (key == p.key) return &p;
        return nullptr;
    }

    void AddLine(const Input& in) {
        const auto n = static_cast<std::size_t>(++gSale.gItemCount);
        SaleLine& l = gSale.gLines[n];
        const StoreProduct* p = Product(in.Word(0));
        l.product = p ? p->number : "P";
        l.key = in.Word(0);
        l.description = p ? p->description : in.Word(0);
        l.quantity = std::stod(in.Word(1));
        l.listPrice = l.unitPrice = M(in.Word(2));
        l.note = in.After(3);
        l.hasNote = !l.note.empty();
    }
    static void AddTender(const Input& in) {
        const auto t = static_cast<std::size_t>(++gSale.gPaymentCount);
        gSale.gPayments[t].type = in.Word(0);
        gSale.gPayments[t].amount = M(in.Word(1));
        gSale.gPayments[t].reference = in.After(2);
        gSale.gPaid += gSale.gPayments[t].amount;
    }
    static void Card(const Input& in) {
        SalePayment& p = gSale.gPayments[static_cast<std::size_t>(gSale.gPaymentCount)];
        p.entryKind = in.Word(0) == "swiped" ? 1 : 2;
        p.cardNumber = in.Word(1);
        p.cardExpiry = in.Word(2);
        p.cardHolder = in.After(3);
    }
    static void Totals(const Input& in) {
        for (std::size_t k = 0; k + 1 < in.words.size(); k += 2) {
            const std::string& name = in.words[k];
            const Money amount = M(in.words[k + 1]);
            if (name == "subtotal")
                gSale.gSubtotal = amount;
            else if (name == "discount")
                gSale.gSaleDiscount = amount;
            else if (name == "tax1")
                gSale.gTax1 = amount;
            else if (name == "tax2")
                gSale.gTax2 = amount;
            else if (name == "tax3")
                gSale.gTax3 = amount;
            else if (name == "total")
                gSale.gTotal = amount;
            else if (name == "change")
                gSale.gChange = amount;
            else
                ADD_FAILURE() << "no such total: " << name;
        }
    }
    static void Order(const std::string& kind) {
        gSale.gMode = RegisterMode::OrderEntry;
        gSale.gOrderKind = kind == "store" ? "2" : "1";
        // The choice of the order page: 1 special order, 2 layaway, 3 quotation.
        gSale.gDocType = kind == "layaway" ? "2" : kind == "quotation" ? "3" : "1";
        gSale.gDocPriority = "2";
        gSale.gDocDeliveryMethod = "1";
        gSale.gDocSupplyMethod = "1";
        gSale.gDocDeliveryDate = "20261224";
    }

    // Builds the case from its input and returns the printer's bytes.
    std::string Run(const std::vector<Input>& input) {
        std::string kind;
        std::vector<std::string> templ, extra;
        std::vector<Input> counted;
        std::int32_t record = 1;
        for (const Input& in : input) {
            if (in.name == "print")
                kind = in.Word(0);
            else if (in.name == "paper")
                gSettings.gWidePaper = in.Word(0) == "wide" ? 1 : 0;
            else if (in.name == "language")
                gSettings.gLanguage = static_cast<std::int16_t>(std::stoi(in.Word(0)));
            else if (in.name == "client")
                gSale.gClientCode = in.Word(0);
            else if (in.name == "line")
                AddLine(in);
            else if (in.name == "totals")
                Totals(in);
            else if (in.name == "tender")
                AddTender(in);
            else if (in.name == "card")
                Card(in);
            else if (in.name == "backend") {
                // As the settings file gives setting 140.
                std::string why;
                EXPECT_TRUE(Setup_ApplyLine(gSettings, "140 " + in.Word(0), why));
            } else if (in.name == "variant") {
                const std::string& v = in.Word(0);
                if (v == "gift")
                    gSaleSave.gGiftReceipt = true;
                else if (v == "duplicate")
                    gSaleSave.gReceiptDuplicate = true;
                else if (v == "second-copy")
                    gSaleSave.gReceiptCopy = 1;
                else if (v == "training")
                    gSale.gMode = RegisterMode::Training;
                else
                    ADD_FAILURE() << "no such variant: " << v;
            } else if (in.name == "order")
                Order(in.Word(0));
            else if (in.name == "vendor") {
                gSale.gMode = RegisterMode::Purchase;
                gSale.gPurchaseVendor = in.Word(0);
            } else if (in.name == "adjust") {
                gSale.gMode = RegisterMode::Adjustment;
                gSale.gAdjustmentDirection = in.Word(0) == "in" ? 1 : -1;
                gSale.gAdjustmentReason = in.Word(1);
            } else if (in.name == "manager")
                gReg.gManagerIndex = 1;
            else if (in.name == "amount")
                gReg.gEnteredAmount = M(in.Word(0));
            else if (in.name == "record")
                record = std::stoi(in.Word(0));
            else if (in.name == "template")
                templ.push_back(in.rest);
            else if (in.name == "extra")
                extra.push_back(in.rest);
            else if (in.name == "count")
                counted.push_back(in);
            else
                ADD_FAILURE() << "no such input: " << in.name;
        }
        return Print(kind, record, templ, extra, counted);
    }

    std::string Print(const std::string& kind, std::int32_t record, const std::vector<std::string>& templ,
                      const std::vector<std::string>& extra, const std::vector<Input>& counted) {
        auto save = [this](bool saved) { EXPECT_TRUE(saved) << "not saved: " << Message(); };
        if (kind == "receipt") {
            const SaleSaveState variants = gSaleSave;
            const RegisterMode mode = gSale.gMode;
            save(Sale_Save().saved);
            gSaleSave.gGiftReceipt = variants.gGiftReceipt;
            gSaleSave.gReceiptDuplicate = variants.gReceiptDuplicate;
            gSaleSave.gReceiptCopy = variants.gReceiptCopy;
            gSale.gMode = mode;
            PrinterCapture cap;
            Receipt_Print();
            return cap.bytes;
        }
        if (kind == "order" || kind == "purchase" || kind == "adjustment") {
            save(kind == "order" ? Order_Save() : kind == "purchase" ? Purchase_Save() : Adjustment_Save());
            PrinterCapture cap;
            if (kind == "order")
                Order_Print();
            else if (kind == "purchase")
                Purchase_Print();
            else
                Adjustment_Print();
            return cap.bytes;
        }
        if (kind == "deposit-safe" || kind == "deposit-bank" || kind == "paid-out") {
            const std::int32_t rec = kind == "deposit-safe"   ? DepositSafe_Save()
                                     : kind == "deposit-bank" ? DepositBank_Save()
                                                              : Paidout_Save();
            EXPECT_GE(rec, 2) << "not written: " << Message();
            PrinterCapture cap;
            if (kind == "deposit-safe")
                Deposit_PrintSafe(rec);
            else if (kind == "deposit-bank")
                DepositBank_Print(rec);
            else
                PAIDOUT_Print(rec);
            return cap.bytes;
        }
        if (kind == "client-sheet" || kind == "product-sheet") {
            PrinterCapture cap;
            if (kind == "client-sheet")
                Print_NewClient(0, record);
            else
                Print_NewProduct(0, record);
            return cap.bytes;
        }
        if (kind == "labels") {
            dir.Write("Files/" + std::string(kTerminal) + ".LBL", CrLf(templ));
            if (!extra.empty()) dir.Write("label.txt", CrLf(extra));
            gSettings.gPrinterType = PrinterType::Lpt1;
            Label_Read_Setup();
            screen.SetText(kEntryBox, "");
            PrinterCapture cap;
            Label_Print();
            return cap.bytes;
        }
        if (kind == "count") {
            PrinterCapture cap;
            PhysicalStart_Print();
            for (const Input& c : counted) {
                SaleLine& l = gSale.gLines[1];
                l.key = c.Word(0);
                l.quantity = std::stod(c.Word(1));
                l.unitPrice = M(c.Word(2));
                l.extension = M(c.Word(3));
                l.description = c.After(4);
                Item_PrintLine();
            }
            Printer_Close(true);
            return cap.bytes;
        }
        ADD_FAILURE() << "no such printout: " << kind;
        return "";
    }

    std::string Message() const { return screen.Text(kMessageLine); }

    TestDir dir;
    ProgramServices programServices;
};

TEST_P(PrintoutGolden, PrintsAsTheGoldenFileSays) {
    const std::filesystem::path file = Folder() + "/" + GetParam();
    const golden_file::Golden g = golden_file::Parse(golden_file::ReadBytes(file));
    const std::string got = golden_file::PrintoutText(Run(ParseInput(g.input)));
    EXPECT_EQ(gPrint.gPrintStatus, 0) << GetParam();
    golden_file::Check(file, g, got);
}

INSTANTIATE_TEST_SUITE_P(Printouts, PrintoutGolden, ::testing::ValuesIn(golden_file::Files(Folder())),
                         golden_file::CaseName);

}  // namespace
}  // namespace tarvo
