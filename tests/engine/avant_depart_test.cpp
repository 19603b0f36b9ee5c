// The arithmetic behind the base's measure and the official time, on the cases a crew meets:
// a length with a comma, a file written by any editor, an official clock read at midnight.
#include "avant_depart.h"
#include "moteur.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>

TEST(AvantDepart, la_longueur_tapee_donne_une_paire_entiere_et_exacte) {
    struct Tcas {
        const char* texte;
        std::int64_t tours;
        std::optional<Tpaire_etalonnage> paire;
    };
    const Tcas cas[] = {
        {"1000", 540, Tpaire_etalonnage{540, 1000}},
        {" 1000,0 ", 540, Tpaire_etalonnage{540, 1000}},
        {"1000,5", 540, Tpaire_etalonnage{5400, 10005}},
        {"4999.25", 2679, Tpaire_etalonnage{267900, 499925}},
        {"1000", 0, std::nullopt},        // no revolution counted
        {"0,0", 540, std::nullopt},       // no length
        {"1 000", 540, std::nullopt},     // a blank inside
        {"1000,", 540, std::nullopt},     // a comma and nothing
        {"1000,1234", 540, std::nullopt}, // finer than a millimetre
        {"-1000", 540, std::nullopt},     // a sign
        {"3000000", 3000, Tpaire_etalonnage{3000, 3000000}},
    };
    for (const Tcas& c : cas) {
        const auto base = lit_longueur_base(c.texte);
        const auto p = base ? paire_de_base(c.tours, *base) : std::nullopt;
        EXPECT_EQ(p, c.paire) << c.texte;
    }
    EXPECT_EQ(paire_de_base(3'000'000'000, {1000, 0}), std::nullopt); // beyond 32 bits
    EXPECT_EQ(ecart_dixiemes_pour_mille({540, 1030}, {540, 1000}), -291);
    EXPECT_EQ(ecart_dixiemes_pour_mille({540, 1000}, {5400, 10005}), 5);
}

TEST(AvantDepart, seul_l_emplacement_choisi_change_dans_le_fichier) {
    struct Tcas {
        const char* quoi;
        std::string avant;
        int emplacement;
        std::string apres;
    };
    const Tcas cas[] = {
        {"LF", "541\n1000\n540\n1030\n539\n1000\n", 2, "541\n1000\n555\n1001\n539\n1000\n"},
        {"fins mêlées", "541\r\n1000\n540\r\n1030\n", 2, "541\r\n1000\n555\r\n1001\n"},
        {"sans fin à la dernière", "541\r\n1000\r\n540\r\n1030", 2, "541\r\n1000\r\n555\r\n1001"},
        {"lignes manquantes", "541\r\n1000\r\n", 3,
         "541\r\n1000\r\n555\r\n1001\r\n555\r\n1001\r\n"},
        {"Ctrl-Z",
         "541\n1000\x1a"
         "540\n",
         2,
         "541\n1000\n555\n1001\n\x1a"
         "540\n"},
        {"vide", "", 1, "555\n1001\n"},
    };
    for (const Tcas& c : cas)
        EXPECT_EQ(remplace_emplacement(c.avant, c.emplacement, {555, 1001}), c.apres) << c.quoi;
}

TEST(AvantDepart, l_heure_officielle_donne_le_decalage_au_dixieme) {
    constexpr std::int64_t h = 3'600'000, m = 60'000;
    struct Tcas {
        const char* texte;
        std::int64_t maintenant_ms;
        std::optional<std::int32_t> dixiemes;
    };
    const Tcas cas[] = {
        {"10:15", 10 * h + 15 * m + 2'300, -23}, // the computer is 2,3 s ahead
        {"10:15", 10 * h + 14 * m + 58'760, 12}, // 1,24 s behind: to the nearest tenth
        {"00:00", 23 * h + 59 * m + 59'000, 10}, // across midnight, the short way
        {"23:59", 30'000, -900},
        {"-2,3", 0, -23},
        {"+1.5", 0, 15},
        {"4", 0, 40},
        {"10:5", 0, std::nullopt},
        {"24:00", 0, std::nullopt},
        {"-2,35", 0, std::nullopt},
        {"", 0, std::nullopt},
    };
    for (const Tcas& c : cas)
        EXPECT_EQ(decalage_officiel(c.texte, c.maintenant_ms), c.dixiemes) << c.texte;
}

// The base driven with the engine itself: DÉPART, the revolutions (the car overshooting the
// mark and reversing to it), ARRIVÉE, the base's length, then APPLIQUER or ENREGISTRER.
namespace {

struct Tbase {
    Tservices_scriptes s;
    Tmoteur m{s};

    Tbase() {
        m.etat.tours_etal = 540;
        m.etat.dist_etal = 1030;
    }
    void clic(void (Tmoteur::*gestionnaire)()) {
        m.distribue([&] { (m.*gestionnaire)(); });
    }
    void tours(int n, bool arriere = false) {
        m.cb_marche_ar.ecrit_coche(arriere);
        for (int i = 0; i < n; ++i)
            clic(&Tmoteur::un_tour_de_roue);
        m.cb_marche_ar.ecrit_coche(false);
    }
    void base(const std::string& longueur) {
        m.ed_base_mesure.ecrit_texte(longueur);
        clic(&Tmoteur::calcule_mesure);
    }
};

} // namespace

TEST(MesureDeLaBase, compte_les_tours_entre_les_reperes_marche_arriere_deduite) {
    struct Tcas {
        const char* quoi;
        int avant, avance, recul;
        const char* compte;
    } const cas[] = {
        {"tout droit", 25, 540, 0, "540 tours"},
        {"dix tours de trop, puis en arrière au repère", 25, 550, 10, "540 tours"},
        {"un seul tour", 0, 1, 0, "1 tour"},
    };
    for (const Tcas& c : cas) {
        SCOPED_TRACE(c.quoi);
        Tbase b;
        b.tours(c.avant);
        b.clic(&Tmoteur::mesure_departClick);
        b.tours(c.avance);
        b.tours(c.recul, true);
        EXPECT_EQ(b.m.la_tours_mesures.texte(), c.compte);
        b.clic(&Tmoteur::mesure_arriveeClick);
        b.tours(7); // after ARRIVÉE: not the base's
        EXPECT_EQ(b.m.la_tours_mesures.texte(), c.compte);
    }
    // DÉPART again starts the count again from there.
    Tbase b;
    b.clic(&Tmoteur::mesure_departClick);
    b.tours(30);
    b.clic(&Tmoteur::mesure_departClick);
    b.tours(540);
    b.clic(&Tmoteur::mesure_arriveeClick);
    EXPECT_EQ(b.m.etat.tours_mesures, 540);
}

TEST(MesureDeLaBase, montre_la_paire_son_ecart_et_sa_resolution_arrondis) {
    struct Tcas {
        int tours;
        const char *longueur, *paire, *ecart, *resolution, *verification;
    } const cas[] = {
        {540, "1000", "Étalonnage 1 : 540 Trs pour 1000 m", "-29,1 ‰",
         "Un tour de roue = 1,852 m, soit 1,85 ‰ de la base", "Tour de roue de 185,2 cm"},
        {541, "1000", "Étalonnage 1 : 541 Trs pour 1000 m", "-30,9 ‰",
         "Un tour de roue = 1,848 m, soit 1,85 ‰ de la base", "Tour de roue de 184,8 cm"},
        {540, "1030,5", "Étalonnage 1 : 5400 Trs pour 10305 m", "+0,5 ‰",
         "Un tour de roue = 1,908 m, soit 1,85 ‰ de la base", "Tour de roue de 190,8 cm"},
        {540, "1.000", "Étalonnage 1 : 540 Trs pour 1 m", "-999,0 ‰",
         "Un tour de roue = 0,002 m, soit 1,85 ‰ de la base",
         "Une base de 1,000 m ? Une base mesure de 100 m à 100 km : vérifiez la longueur."},
        {540, "1400", "Étalonnage 1 : 540 Trs pour 1400 m", "+359,2 ‰",
         "Un tour de roue = 2,593 m, soit 1,85 ‰ de la base", "Les valeurs semblent erronnées !"},
    };
    for (const Tcas& c : cas) {
        SCOPED_TRACE(c.longueur);
        Tbase b;
        b.clic(&Tmoteur::mesure_departClick);
        b.tours(c.tours);
        b.clic(&Tmoteur::mesure_arriveeClick);
        b.base(c.longueur);
        EXPECT_EQ(b.m.la_paire_mesuree.texte(), c.paire);
        EXPECT_EQ(b.m.la_ecart_mesure.texte().substr(0, std::string(c.ecart).size()), c.ecart);
        EXPECT_EQ(b.m.la_resolution_mesure.texte(), c.resolution);
        EXPECT_EQ(b.m.la_verif_mesure.texte(), c.verification);
    }
    // Rounded, not truncated: 540 for 1000 against 541 for 1000 is 1,85 per mille longer.
    EXPECT_EQ(ecart_dixiemes_pour_mille({541, 1000}, {540, 1000}), 19);
}

// "1.000" typed for a thousand metres, or a pair no wheel makes: used or saved only on the
// crew's word, and nothing changes without it.
TEST(MesureDeLaBase, ce_qui_semble_faux_attend_l_accord_de_l_equipage) {
    struct Tcas {
        const char* longueur;
        void (Tmoteur::*clic)();
        std::deque<bool> reponses;
        std::size_t questions;
        bool en_service, a_enregistrer;
        std::size_t messages; // "Les valeurs semblent erronnées !" as a choice in ETAL gives it
    } const cas[] = {
        {"1000", &Tmoteur::mesure_enregistrerClick, {}, 0, true, true, 0},
        {"1.000", &Tmoteur::mesure_appliquerClick, {false}, 1, false, false, 0},
        {"1.000", &Tmoteur::mesure_appliquerClick, {true}, 1, true, false, 1},
        {"1.000", &Tmoteur::mesure_enregistrerClick, {true, false}, 2, false, false, 0},
        {"1.000", &Tmoteur::mesure_enregistrerClick, {true, true}, 2, true, true, 0},
        {"1400", &Tmoteur::mesure_enregistrerClick, {false}, 1, false, false, 0},
        {"1400", &Tmoteur::mesure_enregistrerClick, {true}, 1, true, true, 0},
        {"1400", &Tmoteur::mesure_appliquerClick, {}, 0, true, false, 1},
    };
    for (const Tcas& c : cas) {
        SCOPED_TRACE(std::string(c.longueur) +
                     (c.clic == &Tmoteur::mesure_appliquerClick ? " APPLIQUER" : " ENREGISTRER"));
        Tbase b;
        b.clic(&Tmoteur::mesure_departClick);
        b.tours(540);
        b.clic(&Tmoteur::mesure_arriveeClick);
        b.base(c.longueur);
        b.s.reponses_questions = c.reponses;
        b.clic(c.clic);
        EXPECT_EQ(b.s.questions.size(), c.questions);
        EXPECT_EQ(b.m.etat.tours_etal == 540 && b.m.etat.dist_etal != 1030, c.en_service);
        EXPECT_EQ(b.m.paire_a_enregistrer.has_value(), c.a_enregistrer);
        EXPECT_EQ(b.s.messages.size(), c.messages);
    }
}

// The official time given while a zone runs would move CADEN: refused, the offset kept.
TEST(HeureOfficielle, ne_change_pas_pendant_une_zone_et_decale_caden) {
    Tservices_scriptes s;
    s.horloge = {9, 58, 0, 0};
    Tmoteur m{s};
    m.distribue([&] { m.demarrage(); });
    m.ed_heure_officielle.ecrit_texte("-2,3");
    m.distribue([&] { m.valid_heure_officielleClick(); });
    m.memo_kms.ecrit_lignes({"100"});
    m.memo_moy.ecrit_lignes({"36"});
    m.cb_heure_zr.ecrit_texte("10");
    m.cb_min_zr.ecrit_texte("00");
    m.cb_sec_zr.ecrit_texte("00");
    m.distribue([&] { m.valid_heure_zrClick(); });
    s.horloge = {10, 1, 0, 0};
    m.distribue([&] { m.Timer1Timer(); });
    EXPECT_EQ(m.etat.compteur_cadenceur.valeur_en_metres(), 577); // 10:00:57,7 official
    EXPECT_EQ(m.Labelchrono.texte(), " 0:00:57 ");
    s.messages.clear();
    for (void (Tmoteur::*clic)() :
         {&Tmoteur::valid_heure_officielleClick, &Tmoteur::raz_heure_officielleClick}) {
        m.ed_heure_officielle.ecrit_texte("0");
        m.distribue([&] { (m.*clic)(); });
    }
    ASSERT_EQ(s.messages.size(), 2u);
    EXPECT_EQ(s.messages[0].rfind("Une zone est en cours", 0), 0u);
    EXPECT_EQ(m.etat.horloge.decalage_ms(), -2300);
}
