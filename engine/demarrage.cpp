// The engine's part of the window's creation, in the order the crew's displays rely on.
#include "moteur.h"

void Tmoteur::demarrage() {
    etat.cumul_total = 0;
    etat.cumul_partiel = 0;
    etat.compteur_total.remet_a_zero();
    etat.saisie_maj.clear();
    cb_marche_ar.ecrit_coche(false);
    pa_vert.ecrit_couleur(Tcouleur::lime);
    etat.compteur_cadenceur.remet_a_zero();
    la_cad_centkilom.ecrit_visible(false);
    la_par_centkilom.ecrit_visible(false);
    la_tot_centkilom.ecrit_visible(false);
    la_ecart.ecrit_texte(".   0.");
    etat.decalage_cad = 0;
    Labelchrono.ecrit_texte(" 0:00:00 ");
    ScrollBar1.ecrit_position(45);
    Timer2.ecrit_intervalle(intervalle_revolution(ScrollBar1.position()));
    Timer2.ecrit_actif(false);
    etat.virgule_saisie = false;
    etat.nbr_chiffres_avant = 0;
    etat.nbr_chiffres_apres = 0;
    heure_depart_par_defaut();
    Panel6.ecrit_couleur(Tcouleur::rouge);
    Panel_sonde.ecrit_couleur(Tcouleur::bleu_ciel);
    etat.nbr_lignes_zr = 1;
    etat.seuil = 20;
    seuil_haut.ecrit_texte("+" + std::to_string(etat.seuil));
    seuil_bas.ecrit_texte("-" + std::to_string(etat.seuil));
    retard.ecrit_maximum(etat.seuil);
    avance.ecrit_maximum(etat.seuil);
    lecture_etalonnage_demarrage();
}

void Tmoteur::heure_depart_par_defaut() {
    heure_officielle();
    propose_depart();
}

void Tmoteur::propose_depart() {
    const Theure_du_jour h = heure_officielle_lue();
    etat.min_zr = h.minutes + 2;
    etat.heure_zr = h.heures;
    etat.sec_zr = 0;
    if (etat.min_zr > 59) {
        etat.min_zr -= 60;
        etat.heure_zr = h.heures + 1;
        if (etat.heure_zr > 23) etat.heure_zr = 0;
    }
    cb_heure_zr.ecrit_texte(deux_chiffres(etat.heure_zr));
    cb_min_zr.ecrit_texte(deux_chiffres(etat.min_zr));
    cb_sec_zr.ecrit_texte("00");
    etat.depart_propose = true;
}

void Tmoteur::propose_depart_si_libre() {
    if (etat.depart_propose && cb_heure_zr.texte() == deux_chiffres(etat.heure_zr) &&
        cb_min_zr.texte() == deux_chiffres(etat.min_zr) && cb_sec_zr.texte() == "00")
        propose_depart();
}
