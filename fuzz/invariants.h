#pragma once
// What must hold after every event, whatever the crew or a file throws at the engine.

#include "moteur.h"

#include <cstdlib>
#include <string>
#include <vector>

inline void exige(bool condition) {
    if (!condition) std::abort();
}

// Every message box the crew can see carries one of the program's own texts;
// anything else is an error that escaped its handler.
inline bool message_connu(const std::string& t) {
    static const std::vector<std::string> exacts = {
        "Le fichier ETALONNAGE est inexistant ... Creez-le !!!",
        "Les valeurs semblent erronnées !",
        "Cette ZR est inexistante dans le fichier",
        "Pour pouvoir choisir une zone il faut sélectionner un RALLYE",
        "erreur",
        "ERREUR de SAISIE",
        "Entrez des valeurs correctes ...",
        "Erreur de saisie. Il faut une valeur entière ! ...",
        "Division par zéro en virgule flottante",
        "Opération en virgule flottante incorrecte",
    };
    for (const auto& e : exacts)
        if (t == e) return true;
    const std::string entier = "' n'est pas une valeur entière correcte";
    if (t.size() > entier.size() && t[0] == '\'' &&
        t.compare(t.size() - entier.size(), entier.size(), entier) == 0)
        return true;
    return t.rfind("Impossible d'ouvrir le fichier ", 0) == 0;
}

inline void exige_chiffres(const Tcompteur_distance& c, bool sommet_libre) {
    for (std::int32_t d : {c.m, c.dixm, c.centm, c.kilom, c.dixkilom})
        exige(d >= 0 && d <= 9);
    exige(c.centkilom >= 0 && (sommet_libre || c.centkilom <= 9));
}

inline void verifie_invariants(const Tmoteur& m, const std::vector<std::string>& messages) {
    exige_chiffres(m.etat.compteur_total, false);
    exige_chiffres(m.etat.compteur_partiel, false);
    // CADEN is loaded from the ideal distance: past 999 999 m its top digit holds the rest.
    exige_chiffres(m.etat.compteur_cadenceur, true);
    for (const auto& t : messages)
        exige(message_connu(t));
    exige(m.Memo_copie.nombre() <= static_cast<std::size_t>(nbr_lignes_max));
    exige(m.etat.ecart >= 0);
    exige(m.etat.code_leds >= 0 && m.etat.code_leds <= 255);
    exige(m.etat.nbr_lignes_zr >= 0 && m.etat.nbr_lignes_zr <= nbr_lignes_max);
}

// Right after revolutions on a calibration of positive length: the remainders wait below
// one metre.
inline void verifie_cumuls(const Tmoteur& m) {
    if (m.etat.tours_etal <= 0 || m.etat.dist_etal < 0) return;
    for (std::int32_t c : {m.etat.cumul_total, m.etat.cumul_partiel})
        exige(c >= 0 && c < m.etat.tours_etal);
}
