// The link with the box, call by call against the scripted HID library.
#include "hid_scripte.h"
#include "liaison_boitier.h"
#include "moteur.h"
#include "services_scriptes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using Targuments = std::vector<std::int64_t>;

// The window's side: each notification goes straight to the link, through the dispatcher.
class Tfenetre_test : public IHidTarget {
public:
    Tfenetre_test(Tmoteur& m, Tliaison_boitier& l) : moteur_(m), liaison_(l) {}
    void PostHidEvent(std::uint32_t wParam, std::uint32_t lParam) override {
        traite.push_back(envoie(WM_HID_EVENT, wParam, lParam));
    }
    bool envoie(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam) {
        bool r = false;
        moteur_.distribue([&] { r = liaison_.gestion_evenement_usb(message, wParam, lParam); });
        return r;
    }
    std::vector<bool> traite; // what the link answered, notification by notification

private:
    Tmoteur& moteur_;
    Tliaison_boitier& liaison_;
};

class LiaisonBoitier : public ::testing::Test {
protected:
    LiaisonBoitier() {
        // One revolution is 2 m; the sensor square starts sky blue, as after start-up.
        moteur.etat.dist_etal = 2;
        moteur.etat.tours_etal = 1;
        moteur.Panel_sonde.ecrit_couleur(Tcouleur::bleu_ciel);
        liaison.demarrage_hid({}, &fenetre);
        hid.appels.clear();
    }
    // The box plugged in and its reports switched on, as the library announces it.
    THidHandle boitier_branche_et_lu() {
        const THidHandle h = hid.branche(VID_BOITIER, PID_BOITIER);
        hid.change_liste();
        hid.appels.clear();
        fenetre.traite.clear();
        return h;
    }
    std::string total() const {
        std::string t;
        for (auto it = moteur.labels_total.rbegin(); it != moteur.labels_total.rend(); ++it)
            t += (*it)->texte();
        return t;
    }
    std::string partiel() const {
        std::string t;
        for (auto it = moteur.labels_partiel.rbegin(); it != moteur.labels_partiel.rend(); ++it)
            t += (*it)->texte();
        return t;
    }

    Tservices_scriptes services;
    Tmoteur moteur{services};
    Thid_scripte hid;
    Tliaison_boitier liaison{moteur, hid};
    Tfenetre_test fenetre{moteur, liaison};
};

TEST(LiaisonBoitierDemarrage, LeBoitierEstAbsentPanel1RougeEtLeCrochetPoseAvantConnect) {
    Tservices_scriptes services;
    Tmoteur moteur{services};
    moteur.etat.boitier_present = true;
    moteur.Panel1.ecrit_couleur(Tcouleur::vert);
    Thid_scripte hid;
    Tliaison_boitier liaison{moteur, hid};
    Tfenetre_test fenetre{moteur, liaison};

    std::size_t appels_au_crochet = 99;
    Tcouleur panel1_au_crochet = Tcouleur::vert;
    liaison.demarrage_hid(
        [&] {
            appels_au_crochet = hid.appels.size();
            panel1_au_crochet = moteur.Panel1.couleur();
        },
        &fenetre);

    EXPECT_FALSE(moteur.etat.boitier_present);
    EXPECT_EQ(moteur.Panel1.couleur(), Tcouleur::rouge);
    EXPECT_EQ(panel1_au_crochet, Tcouleur::rouge);
    EXPECT_EQ(appels_au_crochet, 0u);
    EXPECT_THAT(hid.operations(), ElementsAre("Connect"));
    // Connect gave the link's notifications to the window.
    hid.branche(VID_BOITIER, PID_BOITIER);
    EXPECT_EQ(moteur.Panel1.couleur(), Tcouleur::vert);
}

TEST_F(LiaisonBoitier, LeBoitierBrancheAllumePanel1EnVert) {
    const THidHandle h = hid.branche(VID_BOITIER, PID_BOITIER);

    EXPECT_THAT(fenetre.traite, ElementsAre(true));
    EXPECT_TRUE(moteur.etat.boitier_present);
    EXPECT_EQ(moteur.Panel1.couleur(), Tcouleur::vert);
    EXPECT_EQ(moteur.etat.handle_boitier, h);
    EXPECT_THAT(hid.operations(), ElementsAre("GetVendorID", "GetProductID"));
    EXPECT_EQ(hid.appels[0].arguments, Targuments{h});
    EXPECT_EQ(hid.appels[1].arguments, Targuments{h});
}

struct Tautre_peripherique {
    THidId vid;
    THidId pid;
    std::vector<std::string> operations;
};

void PrintTo(const Tautre_peripherique& p, std::ostream* os) {
    *os << std::hex << p.vid << ":" << p.pid;
}

class UnAutrePeripheriqueBranche : public LiaisonBoitier,
                                   public ::testing::WithParamInterface<Tautre_peripherique> {};

TEST_P(UnAutrePeripheriqueBranche, NeChangeRienEtNEstPasTraite) {
    const THidHandle h = hid.branche(GetParam().vid, GetParam().pid);

    EXPECT_THAT(fenetre.traite, ElementsAre(false));
    EXPECT_FALSE(moteur.etat.boitier_present);
    EXPECT_EQ(moteur.Panel1.couleur(), Tcouleur::rouge);
    EXPECT_EQ(moteur.etat.handle_boitier, h);
    EXPECT_EQ(hid.operations(), GetParam().operations);
}

INSTANTIATE_TEST_SUITE_P(Peripheriques, UnAutrePeripheriqueBranche,
                         ::testing::Values(
                             // Same maker, another product: the product id is asked and refused.
                             Tautre_peripherique{VID_BOITIER, 1, {"GetVendorID", "GetProductID"}},
                             // Another maker: the product id is never asked.
                             Tautre_peripherique{0x046D, 0, {"GetVendorID"}},
                             Tautre_peripherique{0x04D9, 0, {"GetVendorID"}}));

TEST_F(LiaisonBoitier, LeBoitierDebrancheRallumePanel1EnRougeEtLaFermetureNEnvoieRien) {
    const THidHandle h = hid.branche(VID_BOITIER, PID_BOITIER);
    hid.debranche(h);

    EXPECT_THAT(fenetre.traite, ElementsAre(true, true));
    EXPECT_FALSE(moteur.etat.boitier_present);
    EXPECT_EQ(moteur.Panel1.couleur(), Tcouleur::rouge);

    hid.appels.clear();
    liaison.fermeture();
    EXPECT_THAT(hid.appels, IsEmpty());
    EXPECT_THAT(hid.ecrits, IsEmpty());
}

TEST_F(LiaisonBoitier, UnAutrePeripheriqueDebrancheEstTraiteSansRienChanger) {
    hid.branche(VID_BOITIER, PID_BOITIER);
    const THidHandle souris = hid.branche(0x046D, 0xC077);
    fenetre.traite.clear();

    hid.debranche(souris);

    EXPECT_THAT(fenetre.traite, ElementsAre(true));
    EXPECT_TRUE(moteur.etat.boitier_present);
    EXPECT_EQ(moteur.Panel1.couleur(), Tcouleur::vert);
    EXPECT_EQ(moteur.etat.handle_boitier, souris);
}

TEST_F(LiaisonBoitier, LaFermetureAvecLeBoitierEnvoieLeRapport00UneFois) {
    const THidHandle h = hid.branche(VID_BOITIER, PID_BOITIER);
    moteur.etat.tampon_usb_sortie[1] = 7; // whatever it held, the report sent is 0, 0
    hid.appels.clear();

    liaison.fermeture();

    ASSERT_THAT(hid.operations(), ElementsAre("GetHandle", "Write"));
    EXPECT_EQ(hid.appels[0].arguments, (Targuments{0x04D8, 0}));
    EXPECT_EQ(hid.appels[1].arguments, (Targuments{h, 0, 0}));
    EXPECT_THAT(hid.ecrits, ElementsAre(std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(moteur.etat.handle_boitier, h);
}

TEST_F(LiaisonBoitier, LaFermetureSansBoitierNAppelleRien) {
    hid.branche(0x046D, 0xC077);
    hid.appels.clear();
    liaison.fermeture();
    EXPECT_THAT(hid.appels, IsEmpty());
}

TEST_F(LiaisonBoitier, UnChangementDeListeSansBoitierActiveQuandMemeLaLecture) {
    hid.handle_si_absent = 77; // whatever GetHandle gives is passed on untested
    hid.change_liste();

    EXPECT_THAT(fenetre.traite, ElementsAre(true));
    ASSERT_THAT(hid.operations(), ElementsAre("GetHandle", "SetReadNotify"));
    EXPECT_EQ(hid.appels[0].arguments, (Targuments{0x04D8, 0}));
    EXPECT_EQ(hid.appels[1].arguments, (Targuments{77, -1}));
    EXPECT_EQ(moteur.etat.handle_boitier, 77u);
}

TEST_F(LiaisonBoitier, UnChangementDeListeActiveLaLectureDuBoitier) {
    hid.branche(0x046D, 0xC077);
    const THidHandle h = hid.branche(VID_BOITIER, PID_BOITIER);
    hid.appels.clear();

    hid.change_liste();

    ASSERT_THAT(hid.operations(), ElementsAre("GetHandle", "SetReadNotify"));
    EXPECT_EQ(hid.appels[1].arguments, (Targuments{h, -1}));
    EXPECT_TRUE(hid.lecture_notifiee(h));
}

// What the library answers when the box's reports are switched on, and what ETAT USB shows.
struct Tlecture {
    THidResult reponse;
    Tcouleur couleur;
    const char* dans_la_bulle; // empty: the form's own hint
};

void PrintTo(const Tlecture& l, std::ostream* os) {
    *os << l.reponse;
}

class LectureDuBoitier : public LiaisonBoitier, public ::testing::WithParamInterface<Tlecture> {};

TEST_P(LectureDuBoitier, SeVoitSurPanel1EtSaBulle) {
    const THidHandle h = hid.branche(VID_BOITIER, PID_BOITIER);
    hid.ouverture = GetParam().reponse;
    hid.change_liste();
    EXPECT_EQ(moteur.Panel1.couleur(), GetParam().couleur);
    const std::string attendu = GetParam().dans_la_bulle;
    if (attendu.empty())
        EXPECT_EQ(moteur.Panel1.bulle(), "");
    else
        EXPECT_THAT(moteur.Panel1.bulle(), ::testing::HasSubstr(attendu));
    EXPECT_TRUE(moteur.etat.boitier_present);

    // It opens at last: green. Then unplugged: red, with the form's own hint.
    hid.ouverture = 1;
    hid.change_liste();
    EXPECT_EQ(moteur.Panel1.couleur(), Tcouleur::vert);
    EXPECT_EQ(moteur.Panel1.bulle(), "");
    hid.ouverture = GetParam().reponse;
    hid.change_liste();
    hid.debranche(h);
    EXPECT_EQ(moteur.Panel1.couleur(), Tcouleur::rouge);
    EXPECT_EQ(moteur.Panel1.bulle(), "");
}

INSTANTIATE_TEST_SUITE_P(Reponses, LectureDuBoitier,
                         ::testing::Values(Tlecture{1, Tcouleur::vert, ""},
                                           Tlecture{HID_OCCUPE, Tcouleur::rouge,
                                                    "un autre programme l'a ouvert"},
                                           Tlecture{HID_OUVERTURE_REFUSEE, Tcouleur::rouge,
                                                    "le système refuse de l'ouvrir"}));

TEST_F(LiaisonBoitier, ChaqueTourDeRoueAvanceLeTripEtAlterneLaSonde) {
    const THidHandle h = boitier_branche_et_lu();

    hid.injecte_rapport(h, {0, 48});
    EXPECT_EQ(total(), "000002");
    EXPECT_EQ(partiel(), "000002");
    EXPECT_EQ(moteur.Panel_sonde.couleur(), Tcouleur::bleu);
    EXPECT_EQ(moteur.etat.touche, 48);

    hid.injecte_rapport(h, {0, 48});
    EXPECT_EQ(total(), "000004");
    EXPECT_EQ(moteur.Panel_sonde.couleur(), Tcouleur::bleu_ciel);

    hid.injecte_rapport(h, {0, 48});
    EXPECT_EQ(moteur.Panel_sonde.couleur(), Tcouleur::bleu);

    EXPECT_THAT(fenetre.traite, ElementsAre(true, true, true));
    EXPECT_THAT(services.messages, IsEmpty());
    ASSERT_EQ(hid.appels.size(), 9u);
    EXPECT_EQ(hid.appels[2].operation, "Read");
    EXPECT_EQ(hid.appels[2].arguments, (Targuments{h, taille_tampon_usb_entree}));
}

TEST_F(LiaisonBoitier, UneSondeQuiNEstPasBleuCielLeDevient) {
    const THidHandle h = boitier_branche_et_lu();
    moteur.Panel_sonde.ecrit_couleur(Tcouleur::face_bouton);
    hid.injecte_rapport(h, {0, 48});
    EXPECT_EQ(moteur.Panel_sonde.couleur(), Tcouleur::bleu_ciel);
}

TEST_F(LiaisonBoitier, LesRapportsDuBoitierComptentMemeSansAnnonceDeBranchement) {
    // The box was there before the link connected: no plugged notification ever came.
    Thid_scripte deja;
    const THidHandle h = deja.branche(VID_BOITIER, PID_BOITIER);
    Tliaison_boitier l{moteur, deja};
    Tfenetre_test f{moteur, l};
    l.demarrage_hid({}, &f);
    deja.change_liste();

    deja.injecte_rapport(h, {0, 48});

    EXPECT_FALSE(moteur.etat.boitier_present);
    EXPECT_EQ(total(), "000002");
}

class UnCodeHorsClavier : public LiaisonBoitier, public ::testing::WithParamInterface<int> {};

TEST_P(UnCodeHorsClavier, NeChangeQueTouche) {
    const THidHandle h = boitier_branche_et_lu();
    moteur.etat.touche = 3;

    hid.injecte_rapport(h, {0, static_cast<std::uint8_t>(GetParam()), 48, 12});

    EXPECT_EQ(moteur.etat.touche, GetParam());
    EXPECT_THAT(fenetre.traite, ElementsAre(true));
    EXPECT_EQ(total(), "000000");
    EXPECT_EQ(moteur.Panel_sonde.couleur(), Tcouleur::bleu_ciel);
    EXPECT_EQ(moteur.la_maj_trip.texte(), "............");
    // The keypad was not reached: nothing it does, nor any error box, shows.
    EXPECT_THAT(services.messages, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Codes, UnCodeHorsClavier, ::testing::Values(17, 47, 49, 255));

TEST_F(LiaisonBoitier, UnRapportDUnAutrePeripheriqueNEstPasLu) {
    boitier_branche_et_lu();
    const THidHandle clavier = hid.branche(0x046D, 0xC31C);
    hid.SetReadNotify(clavier, HID_TRUE);
    moteur.etat.touche = 5;
    hid.appels.clear();
    fenetre.traite.clear();

    hid.injecte_rapport(clavier, {0, 48});

    EXPECT_THAT(fenetre.traite, ElementsAre(true));
    EXPECT_THAT(hid.operations(), ElementsAre("GetVendorID"));
    EXPECT_EQ(moteur.etat.touche, 5);
    EXPECT_EQ(total(), "000000");
}

TEST_F(LiaisonBoitier, UneAnnonceDeRapportSansRapportNeRejoueRien) {
    const THidHandle h = boitier_branche_et_lu();
    hid.injecte_rapport(h, {0, 48});
    moteur.etat.touche = 9;

    // A notification with no report behind it: the buffer still holds the last code.
    EXPECT_TRUE(fenetre.envoie(WM_HID_EVENT, NOTIFY_READ, h));

    EXPECT_EQ(total(), "000002");
    EXPECT_EQ(moteur.Panel_sonde.couleur(), Tcouleur::bleu);
    EXPECT_EQ(moteur.etat.touche, 9);
}

TEST_F(LiaisonBoitier, LesAutresMessagesEtGenresNeSontPasTraites) {
    const THidHandle h = boitier_branche_et_lu();
    struct Tcas {
        std::uint32_t message, wParam;
    };
    for (const Tcas c :
         {Tcas{0x80C7, NOTIFY_PLUGGED}, Tcas{0x80C9, NOTIFY_READ}, Tcas{0x0010, NOTIFY_UNPLUGGED},
          Tcas{WM_HID_EVENT, 0}, Tcas{WM_HID_EVENT, 5}, Tcas{WM_HID_EVENT, 0xFFFFFFFF}}) {
        SCOPED_TRACE(testing::Message() << c.message << "/" << c.wParam);
        moteur.etat.handle_boitier = 1234;
        EXPECT_FALSE(fenetre.envoie(c.message, c.wParam, h));
        EXPECT_EQ(moteur.etat.handle_boitier, 1234u);
    }
    EXPECT_THAT(hid.appels, IsEmpty());
    EXPECT_TRUE(moteur.etat.boitier_present);
}

// ---- Keys of the remote --------------------------------------------------------------------
// Seen through the keypad's own effects (code 12 is +2 m): this needs the keypad in place and
// skips itself while it is still a stand-in that throws std::logic_error.

bool clavier_en_place() {
    Tservices_scriptes s;
    Tmoteur m{s};
    m.etat.touche = 17;
    try {
        m.mise_a_jour_trip_clavier();
    } catch (const std::logic_error&) {
        return false;
    } catch (...) {
    }
    return true;
}

TEST_F(LiaisonBoitier, LesTouchesDeLaTelecommandeAgissentSurLeTrip) {
    if (!clavier_en_place()) GTEST_SKIP() << "the keypad is not in place yet";
    const THidHandle h = boitier_branche_et_lu();
    hid.injecte_rapport(h, {0, 48}); // TOTAL and PARTIEL at 2 m

    hid.injecte_rapport(h, {0, 12}); // +2 m
    EXPECT_EQ(moteur.etat.touche, 12);
    EXPECT_EQ(total(), "000004");

    hid.injecte_rapport(h, {0, 0}); // the digit 0 starts the entry
    EXPECT_EQ(moteur.etat.touche, 0);
    EXPECT_EQ(moteur.la_maj_trip.texte(), "0");

    hid.injecte_rapport(h, {0, 11}); // clear
    hid.injecte_rapport(h, {0, 16}); // red button on an empty entry: PARTIEL restarts
    EXPECT_EQ(moteur.etat.touche, 16);
    EXPECT_EQ(partiel(), "000000");
    EXPECT_EQ(total(), "000004");

    EXPECT_THAT(services.messages, IsEmpty());
}

} // namespace
