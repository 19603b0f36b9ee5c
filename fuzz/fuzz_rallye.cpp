// Any rally file through the file choice, zone extraction, validation and a few ticks.
#include "invariants.h"
#include "services_scriptes.h"

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static Trepertoire_temporaire repertoire;
    if (taille < 2) return 0;
    const std::string contenu(reinterpret_cast<const char*>(donnees) + 2, taille - 2);
    const std::string chemin = repertoire.ecrit("rallye.txt", contenu);

    Tservices_scriptes s;
    s.separateur = donnees[0] & 1 ? "," : ".";
    s.reponses_dialogue.push_back(chemin);
    s.regle_dixiemes(36000 * 10);
    Tmoteur m(s);
    m.etat.seuil = 20;
    m.etat.nbr_lignes_zr = 1;
    m.distribue([&] { m.choisir_rallyeClick(); });
    m.ZONE.choisit(donnees[1] % 31);
    m.distribue([&] { m.choisir_la_zr(); });
    verifie_invariants(m, s.messages);
    m.distribue([&] { m.valid_heure_zrClick(); });
    verifie_invariants(m, s.messages);
    // Ticks from before the start to long past it, across midnight.
    for (std::int32_t dixiemes : {35990, 36001, 40000, 100000, 400000, 863999, 0, 431999}) {
        s.regle_dixiemes(dixiemes);
        m.distribue([&] { m.Timer1Timer(); });
        verifie_invariants(m, s.messages);
    }
    return 0;
}
