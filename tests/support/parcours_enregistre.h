#pragma once
// An engine fed as the window feeds it, through the one entrance, with a scripted clock,
// files and box, its run recorded into a journal: the crew's scenarios written as code.

#include "enregistreur.h"
#include "entree.h"
#include "hid_enregistre.h"
#include "hid_scripte.h"
#include "services_enregistres.h"
#include "services_scriptes.h"

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

class Tparcours_enregistre {
public:
    Tservices_scriptes services;
    Thid_scripte hid;

    // Starts the run at `depart` (tenths of a second since midnight), calibration file in
    // `repertoire`, recorded into `journal`.
    Tparcours_enregistre(const std::string& journal, const std::string& repertoire,
                         std::int32_t depart)
        : Tparcours_enregistre(cree(journal), repertoire, depart) {}
    // `fichier` null: the same run, not recorded.
    Tparcours_enregistre(std::unique_ptr<Tfichier_journal> fichier, const std::string& repertoire,
                         std::int32_t depart)
        : dixiemes_(depart) {
        if (fichier) {
            enregistreur_ = std::make_unique<Tenregistreur>(std::move(fichier), moteur_, "essai",
                                                            "2026-12-07 10:00:00");
            services_.enregistreur = enregistreur_.get();
            hid_.enregistreur = enregistreur_.get();
            entree_.observateur = enregistreur_.get();
        }
        entree_.cible_hid = &cible_;
        services.repertoire = repertoire;
        services.regle_dixiemes(dixiemes_);
        evenement(Tevenement::simple(Tgenre_evenement::demarrage));
    }

    Tmoteur& moteur() { return moteur_; }
    void evenement(const Tevenement& e) { entree_.distribue(e); }
    void clic(const char* nom) { evenement(Tevenement::clic(nom)); }
    void tape(const char* nom, const std::string& t) { evenement(Tevenement::texte_tape(nom, t)); }
    void choisit(const char* nom, const std::string& t) { evenement(Tevenement::choix(nom, t)); }
    void coche(const char* nom, bool c) { evenement(Tevenement::coche(nom, c)); }

    // A box plugged in and announced, its reports switched on.
    THidHandle branche_boitier() {
        boitier_ = hid.branche(VID_BOITIER, PID_BOITIER);
        hid.change_liste();
        return boitier_;
    }
    void debranche_boitier() { hid.debranche(boitier_); }
    // Keys of the remote, sent by the box.
    void touches(std::initializer_list<std::uint8_t> codes) {
        for (std::uint8_t c : codes)
            hid.injecte_rapport(boitier_, {0, c});
    }

    // Drives for `secondes` at `kmh`, ten clock ticks a second, the wheel's revolutions
    // (540 a km) sent by the box when `par_boitier`, by the simulated wheel otherwise.
    void roule(int secondes, double kmh, bool par_boitier = true) {
        for (int i = 0; i < secondes * 10; ++i) {
            tours_dus_ += kmh / 3.6 * 0.1 * 0.54;
            while (tours_dus_ >= 1) {
                tours_dus_ -= 1;
                if (par_boitier)
                    hid.injecte_rapport(boitier_, {0, 48});
                else
                    evenement(Tevenement::simple(Tgenre_evenement::tic2));
            }
            tic();
        }
    }
    // One clock tick, 100 ms later.
    void tic() {
        dixiemes_ = (dixiemes_ + 1) % 864000;
        services.regle_dixiemes(dixiemes_);
        evenement(Tevenement::simple(Tgenre_evenement::tic1));
    }

    // The computer's clock set by `ms` (the crew, a time service), between two ticks.
    void saute(std::int64_t ms) {
        services.saute(ms);
        dixiemes_ = static_cast<std::int32_t>(ms_du_jour(services.horloge) / 100);
    }
    // The laptop asleep for `secondes`: no tick, both clocks move.
    void dort(int secondes) {
        services.avance(std::int64_t{secondes} * 1000);
        dixiemes_ = static_cast<std::int32_t>(ms_du_jour(services.horloge) / 100);
    }

    // Closes the window and the journal.
    void termine() {
        evenement(Tevenement::simple(Tgenre_evenement::fermeture));
        enregistreur_.reset();
    }

private:
    static std::unique_ptr<Tfichier_journal> cree(const std::string& journal) {
        std::string erreur;
        auto fichier = Tfichier_journal::cree(journal, erreur);
        if (!fichier) throw std::runtime_error("journal " + journal + " : " + erreur);
        return fichier;
    }

    // The HID library's notifications, delivered at once as the window's filter would.
    struct Tcible : IHidTarget {
        Tentree& entree;
        explicit Tcible(Tentree& e) : entree(e) {}
        void PostHidEvent(std::uint32_t w, std::uint32_t l) override {
            entree.distribue(Tevenement::hid(w, l));
        }
    };

    // In this order: each is built on the ones above it.
    Tservices_enregistres services_{services, nullptr};
    Thid_enregistre hid_{hid, nullptr};
    Tmoteur moteur_{services_};
    Tliaison_boitier liaison_{moteur_, hid_};
    Tentree entree_{moteur_, liaison_};
    Tcible cible_{entree_};
    std::unique_ptr<Tenregistreur> enregistreur_;
    std::int32_t dixiemes_;
    double tours_dus_ = 0;
    THidHandle boitier_ = 0;
};
