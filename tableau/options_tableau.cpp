#include "options_tableau.h"

#include "entree_refusee.h"
#include "texte_affichable.h"

#include <string_view>

namespace {

// Decimal digits only, at most `maxi`; anything else gives nothing.
std::optional<std::int32_t> nombre(std::string_view t, std::int32_t maxi) {
    if (t.empty() || t.size() > 9) return std::nullopt;
    std::int32_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > maxi) return std::nullopt;
    return v;
}

// An argument quoted in a message, escaped as everything the program prints.
std::string entre_guillemets(const std::string& t) {
    return "« " + texte_affichable(t, 200) + " »";
}

std::int32_t lit_zone(const std::string& t) {
    std::string_view chiffres = t;
    if (chiffres.size() > 2 && (chiffres.substr(0, 2) == "ZR" || chiffres.substr(0, 2) == "zr"))
        chiffres.remove_prefix(2);
    const auto n = nombre(chiffres, 30);
    if (!n || *n < 1 || chiffres[0] == '0')
        throw Tentree_refusee("Zone incorrecte : " + entre_guillemets(t) +
                              " (ZR1 à ZR30, ou 1 à 30)");
    return *n;
}

std::int32_t lit_pas(const std::string& t) {
    const auto pas = nombre(t, 1'000'000);
    if (!pas || *pas < 1)
        throw Tentree_refusee("Pas incorrect : " + entre_guillemets(t) +
                              " (un nombre entier de mètres, de 1 à 1000000)");
    return *pas;
}

// H:MM:SS or HH:MM:SS, a time of day.
std::int32_t lit_depart(const std::string& t) {
    const auto refus = [&] {
        return Tentree_refusee("Heure de départ incorrecte : " + entre_guillemets(t) +
                               " (HH:MM:SS, de 00:00:00 à 23:59:59)");
    };
    const std::size_t a = t.find(':');
    const std::size_t b = a == std::string::npos ? a : t.find(':', a + 1);
    if (b == std::string::npos || a < 1 || a > 2 || b - a != 3 || t.size() - b != 3) throw refus();
    const auto h = nombre(std::string_view(t).substr(0, a), 23);
    const auto m = nombre(std::string_view(t).substr(a + 1, 2), 59);
    const auto s = nombre(std::string_view(t).substr(b + 1, 2), 59);
    if (!h || !m || !s) throw refus();
    return *h * 36000 + *m * 600 + *s * 10;
}

} // namespace

Toptions_tableau lit_options(const std::vector<std::string>& arguments) {
    Toptions_tableau o;
    std::vector<std::string> positions;
    bool fin_des_options = false; // after "--", a file may be named "--pas" or "-h"
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string nom = arguments[i];
        if (!fin_des_options && nom == "--") {
            fin_des_options = true;
            continue;
        }
        if (!fin_des_options && (nom == "-h" || nom == "--help" || nom == "--aide")) {
            o.aide = true;
            return o;
        }
        if (fin_des_options || nom.size() < 2 || nom.compare(0, 2, "--") != 0) {
            positions.push_back(nom);
            continue;
        }
        // "--pas 10" or "--pas=10".
        std::optional<std::string> valeur;
        if (const std::size_t egal = nom.find('='); egal != std::string::npos) {
            valeur = nom.substr(egal + 1);
            nom.erase(egal);
        }
        if (nom != "--pas" && nom != "--depart" && nom != "--pdf")
            throw Tentree_refusee("Option inconnue : " + entre_guillemets(nom) + "\n" +
                                  usage_tableau);
        if (!valeur) {
            if (i + 1 >= arguments.size())
                throw Tentree_refusee("Il manque la valeur de l'option " + nom + "\n" +
                                      usage_tableau);
            valeur = arguments[++i];
        }
        if (nom == "--pas") o.pas_m = lit_pas(*valeur);
        if (nom == "--depart") o.depart_dixiemes = lit_depart(*valeur);
        if (nom == "--pdf") {
            if (valeur->empty()) throw Tentree_refusee("Le nom du fichier PDF est vide");
            // Standard output takes the CSV; the PDF goes to a file.
            if (*valeur == "-")
                throw Tentree_refusee("Le PDF s'écrit dans un fichier : --pdf FICHIER.pdf");
            o.pdf = *valeur;
        }
    }
    if (positions.size() < 2)
        throw Tentree_refusee(std::string("Il manque le fichier du rallye ou la zone\n") +
                              usage_tableau);
    if (positions.size() > 2)
        throw Tentree_refusee("Argument en trop : " + entre_guillemets(positions[2]) + "\n" +
                              usage_tableau);
    o.rallye = positions[0];
    o.zone = lit_zone(positions[1]);
    return o;
}
