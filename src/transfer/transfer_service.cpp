#include "transfer/transfer_service.h"

#include <memory>
#include <string>
#include <vector>

#include "data/log.h"
#include "screen/register_context.h"

namespace tarvo {

namespace {
DialValues DialValuesOf(const CommState& c) { return {c.gDialEntry, c.gDialUser, c.gDialPassword}; }

// On the register's runner, or here and now when there is none.
void Run(std::function<void()> work, std::function<void()> done) {
    if (Reg().runner) {
        Reg().runner->Post(std::move(work), std::move(done));
        return;
    }
    work();
    done();
}
}  // namespace

std::int16_t SessionTransfer::Session_Run(CommMode mode, bool hidden) {
    return session ? session->Run(mode, hidden) : 0;
}

void SessionTransfer::Session_Start(CommMode mode, bool hidden, std::function<void(std::int16_t)> done) {
    if (session)
        session->Start(mode, hidden, std::move(done));
    else
        done(0);
}

bool SessionTransfer::Internet_Check() { return tarvo::Internet_Check(Internet()); }

int SessionTransfer::ReadDialSettings() {
    DialValues v;
    std::string why;
    const int result = tarvo::ReadDialSettings(Reg().programFolder, v, &why);
    if (result != 1) {
        ProgramLog().Write(1, "Dial-up: " + why);
        return result;
    }
    gComm.gDialEntry = v.entry;
    gComm.gDialUser = v.user;
    gComm.gDialPassword = v.password;
    return 1;
}

int SessionTransfer::RasDialConnect() {
    const InternetCheckConfig check = Internet();
    return tarvo::RasDialConnect(Dial(), DialValuesOf(gComm),
                                 [&] { return gComm.gInternetAvailable = tarvo::Internet_Check(check); });
}

void SessionTransfer::RasDialHangUp() { tarvo::RasDialHangUp(Dial(), DialValuesOf(gComm)); }

void SessionTransfer::Connect_Start(std::function<void(int)> done) {
    // What the worker reads and writes; nothing else.
    struct Job {
        InternetCheckConfig check;
        DialCommands dial;
        DialValues values;
        int settings = 2;
        std::string why;
        bool online = false;
        int result = 0;
        std::vector<std::string> notes;
    };
    auto job = std::make_shared<Job>();
    job->check = Internet();
    job->dial = Dial();
    // A small local file: read here, used only when the Internet is down.
    job->settings = tarvo::ReadDialSettings(Reg().programFolder, job->values, &job->why);
    Run(
        [job] {
            job->online = tarvo::Internet_Check(job->check);
            if (job->online) {
                job->result = 0;
            } else if (job->settings != 1) {
                job->result = 2;
            } else {
                job->result = tarvo::RasDialConnect(
                    job->dial, job->values, [&job] { return job->online = tarvo::Internet_Check(job->check); },
                    [&job](const std::string& text) { job->notes.push_back(text); });
            }
        },
        [job, done = std::move(done)] {
            for (const std::string& text : job->notes) ProgramLog().Write(1, text);
            gComm.gInternetAvailable = job->online;
            if (job->result == 2) ProgramLog().Write(1, "Dial-up: " + job->why);
            if (job->result == 1 || job->result == 3) {
                gComm.gDialEntry = job->values.entry;
                gComm.gDialUser = job->values.user;
                gComm.gDialPassword = job->values.password;
            }
            done(job->result);
        });
}

void SessionTransfer::HangUp_Start(std::function<void()> done) {
    auto notes = std::make_shared<std::vector<std::string>>();
    Run([dial = Dial(), values = DialValuesOf(gComm),
         notes] { tarvo::RasDialHangUp(dial, values, [&notes](const std::string& text) { notes->push_back(text); }); },
        [notes, done = std::move(done)] {
            for (const std::string& text : *notes) ProgramLog().Write(1, text);
            done();
        });
}

void SessionTransfer::InternetCheck_Start(std::function<void(bool)> done) {
    auto online = std::make_shared<bool>(false);
    Run([online, check = Internet()] { *online = tarvo::Internet_Check(check); },
        [online, done = std::move(done)] {
            gComm.gInternetAvailable = *online;
            done(*online);
        });
}

}  // namespace tarvo
