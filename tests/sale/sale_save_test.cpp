// Finishing a sale: the saved invoice header, lines and payments checked byte
// for byte against records built by hand (also for tenders taken on the
// payment page with exchange and change lines, and for lines discounted by the
// client attached to the sale); a save that fails at any write
// leaving the files as they were; the Total key's drawer, receipts, training
// mode, refunds, the end-of-sale pause; and whether Total may be pressed.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "data/transaction_files.h"
#include "data/work_file.h"
#include "file_size_limit.h"
#include "office/communication.h"
#include "print/devices.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/register_fixture.h"
#include "register/total_key.h"
#include "register_mode_print.h"
#include "sale/clients.h"
#include "sale/sale_builder.h"
#include "sale/sale_save.h"
#include "sale/tenders.h"
#include "screen/controls.h"
#include "screen/panels.h"
#include "test_dir.h"

namespace tarvo {
namespace {

using sale_builder::M;

std::string Pad(std::string s, std::size_t width) {
    s.resize(width, ' ');
    return s;
}
std::string Blanks(std::size_t n) { return std::string(n, ' '); }

// How often `what` stands in `text`.
int Occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}
// The receipts in a printout: each names its invoice.
int ReceiptsIn(const std::string& printed) { return Occurrences(printed, "Invoice:  "); }

// Records what the Total key calls in other subsystems.
class SaveServices : public RegisterServices {
public:
    std::vector<std::string> calls;
    const std::string* printed = nullptr;  // what the printer has printed so far
    int Count(const std::string& c) const { return static_cast<int>(std::count(calls.begin(), calls.end(), c)); }

    // With the receipts printed before the box came up.
    void MessageBox_Show(const std::string& text, const std::string&) override {
        calls.push_back("MessageBox:" + text + " after " + std::to_string(printed ? ReceiptsIn(*printed) : 0));
    }
    // The session with the back office, by its mode and whether its window
    // stays off the screen.
    std::int16_t Session_Run(CommMode mode, bool hidden) override {
        calls.push_back("Session_Run(" + std::to_string(static_cast<int>(mode)) + (hidden ? ",hidden)" : ")"));
        return 0;
    }
};

class SaleSaveTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        Reg().services = &svc;
        gComm = CommState{};
        gCommSchedule = CommScheduleState{};
        gTender = TenderState{};
        gSaleSave = SaleSaveState{};
        SaleSave_SetWriteHook(nullptr);
        gReg.gLoggedOut = false;
        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
        gSale.gClientCode = "C100";
        // The receipt printer on a port whose bytes the test reads, the
        // printer codes readable ("[KICK]" the drawer's).
        gSettings.gPrinterType = PrinterType::Com1;
        print_golden::UseReadableCodes();
        print_golden::SetCode(4, "[KICK]");
        PrinterCodes_Load();
        // No device behind the printer's port: what the test does not capture
        // fails to print, as with a printer that does not answer.
        dir.Write(kDeviceMapFile, "COM1=" + (dir / "no-such-tty") + "\n");
        PrinterCapture_Begin(printer);
        svc.printed = &printer;
    }
    void TearDown() override {
        PrinterCapture_End();
        SaleSave_SetWriteHook(nullptr);
        gData.invoices.Close();
        gData.invoiceLines.Close();
        gData.payments.Close();
        gData.clients.Close();
        RegisterTest::TearDown();
    }

    std::string FilePath(const char* ext) const { return gConstants.paths.gDataPath + ext; }
    std::string Bytes(const char* ext) const {
        std::ifstream in(FilePath(ext), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Every record's text, record 1 (the header) first.
    std::vector<std::string> Records(const char* ext, int length) const {
        WorkFile f;
        f.Open(FilePath(ext), length);
        std::vector<std::string> out;
        for (std::int64_t k = 1; k <= f.RecordCount(); ++k) out.push_back(f.Read(k));
        EXPECT_EQ(std::filesystem::file_size(FilePath(ext)) % static_cast<std::uintmax_t>(length), 0u) << ext;
        return out;
    }
    struct Snapshot {
        std::string inv, dtl, pay;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot Files() const { return {Bytes(".INV"), Bytes(".DTL"), Bytes(".PAY")}; }

    static void AddLine(const char* product, const char* key, double qty, const char* list, const char* price,
                        const char* note = "", bool hasNote = false, bool kit = false) {
        sale_builder::AddLine(product, key, qty, list, price, note, hasNote, kit);
    }
    static void AddTender(const char* type, const char* amount, const char* reference = "") {
        sale_builder::AddTender(type, amount, reference);
    }
    static void Totals(const char* subtotal, const char* tax1, const char* total, const char* change = "0") {
        sale_builder::Totals(subtotal, tax1, total, change);
    }
    // A paid sale of two lines: 42.00 with 50.00 cash, change 8.
    void CashSale() {
        AddLine("1001", "012345", 2, "10", "10");
        AddLine("1002", "ABC", 1, "20", "20");
        Totals("40", "2", "42", "8");
        AddTender("1", "50");
    }
    void NewSale() {
        const auto keep = gSale.gClientCode;
        gSale = SaleState{};
        gSale.gClientCode = keep;
        gSaleSave.gSaleFinished = false;
    }

    // The drawer kicks and the receipts the printer received.
    int Kicks() const { return Occurrences(printer, "[KICK]\r\n"); }
    int Receipts() const { return ReceiptsIn(printer); }
    // The printer does not answer: nothing behind its port.
    void PrinterGone() { PrinterCapture_End(); }

    TestDir dir;
    std::string printer;
    SaveServices svc;
};

// ---- the saved records --------------------------------------------------------

TEST_F(SaleSaveTest, CashSaleWithChangeSavesTheNetTenderAndTheChange) {
    CashSale();
    mTotalRegister_Click();

    const std::string header = "0000002 0 0"
                               "20261209"
                               "1030"
                               "00000007" +
                               Blanks(8) + "C100    " + Blanks(8) + Pad("40", 9) + Pad("0", 9) + Pad("2", 9) +
                               Pad("0", 9) + Pad("0", 9) + Pad("42", 9) + Pad("8", 9) + "4" + Blanks(20) + "2  " + "1";
    ASSERT_EQ(header.size(), 143u);
    const auto inv = Records(".INV", 150);
    ASSERT_EQ(inv.size(), 2u);
    EXPECT_EQ(inv[0], "2" + Blanks(100));
    EXPECT_EQ(inv[1], header);

    const auto dtl = Records(".DTL", 90);
    ASSERT_EQ(dtl.size(), 3u);
    EXPECT_EQ(dtl[0], "3" + Blanks(60));
    EXPECT_EQ(dtl[1], "0000002001"
                      "1001    " +
                          Pad("012345", 20) + Pad("2", 9) + Pad("10", 9) + Pad("10", 9) + Blanks(21) + "00");
    EXPECT_EQ(dtl[2], "0000002002"
                      "1002    " +
                          Pad("ABC", 20) + Pad("1", 9) + Pad("20", 9) + Pad("20", 9) + Blanks(21) + "00");
    EXPECT_EQ(dtl[1].size(), 88u);

    const auto pay = Records(".PAY", 235);
    ASSERT_EQ(pay.size(), 2u);
    EXPECT_EQ(pay[0], "2" + Blanks(232));
    EXPECT_EQ(pay[1], "000000201"
                      "1       " +
                          Pad("42", 9) + Blanks(20) + "0" + Blanks(185));
    EXPECT_EQ(pay[1].size(), 232u);

    EXPECT_EQ(gSale.gPayments[1].amount, M("42"));  // the tender list itself is net of the change
    EXPECT_EQ(gData.gLastInvoiceRecord, 2);
    EXPECT_EQ(gData.gLastInvoiceLineRecord, 3);
    EXPECT_EQ(gData.gLastPaymentRecord, 2);
    EXPECT_EQ(gSaleSave.gPrintRecordNo, 2);
    EXPECT_FALSE(gData.invoices.IsOpen());
}

TEST_F(SaleSaveTest, SeveralTendersScrambleCardsAndNeverKeepASwipedTrack) {
    AddLine("2001", "K1", 1.235, "80.5", ".5");
    Totals("100", "0", "100");
    AddTender("1", "20");
    AddTender("4", "30", "APPROVED 123456");
    gSale.gPayments[2].entryKind = 1;  // swiped
    gSale.gPayments[2].cardNumber = "4111111111111111";
    gSale.gPayments[2].cardExpiry = "1227";
    gSale.gPayments[2].cardHolder = "AB";
    gSale.gPayments[2].cardData = "%B4111111111111111^AB^1227?";
    AddTender("5", "50", "EXCH 1.35");
    gSale.gPayments[3].entryKind = 2;  // keyed: address and zip kept
    gSale.gPayments[3].cardNumber = "4111";
    gSale.gPayments[3].cardData = "12 MA";
    mTotalRegister_Click();

    const auto inv = Records(".INV", 150);
    ASSERT_EQ(inv.size(), 2u);
    EXPECT_EQ(inv[1].substr(139), "1  3");
    EXPECT_EQ(inv[1].substr(100, 19), Pad("100", 9) + Pad("0", 9) + "4");
    const auto dtl = Records(".DTL", 90);
    EXPECT_EQ(dtl[1], "0000002001"
                      "2001    " +
                          Pad("K1", 20) + Pad("1.235", 9) + Pad("80.5", 9) + Pad(".5", 9) + Blanks(21) + "00");
    const auto pay = Records(".PAY", 235);
    ASSERT_EQ(pay.size(), 4u);
    EXPECT_EQ(pay[0], "4" + Blanks(232));
    EXPECT_EQ(pay[1], "000000201"
                      "1       " +
                          Pad("20", 9) + Blanks(20) + "0" + Blanks(185));
    EXPECT_EQ(pay[2], "000000202"
                      "4       " +
                          Pad("30", 9) + Pad("APPROVED 123456", 20) + "1" + Pad("HEEEEEEEEEEEEEEE", 25) +
                          Pad("EFFK", 10) + Pad("UV", 50) + Blanks(100));
    EXPECT_EQ(pay[3], "000000203"
                      "5       " +
                          Pad("50", 9) + Pad("EXCH 1.35", 20) + "2" + Pad("HEEE", 25) + Blanks(10) + Blanks(50) +
                          Pad("EF4aU", 100));
}

TEST_F(SaleSaveTest, RefundClientNotesAndDiscountAreSavedAsTyped) {
    // A refund with a new client entered here, a salesperson, an authorising
    // manager, a reference, a sale discount, a note line and a kit component.
    gData.ManagerTable.push_back(ManagerRow{"00000003", "333", "Bob", "111"});
    gData.gManagerCount = 1;
    gReg.gManagerIndex = 1;
    gData.SalesmanTable.push_back(SalesmanRow{"00000005", "5", "Sam"});
    gSale.gSalesmanIndex = 1;
    gData.gNewClientRecNo = 12;
    gSale.gSaleReference = "  REF-9 ";
    AddLine("3001", "RET", -1, "12.5", "12.5", "Gift wrap", true);
    AddLine("3002", "KITP", -1, "0", "0", "", false, true);
    gSale.gSubtotal = M("-12.5");
    gSale.gSaleDiscount = M("2.5");
    gSale.gTax2 = M("-.63");
    gSale.gTax3 = M("-.01");
    gSale.gTotal = M("-10.64");
    AddTender("2", "-10.64");
    mTotalRegister_Click();

    const std::string header = "0000002 0 1"
                               "20261209"
                               "1030"
                               "00000007"
                               "00000003"
                               "N12     "
                               "00000005" +
                               Pad("-12.5", 9) + Pad("-2.5", 9) + Pad("0", 9) + Pad("-.63", 9) + Pad("-.01", 9) +
                               Pad("-10.64", 9) + Pad("0", 9) + "4" + Pad("REF-9", 20) + "2  " + "1";
    const auto inv = Records(".INV", 150);
    ASSERT_EQ(inv.size(), 2u);
    EXPECT_EQ(inv[1], header);
    const auto dtl = Records(".DTL", 90);
    ASSERT_EQ(dtl.size(), 3u);
    EXPECT_EQ(dtl[1], "0000002001"
                      "3001    " +
                          Pad("RET", 20) + Pad("-1", 9) + Pad("12.5", 9) + Pad("12.5", 9) + Pad("Gift wrap", 21) +
                          "01");
    EXPECT_EQ(dtl[2], "0000002002"
                      "3002    " +
                          Pad("KITP", 20) + Pad("-1", 9) + Pad("0", 9) + Pad("0", 9) + Blanks(21) + "10");
    const auto pay = Records(".PAY", 235);
    EXPECT_EQ(pay[1], "000000201"
                      "2       " +
                          Pad("-10.64", 9) + Blanks(20) + "0" + Blanks(185));
}

TEST_F(SaleSaveTest, SalesFollowEachOtherAndTheFileHeadersCountThem) {
    CashSale();
    mTotalRegister_Click();
    timers.Tick(TimerId::EndSale);  // no handler connected: the state is reset by hand
    Timer_EndSale_Timer();
    NewSale();
    AddLine("1003", "X", 3, "1", "1");
    Totals("3", "0", "3");
    AddTender("1", "3");
    mTotalRegister_Click();

    const auto inv = Records(".INV", 150);
    ASSERT_EQ(inv.size(), 3u);
    EXPECT_EQ(inv[0], "3" + Blanks(100));
    EXPECT_EQ(inv[2].substr(0, 11), "0000003 0 0");
    const auto dtl = Records(".DTL", 90);
    ASSERT_EQ(dtl.size(), 4u);
    EXPECT_EQ(dtl[0], "4" + Blanks(60));
    EXPECT_EQ(dtl[3].substr(0, 10), "0000003001");
    const auto pay = Records(".PAY", 235);
    ASSERT_EQ(pay.size(), 3u);
    EXPECT_EQ(pay[0], "3" + Blanks(232));
    EXPECT_EQ(pay[2].substr(0, 9), "000000301");
    EXPECT_EQ(gSaleSave.gPrintRecordNo, 3);
}

// A payment type on the payment page: key `number`, its tender type code, its
// change mode, and for exchange types the rate, exchange code and change type.
void SetPaymentType(int number, const char* name, const char* cardType, const char* changeMode, double rate = 0,
                    const char* code = "", const char* changeType = "", const char* active = "") {
    PaymentType& t = gSettings.PaymentTypes[static_cast<std::size_t>(number)];
    t.Number = std::to_string(number);
    t.Name1 = name;
    t.CardType = cardType;
    t.ChangeMode = changeMode;
    t.Rate = rate;
    t.Code = code;
    t.ChangeType = changeType;
    t.Active = active;
}

std::string PayRecord(const char* tender, const char* type, const char* amount) {
    return std::string("0000002") + tender + Pad(type, 8) + Pad(amount, 9) + Blanks(20) + "0" + Blanks(185);
}

struct ExchangeSaveCase {
    const char* what;
    std::vector<std::pair<int, const char*>> presses;  // payment key, typed amount
    std::vector<std::string> payments;                 // the .PAY records after the header
    const char* change;                                // the header's change field
};

TEST_F(SaleSaveTest, ForeignTenderSavesItsExchangeAndChangeLines) {
    // Euro notes at 1.0837, exchanged into "EX" with the change paid in cash.
    enum { kCashKey = 1, kEuroKey = 3 };
    SetPaymentType(kCashKey, "Cash", "CA", "", 0, "", "", "1");
    SetPaymentType(kEuroKey, "Euro", "EU", "1", 1.0837, "EX", "CA");
    Payment_Setup();
    // Sale total 57.85.
    const ExchangeSaveCase cases[] = {
        // 50 x 1.0837 = 54.185: +0.001 gives 54.18 (+0.005 would give 54.19);
        // 57.85 - 50 - 54.18 + 0.001 = -46.329 floors to -46.33, given back in cash.
        {"euro tender over the balance: exchange and a cash change line",
         {{kEuroKey, "50"}},
         {PayRecord("01", "EU", "50"), PayRecord("02", "EX", "54.18"), PayRecord("03", "CA", "-46.33")},
         "0"},
        // 20 x 1.0837 = 21.674 -> 21.67, balance 16.18; cash 20 leaves 3.82
        // change, taken off the last tender when saved.
        {"euro tender short of the balance, cash for the rest",
         {{kEuroKey, "20"}, {kCashKey, "20"}},
         {PayRecord("01", "EU", "20"), PayRecord("02", "EX", "21.67"), PayRecord("03", "CA", "16.18")},
         "3.82"},
        // 100 x 1.0837 = 108.37; 57.85 - 100 - 108.37 + 0.001 = -150.519 floors to -150.52.
        {"round euro amount",
         {{kEuroKey, "100"}},
         {PayRecord("01", "EU", "100"), PayRecord("02", "EX", "108.37"), PayRecord("03", "CA", "-150.52")},
         "0"},
    };
    for (const ExchangeSaveCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(FilePath(".INV"));
        std::filesystem::remove(FilePath(".DTL"));
        std::filesystem::remove(FilePath(".PAY"));
        NewSale();
        gSaleSave = SaleSaveState{};
        svc.calls.clear();
        printer.clear();
        AddLine("4001", "EURO-A", 1, "55.1", "55.1");
        Totals("55.1", "2.75", "57.85");
        // The payment page, as the payment key opens it.
        Summary_Show();
        gSale.gBalanceDue = gSale.gTotal;
        Payment_Display();
        for (const auto& [key, typed] : c.presses) {
            screen.SetText(kEntryBox, typed);
            Payment_Process(key);
        }
        mTotalRegister_Click();

        const std::string header = "0000002 0 0"
                                   "20261209"
                                   "1030"
                                   "00000007" +
                                   Blanks(8) + "C100    " + Blanks(8) + Pad("55.1", 9) + Pad("0", 9) + Pad("2.75", 9) +
                                   Pad("0", 9) + Pad("0", 9) + Pad("57.85", 9) + Pad(c.change, 9) + "4" + Blanks(20) +
                                   "1  " + "3";
        const auto inv = Records(".INV", 150);
        ASSERT_EQ(inv.size(), 2u);
        EXPECT_EQ(inv[1], header);
        const auto pay = Records(".PAY", 235);
        ASSERT_EQ(pay.size(), 1 + c.payments.size());
        EXPECT_EQ(pay[0], "4" + Blanks(232));
        for (std::size_t t = 0; t < c.payments.size(); ++t) EXPECT_EQ(pay[t + 1], c.payments[t]) << "tender " << t + 1;
        // Only the cash line opens the drawer.
        EXPECT_EQ(Kicks(), 1);
    }
}

TEST_F(SaleSaveTest, ClientDiscountPerLineSavesTheDiscountedPricesAndNotes) {
    // Client C2040 with 12.5 % off every line already in the sale.
    gSettings.gClientDiscountAllLines = true;
    ASSERT_TRUE(gData.clients.Open(dir / "clients.wrk", 300, true));
    ASSERT_TRUE(gData.clients.Write(
        1, Fixed(212, {{1, "C2040"}, {11, "1"}, {12, "2040"}, {20, "Harbour Bakery"}, {205, "12.5"}})));
    gData.gClientCount = 1;
    gSale.gTaxRate[1] = 5;
    AddLine("5001", "ROLLS", 2, "19.99", "19.99");
    gSale.gLines[1].taxFlags = "t";
    AddLine("5002", "OVEN", 1, "1234.56", "1234.56", "typed note", true);
    AddLine("5003", "BAG", -1, ".05", ".05");
    AddLine("5004", "KITPART", 1, "0", "0", "", false, true);
    gData.gClientRecNo = 1;
    Client_Process();
    // 19.99 x 0.875 = 17.49125 -> 17.49 (x2 = 34.98, taxed 5 % = 1.75);
    // 1234.56 x 0.875 = 1080.24; 0.05 x 0.875 = 0.04375 -> 0.04 (x-1).
    ASSERT_EQ(gSale.gTotal, M("1116.93"));
    AddTender("1", "1116.93");
    mTotalRegister_Click();

    const std::string header = "0000002 0 0"
                               "20261209"
                               "1030"
                               "00000007" +
                               Blanks(8) + "C2040   " + Blanks(8) + Pad("1115.18", 9) + Pad("0", 9) + Pad("1.75", 9) +
                               Pad("0", 9) + Pad("0", 9) + Pad("1116.93", 9) + Pad("0", 9) + "4" + Blanks(20) + "4  " +
                               "1";
    const auto inv = Records(".INV", 150);
    ASSERT_EQ(inv.size(), 2u);
    EXPECT_EQ(inv[1], header);
    const auto dtl = Records(".DTL", 90);
    ASSERT_EQ(dtl.size(), 5u);
    EXPECT_EQ(dtl[0], "5" + Blanks(60));
    // The list price stays; the note replaces a typed one and is cut at 21.
    EXPECT_EQ(dtl[1], "0000002001"
                      "5001    " +
                          Pad("ROLLS", 20) + Pad("2", 9) + Pad("19.99", 9) + Pad("17.49", 9) +
                          Pad("Dsct%: 12.5 ($19.99)", 21) + "01");
    EXPECT_EQ(dtl[2], "0000002002"
                      "5002    " +
                          Pad("OVEN", 20) + Pad("1", 9) + Pad("1234.56", 9) + Pad("1080.24", 9) +
                          "Dsct%: 12.5 ($1234.56" + "01");
    EXPECT_EQ(dtl[3], "0000002003"
                      "5003    " +
                          Pad("BAG", 20) + Pad("-1", 9) + Pad(".05", 9) + Pad(".04", 9) +
                          Pad("Dsct%: 12.5 ($0.05)", 21) + "01");
    EXPECT_EQ(dtl[4], "0000002004"
                      "5004    " +
                          Pad("KITPART", 20) + Pad("1", 9) + Pad("0", 9) + Pad("0", 9) + Pad("Dsct%: 12.5 ($0)", 21) +
                          "11");
    const auto pay = Records(".PAY", 235);
    ASSERT_EQ(pay.size(), 2u);
    EXPECT_EQ(pay[1], PayRecord("01", "1", "1116.93"));
}

// ---- refusing what does not fit ----------------------------------------------

TEST_F(SaleSaveTest, AFieldTooWideRefusesTheTotalAndKeepsTheSaleOpen) {
    struct Wide {
        const char* what;
        void (*spoil)();
        const char* named;
    };
    const Wide cases[] = {
        {"quantity", [] { gSale.gLines[2].quantity = 1234567890; }, "Quantity of line 2"},
        {"total", [] { gSale.gTotal = M("1234567.89"); }, "Total"},
        {"tender", [] { gSale.gPayments[1].amount = M("-123456.78"); }, "Amount of tender 1"},
        {"list price", [] { gSale.gLines[1].listPrice = M("100000.005"); }, "List price of line 1"},
    };
    CashSale();
    mTotalRegister_Click();  // a first sale, so the files hold something to keep
    for (const Wide& c : cases) {
        SCOPED_TRACE(c.what);
        Timer_EndSale_Timer();
        NewSale();
        svc.calls.clear();
        printer.clear();
        CashSale();
        c.spoil();
        const SaleState before = gSale;
        const Snapshot files = Files();
        timers.Stop(TimerId::EndSale);
        mTotalRegister_Click();
        EXPECT_EQ(Files(), files);
        EXPECT_NE(screen.Text(kMessageLine).find(c.named), std::string::npos) << screen.Text(kMessageLine);
        EXPECT_EQ(gSale.gPayments[1].amount, before.gPayments[1].amount);
        EXPECT_EQ(gSale.gItemCount, before.gItemCount);
        EXPECT_FALSE(gSaleSave.gSaleFinished);
        EXPECT_FALSE(timers.Running(TimerId::EndSale));
        EXPECT_EQ(printer, "");  // no drawer, no receipt
    }
}

// ---- a failed write leaves the whole sale or none of it ----------------------

TEST_F(SaleSaveTest, AFailureAtAnyWriteLeavesTheFilesAsTheyWere) {
    CashSale();
    mTotalRegister_Click();  // sale 1 saved whole
    Timer_EndSale_Timer();

    // Count the writes of one save.
    std::vector<std::string> steps;
    SaleSave_SetWriteHook([&](const std::string& f, const std::string& s) {
        steps.push_back(f + " " + s);
        return true;
    });
    const Snapshot empty = Files();
    NewSale();
    CashSale();
    mTotalRegister_Click();
    const Snapshot whole = Files();
    ASSERT_NE(whole, empty);
    ASSERT_GE(steps.size(), 9u);
    const std::vector<std::string> all = steps;

    for (std::size_t failAt = 0; failAt < all.size(); ++failAt) {
        SCOPED_TRACE(all[failAt]);
        // Back to the state before the second sale.
        for (const char* ext : {".INV", ".DTL", ".PAY"}) {
            std::ofstream out(FilePath(ext), std::ios::binary | std::ios::trunc);
            const std::string& b = ext[1] == 'I' ? empty.inv : ext[1] == 'D' ? empty.dtl : empty.pay;
            out << b;
        }
        Timer_EndSale_Timer();
        NewSale();
        CashSale();
        std::size_t call = 0;
        SaleSave_SetWriteHook([&](const std::string&, const std::string&) { return call++ != failAt; });
        mTotalRegister_Click();
        EXPECT_EQ(Files(), empty);
        EXPECT_EQ(screen.Text(kMessageLine).rfind("Error", 0), 0u) << screen.Text(kMessageLine);
        EXPECT_FALSE(gSaleSave.gSaleFinished);
        EXPECT_EQ(gSale.gPayments[1].amount, M("50"));  // the tender keeps its amount
        EXPECT_EQ(gData.gLastInvoiceRecord, 2);
        // Pressed again once the fault is gone, the same sale is saved whole.
        SaleSave_SetWriteHook(nullptr);
        mTotalRegister_Click();
        EXPECT_EQ(Files(), whole);
    }
}

TEST_F(SaleSaveTest, AFullDiskKeepsTheSaleOpenAndTheFilesUnchanged) {
    CashSale();
    mTotalRegister_Click();
    Timer_EndSale_Timer();
    NewSale();
    for (int i = 0; i < 20; ++i) AddLine("1001", "012345", 1, "1", "1");
    Totals("20", "0", "20");
    AddTender("1", "20");
    const Snapshot before = Files();
    {
        FileSizeLimit limit(std::max({before.inv.size(), before.dtl.size(), before.pay.size()}));
        mTotalRegister_Click();
    }
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(screen.Text(kMessageLine).rfind("Error", 0), 0u);
    EXPECT_FALSE(gSaleSave.gSaleFinished);
    EXPECT_EQ(Receipts(), 1);  // only sale 1's receipt
    mTotalRegister_Click();
    EXPECT_EQ(Records(".INV", 150).size(), 3u);
    EXPECT_EQ(Records(".DTL", 90).size(), 23u);
}

// ---- the Total key --------------------------------------------------------------

TEST_F(SaleSaveTest, TotalPressedTwiceSavesOnceAndTheEndOfSaleStartsTheNext) {
    EndSaleTimer_Connect();
    gSettings.gEndSaleDelay = 0;
    DefaultClient_Load();
    CashSale();
    mTotalRegister_Click();
    mTotalRegister_Click();
    EXPECT_EQ(Records(".INV", 150).size(), 2u);
    EXPECT_EQ(Records(".PAY", 235).size(), 2u);
    EXPECT_EQ(Receipts(), 1);
    EXPECT_EQ(timers.Interval(TimerId::EndSale), 6000);  // a delay of 0 is the default pause
    const std::string line = screen.Text(kMessageLine);
    EXPECT_EQ(line, "    " + Msg(Message::PrintingInProgress));
    screen.SetText(ControlId{Control::Txt_Mode, 0}, "");
    ASSERT_TRUE(timers.Tick(TimerId::EndSale));
    EXPECT_EQ(screen.Text(kMessageLine), "    ");
    EXPECT_FALSE(timers.Running(TimerId::EndSale));
    // The next sale: no lines, no tenders, the store's default client, the
    // mode shown.
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_EQ(gSale.gClientName, "Cash Customer");
    EXPECT_EQ(screen.Text(ControlId{Control::Txt_Mode, 0}), "Mode: Sales");
    EXPECT_FALSE(gSaleSave.gSaleFinished);
}

TEST_F(SaleSaveTest, EndOfSaleLogsOutOrEndsAReceivedOrderAndKeepsThePrinterNote) {
    DefaultClient_Load();  // for the next sale
    gSettings.gEndSaleDelay = 2500;
    PrinterGone();
    CashSale();
    mTotalRegister_Click();
    EXPECT_EQ(timers.Interval(TimerId::EndSale), 2500);
    Screen().SetText(kMessageLine, "    " + Msg(Message::PrintingInProgress));
    Timer_EndSale_Timer();
    EXPECT_EQ(screen.Text(kMessageLine), "    " + Msg(Message::PrintingInProgress));  // printer error: the note stays
    // The next sale started: no lines yet, the store's default client.
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(gSale.gClientName, "Cash Customer");

    // With a logout after each sale the register goes back to the login
    // prompt instead of a new sale.
    gSettings.gLogoutAfterSale = true;
    gTerminalNumber = "1234567";
    gData.gNoCashiers = false;  // the cashier table was loaded
    NewSale();
    CashSale();
    mTotalRegister_Click();
    Timer_EndSale_Timer();
    EXPECT_EQ(gReg.gCashierIndex, 0);
    EXPECT_EQ(gReg.gBusinessDate, "");
    EXPECT_EQ(gReg.gPromptState, PromptState::Login);
    EXPECT_EQ(screen.Text(kMessageLine), "Type Cashier Number & Select Enter Button");
    EXPECT_EQ(screen.Title(), "Corlant 18.03.14 Kaspen (1234567)  12-09-2026");
    EXPECT_TRUE(gReg.gEntryMasked);  // no next sale started: the entry waits for a cashier's code

    // A received purchase order ends in a new sale holding its lines again,
    // with the cashier, back at the register, still logged in.
    gReg.gCashierIndex = 1;
    gReg.gPromptState = PromptState::None;
    dir.Write("Files/1234567.PRD", CrLf({Fixed(273, {{1, "1001"}, {12, "012345"}, {60, "Apple"}, {100, "10"}}),
                                         Fixed(273, {{1, "1002"}, {12, "ABC"}, {60, "Book"}, {100, "20"}})}));
    Parse_FileProduct();
    dir.Write("Files/1234567.CLI",
              CrLf({Fixed(210, {{1, "1"}, {11, "0"}, {12, "1"}, {20, "Cash Customer"}, {205, "0"}, {210, "1"}})}));
    Parse_FileClient();
    NewSale();
    CashSale();  // the order's lines as received
    gSale.gMode = RegisterMode::ReceivePO;
    Timer_EndSale_Timer();
    // Not logged out again.
    EXPECT_EQ(gReg.gCashierIndex, 1);
    EXPECT_EQ(gReg.gPromptState, PromptState::None);
    ASSERT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(gSale.gLines[1].key, "012345");
    EXPECT_EQ(gSale.gLines[1].quantity, 2);
    EXPECT_EQ(gSale.gLines[2].key, "ABC");
    EXPECT_EQ(gSale.gLines[2].quantity, 1);
    EXPECT_NE(gSale.gMode, RegisterMode::ReceivePO);
}

TEST_F(SaleSaveTest, DrawerOpensOnceForTheFirstDrawerTender) {
    // Cash and a card open the drawer; a foreign-currency exchange does not.
    TenderState& list = gTender;
    list.gPaymentListCount = 4;
    list.gPaymentListCode = {"", "1", "2", "15", "20"};
    list.gPaymentListDrawer = {false, true, true, false, false};
    AddLine("1", "A", 1, "30", "30");
    Totals("30", "0", "30");
    AddTender("1", "10");
    AddTender("02", "20");
    mTotalRegister_Click();
    EXPECT_EQ(Kicks(), 1);

    Timer_EndSale_Timer();
    NewSale();
    svc.calls.clear();
    printer.clear();
    AddLine("1", "A", 1, "30", "30");
    Totals("30", "0", "30");
    AddTender("15", "10");
    AddTender("20", "20");
    mTotalRegister_Click();
    EXPECT_EQ(Kicks(), 0);
}

TEST_F(SaleSaveTest, ReceiptsAndSecondCopies) {
    struct Case {
        const char* what;
        const char* type;
        bool cardEnabled;
        bool cardInSale;
        bool noReceiptForCash, giftAlways, ifPositive;
        int receipts;
        bool gift;
        bool secondCopy;  // the box between the copies
    };
    const std::string box = "MessageBox:Tear Off First Copy. Press Enter to Print Second Copy. after 1";
    const Case cases[] = {
        {"card type 10, card processing off", "10", false, false, false, false, false, 2, false, true},
        {"type 15 is no card", "15", false, false, false, false, false, 1, false, false},
        {"card processing on, card approved", "15", true, true, false, false, false, 2, false, true},
        {"card processing on, no card", "10", true, false, false, false, false, 1, false, false},
        {"no receipt for a cash sale", "1", false, false, true, false, false, 0, false, false},
        {"gift receipt always", "1", false, false, false, true, false, 1, true, false},
        {"receipt only when positive, subtotal 30", "1", false, false, false, false, true, 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(FilePath(".INV"));
        std::filesystem::remove(FilePath(".DTL"));
        std::filesystem::remove(FilePath(".PAY"));
        NewSale();
        gSaleSave = SaleSaveState{};
        gSettings.gCardCopies = CardCopies::Two;
        gSettings.gCardEnabled = c.cardEnabled;
        gSettings.gNoReceiptForCash = c.noReceiptForCash;
        gSettings.gGiftReceiptAlways = c.giftAlways;
        gSettings.gReceiptIfPositive = c.ifPositive;
        AddLine("1", "A", 1, "30", "30");
        Totals("30", "0", "30");
        AddTender(c.type, "30");
        gSale.gCardInSale = c.cardInSale;
        svc.calls.clear();
        printer.clear();
        mTotalRegister_Click();
        EXPECT_EQ(Receipts(), c.receipts) << printer;
        EXPECT_EQ(Occurrences(printer, "Invoice:  0000002"), c.receipts);  // the sale just saved
        EXPECT_EQ(Occurrences(printer, "GIFT RECEIPT") > 0, c.gift);
        EXPECT_EQ(svc.Count(box), c.secondCopy ? 1 : 0);
    }
}

TEST_F(SaleSaveTest, ACashRefundNeedsAManagerWhicheverTenderIsCash) {
    gSettings.gCashRefundNeedsManager = true;
    gData.ManagerTable.push_back(ManagerRow{"00000003", "333", "Bob", "110"});
    gData.ManagerTable.push_back(ManagerRow{"00000004", "444", "Eve", "111"});
    gData.gManagerCount = 2;
    AddLine("1", "A", -1, "20", "20");
    Totals("-20", "0", "-20");
    AddTender("1", "-5");  // cash first, card last
    AddTender("4", "-15");

    mTotalRegister_Click();  // no code typed
    EXPECT_EQ(Records(".INV", 150).size(), 0u);
    EXPECT_FALSE(gSaleSave.gSaleFinished);

    screen.SetText(kEntryBox, "333");  // a manager without right 3
    mTotalRegister_Click();
    EXPECT_EQ(screen.Text(kMessageLine), Msg(Message::ManagerNotAllowedAccess));
    EXPECT_EQ(Records(".INV", 150).size(), 0u);

    screen.SetText(kEntryBox, "444");
    mTotalRegister_Click();
    const auto inv = Records(".INV", 150);
    ASSERT_EQ(inv.size(), 2u);
    EXPECT_EQ(inv[1].substr(31, 8), "00000004");  // the authorising manager
}

TEST_F(SaleSaveTest, TrainingSalesLeaveTheInvoiceCountsAsTheyWere) {
    CashSale();
    mTotalRegister_Click();
    Timer_EndSale_Timer();
    const Snapshot real = Files();
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        NewSale();
        gSale.gMode = RegisterMode::Training;
        CashSale();
        mTotalRegister_Click();
        EXPECT_EQ(gSaleSave.gPrintRecordNo, 3);  // both occupy the same record
        Timer_EndSale_Timer();
        Open_FileInvoice();
        Open_FilePayment();
        EXPECT_EQ(gData.gLastInvoiceRecord, 2);
        EXPECT_EQ(gData.gLastInvoiceLineRecord, 3);
        EXPECT_EQ(gData.gLastPaymentRecord, 2);
        gData.invoices.Close();
        gData.invoiceLines.Close();
        gData.payments.Close();
    }
    // The next real sale takes the training sale's records.
    NewSale();
    CashSale();
    mTotalRegister_Click();
    EXPECT_EQ(gSaleSave.gPrintRecordNo, 3);
    EXPECT_EQ(Records(".INV", 150)[0], "3" + Blanks(100));
    EXPECT_EQ(Bytes(".INV").substr(0, 300).substr(150), real.inv.substr(150, 150));
}

TEST_F(SaleSaveTest, SendAfterSaleRunsAFullHiddenSession) {
    gSettings.gSendAfterSale = true;
    gComm.gOperationMode = CommMode::ResendAll;  // left behind by a report
    gSale.gSendPending = true;
    gSettings.gConnectionMode = ConnectionMode::Interval;  // a standing connection: no dial-up around the session
    CashSale();
    mTotalRegister_Click();
    EXPECT_EQ(svc.Count("Session_Run(0,hidden)"), 1);
    EXPECT_FALSE(gSale.gSendPending);
}

TEST_F(SaleSaveTest, DocumentModesSaveThroughTheirOwnServices) {
    // An order: saved as an order, not as a sale, and printed.
    CashSale();
    gSale.gMode = RegisterMode::OrderEntry;
    mTotalRegister_Click();
    EXPECT_EQ(Records(".ORD", 252).size(), 2u);
    EXPECT_EQ(Records(".INV", 150).size(), 0u);
    EXPECT_EQ(Occurrences(printer, "Order:    0000002"), 1) << printer;
    EXPECT_TRUE(gSaleSave.gSaleFinished);
    Timer_EndSale_Timer();  // a new, empty sale
    CashSale();
    // A stock adjustment the same way.
    printer.clear();
    gSale.gMode = RegisterMode::Adjustment;
    gSale.gAdjustmentDirection = -1;
    gSale.gAdjustmentReason = "7";
    mTotalRegister_Click();
    EXPECT_EQ(Records(".ADJ", 90).size(), 2u);
    EXPECT_EQ(Occurrences(printer, "<INVENTORY ADJUSTMENT>"), 1) << printer;
    Timer_EndSale_Timer();
    CashSale();
    // A document that could not be saved stays open: nothing printed, the
    // keys back, the sale not finished.
    printer.clear();
    gSale.gMode = RegisterMode::Adjustment;
    gSale.gAdjustmentDirection = 0;
    mTotalRegister_Click();
    EXPECT_EQ(Records(".ADJ", 90).size(), 2u);
    EXPECT_EQ(printer, "");
    EXPECT_FALSE(gSaleSave.gSaleFinished);
    EXPECT_EQ(gSale.gItemCount, 2);
    gSale.gStockCount = true;
    svc.calls.clear();
    mTotalRegister_Click();
    EXPECT_TRUE(svc.calls.empty());
    EXPECT_EQ(printer, "");
}

TEST_F(SaleSaveTest, PayBalanceOnTotalRecordsATenderForTheBalance) {
    gSettings.gPayBalanceOnTotal = true;
    SetPaymentType(1, "Cash", "1", "", 0, "", "", "1");
    Payment_Setup();
    AddLine("1", "A", 1, "30", "30");
    Totals("30", "0", "30");
    AddTender("1", "10");
    mTotalRegister_Click();
    // Payment key 1 took the balance of $20.00 before the sale was saved.
    const auto pay = Records(".PAY", 235);
    ASSERT_EQ(pay.size(), 3u);
    EXPECT_EQ(pay[1], PayRecord("01", "1", "10"));
    EXPECT_EQ(pay[2], PayRecord("02", "1", "20"));
}

// ---- whether Total may be pressed -------------------------------------------

TEST_F(SaleSaveTest, TotalKeyIsEnabledWhenTheTendersCoverTheSale) {
    const ControlId total{Control::mTotalRegister, 0};
    auto enabled = [&] {
        Total_Activate();
        return screen.Enabled(total);
    };
    EXPECT_FALSE(enabled());  // no lines
    AddLine("1", "A", 1, "30", "30");
    Totals("30", "0", "30");
    EXPECT_FALSE(enabled());  // nothing paid
    gSettings.gOpenBalanceAllowed = true;
    gSale.gClientAccountType = "3";
    EXPECT_TRUE(enabled());  // an account client may leave a balance
    gSale.gClientAccountType = "1";
    EXPECT_FALSE(enabled());
    AddTender("1", "40");
    gSale.gChange = M("1");
    EXPECT_TRUE(enabled());
    EXPECT_EQ(gSale.gChange, M("10"));  // recomputed from paid and total

    // A refund is enabled once the tenders cover it, else by the tender rule.
    NewSale();
    AddLine("1", "A", -1, "30", "30");
    Totals("-30", "0", "-30");
    AddTender("1", "-10");
    screen.SetEnabled(total, false);
    gSettings.gRefundTenderRule = true;
    EXPECT_FALSE(enabled());  // left as it was
    gSettings.gRefundTenderRule = false;
    EXPECT_TRUE(enabled());

    // A pack order needs every line packed to its ordered quantity.
    NewSale();
    gSale.gMode = RegisterMode::PackOrder;
    AddLine("1", "A", 3, "1", "1");
    gSale.gLines[1].taxFlags = "3";
    AddLine("2", "B", 1, "1", "1");
    gSale.gLines[2].taxFlags = "2";
    EXPECT_FALSE(enabled());
    gSale.gLines[2].quantity = 2;
    EXPECT_TRUE(enabled());

    // A client order needs the minimum share paid.
    NewSale();
    gSale.gMode = RegisterMode::OrderEntry;
    gSale.gOrderKind = "1";
    gSale.gDocType = "1";
    gSettings.gOrderMinPaidPercent = "50";
    AddLine("1", "A", 1, "100", "100");
    Totals("100", "0", "100");
    AddTender("1", "49.99");
    EXPECT_FALSE(enabled());
    AddTender("1", ".01");
    EXPECT_TRUE(enabled());
}

}  // namespace
}  // namespace tarvo
