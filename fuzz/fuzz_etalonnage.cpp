// Any calibration file through the start-up read, then selections, steps and revolutions
// chosen by the input's first bytes.
#include "invariants.h"
#include "services_scriptes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static Trepertoire_temporaire repertoire;
    const std::size_t commandes = taille < 8 ? taille : 8;
    const std::string contenu(reinterpret_cast<const char*>(donnees) + commandes,
                              taille - commandes);
    repertoire.ecrit("etalonnage.txt", contenu);

    Tservices_scriptes s;
    s.repertoire = repertoire.chemin();
    Tmoteur m(s);
    m.distribue([&] { m.demarrage(); });
    verifie_invariants(m, s.messages);
    static const char* const selections[] = {"1", "2", "3", "4", "", "x", "0", "-1"};
    for (std::size_t i = 0; i < commandes; ++i) {
        const std::uint8_t c = donnees[i];
        switch (c % 4) {
        case 0:
            m.cb_num_etal.ecrit_texte(selections[(c >> 2) % 8]);
            m.distribue([&] { m.lire_donnee_etalonnage(); });
            break;
        case 1:
            m.distribue([&] { m.plus_etalClick(); });
            break;
        case 2:
            m.distribue([&] { m.moins_etalClick(); });
            break;
        default:
            for (int k = 0; k < 1 + (c >> 2) % 16; ++k)
                m.distribue([&] { m.un_tour_de_roue(); });
            verifie_cumuls(m);
        }
        verifie_invariants(m, s.messages);
    }
    return 0;
}
