// A register for tests: a screen model read as the cashier sees it, timers
// fired by hand, a clock set by the test, stand-in services, and fresh
// program-wide state with the texts filled.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "print/printer_output.h"
#include "program_state.h"
#include "register/program_services.h"
#include "screen/register_context.h"
#include "screen/register_state.h"
#include "screen/screen_model.h"

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

// The store's default client (setting 255: client "1", "Cash Customer"),
// which every new sale attaches, in the terminal's client file and loaded.
// Without it a new sale says "Not Found".
inline void DefaultClient_Load() {
    std::string record(210, ' ');
    record.replace(0, 1, "1");
    record.replace(11, 1, "1");
    record.replace(19, 13, "Cash Customer");
    std::ofstream(gConstants.paths.gFilesPath + ".CLI", std::ios::binary) << record << "\r\n";
    Parse_FileClient();
}

// Fails the test when the core writes or focuses a control the window does
// not have: a name of the control table, but an index out of its range.
class WindowControlsOnly : public ScreenListener {
public:
    void ControlChanged(const ControlId& id, const ControlState&) override { Check(id); }
    void FocusChanged(const ControlId& id) override { Check(id); }
    void TitleChanged(const std::string&) override {}
    void MessageBox(const std::string&) override {}

private:
    static void Check(const ControlId& id) { EXPECT_TRUE(IsControl(id)) << "the window has no " << id; }
};

class RegisterTest : public ::testing::Test {
protected:
    void SetUp() override {
        screen.SetListener(&windowControls);
        ResetProgramState();
        gReg = RegisterState{};
        gSale = SaleState{};
        gPrint = PrintState{};
        Setup_Initialize(gSettings);
        FillTextTables(gConstants.tables);
        Reg() = RegisterContext{&screen, &timers, &clock, &services, "/nonexistent"};
        Reg().services.keys = &registerKeys;
        Reg().services.saleObserver = &saleEvents;
    }
    void TearDown() override { Reg() = RegisterContext{}; }

    WindowControlsOnly windowControls;
    ScreenModel screen;
    ManualTimers timers;
    ManualClock clock{LocalTime{2026, 12, 9, 10, 30, 0}};
    RegisterServices services;
    RegisterKeyHandlers registerKeys;  // the window's real button groups
    RegisterSaleObserver saleEvents;   // what the register does when the sale reports
};

}  // namespace tarvo
