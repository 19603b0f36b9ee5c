// PLACEHOLDER: replaced by the real implementation before this lands.
#include "moteur.h"
#include <stdexcept>
void Tmoteur::Timer1Timer() { throw std::logic_error("Timer1Timer: à écrire"); }
void Tmoteur::calcul_kilometre_cadenceur() { throw std::logic_error("calcul_kilometre_cadenceur: à écrire"); }
void Tmoteur::calcule_temps_chrono() { throw std::logic_error("calcule_temps_chrono: à écrire"); }
void Tmoteur::valid_offcet_cadClick() { throw std::logic_error("valid_offcet_cadClick: à écrire"); }
void Tmoteur::raz_offcet_cadClick() { throw std::logic_error("raz_offcet_cadClick: à écrire"); }
