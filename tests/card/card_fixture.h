// A register on a folder of its own with card processing on through one
// back-end: the program's services wired, a background runner the test runs
// by hand, and what the cashier reads (the message line) and the log.
#pragma once
#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>

#include "config/constants.h"
#include "config/settings.h"
#include "platform/background_runner.h"
#include "register/program_services.h"
#include "register/register_fixture.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {

class CardRegisterTest : public RegisterTest {
protected:
    // Terminal 1234567 on `dir`, setting 140 `backend`, a time-out of 120 s.
    void UseCards(CardBackend backend) {
        UseTerminalFolder(dir.Path());
        Reg().programFolder = dir.Path();
        Reg().services = program.Set();
        Reg().runner = &runner;
        gTerminalNumber = "1234567";
        gSettings.gCardEnabled = true;
        gSettings.gCardBackend = backend;
        gSettings.gCardTimeout = "120";
    }
    // No payment types but cash (type 1) and those the test adds.
    static void CashOnly() {
        for (PaymentType& t : gSettings.PaymentTypes) t = PaymentType{};
        AddPaymentType(1, "1", "Cash");
    }
    // Payment type `slot` (its number too) taking card type `cardType`.
    static void AddPaymentType(std::size_t slot, const char* cardType, const char* name) {
        PaymentType& t = gSettings.PaymentTypes[slot];
        t.Number = std::to_string(slot);
        t.CardType = cardType;
        t.Name1 = name;
    }
    std::string Message() const { return screen.Text(kMessageLine); }
    std::string LogText() const {
        std::ifstream f(gConstants.paths.gFilesPath + ".LOG", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }

    TestDir dir;
    ProgramServices program;
    ManualRunner runner;
};

}  // namespace tarvo
