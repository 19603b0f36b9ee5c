#pragma once
// Platform services under the test's control: a settable clock, a chosen
// decimal separator and executable directory, a file dialog that answers what
// the test says, and a record of every message box shown.

#include "services.h"

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

class Tservices_scriptes : public Iservices {
public:
    // The computer's clock. The rally clock's counter moves with it, as it does on a computer
    // whose clock nobody sets, except by what `saute` takes out of it.
    Theure_du_jour horloge{10, 0, 0, 0};
    std::string separateur = ",";
    std::string repertoire = "/nonexistent/";
    std::deque<std::optional<std::string>> reponses_dialogue;
    std::vector<std::string> messages;
    // The crew's answers to the questions, in turn (none left: the careful answer, false),
    // and the questions asked.
    std::deque<bool> reponses_questions;
    std::vector<std::string> questions;
    std::vector<Tsaut_horloge> sauts;
    // Runs while a box is open, as the nested event loop of a modal box would.
    std::function<void(const std::string&)> pendant_message;

    void message(const std::string& texte) override {
        messages.push_back(texte);
        if (pendant_message) pendant_message(texte);
    }
    bool question(const std::string& texte, const std::string&, const std::string&) override {
        questions.push_back(texte);
        if (pendant_message) pendant_message(texte);
        if (reponses_questions.empty()) return false;
        const bool r = reponses_questions.front();
        reponses_questions.pop_front();
        return r;
    }
    Thorloges horloges() override {
        return {compteur_.suit(ms_du_jour(horloge)) - saute_ms_, horloge};
    }
    std::string heure_format_long(const Theure_du_jour& h) override {
        char t[16];
        std::snprintf(t, sizeof t, "%02d:%02d:%02d", h.heures % 100, h.minutes % 100,
                      h.secondes % 100);
        return t;
    }
    void saut_horloge(const Tsaut_horloge& saut) override { sauts.push_back(saut); }
    std::string separateur_decimal() override { return separateur; }
    std::string repertoire_executable() override { return repertoire; }
    std::optional<std::string> choisit_fichier() override {
        if (reponses_dialogue.empty()) return std::nullopt;
        auto r = reponses_dialogue.front();
        reponses_dialogue.pop_front();
        return r;
    }

    // The computer's clock set by `ms` (the crew, a time service): the counter does not move.
    void saute(std::int64_t ms) {
        horloge = heure_de_ms(ms_du_jour(horloge) + ms);
        compteur_.suit(ms_du_jour(horloge));
        saute_ms_ += ms;
    }
    // Time passes, asleep or awake: both clocks move.
    void avance(std::int64_t ms) { horloge = heure_de_ms(ms_du_jour(horloge) + ms); }

    // Sets the clock from tenths of a second since midnight.
    void regle_dixiemes(std::int32_t dixiemes) {
        horloge.heures = dixiemes / 36000;
        horloge.minutes = dixiemes / 600 % 60;
        horloge.secondes = dixiemes / 10 % 60;
        horloge.millisecondes = dixiemes % 10 * 100;
    }

private:
    Tcompteur_suivant compteur_;
    std::int64_t saute_ms_ = 0;
};

// A scratch directory of the test's own, removed at the end.
class Trepertoire_temporaire {
public:
    Trepertoire_temporaire() {
        static int compteur = 0;
        chemin_ = std::filesystem::temp_directory_path() /
                  ("velmora_test_" + std::to_string(::getpid()) + "_" + std::to_string(compteur++));
        std::filesystem::create_directories(chemin_);
    }
    ~Trepertoire_temporaire() {
        std::error_code e;
        std::filesystem::remove_all(chemin_, e);
    }
    Trepertoire_temporaire(const Trepertoire_temporaire&) = delete;
    Trepertoire_temporaire& operator=(const Trepertoire_temporaire&) = delete;

    // The directory with a trailing separator, as the executable directory service gives it.
    std::string chemin() const { return utf8(chemin_) + "/"; }
    // Writes a file of exactly these bytes and returns its path. Names are UTF-8, as the
    // program's own are on every system.
    std::string ecrit(const std::string& nom, const std::string& octets) const {
        const auto p = chemin_ / std::u8string(nom.begin(), nom.end());
        std::ofstream f(p, std::ios::binary);
        f << octets;
        return utf8(p);
    }

private:
    static std::string utf8(const std::filesystem::path& p) {
        const std::u8string u = p.u8string();
        return {u.begin(), u.end()};
    }
    std::filesystem::path chemin_;
};
