#include "commandes.h"

#include <algorithm>

const std::vector<Tclic>& clics() {
    static const std::vector<Tclic> liste{
        {"RAZ", &Tmoteur::RAZClick},
        {"raz_trip", &Tmoteur::raz_tripClick},
        {"valid_seuil", &Tmoteur::valid_seuilClick},
        {"valid_heure_zr", &Tmoteur::valid_heure_zrClick},
        {"plus_etal", &Tmoteur::plus_etalClick},
        {"moins_etal", &Tmoteur::moins_etalClick},
        {"choisir_rallye", &Tmoteur::choisir_rallyeClick},
        {"valid_offcet_cad", &Tmoteur::valid_offcet_cadClick},
        {"raz_offcet_cad", &Tmoteur::raz_offcet_cadClick},
        {"format1", &Tmoteur::format1Click},
        {"format2", &Tmoteur::format2Click},
        {"format3", &Tmoteur::format3Click},
        {"format4", &Tmoteur::format4Click},
        {"CheckBox1", &Tmoteur::CheckBox1Click},
        {"Button1", &Tmoteur::Button1Click},
        {"Button2", &Tmoteur::Button2Click},
        {"Button3", &Tmoteur::Button3Click},
        {"Button4", &Tmoteur::Button4Click},
        {"Button5", &Tmoteur::Button5Click},
        {"Button6", &Tmoteur::Button6Click},
        {"Button7", &Tmoteur::Button7Click},
        {"Button8", &Tmoteur::Button8Click},
        {"Button9", &Tmoteur::Button9Click},
        {"Button10", &Tmoteur::Button10Click},
        {"Button11", &Tmoteur::Button11Click},
        {"Button12", &Tmoteur::Button12Click},
        {"Button13", &Tmoteur::Button13Click},
        {"Button14", &Tmoteur::Button14Click},
        {"Button15", &Tmoteur::Button15Click},
        {"Button16", &Tmoteur::Button16Click},
        {"Panel8", &Tmoteur::Panel8Click},
        // The base's measure and the official time, in their own dialogs.
        {"mesure_depart", &Tmoteur::mesure_departClick},
        {"mesure_arrivee", &Tmoteur::mesure_arriveeClick},
        {"mesure_appliquer", &Tmoteur::mesure_appliquerClick},
        {"mesure_enregistrer", &Tmoteur::mesure_enregistrerClick},
        {"valid_heure_officielle", &Tmoteur::valid_heure_officielleClick},
        {"raz_heure_officielle", &Tmoteur::raz_heure_officielleClick},
        // The notice of a step of the computer's clock, put away.
        {"la_horloge", &Tmoteur::la_horlogeClick},
    };
    return liste;
}

Tgestionnaire gestionnaire_clic(std::string_view nom) {
    for (const Tclic& c : clics())
        if (c.nom == nom) return c.gestionnaire;
    return nullptr;
}

namespace {

const std::string_view noms_cases[] = {"cb_marche_ar", "cad_on",  "format1",       "format2",
                                       "format3",      "format4", "cb_offcet_cad", "CheckBox1"};

} // namespace

Tmodele_case* case_nommee(Tmoteur& m, std::string_view nom) {
    Tmodele_case* const cases[] = {&m.cb_marche_ar, &m.cad_on,  &m.format1,       &m.format2,
                                   &m.format3,      &m.format4, &m.cb_offcet_cad, &m.CheckBox1};
    for (std::size_t i = 0; i < std::size(cases); ++i)
        if (noms_cases[i] == nom) return cases[i];
    return nullptr;
}

bool est_une_case(std::string_view nom) {
    return std::find(std::begin(noms_cases), std::end(noms_cases), nom) != std::end(noms_cases);
}

namespace {

const std::string_view champs_simples[] = {
    "ed_seuil_conf", "ed_fichier_rallye", "ed_offcet_cad", "cb_num_etal",        "cb_heure_zr",
    "cb_min_zr",     "cb_sec_zr",         "ZONE",          "ed_heure_officielle"};

Tmodele_champ* champ_simple(Tmoteur& m, std::string_view nom) {
    Tmodele_champ* const champs[] = {
        &m.ed_seuil_conf,      &m.ed_fichier_rallye, &m.ed_offcet_cad, &m.cb_num_etal,
        &m.cb_heure_zr,        &m.cb_min_zr,         &m.cb_sec_zr,     &m.ZONE,
        &m.ed_heure_officielle};
    for (std::size_t i = 0; i < std::size(champs); ++i)
        if (champs_simples[i] == nom) return champs[i];
    return nullptr;
}

Tmodele_memo* memo_nomme(Tmoteur& m, std::string_view nom) {
    if (nom == "memo_kms") return &m.memo_kms;
    if (nom == "memo_moy") return &m.memo_moy;
    return nullptr;
}

} // namespace

bool ecrit_champ(Tmoteur& m, std::string_view nom, const std::string& texte) {
    if (Tmodele_champ* c = champ_simple(m, nom)) {
        c->ecrit_texte(texte);
        return true;
    }
    if (Tmodele_memo* memo = memo_nomme(m, nom)) {
        memo->ecrit_texte(texte);
        return true;
    }
    return false;
}

bool est_un_champ(std::string_view nom) {
    return nom == "memo_kms" || nom == "memo_moy" ||
           std::find(std::begin(champs_simples), std::end(champs_simples), nom) !=
               std::end(champs_simples);
}

const std::vector<Tchoix>& choix() {
    static const std::vector<Tchoix> liste{
        {"cb_num_etal", &Tmoteur::cb_num_etal, &Tmoteur::lire_donnee_etalonnage},
        {"ZONE", &Tmoteur::ZONE, &Tmoteur::choisir_la_zr},
        // The base's length: the pair is shown again at each keystroke.
        {"ed_base_mesure", &Tmoteur::ed_base_mesure, &Tmoteur::calcule_mesure},
    };
    return liste;
}

const Tchoix* choix_nomme(std::string_view nom) {
    const auto& l = choix();
    const auto i = std::find_if(l.begin(), l.end(), [&](const Tchoix& c) { return c.nom == nom; });
    return i == l.end() ? nullptr : &*i;
}
