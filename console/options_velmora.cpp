#include "options_velmora.h"

#include "arguments_programme.h"
#include "lecture_options.h"

#include <charconv>

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

// The program's own options are long ("--rejeu F", "--rejeu=F", and -h): Qt's one-dash ones
// ("-platform offscreen", "-style fusion") and every other argument are Qt's to read.
bool est_des_notres(const std::string& a) {
    return a.rfind("--", 0) == 0 || a == "-h";
}

} // namespace

Toptions_velmora lit_options_velmora(int argc, char** argv) {
    Tlecture_options l;
    l.option({"sans-journal"});
    l.option({"rejeu"}, "FICHIER");
    l.option({"vitesse"}, "N");
    Toptions_velmora o;
    if (argc > 0) o.arguments_qt.push_back(argv[0]);
    // The same arguments as UTF-8 text (a journal's name), where the system's differ.
    std::vector<std::string> textes = arguments_programme(argc, argv);
    if (textes.size() + 1 != static_cast<std::size_t>(argc))
        textes = std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> notres;
    for (std::size_t i = 0; i < textes.size(); ++i) {
        const std::string& a = textes[i];
        if (!est_des_notres(a)) {
            o.arguments_qt.push_back(argv[i + 1]);
            continue;
        }
        notres.push_back(a);
        // An option's value follows it, whatever it looks like.
        if (a.find('=') == std::string::npos && l.prend_une_valeur(a.substr(2)) &&
            i + 1 < textes.size())
            notres.push_back(textes[++i]);
    }
    o.arguments_qt.push_back(nullptr);
    try {
        o.aide = l.lit(notres);
        if (o.aide) return o;
        o.journal = !l.donnee("sans-journal");
        o.rejeu = l.valeur("rejeu");
        if (const auto v = l.valeur("vitesse")) {
            if (!o.rejeu) throw Tligne_refusee("--vitesse ne sert qu'avec --rejeu");
            const auto n = lit_vitesse(*v);
            if (!n)
                throw Tligne_refusee("--vitesse " + entre_guillemets(*v) +
                                     " n'est pas un nombre positif");
            o.vitesse = *n;
        }
    } catch (const Tligne_refusee& e) {
        o.erreur = e.what();
    }
    return o;
}
