#include "horaire_rallye.h"

#include "entree_refusee.h"
#include "erreurs.h"
#include "extraction_zone.h"
#include "lecture_lignes.h"
#include "texte_affichable.h"
#include "validation_horaire.h"

#include <algorithm>

namespace {

// The window's setting: "," as the decimal separator; the file may use "." as well.
const std::string separateur = ",";

std::int32_t nbr_valeurs(const Tsection_zone& s) {
    return static_cast<std::int32_t>(
        std::count_if(s.lignes.begin(), s.lignes.end(), [](const auto& l) { return !l.empty(); }));
}

std::string ligne_du_fichier(const Tsection_zone& s, std::int32_t rangee) {
    return "ligne " + std::to_string(s.numeros[static_cast<std::size_t>(rangee)] + 1) +
           " du fichier";
}

// A file's value as quoted in a message: escaped as everything the program prints, and cut.
std::string visible(const std::string& t) {
    return texte_affichable(t, 200);
}

// The lines of a section that held only blanks: the window reads them as empty lines,
// which leaves their row, and the rows the other section pairs with them, out.
std::vector<std::string> lignes_blanches(const Tsection_zone& s,
                                         const std::vector<std::string>& fichier,
                                         const std::string& cle) {
    std::vector<std::string> blanches;
    for (std::size_t i = 0; i < s.lignes.size(); ++i) {
        const auto numero = static_cast<std::size_t>(s.numeros[i]);
        if (s.lignes[i].empty() && numero < fichier.size() && !fichier[numero].empty())
            blanches.push_back("la ligne " + std::to_string(numero + 1) + " du fichier, dans " +
                               cle + ", n'a que des blancs et compte comme vide");
    }
    return blanches;
}

std::string joint(const std::vector<std::string>& textes) {
    std::string t;
    for (const auto& l : textes)
        t += (t.empty() ? "" : "\n") + l;
    return t;
}

} // namespace

Thoraire_zone lit_horaire_zone(const std::string& chemin, std::int32_t zone) {
    const auto lignes = lit_lignes(chemin, Tfins_de_ligne::rallye, nbr_lignes_max);
    if (!lignes) throw Tentree_refusee(texte_ouverture_impossible(texte_affichable(chemin, 200)));
    const Tzone_extraite extraite = extrait_zone(Tmodele_memo(*lignes), zone, separateur);
    if (!extraite.distances.trouvee)
        throw Tentree_refusee("Cette ZR est inexistante dans le fichier");

    Thoraire_zone h;
    Tmodele_memo kms(extraite.distances.lignes);
    Tmodele_memo moy(extraite.moyennes.lignes);
    const std::int32_t n = compte_rangees(kms, moy);
    const std::string nom = "ZR" + std::to_string(zone);
    if (n == 0)
        throw Tentree_refusee("La " + nom + " n'a aucune ligne qui soit à la fois dans KZR" +
                              std::to_string(zone) + " et dans MZR" + std::to_string(zone));
    const std::int32_t distances = nbr_valeurs(extraite.distances);
    const std::int32_t moyennes = nbr_valeurs(extraite.moyennes);
    if (distances != n || moyennes != n) {
        std::string a = "attention : la " + nom + " compte " + std::to_string(distances) +
                        " distances et " + std::to_string(moyennes) +
                        " moyennes ; le tableau prend " + std::to_string(n) + " lignes";
        auto blanches = lignes_blanches(extraite.distances, *lignes, "KZR" + std::to_string(zone));
        for (auto& b : lignes_blanches(extraite.moyennes, *lignes, "MZR" + std::to_string(zone)))
            blanches.push_back(std::move(b));
        for (std::size_t i = 0; i < blanches.size(); ++i)
            a += (i == 0 ? " : " : " ; ") + blanches[i];
        h.avertissements.push_back(a);
    }

    std::vector<std::string> refus;
    std::vector<bool> illisible(2 * static_cast<std::size_t>(n)); // distances, then averages
    const auto echec = [&](const Tsection_zone& s, const Tmodele_memo& champ,
                           std::int32_t colonne) {
        return [&refus, &illisible, section = &s, lignes = &champ, colonne, n](std::int32_t r) {
            illisible[static_cast<std::size_t>(colonne * n + r)] = true;
            refus.push_back("erreur : " + ligne_du_fichier(*section, r) + ", " +
                            (colonne == 0 ? "distance" : "moyenne") + " « " +
                            visible(lignes->ligne(static_cast<std::size_t>(r))) + " » incorrecte");
        };
    };
    Ttable_zr& t = h.table;
    convertit_rangees(kms, t.distances_m, n, separateur, echec(extraite.distances, kms, 0));
    convertit_rangees(moy, t.moyennes_mh, n, separateur, echec(extraite.moyennes, moy, 1));

    // The cadence only moves forward on these: what it cannot drive, no table can show.
    std::int32_t precedente = -1; // the last distance that converted
    for (std::int32_t i = 0; i < n; ++i) {
        const auto r = static_cast<std::size_t>(i);
        if (!illisible[r]) {
            const std::int32_t d = t.distances_m[r];
            if (d < 0 ||
                (precedente >= 0 && d < t.distances_m[static_cast<std::size_t>(precedente)]))
                refus.push_back(
                    std::string(d < 0 ? "Distance négative" : "Distance en deçà de la précédente") +
                    " à la " + ligne_du_fichier(extraite.distances, i) + " (« " +
                    visible(kms.ligne(r)) + " ») : les distances se comptent depuis le départ");
            precedente = i;
        }
        if (!illisible[static_cast<std::size_t>(n) + r] && t.moyennes_mh[r] <= 0)
            refus.push_back(
                std::string(t.moyennes_mh[r] == 0 ? "Moyenne nulle" : "Moyenne négative") +
                " à la " + ligne_du_fichier(extraite.moyennes, i) + " (« " + visible(moy.ligne(r)) +
                " ») : une moyenne doit dépasser 0 km/h");
    }
    if (!refus.empty()) throw Tentree_refusee(joint(refus));

    calcule_fins_rangees(t, n);
    h.nbr_rangees = n;
    return h;
}
