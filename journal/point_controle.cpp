#include "point_controle.h"

#include "heure_du_jour.h"
#include "texte_journal.h"

namespace {

std::string chiffres(const Tlabels_compteur& labels) {
    std::string t;
    for (auto i = labels.rbegin(); i != labels.rend(); ++i)
        t += (*i)->texte();
    return t;
}

bool mot_simple(const std::string& m) {
    if (m.empty()) return false;
    for (char c : m)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '_' || c == '-'))
            return false;
    return true;
}

} // namespace

std::string heure_du_moteur(const Tmoteur& m) {
    return m.etat.horloge.prise() ? texte_hms(m.heure_officielle_lue()) : std::string();
}

Tpoint_controle prend_point(const Tmoteur& m) {
    Tpoint_controle p;
    p.heure = heure_du_moteur(m);
    const Thorloge_rallye& h = m.etat.horloge;
    if (!h.suit_l_ordinateur()) p.ordinateur = texte_hms(h.ordinateur(m.etat.compteur_lu_ms));
    p.total = chiffres(m.labels_total);
    p.partiel = chiffres(m.labels_partiel);
    p.caden = chiffres(m.labels_cadenceur);
    p.ecart = m.la_ecart.texte();
    // From the outside in: the outermost lit LED tells the band.
    const std::pair<const char*, const Tmodele_label*> leds[] = {
        {"pa_m30", &m.pa_m30}, {"pa_30", &m.pa_30}, {"pa_m20", &m.pa_m20},  {"pa_20", &m.pa_20},
        {"pa_m10", &m.pa_m10}, {"pa_10", &m.pa_10}, {"pa_vert", &m.pa_vert}};
    p.led = "aucune";
    for (const auto& [nom, led] : leds)
        if (led->couleur() != Tcouleur::face_bouton) {
            p.led = nom;
            break;
        }
    return p;
}

void ajoute_point(std::string& ligne, const Tpoint_controle& p) {
    ligne += "point ";
    ligne += p.heure;
    for (const std::string* v : {&p.total, &p.partiel, &p.caden}) {
        ligne += ' ';
        ligne += *v;
    }
    ligne += ' ';
    ajoute_texte(ligne, p.ecart);
    ligne += ' ';
    ligne += p.led;
    if (!p.ordinateur.empty()) {
        ligne += " ordinateur ";
        ligne += p.ordinateur;
    }
}

std::optional<Tpoint_controle> lit_point(const std::vector<std::string>& mots) {
    if ((mots.size() != 7 && mots.size() != 9) || mots[0] != "point") return std::nullopt;
    Tpoint_controle p{mots[1], mots[2], mots[3], mots[4], mots[5], mots[6], {}};
    for (const std::string* m : {&p.total, &p.partiel, &p.caden, &p.led})
        if (!mot_simple(*m)) return std::nullopt;
    if (!lit_heure_dixiemes(p.heure, false)) return std::nullopt;
    if (mots.size() == 9) {
        if (mots[7] != "ordinateur" || !lit_heure_dixiemes(mots[8], false)) return std::nullopt;
        p.ordinateur = mots[8];
    }
    return p;
}
