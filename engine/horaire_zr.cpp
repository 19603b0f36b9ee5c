// PLACEHOLDER: replaced by the real implementation before this lands.
#include "moteur.h"
#include <stdexcept>
void Tmoteur::choisir_rallyeClick() { throw std::logic_error("choisir_rallyeClick: à écrire"); }
void Tmoteur::choisir_la_zr() { throw std::logic_error("choisir_la_zr: à écrire"); }
void Tmoteur::valid_heure_zrClick() { throw std::logic_error("valid_heure_zrClick: à écrire"); }
void Tmoteur::transforme_virgule_point() { throw std::logic_error("transforme_virgule_point: à écrire"); }
