#include "ligne_horaire.h"

namespace {

bool est_blanc_ou_controle(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

std::string prepare_ligne_horaire(std::string_view ligne, std::string_view separateur) {
    std::size_t debut = 0;
    std::size_t fin = ligne.size();
    while (debut < fin && est_blanc_ou_controle(ligne[debut]))
        ++debut;
    while (fin > debut && est_blanc_ou_controle(ligne[fin - 1]))
        --fin;
    std::string texte;
    texte.reserve(fin - debut);
    for (std::size_t i = debut; i < fin; ++i) {
        if (ligne[i] == '.')
            texte += separateur;
        else
            texte += ligne[i];
    }
    return texte;
}
