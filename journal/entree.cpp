#include "entree.h"

#include "commandes.h"

bool Tentree::distribue(const Tevenement& e) {
    if (observateur) observateur->avant(e);
    bool traite = false;
    moteur_.distribue([&] { traite = execute(e); });
    if (observateur) observateur->apres(e);
    return traite;
}

bool Tentree::execute(const Tevenement& e) {
    Tmoteur& m = moteur_;
    switch (e.genre) {
    case Tgenre_evenement::demarrage:
        liaison_.demarrage_hid(installe_crochet, cible_hid);
        m.demarrage();
        break;
    case Tgenre_evenement::fermeture:
        liaison_.fermeture();
        break;
    case Tgenre_evenement::tic1:
        m.Timer1Timer();
        break;
    case Tgenre_evenement::tic2:
        m.Timer2Timer();
        break;
    case Tgenre_evenement::clic:
        if (const Tgestionnaire g = gestionnaire_clic(e.controle)) (m.*g)();
        break;
    case Tgenre_evenement::coche:
        if (Tmodele_case* c = case_nommee(m, e.controle)) c->ecrit_coche(e.valeur != 0);
        break;
    case Tgenre_evenement::texte:
        ecrit_champ(m, e.controle, e.texte);
        break;
    case Tgenre_evenement::choix:
        if (const Tchoix* c = choix_nomme(e.controle)) {
            (m.*(c->modele)).ecrit_texte(e.texte);
            (m.*(c->gestionnaire))();
        }
        break;
    case Tgenre_evenement::defile:
        m.ScrollBar1.ecrit_position(e.valeur);
        break;
    case Tgenre_evenement::hid:
        return liaison_.gestion_evenement_usb(WM_HID_EVENT, e.wparam, e.lparam);
    }
    return false;
}
