// The simulation strip (revolution timer, on-screen remote) and the display formats.
#include "moteur.h"

std::int32_t Tmoteur::intervalle_revolution(std::int32_t position) {
    // floor((15 x 207 - 23 p) / 15), exact in whole numbers over the scroll bar's range
    const std::int32_t numerateur = 15 * 207 - 23 * position;
    std::int32_t q = numerateur / 15;
    if (numerateur % 15 != 0 && numerateur < 0) --q;
    return q;
}

void Tmoteur::ScrollBar1Change() {
    Timer2.ecrit_intervalle(intervalle_revolution(ScrollBar1.position()));
}

void Tmoteur::CheckBox1Click() { Timer2.ecrit_actif(CheckBox1.coche()); }

void Tmoteur::Timer2Timer() { un_tour_de_roue(); }

void Tmoteur::montre_colonnes(bool metres, bool centaines_km) {
    la_cad_m.ecrit_visible(metres);
    la_par_m.ecrit_visible(metres);
    la_tot_m.ecrit_visible(metres);
    la_cad_centkilom.ecrit_visible(centaines_km);
    la_par_centkilom.ecrit_visible(centaines_km);
    la_tot_centkilom.ecrit_visible(centaines_km);
}

void Tmoteur::format1Click() { montre_colonnes(true, false); }
void Tmoteur::format2Click() { montre_colonnes(false, false); }
void Tmoteur::format3Click() { montre_colonnes(true, true); }
void Tmoteur::format4Click() { montre_colonnes(false, true); }

void Tmoteur::touche_ecran(std::int32_t code) {
    etat.touche = code;
    mise_a_jour_trip_clavier();
}

void Tmoteur::Button1Click() { touche_ecran(14); }
void Tmoteur::Button2Click() { touche_ecran(15); }
void Tmoteur::Button3Click() { touche_ecran(12); }
void Tmoteur::Button4Click() { touche_ecran(13); }
void Tmoteur::Button5Click() { touche_ecran(0); }
void Tmoteur::Button6Click() { touche_ecran(1); }
void Tmoteur::Button7Click() { touche_ecran(2); }
void Tmoteur::Button8Click() { touche_ecran(3); }
void Tmoteur::Button9Click() { touche_ecran(4); }
void Tmoteur::Button10Click() { touche_ecran(5); }
void Tmoteur::Button11Click() { touche_ecran(6); }
void Tmoteur::Button12Click() { touche_ecran(7); }
void Tmoteur::Button13Click() { touche_ecran(8); }
void Tmoteur::Button14Click() { touche_ecran(9); }
void Tmoteur::Button15Click() { touche_ecran(10); }
void Tmoteur::Button16Click() { touche_ecran(11); }
void Tmoteur::Panel8Click() { touche_ecran(16); }
