// The one way a file is written for the crew: whole or not at all, never onto what is not a
// regular file, never onto the file the command reads.
#include "ecriture_fichier.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace {

#ifndef _WIN32

namespace fs = std::filesystem;

std::string contenu(const std::string& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

// Nothing but the expected files in the folder: no temporary one left behind.
std::size_t fichiers(const std::string& dossier) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& f : fs::directory_iterator(dossier))
        ++n;
    return n;
}

struct Tcas_cible {
    const char* nom;
    // Makes the target in the folder and returns its path.
    std::function<std::string(const Trepertoire_temporaire&)> prepare;
    bool lue = false;   // the command reads it
    std::string raison; // empty: written
    // What the target must still be afterwards.
    std::function<void(const std::string&)> verifie;
};

void PrintTo(const Tcas_cible& c, std::ostream* os) {
    *os << c.nom;
}

const std::string nouveau(100000, 'n');

class EcritureFichier : public testing::TestWithParam<Tcas_cible> {};

TEST_P(EcritureFichier, ecrit_entier_ou_laisse_tout_tel_quel) {
    const Tcas_cible& c = GetParam();
    Trepertoire_temporaire rep;
    const std::string cible = c.prepare(rep);
    const std::size_t avant = fichiers(rep.chemin());
    const auto echec = ecrit_fichier_entier(
        cible, nouveau, c.lue ? std::vector{cible} : std::vector<std::string>{});
    if (c.raison.empty()) {
        EXPECT_FALSE(echec) << *echec;
    } else {
        ASSERT_TRUE(echec);
        EXPECT_NE(echec->find(c.raison), std::string::npos) << *echec;
    }
    c.verifie(cible);
    EXPECT_EQ(fichiers(rep.chemin()), avant + (c.nom == std::string("absent")));
}

const auto reste = [](const char* ancien) {
    return [ancien](const std::string& c) { EXPECT_EQ(contenu(c), ancien); };
};

INSTANTIATE_TEST_SUITE_P(
    Cibles, EcritureFichier,
    testing::Values(
        Tcas_cible{"absent", [](const auto& r) { return r.chemin() + "t.pdf"; }, false, "",
                   [](const std::string& c) { EXPECT_EQ(contenu(c), nouveau); }},
        Tcas_cible{"remplace_en_gardant_ses_droits",
                   [](const auto& r) {
                       const auto c = r.ecrit("t.pdf", "ancien");
                       fs::permissions(c, fs::perms::owner_read | fs::perms::owner_write |
                                              fs::perms::group_read);
                       return c;
                   },
                   false, "",
                   [](const std::string& c) {
                       EXPECT_EQ(contenu(c), nouveau);
                       EXPECT_EQ(fs::status(c).permissions(), fs::perms::owner_read |
                                                                  fs::perms::owner_write |
                                                                  fs::perms::group_read);
                   }},
        // Through a link, the file it leads to: the link stays (a calibration file is one).
        Tcas_cible{"lien",
                   [](const auto& r) {
                       r.ecrit("vrai.txt", "ancien");
                       fs::create_symlink(r.chemin() + "vrai.txt", r.chemin() + "lien.txt");
                       return r.chemin() + "lien.txt";
                   },
                   false, "",
                   [](const std::string& c) {
                       EXPECT_TRUE(fs::is_symlink(c));
                       EXPECT_EQ(contenu(c), nouveau);
                   }},
        Tcas_cible{"fichier_lu", [](const auto& r) { return r.ecrit("j.journal", "ancien"); }, true,
                   "c'est le fichier que la commande lit", reste("ancien")},
        Tcas_cible{"lecture_seule",
                   [](const auto& r) {
                       const auto c = r.ecrit("t.pdf", "ancien");
                       fs::permissions(c, fs::perms::owner_read);
                       return c;
                   },
                   false, "lecture seule", reste("ancien")},
        Tcas_cible{"dossier",
                   [](const auto& r) {
                       fs::create_directory(r.chemin() + "d");
                       return r.chemin() + "d";
                   },
                   false, "c'est un dossier, pas un fichier",
                   [](const std::string& c) { EXPECT_TRUE(fs::is_directory(c)); }},
        Tcas_cible{"tube",
                   [](const auto& r) {
                       const auto c = r.chemin() + "tube";
                       ::mkfifo(c.c_str(), 0600);
                       return c;
                   },
                   false, "c'est un tube (FIFO), pas un fichier",
                   [](const std::string& c) { EXPECT_TRUE(fs::is_fifo(c)); }},
        // A node of the null device of its own: a fault here must never replace /dev/null.
        Tcas_cible{"peripherique",
                   [](const auto& r) {
                       const auto c = r.chemin() + "nul";
                       if (::mknod(c.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                           return std::string("/dev/null"); // not root: nothing it could replace
                       return c;
                   },
                   false, "c'est un périphérique, pas un fichier",
                   [](const std::string& c) { EXPECT_TRUE(fs::is_character_file(c)); }},
        Tcas_cible{"dossier_absent", [](const auto& r) { return r.chemin() + "absent/t.pdf"; },
                   false, "il ne peut pas être créé (son dossier n'existe pas)",
                   [](const std::string& c) { EXPECT_FALSE(fs::exists(c)); }}),
    [](const auto& i) { return std::string(i.param.nom); });

// A disk that fills during the write, a real one: a small tmpfs.
TEST(EcritureFichierDisquePlein, laisse_l_ancien_fichier_et_dit_pourquoi) {
    Trepertoire_temporaire rep;
    const std::string disque = rep.chemin() + "disque";
    fs::create_directory(disque);
    if (::mount("tmpfs", disque.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "a tmpfs cannot be mounted here (it needs root): " << std::strerror(errno);
    struct Tdemontage {
        std::string d;
        ~Tdemontage() { ::umount(d.c_str()); }
    } demontage{disque};
    const std::string ancien(20000, 'a');
    const std::string cible = disque + "/t.pdf";
    std::ofstream(cible) << ancien;
    for (const std::size_t taille : {std::size_t{60000}, std::size_t{1} << 20}) {
        const auto echec = ecrit_fichier_entier(cible, std::string(taille, 'n'));
        ASSERT_TRUE(echec) << taille;
        EXPECT_NE(echec->find("Impossible d'écrire le fichier " + cible +
                              " : l'écriture a échoué : le disque est plein ; l'ancien fichier "
                              "est inchangé"),
                  std::string::npos)
            << *echec;
        EXPECT_EQ(contenu(cible), ancien);
        EXPECT_EQ(fichiers(disque), 1u);
    }
}

// Standard output that cannot take the bytes, as /dev/full: an error, said why.
TEST(EcritureFichierSortieStandard, un_echec_est_dit) {
    const int pleine = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(pleine, 0);
    const int sortie = ::dup(STDOUT_FILENO);
    ::dup2(pleine, STDOUT_FILENO);
    Tecriture_fichier f("-", {}, true);
    const bool ecrit = f.ouvre() && f.ecrit("identique\n") && f.termine();
    ::dup2(sortie, STDOUT_FILENO);
    ::close(sortie);
    ::close(pleine);
    EXPECT_FALSE(ecrit);
    EXPECT_EQ(f.message(), "Impossible d'écrire sur la sortie standard : l'écriture a échoué : le "
                           "disque est plein");
    // Where a command does not write on standard output, "-" is a file's name like another.
    EXPECT_FALSE(Tecriture_fichier("-").sur_sortie_standard());
}

#endif

} // namespace
