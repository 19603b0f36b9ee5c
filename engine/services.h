#pragma once
// What the engine needs from the platform, and nothing more. The window
// implements it; tests script it.

#include "heure_du_jour.h"
#include "horloge_rallye.h"
#include "lecture_lignes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Iservices {
public:
    virtual ~Iservices() = default;
    // A modal box with one text and an OK button; returns once the crew has closed it.
    virtual void message(const std::string& texte) = 0;
    // A modal box with a text and two buttons; true when the crew chose `oui`.
    virtual bool question(const std::string& texte, const std::string& oui,
                          const std::string& non) = 0;
    // The rally clock's counter and the computer's clock, read together.
    virtual Thorloges horloges() = 0;
    // A time of day in the user's long time format ("14:05:09" in the French setting).
    virtual std::string heure_format_long(const Theure_du_jour& h) = 0;
    // A step of the computer's clock and what the rally clock did with it: told, so that the
    // run's journal keeps it; the crew reads it in the window.
    virtual void saut_horloge(const Tsaut_horloge&) {}
    virtual std::string separateur_decimal() = 0;
    // Directory of the running executable, ending with a separator.
    virtual std::string repertoire_executable() = 0;
    // The file-open dialog: the chosen file's name, or nothing when cancelled.
    virtual std::optional<std::string> choisit_fichier() = 0;
    // The lines of a text file as the engine reads them (lit_lignes): through here, so that
    // what the engine was given can be recorded and given again.
    virtual std::optional<std::vector<std::string>>
    lit_fichier(const std::string& chemin, Tfins_de_ligne fins, std::size_t nbr_lignes) {
        return lit_lignes(chemin, fins, nbr_lignes);
    }
    // An event that ran out of memory: the window says so in the default box and goes on; a
    // replay stops, since the journal did not run out of it.
    virtual void memoire_insuffisante() { message("Mémoire insuffisante"); }
};
