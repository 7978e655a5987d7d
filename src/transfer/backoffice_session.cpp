#include "transfer/backoffice_session.h"

#include <unistd.h>

#include <cstdio>
#include <optional>

#include "config/constants.h"
#include "config/settings.h"
#include "data/log.h"
#include "platform/files.h"
#include "platform/internet.h"
#include "print/printer_output.h"
#include "transfer/document_uploads.h"
#include "transfer/downloads.h"
#include "transfer/record_uploads.h"
#include "transfer/sales_upload.h"
#include "transfer/snapshot_uploads.h"
#include "transfer/terminal_log_upload.h"
#include "transfer/upload_delivery.h"

namespace tarvo {

namespace {

void LogText(const std::string& text) { ProgramLog().Write(1, text); }

std::string FolderOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// "hh:mm:ss", 24-hour.
std::string TimeOfDay(const LocalTime& t) {
    char b[12];
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    return b;
}

// One line of the communication log on the receipt printer, when the log is
// on: the time of day and message `message`; the output is ended without
// feed or cut so that the next line follows.
void CommLog_Line(const LocalTime& now, Message message) {
    if (!gComm.gCommLog) return;
    Printer_Open();
    if (gPrint.gPrintStatus != 0) return;
    Printer_Line(1, 0, TimeOfDay(now) + " " + Msg(message));
    Printer_End();
}

// The end of the communication log: five empty lines, the feed and the cut.
void CommLog_End() {
    if (!gComm.gCommLog) return;
    Printer_Open();
    if (gPrint.gPrintStatus == 0)
        for (int i = 0; i < 5; ++i) Printer_Line(1, 0, "");
    Printer_Close(true);
}

}  // namespace

FtpAccount BackOfficeSession::Account() const {
    FtpAccount a = setup_.account;
    if (a.hosts.empty()) a.hosts = {gConstants.servers.gFtpHost, gConstants.servers.gFtpHostAlternate};
    if (a.user.empty()) a.user = gConstants.servers.gFtpUser;
    if (a.password.empty()) a.password = gConstants.servers.gFtpPassword;
    return a;
}

LocalTime BackOfficeSession::Now() const { return setup_.clock ? setup_.clock->Now() : SystemClock().Now(); }

namespace {

// Runs each piece of work at once on the calling thread, then its completion.
class InlineRunner final : public BackgroundRunner {
public:
    void Post(std::function<void()> work, std::function<void()> done) override {
        work();
        done();
    }
    void Notify(std::function<void()> note) override { note(); }
    int Pending() const override { return 0; }
};

// The kinds of a full session in their order: new entries first (a sale may
// name a client entered here), then the documents.
std::vector<UploadKind> FullSessionKinds() {
    return {Records_Kind(RecordKind::NewClients),
            Records_Kind(RecordKind::NewProducts),
            Sales_Kind(),
            Records_Kind(RecordKind::Activity),
            Records_Kind(RecordKind::Physical),
            Documents_Kind(UploadDocumentKind::Adjustments),
            Documents_Kind(UploadDocumentKind::Purchases)};
}

}  // namespace

struct BackOfficeSession::Job {
    CommMode mode = CommMode::Full;
    std::function<void(std::int16_t)> done;
    // The session's window and the runner its worker reports through.
    SessionWindow* window = nullptr;
    BackgroundRunner* runner = nullptr;
    // A step's news for the window, from the worker thread: it reaches the
    // window on the user-interface thread, in order, while the rest goes on.
    void Show(SessionRow row, StepReport what) const {
        if (!window || !runner) return;
        SessionWindow* w = window;
        runner->Notify([w, row, what] { w->Report(row, what); });
    }
    // The same on the user-interface thread.
    void ShowNow(SessionRow row, StepReport what) const {
        if (window) window->Report(row, what);
    }
    // A line of the communication log, from the worker thread: printed on
    // the user-interface thread in its turn.
    const BackOfficeSession* session = nullptr;
    bool commLog = false;  // gComm.gCommLog when the session began
    void LogLine(Message message) const {
        if (!commLog || !runner) return;
        const BackOfficeSession* s = session;
        runner->Notify([s, message] { CommLog_Line(s->Now(), message); });
    }
    bool failed = false;  // a send step failed
    bool secondRound = false;
    struct Item {
        UploadKind kind;
        bool whole = false;  // a file without sent flags (the log, the command file)
        // The local file is the only copy (the card terminal's log set
        // aside): deleted once it is on the server, before its entry goes.
        bool original = false;
        std::string local, folder;
        bool leftover = false;  // its entry was in the outbox before this round
        // Set when the file is not sent (nothing to send, or it could not be
        // built): the row shows it in its turn.
        std::optional<StepReport> notSent;
        Delivery delivery;
        SessionRow Row() const { return SessionRow_OfUpload(kind.extension); }
    };
    std::vector<Item> items;
    DownloadStep downloads;  // modes 0 and 9, after the send steps
    // Copies and snapshots: the all-files upload, the resend, the status.
    std::vector<SnapshotUpload> snapshots;
    // Their row (the log row for the status file, the data row for modes 2
    // and 3), and whether one of them could not be made.
    std::optional<SessionRow> snapshotRow;
    bool snapshotsFailed = false;
    // What the worker is given.
    FtpAccount account;
    InternetCheckConfig internet;
    LocalTime now;  // the round's time, which names its files
    std::string outboxPath;
    // What it gives back.
    bool online = false;
    FtpResult login;

    // The steps of a round before the network, on the user-interface thread
    // (see Round).
    void PrepareFullSession(Outbox& outbox);
    Item PrepareUpload(const UploadKind& kind, Outbox& outbox);
    void PrepareCopies();
    void PrepareWholeFile(Outbox& outbox);
    // The network steps, on the worker thread.
    void RunNetwork();
    bool ReachInternet();
    bool LogIn(FtpClient& ftp);
    void Deliver(FtpClient& ftp, Outbox& outbox, bool loaded, const std::string& why, Item& it);
    void DeliverCopies(FtpClient& ftp);
};

void BackOfficeSession::Start(CommMode mode, bool hidden, std::function<void(std::int16_t)> done) {
    if (!setup_.runner) {
        done(Run(mode, hidden));
        return;
    }
    Begin(mode, hidden, *setup_.runner, std::move(done));
}

std::int16_t BackOfficeSession::Run(CommMode mode, bool hidden) {
    InlineRunner runner;
    std::int16_t result = 0;
    Begin(mode, hidden, runner, [&result](std::int16_t r) { result = r; });
    return result;
}

void BackOfficeSession::Begin(CommMode mode, bool hidden, BackgroundRunner& runner,
                              std::function<void(std::int16_t)> done) {
    gComm.gOperationMode = mode;
    gComm.gCommHidden = hidden;
    gComm.gCommResult = 0;
    Snapshots_RemoveLeftovers();
    auto job = std::make_shared<Job>();
    job->mode = mode;
    job->done = std::move(done);
    job->window = setup_.window;
    job->runner = &runner;
    job->session = this;
    job->commLog = gComm.gCommLog;
    if (job->window) job->window->Open(hidden);
    Round(job, runner);
}

namespace {

void End(SessionWindow* window, std::function<void(std::int16_t)>& done, std::int16_t result) {
    CommLog_End();
    if (window) window->Close();
    gComm.gCommResult = result;
    auto call = std::move(done);
    call(result);
}

}  // namespace

// The user-interface thread's part before the network: the upload files
// built and their entries stored as Built, then the network steps posted.
void BackOfficeSession::Round(std::shared_ptr<Job> job, BackgroundRunner& runner) {
    job->items.clear();
    job->snapshots.clear();
    job->snapshotRow.reset();
    job->snapshotsFailed = false;
    Outbox outbox(Outbox_Path(gConstants.paths.gFilesPath));
    std::string error;
    if (!outbox.Load(&error)) {
        // What was in flight is unknown: nothing is sent until a person looks.
        LogText(" Communication: " + error);
        End(job->window, job->done, 3);
        return;
    }
    job->now = Now();
    switch (job->mode) {
    case CommMode::Full: job->PrepareFullSession(outbox); break;
    case CommMode::AllData:
    case CommMode::ResendAll: job->PrepareCopies(); break;
    case CommMode::Log:
    case CommMode::CommandFile: job->PrepareWholeFile(outbox); break;
    case CommMode::DownloadOnly: break;  // nothing goes up
    }
    job->account = Account();
    job->internet = setup_.internetFrom ? *setup_.internetFrom : setup_.internet;
    job->outboxPath = outbox.Path();
    job->online = false;
    job->login = FtpResult{};
    job->downloads.Prepare(job->mode, FolderOf(gConstants.paths.gFilesPath), gConstants.paths.gRemoteFilesDir);
    runner.Post([job] { job->RunNetwork(); }, [this, job, &runner] { Finish(job, runner); });
}

// Mode 0: each kind's upload in its order; in the first round also the
// status file and the card terminal's log.
void BackOfficeSession::Job::PrepareFullSession(Outbox& outbox) {
    for (const UploadKind& kind : FullSessionKinds()) items.push_back(PrepareUpload(kind, outbox));
    if (secondRound) return;
    snapshotRow = SessionRow::Log;
    if (!Status_Prepare(now, snapshots)) failed = snapshotsFailed = true;
    if (TerminalLog_Prepare(outbox, now, failed)) {
        Item it;
        it.kind.extension = kTerminalLogKind;
        it.whole = true;
        it.original = true;
        it.local = TerminalLog_AsidePath();
        items.push_back(std::move(it));
    }
}

// One kind of a full session: the file a crash or an outage left, or a new
// one built with its entry stored as Built, or why none goes.
BackOfficeSession::Job::Item BackOfficeSession::Job::PrepareUpload(const UploadKind& kind, Outbox& outbox) {
    Item it;
    it.kind = kind;
    it.local = gConstants.paths.gFilesPath + "." + kind.extension;
    if (outbox.Find(kind.extension)) {
        // Left by a crash or an outage: it goes first, and no new file
        // of the kind is built while it is there.
        it.leftover = true;
        return it;
    }
    UploadBuild b = kind.build(it.local);
    if (!b.ok) {
        failed = true;
        it.notSent = StepReport::Failed;
        return it;
    }
    if (b.range.Empty()) {
        ::unlink(it.local.c_str());
        it.notSent = StepReport::NothingToSend;
        return it;
    }
    OutboxEntry e;
    e.kind = kind.extension;
    e.first = b.range.first;
    e.last = b.range.last;
    e.size = b.size;
    e.stamp = b.stamp;
    e.finalName = UploadName(now, kind.extension);
    e.tempName = Outbox_TemporaryName(gConstants.paths.gFilesPath, e.finalName);
    std::string error;
    if (!outbox.Store(e, &error)) {
        LogText(" Send_" + kind.extension + ": " + error);
        failed = true;
        it.notSent = StepReport::Failed;
    }
    return it;
}

// Modes 2 and 3: the copies of every file, or the upload files rebuilt from
// every record, on the data row.
void BackOfficeSession::Job::PrepareCopies() {
    snapshotRow = SessionRow::Data;
    snapshots = mode == CommMode::AllData ? AllFiles_Prepare(now, snapshotsFailed)
                                          : Resend_Prepare(now, snapshotsFailed);
    if (snapshotsFailed) failed = true;
}

// Modes 1 and 4: a copy of the program log or of the command file, its
// entry stored, unless one is in the outbox already.
void BackOfficeSession::Job::PrepareWholeFile(Outbox& outbox) {
    const bool log = mode == CommMode::Log;
    const std::string extension = log ? "LOG" : "CMD";
    Item it;
    it.kind.extension = extension;
    it.whole = true;
    it.local = gConstants.paths.gFilesPath + "-send." + extension;
    it.folder = log ? "Data" : "";
    if (!outbox.Find(extension)) {
        std::string bytes, error;
        if (!ReadWholeFile(gConstants.paths.gFilesPath + "." + extension, bytes)) {
            it.notSent = StepReport::NothingToSend;
        } else if (!WriteFileAtomic(it.local, bytes, 0600, &error)) {
            // A copy: the file itself may grow while it goes up.
            LogText(" Send_" + extension + ": " + error);
            failed = true;
            it.notSent = StepReport::Failed;
        } else {
            OutboxEntry e;
            e.kind = extension;
            e.size = static_cast<std::int64_t>(bytes.size());
            e.finalName = UploadName(now, extension);
            e.tempName = Outbox_TemporaryName(gConstants.paths.gFilesPath, e.finalName);
            if (!outbox.Store(e, &error)) {
                LogText(" Send_" + extension + ": " + error);
                failed = true;
                it.notSent = StepReport::Failed;
            }
        }
    }
    items.push_back(std::move(it));
}

// The worker: the Internet, the login, then each upload and the downloads;
// it reads and writes only what the job holds and the session's own outbox
// file.
void BackOfficeSession::Job::RunNetwork() {
    if (!ReachInternet()) return;
    FtpClient ftp(account);
    if (!LogIn(ftp)) return;
    Outbox ob(outboxPath);
    std::string why;
    const bool loaded = ob.Load(&why);
    for (Item& it : items)
        if (it.kind.extension != kTerminalLogKind) Deliver(ftp, ob, loaded, why, it);
    if (snapshotRow) DeliverCopies(ftp);
    // After the status file, as the back office has always had them.
    for (Item& it : items)
        if (it.kind.extension == kTerminalLogKind) Deliver(ftp, ob, loaded, why, it);
    downloads.Fetch(ftp, [this](SessionRow row, StepReport what) { Show(row, what); });
    ftp.Disconnect();
}

// Three tries, no pause between them.
bool BackOfficeSession::Job::ReachInternet() {
    for (int attempt = 0; attempt < 3 && !online; ++attempt) {
        online = Internet_Check(internet);
        Show(SessionRow::Internet, online ? StepReport::Passed : StepReport::Failed);
    }
    LogLine(online ? Message::ConnectedToInternet : Message::UnableToConnectToInternet);
    return online;
}

bool BackOfficeSession::Job::LogIn(FtpClient& ftp) {
    Show(SessionRow::Server, StepReport::Started);
    login = ftp.Connect();
    Show(SessionRow::Server, login.ok() ? StepReport::Passed : StepReport::Failed);
    LogLine(login.ok() ? Message::ConnectedToQZWebServer : Message::UnableToConnectToQZServer);
    return login.ok();
}

// One upload through the outbox (`loaded`: the outbox could be read, else
// `why` not), shown on its row.
void BackOfficeSession::Job::Deliver(FtpClient& ftp, Outbox& outbox, bool loaded, const std::string& why, Item& it) {
    // The sales step's line of the communication log.
    const bool sales = it.kind.extension == "TRA";
    if (it.notSent) {
        Show(it.Row(), *it.notSent);
        if (sales)
            LogLine(*it.notSent == StepReport::NothingToSend ? Message::NoSalesToCommunicate
                                                             : Message::FailedToCommunicateExistingSales);
        return;
    }
    // The card terminal's log shows on no row.
    const bool onRow = it.kind.extension != kTerminalLogKind;
    if (onRow) Show(it.Row(), StepReport::Started);
    it.delivery = loaded ? Upload_Deliver(ftp, outbox, it.kind.extension, it.local, it.folder, now)
                         : Delivery{DeliveryOutcome::Failed, why};
    const bool sent = it.delivery.outcome == DeliveryOutcome::Sent;
    if (onRow) Show(it.Row(), sent ? StepReport::Passed : StepReport::Failed);
    if (sales) LogLine(sent ? Message::CommunicatedSalesInformation : Message::FailedToCommunicateExistingSales);
}

// The copies and snapshots, all on one row.
void BackOfficeSession::Job::DeliverCopies(FtpClient& ftp) {
    Show(*snapshotRow, StepReport::Started);
    bool anyFailed = snapshotsFailed, sent = false;
    for (SnapshotUpload& s : snapshots) {
        Snapshot_Deliver(ftp, s);
        const DeliveryOutcome o = s.delivery.outcome;
        if (o == DeliveryOutcome::Sent)
            sent = true;
        else if (o != DeliveryOutcome::Dropped)
            anyFailed = true;
    }
    Show(*snapshotRow, anyFailed ? StepReport::Failed : sent ? StepReport::Passed : StepReport::NothingToSend);
}

// Back on the user-interface thread: the records of what reached the server
// marked sent, each finished entry taken out of the outbox and its local file
// (the sales one holds card numbers) deleted.
void BackOfficeSession::Finish(std::shared_ptr<Job> job, BackgroundRunner& runner) {
    gComm.gInternetAvailable = job->online;
    if (!Snapshots_Finish(job->snapshots, job->online && job->login.ok())) job->failed = true;
    if (!job->online) {
        LogText(" Communication: the Internet did not answer");
        End(job->window, job->done, 1);
        return;
    }
    if (!job->login.ok()) {
        LogText(" Communication: no FTP connection: " + job->login.text);
        End(job->window, job->done, 2);
        return;
    }
    Outbox outbox(job->outboxPath);
    std::string error;
    if (!outbox.Load(&error)) {
        LogText(" Communication: " + error);
        End(job->window, job->done, 3);
        return;
    }
    bool again = false;
    for (const Job::Item& it : job->items) {
        if (it.notSent) continue;
        const std::string& ext = it.kind.extension;
        const std::string who = " Send_" + ext + ": ";
        const Delivery& d = it.delivery;
        if (d.outcome == DeliveryOutcome::Failed || d.outcome == DeliveryOutcome::Waiting) {
            LogText(who + d.text);
            job->failed = true;
            continue;
        }
        if (it.whole) {
            if (d.outcome == DeliveryOutcome::Dropped) LogText(who + d.text);
            // The only copy goes once it is on the server, and before its
            // entry: a crash between leaves an entry that says Sent, never a
            // second upload of the same lines.
            if (it.original && d.outcome == DeliveryOutcome::Sent && ::unlink(it.local.c_str()) == 0)
                SyncFolderOf(it.local);
            if (outbox.Find(ext) && !outbox.Remove(ext, &error)) {
                LogText(who + error);
                job->failed = true;
                continue;
            }
            if (!it.original) ::unlink(it.local.c_str());
            if (d.outcome != DeliveryOutcome::Sent) job->failed = true;
            continue;
        }
        if (d.outcome == DeliveryOutcome::Dropped) {
            LogText(who + d.text);
            // A leftover given up: its records are built afresh.
            if (it.leftover)
                again = true;
            else
                job->failed = true;
            continue;
        }
        const std::optional<OutboxEntry> e = outbox.Find(ext);
        if (!e) {
            LogText(who + "its outbox entry is gone");
            job->failed = true;
            continue;
        }
        if (it.kind.stamp({e->first, e->last}) != e->stamp) {
            // The records it was built from are gone (the files were
            // emptied); others stand under those numbers now and are sent
            // on their own.
            LogText(who + "the records of " + e->finalName + " are no longer on file; none marked");
            again = true;
        } else if (!it.kind.mark({e->first, e->last})) {
            // On the server, but its records could not be flagged.
            job->ShowNow(it.Row(), StepReport::Failed);
            job->failed = true;
            continue;
        }
        if (!outbox.Remove(ext, &error)) {
            LogText(who + error);
            job->failed = true;
            continue;
        }
        ::unlink(it.local.c_str());
    }
    // A leftover that could not be marked: the records on file now go up
    // in a file of their own, once.
    if (again && !job->secondRound) {
        job->secondRound = true;
        Round(job, runner);
        return;
    }
    job->downloads.Install();
    End(job->window, job->done, job->failed ? 3 : 0);
}

UploadKind Sales_Kind() {
    UploadKind k;
    k.extension = "TRA";
    k.build = [](const std::string& path) { return Sales_CreateFile(path, false); };
    k.stamp = [](const UploadRange& r) { return Sales_RangeStamp(r); };
    k.mark = [](const UploadRange& r) { return Sales_MarkSent(r); };
    return k;
}

UploadKind Documents_Kind(UploadDocumentKind kind) {
    UploadKind k;
    k.extension = DocumentKind_Extension(kind);
    k.build = [kind](const std::string& path) { return Documents_CreateFile(kind, path); };
    k.stamp = [kind](const UploadRange& r) { return Documents_RangeStamp(kind, r); };
    k.mark = [kind](const UploadRange& r) { return Documents_MarkSent(kind, r); };
    return k;
}

UploadKind Records_Kind(RecordKind kind) {
    UploadKind k;
    k.extension = RecordKind_Extension(kind);
    k.build = [kind](const std::string& path) { return Records_CreateFile(kind, path, false); };
    k.stamp = [kind](const UploadRange& r) { return Records_RangeStamp(kind, r); };
    k.mark = [kind](const UploadRange& r) { return Records_MarkSent(kind, r); };
    return k;
}

}  // namespace tarvo
