#include "register/prompt_line.h"

#include "register/total_key.h"
#include "sale/sale_save.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "backoffice/online_state.h"
#include "common/cp1252.h"
#include "common/fields.h"
#include "key_fixture.h"
#include "register/keyboard.h"
#include "register_mode_print.h"
#include "sale/tenders.h"
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
// hand over to: the card charge, the purchase and adjustment entry, the
// shipping export and the price change.
class PromptRecorder : public RecordingKeys {
public:
    std::string entryAtPriceChange;
    std::string productAtPriceChange;

    void Card_Charge() override { calls.push_back("Card_Charge(" + gReg.gCardRequest.gCardAmount.Text() + ")"); }
    void Adjustment_Start() override { calls.push_back("Adjustment_Start(" + gSale.gAdjustmentReason + ")"); }
    void Adjustment_Cancel() override { calls.push_back("Adjustment_Cancel"); }
    void Purchase_PromptPrice() override { calls.push_back("Purchase_PromptPrice"); }
    void Purchase_PromptComment() override { calls.push_back("Purchase_PromptComment"); }
    void Purchase_AddProduct() override { calls.push_back("Purchase_AddProduct"); }
    void Purchase_CancelProduct() override { calls.push_back("Purchase_CancelProduct"); }
    void Online_Prompt_End_Order() override { calls.push_back("Online_Prompt_End_Order"); }
    void Online_Service_UPS() override { calls.push_back("Online_Service_UPS"); }
    void Online_Service_ChangePrice(const std::string& product, const std::string& price) override {
        calls.push_back("Online_Service_ChangePrice");
        productAtPriceChange = product;
        entryAtPriceChange = price;
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
        prompt.PromptInCIA_Show(question);
    }
    void Answer(const std::string& typed) {
        Type(typed);
        prompt.PromptInCIA_Enter();
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
        prompt.ClientNumber_Prompt();

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
        EXPECT_FALSE(gReg.gPromptLineActive);
        EXPECT_EQ(Called("Online_Prompt_End_Order"), c.answered);
        EXPECT_EQ(gOnline.gOrderRangeStart, c.answered ? "1001" : "");
    }
}

TEST_F(PromptLineTest, QuestionTextsInBothLanguages) {
    struct Case {
        const char* name;
        void (*open)(PromptLine&);
        int question;
        const char* english;
        const char* french;  // UTF-8
    };
    const Case cases[] = {
        {"amount", [](PromptLine& p) { p.Credit_Card_PromptAmount(); }, 1, "Confirm Amount of Charge",
         "Confirmez Montant à Charger"},
        {"card number", [](PromptLine& p) { p.Credit_Card_PromptCardNumber(); }, 2, "Input Credit Card Number",
         "Entrez Numéro de Carte de Crédit"},
        {"expiry", [](PromptLine& p) { p.Credit_Card_PromptCardExpiry(); }, 3, "Input Card Expiry Date MMYY",
         "Entrez Date d'Expiration de Carte MMAA"},
        {"address", [](PromptLine& p) { p.Credit_Card_PromptAddress(); }, 4, "Input Card Holder Street Address",
         "Entrez Adresse du Détenteur de Carte"},
        {"zip", [](PromptLine& p) { p.Credit_Card_PromptZip(); }, 5, "Input Card Holder Zip Code",
         "Entrez Code Postal du Détenteur de Carte"},
        {"client", [](PromptLine& p) { p.ClientNumber_Prompt(); }, 7, "Input Client Number & Select Enter",
         "Entrez Numéro de Client & Appuyez Entrez"},
    };
    for (const Case& c : cases) {
        for (int language : {1, 2}) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(language));
            gSettings.gLanguage = static_cast<std::int16_t>(language);
            c.open(prompt);
            EXPECT_TRUE(Pending(c.question));
            EXPECT_EQ(Cp1252ToUtf8(MessageLine()), language == 1 ? c.english : c.french);
            EXPECT_EQ(screen.Caption(kCancelKey), "Cancel");
            prompt.PromptInCIA_Cancel();
        }
    }
}

// ---- the card questions ----------------------------------------------------------------

TEST_F(PromptLineTest, AmountIsProposedConfirmedAndCharged) {
    gSale.gBalanceDue = Money::FromCents(1250);
    prompt.Credit_Card_PromptAmount();
    EXPECT_TRUE(Pending(1));
    EXPECT_EQ(Entry(), "12.5");
    EXPECT_EQ(screen.State(kEntryBox).selStart, 4);
    EXPECT_FALSE(screen.Enabled(kEntryBox));

    // Enter leaves the proposed amount in the box (the key-up keeps it).
    Form_KeyDown(KeyCode::Enter, 0);
    Form_KeyUp(KeyCode::Enter, 0);
    EXPECT_EQ(CallsMade(), Calls{"Card_Charge(12.5)"});
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
        prompt.Credit_Card_PromptAmount();
        screen.SetText(kEntryBox, c.entry);
        prompt.PromptInCIA_Enter();
        if (c.charged)
            EXPECT_EQ(CallsMade(), Calls{std::string("Card_Charge(") + c.charged + ")"});
        else
            EXPECT_TRUE(CallsMade().empty());
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(Pending(1), c.askedAgain);
        if (c.askedAgain) {
            EXPECT_EQ(Entry(), "12.5");
            EXPECT_FALSE(screen.Enabled(kEntryBox));
            prompt.PromptInCIA_Cancel();
        } else if (!c.charged) {
            EXPECT_EQ(Entry(), "");
            EXPECT_EQ(gReg.gCardRequest.gCardNumber, "");
        }
    }
}

TEST_F(PromptLineTest, WithoutCardPaymentsTheChargeIsRefusedAndLogged) {
    Reg().services.card = nullptr;
    gSale.gBalanceDue = Money::FromCents(1250);
    prompt.Credit_Card_PromptAmount();
    prompt.PromptInCIA_Enter();
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

        prompt.Credit_Card_PromptCardNumber();
        EXPECT_TRUE(Pending(2));
        Answer("4111111111111111");
        EXPECT_TRUE(Called("Card_TypeFind"));
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
        prompt.PromptInCIA_Enter();
        EXPECT_TRUE(Called("Card_Charge(30)"));
    }
}

TEST_F(PromptLineTest, CardNumberRefusals) {
    // Nothing typed ends the card dialogue.
    prompt.Credit_Card_PromptCardNumber();
    Answer("");
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_EQ(MessageLine(), "Invalid Entry, Operation Cancelled");
    EXPECT_FALSE(Called("Card_TypeFind"));

    // A card of no known type is shown and asked again.
    recorder.cardTypeStatus = 7;
    prompt.Credit_Card_PromptCardNumber();
    Answer("1234567");
    EXPECT_TRUE(Pending(2));
    EXPECT_EQ(gReg.gCardRequest.gCardNumber, "");
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
        prompt.Credit_Card_PromptCardExpiry();
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
        prompt.PromptInCIA_Cancel();
    }
    // Nothing typed ends the card dialogue.
    prompt.Credit_Card_PromptCardExpiry();
    Answer("");
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_EQ(MessageLine(), "Invalid Entry, Operation Cancelled");
}

TEST_F(PromptLineTest, CancellingACardQuestionKeepsTheCardFields) {
    gReg.gCardRequest.gCardNumber = "4111111111111111";
    gReg.gCardRequest.gCardExpiry = "2605";
    prompt.Credit_Card_PromptAddress();
    Type("1 Main");
    prompt.PromptInCIA_Cancel();
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
        prompt.MessageWithEnterToEnd_Show();
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
        prompt.ClientNumber_Prompt();
        EXPECT_EQ(gReg.gPromptState, PromptState::ClientNumber);
        EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Client Entry");
        EXPECT_TRUE(CallsMade().empty());
        recorder.calls.clear();
        Type(c.entry);
        if (c.cancel)
            prompt.PromptInCIA_Cancel();
        else
            prompt.PromptInCIA_Enter();
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
            prompt.PromptInCIA_Cancel();
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
        const char* call;
    };
    const Case cases[] = {
        {"1", "Adjustment_Start(1)"}, {"9", "Adjustment_Start(9)"}, {"0", "Adjustment_Cancel"},
        {"10", "Adjustment_Cancel"},  {"a", "Adjustment_Cancel"},   {"", "Adjustment_Cancel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        recorder.calls.clear();
        Ask(9, Message::SelectReasonForStockAdjustment);
        Answer(c.entry);
        EXPECT_EQ(CallsMade(), Calls{c.call});
        if (std::string(c.call) == "Adjustment_Cancel") {
            EXPECT_EQ(gSale.gAdjustmentReason, "");
        }
    }
}

TEST_F(PromptLineTest, CancelOfTheFirstOrderNumberLeavesTheModeAsItWas) {
    gSale.gMode = RegisterMode::Adjustment;
    gReg.gPromptState = PromptState::ClientNumber;
    screen.Show(kGreetingLabel, true);
    Ask(13, Message::SelectReasonForStockAdjustment);
    Type("3");
    prompt.PromptInCIA_Cancel();
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
        Calls calls;
        int linesLeft;
    } cases[] = {
        {9, {"Adjustment_Cancel"}, 2},
        {10, {"Purchase_AddProduct"}, 1},
        {11, {"Purchase_PromptComment"}, 2},  // the comment is asked next
        {12, {"Purchase_AddProduct"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.question);
        recorder.calls.clear();
        PurchaseLines(2);
        Newest().note = "old";
        Newest().hasNote = true;
        Ask(c.question, Message::InputProductPurchaseCost);
        Type("3");
        prompt.PromptInCIA_Cancel();
        EXPECT_EQ(CallsMade(), c.calls);
        EXPECT_EQ(gSale.gItemCount, c.linesLeft);
        EXPECT_EQ(gSale.gAdjustmentReason, "");
        EXPECT_FALSE(gReg.gPromptLineActive);
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
        const char* next;
        bool listPriceCleared;
    };
    const Case cases[] = {
        {true, true, "Purchase_PromptPrice", false},
        {false, true, "Purchase_PromptComment", true},
        {false, false, "Purchase_AddProduct", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.next);
        recorder.calls.clear();
        PurchaseLines(1);
        Newest().listPrice = Money::FromUnits(5);
        gSettings.gAskPurchasePrice = c.askPrice;
        gSettings.gAskPurchaseComment = c.askComment;
        Ask(10, Message::InputProductPurchaseCost);
        Answer("2.50");
        EXPECT_EQ(Newest().unitPrice, Money::FromCents(250));
        EXPECT_EQ(Newest().listPrice, c.listPriceCleared ? Money() : Money::FromUnits(5));
        EXPECT_EQ(CallsMade(), Calls{c.next});
        EXPECT_EQ(MessageLine(), "");
        EXPECT_EQ(Entry(), "");
    }
}

TEST_F(PromptLineTest, NoPurchaseCostDropsTheNewLine) {
    for (int lines : {2, 1}) {
        SCOPED_TRACE(lines);
        recorder.calls.clear();
        PurchaseLines(lines);
        Ask(10, Message::InputProductPurchaseCost);
        Answer("");
        EXPECT_EQ(gSale.gItemCount, lines - 1);
        EXPECT_EQ(gSale.gLines[static_cast<std::size_t>(lines)], SaleLine{});
        EXPECT_EQ(CallsMade(), Calls{lines > 1 ? "Purchase_AddProduct" : "Purchase_CancelProduct"});
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
            prompt.PromptInCIA_Cancel();
        }
    }
}

TEST_F(PromptLineTest, PurchasePriceSetsListOrUnitPrice) {
    struct Case {
        bool askCost, askComment;
        const char* entry;
        Money list, unit;
        const char* next;
    };
    const Money nine = Money::FromUnits(9);
    const Case cases[] = {
        {true, true, "4.75", Money::FromCents(475), nine, "Purchase_PromptComment"},
        {false, false, "4.75", Money(), Money::FromCents(475), "Purchase_AddProduct"},
        {true, false, "", Money(), nine, "Purchase_AddProduct"},
        {false, false, "", Money(), Money(), "Purchase_AddProduct"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + (c.askCost ? " after a cost" : ""));
        recorder.calls.clear();
        PurchaseLines(1);
        gSettings.gAskPurchaseCost = c.askCost;
        gSettings.gAskPurchaseComment = c.askComment;
        Ask(11, Message::InputProductRetailPrice);
        Answer(c.entry);
        EXPECT_EQ(Newest().listPrice, c.list);
        EXPECT_EQ(Newest().unitPrice, c.unit);
        EXPECT_EQ(CallsMade(), Calls{c.next});
    }
}

TEST_F(PromptLineTest, PurchaseCommentIsTheNewLinesNote) {
    PurchaseLines(1);
    Ask(12, Message::InputProductComment);
    Answer("Red, large & 'new' in the back");
    EXPECT_TRUE(Newest().hasNote);
    EXPECT_EQ(Newest().note, "Red  large    new  in");
    EXPECT_EQ(CallsMade(), Calls{"Purchase_AddProduct"});

    Ask(12, Message::InputProductComment);
    Answer("");
    EXPECT_FALSE(Newest().hasNote);
    EXPECT_EQ(Newest().note, "");
}

TEST_F(PromptLineTest, OrderNumbersOfTheShippingExport) {
    Ask(13, Message::InputStartingOrderNumber);
    Answer("");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_TRUE(Pending(13));
    Answer("1001");
    EXPECT_EQ(gOnline.gOrderRangeStart, "1001");
    EXPECT_EQ(CallsMade(), Calls{"Online_Prompt_End_Order"});

    recorder.calls.clear();
    Ask(14, Message::InputEndingOrderNumber);
    Answer("");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_TRUE(Pending(14));
    Answer("1010");
    EXPECT_EQ(gOnline.gOrderRangeEnd, "1010");
    EXPECT_EQ(CallsMade(), Calls{"Online_Service_UPS"});
}

// ---- the new selling price ----------------------------------------------------------------

TEST_F(PromptLineTest, NewSellingPriceFromZeroToAThousand) {
    struct Case {
        const char* entry;
        bool accepted;
    };
    const Case cases[] = {
        {"0", true},        {"1000", true},   {"12.99", true}, {" 5 ", true},
        {"1000.01", false}, {"-0.01", false}, {"", false},     {"1,000", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        recorder.calls.clear();
        recorder.entryAtPriceChange.clear();
        gSale.gOnlineProduct = "00000042";
        Ask(15, Message::InputNewSellingPrice);
        Answer(c.entry);
        if (c.accepted) {
            EXPECT_EQ(CallsMade(), Calls{"Online_Service_ChangePrice"});
            EXPECT_EQ(recorder.entryAtPriceChange, Trim(c.entry));
            EXPECT_EQ(recorder.productAtPriceChange, "00000042");
            EXPECT_FALSE(gReg.gPromptLineActive);
            EXPECT_TRUE(screen.Visible(Id(Control::Lbl_Phys_Code)));  // back to the price-change panel
            EXPECT_EQ(Entry(), "");
        } else {
            EXPECT_TRUE(CallsMade().empty());
            EXPECT_EQ(MessageLine(), "Invalid Entry");
            EXPECT_TRUE(Pending(15));
            prompt.PromptInCIA_Cancel();
        }
    }
}

TEST_F(PromptLineTest, NewSellingPriceWithoutAProductOnlyReturnsToThePriceChange) {
    gSale.gOnlineProduct.clear();
    Ask(15, Message::InputNewSellingPrice);
    Answer("5");
    EXPECT_TRUE(CallsMade().empty());
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_TRUE(screen.Visible(Id(Control::Lbl_Phys_Code)));

    // Cancel also returns to it.
    screen.Show(Id(Control::Lbl_Phys_Code), false);
    Ask(15, Message::InputNewSellingPrice);
    prompt.PromptInCIA_Cancel();
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
            prompt.PromptInCIA_Cancel();
        else
            prompt.PromptInCIA_Enter();
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
            prompt.PromptInCIA_Cancel();
        else
            prompt.PromptInCIA_Enter();
        EXPECT_EQ(gSale.gItemCount, 0);  // the next, empty sale
        EXPECT_EQ(gSale.gLines[1].key, "");
        // Closing a receipt shown outside a sale's end starts nothing.
        AddLine("B", 1, Money::FromUnits(2));
        Printout_Show();
        prompt.PromptInCIA_Enter();
        EXPECT_EQ(LineKeys(), (std::vector<std::string>{"B"}));
    }
}

}  // namespace
}  // namespace tarvo
