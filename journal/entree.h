#pragma once
// The one entrance of the engine: each event, described, runs through the engine's
// dispatcher. The window sends the crew's events here, and a replay the journal's, so
// that a replayed run takes exactly the recorded run's road.

#include "evenement.h"
#include "liaison_boitier.h"
#include "moteur.h"

#include <functional>

// Told of every event before and after it runs (the journal's recorder).
class Iobservateur_entree {
public:
    virtual ~Iobservateur_entree() = default;
    virtual void avant(const Tevenement& e) = 0;
    virtual void apres(const Tevenement& e) = 0;
};

class Tentree {
public:
    Tentree(Tmoteur& moteur, Tliaison_boitier& liaison) : moteur_(moteur), liaison_(liaison) {}

    // What the start-up gives the link: the window's means of routing HID notifications
    // to it, and where the HID library posts them.
    std::function<void()> installe_crochet;
    IHidTarget* cible_hid = nullptr;
    Iobservateur_entree* observateur = nullptr;

    // Runs one event; for a HID notification, whether the link handled it.
    bool distribue(const Tevenement& e);

    Tmoteur& moteur() { return moteur_; }

private:
    bool execute(const Tevenement& e);

    Tmoteur& moteur_;
    Tliaison_boitier& liaison_;
};
