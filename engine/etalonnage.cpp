// PLACEHOLDER: replaced by the real implementation before this lands.
#include "moteur.h"
#include <stdexcept>
void Tmoteur::lecture_etalonnage_demarrage() { throw std::logic_error("lecture_etalonnage_demarrage: à écrire"); }
void Tmoteur::lire_donnee_etalonnage() { throw std::logic_error("lire_donnee_etalonnage: à écrire"); }
void Tmoteur::plus_etalClick() { throw std::logic_error("plus_etalClick: à écrire"); }
void Tmoteur::moins_etalClick() { throw std::logic_error("moins_etalClick: à écrire"); }
bool Tmoteur::lit_fichier_etalonnage() { return false; }
void Tmoteur::pas_etalonnage(int) {}
