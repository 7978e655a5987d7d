// A register for tests: a screen model read as the cashier sees it, timers
// fired by hand, a clock set by the test, stand-in services, and fresh
// program-wide state with the texts filled.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>

#include "data/data_state.h"
#include "data/log.h"
#include "print/printer_output.h"
#include "program_state.h"
#include "register/register_context.h"
#include "register/register_state.h"
#include "sale/sale_state.h"
#include "config/settings.h"
#include "config/text_tables.h"

namespace tarvo {

// A fresh data layer on a terminal folder of its own: Files/ and Data/ under
// `folder`, the terminal's paths pointed there and its log open.
inline void UseTerminalFolder(const std::string& folder, const char* terminal = "1234567") {
    Data_Reset(gData);
    SetTerminalPaths(gConstants.paths, folder, terminal);
    std::filesystem::create_directories(folder + "/Files");
    std::filesystem::create_directories(folder + "/Data");
    ProgramLog().Open(gConstants.paths.gFilesPath + ".LOG");
}

class RegisterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        gReg = RegisterState{};
        gSale = SaleState{};
        gPrint = PrintState{};
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
