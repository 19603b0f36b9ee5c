// Gap between the trip and the cadence: the number, the two bars and the seven LEDs.
#include "moteur.h"

#include "conversions.h"

#include <cstdint>
#include <limits>
#include <string>

namespace {

// Points and blanks keep the number right-aligned in six characters up to 9999 m.
std::string texte_ecart(std::int32_t ecart) {
    const char* debut = ".";
    if (ecart < 10)
        debut = ".   ";
    else if (ecart < 100)
        debut = ".  ";
    else if (ecart < 1000)
        debut = ". ";
    return debut + std::to_string(ecart) + ".";
}

// A sign, then the number with its own sign: a negative threshold reads "+-5" and "--5".
std::string precede(char signe, std::int32_t v) {
    std::string t(1, signe);
    t += std::to_string(v);
    return t;
}

std::int32_t plafonne(std::int32_t ecart, std::int32_t seuil) {
    return ecart > seuil ? seuil : ecart;
}

} // namespace

void Tmoteur::calcule_et_affiche_ecart() {
    const std::int64_t t = etat.compteur_total.valeur_en_metres();
    const std::int64_t c = etat.compteur_cadenceur.valeur_en_metres();
    const bool en_retard = t < c;
    // Both values fit 32 bits; their difference may not.
    const std::int64_t difference = en_retard ? c - t : t - c;
    constexpr std::int64_t maxi = std::numeric_limits<std::int32_t>::max();
    etat.ecart = static_cast<std::int32_t>(difference > maxi ? maxi : difference);

    if (en_retard) {
        etat.code_leds = etat.ecart < 127 ? etat.ecart + 128 : 255;
        retard.ecrit_position(plafonne(etat.ecart, etat.seuil));
        avance.ecrit_position(0);
    } else {
        etat.code_leds = etat.ecart < 127 ? etat.ecart : 127;
        avance.ecrit_position(plafonne(etat.ecart, etat.seuil));
        retard.ecrit_position(0);
    }
    la_ecart.ecrit_texte(texte_ecart(etat.ecart));
    mise_a_jour_aff_deporte();
}

void Tmoteur::mise_a_jour_aff_deporte() {
    const bool en_retard = etat.code_leds > 127;
    const std::int32_t m = en_retard ? etat.code_leds - 128 : etat.code_leds;
    // Lit side LEDs counted from the centre outwards: bands open at 5, 15 and 25 m.
    const int allumees = m >= 25 ? 3 : m >= 15 ? 2 : m >= 5 ? 1 : 0;

    auto cote = [allumees](int rang) {
        return allumees >= rang ? Tcouleur::rouge : Tcouleur::face_bouton;
    };
    pa_m30.ecrit_couleur(en_retard ? cote(3) : Tcouleur::face_bouton);
    pa_m20.ecrit_couleur(en_retard ? cote(2) : Tcouleur::face_bouton);
    pa_m10.ecrit_couleur(en_retard ? cote(1) : Tcouleur::face_bouton);
    pa_vert.ecrit_couleur(allumees == 0 ? Tcouleur::lime : Tcouleur::face_bouton);
    pa_10.ecrit_couleur(en_retard ? Tcouleur::face_bouton : cote(1));
    pa_20.ecrit_couleur(en_retard ? Tcouleur::face_bouton : cote(2));
    pa_30.ecrit_couleur(en_retard ? Tcouleur::face_bouton : cote(3));
}

void Tmoteur::valid_seuilClick() {
    if (ed_seuil_conf.texte().empty()) {
        services.message("Entrez des valeurs correctes ...");
        return;
    }
    const auto seuil = entier_depuis_texte(ed_seuil_conf.texte());
    if (!seuil) {
        services.message("Erreur de saisie. Il faut une valeur entière ! ...");
        return;
    }
    etat.seuil = *seuil;
    seuil_haut.ecrit_texte(precede('+', etat.seuil));
    seuil_bas.ecrit_texte(precede('-', etat.seuil));
    retard.ecrit_maximum(etat.seuil);
    avance.ecrit_maximum(etat.seuil);
    ed_seuil_conf.ecrit_texte("");
}
