#include "journaux_demesures.h"

#include "etat_regularite.h"
#include "execution_programme.h"
#include "lecture_journal.h"
#include "parcours_enregistre.h"
#include "texte_journal.h"

#include <functional>
#include <stdexcept>
#include <vector>

namespace {

const char* const entete = "# VELMORA journal de bord\nformat 1\nprogramme 1.0\n"
                           "date 2026-12-07 10:00:00\ndebut\n";

// The journal of a run started at 10:00:00 with the sample calibration, as `parcours` drives it.
std::vector<std::string> enregistre(const Trepertoire_temporaire& rep,
                                    const std::function<void(Tparcours_enregistre&)>& parcours) {
    rep.ecrit("etalonnage.txt", "540\n1000\n541\n1000\n539\n1000\n");
    const std::string chemin = rep.chemin() + "demesure.journal";
    std::filesystem::remove(chemin);
    {
        Tparcours_enregistre p(chemin, rep.chemin(), 10 * 36000);
        parcours(p);
        p.termine();
    }
    return lignes_de(lit_fichier(chemin));
}

std::string joint(const std::vector<std::string>& lignes) {
    std::string t;
    for (const auto& l : lignes)
        t += l + '\n';
    return t;
}

std::size_t apres(const std::vector<std::string>& l, const std::string& fin, std::size_t i = 0) {
    for (; i < l.size(); ++i)
        if (l[i].ends_with(fin) || l[i].starts_with(fin)) return i;
    throw std::logic_error("journal démesuré sans « " + fin + " »");
}

} // namespace

void zone_a_l_heure(Tparcours_enregistre& p, const std::string& moyenne) {
    p.tape("memo_kms", "50");
    p.tape("memo_moy", moyenne);
    p.tape("cb_heure_zr", "10");
    p.tape("cb_min_zr", "00");
    p.tape("cb_sec_zr", "00");
}

std::string journal_separateur_long(const Trepertoire_temporaire& rep, std::size_t points,
                                    std::size_t separateur) {
    auto l = enregistre(rep, [&](Tparcours_enregistre& p) {
        p.tape("memo_kms", std::string(points, '.'));
        p.clic("valid_heure_zr");
    });
    const std::size_t i = apres(l, "clic valid_heure_zr") + 1;
    l[i] = "separateur \"" + std::string(separateur, 'x') + "\"";
    return joint(l);
}

// The line that typed `court` into `champ`, given `long` instead: the run's checkpoints do not
// show the difference, and recording the short one costs what it costs.
void allonge(std::vector<std::string>& l, const std::string& champ, const std::string& court,
             const std::string& long_) {
    std::string court_cite, long_cite;
    ajoute_texte(court_cite, court);
    ajoute_texte(long_cite, long_);
    std::string& e = l[apres(l, " texte " + champ + " " + court_cite)];
    e.replace(e.size() - court_cite.size(), court_cite.size(), long_cite);
}

std::string journal_moyenne_longue(const Trepertoire_temporaire& rep, std::size_t octets,
                                   int secondes) {
    auto l = enregistre(rep, [&](Tparcours_enregistre& p) {
        zone_a_l_heure(p, "45,000");
        p.clic("valid_heure_zr");
        p.roule(secondes, 0);
    });
    allonge(l, "memo_moy", "45,000", "45," + std::string(octets, '0'));
    return joint(l);
}

namespace {

// A run that opens the rally file `fichier` and chooses `choix` zones, `zone(i)` the i-th,
// while the decimal separator is `separateur`; its journal then gives the file's lines as
// `lu` (quoted, blank-separated), up to longer than any the engine's reader makes.
std::string rallye_choisi(const Trepertoire_temporaire& rep, const std::string& fichier,
                          const std::string& separateur, int choix,
                          const std::function<std::string(int)>& zone, const std::string& lu) {
    const std::string rallye = rep.ecrit("rallye.txt", fichier);
    auto l = enregistre(rep, [&](Tparcours_enregistre& p) {
        p.services.separateur = separateur;
        p.services.reponses_dialogue.push_back(rallye);
        p.clic("choisir_rallye");
        for (int i = 0; i < choix; ++i)
            p.choisit("ZONE", zone(i));
    });
    std::string& ligne = l[apres(l, "fichier rallye")];
    ligne = ligne.substr(0, ligne.find(" lu ") + 4) + lu;
    return joint(l);
}

} // namespace

std::string journal_rallye_long(const Trepertoire_temporaire& rep, std::size_t octets, int lignes,
                                int choix, bool alterne) {
    // Points, each of which a zone's extraction writes with the separator.
    std::string lu = "\"KZR1\"";
    for (int i = 0; i < lignes; ++i)
        lu += " \"" + std::string(octets, '.') + "\"";
    lu += " \"\" \"MZR1\" \"45\" \"\"";
    return rallye_choisi(
        rep, "KZR1\n1\n\nMZR1\n45\n\n", ",", choix,
        [&](int i) { return alterne && i % 2 ? "ZR2" : "ZR1"; }, lu);
}

std::string journal_zones_partagees(const Trepertoire_temporaire& rep, int choix) {
    constexpr int zones = 30, lignes = nbr_lignes_max - 2 * zones - 1;
    std::string cles, lu;
    for (int z = 1; z <= zones; ++z) {
        cles += "KZR" + std::to_string(z) + "\nMZR" + std::to_string(z) + "\n";
        lu += "\"KZR" + std::to_string(z) + "\" \"MZR" + std::to_string(z) + "\" ";
    }
    // Every zone's two sections run from its key over the others' keys to the one empty line,
    // through the same long lines.
    for (int i = 0; i < lignes; ++i)
        lu += "\"" + std::string(ligne_fichier_journal_max, '.') + "\" ";
    lu += "\"\"";
    return rallye_choisi(
        rep, cles + ".\n\n", std::string(separateur_journal_max, 'x'), choix,
        [](int i) { return "ZR" + std::to_string(i % zones + 1); }, lu);
}

std::string journal_distance_longue(const Trepertoire_temporaire& rep, std::size_t octets,
                                    int validations, bool convertible) {
    const std::string distance = convertible ? "050" : "05x";
    auto l = enregistre(rep, [&](Tparcours_enregistre& p) {
        zone_a_l_heure(p, "45");
        p.tape("memo_kms", distance);
        for (int i = 0; i < validations; ++i)
            p.clic("valid_heure_zr");
    });
    // Leading zeros: the same 50 km, in as many digits as asked.
    allonge(l, "memo_kms", distance, std::string(octets, '0') + distance.substr(1));
    return joint(l);
}

std::string journal_titre_long(const Trepertoire_temporaire& rep, std::size_t octets, int zones) {
    auto l = enregistre(rep, [&](Tparcours_enregistre& p) {
        zone_a_l_heure(p, "45");
        p.tape("ZONE", "Z");
        for (int i = 0; i < zones; ++i) {
            p.clic("valid_heure_zr");
            p.tic();
        }
    });
    allonge(l, "ZONE", "Z", std::string(octets, 'Z'));
    return joint(l);
}

std::string journal_lignes_minimales(std::size_t octets) {
    std::string j = entete;
    const std::string ligne = "e 0 tic2\n";
    j.reserve(octets);
    while (j.size() + ligne.size() <= octets)
        j += ligne;
    return j;
}
