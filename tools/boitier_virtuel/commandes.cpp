#include "commandes.h"

#include <sstream>

namespace {

bool entier(const std::string& mot, long min, long max, long& valeur) {
    if (mot.empty() || mot.size() > 9) return false;
    for (char c : mot)
        if (c < '0' || c > '9') return false;
    valeur = std::stol(mot);
    return valeur >= min && valeur <= max;
}

bool touches(std::istringstream& mots, std::string premier, Tcommande& c, std::string& erreur) {
    c.sorte = Tcommande::touches;
    for (std::string mot = std::move(premier); !mot.empty() || mots >> mot; mot.clear()) {
        long code;
        if (!entier(mot, 0, 16, code)) {
            erreur = "touche inconnue : " + mot + " (codes de 0 à 16)";
            return false;
        }
        c.codes.push_back(static_cast<std::uint8_t>(code));
    }
    if (c.codes.empty()) erreur = "quelle touche ? (codes de 0 à 16)";
    return !c.codes.empty();
}

} // namespace

const char* const aide_commandes =
    "Commandes (une par ligne) :\n"
    "  tours N          N tours de roue\n"
    "  touche C...      touches de la télécommande, codes 0 à 16 (ou les codes seuls)\n"
    "                   0-9 chiffres, 10 virgule, 11 C, 12 +2, 13 -2, 14 +%, 15 -%, 16 bouton "
    "rouge\n"
    "  vitesse KMH      tours de roue en continu à cette vitesse (0 arrête)\n"
    "  debranche        le boîtier est débranché\n"
    "  rebranche        il est rebranché\n"
    "  quitte           fin (comme la fin de l'entrée)\n";

std::optional<Tcommande> lit_commande(const std::string& ligne, std::string& erreur) {
    std::istringstream mots(ligne);
    std::string verbe;
    erreur.clear();
    if (!(mots >> verbe)) return std::nullopt;
    Tcommande c;
    std::string reste;
    if (verbe == "tours") {
        c.sorte = Tcommande::tours;
        std::string n;
        if (!(mots >> n) || !entier(n, 0, 100000000, c.nombre)) {
            erreur = "tours : un nombre de tours de 0 à 100000000";
            return std::nullopt;
        }
    } else if (verbe == "touche" || verbe == "touches") {
        if (!touches(mots, "", c, erreur)) return std::nullopt;
        return c;
    } else if (verbe[0] >= '0' && verbe[0] <= '9') {
        if (!touches(mots, verbe, c, erreur)) return std::nullopt;
        return c;
    } else if (verbe == "vitesse") {
        c.sorte = Tcommande::vitesse;
        std::string v;
        long kmh;
        if (!(mots >> v) || !entier(v, 0, 400, kmh)) {
            erreur = "vitesse : de 0 à 400 km/h";
            return std::nullopt;
        }
        c.kmh = static_cast<double>(kmh);
    } else if (verbe == "debranche") {
        c.sorte = Tcommande::debranche;
    } else if (verbe == "rebranche") {
        c.sorte = Tcommande::rebranche;
    } else if (verbe == "quitte") {
        c.sorte = Tcommande::quitte;
    } else if (verbe == "aide") {
        c.sorte = Tcommande::aide;
    } else {
        erreur = "commande inconnue : " + verbe + " (aide : la liste)";
        return std::nullopt;
    }
    if (mots >> reste) {
        erreur = "en trop : " + reste;
        return std::nullopt;
    }
    return c;
}
