#include "ligne_horaire.h"

#include <algorithm>

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
    // A run up to each point at once: a long line costs a copy, not a call a byte.
    for (std::size_t i = debut; i < fin;) {
        const std::size_t point = std::min(ligne.find('.', i), fin);
        texte.append(ligne.substr(i, point - i));
        if (point == fin) break;
        texte += separateur;
        i = point + 1;
    }
    return texte;
}
