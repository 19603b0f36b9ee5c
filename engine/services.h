#pragma once
// What the engine needs from the platform, and nothing more. The window
// implements it; tests script it.

#include "lecture_lignes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Theure_du_jour {
    std::int32_t heures = 0;        // 0 to 23
    std::int32_t minutes = 0;       // 0 to 59
    std::int32_t secondes = 0;      // 0 to 59
    std::int32_t millisecondes = 0; // 0 to 999
};

class Iservices {
public:
    virtual ~Iservices() = default;
    // A modal box with one text and an OK button; returns once the crew has closed it.
    virtual void message(const std::string& texte) = 0;
    virtual Theure_du_jour heure() = 0;
    // The time of day in the user's long time format ("14:05:09" in the French setting).
    virtual std::string heure_format_long() = 0;
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
