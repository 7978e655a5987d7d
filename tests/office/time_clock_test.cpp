// The time clock on a real journal: the Clock key with the real cash office
// behind it, the checks, clocking across midnight, the automatic clock-out
// after closing and the roll-over before midnight, each record compared byte
// for byte.
#include "office/time_clock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/data_state.h"
#include "data/transaction_files.h"
#include "office/office_service.h"
#include "register/register_fixture.h"
#include "register/register_keys.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {
namespace {

constexpr const char* kTerminal = "1234567";

// A clock record as the journal holds it (48 characters).
std::string Clock(const std::string& date, const std::string& time, char type, const std::string& person) {
    std::string who = person;
    who.resize(8, ' ');
    return date + time + type + "0" + std::string(8, ' ') + who + std::string(18, ' ');
}

// Another record of the cash office (a deposit, an opening) by `person`.
std::string Cash(const std::string& date, const std::string& time, char type, const std::string& person,
                 const std::string& amount = "100") {
    std::string r = Clock(date, time, type, person);
    return r.replace(30, amount.size(), amount);
}

LocalTime At(int day, int hour, int minute, int month = 12, int year = 2026) {
    return LocalTime{year, month, day, hour, minute, 0};
}

class TimeClockTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path(), kTerminal);
        std::filesystem::remove(gConstants.paths.gDataPath + ".ACT");  // each case starts a fresh journal
        Reg().services.office = &office;
        AddCashier("00000007", "111", "Ann");
        AddCashier("12", "222", "Bob");
        AddCashier("12ab", "333", "Cy");
        AddCashier("", "444", "Dee");
        AddCashier("00000031", "555", "Eve");
        AddCashier("123456789", "666", "Gus");  // wider than the record's employee field
        gReg.gBusinessDate = "20261209";
    }
    void TearDown() override {
        Data_Reset(gData);
        RegisterTest::TearDown();
    }

    void AddCashier(const std::string& number, const std::string& key, const std::string& name) {
        gData.CashierTable.push_back(CashierRow{number, key, name, 1});
        gData.gCashierCount = static_cast<std::int32_t>(gData.CashierTable.size() - 1);
    }
    void Journal(const std::vector<std::string>& records) {
        Open_FileActivity();
        for (const std::string& r : records)
            EXPECT_TRUE(Transaction_Append(gData.activity, gData.gLastActivityRecord, 40, r, HeaderForm::BlanksAfter));
        gData.activity.Close();
    }
    // Every record past the header, oldest first.
    std::vector<std::string> Records() {
        Open_FileActivity();
        std::vector<std::string> out;
        for (std::int64_t k = 2; k <= gData.gLastActivityRecord; ++k) out.push_back(gData.activity.Read(k));
        gData.activity.Close();
        return out;
    }
    std::string Header() {
        Open_FileActivity();
        std::string h = gData.activity.Read(1);
        gData.activity.Close();
        return h;
    }
    // The Clock key with `code` typed, at `when`; the message line after it.
    std::string PressClock(const std::string& code, LocalTime when) {
        clock.Set(when);
        screen.SetText(kEntryBox, code);
        BOp_Click(3);
        return screen.Text(kMessageLine);
    }
    bool Logged(const std::string& text) const {
        return dir.Read("Files/" + std::string(kTerminal) + ".LOG").find(text) != std::string::npos;
    }

    TestDir dir;
    CashOffice office;
};

TEST_F(TimeClockTest, ClockKeyClocksInThenOutWithNameAndTime) {
    EXPECT_EQ(PressClock("111", At(9, 8, 0)), "Clockin Successful Ann 08:00");
    EXPECT_EQ(screen.Text(kEntryBox), "");
    EXPECT_EQ(PressClock("111", At(9, 17, 5)), "Clockout Successful Ann 17:05");
    EXPECT_EQ(PressClock("222", At(9, 17, 6)), "Clockin Successful Bob 17:06");
    EXPECT_EQ(PressClock("111", At(9, 18, 0)), "Clockin Successful Ann 18:00");
    // The employee number without the cashier number's leading zeros.
    EXPECT_EQ(Records(),
              (std::vector<std::string>{Clock("20261209", "0800", 'I', "7"), Clock("20261209", "1705", 'U', "7"),
                                        Clock("20261209", "1706", 'I', "12"), Clock("20261209", "1800", 'I', "7")}));
    EXPECT_EQ(Header(), "5" + std::string(40, ' '));

    // Nobody logged in: the Clock key takes today as the business date.
    gReg.gBusinessDate.clear();
    EXPECT_EQ(PressClock("222", At(10, 7, 0)), "Clockin Successful Bob 07:00");
    EXPECT_EQ(gReg.gBusinessDate, "20261210");
}

TEST_F(TimeClockTest, ClockKeyRefusalsWriteNothing) {
    Journal({Clock("20261209", "0900", 'I', "12")});  // Bob is in
    struct Case {
        const char* name;
        const char* code;
        int items;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"during a sale", "111", 1, "Operation Not Allowed in Mid Sale"},
        {"unknown code", "999", 0, "Not Found"},
        {"empty entry", "", 0, ""},
        // never taken for Bob (12) by its leading digits
        {"cashier number with letters", "333", 0, "Cashier Number Is Not a Number - Cannot Clock"},
        {"empty cashier number", "444", 0, "Cashier Number Is Not a Number - Cannot Clock"},
        {"number the record cannot hold", "666", 0, "Error: Clock Not Recorded"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gSale.gItemCount = static_cast<std::int16_t>(c.items);
        EXPECT_EQ(PressClock(c.code, At(9, 10, 0)), c.message);
        EXPECT_EQ(screen.Text(kEntryBox), "");
        EXPECT_EQ(Records().size(), 1u);
    }
    EXPECT_TRUE(Logged("Clock_CheckLogin: cashier number \"12ab\" is not a number, not clocked"));
    gSettings.gLanguage = 2;
    EXPECT_EQ(PressClock("333", At(9, 10, 0)), "Num\xE9ro de Caissier Non Num\xE9rique - Pointage Impossible");
    // Called directly, the writers refuse such a number too.
    gReg.gEmployeeNumber = "12ab";
    EXPECT_FALSE(Clock_Login());
    EXPECT_FALSE(Clock_Logout());
    EXPECT_EQ(gSale.gPriceCheckText, "");
    EXPECT_EQ(Records().size(), 1u);
}

TEST_F(TimeClockTest, ChecksFindTheLatestClockRecordOfTheEmployeeByNumber) {
    struct Case {
        const char* name;
        std::vector<std::string> journal;
        int login;
        const char* loginTime;
        int logout;
        const char* logoutTime;
    };
    const std::vector<Case> cases = {
        {"no record", {}, 0, "", 2, ""},
        {"latest is in", {Clock("20261209", "0800", 'U', "7"), Clock("20261209", "0815", 'I', "7")}, 1, "08:15", 0, ""},
        {"latest is out",
         {Clock("20261209", "0800", 'I', "7"), Clock("20261209", "1230", 'U', "7")},
         0,
         "",
         1,
         "12:30"},
        {"leading zeros in the record", {Clock("20261209", "0700", 'I', "00000007")}, 1, "07:00", 0, ""},
        {"other employees and other types do not count",
         {Clock("20261209", "0800", 'I', "7"), Clock("20261209", "0900", 'U', "17"),
          Cash("20261209", "0905", 'D', "00000007"), Clock("20261209", "0910", 'U', "70")},
         1,
         "08:00",
         0,
         ""},
        {"yesterday's records do not count", {Clock("20261208", "2200", 'I', "7")}, 0, "", 2, ""},
    };
    clock.Set(At(9, 12, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        clock.Set(At(9, 12, 0));
        Journal(c.journal);
        gReg.gEmployeeNumber = "00000007";
        Clock_CheckLogin();
        EXPECT_EQ(gSale.gCheckResult, c.login);
        EXPECT_EQ(gSale.gPriceCheckText, c.loginTime);
        Clock_CheckLogout();
        EXPECT_EQ(gSale.gCheckResult, c.logout);
        EXPECT_EQ(gSale.gPriceCheckText, c.logoutTime);
    }
}

TEST_F(TimeClockTest, ShiftAcrossMidnightWhileTheBusinessDateIsStillYesterday) {
    EXPECT_EQ(PressClock("111", At(9, 23, 0)), "Clockin Successful Ann 23:00");
    // After midnight the records carry the calendar date; the check still
    // sees the clock-in of the business date and then the night's records.
    EXPECT_EQ(PressClock("111", At(10, 0, 10)), "Clockout Successful Ann 00:10");
    EXPECT_EQ(PressClock("111", At(10, 0, 20)), "Clockin Successful Ann 00:20");
    EXPECT_EQ(PressClock("111", At(10, 0, 30)), "Clockout Successful Ann 00:30");
    EXPECT_EQ(gReg.gBusinessDate, "20261209");
    EXPECT_EQ(Records(),
              (std::vector<std::string>{Clock("20261209", "2300", 'I', "7"), Clock("20261210", "0010", 'U', "7"),
                                        Clock("20261210", "0020", 'I', "7"), Clock("20261210", "0030", 'U', "7")}));
}

TEST_F(TimeClockTest, LoginClocksInWhenAutomaticOnlyWhenOut) {
    gSettings.gAutoClockOut = true;
    gSettings.gZeroOpening = true;
    gReg.gBusinessDate.clear();
    auto login = [&](const std::string& code) {
        gReg.gPromptState = PromptState::Login;
        screen.SetText(kEntryBox, code);
        BReg_Click(4);
    };
    clock.Set(At(9, 8, 0));
    login("111");
    clock.Set(At(9, 9, 0));
    login("111");  // still in: nothing more
    EXPECT_EQ(Records(), (std::vector<std::string>{Clock("20261209", "0800", 'I', "7"),
                                                   Cash("20261209", "0800", 'O', "00000007", "0")}));
}

TEST_F(TimeClockTest, EverybodyOutClocksOutThoseStillInAtTheClosingTime) {
    gSettings.gClosingTime = "2200";
    Journal({
        Clock("20261208", "2100", 'I', "31"),  // Eve yesterday: not today
        Clock("20261209", "0800", 'I', "7"),   // Ann in (by number)
        Clock("20261209", "0900", 'U', "12"),  // Bob's only record today is out
        Clock("20261209", "0930", 'I', "31"),  // Eve in and out
        Clock("20261209", "1200", 'U', "00000031"), Cash("20261209", "1300", 'D', "00000031"),
        Clock("20261209", "1400", 'I', "12ab"),  // no number: never matched
    });
    // An hour after closing, already past midnight: the business date is kept.
    clock.Set(At(10, 0, 30));
    Clock_EverybodyOut();
    EXPECT_EQ(screen.Text(kMessageLine), "Clocking Out All Cashiers ...");
    const std::vector<std::string> before = Records();
    ASSERT_EQ(before.size(), 8u);
    EXPECT_EQ(before.back(), Clock("20261209", "2200", 'U', "00000007"));
    Clock_EverybodyOut();
    EXPECT_EQ(Records(), before);
}

TEST_F(TimeClockTest, RollOverSplitsOpenShiftsAtMidnightOnce) {
    struct Case {
        const char* name;
        LocalTime now;
        const char* today;
        const char* tomorrow;
    };
    const std::vector<Case> cases = {
        {"mid-month", At(9, 23, 55), "20261209", "20261210"},
        {"end of the year", At(31, 23, 52), "20261231", "20270101"},
        {"leap day", At(28, 23, 59, 2, 2028), "20280228", "20280229"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        const std::string today = c.today;
        Journal({
            Clock("20200101", "0800", 'I', "40"),  // an older day
            Clock(today, "0800", 'I', "00000007"),
            Clock(today, "0900", 'I', "12"),
            Cash(today, "0905", 'D', "00000031"),
            Clock(today, "1000", 'I', "31"),
            Clock(today, "1700", 'U', "12"),
            Clock(today, "1800", 'U', "7"),
            Clock(today, "1900", 'I', "7"),
        });
        clock.Set(c.now);
        RollOverClockIns();
        RollOverClockIns();  // once only: nobody is still in today
        const std::vector<std::string> records = Records();
        ASSERT_EQ(records.size(), 12u);
        EXPECT_EQ(std::vector<std::string>(records.begin() + 8, records.end()),
                  (std::vector<std::string>{Clock(today, "2359", 'U', "7"), Clock(c.tomorrow, "0001", 'I', "7"),
                                            Clock(today, "2359", 'U', "31"), Clock(c.tomorrow, "0001", 'I', "31")}));
    }
}

TEST_F(TimeClockTest, RollOverTakesAHundredEmployeesAndLogsTheRest) {
    std::vector<std::string> journal;
    for (int n = 1; n <= 101; ++n) journal.push_back(Clock("20261209", "0800", 'I', std::to_string(n)));
    Journal(journal);
    clock.Set(At(9, 23, 55));
    RollOverClockIns();
    const std::vector<std::string> records = Records();
    ASSERT_EQ(records.size(), 101u + 200u);
    EXPECT_EQ(records.back(), Clock("20261210", "0001", 'I', "100"));
    EXPECT_TRUE(Logged("RollOverClockIns: more than 100 employees clocked on 20261209, 1 not rolled over"));
}

}  // namespace
}  // namespace tarvo
