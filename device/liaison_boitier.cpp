// The link with the box: its presence on Panel1, wheel revolutions and keys
// handed to the engine, and the close report. A box plugged that cannot be read is
// not shown present: Panel1 stays red and its hint says why.
#include "liaison_boitier.h"

#include "moteur.h"

namespace {

constexpr std::uint8_t code_tour_de_roue = 48;
constexpr std::uint8_t dernier_code_clavier = 16;

const char* const bulle_occupe =
    "Boîtier branché mais inutilisable : un autre programme l'a ouvert sans le partager. "
    "Fermez ce programme : le boîtier sera lu dès qu'il sera libre.";
const char* const bulle_refuse =
    "Boîtier branché mais le système refuse de l'ouvrir. Nouvel essai en cours ; "
    "débranchez-le et rebranchez-le si cela dure.";

} // namespace

Tliaison_boitier::Tliaison_boitier(Tmoteur& moteur, cUSBInterface& hid)
    : moteur_(moteur), hid_(hid) {}

void Tliaison_boitier::demarrage_hid(const std::function<void()>& installe_crochet,
                                     IHidTarget* cible) {
    moteur_.etat.boitier_present = false;
    moteur_.Panel1.ecrit_couleur(Tcouleur::rouge);
    if (installe_crochet) installe_crochet();
    hid_.Connect(cible);
}

bool Tliaison_boitier::est_le_boitier(THidHandle handle) {
    return hid_.GetVendorID(handle) == VID_BOITIER && hid_.GetProductID(handle) == PID_BOITIER;
}

bool Tliaison_boitier::gestion_evenement_usb(std::uint32_t message, std::uint32_t wParam,
                                             std::uint32_t lParam) {
    if (message != WM_HID_EVENT) return false;
    Tetat_regularite& e = moteur_.etat;
    switch (wParam) {
    case NOTIFY_PLUGGED:
        e.handle_boitier = lParam;
        if (!est_le_boitier(lParam)) return false;
        e.boitier_present = true;
        moteur_.Panel1.ecrit_bulle("");
        moteur_.Panel1.ecrit_couleur(Tcouleur::vert);
        return true;
    case NOTIFY_UNPLUGGED:
        e.handle_boitier = lParam;
        if (est_le_boitier(lParam)) {
            moteur_.Panel1.ecrit_bulle("");
            moteur_.Panel1.ecrit_couleur(Tcouleur::rouge);
            e.boitier_present = false;
        }
        return true;
    case NOTIFY_CHANGED:
        e.handle_boitier = hid_.GetHandle(VID_BOITIER, PID_BOITIER);
        montre_lecture(hid_.SetReadNotify(e.handle_boitier, HID_TRUE));
        return true;
    case NOTIFY_READ:
        e.handle_boitier = lParam;
        if (est_le_boitier(lParam)) rapport_du_boitier();
        return true;
    default:
        return false;
    }
}

void Tliaison_boitier::montre_lecture(THidResult lecture) {
    // Without the box Panel1 is red already; 0 is no box plugged under that handle.
    if (!moteur_.etat.boitier_present || lecture == 0) return;
    const bool lue = lecture > 0;
    moteur_.Panel1.ecrit_bulle(lue ? "" : lecture == HID_OCCUPE ? bulle_occupe : bulle_refuse);
    moteur_.Panel1.ecrit_couleur(lue ? Tcouleur::vert : Tcouleur::rouge);
}

void Tliaison_boitier::rapport_du_boitier() {
    Tetat_regularite& e = moteur_.etat;
    const THidResult lus =
        hid_.Read(e.handle_boitier, e.tampon_usb_entree.data(), e.tampon_usb_entree.size());
    // Without a fresh code, byte 1 still holds the previous report's: acting on it again
    // would count a revolution or a key that never came.
    if (lus < 2) return;
    const std::uint8_t code = e.tampon_usb_entree[1];
    e.touche = code;
    if (code == code_tour_de_roue) {
        moteur_.un_tour_de_roue();
        const bool bleu_ciel = moteur_.Panel_sonde.couleur() == Tcouleur::bleu_ciel;
        moteur_.Panel_sonde.ecrit_couleur(bleu_ciel ? Tcouleur::bleu : Tcouleur::bleu_ciel);
    }
    if (code <= dernier_code_clavier) moteur_.mise_a_jour_trip_clavier();
}

void Tliaison_boitier::fermeture() {
    Tetat_regularite& e = moteur_.etat;
    if (!e.boitier_present) return;
    e.tampon_usb_sortie[1] = 0;
    e.handle_boitier = hid_.GetHandle(VID_BOITIER, PID_BOITIER);
    hid_.Write(e.handle_boitier, e.tampon_usb_sortie.data(), e.tampon_usb_sortie.size());
}
