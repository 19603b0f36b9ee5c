// Every time of the table is the one the window's cadenceur shows: at that tenth CADEN has
// reached the distance, one tenth earlier it had not.
#include "horaire_rallye.h"
#include "moteur.h"
#include "services_scriptes.h"
#include "tableau_marche.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t dixiemes_par_jour = 864000;

// The window, with the zone of the file chosen and validated for a start at midnight,
// so that the clock's tenth of the day is the time since the start.
class Tfenetre_a_minuit {
public:
    Tfenetre_a_minuit(const std::string& rallye, int zone) {
        s.reponses_dialogue.push_back(rallye);
        m.distribue([&] { m.choisir_rallyeClick(); });
        m.ZONE.choisit(zone);
        m.distribue([&] { m.choisir_la_zr(); });
        for (Tmodele_champ* c : {&m.cb_heure_zr, &m.cb_min_zr, &m.cb_sec_zr})
            c->ecrit_texte("00");
        m.distribue([&] { m.valid_heure_zrClick(); });
    }

    // CADEN as its six labels show it after the clock tick at that tenth of the day.
    std::int32_t caden_a(std::int32_t dixiemes) {
        s.regle_dixiemes(dixiemes);
        m.distribue([&] { m.Timer1Timer(); });
        std::int32_t metres = 0;
        for (auto it = m.labels_cadenceur.rbegin(); it != m.labels_cadenceur.rend(); ++it)
            metres = metres * 10 + std::stoi((*it)->texte());
        return metres;
    }

    Tservices_scriptes s;
    Tmoteur m{s};
};

void verifie_contre_le_cadenceur(const std::string& rallye, int zone, std::int32_t pas) {
    const Thoraire_zone h = lit_horaire_zone(rallye, zone);
    const auto lignes = tableau_de_marche(h.table, h.nbr_rangees, pas);
    Tfenetre_a_minuit f(rallye, zone);
    ASSERT_TRUE(f.s.messages.empty());
    ASSERT_EQ(f.m.etat.nbr_lignes_zr, h.nbr_rangees);

    // A line at every multiple of the step and at every row end, each once, in order.
    std::set<std::int32_t> attendues;
    const std::int32_t fin = h.table.distances_m[static_cast<std::size_t>(h.nbr_rangees - 1)];
    for (std::int32_t d = 0; d <= fin; d += pas)
        attendues.insert(d);
    for (std::int32_t r = 0; r < h.nbr_rangees; ++r)
        attendues.insert(h.table.distances_m[static_cast<std::size_t>(r)]);
    std::vector<std::int32_t> distances;
    for (const auto& l : lignes)
        distances.push_back(l.distance_m);
    EXPECT_EQ(distances, std::vector<std::int32_t>(attendues.begin(), attendues.end()));

    ASSERT_LT(lignes.back().dixiemes, dixiemes_par_jour); // within the day the clock can show
    for (const auto& l : lignes) {
        SCOPED_TRACE("distance " + std::to_string(l.distance_m) + " m, " +
                     std::to_string(l.dixiemes) + " dixièmes");
        EXPECT_GE(f.caden_a(l.dixiemes), l.distance_m);
        if (l.dixiemes > 0) {
            EXPECT_LT(f.caden_a(l.dixiemes - 1), l.distance_m);
        }
    }
}

TEST(TableauDeMarche, LesTempsDeLaZr1DuRallyeExempleSontCeuxDuCadenceur) {
    verifie_contre_le_cadenceur(VELMORA_RALLYE_EXEMPLE, 1, 100);
}

// 50 rows of mixed lengths and averages, with what makes a cadence jump or stall: rows
// shorter than a second's drive, the first one among them (it has ended at tenth 0, where
// the cadenceur has not started yet), a row of no length, a row whose time is whole
// seconds, the same average twice running.
std::string zone_melangee() {
    std::mt19937 alea(20261207);
    std::uniform_int_distribution<std::int32_t> longueur(150, 4000), moyenne(25000, 75000);
    std::string kms = "KZR7\n", moy = "MZR7\n";
    std::int32_t d = 0;
    std::int32_t v = 0;
    for (int r = 0; r < 50; ++r) {
        std::int32_t l = longueur(alea);
        v = moyenne(alea);
        if (r == 0 || r == 5) l = 4; // 4 m at over 25 km/h: under a second
        if (r == 11) l = 0;
        if (r == 17) l = 2500, v = 45000; // 200 s exactly
        if (r == 18) v = 45000;
        d += l;
        kms += std::to_string(d / 1000) + "." + std::to_string(1000 + d % 1000).substr(1) + "\n";
        moy += std::to_string(v / 1000) + "," + std::to_string(1000 + v % 1000).substr(1) + "\n";
    }
    return kms + "\n" + moy + "\n";
}

TEST(TableauDeMarche, LesTempsDUneZoneDeCinquanteLignesMeleesSontCeuxDuCadenceur) {
    Trepertoire_temporaire rep;
    const std::string rallye = rep.ecrit("melange.txt", zone_melangee());
    verifie_contre_le_cadenceur(rallye, 7, 100);
    verifie_contre_le_cadenceur(rallye, 7, 7);
}

// A line of blanks among the averages: the window reads it as empty, which leaves the
// 3 km row and the 70 km/h average out; the table keeps the same rows (and says so).
TEST(TableauDeMarche, UneMoyenneBlancheLaisseDeCoteLesMemesLignesQueDansLaFenetre) {
    Trepertoire_temporaire rep;
    const std::string rallye =
        rep.ecrit("blanche.txt", "KZR1\n1\n2\n3\n\nMZR1\n50\n60\n  \n70\n\n");
    verifie_contre_le_cadenceur(rallye, 1, 100);
    EXPECT_EQ(lit_horaire_zone(rallye, 1).avertissements.size(), 1u);
}

} // namespace
