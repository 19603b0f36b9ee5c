#include "commandes.h"

#include <cstdlib>
#include <sstream>

namespace {

constexpr long tours_max = 100000000;
constexpr long code_max = 16; // the red button

bool entier(const std::string& mot, long min, long max, long& valeur) {
    if (mot.empty() || mot.size() > 9) return false;
    for (char c : mot)
        if (c < '0' || c > '9') return false;
    valeur = std::stol(mot);
    return valeur >= min && valeur <= max;
}

// A decimal number, with a point or a comma.
bool nombre(const std::string& texte, double min, double max, double& valeur) {
    std::string t = texte;
    for (char& c : t)
        if (c == ',') c = '.';
    char* fin = nullptr;
    valeur = std::strtod(t.c_str(), &fin);
    return !t.empty() && fin && *fin == '\0' && valeur >= min && valeur <= max;
}

bool touches(std::istringstream& mots, std::string premier, Tcommande& c, std::string& erreur) {
    c.sorte = Tcommande::touches;
    for (std::string mot = std::move(premier); !mot.empty() || mots >> mot; mot.clear()) {
        long code;
        if (!entier(mot, 0, code_max, code)) {
            erreur = "touche inconnue : " + mot + " (codes de 0 à 16)";
            return false;
        }
        c.codes.push_back(static_cast<std::uint8_t>(code));
    }
    if (c.codes.empty()) erreur = "quelle touche ? (codes de 0 à 16)";
    return !c.codes.empty();
}

// The words after the verb, for the commands that take one number or none.
bool argument(std::istringstream& mots, Tcommande& c, const std::string& verbe,
              std::string& erreur) {
    std::string mot;
    if (verbe == "tours") {
        c.sorte = Tcommande::tours;
        if (!(mots >> mot) || !entier(mot, 0, tours_max, c.nombre)) {
            erreur = "tours : un nombre de tours de 0 à 100000000";
            return false;
        }
    } else if (verbe == "vitesse") {
        c.sorte = Tcommande::vitesse;
        long kmh;
        if (!(mots >> mot) || !entier(mot, 0, 400, kmh)) {
            erreur = "vitesse : de 0 à 400 km/h";
            return false;
        }
        c.kmh = static_cast<double>(kmh);
    } else if (verbe == "debranche") {
        c.sorte = Tcommande::debranche;
        if (mots >> mot && !entier(mot, 0, 60000, c.nombre)) {
            erreur = "debranche : un délai de 0 à 60000 ms";
            return false;
        }
    } else if (verbe == "rebranche") {
        c.sorte = Tcommande::rebranche;
    } else if (verbe == "quitte") {
        c.sorte = Tcommande::quitte;
    } else if (verbe == "aide") {
        c.sorte = Tcommande::aide;
    } else {
        erreur = "commande inconnue : " + verbe + " (aide : la liste)";
        return false;
    }
    if (mots >> mot) {
        erreur = "en trop : " + mot;
        return false;
    }
    return true;
}

} // namespace

const char* const nom_commande = "velmora-boitier-virtuel";

const char* const aide_commandes =
    "Commandes (une par ligne) :\n"
    "  tours N          N tours de roue\n"
    "  touche C...      touches de la télécommande, codes 0 à 16 (ou les codes seuls)\n"
    "                   0-9 chiffres, 10 virgule, 11 C, 12 +2, 13 -2, 14 +%, 15 -%, 16 bouton "
    "rouge\n"
    "  vitesse KMH      tours de roue en continu à cette vitesse (0 arrête)\n"
    "  debranche [MS]   le boîtier est débranché (après MS ms sans rien envoyer)\n"
    "  rebranche        il est rebranché\n"
    "  quitte           fin (comme la fin de l'entrée)\n";

std::optional<Tcommande> lit_commande(const std::string& ligne, std::string& erreur) {
    std::istringstream mots(ligne);
    std::string verbe;
    erreur.clear();
    if (!(mots >> verbe)) return std::nullopt;
    Tcommande c;
    const bool lue = verbe == "touche" || verbe == "touches" ? touches(mots, "", c, erreur)
                     : verbe[0] >= '0' && verbe[0] <= '9'    ? touches(mots, verbe, c, erreur)
                                                             : argument(mots, c, verbe, erreur);
    if (!lue) return std::nullopt;
    return c;
}

std::string usage() {
    return std::string("usage : ") + nom_commande +
           " [--numero N] [--circonference M] [--vitesse KMH]\n"
           "                               [--cadence N] [--tours N] [--horodatage FICHIER]\n"
           "                               [CODE...]\n"
           "Fait apparaître un boîtier VELMORA (04d8:0000) par /dev/uhid.\n"
           "  --numero N         rapports avec l'identifiant N (1 à 255) ; 0, sans (par défaut)\n"
           "  --circonference M  circonférence de la roue en mètres (1,852 par défaut : 540 "
           "tours au km)\n"
           "  --vitesse KMH      tours de roue en continu à cette vitesse\n"
           "  --cadence N        rapports par seconde pour un lot de tours ou de touches (250)\n"
           "  --tours N          N tours de roue dès qu'un programme ouvre le boîtier\n"
           "  --horodatage F     écrit dans F, à la fin, l'instant de chaque rapport envoyé\n"
           "                     (CLOCK_MONOTONIC, ns) et son code, un rapport par ligne\n"
           "  CODE...            touches (0 à 16) envoyées dès qu'un programme ouvre le "
           "boîtier\n\n" +
           aide_commandes;
}

Tlecture_options lit_options(const std::vector<std::string>& arguments, Toptions& o,
                             std::string& erreur) {
    struct Tnumerique {
        const char* nom;
        double min, max;
        bool entier;
        const char* explication;
    };
    static const Tnumerique numeriques[] = {
        {"--numero", 0, 255, true, "un identifiant de 0 à 255"},
        {"--circonference", 0.1, 10, false, "de 0,1 à 10 mètres"},
        {"--vitesse", 0, 400, false, "de 0 à 400 km/h"},
        {"--cadence", 1, 10000, false, "de 1 à 10000 rapports par seconde"},
        {"--tours", 0, tours_max, true, "un nombre de tours de 0 à 100000000"},
    };
    std::string codes;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--aide" || a == "--help" || a == "-h") return Tlecture_options::aide;
        if (a == "--horodatage") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                erreur = a + " : quel fichier ?";
                return Tlecture_options::erreur;
            }
            o.horodatage = arguments[++i];
            continue;
        }
        const Tnumerique* n = nullptr;
        for (const auto& candidat : numeriques)
            if (a == candidat.nom) n = &candidat;
        if (!n && a.size() > 1 && a[0] == '-') {
            erreur = "option inconnue : " + a + " (--aide pour l'usage)";
            return Tlecture_options::erreur;
        }
        if (!n) {
            codes += " " + a;
            continue;
        }
        double v = 0;
        if (i + 1 >= arguments.size() || !nombre(arguments[++i], n->min, n->max, v) ||
            (n->entier && v != static_cast<double>(static_cast<long>(v)))) {
            erreur = a + " : " + n->explication;
            return Tlecture_options::erreur;
        }
        if (a == "--numero") o.numero = static_cast<std::uint8_t>(v);
        if (a == "--circonference") o.circonference_m = v;
        if (a == "--vitesse") o.kmh = v;
        if (a == "--cadence") o.cadence = v;
        if (a == "--tours") o.tours = static_cast<long>(v);
    }
    if (!codes.empty()) {
        const auto c = lit_commande("touches" + codes, erreur);
        if (!c) return Tlecture_options::erreur;
        o.touches = c->codes;
    }
    return Tlecture_options::a_lancer;
}
