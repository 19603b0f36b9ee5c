#include "evenement.h"

#include "commandes.h"
#include "texte_journal.h"

#include <limits>

namespace {

struct Tnom_genre {
    Tgenre_evenement genre;
    std::string_view mot;
};
constexpr Tnom_genre genres[] = {
    {Tgenre_evenement::demarrage, "demarrage"}, {Tgenre_evenement::fermeture, "fermeture"},
    {Tgenre_evenement::tic1, "tic1"},           {Tgenre_evenement::tic2, "tic2"},
    {Tgenre_evenement::clic, "clic"},           {Tgenre_evenement::coche, "coche"},
    {Tgenre_evenement::texte, "texte"},         {Tgenre_evenement::choix, "choix"},
    {Tgenre_evenement::defile, "defile"},       {Tgenre_evenement::hid, "hid"},
};

std::string_view mot_du_genre(Tgenre_evenement g) {
    for (const auto& n : genres)
        if (n.genre == g) return n.mot;
    return "?";
}

} // namespace

void ajoute_evenement(std::string& ligne, const Tevenement& e) {
    ligne += mot_du_genre(e.genre);
    switch (e.genre) {
    case Tgenre_evenement::clic:
        ligne += ' ';
        ligne += e.controle;
        break;
    case Tgenre_evenement::coche:
        ligne += ' ';
        ligne += e.controle;
        ligne += e.valeur ? " 1" : " 0";
        break;
    case Tgenre_evenement::texte:
    case Tgenre_evenement::choix:
        ligne += ' ';
        ligne += e.controle;
        ligne += ' ';
        ajoute_texte(ligne, e.texte);
        break;
    case Tgenre_evenement::defile:
        ligne += ' ';
        ligne += std::to_string(e.valeur);
        break;
    case Tgenre_evenement::hid:
        ligne += ' ';
        ligne += std::to_string(e.wparam);
        ligne += ' ';
        ligne += std::to_string(e.lparam);
        break;
    default:
        break;
    }
}

std::optional<Tevenement> lit_evenement(const std::vector<std::string>& mots, std::size_t debut) {
    if (debut >= mots.size()) return std::nullopt;
    const std::size_t n = mots.size() - debut;
    const auto mot = [&](std::size_t k) -> const std::string& { return mots[debut + k]; };
    for (const auto& g : genres) {
        if (g.mot != mot(0)) continue;
        Tevenement e = Tevenement::simple(g.genre);
        switch (g.genre) {
        case Tgenre_evenement::clic:
            if (n != 2 || !gestionnaire_clic(mot(1))) return std::nullopt;
            e.controle = mot(1);
            return e;
        case Tgenre_evenement::coche:
            if (n != 3 || !est_une_case(mot(1)) || (mot(2) != "0" && mot(2) != "1"))
                return std::nullopt;
            e.controle = mot(1);
            e.valeur = mot(2) == "1";
            return e;
        case Tgenre_evenement::texte:
        case Tgenre_evenement::choix:
            if (n != 3) return std::nullopt;
            if (g.genre == Tgenre_evenement::texte ? !est_un_champ(mot(1)) : !choix_nomme(mot(1)))
                return std::nullopt;
            e.controle = mot(1);
            e.texte = mot(2);
            return e;
        case Tgenre_evenement::defile: {
            const auto v = n == 2 ? lit_nombre(mot(1), std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max())
                                  : std::nullopt;
            if (!v) return std::nullopt;
            e.valeur = static_cast<std::int32_t>(*v);
            return e;
        }
        case Tgenre_evenement::hid: {
            constexpr std::int64_t max = std::numeric_limits<std::uint32_t>::max();
            const auto w = n == 3 ? lit_nombre(mot(1), 0, max) : std::nullopt;
            const auto l = n == 3 ? lit_nombre(mot(2), 0, max) : std::nullopt;
            if (!w || !l) return std::nullopt;
            e.wparam = static_cast<std::uint32_t>(*w);
            e.lparam = static_cast<std::uint32_t>(*l);
            return e;
        }
        default:
            if (n != 1) return std::nullopt;
            return e;
        }
    }
    return std::nullopt;
}

std::string decrit_evenement(const Tevenement& e) {
    switch (e.genre) {
    case Tgenre_evenement::demarrage:
        return "démarrage";
    case Tgenre_evenement::fermeture:
        return "fermeture";
    case Tgenre_evenement::tic1:
        return "tic de l'horloge";
    case Tgenre_evenement::tic2:
        return "tour de roue simulé";
    case Tgenre_evenement::clic:
        return "clic sur " + e.controle;
    case Tgenre_evenement::coche:
        return e.controle + (e.valeur ? " coché" : " décoché");
    case Tgenre_evenement::texte:
        return "saisie dans " + e.controle;
    case Tgenre_evenement::choix:
        return "choix dans " + e.controle;
    case Tgenre_evenement::defile:
        return "vitesse " + std::to_string(e.valeur);
    case Tgenre_evenement::hid:
        return "notification du boîtier";
    }
    return {};
}
