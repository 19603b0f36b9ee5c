// PLACEHOLDER: replaced by the real implementation before this lands.
#include "moteur.h"
#include <stdexcept>
void Tmoteur::mise_a_jour_trip_clavier() { throw std::logic_error("mise_a_jour_trip_clavier: à écrire"); }
void Tmoteur::mise_a_jour_totaliseur() { throw std::logic_error("mise_a_jour_totaliseur: à écrire"); }
