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
    Theure_du_jour horloge{10, 0, 0, 0};
    std::string separateur = ",";
    std::string repertoire = "/nonexistent/";
    std::deque<std::optional<std::string>> reponses_dialogue;
    std::vector<std::string> messages;
    // Runs while a box is open, as the nested event loop of a modal box would.
    std::function<void(const std::string&)> pendant_message;

    void message(const std::string& texte) override {
        messages.push_back(texte);
        if (pendant_message) pendant_message(texte);
    }
    Theure_du_jour heure() override { return horloge; }
    std::string heure_format_long() override {
        char t[16];
        std::snprintf(t, sizeof t, "%02d:%02d:%02d", horloge.heures % 100, horloge.minutes % 100,
                      horloge.secondes % 100);
        return t;
    }
    std::string separateur_decimal() override { return separateur; }
    std::string repertoire_executable() override { return repertoire; }
    std::optional<std::string> choisit_fichier() override {
        if (reponses_dialogue.empty()) return std::nullopt;
        auto r = reponses_dialogue.front();
        reponses_dialogue.pop_front();
        return r;
    }

    // Sets the clock from tenths of a second since midnight.
    void regle_dixiemes(std::int32_t dixiemes) {
        horloge.heures = dixiemes / 36000;
        horloge.minutes = dixiemes / 600 % 60;
        horloge.secondes = dixiemes / 10 % 60;
        horloge.millisecondes = dixiemes % 10 * 100;
    }
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
