#include "moteur.h"

#include <string>
#include <vector>

namespace {

// "00" to "nn-1": the lists of the start-time combo boxes.
std::vector<std::string> de_00_a(int n) {
    std::vector<std::string> v;
    for (int i = 0; i < n; ++i)
        v.push_back(deux_chiffres(i));
    return v;
}

std::vector<std::string> zones() {
    std::vector<std::string> v{"AUCUNE"};
    for (int i = 1; i <= 30; ++i)
        v.push_back("ZR" + std::to_string(i));
    return v;
}

} // namespace

Tmoteur::Tmoteur(Iservices& s)
    : services(s), cb_heure_zr("00", de_00_a(24)), cb_min_zr("00", de_00_a(60)),
      cb_sec_zr("00", {"00", "15", "30", "45"}),
      ZONE("", zones()), labels_total{&la_tot_m,     &la_tot_dixm,     &la_tot_centm,
                                      &la_tot_kilom, &la_tot_dixkilom, &la_tot_centkilom},
      labels_partiel{&la_par_m,     &la_par_dixm,     &la_par_centm,
                     &la_par_kilom, &la_par_dixkilom, &la_par_centkilom},
      labels_cadenceur{&la_cad_m,     &la_cad_dixm,     &la_cad_centm,
                       &la_cad_kilom, &la_cad_dixkilom, &la_cad_centkilom} {
    // Any change of the schedule or of the start time, typed or written by the
    // program, means it is no longer the validated one.
    for (Tmodele_controle* c : std::initializer_list<Tmodele_controle*>{
             &memo_kms, &memo_moy, &cb_heure_zr, &cb_min_zr, &cb_sec_zr})
        c->sur_changement = [this] { panel_rouge(); };
    ScrollBar1.sur_changement = [this] { ScrollBar1Change(); };
    // Shown when the computer's clock steps, and only then.
    la_horloge.ecrit_visible(false);
}

void Tmoteur::panel_rouge() {
    Panel6.ecrit_couleur(Tcouleur::rouge);
}
