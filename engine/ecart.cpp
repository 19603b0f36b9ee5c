// PLACEHOLDER: replaced by the real implementation before this lands.
#include "moteur.h"
#include <stdexcept>
void Tmoteur::calcule_et_affiche_ecart() { throw std::logic_error("calcule_et_affiche_ecart: à écrire"); }
void Tmoteur::mise_a_jour_aff_deporte() { throw std::logic_error("mise_a_jour_aff_deporte: à écrire"); }
void Tmoteur::valid_seuilClick() { throw std::logic_error("valid_seuilClick: à écrire"); }
