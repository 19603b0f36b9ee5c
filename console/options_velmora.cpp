#include "options_velmora.h"

#include "arguments_programme.h"
#include "texte_affichable.h"

#include <charconv>
#include <cstring>

namespace {

// A positive decimal number, with a point or a comma.
std::optional<double> lit_vitesse(std::string t) {
    for (char& c : t)
        if (c == ',') c = '.';
    double v = 0;
    const auto [fin, e] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (e != std::errc() || fin != t.data() + t.size() || !(v > 0) || v > 1e6) return std::nullopt;
    return v;
}

} // namespace

Toptions_velmora lit_options_velmora(int argc, char** argv) {
    Toptions_velmora o;
    if (argc > 0) o.arguments_qt.push_back(argv[0]);
    // The same arguments as UTF-8 text (a journal's name), where the system's differ.
    std::vector<std::string> textes = arguments_programme(argc, argv);
    if (textes.size() + 1 != static_cast<std::size_t>(argc))
        textes = std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    bool vitesse_donnee = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = textes[static_cast<std::size_t>(i - 1)];
        const auto valeur = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) {
                o.erreur = "il manque la valeur de " + a;
                return std::nullopt;
            }
            ++i;
            return textes[static_cast<std::size_t>(i - 1)];
        };
        if (a == "--aide" || a == "--help" || a == "-h") {
            o.aide = true;
        } else if (a == "--sans-journal") {
            o.journal = false;
        } else if (a == "--rejeu") {
            if (auto v = valeur()) o.rejeu = *v;
        } else if (a == "--vitesse") {
            if (auto v = valeur()) {
                vitesse_donnee = true;
                if (auto n = lit_vitesse(*v))
                    o.vitesse = *n;
                else
                    o.erreur = "vitesse « " + texte_affichable(*v, 200) +
                               " » incorrecte : il faut un nombre positif";
            }
        } else if (a.rfind("--", 0) == 0) {
            o.erreur = "option inconnue « " + texte_affichable(a, 200) + " »";
        } else {
            o.arguments_qt.push_back(argv[i]);
        }
        if (o.erreur) return o;
    }
    if (vitesse_donnee && !o.rejeu) o.erreur = "--vitesse ne sert qu'avec --rejeu";
    o.arguments_qt.push_back(nullptr);
    return o;
}
