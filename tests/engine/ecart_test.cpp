#include "moteur.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Ecart : public ::testing::Test {
protected:
    Tservices_scriptes s;
    Tmoteur m{s};

    void SetUp() override {
        m.etat.seuil = 20;
        m.retard.ecrit_maximum(20);
        m.avance.ecrit_maximum(20);
    }

    void compare(std::int32_t total, std::int32_t caden) {
        m.etat.compteur_total.charge_metres(total);
        m.etat.compteur_cadenceur.charge_metres(caden);
        m.distribue([&] { m.calcule_et_affiche_ecart(); });
    }

    // The seven LEDs from left to right: R red, V lime, . off.
    std::string leds() const {
        std::string t;
        for (const Tmodele_label* l :
             {&m.pa_m30, &m.pa_m20, &m.pa_m10, &m.pa_vert, &m.pa_10, &m.pa_20, &m.pa_30})
            t += l->couleur() == Tcouleur::rouge         ? 'R'
                 : l->couleur() == Tcouleur::lime        ? 'V'
                 : l->couleur() == Tcouleur::face_bouton ? '.'
                                                         : '?';
        return t;
    }

    void valide_seuil(const std::string& texte) {
        m.ed_seuil_conf.ecrit_texte(texte);
        m.distribue([&] { m.valid_seuilClick(); });
    }
};

struct Cas_ecart {
    std::int32_t total, caden;
    std::int32_t ecart, code, retard, avance;
    const char* leds;
    const char* texte;
};

TEST_F(Ecart, LeGapSesBarresSesLedsEtSonTexteSuiventLEcartEntreTripEtCadence) {
    const Cas_ecart cas[] = {
        {1000, 1000, 0, 0, 0, 0, "...V...", ".   0."},  // on time
        {996, 1000, 4, 132, 4, 0, "...V...", ".   4."}, // under 5 m the centre stays lit
        {995, 1000, 5, 133, 5, 0, "..R....", ".   5."}, // 5 m late lights pa_m10
        {1005, 1000, 5, 5, 0, 5, "....R..", ".   5."},  // 5 m ahead lights pa_10
        {1014, 1000, 14, 14, 0, 14, "....R..", ".  14."},
        {1015, 1000, 15, 15, 0, 15, "....RR.", ".  15."},
        {1024, 1000, 24, 24, 0, 20, "....RR.", ".  24."},
        {1025, 1000, 25, 25, 0, 20, "....RRR", ".  25."},
        {985, 1000, 15, 143, 15, 0, ".RR....", ".  15."},
        {975, 1000, 25, 153, 20, 0, "RRR....", ".  25."},
        {980, 1000, 20, 148, 20, 0, ".RR....", ".  20."}, // exactly the threshold
        {965, 1000, 35, 163, 20, 0, "RRR....", ".  35."}, // capped by the threshold
        {874, 1000, 126, 254, 20, 0, "RRR....", ". 126."},
        {873, 1000, 127, 255, 20, 0, "RRR....", ". 127."},
        {1127, 1000, 127, 127, 0, 20, "....RRR", ". 127."},
        {0, 5000, 5000, 255, 20, 0, "RRR....", ".5000."},
        {9, 0, 9, 9, 0, 9, "....R..", ".   9."},
        {10, 0, 10, 10, 0, 10, "....R..", ".  10."},
        {99, 0, 99, 99, 0, 20, "....RRR", ".  99."},
        {100, 0, 100, 100, 0, 20, "....RRR", ". 100."},
        {999, 0, 999, 127, 0, 20, "....RRR", ". 999."},
        {1000, 0, 1000, 127, 0, 20, "....RRR", ".1000."},
        {9999, 0, 9999, 127, 0, 20, "....RRR", ".9999."},
        {0, 10000, 10000, 255, 20, 0, "RRR....", ".10000."},
    };
    for (const Cas_ecart& c : cas) {
        SCOPED_TRACE("TOTAL " + std::to_string(c.total) + ", CADEN " + std::to_string(c.caden));
        compare(c.total, c.caden);
        EXPECT_EQ(m.etat.ecart, c.ecart);
        EXPECT_EQ(m.etat.code_leds, c.code);
        EXPECT_EQ(m.retard.position(), c.retard);
        EXPECT_EQ(m.avance.position(), c.avance);
        EXPECT_EQ(leds(), c.leds);
        EXPECT_EQ(m.la_ecart.texte(), c.texte);
    }
    EXPECT_TRUE(s.messages.empty());
}

TEST_F(Ecart, UnCadenceurChargeAuDelaDuMillionDeMetresDonneUnEcartSansDebordement) {
    compare(0, 2147483647);
    EXPECT_EQ(m.etat.ecart, 2147483647);
    EXPECT_EQ(m.etat.code_leds, 255);
    EXPECT_EQ(m.la_ecart.texte(), ".2147483647.");
}

TEST_F(Ecart, LesLedsNeDependentPasDuSeuilEtUnSeuilNulLaisseLesBarresVides) {
    valide_seuil("0");
    compare(1030, 1000);
    EXPECT_EQ(m.avance.position(), 0);
    EXPECT_EQ(m.retard.position(), 0);
    EXPECT_EQ(leds(), "....RRR");
}

TEST_F(Ecart, UnSeuilValideEcritSesLibellesEtMaximaEtNeDeplaceLesBarresQuAuProchainCalcul) {
    compare(965, 1000);
    valide_seuil("15");
    EXPECT_EQ(m.retard.position(), 20);
    EXPECT_EQ(m.etat.seuil, 15);
    EXPECT_EQ(m.seuil_haut.texte(), "+15");
    EXPECT_EQ(m.seuil_bas.texte(), "-15");
    EXPECT_EQ(m.retard.maximum(), 15);
    EXPECT_EQ(m.avance.maximum(), 15);
    EXPECT_EQ(m.ed_seuil_conf.texte(), "");
    EXPECT_TRUE(s.messages.empty());
    compare(965, 1000);
    EXPECT_EQ(m.retard.position(), 15);

    valide_seuil("-5");
    EXPECT_EQ(m.seuil_haut.texte(), "+-5");
    EXPECT_EQ(m.seuil_bas.texte(), "--5");
    EXPECT_EQ(m.retard.maximum(), -5);
}

TEST_F(Ecart, UnSeuilIncorrectEstRefuseEtNeChangeRien) {
    struct {
        const char* texte;
        const char* message;
    } const cas[] = {
        {"", "Entrez des valeurs correctes ..."},
        {"abc", "Erreur de saisie. Il faut une valeur entière ! ..."},
        {"12.5", "Erreur de saisie. Il faut une valeur entière ! ..."},
        {"   ", "Erreur de saisie. Il faut une valeur entière ! ..."},
        {"2147483648", "Erreur de saisie. Il faut une valeur entière ! ..."},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string("seuil '") + c.texte + "'");
        s.messages.clear();
        valide_seuil(c.texte);
        EXPECT_EQ(s.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(m.etat.seuil, 20);
        EXPECT_EQ(m.retard.maximum(), 20);
        EXPECT_EQ(m.avance.maximum(), 20);
        EXPECT_EQ(m.ed_seuil_conf.texte(), c.texte);
    }
}

} // namespace
