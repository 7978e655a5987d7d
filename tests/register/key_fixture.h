// A register for the key, keypad, keyboard and screen-build tests: the
// register fixture with services that record what the keys call (and answer
// as the test sets them up), a terminal folder for the working files the
// finders open, and builders of cashiers, products and sale lines.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/log.h"
#include "office/communication.h"
#include "print/printer_output.h"
#include "register/register_keys.h"
#include "register_fixture.h"
#include "sale/sale_save.h"
#include "test_dir.h"

namespace tarvo {

inline const ControlId kEntryBox{Control::txtDEA, 0};
inline const ControlId kMessageLine{Control::txtCIA, 0};

inline ControlId SoftKeyId(int k) { return ControlId{Control::mDept, k}; }

// What the sale shows the cashier: the mode box, the total cell and the
// Total key.
inline const ControlId kSaleModeBox{Control::Txt_Mode, 0};
inline const ControlId kSaleTotalCell{Control::Rt_Total, 0};
inline const ControlId kSaleTotalKey{Control::mTotalRegister, 0};

// Records every call in order ("System_Process(5)") and answers as set.
class RecordingKeys : public RegisterServices {
public:
    std::vector<std::string> calls;

    // answers
    // what a session with the back office gives
    std::int16_t commResult = 0;
    bool commUpdatesProducts = false;
    bool commBringsCashier = false;
    // what the card parser reads from any track
    std::string cardNumberInTrack = "4111111111111111";
    std::string cardNameInTrack = "DOE/JOHN";
    std::string cardExpiryInTrack = "2512";
    std::string trackWhenParsed;  // what the swipe handed to the card parser
    std::int16_t cardTypeStatus = 0;
    // Product_Add adds a line (the product key, the pending quantity, the
    // manual price) unless told not to.
    bool productAddsLine = true;

    // what was seen
    SearchFormSetup searchForm;

    int Count(std::string_view call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), std::string(call)));
    }
    bool Called(std::string_view call) const { return Count(call) > 0; }
    // Any call of that name, whatever its arguments.
    bool CalledAny(std::string_view name) const {
        return std::any_of(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(name, 0) == 0; });
    }

    // sale engine: a product scanned or typed into the entry box
    void Product_Add() override {
        Note("Product_Add");
        if (!productAddsLine) return;
        SaleState& s = gSale;
        const int n = ++s.gItemCount;
        s.gLines[n].key = gData.gProductKey;
        s.gLines[n].quantity = s.gVoidMode ? -s.gQuantity : s.gQuantity;
        s.gLines[n].unitPrice = gData.gManualPrice ? gData.gManualPriceValue : Money::FromUnits(1);
        s.gQuantity = 1;
        s.gVoidMode = false;
    }

    // The cash office's session wrapper, as the program wires it, around the
    // session below.
    void Communicate(std::function<void()> then) override { tarvo::Communicate(std::move(then)); }
    // transfer: the session with the back office, noted by its mode (and
    // "hidden" when its window stays off the screen), answering as set.
    std::int16_t Session_Run(CommMode mode, bool hidden) override {
        Note("Session_Run(" + std::to_string(static_cast<int>(mode)) + (hidden ? ", hidden)" : ")"));
        gComm.gProductsUpdated = commUpdatesProducts;
        if (commBringsCashier) {
            gData.CashierTable.push_back(CashierRow{"00000009", "999", "Fetched", 1});
            gData.gCashierCount = static_cast<std::int32_t>(gData.CashierTable.size() - 1);
            gData.gNoCashiers = false;
        }
        return commResult;
    }

    // cards and prompt line
    void Caption_Reset() override {
        Note("Caption_Reset");
        PromptStandIn::Caption_Reset();
    }
    SwipedCard Card_ParseSwipe(const std::string& track) override {
        Note("Card_ParseSwipe");
        trackWhenParsed = track;
        return SwipedCard{cardNumberInTrack, cardNameInTrack, cardExpiryInTrack};
    }
    // Noted with the number it was asked about.
    std::int16_t Card_TypeFind(const std::string& number) override {
        Note("Card_TypeFind(" + number + ")");
        return cardTypeStatus;
    }
    void Credit_Card_PromptAmount() override {
        Note("Credit_Card_PromptAmount");
        gReg.gPromptLineActive = true;
        gReg.gPromptLine = 1;
        Screen().SetText(kEntryBox, gSale.gBalanceDue.TextDisplay());
    }
    void Credit_Card_Display_Response(std::int16_t status) override { Note("Credit_Card_Display_Response", status); }

    // inventory, online, start-up
    void Kit_Processing() override { Note("Kit_Processing(" + gSale.gKitCode + ")"); }
    void SearchForm_Show(const SearchFormSetup& setup) override {
        Note("SearchForm_Show");
        searchForm = setup;
    }
    void Online_Process(int key) override { Note("Online_Process", key); }
    void PlaySoundFile(int sound) override { Note("PlaySoundFile", sound); }
    void RestartProgram() override { Note("RestartProgram"); }

private:
    void Note(std::string call) { calls.push_back(std::move(call)); }
    void Note(const char* name, int arg) { calls.push_back(std::string(name) + "(" + std::to_string(arg) + ")"); }
};

class KeyTest : public RegisterTest {
protected:
    static constexpr const char* kTerminal = "1234567";

    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path(), kTerminal);
        gSaleSave = SaleSaveState{};
        gCommSchedule = CommScheduleState{};
        Reg().services = &keys;
        // The register starts with no panel over the receipt grid.
        screen.Show(ControlId{Control::Txt_All, 0}, false);
    }
    void TearDown() override {
        Data_Reset(gData);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }

    // What the cashier typed, as the window hands it over.
    void Type(const std::string& text) { screen.SetTextFromView(kEntryBox, text); }
    const std::string& Entry() const { return screen.Text(kEntryBox); }
    const std::string& MessageLine() const { return screen.Text(kMessageLine); }

    // A logged-in cashier in the middle of a sale.
    void LoggedIn() {
        gReg.gLoggedOut = false;
        gReg.gPromptState = PromptState::None;
        gReg.gBusinessDate = "20261209";
    }

    void AddCashier(const std::string& key, const std::string& number, const std::string& name, std::int16_t level) {
        gData.CashierTable.push_back(CashierRow{number, key, name, level});
        gData.gCashierCount = static_cast<std::int32_t>(gData.CashierTable.size() - 1);
        gData.gNoCashiers = false;
    }

    // A sale line placed directly into the sale.
    void AddLine(const std::string& key, double quantity, Money unitPrice, std::int16_t sourceIndex = 0) {
        SaleState& s = gSale;
        const int n = ++s.gItemCount;
        s.gLines[n].key = key;
        s.gLines[n].description = "Item " + key;
        s.gLines[n].quantity = quantity;
        s.gLines[n].unitPrice = unitPrice;
        s.gLines[n].extension = Money::FromRaw(static_cast<std::int64_t>(unitPrice.Raw() * quantity));
        s.gLines[n].sourceIndex = sourceIndex;
    }
    std::vector<std::string> LineKeys() const {
        std::vector<std::string> v;
        for (int i = 1; i <= gSale.gItemCount; ++i) v.push_back(gSale.gLines[i].key);
        return v;
    }

    // Department key `index` sells product `key` of the product file (kind
    // "P"); the sale has a client, so that its first line may be added.
    static void DepartmentSells(int index, const std::string& key) {
        DepartmentKey& department = gSettings.Departments[static_cast<std::size_t>(index)];
        department.KeyKind = "P";
        department.Target = key;
        gData.gClientRecNo = 1;
    }

    // The product file holding these product numbers (given in sorted order).
    void Products(const std::vector<std::string>& numbers) {
        ASSERT_TRUE(gData.products.Open(gConstants.paths.gDataPath + ".PRD", 275, true));
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            std::string rec(273, ' ');
            rec.replace(11, numbers[i].size(), numbers[i]);
            rec.replace(59, 11, "Description");
            ASSERT_TRUE(gData.products.Write(static_cast<std::int64_t>(i + 1), rec));
        }
        gData.gProductCount = static_cast<std::int32_t>(numbers.size());
    }

    TestDir dir;
    RecordingKeys keys;
};

}  // namespace tarvo
