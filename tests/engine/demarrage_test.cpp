#include "moteur.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Demarrage : public testing::Test {
protected:
    Trepertoire_temporaire rep;
    Tservices_scriptes services;
    Tmoteur m{services};

    Demarrage() {
        services.repertoire = rep.chemin();
        rep.ecrit("etalonnage.txt", "540\r\n1000\r\n541\r\n1000\r\n539\r\n1000\r\n");
    }
    void demarre() {
        m.distribue([&] { m.demarrage(); });
    }
};

TEST_F(Demarrage, LeScrollBarA45DonneUnIntervalleDe138) {
    demarre();
    EXPECT_EQ(m.ScrollBar1.position(), 45);
    EXPECT_EQ(m.Timer2.intervalle(), 138);
    EXPECT_FALSE(m.Timer2.actif());
}

TEST_F(Demarrage, LesAffichagesPartentDeLEtatInitial) {
    m.cb_marche_ar.ecrit_coche(true);
    m.etat.cumul_total = 5;
    m.etat.cumul_partiel = 6;
    m.etat.compteur_total.charge_metres(1234);
    m.etat.compteur_cadenceur.charge_metres(99);
    m.etat.saisie_maj = "12";
    m.etat.virgule_saisie = true;
    m.etat.nbr_chiffres_avant = 2;
    m.etat.decalage_cad = 40;
    demarre();
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(m.etat.cumul_total, 0);
    EXPECT_EQ(m.etat.cumul_partiel, 0);
    EXPECT_EQ(m.etat.compteur_total.valeur_en_metres(), 0);
    EXPECT_EQ(m.etat.compteur_cadenceur.valeur_en_metres(), 0);
    EXPECT_EQ(m.etat.saisie_maj, "");
    EXPECT_FALSE(m.etat.virgule_saisie);
    EXPECT_EQ(m.etat.nbr_chiffres_avant, 0);
    EXPECT_EQ(m.etat.decalage_cad, 0);
    EXPECT_FALSE(m.cb_marche_ar.coche());
    EXPECT_EQ(m.la_ecart.texte(), ".   0.");
    EXPECT_EQ(m.seuil_haut.texte(), "+20");
    EXPECT_EQ(m.seuil_bas.texte(), "-20");
    EXPECT_EQ(m.etat.seuil, 20);
    EXPECT_EQ(m.retard.maximum(), 20);
    EXPECT_EQ(m.avance.maximum(), 20);
    EXPECT_EQ(m.Labelchrono.texte(), " 0:00:00 ");
    EXPECT_EQ(m.Panel6.couleur(), Tcouleur::rouge);
    EXPECT_EQ(m.Panel_sonde.couleur(), Tcouleur::bleu_ciel);
    EXPECT_EQ(m.pa_vert.couleur(), Tcouleur::lime);
    EXPECT_EQ(m.etat.nbr_lignes_zr, 1);
    EXPECT_EQ(m.la_maj_trip.texte(), "............");
    EXPECT_EQ(m.La_moy_en_cours.texte(), "00.00 Kms/h");
}

TEST_F(Demarrage, LesCentainesDeKmSontCacheesDansCetOrdre) {
    std::vector<std::string> caches;
    m.la_cad_centkilom.miroir = [&] { caches.push_back("cad"); };
    m.la_par_centkilom.miroir = [&] { caches.push_back("par"); };
    m.la_tot_centkilom.miroir = [&] { caches.push_back("tot"); };
    demarre();
    EXPECT_EQ(caches, (std::vector<std::string>{"cad", "par", "tot"}));
    EXPECT_FALSE(m.la_tot_centkilom.visible());
    EXPECT_TRUE(m.la_tot_m.visible());
    EXPECT_TRUE(m.la_tot_kilom.visible());
}

struct Tcas_heure {
    Theure_du_jour horloge;
    int heure_zr;
    int min_zr;
    const char* heure_texte;
    const char* min_texte;
};

void PrintTo(const Tcas_heure& c, std::ostream* os) {
    *os << c.horloge.heures << ":" << c.horloge.minutes << ":" << c.horloge.secondes;
}

class HeureDepartParDefaut : public Demarrage, public testing::WithParamInterface<Tcas_heure> {};
TEST_P(HeureDepartParDefaut, DeuxMinutesApresLaMinuteEnCours) {
    services.horloge = GetParam().horloge;
    demarre();
    EXPECT_EQ(m.etat.heure_zr, GetParam().heure_zr);
    EXPECT_EQ(m.etat.min_zr, GetParam().min_zr);
    EXPECT_EQ(m.etat.sec_zr, 0);
    EXPECT_EQ(m.cb_heure_zr.texte(), GetParam().heure_texte);
    EXPECT_EQ(m.cb_min_zr.texte(), GetParam().min_texte);
    EXPECT_EQ(m.cb_sec_zr.texte(), "00");
    // Writing the start time is a change of the time panel, which ends red.
    EXPECT_EQ(m.Panel6.couleur(), Tcouleur::rouge);
}
INSTANTIATE_TEST_SUITE_P(Demarrage, HeureDepartParDefaut,
                         testing::Values(Tcas_heure{{10, 58, 30, 0}, 11, 0, "11", "00"},
                                         Tcas_heure{{9, 5, 59, 999}, 9, 7, "09", "07"},
                                         Tcas_heure{{9, 58, 0, 0}, 10, 0, "10", "00"},
                                         Tcas_heure{{23, 58, 0, 0}, 0, 0, "00", "00"},
                                         Tcas_heure{{23, 59, 59, 900}, 0, 1, "00", "01"},
                                         Tcas_heure{{0, 0, 0, 0}, 0, 2, "00", "02"},
                                         Tcas_heure{{14, 7, 0, 0}, 14, 9, "14", "09"}));

TEST_F(Demarrage, LEtalonnageUnEstChargeEnDernier) {
    demarre();
    EXPECT_EQ(m.lb_dist_etal.texte(), "1000 m");
    EXPECT_EQ(m.lb_tours_roue.texte(), "540 Trs");
    EXPECT_EQ(m.etat.pas_correction, 1);
    EXPECT_EQ(m.lb_correction.texte(), "0");
    EXPECT_EQ(m.lb_dist_etal.couleur(), Tcouleur::degrade_legende_inactive);
    EXPECT_EQ(m.Memo_copie.ligne(0), "540");
    // Once started, the simulated car counts with it: 1000 m over 540 revolutions.
    for (int i = 0; i < 540; ++i)
        m.distribue([&] { m.Timer2Timer(); });
    EXPECT_EQ(m.etat.compteur_total.valeur_en_metres(), 1000);
}

TEST_F(Demarrage, SansFichierDEtalonnageLaBoiteLeDitEtLaFenetreSOuvreQuandMeme) {
    services.repertoire = rep.chemin() + "ailleurs/";
    demarre();
    EXPECT_EQ(services.messages,
              std::vector<std::string>{"Le fichier ETALONNAGE est inexistant ... Creez-le !!!"});
    EXPECT_EQ(m.lb_dist_etal.texte(), "0000 m");
    EXPECT_EQ(m.lb_tours_roue.texte(), "0000 Trs");
    EXPECT_EQ(m.etat.tours_etal, 0);
    EXPECT_EQ(m.etat.pas_correction, 0);
    EXPECT_EQ(m.Memo_copie.nombre(), 0u);
    // Every earlier step was done.
    EXPECT_EQ(m.seuil_haut.texte(), "+20");
    // A revolution without calibration counts nothing and returns.
    m.distribue([&] { m.un_tour_de_roue(); });
    EXPECT_EQ(m.la_tot_m.texte(), "0");
}

TEST_F(Demarrage, UneDeuxiemeLigneIncorrecteArreteLeChargementApresLesTours) {
    rep.ecrit("etalonnage.txt", "540\nmille\n");
    demarre();
    EXPECT_EQ(services.messages,
              std::vector<std::string>{"'mille' n'est pas une valeur entière correcte"});
    EXPECT_EQ(m.etat.tours_etal, 540);
    EXPECT_EQ(m.etat.dist_etal, 0);
    EXPECT_EQ(m.etat.pas_correction, 0);
    EXPECT_EQ(m.lb_tours_roue.texte(), "0000 Trs");
}

TEST_F(Demarrage, UnFichierVideSignaleLaPremiereLigneVide) {
    rep.ecrit("etalonnage.txt", "");
    demarre();
    EXPECT_EQ(services.messages,
              std::vector<std::string>{"'' n'est pas une valeur entière correcte"});
    EXPECT_EQ(m.Memo_copie.lignes(), std::vector<std::string>{""});
}

TEST_F(Demarrage, LeTamponPerdSaPremiereLigneEtPrendLeFichier) {
    EXPECT_EQ(m.Memo_copie.lignes(), std::vector<std::string>{"Memo_copie"});
    rep.ecrit("etalonnage.txt", "540\n1000\n\x1a"
                                "garbage\n");
    demarre();
    EXPECT_EQ(m.Memo_copie.lignes(), (std::vector<std::string>{"540", "1000"}));
}

} // namespace
