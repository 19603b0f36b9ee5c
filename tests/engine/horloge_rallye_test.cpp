// The rally clock as a crew meets it: the computer's clock set while a zone runs or between
// two, a laptop asleep in the middle of a zone, midnight, and an official time given (HO).
#include "avant_depart.h"
#include "moteur.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::int64_t seconde = 1000, minute = 60 * seconde, heure = 60 * minute;

// An engine started at `depart` on the computer's clock.
struct Tessai {
    Tservices_scriptes s;
    Tmoteur m{s};

    explicit Tessai(Theure_du_jour depart = {9, 59, 0, 0}) {
        s.horloge = depart;
        m.distribue([&] { m.demarrage(); }); // no calibration file: its box
        s.messages.clear();
    }
    void tic() {
        m.distribue([&] { m.Timer1Timer(); });
    }
    // A zone at 36 km/h (10 m a second) from `depart`, validated, ON ticked.
    void zone_a(const std::string& h, const std::string& min) {
        m.memo_kms.ecrit_lignes({"100"});
        m.memo_moy.ecrit_lignes({"36"});
        m.cb_heure_zr.ecrit_texte(h);
        m.cb_min_zr.ecrit_texte(min);
        m.cb_sec_zr.ecrit_texte("00");
        m.distribue([&] { m.valid_heure_zrClick(); });
        ASSERT_TRUE(m.cad_on.coche());
    }
    std::int32_t caden() const { return m.etat.compteur_cadenceur.valeur_en_metres(); }
    std::string heure_affichee() const { return m.Labelheure.texte(); }
    void heure_officielle(const std::string& texte) {
        m.ed_heure_officielle.ecrit_texte(texte);
        m.distribue([&] { m.valid_heure_officielleClick(); });
    }
    std::string depart_propose() const {
        return m.cb_heure_zr.texte() + ":" + m.cb_min_zr.texte() + ":" + m.cb_sec_zr.texte();
    }
};

class HorlogeRallye : public ::testing::Test, protected Tessai {};

// The computer's clock moved by `saut` one second into a zone's minute: CADEN keeps counting
// on the rally clock, the crew is told in red, and the step is told to the journal.
TEST_F(HorlogeRallye, UneZoneGardeSonHeureQuoiQueFasseLHorlogeDeLOrdinateur) {
    struct Tcas {
        const char* quoi;
        std::int64_t saut;
    } const cas[] = {
        {"réglée en arrière de 2,3 s", -2300},
        {"réglée en avance de 2,3 s", 2300},
        {"passée à l'heure d'hiver", -heure},
        {"avancée de 10 min", 10 * minute},
    };
    for (const Tcas& c : cas) {
        SCOPED_TRACE(c.quoi);
        Tessai e;
        auto& s = e.s;
        e.zone_a("10", "00");
        s.horloge = {10, 1, 0, 0};
        e.tic();
        ASSERT_EQ(e.caden(), 600);
        s.saute(c.saut);
        s.avance(seconde);
        e.tic();
        EXPECT_EQ(e.caden(), 610);
        EXPECT_EQ(e.heure_affichee(), " 10:01:01 HO ");
        ASSERT_EQ(s.sauts.size(), 1u);
        EXPECT_EQ(s.sauts[0], (Tsaut_horloge{c.saut, Tsuite_saut::garde_zone}));
        EXPECT_TRUE(e.m.la_horloge.visible());
        EXPECT_EQ(e.m.la_horloge.couleur(), Tcouleur::rouge);
        EXPECT_NE(e.m.la_horloge.texte().find("ZONE EN COURS"), std::string::npos);
        EXPECT_NE(e.m.la_horloge.texte().find(texte_duree_signee(c.saut)), std::string::npos);
        // Seen once: the ticks after it run on, told nothing more.
        s.avance(9 * seconde);
        e.tic();
        EXPECT_EQ(e.caden(), 700);
        EXPECT_EQ(s.sauts.size(), 1u);
        EXPECT_TRUE(s.messages.empty());
    }
}

TEST_F(HorlogeRallye, LaZoneFinieLHeureSuitDeNouveauLOrdinateur) {
    zone_a("10", "00");
    s.horloge = {10, 1, 0, 0};
    tic();
    s.saute(-heure);
    tic();
    EXPECT_EQ(caden(), 600);
    m.cad_on.ecrit_coche(false);
    tic();
    EXPECT_EQ(heure_affichee(), " 09:01:00 ");
    EXPECT_EQ(s.sauts.back(), (Tsaut_horloge{-heure, Tsuite_saut::repris}));
    EXPECT_EQ(m.la_horloge.couleur(), Tcouleur::degrade_legende_inactive);
    // Once followed, the zone's start is an hour ahead: ON again, nothing is run yet.
    m.cad_on.ecrit_coche(true);
    tic();
    EXPECT_EQ(m.etat.dixiemes_ecoules, 0);
}

TEST_F(HorlogeRallye, HorsZoneLHeureSuitLOrdinateurEtLeDepartProposeAussi) {
    tic();
    ASSERT_EQ(depart_propose(), "10:01:00");
    s.saute(2300);
    tic();
    EXPECT_EQ(heure_affichee(), " 09:59:02 ");
    ASSERT_EQ(s.sauts.size(), 1u);
    EXPECT_EQ(s.sauts[0], (Tsaut_horloge{2300, Tsuite_saut::suivi}));
    EXPECT_EQ(m.la_horloge.couleur(), Tcouleur::degrade_legende_inactive);
    s.saute(heure);
    tic();
    EXPECT_EQ(heure_affichee(), " 10:59:02 ");
    EXPECT_EQ(depart_propose(), "11:01:00");
    // The crew's own start time stays the crew's.
    m.cb_min_zr.ecrit_texte("30");
    s.saute(-heure);
    tic();
    EXPECT_EQ(depart_propose(), "11:30:00");
    // Half a second is two clocks read a moment apart, not a step.
    s.saute(500);
    tic();
    EXPECT_EQ(s.sauts.size(), 3u);
    m.distribue([&] { m.la_horlogeClick(); });
    EXPECT_FALSE(m.la_horloge.visible());
}

TEST_F(HorlogeRallye, UnOrdinateurEndormiPendantLaZoneRepartALaBonneCadence) {
    zone_a("10", "00");
    s.horloge = {10, 1, 0, 0};
    tic();
    s.avance(20 * minute);
    tic();
    EXPECT_EQ(caden(), 21 * 600);
    EXPECT_TRUE(s.sauts.empty());
    EXPECT_FALSE(m.la_horloge.visible());
}

TEST_F(HorlogeRallye, MinuitNEstPasUnSaut) {
    s.horloge = {23, 58, 50, 0};
    tic();
    zone_a("23", "59");
    s.horloge = {23, 59, 59, 900};
    tic();
    EXPECT_EQ(caden(), 599);
    s.avance(200);
    tic();
    EXPECT_EQ(heure_affichee(), " 00:00:00 ");
    EXPECT_EQ(caden(), 601);
    // A step across midnight is the step, not a day.
    s.saute(-2300);
    s.avance(seconde);
    tic();
    EXPECT_EQ(caden(), 611);
    ASSERT_EQ(s.sauts.size(), 1u);
    EXPECT_EQ(s.sauts[0].saut_ms, -2300);
}

TEST_F(HorlogeRallye, LHeureOfficielleDonneeNeSuitPasLOrdinateur) {
    s.horloge = {10, 14, 57, 700};
    heure_officielle("10:15"); // the official clock shows 10:15:00 now: 2,3 s ahead
    EXPECT_EQ(m.la_decalage_officiel.texte(), "Heure officielle = heure de l'ordinateur +2,3 s");
    tic();
    EXPECT_EQ(heure_affichee(), " 10:15:00 HO ");
    s.saute(-heure);
    s.avance(seconde);
    tic();
    EXPECT_EQ(heure_affichee(), " 10:15:01 HO ");
    EXPECT_EQ(s.sauts.back(), (Tsaut_horloge{-heure, Tsuite_saut::garde_officielle}));
    EXPECT_EQ(m.la_decalage_officiel.texte(),
              "Heure officielle = heure de l'ordinateur +1 h 00 min 02,3 s");
    m.distribue([&] { m.raz_heure_officielleClick(); });
    tic();
    EXPECT_EQ(heure_affichee(), " 09:14:58 ");
}

// The start proposed at start-up and after an official time given: two minutes after the
// official minute, seconds 0, over midnight too.
TEST_F(HorlogeRallye, LeDepartProposeSuitLHeureOfficielle) {
    struct Tcas {
        Theure_du_jour ordinateur;
        const char* decalage;
        const char* depart;
    } const cas[] = {
        {{10, 0, 0, 0}, "", "10:02:00"},
        {{10, 0, 0, 0}, "-2,3", "10:01:00"},     // 09:59:57,7 official
        {{10, 0, 3, 0}, "-2,3", "10:02:00"},     // 10:00:00,7
        {{10, 0, 0, 0}, "+1.5", "10:02:00"},     // 10:00:01,5
        {{23, 58, 30, 0}, "", "00:00:00"},       // over midnight
        {{23, 57, 59, 800}, "+0,3", "00:00:00"}, // 23:58:00,1
        {{0, 0, 1, 0}, "-1,5", "00:01:00"},      // 23:59:59,5 the day before
    };
    for (const Tcas& c : cas) {
        SCOPED_TRACE(std::string(c.decalage) + " à " + texte_hms(c.ordinateur));
        Tessai e(c.ordinateur);
        if (*c.decalage) e.heure_officielle(c.decalage);
        EXPECT_EQ(e.depart_propose(), c.depart);
    }
}

} // namespace
