#pragma once
// The link with the box: start-up steps, the notification handler and the
// close step. It only talks to the box through cUSBInterface, and drives the
// engine through the same entry points as the on-screen simulation.

#include "cUSBInterface.h"

#include <cstdint>
#include <functional>

class Tmoteur;

class Tliaison_boitier {
public:
    Tliaison_boitier(Tmoteur& moteur, cUSBInterface& hid);

    // The HID steps of start-up: box absent, Panel1 red, the hook installed
    // (`installe_crochet` is the window's means of routing WM_HID_EVENT messages
    // to gestion_evenement_usb), then Connect to `cible`.
    void demarrage_hid(const std::function<void()>& installe_crochet, IHidTarget* cible);

    // One window message; true when handled (it then goes no further). Runs inside the
    // engine's dispatcher: an error of the keypad's handler leaves through it.
    bool gestion_evenement_usb(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam);

    // The window's close step: the close report 0, 0 while the box is present.
    void fermeture();

private:
    // The box is vendor 0x04D8, product 0; the product is asked only when the vendor matches.
    bool est_le_boitier(THidHandle handle);
    // What SetReadNotify answered for the box: green once it is read, red with the reason
    // in Panel1's hint while it cannot be opened.
    void montre_lecture(THidResult lecture);
    void rapport_du_boitier();

    Tmoteur& moteur_;
    cUSBInterface& hid_;
};
