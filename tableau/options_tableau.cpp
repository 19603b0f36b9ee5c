#include "options_tableau.h"

#include "heure_du_jour.h"

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

std::int32_t lit_zone(const std::string& t) {
    std::string_view chiffres = t;
    if (chiffres.size() > 2 && (chiffres.substr(0, 2) == "ZR" || chiffres.substr(0, 2) == "zr"))
        chiffres.remove_prefix(2);
    const auto n = nombre(chiffres, 30);
    if (!n || *n < 1 || chiffres[0] == '0')
        throw Tligne_refusee("la zone " + entre_guillemets(t) +
                             " n'est pas une zone de ZR1 à ZR30 (ou 1 à 30)");
    return *n;
}

std::int32_t lit_pas(const std::string& t) {
    const auto pas = nombre(t, 1'000'000);
    if (!pas || *pas < 1)
        throw Tligne_refusee("--pas " + entre_guillemets(t) +
                             " n'est pas un nombre entier de mètres de 1 à 1000000");
    return *pas;
}

// HH:MM:SS, or H:MM:SS before ten o'clock: a time of day.
std::int32_t lit_depart(const std::string& t) {
    const auto d = lit_heure_dixiemes(t.size() > 1 && t[1] == ':' ? "0" + t : t, false);
    if (!d)
        throw Tligne_refusee("--depart " + entre_guillemets(t) +
                             " n'est pas une heure HH:MM:SS (de 00:00:00 à 23:59:59)");
    return *d;
}

} // namespace

Toptions_tableau lit_options(const std::vector<std::string>& arguments) {
    Tlecture_options l;
    l.option({"pas"}, "METRES");
    l.option({"depart"}, "HH:MM:SS");
    l.option({"pdf"}, "FICHIER");
    Toptions_tableau o;
    if (l.lit(arguments)) {
        o.aide = true;
        return o;
    }
    const std::vector<std::string> positions = l.positionnels();
    if (positions.size() < 2) throw Tligne_refusee("il manque le fichier du rallye ou la zone");
    if (positions.size() > 2)
        throw Tligne_refusee("argument en trop " + entre_guillemets(positions[2]));
    o.rallye = positions[0];
    o.zone = lit_zone(positions[1]);
    if (const auto pas = l.valeur("pas")) o.pas_m = lit_pas(*pas);
    if (const auto depart = l.valeur("depart")) o.depart_dixiemes = lit_depart(*depart);
    if ((o.pdf = l.valeur("pdf"))) {
        if (o.pdf->empty()) throw Tligne_refusee("le nom du fichier après --pdf est vide");
        // Standard output takes the CSV; the PDF goes to a file.
        if (*o.pdf == "-")
            throw Tligne_refusee("le PDF s'écrit dans un fichier : --pdf FICHIER.pdf");
    }
    return o;
}
