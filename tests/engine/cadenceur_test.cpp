#include "format_moyenne.h"
#include "moteur.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

using Lignes = std::vector<std::string>;

constexpr std::int32_t dix_heures = 10 * 36000;

class Cadenceur : public ::testing::Test {
protected:
    Tservices_scriptes s;
    Tmoteur m{s};

    void SetUp() override { m.etat.seuil = 20; }

    // Types a schedule and a start time and validates them, as the crew does.
    void valide_zone(const Lignes& kms, const Lignes& moy, const std::string& heure = "10",
                     const std::string& minute = "00", const std::string& seconde = "00") {
        m.memo_kms.ecrit_lignes(kms);
        m.memo_moy.ecrit_lignes(moy);
        m.cb_heure_zr.ecrit_texte(heure);
        m.cb_min_zr.ecrit_texte(minute);
        m.cb_sec_zr.ecrit_texte(seconde);
        m.distribue([&] { m.valid_heure_zrClick(); });
        ASSERT_TRUE(s.messages.empty());
    }
    void valide_exemple() {
        valide_zone({"2,500", "7,250", "12,000", ""}, {"45,00", "48,5", "40", ""});
    }

    void tic_a(std::int32_t dixiemes_du_jour) {
        s.regle_dixiemes(dixiemes_du_jour);
        m.distribue([&] { m.Timer1Timer(); });
    }

    // CADEN as the crew reads it on its six labels, hundreds of km first.
    std::string caden() const {
        std::string t;
        for (auto it = m.labels_cadenceur.rbegin(); it != m.labels_cadenceur.rend(); ++it)
            t += (*it)->texte();
        return t;
    }
    void valide_decalage(const std::string& texte) {
        m.ed_offcet_cad.ecrit_texte(texte);
        m.distribue([&] { m.valid_offcet_cadClick(); });
    }
};

TEST_F(Cadenceur, LaCadenceSuitLesRangeesDuFichierExemple) {
    valide_exemple();
    struct {
        std::int32_t apres_depart; // tenths of a second
        const char* caden;
        std::int32_t rangee;
        const char* moyenne;
    } const cas[] = {
        {1999, "002498", 0, "45.00 Kms/h"},  {2000, "002500", 1, "48.50 Kms/h"},
        {5519, "007240", 1, "48.50 Kms/h"},  {5520, "007250", 2, "40.00 Kms/h"},
        {10000, "012227", 2, "40.00 Kms/h"}, // past the zone's last distance, at its last average
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.apres_depart);
        tic_a(dix_heures + c.apres_depart);
        EXPECT_EQ(caden(), c.caden);
        EXPECT_EQ(m.etat.segment_courant, c.rangee);
        EXPECT_EQ(m.La_moy_en_cours.texte(), c.moyenne);
    }
    EXPECT_TRUE(s.messages.empty());
}

TEST_F(Cadenceur, LeDecalageSAjouteTantQueSaCaseEstCochee) {
    valide_exemple();
    valide_decalage("150");
    EXPECT_EQ(m.la_offcet_cad.texte(), "150");
    m.cb_offcet_cad.ecrit_coche(true);
    tic_a(dix_heures + 10000);
    EXPECT_EQ(caden(), "012377");
    m.cb_offcet_cad.ecrit_coche(false);
    tic_a(dix_heures + 10000);
    EXPECT_EQ(caden(), "012227");
}

TEST_F(Cadenceur, LeDepartEtLaFinDUnParcoursSuiventLaRegleDesDouzeHeures) {
    struct {
        const char *heure, *minute;
        std::int32_t horloge;           // tenths since midnight
        std::int32_t ecoules;           // 0: not started
        std::int32_t millisecondes = 0; // beyond the tenths
    } const cas[] = {
        {"10", "00", dix_heures - 1, 0},
        {"10", "00", dix_heures, 0},
        {"10", "00", dix_heures + 1, 1},
        {"10", "00", dix_heures, 0, 99}, // 10:00:00.099 is still 0 tenths past
        {"10", "00", dix_heures + 1, 1, 99},
        {"23", "59", 600, 1200},     // across midnight
        {"22", "00", dix_heures, 0}, // exactly 12 hours ahead: still to come
        {"22", "00", dix_heures - 1, 431999},
        {"10", "00", 22 * 36000 + 18000, 450000}, // earlier the same day: always counted
        {"25", "00", 18000, 0},                   // hour 25 at 00:30: still to come, never negative
        {"25", "00", 36001, 1},
        {"-1", "00", 0, 36000}, // a negative hour starts the evening before
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.heure) + ":" + c.minute + " à " + std::to_string(c.horloge));
        s.messages.clear();
        valide_zone({"10"}, {"36"}, c.heure, c.minute);
        s.regle_dixiemes(c.horloge);
        s.horloge.millisecondes += c.millisecondes;
        m.distribue([&] { m.Timer1Timer(); });
        EXPECT_EQ(m.etat.dixiemes_ecoules, c.ecoules);
        EXPECT_EQ(m.etat.compteur_cadenceur.valeur_en_metres(), c.ecoules); // 36 km/h: 1 m a tenth
    }
}

TEST_F(Cadenceur, UneSeuleRangeeA45KmhDonne1542MetresApres123Secondes4) {
    valide_zone({"10.00"}, {"45.00"});
    tic_a(dix_heures + 1234);
    EXPECT_EQ(caden(), "001542");
    EXPECT_EQ(m.La_moy_en_cours.texte(), "45.00 Kms/h");
}

TEST_F(Cadenceur, LeChronometreMontreLesHeuresMinutesEtSecondesEcoulees) {
    valide_zone({"10"}, {"36"}, "00");
    struct {
        std::int32_t ecoules;
        const char* texte;
    } const cas[] = {{37259, " 1:02:05 "}, {99, " 0:00:09 "}, {432050, " 12:00:05 "}};
    for (const auto& c : cas) {
        tic_a(c.ecoules);
        EXPECT_EQ(m.Labelchrono.texte(), c.texte);
    }
}

TEST_F(Cadenceur, LeTopEnMarcheRedessineLeTripEtEvalueLEcart) {
    valide_exemple();
    m.etat.tours_etal = 1;
    m.etat.cumul_total = 2490; // 2 490 revolutions not yet counted
    tic_a(dix_heures + 2000);
    EXPECT_EQ(m.Labelheure.texte(), " 10:03:20 ");
    EXPECT_EQ(m.la_tot_kilom.texte(), "2");
    EXPECT_EQ(m.la_tot_dixm.texte(), "9");
    EXPECT_EQ(m.la_ecart.texte(), ".  10.");
    EXPECT_EQ(m.retard.position(), 10);
    EXPECT_EQ(m.pa_m10.couleur(), Tcouleur::rouge);
    EXPECT_EQ(m.pa_vert.couleur(), Tcouleur::face_bouton);
    EXPECT_EQ(m.Labelchrono.texte(), " 0:03:20 ");
}

TEST_F(Cadenceur, DecocherCadOnMetLAffichageAuRepos) {
    valide_exemple();
    tic_a(dix_heures + 1000);
    m.avance.ecrit_position(5);
    m.cad_on.ecrit_coche(false);
    tic_a(dix_heures + 2000);
    EXPECT_EQ(caden(), "000000");
    EXPECT_EQ(m.etat.compteur_cadenceur.valeur_en_metres(), 2500); // loaded, not shown
    EXPECT_EQ(m.la_ecart.texte(), ".   0.");
    EXPECT_EQ(m.avance.position(), 0);
    EXPECT_EQ(m.retard.position(), 0);
    EXPECT_EQ(m.Labelchrono.texte(), " 0:00:00 ");
    EXPECT_EQ(m.etat.ecart, 0);
    EXPECT_EQ(m.pa_vert.couleur(), Tcouleur::lime);
    EXPECT_EQ(m.pa_m30.couleur(), Tcouleur::face_bouton);
    EXPECT_EQ(m.La_moy_en_cours.texte(), "48.50 Kms/h"); // still follows the rows
}

TEST_F(Cadenceur, AvantLeDepartCadenMontreDesZerosEtLeChronometreGardeSonTexte) {
    valide_exemple();
    tic_a(dix_heures + 7200);
    ASSERT_EQ(m.Labelchrono.texte(), " 0:12:00 ");
    valide_zone({"1"}, {"40"}, "11");
    m.Labelchrono.ecrit_texte(" 0:12:00 ");
    m.etat.ecart = 30;
    m.la_ecart.ecrit_texte(".  30.");
    m.retard.ecrit_position(20);
    m.avance.ecrit_position(4);
    tic_a(dix_heures + 7200);
    EXPECT_EQ(m.etat.dixiemes_ecoules, 0);
    EXPECT_EQ(caden(), "000000");
    EXPECT_EQ(m.Labelchrono.texte(), " 0:12:00 ");
    // The gap, its text and its bars wait for the start (the cadenceur is on).
    EXPECT_EQ(m.etat.ecart, 30);
    EXPECT_EQ(m.la_ecart.texte(), ".  30.");
    EXPECT_EQ(m.retard.position(), 20);
    EXPECT_EQ(m.avance.position(), 4);
    EXPECT_EQ(m.etat.code_leds, 0);
    EXPECT_EQ(m.pa_vert.couleur(), Tcouleur::lime);
}

TEST_F(Cadenceur, SansRangeeLaCadenceNEstQueLeDecalage) {
    valide_zone({"1", ""}, {"", "40"});
    m.La_moy_en_cours.ecrit_texte("45.00 Kms/h");
    tic_a(dix_heures + 5000);
    EXPECT_EQ(caden(), "000000");
    valide_decalage("320");
    m.cb_offcet_cad.ecrit_coche(true);
    tic_a(dix_heures + 5000);
    EXPECT_EQ(caden(), "000320");
    EXPECT_EQ(m.La_moy_en_cours.texte(), "45.00 Kms/h");
}

TEST_F(Cadenceur, UneDistanceIdealeNegativeMontreZeroEtLEcartSeCalculeContreZero) {
    valide_exemple();
    valide_decalage("-3000");
    m.cb_offcet_cad.ecrit_coche(true);
    m.etat.tours_etal = 1;
    m.etat.cumul_total = 30;
    tic_a(dix_heures + 2000); // 2 500 m - 3 000 m
    EXPECT_EQ(caden(), "000000");
    EXPECT_EQ(m.etat.distance_cadenceur, 0);
    EXPECT_EQ(m.etat.ecart, 30);
    EXPECT_EQ(m.etat.code_leds, 30);
    EXPECT_EQ(m.la_ecart.texte(), ".  30.");
}

TEST_F(Cadenceur, UneCadenceDUnMillionDeMetresEtPlusRemplitLaCentaineDeKilometres) {
    valide_zone({"1"}, {"2147483.647"});
    tic_a(dix_heures + 10000); // 10 000 tenths at 2 147 483 647 m/h
    EXPECT_EQ(m.la_cad_centkilom.texte(), "5965");
    EXPECT_EQ(m.etat.compteur_cadenceur.valeur_en_metres(), 596523235);

    valide_decalage("2147483647");
    m.cb_offcet_cad.ecrit_coche(true);
    tic_a(dix_heures + 10000);
    EXPECT_EQ(m.etat.compteur_cadenceur.valeur_en_metres(), 2147483647); // held, not wrapped
}

TEST_F(Cadenceur, DesTablesExtremesNeFontNiDebordementNiValeurAberrante) {
    // Rows whose cumulative end times saturate, then negative averages: every tick stays
    // defined and CADEN never shows a negative or wrapped value.
    valide_zone({"2147483.647", "-2147483.648", "0", "5"}, {"0.001", "0.001", "-0.001", "-90"});
    for (std::int32_t horloge : {dix_heures + 1, dix_heures + 300000, 863999, 0}) {
        SCOPED_TRACE(horloge);
        tic_a(horloge);
        EXPECT_GE(m.etat.compteur_cadenceur.valeur_en_metres(), 0);
        EXPECT_EQ(m.etat.distance_cadenceur, 0);
    }
    valide_zone({"1"}, {"40"}, "99999", "-99999", "2147483647");
    tic_a(dix_heures);
    EXPECT_GE(m.etat.dixiemes_ecoules, 0);
}

TEST_F(Cadenceur, UnDecalageIllisibleEstRemisAZeroApresLaBoite) {
    std::int32_t pendant = 0;
    s.pendant_message = [&](const std::string&) { pendant = m.etat.decalage_cad; };
    for (const char* texte : {"12a", "", "1.5", "99999999999"}) {
        SCOPED_TRACE(texte);
        valide_decalage("40");
        s.messages.clear();
        valide_decalage(texte);
        EXPECT_EQ(s.messages, Lignes{"ERREUR de SAISIE"});
        EXPECT_EQ(pendant, 40); // still in force while the box is open
        EXPECT_EQ(m.etat.decalage_cad, 0);
        EXPECT_EQ(m.ed_offcet_cad.texte(), "");
        EXPECT_EQ(m.la_offcet_cad.texte(), "0");
    }
}

TEST_F(Cadenceur, UnDecalageNegatifEstAccepteEtRazLeRemetAZero) {
    valide_decalage("-30");
    EXPECT_TRUE(s.messages.empty());
    EXPECT_EQ(m.etat.decalage_cad, -30);
    EXPECT_EQ(m.la_offcet_cad.texte(), "-30");
    m.distribue([&] { m.raz_offcet_cadClick(); });
    EXPECT_EQ(m.etat.decalage_cad, 0);
    EXPECT_EQ(m.ed_offcet_cad.texte(), "");
    EXPECT_EQ(m.la_offcet_cad.texte(), "0");
}

// MOYENNE in the form's own format whatever the line holds, as typed or as VALIDER rewrote it.
TEST(FormatMoyenne, UneLigneDesMoyennesSeMontreAuFormatDuFormulaire) {
    const std::pair<const char*, const char*> cas[] = {
        {"45,00", "45.00 Kms/h"},
        {"45.00", "45.00 Kms/h"}, // the form's first line, before any validation
        {"48,5", "48.50 Kms/h"},
        {"40", "40.00 Kms/h"},
        {"5", "05.00 Kms/h"},
        {" 48,125\r", "48.125 Kms/h"},
        {"130,2", "130.20 Kms/h"},
        {"0,001", "00.001 Kms/h"},
        {"-12,5", "-12.50 Kms/h"},
        {"2147483,647", "2147483.647 Kms/h"},
        {"2147483,648", "2147483,648 Kms/h"}, // no average the engine holds: as typed
        {"4O,5", "4O,5 Kms/h"},
    };
    for (const auto& [ligne, attendu] : cas)
        EXPECT_EQ(texte_moyenne_en_cours(ligne), attendu) << ligne;
}

// From start-up through a zone's rows, VALIDER and a trip reset, MOYENNE keeps one format.
TEST_F(Cadenceur, MoyenneGardeLeFormatDuFormulaireDuDemarrageAuxRangees) {
    const std::regex format_du_formulaire("-?[0-9]{2,}\\.[0-9]{2,3} Kms/h");
    std::vector<std::string> vus{m.La_moy_en_cours.texte()};
    m.etat.nbr_lignes_zr = 1; // as start-up leaves it, the form's rows unvalidated
    tic_a(dix_heures + 1200); // past the start: the form's first average, "45.00"
    vus.push_back(m.La_moy_en_cours.texte());
    valide_exemple();
    vus.push_back(m.La_moy_en_cours.texte());
    for (const std::int32_t t : {100, 2000, 5520}) {
        tic_a(dix_heures + t);
        vus.push_back(m.La_moy_en_cours.texte());
    }
    m.distribue([&] { m.raz_tripClick(); });
    vus.push_back(m.La_moy_en_cours.texte());
    EXPECT_EQ(vus, (Lignes{"00.00 Kms/h", "45.00 Kms/h", "00.00 Kms/h", "45.00 Kms/h",
                           "48.50 Kms/h", "40.00 Kms/h", "00.00 Kms/h"}));
    for (const std::string& v : vus)
        EXPECT_TRUE(std::regex_match(v, format_du_formulaire)) << v;
}

} // namespace
