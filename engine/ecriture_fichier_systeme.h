#pragma once
// What Tecriture_fichier asks of the system: one implementation a platform, in plateforme/.
// Every reason is French text for the crew.

#include "ecriture_fichier.h"

struct Tecriture_fichier::Tsysteme {
    virtual ~Tsysteme() = default;
    virtual bool ecrit(std::string_view octets, std::string& raison) = 0;
    // Durable on the disk, and closed; then in place. Standard output has nothing to do then.
    virtual bool acheve(std::string&) { return true; }
    virtual bool met_en_place(std::string&) { return true; }
};

// The target checked (a regular file or nothing, not one of `lus`, writable) and its
// temporary file created beside it; `existait` tells whether there was an old file.
std::unique_ptr<Tecriture_fichier::Tsysteme> ouvre_ecriture(const std::string& chemin,
                                                            const std::vector<std::string>& lus,
                                                            bool& existait, std::string& raison);
std::unique_ptr<Tecriture_fichier::Tsysteme> ouvre_sortie_standard();
