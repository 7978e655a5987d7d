// A register for tests: a screen model read as the cashier sees it, timers
// fired by hand, a clock set by the test, stand-in services, and fresh
// program-wide state with the texts filled.
#pragma once
#include <gtest/gtest.h>

#include "program_state.h"
#include "register/register_context.h"
#include "register/register_state.h"
#include "sale/sale_state.h"
#include "startup/settings.h"
#include "startup/text_tables.h"

namespace tarvo {

class RegisterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        gReg = RegisterState{};
        gSale = SaleState{};
        Setup_Initialize(gSettings);
        FillTextTables(gConstants.tables);
        Reg() = RegisterContext{&screen, &timers, &clock, &services, "/nonexistent"};
    }
    void TearDown() override { Reg() = RegisterContext{}; }

    ScreenModel screen;
    ManualTimers timers;
    ManualClock clock{LocalTime{2026, 12, 9, 10, 30, 0}};
    RegisterServices services;
};

}  // namespace tarvo
