#include "register/prompt_line.h"

#include "register/total_key.h"
#include "sale/sale_save.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "backoffice/dispatcher_stub.h"
#include "backoffice/online_state.h"
#include "card/card_payments.h"
#include "common/cp1252.h"
#include "common/fields.h"
#include "config/constants.h"
#include "key_fixture.h"
#include "platform/background_runner.h"
#include "register/keyboard.h"
#include "register_mode_print.h"
#include "sale/sale_builder.h"
#include "sale/tenders.h"
#include "sale/totals.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/screen_build.h"

namespace tarvo {
namespace {

constexpr ControlId Id(Control name, int index = 0) { return ControlId{name, index}; }
const ControlId kCancelKey = Id(Control::BReg, 3);
const ControlId kGreetingLabel = Id(Control::Greeting);

using Calls = std::vector<std::string>;

// The recording services, with the answers of the subsystems the questions
// hand over to: the card charge and the shipping export.
class PromptRecorder : public RecordingKeys {
public:
    // Noted with the amount, the number and the expiry it was handed.
    void Card_Charge(const CardRequest& request) override {
        calls.push_back("Card_Charge(" + request.gCardAmount.Text() + ", " + request.gCardNumber + ", " +
                        request.gCardExpiry + ")");
    }
    void Online_Service_UPS(const std::string& first, const std::string& last) override {
        calls.push_back("Online_Service_UPS(" + first + ", " + last + ")");
    }
};

class PromptLineTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoggedIn();
        gOnline = OnlineState{};
        Reg().services = &recorder;
        Reg().services.prompt = &prompt;
        UI_Setup();  // the keys captioned as the cashier sees them
    }

    // A question opened the way the sale, inventory and online openers do.
    void Ask(int question, Message message) {
        CIATime(Msg(message), 0);
        screen.SetText(kEntryBox, "");
        PromptInCIA_Show(question);
    }
    void Answer(const std::string& typed) {
        Type(typed);
        PromptInCIA_Enter();
    }
    bool Pending(int question) const { return gReg.gPromptLineActive && gReg.gPromptLine == question; }
    bool Called(std::string_view call) const { return recorder.Called(call); }
    const Calls& CallsMade() const { return recorder.calls; }

    // A purchase of n fresh lines, the newest one without its figures yet.
    void PurchaseLines(int n) {
        gSale.gItemCount = 0;
        for (int i = 1; i <= n; ++i) {
            gSale.gLines[static_cast<std::size_t>(i)] = SaleLine{};
            AddLine("P" + std::to_string(i), 1, Money::FromUnits(9));
        }
    }
    SaleLine& Newest() { return gSale.gLines[static_cast<std::size_t>(gSale.gItemCount)]; }
    // The descriptions on the receipt grid: set aside, then read back as the
    // purchase redrew them (`rows` from the top, the row after them empty).
    void StaleGrid() {
        for (int r = 1; r <= 4; ++r) screen.SetText(Id(Control::Rt_Description, r), "stale");
    }
    void ExpectGrid(const std::vector<std::string>& rows) {
        for (std::size_t r = 0; r <= rows.size(); ++r)
            EXPECT_EQ(screen.Text(Id(Control::Rt_Description, static_cast<int>(r + 1))), r < rows.size() ? rows[r] : "")
                << "row " << r + 1;
    }

    PromptRecorder recorder;
    PromptLine prompt;
};

// ---- opening and closing ---------------------------------------------------------------

TEST_F(PromptLineTest, APendingQuestionLocksEveryKeyButTheAnswerAndCancel) {
    for (int language : {1, 2}) {
        SCOPED_TRACE(language);
        gSettings.gLanguage = static_cast<std::int16_t>(language);
        UI_Setup();
        Type("typed before");
        ClientNumber_Prompt();

        EXPECT_TRUE(Pending(7));
        for (int k = 1; k <= 24; ++k) EXPECT_FALSE(screen.Enabled(SoftKeyId(k))) << k;
        for (int k = 1; k <= 8; ++k) EXPECT_FALSE(screen.Enabled(Id(Control::BOp, k))) << "BOp " << k;
        for (int k = 1; k <= 6; ++k) EXPECT_FALSE(screen.Enabled(Id(Control::BSys, k))) << "BSys " << k;
        for (int k = 1; k <= 8; ++k) EXPECT_FALSE(screen.Enabled(Id(Control::BDep, k))) << "BDep " << k;
        EXPECT_FALSE(screen.Enabled(Id(Control::mTotalRegister)));
        EXPECT_FALSE(screen.Enabled(Id(Control::BPayment)));
        EXPECT_FALSE(screen.Enabled(Id(Control::BReg, 1)));
        // The answer is typed and erased, then confirmed or cancelled.
        for (int k = 1; k <= 12; ++k) EXPECT_TRUE(screen.Enabled(Id(Control::mNumeric, k))) << k;
        EXPECT_TRUE(screen.Enabled(Id(Control::BReg, 2)));
        EXPECT_TRUE(screen.Enabled(Id(Control::BReg, 4)));
        EXPECT_EQ(screen.Caption(kCancelKey), "Cancel");
        EXPECT_TRUE(screen.Enabled(kCancelKey));
        EXPECT_EQ(Entry(), "");
        EXPECT_EQ(screen.Focus(), kEntryBox);

        BReg_Click(3);
        EXPECT_FALSE(gReg.gPromptLineActive);
        EXPECT_EQ(screen.Caption(kCancelKey), language == 1 ? "Quantity" : "Quantite");
        EXPECT_TRUE(screen.Enabled(SoftKeyId(1)) || screen.Caption(SoftKeyId(1)).empty());
        EXPECT_TRUE(screen.Enabled(Id(Control::BOp, 3)));
        EXPECT_TRUE(screen.Enabled(Id(Control::BSys, 1)));
        EXPECT_TRUE(screen.Enabled(Id(Control::BPayment)));
    }
}

TEST_F(PromptLineTest, WithKeyHintsTheThirdKeyKeepsItsCaptionAndStillCancels) {
    gSettings.gKeyboardHints = 1;
    UI_Setup();
    const std::string caption = screen.Caption(kCancelKey);
    ASSERT_NE(caption.find("Quantity"), std::string::npos);

    Ask(13, Message::InputStartingOrderNumber);
    EXPECT_EQ(screen.Caption(kCancelKey), caption);
    BReg_Click(3);
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_EQ(screen.Caption(kCancelKey), caption);
}

TEST_F(PromptLineTest, TheKeysAnswerAndCancelThePendingQuestion) {
    struct Case {
        const char* name;
        void (*press)();
        const char* typed;
        bool answered;
    };
    const Case cases[] = {
        {"Enter key", [] { Form_KeyDown(KeyCode::Enter, 0); }, "1001", true},
        {"register Enter", [] { BReg_Click(4); }, "1001", true},
        {"Esc key", [] { Form_KeyDown(KeyCode::Escape, 0); }, "1001", false},
        {"register Cancel", [] { BReg_Click(3); }, "1001", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.calls.clear();
        gOnline.gOrderRangeStart.clear();
        Ask(13, Message::InputStartingOrderNumber);
        Type(c.typed);
        c.press();
        // Answered, the last order number is asked next.
        EXPECT_EQ(Pending(14), c.answered);
        EXPECT_EQ(MessageLine(), c.answered ? "Input Ending Order Number" : "");
        EXPECT_EQ(gOnline.gOrderRangeStart, c.answered ? "1001" : "");
        PromptInCIA_Cancel();
    }
}

TEST_F(PromptLineTest, QuestionTextsInBothLanguages) {
    struct Case {
        const char* name;
        void (*open)();
        int question;
        const char* english;
        const char* french;  // UTF-8
    };
    const Case cases[] = {
        {"amount", [] { Credit_Card_PromptAmount(); }, 1, "Confirm Amount of Charge", "Confirmez Montant à Charger"},
        {"card number", [] { Credit_Card_PromptCardNumber(); }, 2, "Input Credit Card Number",
         "Entrez Numéro de Carte de Crédit"},
        {"expiry", [] { Credit_Card_PromptCardExpiry(); }, 3, "Input Card Expiry Date MMYY",
         "Entrez Date d'Expiration de Carte MMAA"},
        {"address", [] { Credit_Card_PromptAddress(); }, 4, "Input Card Holder Street Address",
         "Entrez Adresse du Détenteur de Carte"},
        {"zip", [] { Credit_Card_PromptZip(); }, 5, "Input Card Holder Zip Code",
         "Entrez Code Postal du Détenteur de Carte"},
        {"client", [] { ClientNumber_Prompt(); }, 7, "Input Client Number & Select Enter",
         "Entrez Numéro de Client & Appuyez Entrez"},
    };
    for (const Case& c : cases) {
        for (int language : {1, 2}) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(language));
            gSettings.gLanguage = static_cast<std::int16_t>(language);
            c.open();
            EXPECT_TRUE(Pending(c.question));
            EXPECT_EQ(Cp1252ToUtf8(MessageLine()), language == 1 ? c.english : c.french);
            EXPECT_EQ(screen.Caption(kCancelKey), "Cancel");
            PromptInCIA_Cancel();
        }
    }
}

// ---- the card questions ----------------------------------------------------------------

TEST_F(PromptLineTest, AmountIsProposedConfirmedAndCharged) {
    gSale.gBalanceDue = Money::FromCents(1250);
    gReg.gCardRequest.gCardNumber = "4111111111111111";
    gReg.gCardRequest.gCardExpiry = "2605";
    Credit_Card_PromptAmount();
    EXPECT_TRUE(Pending(1));
    EXPECT_EQ(Entry(), "12.5");
    EXPECT_EQ(screen.State(kEntryBox).selStart, 4);
    EXPECT_FALSE(screen.Enabled(kEntryBox));

    // Enter leaves the proposed amount in the box (the key-up keeps it).
    Form_KeyDown(KeyCode::Enter, 0);
    Form_KeyUp(KeyCode::Enter, 0);
    EXPECT_EQ(CallsMade(), Calls{"Card_Charge(12.5, 4111111111111111, 2605)"});
    EXPECT_EQ(gReg.gCardRequest.gCardAmount, Money::FromCents(1250));
    EXPECT_TRUE(screen.Enabled(kEntryBox));
}

TEST_F(PromptLineTest, AmountAnswers) {
    struct Case {
        const char* entry;
        const char* charged;  // nullptr: no charge
        const char* message;
        bool askedAgain;
    };
    const Case cases[] = {
        {"-7.25", "-7.25", "Confirm Amount of Charge", false},  // a refund passes unchanged
        {"0", nullptr, "Invalid Entry, Operation Cancelled", false},
        {"", nullptr, "Invalid Entry, Operation Cancelled", false},
        {"1,234.50", nullptr, "Invalid Entry", true},
        {"1.2.3", nullptr, "Invalid Entry", true},
        {"12abc", nullptr, "Invalid Entry", true},
        {";4111111111111111=2605", nullptr, "Confirm Amount of Charge", true},  // a second track
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        recorder.calls.clear();
        gSale.gBalanceDue = Money::FromCents(1250);
        gReg.gCardRequest.gCardNumber = "4111111111111111";
        gReg.gCardRequest.gCardExpiry = "2605";
        Credit_Card_PromptAmount();
        screen.SetText(kEntryBox, c.entry);
        PromptInCIA_Enter();
        if (c.charged)
            EXPECT_EQ(CallsMade(), Calls{std::string("Card_Charge(") + c.charged + ", 4111111111111111, 2605)"});
        else
            EXPECT_TRUE(CallsMade().empty());
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(Pending(1), c.askedAgain);
        if (c.askedAgain) {
            EXPECT_EQ(Entry(), "12.5");
            EXPECT_FALSE(screen.Enabled(kEntryBox));
            PromptInCIA_Cancel();
        } else if (!c.charged) {
            EXPECT_EQ(Entry(), "");
            EXPECT_EQ(gReg.gCardRequest.gCardNumber, "");
        }
    }
}

TEST_F(PromptLineTest, WithoutCardPaymentsTheChargeIsRefusedAndLogged) {
    Reg().services.card = nullptr;
    gSale.gBalanceDue = Money::FromCents(1250);
    Credit_Card_PromptAmount();
    PromptInCIA_Enter();
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    std::ifstream log(gConstants.paths.gFilesPath + ".LOG");
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_NE(text.str().find("Card_Charge"), std::string::npos) << text.str();
}

TEST_F(PromptLineTest, KeyedCardChainsNumberExpiryAddressZipAndAmount) {
    struct Case {
        CardBackend backend;
        bool avs;
        const char* expiryKept;
    };
    const Case cases[] = {{CardBackend::ExchangeFiles, true, "2605"},
                          {CardBackend::Gateway, true, "0526"},
                          {CardBackend::ExchangeFiles, false, "2605"},
                          {CardBackend::Terminal, false, "0526"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.backend)) + "/" + std::to_string(c.avs));
        gSettings.gCardBackend = c.backend;
        gSettings.gCardAvs = c.avs;
        gReg.gCardRequest = CardRequest{};
        recorder.calls.clear();
        gSale.gBalanceDue = Money::FromUnits(30);

        Credit_Card_PromptCardNumber();
        EXPECT_TRUE(Pending(2));
        Answer("4111111111111111");
        EXPECT_TRUE(Called("Card_TypeFind(4111111111111111)"));
        EXPECT_EQ(gReg.gCardRequest.gCardNumber, "4111111111111111");
        EXPECT_TRUE(Pending(3));
        EXPECT_EQ(MessageLine(), "Input Card Expiry Date MMYY");
        Answer("0526");
        EXPECT_EQ(gReg.gCardRequest.gCardExpiry, c.expiryKept);
        if (c.avs) {
            ASSERT_TRUE(Pending(4));
            Answer("");
            EXPECT_EQ(MessageLine(), "Invalid Entry, Input Card Holder Street Address");
            EXPECT_TRUE(Pending(4));
            Answer("1 Main Street");
            ASSERT_TRUE(Pending(5));
            EXPECT_EQ(MessageLine(), "Input Card Holder Zip Code");
            Answer("");
            EXPECT_EQ(MessageLine(), "Invalid Entry, Input Card Holder Zip Code");
            EXPECT_TRUE(Pending(5));
            Answer("H0H 0H0");
            EXPECT_EQ(gReg.gCardRequest.gCardAddress, "1 Main Street");
            EXPECT_EQ(gReg.gCardRequest.gCardZip, "H0H 0H0");
        }
        EXPECT_TRUE(Pending(1));
        EXPECT_EQ(MessageLine(), "Confirm Amount of Charge");
        EXPECT_EQ(Entry(), "30");
        EXPECT_EQ(gReg.gCardRequest.gCardEntry, 2);
        PromptInCIA_Enter();
        EXPECT_TRUE(Called(std::string("Card_Charge(30, 4111111111111111, ") + c.expiryKept + ")"));
    }
}

// The charge the card questions end in, made by the real card payments
// with the exchange-file back-end: what it leaves is the request file for
// the card program (none answers here), the card tender and the wait shown.
class PromptChargeTest : public PromptLineTest {
protected:
    void SetUp() override {
        PromptLineTest::SetUp();
        Reg().programFolder = dir.Path();
        Reg().services.card = &cards;
        gSettings.gCardEnabled = true;
        gSettings.gCardBackend = CardBackend::ExchangeFiles;
        gSettings.gCardTimeout = "120";
        gSettings.gCardExchangeFolder = "ICVerify";
        for (PaymentType& t : gSettings.PaymentTypes) t = PaymentType{};
        PaymentType& visa = gSettings.PaymentTypes[4];
        visa.Number = "4";
        visa.CardType = "4";
        visa.Name1 = "Visa";
        Payment_Setup();
        AddCashier("77", "00000007", "Ann O'Hara", 1);
        gReg.gCashierIndex = 1;
        cards.Card_Load();
    }
    void SaleOf(const char* price) {
        sale_builder::AddLine("1001", "APPLE", 1, price, price);
        Totals_Update();
        ASSERT_TRUE(PaymentPage_Open());  // the balance shown, as before any card
    }
    std::string RequestFile() const {
        std::ifstream f(dir.Path() + "/ICVerify/Request/icver001.REQ", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }

    CardPayments cards;
};

TEST_F(PromptChargeTest, TheConfirmedAmountGoesIntoTheCardRequest) {
    struct Case {
        const char* typed;  // nullptr: the proposed amount confirmed
        const char* request;
        const char* tender;
        bool approved;  // else the card program never answers
    };
    const Case cases[] = {
        {nullptr, "\"C1\",\"Ann O'Hara\",\"\",\"4111111111111111\",\"2605\",\"12.50\"\r\n", "12.50", false},
        {"10", "\"C1\",\"Ann O'Hara\",\"\",\"4111111111111111\",\"2605\",\"10.00\"\r\n", "10.00", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed ? c.typed : "proposed");
        SaleOf("12.50");
        gReg.gCardRequest.gCardNumber = "4111111111111111";
        gReg.gCardRequest.gCardExpiry = "2605";
        gReg.gCardRequest.gCardEntry = 2;
        ASSERT_EQ(Cards().Card_TypeFind("4111111111111111"), 0);
        Credit_Card_PromptAmount();
        EXPECT_EQ(Entry(), "12.5");
        if (c.typed) screen.SetText(kEntryBox, c.typed);
        PromptInCIA_Enter();

        EXPECT_EQ(RequestFile(), c.request);
        EXPECT_EQ(MessageLine(), "Credit Card Processing In Progress 0 / 120");
        EXPECT_TRUE(gReg.gCardBusy);
        ASSERT_EQ(gSale.gPaymentCount, 1);
        EXPECT_EQ(gSale.gPayments[1].amount.Format("0.00"), c.tender);
        if (c.approved) {
            // What the register holds meanwhile does not change the card charged.
            gReg.gCardRequest = CardRequest{};
            std::ofstream(dir.Path() + "/ICVerify/Request/icver001.ANS", std::ios::binary) << "\"Y123451\"\r\n";
            timers.Tick(TimerId::Credit);
            EXPECT_EQ(MessageLine().substr(0, 18), "Approved \"Y123451\"") << MessageLine();
            ASSERT_EQ(gSale.gPaymentCount, 1);
            EXPECT_EQ(gSale.gPayments[1].cardNumber, "4111111111111111");
            EXPECT_EQ(gSale.gPayments[1].cardExpiry, "2605");
            EXPECT_EQ(gSale.gPayments[1].entryKind, 2);
            EXPECT_EQ(gSale.gBalanceDue.Format("0.00"), "2.50");
        } else {
            for (int k = 0; k < 60; ++k) timers.Tick(TimerId::Credit);
            EXPECT_EQ(MessageLine(), "Error: Credit Operation Timed Out");
            EXPECT_EQ(gSale.gPaymentCount, 0);
        }
        EXPECT_FALSE(gReg.gCardBusy);
        EXPECT_EQ(RequestFile(), "");
        gSale = SaleState{};
    }
}

TEST_F(PromptChargeTest, AKeyedCardIsRequestedWithWhatTheQuestionsGot) {
    struct Case {
        bool avs;
        const char* request;
    };
    const Case cases[] = {
        {false, "\"C1\",\"Ann O'Hara\",\"\",\"4111111111111111\",\"2605\",\"30.00\"\r\n"},
        {true, "\"C1\",\"Ann O'Hara\",\"\",\"4111111111111111\",\"2605\",\"30.00\",\"1 Main Street\",\"H0H 0H0\"\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.avs);
        gSettings.gCardAvs = c.avs;
        gReg.gCardRequest = CardRequest{};
        SaleOf("30.00");
        Credit_Card_PromptCardNumber();
        Answer("4111111111111111");
        Answer("0526");
        if (c.avs) {
            Answer("1 Main Street");
            Answer("H0H 0H0");
        }
        ASSERT_TRUE(Pending(1));
        EXPECT_EQ(Entry(), "30");
        PromptInCIA_Enter();

        EXPECT_EQ(RequestFile(), c.request);
        EXPECT_EQ(MessageLine(), "Credit Card Processing In Progress 0 / 120");
        ASSERT_EQ(gSale.gPaymentCount, 1);
        EXPECT_EQ(gSale.gPayments[1].amount.Format("0.00"), "30.00");
        for (int k = 0; k < 60; ++k) timers.Tick(TimerId::Credit);
        EXPECT_EQ(gSale.gPaymentCount, 0);
        gSale = SaleState{};
    }
}

TEST_F(PromptLineTest, CardNumberRefusals) {
    // Nothing typed ends the card dialogue.
    Credit_Card_PromptCardNumber();
    Answer("");
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_EQ(MessageLine(), "Invalid Entry, Operation Cancelled");
    EXPECT_FALSE(recorder.CalledAny("Card_TypeFind"));

    // A card of no known type is shown and asked again.
    recorder.cardTypeStatus = 7;
    Credit_Card_PromptCardNumber();
    Answer("1234567");
    EXPECT_TRUE(Pending(2));
    EXPECT_EQ(gReg.gCardRequest.gCardNumber, "");
    EXPECT_TRUE(Called("Card_TypeFind(1234567)"));
    EXPECT_TRUE(Called("Credit_Card_Display_Response(7)"));
    EXPECT_EQ(Entry(), "");
}

TEST_F(PromptLineTest, ExpiryMustBeFourDigitsWithAMonth) {
    struct Case {
        const char* entry;
        bool accepted;
    };
    const Case cases[] = {
        {"1299", true}, {"0126", true},   {"0000", false}, {"1300", false}, {"0012", false},
        {"123", false}, {"12345", false}, {"ab12", false}, {"12ab", false}, {"1a99", false},
    };
    gSettings.gCardBackend = CardBackend::Gateway;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        Credit_Card_PromptCardExpiry();
        Answer(c.entry);
        if (c.accepted) {
            EXPECT_EQ(gReg.gCardRequest.gCardExpiry, c.entry);
            EXPECT_TRUE(Pending(1));
        } else {
            EXPECT_EQ(gReg.gCardRequest.gCardExpiry, "");
            EXPECT_EQ(MessageLine(), "Invalid Entry, Input Card Expiry Date MMYY");
            EXPECT_TRUE(Pending(3));
            EXPECT_EQ(Entry(), "");
        }
        PromptInCIA_Cancel();
    }
    // Nothing typed ends the card dialogue.
    Credit_Card_PromptCardExpiry();
    Answer("");
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_EQ(MessageLine(), "Invalid Entry, Operation Cancelled");
}

TEST_F(PromptLineTest, CancellingACardQuestionKeepsTheCardFields) {
    gReg.gCardRequest.gCardNumber = "4111111111111111";
    gReg.gCardRequest.gCardExpiry = "2605";
    Credit_Card_PromptAddress();
    Type("1 Main");
    PromptInCIA_Cancel();
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_EQ(Entry(), "");
    EXPECT_EQ(MessageLine(), "");
    EXPECT_EQ(gReg.gCardRequest.gCardNumber, "4111111111111111");
    EXPECT_EQ(gReg.gCardRequest.gCardExpiry, "2605");
    EXPECT_TRUE(CallsMade().empty());
}

// ---- the message and the client ---------------------------------------------------------

TEST_F(PromptLineTest, MessageIsAcknowledgedByEnterOrCancelAlike) {
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "Cancel" : "Enter");
        screen.SetText(kMessageLine, "Approved 123456");
        MessageWithEnterToEnd_Show();
        EXPECT_TRUE(Pending(6));
        EXPECT_EQ(MessageLine(), "Approved 123456 Press Enter or Cancel to Continue");
        EXPECT_TRUE(screen.Visible(kGreetingLabel));
        EXPECT_EQ(screen.State(kGreetingLabel).font.size, 15);

        if (cancel)
            BReg_Click(3);
        else
            BReg_Click(4);
        EXPECT_FALSE(gReg.gPromptLineActive);
        EXPECT_EQ(MessageLine(), "");
        EXPECT_FALSE(screen.Visible(kGreetingLabel));
        EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Totals);  // the totals panel
        for (Control key : {Control::Rt_Up, Control::RT_Down}) {
            EXPECT_FALSE(screen.Visible(Id(key)));
            EXPECT_FALSE(screen.Enabled(Id(key)));
        }
        EXPECT_EQ(screen.Caption(kCancelKey), "Quantity");
    }
}

TEST_F(PromptLineTest, ClientNumberQuestion) {
    std::string rec(208, ' ');
    rec.replace(11, 2, "77");
    rec.replace(19, 11, "Corner Shop");
    ASSERT_TRUE(gData.clients.Open(gConstants.paths.gDataPath + ".CLI", 210, true));
    ASSERT_TRUE(gData.clients.Write(1, rec));
    gData.gClientCount = 1;

    struct Case {
        const char* entry;
        bool cancel;
        Calls calls;
        const char* message;
    };
    const Case cases[] = {
        {"77", false, {}, "Client Corner Shop"},  // the client attached
        {"78", false, {}, "Not Found"},
        {"", false, {}, ""},
        {"77", true, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + (c.cancel ? " cancelled" : ""));
        recorder.calls.clear();
        ClientNumber_Prompt();
        EXPECT_EQ(gReg.gPromptState, PromptState::ClientNumber);
        EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Client Entry");
        EXPECT_TRUE(CallsMade().empty());
        recorder.calls.clear();
        Type(c.entry);
        if (c.cancel)
            PromptInCIA_Cancel();
        else
            PromptInCIA_Enter();
        EXPECT_EQ(CallsMade(), c.calls);
        EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(gReg.gPromptState, PromptState::None);
        EXPECT_FALSE(gReg.gPromptLineActive);
        if (std::string(c.entry) != "77") {
            EXPECT_EQ(Entry(), "");
        }
        EXPECT_EQ(gSale.gClientName, std::string(c.entry) == "77" && !c.cancel ? "Corner Shop" : "");
        gSale.gClientName.clear();
    }
}

// ---- the payment reference --------------------------------------------------------------

TEST_F(PromptLineTest, PaymentReferenceIsCleanedIntoTheLastTender) {
    // A sale paid in full, its Total key not yet offered.
    AddLine("A", 1, Money::FromUnits(5));
    gSale.gTotal = gSale.gPaid = Money::FromUnits(5);
    gSale.gPaymentCount = 2;
    screen.SetEnabled(kSaleTotalKey, false);
    Ask(8, Message::EnterPaymentReferenceInformation);
    EXPECT_EQ(MessageLine(), "Enter Payment Reference Information");
    Answer("Chq 12,345 & 'B'");
    EXPECT_EQ(gSale.gPayments[2].reference, "Chq 12 345    B");
    EXPECT_EQ(gSale.gPayments[1].reference, "");
    EXPECT_TRUE(CallsMade().empty());
    EXPECT_TRUE(screen.Enabled(kSaleTotalKey));  // the tenders cover the total
    EXPECT_EQ(MessageLine(), "");
    EXPECT_EQ(Entry(), "");

    // A reference holds 20 characters.
    Ask(8, Message::EnterPaymentReferenceInformation);
    Answer("123456789012345678901234");
    EXPECT_EQ(gSale.gPayments[2].reference, "12345678901234567890");
}

TEST_F(PromptLineTest, NoPaymentReferenceRemovesTheTender) {
    const ControlId tenderRow{Control::Tr_Amount, 7};
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "Cancel" : "empty Enter");
        recorder.calls.clear();
        // A tender of $5.00 on the payment page, its reference asked.
        AddLine("A", 1, Money::FromUnits(5));
        gSale.gTotal = Money::FromUnits(5);
        gSale.gPaymentCount = 1;
        gSale.gPayments[1].amount = Money::FromUnits(5);
        Summary_Show();
        Payment_Display();
        ASSERT_EQ(screen.Text(tenderRow), "$5.00");
        Ask(8, Message::EnterPaymentReferenceInformation);
        if (cancel)
            PromptInCIA_Cancel();
        else
            Answer("   ");
        EXPECT_TRUE(CallsMade().empty());
        // The tender is gone from the sale and its row; the balance is due again.
        EXPECT_EQ(gSale.gPaymentCount, 0);
        EXPECT_EQ(screen.Text(tenderRow), "");
        EXPECT_EQ(screen.Text(ControlId{Control::Tr_Amount, 11}), "$5.00");
        EXPECT_EQ(MessageLine(), cancel ? "" : "Invalid Entry");
        EXPECT_EQ(gSale.gPayments[1].reference, "");
        EXPECT_FALSE(gReg.gPromptLineActive);
    }
}

// ---- adjustment, purchase and shipping export ----------------------------------------------

TEST_F(PromptLineTest, AdjustmentReasonIsOneDigit) {
    struct Case {
        const char* entry;
        bool starts;  // the adjustment begins; else it is called off
    };
    const Case cases[] = {
        {"1", true}, {"9", true}, {"0", false}, {"10", false}, {"a", false}, {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        gSale.gMode = RegisterMode::Sales;
        Ask(9, Message::SelectReasonForStockAdjustment);
        Answer(c.entry);
        if (c.starts) {
            EXPECT_EQ(gSale.gMode, RegisterMode::Adjustment);
            EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Adjustment");
            EXPECT_EQ(gSale.gAdjustmentReason, c.entry);
            EXPECT_EQ(MessageLine(), "");
        } else {
            EXPECT_EQ(gSale.gMode, RegisterMode::Sales);  // the register's home mode
            EXPECT_EQ(gSale.gAdjustmentReason, "");
            EXPECT_EQ(MessageLine(), "Stock Adjustment Terminated");
        }
        EXPECT_FALSE(gReg.gPromptLineActive);
    }
}

TEST_F(PromptLineTest, CancelOfTheFirstOrderNumberLeavesTheModeAsItWas) {
    gSale.gMode = RegisterMode::Adjustment;
    gReg.gPromptState = PromptState::ClientNumber;
    screen.Show(kGreetingLabel, true);
    Ask(13, Message::SelectReasonForStockAdjustment);
    Type("3");
    PromptInCIA_Cancel();
    EXPECT_TRUE(CallsMade().empty());
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Adjustment");
    EXPECT_EQ(gSale.gMode, RegisterMode::Adjustment);
    EXPECT_EQ(gReg.gPromptState, PromptState::None);
    EXPECT_FALSE(screen.Visible(kGreetingLabel));
    EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Grid);
    EXPECT_TRUE(screen.Visible(Id(Control::Rt_Description, 1)));
    EXPECT_EQ(Entry(), "");
    EXPECT_EQ(MessageLine(), "");
}

// Cancel on a document's question is its empty answer, whatever was typed:
// the adjustment ends, a purchase line without a cost goes (its retail price
// is never kept as its cost), a line without price or comment is finished.
TEST_F(PromptLineTest, CancelOfADocumentQuestionIsItsEmptyAnswer) {
    struct Case {
        int question;
        int linesLeft;
        std::vector<std::string> grid;  // the purchase redrawn; empty when it is not
        int asked;                      // the question asked next, 0 none
        const char* message;
    } cases[] = {
        {9, 0, {}, 0, "Stock Adjustment Terminated"},  // the adjustment ends: a new, empty sale
        {10, 1, {"Item P1"}, 0, ""},
        {11, 2, {}, 12, "Input Product Comment"},  // the comment is asked next
        {12, 2, {"Item P1", "Item P2"}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.question);
        PurchaseLines(2);
        Newest().note = "old";
        Newest().hasNote = true;
        StaleGrid();
        Ask(c.question, Message::InputProductPurchaseCost);
        Type("3");
        PromptInCIA_Cancel();
        EXPECT_EQ(gSale.gItemCount, c.linesLeft);
        EXPECT_EQ(gSale.gAdjustmentReason, "");
        EXPECT_EQ(gReg.gPromptLineActive, c.asked != 0);
        if (c.asked) {
            EXPECT_EQ(gReg.gPromptLine, c.asked);
        }
        if (!c.grid.empty()) ExpectGrid(c.grid);
        EXPECT_EQ(MessageLine(), c.message);
        if (c.question == 11) {
            EXPECT_EQ(Newest().listPrice, Money());
        }
        if (c.question == 12) {
            EXPECT_FALSE(Newest().hasNote);
        }
    }
}

TEST_F(PromptLineTest, PurchaseCostThenPriceOrCommentByTheOptions) {
    struct Case {
        bool askPrice, askComment;
        int asked;  // the question asked next; 0: the line goes into the purchase
        const char* message;
        bool listPriceCleared;
    };
    const Case cases[] = {
        {true, true, 11, "Input Product Retail Price", false},
        {false, true, 12, "Input Product Comment", true},
        {false, false, 0, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        recorder.calls.clear();
        PurchaseLines(1);
        Newest().listPrice = Money::FromUnits(5);
        gSettings.gAskPurchasePrice = c.askPrice;
        gSettings.gAskPurchaseComment = c.askComment;
        StaleGrid();
        Ask(10, Message::InputProductPurchaseCost);
        Answer("2.50");
        EXPECT_EQ(Newest().unitPrice, Money::FromCents(250));
        EXPECT_EQ(Newest().listPrice, c.listPriceCleared ? Money() : Money::FromUnits(5));
        if (c.asked) {
            EXPECT_TRUE(Pending(c.asked));
        } else {
            EXPECT_FALSE(gReg.gPromptLineActive);
            ExpectGrid({"Item P1"});
        }
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(Entry(), "");
    }
}

TEST_F(PromptLineTest, NoPurchaseCostDropsTheNewLine) {
    for (int lines : {2, 1}) {
        SCOPED_TRACE(lines);
        PurchaseLines(lines);
        StaleGrid();
        Ask(10, Message::InputProductPurchaseCost);
        Answer("");
        EXPECT_EQ(gSale.gItemCount, lines - 1);
        EXPECT_EQ(gSale.gLines[static_cast<std::size_t>(lines)], SaleLine{});
        // The purchase is shown again without it.
        ExpectGrid(lines > 1 ? std::vector<std::string>{"Item P1"} : std::vector<std::string>{});
        EXPECT_FALSE(gReg.gPromptLineActive);
    }
}

TEST_F(PromptLineTest, MoneyAnswersMustBePlainNumbers) {
    struct Case {
        int question;
        Message message;
    };
    const Case questions[] = {{10, Message::InputProductPurchaseCost},
                              {11, Message::InputProductRetailPrice},
                              {15, Message::InputNewSellingPrice}};
    for (const Case& q : questions) {
        for (const char* entry : {"1,234.50", "1.2.3", "12abc", "$5", "- 5"}) {
            SCOPED_TRACE(std::to_string(q.question) + " " + entry);
            recorder.calls.clear();
            PurchaseLines(1);
            gSale.gOnlineProduct = "00000042";
            Ask(q.question, q.message);
            Answer(entry);
            EXPECT_EQ(MessageLine(), "Invalid Entry");
            EXPECT_TRUE(Pending(q.question));
            EXPECT_EQ(Entry(), "");
            EXPECT_EQ(Newest().unitPrice, Money::FromUnits(9));
            EXPECT_TRUE(CallsMade().empty());
            PromptInCIA_Cancel();
        }
    }
}

TEST_F(PromptLineTest, PurchasePriceSetsListOrUnitPrice) {
    struct Case {
        bool askCost, askComment;
        const char* entry;
        Money list, unit;
        bool commentAsked;  // else the line goes into the purchase
    };
    const Money nine = Money::FromUnits(9);
    const Case cases[] = {
        {true, true, "4.75", Money::FromCents(475), nine, true},
        {false, false, "4.75", Money(), Money::FromCents(475), false},
        {true, false, "", Money(), nine, false},
        {false, false, "", Money(), Money(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + (c.askCost ? " after a cost" : ""));
        PurchaseLines(1);
        gSettings.gAskPurchaseCost = c.askCost;
        gSettings.gAskPurchaseComment = c.askComment;
        StaleGrid();
        Ask(11, Message::InputProductRetailPrice);
        Answer(c.entry);
        EXPECT_EQ(Newest().listPrice, c.list);
        EXPECT_EQ(Newest().unitPrice, c.unit);
        if (c.commentAsked) {
            EXPECT_TRUE(Pending(12));
            EXPECT_EQ(MessageLine(), "Input Product Comment");
        } else {
            EXPECT_FALSE(gReg.gPromptLineActive);
            ExpectGrid({"Item P1"});
        }
    }
}

TEST_F(PromptLineTest, PurchaseCommentIsTheNewLinesNote) {
    PurchaseLines(1);
    StaleGrid();
    Ask(12, Message::InputProductComment);
    Answer("Red, large & 'new' in the back");
    EXPECT_TRUE(Newest().hasNote);
    EXPECT_EQ(Newest().note, "Red  large    new  in");
    // The line goes into the purchase, its note under it.
    EXPECT_FALSE(gReg.gPromptLineActive);
    ExpectGrid({"Item P1", "Red  large    new  in"});

    Ask(12, Message::InputProductComment);
    Answer("");
    EXPECT_FALSE(Newest().hasNote);
    EXPECT_EQ(Newest().note, "");
    ExpectGrid({"Item P1"});
}

TEST_F(PromptLineTest, OrderNumbersOfTheShippingExport) {
    Ask(13, Message::InputStartingOrderNumber);
    Answer("");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_TRUE(Pending(13));
    Answer("1001");
    EXPECT_EQ(gOnline.gOrderRangeStart, "1001");
    EXPECT_TRUE(Pending(14));  // the last order number asked next
    EXPECT_EQ(MessageLine(), "Input Ending Order Number");
    EXPECT_TRUE(CallsMade().empty());

    recorder.calls.clear();
    Ask(14, Message::InputEndingOrderNumber);
    Answer("");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_TRUE(Pending(14));
    Answer("1010");
    EXPECT_EQ(gOnline.gOrderRangeEnd, "1010");
    EXPECT_EQ(CallsMade(), Calls{"Online_Service_UPS(1001, 1010)"});
}

// ---- the new selling price ----------------------------------------------------------------

// The back office the price change asks, on this machine, and the runner the
// request waits on.
class NewSellingPriceTest : public PromptLineTest {
protected:
    void SetUp() override {
        PromptLineTest::SetUp();
        ASSERT_TRUE(server.Bound());
        server.UseAsSlot(1);
        gConstants.servers.gServerSlot = 1;
        gSettings.gSiteId = "12";
        // The server does not take the price: no product file is touched.
        server.SetHandler([](const DispatcherCall&) { return DispatcherAnswer{200, "<result>refused</result>"}; });
        Reg().runner = &runner;
    }
    void TearDown() override {
        runner.RunUntilIdle(5000);
        Reg().runner = nullptr;
        PromptLineTest::TearDown();
    }
    DispatcherStub server;
    ManualRunner runner;
};

TEST_F(NewSellingPriceTest, FromZeroToAThousand) {
    struct Case {
        const char* entry;
        const char* sent;  // the price the back office is asked to set; nullptr: refused
    };
    const Case cases[] = {
        {"0", "0"},           {"1000", "1000"},   {"12.99", "12.99"}, {" 5 ", "5"},
        {"1000.01", nullptr}, {"-0.01", nullptr}, {"", nullptr},      {"1,000", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        recorder.calls.clear();
        const std::size_t asked = server.Calls().size();
        gSale.gOnlineProduct = "00000042";
        Ask(15, Message::InputNewSellingPrice);
        Answer(c.entry);
        if (c.sent) {
            EXPECT_FALSE(gReg.gPromptLineActive);
            EXPECT_TRUE(screen.Visible(Id(Control::Lbl_Phys_Code)));  // back to the price-change panel
            EXPECT_EQ(Entry(), "");
            EXPECT_EQ(MessageLine(), "Request In Progress, Please Wait ... ");
            ASSERT_TRUE(runner.RunUntilIdle(20000));
            ASSERT_EQ(server.Calls().size(), asked + 1);
            EXPECT_EQ(server.LastCall().Param("Data"), "Update tbl_prd_detail set price1= " + std::string(c.sent) +
                                                           " where product_id= 00000042 and site_id= 12");
        } else {
            EXPECT_EQ(MessageLine(), "Invalid Entry");
            EXPECT_TRUE(Pending(15));
            PromptInCIA_Cancel();
            runner.RunUntilIdle(100);
            EXPECT_EQ(server.Calls().size(), asked);
        }
        EXPECT_TRUE(CallsMade().empty());
    }
}

TEST_F(NewSellingPriceTest, WithoutAProductOnlyReturnsToThePriceChange) {
    gSale.gOnlineProduct.clear();
    Ask(15, Message::InputNewSellingPrice);
    Answer("5");
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_TRUE(screen.Visible(Id(Control::Lbl_Phys_Code)));
    runner.RunUntilIdle(100);
    EXPECT_TRUE(server.Calls().empty());  // nothing asked of the back office

    // Cancel also returns to it.
    screen.Show(Id(Control::Lbl_Phys_Code), false);
    Ask(15, Message::InputNewSellingPrice);
    PromptInCIA_Cancel();
    EXPECT_TRUE(screen.Visible(Id(Control::Lbl_Phys_Code)));
}

// ---- the on-screen printout ---------------------------------------------------------------

TEST_F(PromptLineTest, PrintoutClosesByEnterOrCancel) {
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "Cancel" : "Enter");
        gPrint.gPrintToScreen = true;
        Printout_Show();
        EXPECT_TRUE(Pending(16));
        EXPECT_EQ(MessageLine(), "Touch or Click Enter Button to Continue");
        if (cancel)
            PromptInCIA_Cancel();
        else
            PromptInCIA_Enter();
        EXPECT_FALSE(gReg.gPromptLineActive);
        EXPECT_EQ(MessageLine(), "");
        EXPECT_FALSE(screen.Visible(Id(Control::Txt_Printer)));
        EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Grid);
        EXPECT_TRUE(screen.Enabled(Id(Control::BSys, 1)));
        EXPECT_EQ(gPrint.gPrintToScreen, !cancel);
    }
}

// The end-of-sale pause that ends under a receipt on the screen waits for the
// cashier to close it: the receipt stays readable, then the next sale starts.
TEST_F(PromptLineTest, AReceiptOnTheScreenHoldsTheNextSaleUntilItIsClosed) {
    EndSaleTimer_Connect();
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "Cancel" : "Enter");
        recorder.calls.clear();
        gSale = SaleState{};
        AddLine("A", 1, Money::FromUnits(2));  // the sale just saved, still on the receipt
        Printout_Show();
        timers.Start(TimerId::EndSale, 2000);
        ASSERT_TRUE(timers.Tick(TimerId::EndSale));
        EXPECT_FALSE(timers.Running(TimerId::EndSale));
        EXPECT_TRUE(screen.Visible(Id(Control::Txt_Printer)));
        EXPECT_EQ(gSale.gItemCount, 1);  // the next sale waits
        if (cancel)
            PromptInCIA_Cancel();
        else
            PromptInCIA_Enter();
        EXPECT_EQ(gSale.gItemCount, 0);  // the next, empty sale
        EXPECT_EQ(gSale.gLines[1].key, "");
        // Closing a receipt shown outside a sale's end starts nothing.
        AddLine("B", 1, Money::FromUnits(2));
        Printout_Show();
        PromptInCIA_Enter();
        EXPECT_EQ(LineKeys(), (std::vector<std::string>{"B"}));
    }
}

}  // namespace
}  // namespace tarvo
