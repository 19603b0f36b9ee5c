#include "moteur.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

using Lignes = std::vector<std::string>;
using Entiers = std::vector<std::int32_t>;

Entiers premiers(const std::array<std::int32_t, nbr_lignes_max>& colonne, std::size_t n) {
    return Entiers(colonne.begin(), colonne.begin() + static_cast<std::ptrdiff_t>(n));
}

const std::string fichier_exemple = "KZR1\r\n2.500\r\n7.250\r\n12.000\r\n\r\n"
                                    "MZR1\r\n45.00\r\n48.5\r\n40\r\n\r\n";

class HoraireZr : public ::testing::Test {
protected:
    Tservices_scriptes s;
    Trepertoire_temporaire rep;
    Tmoteur m{s};

    std::string charge_rallye(const std::string& contenu, const std::string& nom = "rallye.txt") {
        const std::string chemin = rep.ecrit(nom, contenu);
        ouvre(chemin);
        return chemin;
    }
    void ouvre(const std::string& chemin) {
        s.reponses_dialogue.push_back(chemin);
        m.distribue([&] { m.choisir_rallyeClick(); });
    }
    void choisit_zone(int index) {
        m.ZONE.choisit(index);
        m.distribue([&] { m.choisir_la_zr(); });
    }
    void valide() {
        m.distribue([&] { m.valid_heure_zrClick(); });
    }
    void saisit(const Lignes& kms, const Lignes& moy) {
        m.memo_kms.ecrit_lignes(kms);
        m.memo_moy.ecrit_lignes(moy);
    }
};

TEST_F(HoraireZr, LaZr1DuFichierExempleDonneTroisRangeesEtLeursTemps) {
    charge_rallye(fichier_exemple);
    m.Panel6.ecrit_couleur(Tcouleur::sarcelle);
    choisit_zone(1);
    EXPECT_EQ(m.memo_kms.lignes(), (Lignes{"2,500", "7,250", "12,000", ""}));
    EXPECT_EQ(m.memo_moy.lignes(), (Lignes{"45,00", "48,5", "40", ""}));
    EXPECT_EQ(m.Panel6.couleur(), Tcouleur::rouge);
    EXPECT_EQ(m.ZONE.texte(), "ZR1");

    m.Labelchrono.ecrit_texte(" 0:03:20 ");
    m.retard.ecrit_position(7);
    m.avance.ecrit_position(3);
    m.la_ecart.ecrit_texte(".   7.");
    valide();
    const Ttable_zr& t = m.etat.table_zr;
    EXPECT_EQ(m.etat.nbr_lignes_zr, 3);
    EXPECT_EQ(m.lb_nbr_changem.texte(), "2");
    EXPECT_EQ(premiers(t.distances_m, 3), (Entiers{2500, 7250, 12000}));
    EXPECT_EQ(premiers(t.moyennes_mh, 3), (Entiers{45000, 48500, 40000}));
    EXPECT_EQ(premiers(t.durees_s, 3), (Entiers{200, 352, 427}));
    EXPECT_EQ(premiers(t.fins_cumulees_s, 3), (Entiers{200, 552, 979}));
    EXPECT_TRUE(m.cad_on.coche());
    EXPECT_EQ(m.Panel6.couleur(), Tcouleur::sarcelle);
    EXPECT_EQ(m.Labelchrono.texte(), " 0:00:00 ");
    EXPECT_EQ(m.retard.position(), 0);
    EXPECT_EQ(m.avance.position(), 3);
    EXPECT_EQ(m.la_ecart.texte(), ".   0.");
    EXPECT_EQ(m.La_moy_en_cours.texte(), "00.00 Kms/h");
    EXPECT_TRUE(s.messages.empty());
}

TEST_F(HoraireZr, UneZoneAbsenteDonneLesLignesParDefautEtAnnuleLaSelection) {
    charge_rallye(fichier_exemple);
    for (int zone : {2, 0}) { // ZR2, then "AUCUNE", which looks for zone 0
        SCOPED_TRACE(zone);
        s.messages.clear();
        choisit_zone(zone);
        EXPECT_EQ(s.messages, Lignes{"Cette ZR est inexistante dans le fichier"});
        EXPECT_EQ(m.memo_kms.lignes(), Lignes{"10.00"});
        EXPECT_EQ(m.memo_moy.lignes(), Lignes{"45.00"});
        EXPECT_EQ(m.ZONE.index(), -1);
        EXPECT_EQ(m.ZONE.texte(), "");
    }
}

// A zone chosen again gets the file's lines as the separator of the moment writes them, whatever
// the crew typed over them and whichever zone came between.
TEST_F(HoraireZr, UneZoneRechoisieRedonneLesLignesDuFichierEtDuSeparateurDuMoment) {
    charge_rallye(fichier_exemple);
    choisit_zone(1);
    m.memo_kms.remplace(0, "9,999");
    m.memo_moy.ajoute("50");
    choisit_zone(2);
    choisit_zone(1);
    EXPECT_EQ(m.memo_kms.lignes(), (Lignes{"2,500", "7,250", "12,000", ""}));
    EXPECT_EQ(m.memo_moy.lignes(), (Lignes{"45,00", "48,5", "40", ""}));
    choisit_zone(2);
    EXPECT_EQ(m.memo_kms.lignes(), Lignes{"10.00"});
    s.separateur = ".";
    choisit_zone(1);
    EXPECT_EQ(m.memo_kms.lignes(), (Lignes{"2.500", "7.250", "12.000", ""}));
    charge_rallye("KZR1\n99\n\nMZR1\n45\n\n", "autre.txt");
    choisit_zone(1);
    EXPECT_EQ(m.memo_kms.lignes(), (Lignes{"99", ""}));
    EXPECT_EQ(s.messages, (Lignes{"Cette ZR est inexistante dans le fichier",
                                  "Cette ZR est inexistante dans le fichier"}));
}

TEST_F(HoraireZr, ChoisirUneZoneSansRallyeDemandeUnRallyeEtNeToucheAucunChamp) {
    choisit_zone(1);
    EXPECT_EQ(s.messages, Lignes{"Pour pouvoir choisir une zone il faut sélectionner un RALLYE"});
    EXPECT_EQ(m.ZONE.index(), -1);
    EXPECT_EQ(m.memo_kms.lignes(), Lignes{"10.00"});
    EXPECT_EQ(m.memo_moy.lignes(), Lignes{"45.00"});
}

TEST_F(HoraireZr, LesSectionsSontLuesAvecLesEnTetesExacts) {
    struct {
        const char* nom;
        std::string fichier;
        Lignes kms; // empty: the zone is missing
        Lignes moy;
    } const cas[] = {
        {"en-tête suivi d'un blanc", "KZR1 \n1\n\nMZR1\n40\n\n", {}, {}},
        {"minuscules", "kzr1\n1\n\nMZR1\n40\n\n", {}, {}},
        {"zéro en tête", "KZR01\n1\n\nMZR1\n40\n\n", {}, {}},
        {"valeur entre blancs", "KZR1\n \t2.5  \n\nMZR1\n40\n\n", {"2,5", ""}, {"40", ""}},
        {"ZR12 n'est pas ZR1", "KZR12\n5\n\nKZR1\n1\n\nMZR1\n40\n\n", {"1", ""}, {"40", ""}},
        {"clé répétée dans la section",
         "KZR1\n1\nKZR1\n2\n\nMZR1\n40\n\n",
         {"1", "2", ""},
         {"40", ""}},
        {"deux passages", "KZR1\n1\n\nxx\nKZR1\n2\n\nMZR1\n40\n\n", {"1", "", "2", ""}, {"40", ""}},
        {"ligne de blancs dans la section",
         "KZR1\n1\n  \n2\n\nMZR1\n40\n\n",
         {"1", "", "2", ""},
         {"40", ""}},
        {"MZR collée à la KZR",
         "KZR1\n1\n2\nMZR1\n40\n50\n\n",
         {"1", "2", "MZR1", "40", "50", ""},
         {"40", "50", ""}},
        {"sans MZR", "KZR1\n1\n\n", {"1", ""}, {}},
        {"section d'une seule ligne vide", "KZR1\n\nMZR1\n40\n\n", {""}, {"40", ""}},
        {"fin de fichier sans ligne vide", "MZR1\n40\n\nKZR1\n1\n2", {"1", "2", ""}, {"40", ""}},
        {"fins de ligne CR seules", "KZR1\r1\r\rMZR1\r40\r\r", {"1", ""}, {"40", ""}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        s.messages.clear();
        charge_rallye(c.fichier);
        choisit_zone(1);
        if (c.kms.empty()) {
            EXPECT_EQ(s.messages, Lignes{"Cette ZR est inexistante dans le fichier"});
            EXPECT_EQ(m.memo_kms.lignes(), Lignes{"10.00"});
        } else {
            EXPECT_TRUE(s.messages.empty());
            EXPECT_EQ(m.memo_kms.lignes(), c.kms);
            EXPECT_EQ(m.memo_moy.lignes(), c.moy);
        }
    }
}

TEST_F(HoraireZr, SeulesLes201PremieresLignesDuFichierComptent) {
    std::string debut;
    for (int i = 0; i < 199; ++i)
        debut += "rien\n";
    charge_rallye(debut + "KZR1\n7\n8\n\n");
    EXPECT_EQ(m.Memo_copie.nombre(), 201u);
    choisit_zone(1);
    EXPECT_EQ(m.memo_kms.lignes(), Lignes{"7"}); // its last value is line 200: no empty line

    charge_rallye(debut + "rien\nKZR1\n7\n\n");
    choisit_zone(1);
    EXPECT_EQ(s.messages.back(), "Cette ZR est inexistante dans le fichier");
}

TEST_F(HoraireZr, UnNouveauRallyeNeRemplaceQueLeTamponEtAnnulerNeChangeRien) {
    charge_rallye(fichier_exemple);
    choisit_zone(1);
    const std::string autre = charge_rallye("KZR1\n99\n\n", "autre.txt");
    EXPECT_EQ(m.memo_kms.lignes(), (Lignes{"2,500", "7,250", "12,000", ""}));
    EXPECT_EQ(m.ZONE.texte(), "ZR1");
    EXPECT_EQ(m.Memo_copie.lignes(), (Lignes{"KZR1", "99", ""}));

    s.reponses_dialogue.push_back(std::nullopt);
    m.distribue([&] { m.choisir_rallyeClick(); });
    EXPECT_EQ(m.ed_fichier_rallye.texte(), autre);
    EXPECT_EQ(m.Memo_copie.nombre(), 3u);
    EXPECT_TRUE(s.messages.empty());
}

TEST_F(HoraireZr, UnFichierQuiNeSOuvrePasGardeLeTamponEtAfficheSonNom) {
    charge_rallye(fichier_exemple);
    for (const std::string& chemin : {rep.chemin() + "absent.txt", rep.chemin()}) {
        SCOPED_TRACE(chemin);
        s.messages.clear();
        ouvre(chemin);
        EXPECT_EQ(s.messages, Lignes{"Impossible d'ouvrir le fichier " + chemin});
        EXPECT_EQ(m.ed_fichier_rallye.texte(), chemin);
        EXPECT_EQ(m.Memo_copie.ligne(0), "KZR1");
        EXPECT_EQ(m.Memo_copie.nombre(), 10u);
    }
}

TEST_F(HoraireZr, LesChampsDeDemarrageDonnentUneRangeeDe800Secondes) {
    valide();
    EXPECT_EQ(m.memo_kms.lignes(), Lignes{"10,00"});
    EXPECT_EQ(m.memo_moy.lignes(), Lignes{"45,00"});
    EXPECT_EQ(m.etat.table_zr.durees_s[0], 800);
    EXPECT_EQ(m.etat.table_zr.fins_cumulees_s[0], 800);
    EXPECT_EQ(m.lb_nbr_changem.texte(), "0");
}

TEST_F(HoraireZr, LesRangeesSontConverties_ExactementAuMetrePres) {
    struct {
        const char* texte;
        std::int32_t milliemes;
    } const cas[] = {
        {"0.001", 1},   {"16.3", 16300}, {"16,3", 16300}, {" 2.5 ", 2500},
        {"1e1", 10000}, {"-0.5", -500},  {"0,0009", 0},   {"2147483.647", 2147483647},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.texte);
        s.messages.clear();
        saisit({c.texte}, {c.texte});
        valide();
        EXPECT_EQ(m.etat.table_zr.distances_m[0], c.milliemes);
        EXPECT_EQ(m.etat.table_zr.moyennes_mh[0], c.milliemes);
    }
}

TEST_F(HoraireZr, UneRangeeIllisibleAfficheErreurEtGardeSaLigneEtSonEntree) {
    valide(); // 10 000 m at 45 000 m/h
    struct {
        const char* texte;
    } const cas[] = {{"abc"}, {"1.2.3"}, {"2147483.648"}, {"-2147483.649"}, {"1e400"}, {"e5"}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.texte);
        s.messages.clear();
        saisit({c.texte}, {"50"});
        valide();
        valide(); // unchanged: the same box again, not a table taken as converted
        EXPECT_EQ(s.messages, (Lignes{"erreur", "erreur"}));
        EXPECT_EQ(m.memo_kms.ligne(0), c.texte);
        EXPECT_EQ(m.etat.table_zr.distances_m[0], 10000);
        EXPECT_EQ(m.etat.table_zr.durees_s[0], 720); // the old distance at the new average
    }
}

TEST_F(HoraireZr, LeComptageDesRangeesNeDemandePasQuEllesSeSuivent) {
    saisit({"1", "2"}, {"40", "40"});
    valide();
    saisit({"1.0", "", "3.0"}, {"40", "", "50"});
    valide();
    EXPECT_EQ(m.etat.nbr_lignes_zr, 2);
    EXPECT_EQ(s.messages, (Lignes{"erreur", "erreur"}));
    EXPECT_EQ(m.etat.table_zr.durees_s[1], 90); // from the entries row 1 already held
    EXPECT_EQ(m.memo_kms.lignes(), (Lignes{"1,0", "", "3.0"})); // row 2 never converted

    s.messages.clear();
    saisit({"1", "2", "3", "4"}, {"40", "40", "40"});
    valide();
    EXPECT_EQ(m.lb_nbr_changem.texte(), "2");
    EXPECT_EQ(m.memo_kms.ligne(3), "4");
    EXPECT_TRUE(s.messages.empty());

    saisit({"1", "  "}, {"40", "40"}); // a line of blanks is not empty: a row, unreadable
    valide();
    EXPECT_EQ(m.etat.nbr_lignes_zr, 2);
    EXPECT_EQ(s.messages, Lignes{"erreur"});
}

TEST_F(HoraireZr, DesChampsSansRangeeCommuneLaissentLaTableIntacte) {
    valide();
    saisit({"1", ""}, {"", "40"});
    valide();
    EXPECT_EQ(m.etat.nbr_lignes_zr, 0);
    EXPECT_EQ(m.lb_nbr_changem.texte(), "-1");
    EXPECT_EQ(m.etat.table_zr.distances_m[0], 10000);
    EXPECT_EQ(m.etat.table_zr.durees_s[0], 800);
    EXPECT_EQ(m.Panel6.couleur(), Tcouleur::sarcelle);
}

TEST_F(HoraireZr, UneMoyenneNulleArreteLaValidationAvantLaFin) {
    struct {
        Lignes kms;
        const char* message;
    } const cas[] = {
        {{"1", "3"}, "Division par zéro en virgule flottante"},
        {{"1", "1"}, "Opération en virgule flottante incorrecte"}, // no length either
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.message);
        Tservices_scriptes s2;
        Tmoteur m2(s2);
        m2.etat.table_zr.fins_cumulees_s = {7, 7};
        m2.memo_kms.ecrit_lignes(c.kms);
        m2.memo_moy.ecrit_lignes({"36", "0"});
        m2.distribue([&] { m2.valid_heure_zrClick(); });
        EXPECT_EQ(s2.messages, Lignes{c.message});
        EXPECT_EQ(m2.etat.nbr_lignes_zr, 2);
        EXPECT_EQ(m2.etat.table_zr.durees_s[0], 100); // the rows before are done
        EXPECT_EQ(m2.etat.table_zr.fins_cumulees_s[0], 7);
        EXPECT_EQ(m2.Panel6.couleur(), Tcouleur::rouge);
        EXPECT_FALSE(m2.cad_on.coche());
    }
}

TEST_F(HoraireZr, UneHeureDeDepartIllisibleArreteLaValidationApresLesChampsDejaLus) {
    m.etat.min_zr = 12;
    m.Labelchrono.ecrit_texte(" 0:12:00 ");
    m.cb_heure_zr.ecrit_texte("8");
    m.cb_min_zr.ecrit_texte("ab");
    valide();
    EXPECT_EQ(s.messages, Lignes{"'ab' n'est pas une valeur entière correcte"});
    EXPECT_EQ(m.etat.heure_zr, 8);
    EXPECT_EQ(m.etat.min_zr, 12);
    EXPECT_EQ(m.etat.nbr_lignes_zr, 0);
    EXPECT_FALSE(m.cad_on.coche());
    EXPECT_EQ(m.Labelchrono.texte(), " 0:12:00 ");
}

TEST_F(HoraireZr, DesValeursExtremesSontTenuesDansLesLimitesSansDebordement) {
    constexpr auto maxi = std::numeric_limits<std::int32_t>::max();
    constexpr auto mini = std::numeric_limits<std::int32_t>::min();
    // The longest row at one metre an hour, then a drop across the whole range.
    saisit({"2147483.647", "-2147483.648", "0"}, {"0.001", "0.001", "-0.001"});
    valide();
    EXPECT_TRUE(s.messages.empty());
    // Row 2 is 2 147 483 648 m forward at -1 m/h: a negative time beyond the range.
    EXPECT_EQ(premiers(m.etat.table_zr.durees_s, 3), (Entiers{maxi, mini, mini}));
    EXPECT_EQ(premiers(m.etat.table_zr.fins_cumulees_s, 3), (Entiers{maxi, -1, mini}));
}

TEST_F(HoraireZr, PendantUneBoiteErreurLeTopHorlogeLitLaTableTelleQuElleEst) {
    saisit({"2.5", "7.25"}, {"45", "48.5"});
    m.cb_heure_zr.ecrit_texte("10");
    m.cb_min_zr.ecrit_texte("00");
    m.cb_sec_zr.ecrit_texte("00");
    valide(); // ends of rows 200 s and 552 s
    s.regle_dixiemes(10 * 36000 + 3000);
    saisit({"3", "x", "9"}, {"90", "90", "90"});
    std::vector<std::int32_t> caden_pendant;
    s.pendant_message = [&](const std::string&) {
        m.distribue([&] { m.Timer1Timer(); });
        EXPECT_EQ(m.etat.nbr_lignes_zr, 3);
        EXPECT_EQ(m.Panel6.couleur(), Tcouleur::rouge);
        caden_pendant.push_back(m.etat.compteur_cadenceur.valeur_en_metres());
    };
    valide();
    EXPECT_EQ(s.messages, Lignes{"erreur"});
    // Row 0 already 3 000 m, row 1 still its old 7 250 m, the old ends 200 s, 552 s:
    // 300 s is in row 1, 1000 tenths past the end of row 0, at the old 48 500 m/h.
    EXPECT_EQ(caden_pendant, std::vector<std::int32_t>{3000 + 1347});
    EXPECT_EQ(m.Panel6.couleur(), Tcouleur::sarcelle);
}

// What a rally file of any size or content gives: bounded lines, known messages only.
TEST_F(HoraireZr, UnFichierDeRallyeQuelconqueResteBorneEtSansPlantage) {
    std::string binaire;
    std::uint32_t graine = 12345;
    for (int i = 0; i < 300000; ++i) {
        graine = graine * 1103515245u + 12345u;
        binaire += static_cast<char>(graine >> 24);
    }
    std::string sans_fin(50000, 'A');
    const std::string nul(1, '\0');
    const std::string nuls = "KZR1\n" + nul + "1" + nul + ".5\n" + std::string(3, '\0') + "\n\n";
    std::string beaucoup;
    for (int i = 0; i < 20000; ++i)
        beaucoup += "KZR1\n";
    struct {
        const char* nom;
        std::string contenu;
    } const cas[] = {
        {"binaire", binaire},  {"sans fin de ligne", sans_fin},
        {"octets nuls", nuls}, {"vingt mille en-têtes", beaucoup},
        {"vide", ""},
    };
    const std::vector<std::string> permis = {"Cette ZR est inexistante dans le fichier", "erreur",
                                             "Division par zéro en virgule flottante",
                                             "Opération en virgule flottante incorrecte"};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        s.messages.clear();
        charge_rallye(c.contenu);
        EXPECT_LE(m.Memo_copie.nombre(), 201u);
        for (const std::string& l : m.Memo_copie.lignes())
            EXPECT_LE(l.size(), 2 * 4096u);
        choisit_zone(1);
        valide();
        EXPECT_LE(m.memo_kms.nombre(), 202u);
        for (const std::string& msg : s.messages)
            EXPECT_NE(std::find(permis.begin(), permis.end(), msg), permis.end()) << msg;
    }
}

TEST_F(HoraireZr, UneLigneDeCentMegaOctetsEstSauteeEtLaZoneSuivanteTrouvee) {
    const std::string chemin = rep.ecrit("gros.txt", "");
    std::filesystem::resize_file(chemin, 100u * 1024 * 1024); // NUL bytes, no line end
    {
        std::ofstream f(chemin, std::ios::binary | std::ios::app);
        f << "\nKZR1\n5\n\nMZR1\n50\n\n";
    }
    ouvre(chemin);
    EXPECT_EQ(m.Memo_copie.nombre(), 7u);
    EXPECT_LE(m.Memo_copie.ligne(0).size(), 4096u);
    choisit_zone(1);
    valide();
    EXPECT_TRUE(s.messages.empty());
    EXPECT_EQ(m.etat.nbr_lignes_zr, 1);
    EXPECT_EQ(m.etat.table_zr.durees_s[0], 360);
}

} // namespace
