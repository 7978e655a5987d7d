// A register for the System and Print page tests: the recording services of
// the key tests with the printer, transfer, forms and program end answering
// as the test sets them up, the register's own pages behind the soft keys,
// and a window that answers yes/no questions as told. The cash office's
// reports print for real, through the printer output.
#pragma once
#include <string>
#include <vector>

#include "data/transaction_files.h"
#include "key_fixture.h"
#include "office/report_state.h"
#include "print/devices.h"
#include "register/pages.h"
#include "sale/sale_save.h"

namespace tarvo {

inline const ControlId kRegisterWindow{Control::frmCashMain, 0};

class PageServices : public RecordingKeys {
public:
    // answers
    std::int16_t printStatus = 0;  // what a printout leaves
    bool printerOpens = true;
    bool internet = true;
    int dialSettings = 2;
    int dialResult = 3;
    bool terminalFormOpens = true;

    // what was seen
    std::vector<std::string> printed;  // the lines of the printer, in order
    bool logOpenInSession = true;

    void Printer_Open() override {
        calls.push_back("Printer_Open");
        gPrint.gPrintStatus = printerOpens ? 0 : 1;
    }
    void Printer_Line(int newLine, int code, const std::string& text) override {
        if (newLine == 1 && code == 0) printed.push_back(text);
    }
    void Printer_Close(bool closeHandle) override {
        calls.push_back(closeHandle ? "Printer_Close(true)" : "Printer_Close(false)");
        gPrint.gPrintStatus = printStatus;
    }
    std::int16_t PrintStatus() const override { return gPrint.gPrintStatus; }

    // The session notes whether the program's log was open while it ran.
    std::int16_t Session_Run(CommMode mode, bool hidden) override {
        logOpenInSession = ProgramLog().IsOpen();
        return RecordingKeys::Session_Run(mode, hidden);
    }

    bool Internet_Check() override {
        calls.push_back("Internet_Check");
        return internet;
    }
    int ReadDialSettings() override {
        calls.push_back("ReadDialSettings");
        return dialSettings;
    }
    int RasDialConnect() override {
        calls.push_back("RasDialConnect");
        return dialResult;
    }
    void RasDialHangUp() override { calls.push_back("RasDialHangUp"); }

    bool TerminalForm_Show() override {
        calls.push_back("TerminalForm_Show");
        return terminalFormOpens;
    }
    void EndProgram() override { calls.push_back("EndProgram"); }
};

// The window's answer to a yes/no question.
class AnsweringWindow : public WindowControlsOnly {
public:
    bool answer = false;
    bool Question(const std::string&) override { return answer; }
};

class PageTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoggedIn();
        screen.SetListener(&window);
        Reg().services = &svc;
        Reg().services.pages = &pages;
        gSettings.gPrinterType = PrinterType::Com1;
        // Nothing is plugged into COM1: a printout that no test catches
        // fails instead of reaching a device of this machine.
        dir.Write(kDeviceMapFile, "COM1=" + (dir / "unplugged") + "\n");
        gSale.gDateText = "9/December/2026";
    }

    // Presses soft key `key` of page `page` with `typed` in the entry box.
    void Press(KeyPage page, int key, const std::string& typed = "") {
        gReg.gKeyPage = page;
        Type(typed);
        mDept_Click(key);
    }

    void AddManager(const std::string& code, const std::string& rights) {
        gData.ManagerTable.push_back(ManagerRow{"00000077", code, "Boss", rights});
        gData.gManagerCount = static_cast<std::int32_t>(gData.ManagerTable.size() - 1);
    }

    // Documents appended to a transaction file of records of `length` bytes
    // (line end included): number in columns 1-7, the sent flag in `flagColumn`.
    static void AddDocuments(WorkFile& file, std::int32_t& counter, int length, int headerWidth, int flagColumn,
                             const std::string& flags) {
        for (char flag : flags) {
            std::string record(static_cast<std::size_t>(length - 2), ' ');
            const std::string number = std::to_string(counter + 1);
            record.replace(0, 7, std::string(7 - number.size(), '0') + number);
            record[static_cast<std::size_t>(flagColumn - 1)] = flag;
            ASSERT_TRUE(Transaction_Append(file, counter, headerWidth, record));
        }
    }

    PageServices svc;
    RegisterPages pages;
    AnsweringWindow window;
};

}  // namespace tarvo
