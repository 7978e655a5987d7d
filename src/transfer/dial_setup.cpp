#include "transfer/dial_setup.h"

#include <memory>
#include <utility>

#include "common/cp1252.h"
#include "common/line_reader.h"
#include "config/settings.h"
#include "data/log.h"
#include "platform/files.h"

namespace tarvo {

namespace {

const DialSetupCaptions kEnglish{
    "Dial-Up Connection",
    "Please select a connection or create a new one.",
    "No Dial Up Connections",
    "Please select connection",
    "Please create a new connection",
    "Connect",
    "New",
    "Exit",
    "New Dial-Up Connection",
    "Connection Name",
    "Username",
    "Password",
    "OK",
    "Connection Saved",
    "Please type the connection name.",
    "A name, user name or password must be one line of at most 256 characters.",
    "The connection could not be saved. See the log.",
    "Cannot Continue",
    "You need to have Dial-Up Network installed on your machined to run this program",
    "No dial command is configured (DialCommand in Tarvo.ini).",
};

const DialSetupCaptions kFrench{
    "Connexion commutée",
    "Veuillez choisir une connexion ou en créer une nouvelle.",
    "Aucune connexion commutée",
    "Veuillez choisir une connexion",
    "Veuillez créer une nouvelle connexion",
    "Connecter",
    "Nouvelle",
    "Quitter",
    "Nouvelle connexion commutée",
    "Nom de la connexion",
    "Nom d'utilisateur",
    "Mot de passe",
    "OK",
    "Connexion enregistrée",
    "Veuillez taper le nom de la connexion.",
    "Un nom, un nom d'utilisateur ou un mot de passe doit tenir sur une ligne d'au plus 256 caractères.",
    "La connexion n'a pu être enregistrée. Voir le journal.",
    "Impossible de continuer",
    "L'accès réseau à distance doit être installé sur cet ordinateur pour utiliser ce programme",
    "Aucune commande de composition n'est configurée (DialCommand dans Tarvo.ini).",
};

void Log(const std::string& text) { ProgramLog().Write(1, "Dial-up set-up: " + text); }

}  // namespace

const DialSetupCaptions& DialSetup_Captions(int language) { return language == 2 ? kFrench : kEnglish; }

int DialSetup_Language(const std::string& programFolder, const std::string& terminal) {
    if (terminal.empty()) return 1;
    LineReader r;
    if (!r.Open(FindFileNoCase(programFolder + "/Files", terminal + ".SET"))) return 1;
    Settings s;
    std::string line, detail;
    while (r.Next(line))
        if (line.rfind("200 ", 0) == 0) Setup_ApplyLine(s, line, detail);
    return TextLanguage(s);
}

DialSetupForm::DialSetupForm(DialSetupView& view, DialSetupSetup setup)
    : view_(view), setup_(std::move(setup)), phonebook_(setup_.programFolder, setup_.commands) {
    listText_ = Captions().noConnections;
}

std::string DialSetupForm::MessageOf(tarvo::Message number) const {
    if (!setup_.tables) return "";
    return Cp1252ToUtf8(MessageText(*setup_.tables, number, setup_.language == 2 ? 2 : 1));
}

void DialSetupForm::ReadEntries(const std::string& listText) {
    entries_ = phonebook_.DUN_Services();
    chosen_ = -1;
    listText_ = entries_.empty() ? Captions().createConnection : listText;
}

void DialSetupForm::Load() {
    dialConfigured_ = !setup_.commands.connect.empty();
    ReadEntries(Captions().selectConnection);
    message_ = dialConfigured_ ? Captions().prompt : Captions().noDialCommand;
    shown_ = Shown::DialUp;
    Update();
    if (!dialConfigured_) {
        // Nothing to dial with, but an entry can still be made for later.
        Log("no dial command is configured (DialCommand in Tarvo.ini)");
        view_.DialSetup_Box(Captions().cannotContinueTitle, Captions().cannotContinue);
    }
}

void DialSetupForm::Entry_Chosen(int index) {
    if (busy_) return;
    if (index >= 0 && index < static_cast<int>(entries_.size())) {
        chosen_ = index;
        listText_ = entries_[static_cast<std::size_t>(index)];
    } else {
        chosen_ = -1;
    }
    Update();
}

void DialSetupForm::Connect_Click() {
    if (!ConnectEnabled()) return;
    if (chosen_ < 0) {
        message_ = Captions().selectConnection;
        Update();
        return;
    }
    const std::string entry = entries_[static_cast<std::size_t>(chosen_)];
    std::string why;
    if (phonebook_.Establish_Link(entry, &why) != 0) {
        // Dial.Set changed or went since the list was read.
        Log(why);
        message_ = MessageOf(Message::UnableToDialOutToInternet);
        ReadEntries(Captions().selectConnection);
        Update();
        return;
    }
    busy_ = true;
    message_ = MessageOf(Message::EstablishingAConnectionToTheInternet);
    Update();

    struct Job {
        DialCommands commands;
        DialValues values;
        InternetCheckConfig internet;
        int result = 3;
        std::vector<std::string> notes;
    };
    auto job = std::make_shared<Job>();
    job->commands = phonebook_.Commands();
    job->values = phonebook_.Values();
    job->internet = setup_.internet;
    auto work = [job] {
        job->result = RasDialConnect(
            job->commands, job->values, [&job] { return Internet_Check(job->internet); },
            [&job](const std::string& text) { job->notes.push_back(text); });
    };
    auto done = [this, job, entry] {
        for (const std::string& text : job->notes) ProgramLog().Write(1, text);
        busy_ = false;
        Log(job->result == 1 ? entry + " dialled, the Internet answers" : entry + " dialled, no Internet");
        message_ = MessageOf(job->result == 1 ? Message::ConnectionTestSuccessful : Message::UnableToDialOutToInternet);
        Update();
    };
    if (setup_.runner) {
        setup_.runner->Post(std::move(work), std::move(done));
    } else {
        work();
        done();
    }
}

void DialSetupForm::New_Click() {
    if (busy_) return;
    shown_ = Shown::NewDialUp;
    Update();
}

void DialSetupForm::Ok_Click(const std::string& name, const std::string& user, const std::string& password) {
    if (shown_ != Shown::NewDialUp) return;
    std::string why;
    switch (phonebook_.Entry_Create(name, user, password, &why)) {
    case DialPhonebook::Created::Yes: break;
    case DialPhonebook::Created::NoName: view_.DialSetup_Box(Captions().newTitle, Captions().nameRequired); return;
    case DialPhonebook::Created::Unfit: view_.DialSetup_Box(Captions().newTitle, Captions().valueUnfit); return;
    case DialPhonebook::Created::NotWritten:
        Log(why);
        view_.DialSetup_Box(Captions().newTitle, Captions().notSaved);
        return;
    }
    Log("the connection " + name + " was saved in Dial.Set");
    view_.DialSetup_Box(Captions().saved, name);
    shown_ = Shown::DialUp;
    ReadEntries(Captions().selectConnection);
    message_ = dialConfigured_ ? Captions().prompt : Captions().noDialCommand;
    Update();
}

void DialSetupForm::NewCancel_Click() {
    if (shown_ != Shown::NewDialUp) return;
    shown_ = Shown::DialUp;
    Update();
}

void DialSetupForm::Exit_Click() {
    if (busy_) return;
    shown_ = Shown::None;
    Update();
    view_.DialSetup_End();
}

}  // namespace tarvo
