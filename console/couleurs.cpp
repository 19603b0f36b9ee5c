#include "couleurs.h"

QColor couleur_systeme(Tcouleur c) {
    switch (c) {
    case Tcouleur::rouge:
        return {255, 0, 0};
    case Tcouleur::vert:
        return {0, 128, 0};
    case Tcouleur::lime:
        return {0, 255, 0};
    case Tcouleur::bleu:
        return {0, 0, 255};
    case Tcouleur::bleu_ciel:
        return {166, 202, 240};
    case Tcouleur::sarcelle:
        return {0, 128, 128};
    case Tcouleur::blanc:
        return {255, 255, 255};
    case Tcouleur::face_bouton:
        return {240, 240, 240};
    case Tcouleur::surbrillance_bouton:
        return {255, 255, 255};
    case Tcouleur::degrade_legende_inactive:
        return {215, 228, 242};
    case Tcouleur::barre_defilement:
        return {200, 200, 200};
    case Tcouleur::fond_bureau:
        return {0, 0, 0};
    case Tcouleur::texte_fenetre:
        return {0, 0, 0};
    }
    return {0, 0, 0};
}
