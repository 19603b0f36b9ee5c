// Runs recorded and replayed: the replay must find every checkpoint as recorded.
#include "lecture_journal.h"
#include "rejeu.h"
#include "repertoire_journaux.h"
#include "scenarios.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

struct Tcas_parcours {
    const char* nom;
    std::function<void(Tparcours_enregistre&, const std::string&)> scenario;
    std::size_t points_min; // checkpoints the run must at least leave
};

std::ostream& operator<<(std::ostream& o, const Tcas_parcours& c) {
    return o << c.nom;
}

class EnregistreEtRejoue : public ::testing::TestWithParam<Tcas_parcours> {};

TEST_P(EnregistreEtRejoue, le_rejeu_est_identique) {
    Trepertoire_temporaire rep;
    rep.ecrit("etalonnage.txt", "540\n1000\n541\n1000\n539\n1000\n");
    const std::string chemin = rep.chemin() + "parcours.journal";
    {
        Tparcours_enregistre p(chemin, rep.chemin(), 10 * 36000);
        GetParam().scenario(p, VELMORA_RALLYE_EXEMPLE);
    }
    const Tjournal j = lit_journal(chemin);
    EXPECT_TRUE(j.complet);
    EXPECT_GE(j.points.size(), GetParam().points_min);

    Tmoteur_rejoue m(j);
    std::size_t points = 0;
    m.rejeu.sur_point = [&](const Tpoint_controle&) { ++points; };
    m.rejoue();
    if (const auto& d = m.rejeu.divergence()) FAIL() << texte_divergence(*d);
    EXPECT_FALSE(m.rejeu.coupe_dans_un_evenement());
    EXPECT_EQ(points, j.points.size());

    // The picture of the README is drawn from the sample drive's journal (scripts/).
    if (const char* garde = std::getenv("VELMORA_GARDE_JOURNAUX"))
        std::filesystem::copy_file(
            chemin, std::filesystem::path(garde) / (std::string(GetParam().nom) + ".journal"),
            std::filesystem::copy_options::overwrite_existing);
}

INSTANTIATE_TEST_SUITE_P(
    Parcours, EnregistreEtRejoue,
    ::testing::Values(Tcas_parcours{"session_complete", session_complete, 80},
                      Tcas_parcours{"boites_pendant_la_course", boites_pendant_la_course, 10},
                      Tcas_parcours{"parcours_exemple", parcours_exemple, 1000},
                      Tcas_parcours{"horloge_qui_saute", horloge_qui_saute, 40}),
    [](const auto& i) { return std::string(i.param.nom); });

// The computer's clock's steps are in the journal as the engine saw them, the computer's time
// beside the official one wherever they differ, and a step changed is a divergence.
TEST(HorlogeDuJournal, garde_chaque_saut_et_l_heure_de_l_ordinateur) {
    Trepertoire_temporaire rep;
    rep.ecrit("etalonnage.txt", "540\n1000\n541\n1000\n539\n1000\n");
    const std::string chemin = rep.chemin() + "parcours.journal";
    {
        Tparcours_enregistre p(chemin, rep.chemin(), 10 * 36000);
        horloge_qui_saute(p, VELMORA_RALLYE_EXEMPLE);
    }
    const Tjournal j = lit_journal(chemin);
    std::vector<std::pair<std::int64_t, std::int64_t>> sauts;
    std::size_t questions = 0;
    for (const Tligne_journal& l : j.lignes) {
        if (l.genre == Tgenre_ligne::saut_horloge) sauts.emplace_back(l.n[0], l.n[1]);
        if (l.genre == Tgenre_ligne::question) ++questions;
    }
    const auto suite = [](Tsuite_saut s) { return static_cast<std::int64_t>(s); };
    const std::vector<std::pair<std::int64_t, std::int64_t>> attendus{
        {2300, suite(Tsuite_saut::suivi)},
        {-3'600'000, suite(Tsuite_saut::garde_zone)},
        {2300, suite(Tsuite_saut::garde_zone)},
        {-3'597'700, suite(Tsuite_saut::repris)},
        {-2300, suite(Tsuite_saut::garde_officielle)},
    };
    EXPECT_EQ(sauts, attendus);
    EXPECT_EQ(questions, 3u);
    // Official time in the checkpoints; the computer's beside it while they differ.
    std::size_t avec_ordinateur = 0;
    for (const Tpoint_controle& p : j.points)
        if (!p.ordinateur.empty()) {
            ++avec_ordinateur;
            EXPECT_NE(p.ordinateur, p.heure);
        }
    EXPECT_GT(avec_ordinateur, 5u);
    EXPECT_LT(avec_ordinateur, j.points.size());

    std::string texte;
    {
        std::ifstream f(chemin, std::ios::binary);
        texte.assign(std::istreambuf_iterator<char>(f), {});
    }
    const std::size_t i = texte.find("saut-horloge -3600000 zone");
    ASSERT_NE(i, std::string::npos);
    texte.replace(i, 26, "saut-horloge -3600000 suivi");
    const Tjournal change = lit_journal_octets(texte, "change");
    Tmoteur_rejoue m(change);
    m.rejoue();
    ASSERT_TRUE(m.rejeu.divergence());
    EXPECT_EQ(m.rejeu.divergence()->controle, "saut de l'horloge");
    EXPECT_EQ(m.rejeu.divergence()->rejoue, "-3600000 ms, zone");
}

// A journal that cannot be written (a full disk) stops with one line on standard error;
// the run goes on exactly as without a journal, and no box opens.
TEST(JournalImpossibleAEcrire, s_arrete_sans_toucher_au_parcours) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no full disk to hand (/dev/full)";
#endif
    Trepertoire_temporaire rep;
    rep.ecrit("etalonnage.txt", "540\n1000\n541\n1000\n539\n1000\n");
    std::FILE* plein = std::fopen("/dev/full", "wb");
    ASSERT_NE(plein, nullptr);
    auto fichier = Tfichier_journal::sur(plein, "/dev/full");
    std::vector<std::string> lignes;
    fichier->signale = [&](const std::string& l) { lignes.push_back(l); };
    Tparcours_enregistre sans_disque(std::move(fichier), rep.chemin(), 10 * 36000);
    // The same run with its journal on a disk that takes it.
    Tparcours_enregistre temoin(rep.chemin() + "temoin.journal", rep.chemin(), 10 * 36000);
    for (Tparcours_enregistre* p : {&sans_disque, &temoin}) {
        p->branche_boitier();
        p->tape("cb_min_zr", "00");
        p->clic("valid_heure_zr");
        p->roule(5, 50);
        p->touches({3, 16});
        p->roule(5, 50);
    }
    EXPECT_TRUE(sans_disque.services.messages.empty());
    EXPECT_EQ(sans_disque.moteur().etat.compteur_total.valeur_en_metres(),
              temoin.moteur().etat.compteur_total.valeur_en_metres());
    EXPECT_EQ(sans_disque.moteur().la_ecart.texte(), temoin.moteur().la_ecart.texte());
    sans_disque.termine(); // the writing thread has ended: its line is there
    ASSERT_EQ(lignes.size(), 1u);
    EXPECT_EQ(lignes[0], "velmora : journal de bord arrêté, écriture impossible dans /dev/full "
                         "(No space left on device)");
}

// A file that cannot be made durable (a pipe: fdatasync refuses it) stops the journal as a
// full disk does: lines only written, never synchronised, would be lost to a cut of power.
TEST(JournalImpossibleAEcrire, s_arrete_quand_il_ne_peut_etre_synchronise) {
#ifdef _WIN32
    GTEST_SKIP() << "a pipe's _commit is not the POSIX case";
#else
    int tube[2];
    ASSERT_EQ(::pipe(tube), 0);
    std::FILE* f = ::fdopen(tube[1], "wb");
    ASSERT_NE(f, nullptr);
    std::vector<std::string> lignes;
    {
        auto fichier = Tfichier_journal::sur(f, "tube");
        fichier->signale = [&](const std::string& l) { lignes.push_back(l); };
        fichier->ajoute("# VELMORA journal de bord\n");
    } // written, flushed and synchronised within the second, or stopped
    ::close(tube[0]);
    ASSERT_EQ(lignes.size(), 1u);
    EXPECT_EQ(lignes[0], "velmora : journal de bord arrêté, écriture impossible dans tube "
                         "(Invalid argument)");
#endif
}

// Whatever count a journal gives, Read copies no more than the caller's buffer holds.
TEST(Rejeu, hid_lit_ne_copie_pas_au_dela_du_tampon) {
    Tjournal j;
    j.complet = true;
    Tligne_journal l;
    l.genre = Tgenre_ligne::hid_lit;
    l.numero = 6;
    l.n = {7, 8, 100, 0};
    l.contenu = 0;
    j.contenus.push_back({{}, {}, std::vector<std::uint8_t>(100, 0xAB)});
    j.lignes.push_back(l);
    Trejeu r(j);
    std::array<std::uint8_t, 128> tampon{}; // room for the fault to show, not to crash
    EXPECT_EQ(r.Read(7, tampon.data(), 8), 100);
    EXPECT_EQ(std::count(tampon.begin(), tampon.begin() + 8, 0xAB), 8);
    EXPECT_EQ(std::count(tampon.begin() + 8, tampon.end(), 0), 120);
}

// Retention, called as the window calls it before a run: only journals go, the oldest first,
// by run number and never by a clock.
struct Tcas_rangement {
    const char* nom;
    std::vector<std::pair<const char*, std::size_t>> fichiers; // name, size, oldest run first
    std::size_t nombre;
    std::uintmax_t octets;
    std::set<std::string> restent;
};

std::ostream& operator<<(std::ostream& o, const Tcas_rangement& c) {
    return o << c.nom;
}

class Rangement : public ::testing::TestWithParam<Tcas_rangement> {};

TEST_P(Rangement, garde_les_parcours_les_plus_recents) {
    Trepertoire_temporaire rep;
    for (const auto& [nom, taille] : GetParam().fichiers)
        rep.ecrit(nom, std::string(taille, 'x'));
    range_journaux(rep.chemin(), GetParam().nombre, GetParam().octets);
    std::set<std::string> restent;
    for (const auto& f : std::filesystem::directory_iterator(rep.chemin()))
        restent.insert(f.path().filename().string());
    EXPECT_EQ(restent, GetParam().restent);
}

std::vector<std::pair<const char*, std::size_t>> cinquante_deux() {
    static std::vector<std::string> noms;
    std::vector<std::pair<const char*, std::size_t>> f;
    noms.clear();
    for (int n = 1; n <= 52; ++n)
        noms.push_back("velmora-2026-12-07-100000-p" + std::to_string(n) + ".journal");
    for (const auto& n : noms)
        f.emplace_back(n.c_str(), 10);
    return f;
}

std::set<std::string> de_trois_a_cinquante_deux() {
    std::set<std::string> r;
    for (int n = 3; n <= 52; ++n)
        r.insert("velmora-2026-12-07-100000-p" + std::to_string(n) + ".journal");
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    Journaux, Rangement,
    ::testing::Values(Tcas_rangement{"cinquante_gardes_les_plus_recents", cinquante_deux(), 50,
                                     1u << 30, de_trois_a_cinquante_deux()},
                      // The crew set the laptop to the official time, earlier than the computer's.
                      Tcas_rangement{"horloge_reculee",
                                     {{"velmora-2026-12-08-100000-p1.journal", 10},
                                      {"velmora-2026-12-07-090000-p2.journal", 10}},
                                     1,
                                     1000,
                                     {"velmora-2026-12-07-090000-p2.journal"}},
                      Tcas_rangement{"horloge_avancee_puis_corrigee",
                                     {{"velmora-2026-12-07-100000-p1.journal", 10},
                                      {"velmora-2027-01-01-100000-p2.journal", 10},
                                      {"velmora-2026-12-07-110000-p3.journal", 10}},
                                     2,
                                     1000,
                                     {"velmora-2027-01-01-100000-p2.journal",
                                      "velmora-2026-12-07-110000-p3.journal"}},
                      Tcas_rangement{"deux_dans_la_meme_seconde",
                                     {{"velmora-2026-12-07-140509.journal", 10},
                                      {"velmora-2026-12-07-140509-2.journal", 10},
                                      {"velmora-2026-12-07-140509-3.journal", 10}},
                                     2,
                                     1000,
                                     {"velmora-2026-12-07-140509-2.journal",
                                      "velmora-2026-12-07-140509-3.journal"}},
                      Tcas_rangement{"le_plus_recent_trop_gros_ne_retire_que_les_anciens",
                                     {{"velmora-2026-12-07-100000-p1.journal", 10},
                                      {"velmora-2026-12-07-110000-p2.journal", 10},
                                      {"velmora-2026-12-07-120000-p3.journal", 300}},
                                     50,
                                     200,
                                     {"velmora-2026-12-07-120000-p3.journal"}},
                      Tcas_rangement{"dans_le_budget",
                                     {{"velmora-2026-12-07-100000-p1.journal", 100},
                                      {"velmora-2026-12-07-110000-p2.journal", 60},
                                      {"velmora-2026-12-07-120000-p3.journal", 60}},
                                     50,
                                     200,
                                     {"velmora-2026-12-07-110000-p2.journal",
                                      "velmora-2026-12-07-120000-p3.journal"}},
                      // Names before numbering are counted, and older than every numbered run.
                      Tcas_rangement{"anciens_noms_comptes",
                                     {{"velmora-2026-12-06-100000.journal", 10},
                                      {"velmora-2026-12-09-100000.journal", 10},
                                      {"velmora-2026-12-01-100000-p1.journal", 10}},
                                     2,
                                     1000,
                                     {"velmora-2026-12-09-100000.journal",
                                      "velmora-2026-12-01-100000-p1.journal"}},
                      Tcas_rangement{"seuls_les_journaux_s_en_vont",
                                     {{"velmora-0-a-garder.journal", 10},
                                      {"velmora-copie.journal", 10},
                                      {"velmora-2026-12-07-100000.journal.bak", 10},
                                      {"velmora-2026-12-07-100000-p0.journal", 10},
                                      {"notes.txt", 10},
                                      {"velmora-2026-12-07-100000-p1.journal", 10},
                                      {"velmora-2026-12-07-110000-p2.journal", 10}},
                                     1,
                                     1000,
                                     {"velmora-0-a-garder.journal", "velmora-copie.journal",
                                      "velmora-2026-12-07-100000.journal.bak",
                                      "velmora-2026-12-07-100000-p0.journal", "notes.txt",
                                      "velmora-2026-12-07-110000-p2.journal"}}),
    [](const auto& i) { return std::string(i.param.nom); });

// A run started with the clock set back follows the folder's last run, and the runs before
// it make room for it, not it for them.
TEST(NouveauJournal, suit_le_dernier_parcours_du_dossier_quelle_que_soit_l_horloge) {
    Trepertoire_temporaire rep;
    for (std::size_t n = 1; n <= journaux_gardes; ++n)
        rep.ecrit("velmora-2026-12-08-120000-p" + std::to_string(n) + ".journal", "x");
    rep.ecrit("velmora-2026-12-09-120000.journal", "x"); // an older program's, dated later
    const std::time_t hier = 1796000000;                 // earlier than every name above
    const Tnouveau_journal j = ouvre_nouveau_journal(rep.chemin(), hier);
    ASSERT_TRUE(j.fichier) << j.erreur;
    const std::string nom = j.fichier->chemin().filename().string();
    EXPECT_TRUE(nom.ends_with("-p" + std::to_string(journaux_gardes + 1) + ".journal")) << nom;
    std::set<std::string> restent;
    for (const auto& f : std::filesystem::directory_iterator(rep.chemin()))
        restent.insert(f.path().filename().string());
    EXPECT_EQ(restent.size(), journaux_gardes);
    EXPECT_TRUE(restent.contains(nom));
    EXPECT_FALSE(restent.contains("velmora-2026-12-09-120000.journal"));
    EXPECT_FALSE(restent.contains("velmora-2026-12-08-120000-p1.journal"));
}

} // namespace

// A journal written before the rally clock (format 1): its clock's text came before the clock,
// naming no time, and its clock had no counter. It replays as it was recorded.
TEST(JournalFormat1, se_rejoue_encore) {
    Trepertoire_temporaire rep;
    rep.ecrit("etalonnage.txt", "540\n1000\n541\n1000\n539\n1000\n");
    const std::string chemin = rep.chemin() + "parcours.journal";
    {
        Tparcours_enregistre p(chemin, rep.chemin(), 23 * 36000 + 59 * 600 + 30);
        session_complete(p, VELMORA_RALLYE_EXEMPLE); // over midnight
    }
    std::ifstream f(chemin);
    std::string ligne, format_1, heure; // the clock held back until its text is seen
    std::size_t textes = 0;
    while (std::getline(f, ligne)) {
        if (ligne == "format 2") ligne = "format 1";
        // Format 1 wrote the computer's clock alone, and after its text when it asked for one.
        if (ligne.starts_with("heure-texte ")) {
            format_1 += "heure-texte " + ligne.substr(ligne.find('"')) + "\n" + heure + "\n";
            heure.clear();
            ++textes;
            continue;
        }
        if (!heure.empty()) format_1 += heure + "\n";
        heure.clear();
        if (ligne.starts_with("heure "))
            heure = ligne.substr(0, ligne.rfind(' '));
        else
            format_1 += ligne + "\n";
    }
    ASSERT_GT(textes, 100u);
    const Tjournal j = lit_journal_octets(format_1, "format 1");
    EXPECT_EQ(j.format, 1);
    Tmoteur_rejoue m(j);
    m.rejoue();
    if (const auto& d = m.rejeu.divergence()) FAIL() << texte_divergence(*d);
    EXPECT_GT(m.rejeu.points_compares(), 80u);
}
