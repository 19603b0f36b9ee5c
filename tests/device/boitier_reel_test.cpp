// The link over the real HID library, its device source scripted: what the crew
// sees from plugging the box to closing the window.
#include "hid_reel.h"
#include "liaison_boitier.h"
#include "moteur.h"
#include "services_scriptes.h"
#include "source_scriptee.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::string chemin_boitier = "/dev/hidraw1";

class BoitierReel : public ::testing::Test {
protected:
    BoitierReel() {
        moteur.etat.dist_etal = 2;
        moteur.etat.tours_etal = 1;
        auto s = std::make_unique<Tsource_scriptee>();
        source = s.get();
        hid = std::make_unique<Thid_reel>(std::move(s));
        liaison = std::make_unique<Tliaison_boitier>(moteur, *hid);
        liaison->demarrage_hid({}, &file);
    }
    // The window's event loop: the notifications posted so far, up to the n-th, in order.
    void traite_jusqu_a(std::size_t n) {
        const auto avis = file.attend(n);
        ASSERT_EQ(avis.size(), n);
        for (; traites_ < n; ++traites_)
            moteur.distribue([&] {
                liaison->gestion_evenement_usb(WM_HID_EVENT, avis[traites_].first,
                                               avis[traites_].second);
            });
    }

    Tservices_scriptes services;
    Tmoteur moteur{services};
    Tcible_enregistree file;
    Tsource_scriptee* source = nullptr; // owned by hid
    std::unique_ptr<Thid_reel> hid;
    std::unique_ptr<Tliaison_boitier> liaison;
    std::size_t traites_ = 0;
};

TEST_F(BoitierReel, DuBranchementALaFermeture) {
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
    traite_jusqu_a(2); // plugged, list changed
    EXPECT_TRUE(moteur.etat.boitier_present);
    EXPECT_EQ(moteur.Panel1.couleur(), Tcouleur::vert);

    source->envoie(chemin_boitier, {0, 48});
    traite_jusqu_a(3);
    EXPECT_EQ(moteur.la_tot_m.texte(), "2");
    EXPECT_EQ(moteur.etat.touche, 48);

    liaison->fermeture();
    EXPECT_THAT(source->ecrits(chemin_boitier), ElementsAre(std::vector<std::uint8_t>{0, 0}));
    EXPECT_THAT(services.messages, IsEmpty());
}

TEST_F(BoitierReel, UnBoitierQuUnAutreProgrammeTientResteRougeEtDitPourquoiPuisCompte) {
    source->occupe(true);
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
    traite_jusqu_a(2);
    EXPECT_EQ(moteur.Panel1.couleur(), Tcouleur::rouge);
    EXPECT_THAT(moteur.Panel1.bulle(), ::testing::HasSubstr("un autre programme"));

    source->occupe(false);
    traite_jusqu_a(3); // opened at the next try: the list changed for the link
    EXPECT_EQ(moteur.Panel1.couleur(), Tcouleur::vert);
    EXPECT_EQ(moteur.Panel1.bulle(), "");
    source->envoie(chemin_boitier, {0, 48});
    traite_jusqu_a(4);
    EXPECT_EQ(moteur.la_tot_m.texte(), "2");
    EXPECT_THAT(services.messages, IsEmpty());
}

TEST_F(BoitierReel, LeBoitierArracheRepasseAuRougeEtLaFermetureNEnvoieRien) {
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
    traite_jusqu_a(2);
    source->envoie(chemin_boitier, {0, 48});
    file.attend(3);
    source->perd(chemin_boitier);
    // The revolution announced before the box went, handled after, still counts.
    traite_jusqu_a(5);
    EXPECT_EQ(moteur.la_tot_m.texte(), "2");
    EXPECT_FALSE(moteur.etat.boitier_present);
    EXPECT_EQ(moteur.Panel1.couleur(), Tcouleur::rouge);

    liaison->fermeture();
    EXPECT_THAT(source->ecrits(chemin_boitier), IsEmpty());
}

} // namespace
