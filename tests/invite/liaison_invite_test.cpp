// The box through the kernel: a virtual box made by uhid, read through hidraw, hidapi
// and udev by the real HID library, its notifications handled by the link and the
// engine as the window's event loop would. Runs in a guest (scripts/vm), opening
// files as a crew member would (user nobody, group plugdev).
#include "boitier_pilote.h"
#include "hid_reel.h"
#include "liaison_boitier.h"
#include "moteur.h"
#include "services_scriptes.h"
#include "systeme_invite.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <pthread.h>
#include <sys/syscall.h>

namespace {

using namespace std::chrono_literals;
using Thorloge = std::chrono::steady_clock;

// Where the library posts: a queue that the test's loop empties, as the window's would.
class Tfile_avis : public IHidTarget {
public:
    void PostHidEvent(std::uint32_t wParam, std::uint32_t lParam) override {
        std::lock_guard v(m_);
        file_.emplace_back(wParam, lParam);
        cv_.notify_all();
    }
    bool prend(std::pair<std::uint32_t, std::uint32_t>& avis, std::chrono::milliseconds delai) {
        std::unique_lock v(m_);
        if (!cv_.wait_for(v, delai, [&] { return !file_.empty(); })) return false;
        avis = file_.front();
        file_.pop_front();
        return true;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    std::deque<std::pair<std::uint32_t, std::uint32_t>> file_;
};

std::string lit(const Tlabels_compteur& labels) {
    std::string t;
    for (auto i = labels.rbegin(); i != labels.rend(); ++i)
        t += (*i)->texte();
    return t;
}

std::string metres(long m) {
    char t[8];
    std::snprintf(t, sizeof t, "%06ld", m);
    return t;
}

// The program's side: engine, HID library and link, calibrated 540 revolutions a km.
class Tprogramme {
public:
    Tprogramme() {
        moteur.etat.dist_etal = 1000;
        moteur.etat.tours_etal = 540;
        liaison.demarrage_hid({}, &file);
        journal("programme démarré : Connect fait");
    }
    // The event loop until `condition` holds; false if it never did within `delai`.
    bool tourne_jusqu_a(const std::function<bool()>& condition, std::chrono::seconds delai = 60s) {
        const auto fin = Thorloge::now() + delai;
        while (!condition()) {
            if (Thorloge::now() > fin) return false;
            traite(50ms);
        }
        return true;
    }
    // The event loop until the box has printed `texte` beyond its first `apres` lines.
    bool attend(Tboitier_pilote& b, const std::string& texte, std::size_t apres = 0,
                std::chrono::seconds delai = 60s) {
        return tourne_jusqu_a([&] { return b.cherche(texte, apres) >= 0; }, delai);
    }
    // Revolutions from the box, until it has sent them all.
    bool tours(Tboitier_pilote& b, long n) {
        const auto deja = b.nombre_de_lignes();
        b.commande("tours " + std::to_string(n));
        return attend(b, "envoyé : " + std::to_string(n) + " tours", deja);
    }
    void tourne_pendant(std::chrono::milliseconds duree) {
        const auto fin = Thorloge::now() + duree;
        while (Thorloge::now() < fin)
            traite(20ms);
    }
    std::string total() const { return lit(moteur.labels_total); }
    std::string partiel() const { return lit(moteur.labels_partiel); }
    bool vert() const {
        return moteur.etat.boitier_present && moteur.Panel1.couleur() == Tcouleur::vert;
    }
    bool rouge() const {
        return !moteur.etat.boitier_present && moteur.Panel1.couleur() == Tcouleur::rouge;
    }
    void montre(const char* quand) const {
        journal("%s : ETAT USB %s, TOTAL %s, PARTIEL %s, %d débranchement(s) vu(s)", quand,
                vert()    ? "vert"
                : rouge() ? "rouge"
                          : "?",
                total().c_str(), partiel().c_str(), debranchements);
    }

    Tservices_scriptes services;
    Tmoteur moteur{services};
    Tfile_avis file;
    Thid_reel hid;
    Tliaison_boitier liaison{moteur, hid};
    int debranchements = 0;

private:
    void traite(std::chrono::milliseconds delai) {
        std::pair<std::uint32_t, std::uint32_t> avis;
        if (!file.prend(avis, delai)) return;
        if (avis.first == NOTIFY_UNPLUGGED) ++debranchements;
        moteur.distribue(
            [&] { liaison.gestion_evenement_usb(WM_HID_EVENT, avis.first, avis.second); });
    }
};

// The box's descriptors: reports without an identifier (the box's own kind), or numbered.
class Invite : public ::testing::TestWithParam<int> {
protected:
    std::vector<std::string> options() const {
        return GetParam() ? std::vector<std::string>{"--numero", std::to_string(GetParam())}
                          : std::vector<std::string>{};
    }
};

TEST_P(Invite, BrancheAvantLeDemarrageComptéAuMetrePuisFermeture) {
    // The box also keeps when each report left, as scripts/bench has it do.
    const std::string envois = "/tmp/envois_" + std::to_string(GetParam()) + ".txt";
    auto avec_horodatage = options();
    avec_horodatage.insert(avec_horodatage.end(), {"--horodatage", envois});
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    const long long debut = static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
    auto boite = std::make_unique<Tboitier_pilote>("boîtier", avec_horodatage);
    Tboitier_pilote& boitier = *boite;
    ASSERT_GE(boitier.attend("branché"), 0);
    ASSERT_EQ(attend_noeuds_boitier(1).size(), 1u);
    Tprogramme p;
    ASSERT_TRUE(p.tourne_jusqu_a([&] { return p.vert(); })) << "le boîtier jamais annoncé";
    ASSERT_TRUE(p.attend(boitier, "ouvert")) << "le programme n'a jamais ouvert le boîtier";
    p.montre("boîtier annoncé");

    ASSERT_TRUE(p.tours(boitier, 540));
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(1000); }));
    p.montre("après 540 tours");
    EXPECT_EQ(p.partiel(), metres(1000));
    ASSERT_TRUE(p.tours(boitier, 460));
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(1851); }));
    p.tourne_pendant(300ms); // nothing more comes
    p.montre("après 1000 tours (1000 x 1000 / 540 = 1851,8)");
    EXPECT_EQ(p.total(), metres(1851));
    EXPECT_EQ(p.partiel(), metres(1851));
    EXPECT_EQ(p.debranchements, 0);

    const auto deja = boitier.nombre_de_lignes();
    p.liaison.fermeture();
    journal("fermeture faite");
    EXPECT_GE(boitier.attend("sortie : 00 00", deja, 20s), 0) << "rapport de fermeture non reçu";
    EXPECT_TRUE(p.services.messages.empty());

    // Gone, it has written the 1000 revolutions it sent, in order, none before it started.
    boite.reset();
    std::ifstream f(envois);
    long long ns = 0, precedent = debut;
    unsigned code = 0;
    int lignes = 0, dans_l_ordre = 0;
    while (f >> ns >> code) {
        ++lignes;
        if (code == 48 && ns >= precedent) ++dans_l_ordre;
        precedent = ns;
    }
    EXPECT_EQ(lignes, 1000);
    EXPECT_EQ(dans_l_ordre, 1000);
}

TEST_P(Invite, BrancheApresLeDemarrageLesTouchesChargentLeTotal) {
    Tprogramme p;
    p.tourne_pendant(500ms);
    p.montre("sans boîtier");
    EXPECT_TRUE(p.rouge());

    Tboitier_pilote boitier("boîtier", options());
    ASSERT_EQ(attend_noeuds_boitier(1).size(), 1u);
    ASSERT_TRUE(p.tourne_jusqu_a([&] { return p.vert(); })) << "le boîtier jamais annoncé";
    ASSERT_TRUE(p.attend(boitier, "ouvert"));
    ASSERT_TRUE(p.tours(boitier, 54));
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(100); }));
    p.montre("après 54 tours");

    // 12,345 on the remote, then the red button: TOTAL takes it, PARTIEL goes to 0.
    const auto deja = boitier.nombre_de_lignes();
    boitier.commande("touches 1 2 10 3 4 5 16");
    ASSERT_TRUE(p.attend(boitier, "envoyé : touches", deja));
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(12345); }));
    p.montre("après 1 2 , 3 4 5 et le bouton rouge");
    EXPECT_EQ(p.partiel(), metres(0));
    EXPECT_EQ(p.moteur.la_ecart_maj.texte(), "12245");
    EXPECT_TRUE(p.services.messages.empty());
}

TEST_P(Invite, DebrancheRougeRebrancheVertEtCompteDeNouveau) {
    Tboitier_pilote boitier("boîtier", options());
    ASSERT_EQ(attend_noeuds_boitier(1).size(), 1u);
    Tprogramme p;
    ASSERT_TRUE(p.tourne_jusqu_a([&] { return p.vert(); }));
    ASSERT_TRUE(p.tours(boitier, 54));
    ASSERT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(100); }));

    boitier.commande("debranche");
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.rouge(); })) << "débranché, resté vert";
    p.montre("débranché");
    const auto deja = boitier.nombre_de_lignes();
    p.liaison.fermeture();
    boitier.commande("rebranche");
    ASSERT_EQ(attend_noeuds_boitier(1).size(), 1u);
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.vert(); })) << "rebranché, resté rouge";
    EXPECT_LT(boitier.cherche("sortie", deja), 0) << "la fermeture sans boîtier a écrit";
    ASSERT_TRUE(p.tours(boitier, 54));
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(200); }));
    p.montre("rebranché, 54 tours de plus");
    EXPECT_EQ(p.debranchements, 1);
}

INSTANTIATE_TEST_SUITE_P(Descripteurs, Invite, ::testing::Values(0, 5), [](const auto& info) {
    return info.param ? "avec_numero" : std::string("sans_numero");
});

// ---- Rights on the node ----------------------------------------------------------------------

const std::string regle_installee = "/etc/udev/rules.d/" VELMORA_NOM_REGLE_UDEV;
// The rule from the checkout, wherever it is.
const std::string installe_regle = "install -m 644 " + cite(VELMORA_REGLE_UDEV) +
                                   " /etc/udev/rules.d/ && udevadm control --reload";

TEST(InviteDroits, UnNoeudIlisibleNEstPasMontreVertEtCompteDesQuIlDevientLisible) {
    Tboitier_pilote boitier("boîtier", {});
    const auto noeuds = attend_noeuds_boitier(1, false);
    ASSERT_EQ(noeuds.size(), 1u);
    ASSERT_EQ(lance("chmod 000 " + cite(noeuds[0])), 0);
    Tprogramme p;
    p.tourne_pendant(1500ms);
    p.montre("noeud en mode 000 depuis 1,5 s");
    EXPECT_TRUE(p.rouge()) << "un boîtier illisible montré présent";

    const auto avant = boitier.nombre_de_lignes();
    ASSERT_TRUE(donne_les_droits(noeuds[0]));
    const auto lisible = Thorloge::now();
    ASSERT_TRUE(p.tourne_jusqu_a([&] { return p.vert(); }, 20s));
    ASSERT_TRUE(p.attend(boitier, "ouvert", avant, 20s));
    journal("ouvert %.2f s après le changement de droits",
            std::chrono::duration<double>(Thorloge::now() - lisible).count());
    ASSERT_TRUE(p.tours(boitier, 540));
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(1000); }));
    p.montre("après 540 tours");
}

TEST(InviteDroits, UdevadmTriggerEnMarcheEtRegleDuBoitierAppliqueeTard) {
    if (!udevd_en_marche()) GTEST_SKIP() << "pas de démon udev dans cet invité";
    Tboitier_pilote boitier("boîtier", {});
    const auto noeuds = attend_noeuds_boitier(1);
    ASSERT_EQ(noeuds.size(), 1u);
    Tprogramme p;
    ASSERT_TRUE(p.tourne_jusqu_a([&] { return p.vert(); }));
    boitier.commande("tours 54");
    ASSERT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(100); }));

    // A trigger while the box is read: "change" events, nothing must move.
    ASSERT_EQ(lance("udevadm trigger --action=change --subsystem-match=hidraw && udevadm settle"),
              0);
    boitier.commande("tours 54");
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(200); }));
    p.montre("après un udevadm trigger en marche");
    EXPECT_EQ(p.debranchements, 0);

    // Without the box's rule, unplugged and plugged again: root's alone. Then the rule
    // comes, and a trigger applies it, as a crew installing it with the program open.
    ASSERT_EQ(lance("rm " + cite(regle_installee) + " && udevadm control --reload"), 0);
    boitier.commande("debranche");
    ASSERT_TRUE(p.tourne_jusqu_a([&] { return p.rouge(); }));
    boitier.commande("rebranche");
    const auto de_nouveau = attend_noeuds_boitier(1);
    ASSERT_EQ(de_nouveau.size(), 1u);
    lance("ls -l " + cite(de_nouveau[0]));
    p.tourne_pendant(1s);
    p.montre("rebranché sans la règle");
    EXPECT_TRUE(p.rouge()) << "un boîtier illisible montré présent";
    ASSERT_EQ(lance(installe_regle +
                    " && udevadm trigger --action=change --subsystem-match=hidraw && "
                    "udevadm settle && ls -l " +
                    cite(de_nouveau[0])),
              0);
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.vert(); }, 20s)) << "la règle n'a rien ouvert";
    ASSERT_TRUE(p.tours(boitier, 54));
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(300); }));
    p.montre("la règle appliquée, 54 tours de plus");
}

// ---- Signals, two boxes ------------------------------------------------------------------------

std::atomic<int> signaux_recus{0};
void compte_signal(int) {
    ++signaux_recus;
}

TEST(InviteSignaux, DesSignauxEnPleineLectureNeDebranchentRien) {
    struct sigaction sa {};
    sa.sa_handler = compte_signal; // no SA_RESTART: an interrupted wait returns at once
    sigaction(SIGUSR1, &sa, nullptr);
    Tboitier_pilote boitier("boîtier", {"--cadence", "100"});
    ASSERT_EQ(attend_noeuds_boitier(1).size(), 1u);
    Tprogramme p;
    ASSERT_TRUE(p.tourne_jusqu_a([&] { return p.vert(); }));
    ASSERT_TRUE(p.attend(boitier, "ouvert"));

    // A signal of the process may go to any of its threads that does not refuse it: each
    // one gets them here, in turn. This thread refuses them until the end.
    sigset_t usr1;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &usr1, nullptr);
    boitier.commande("tours 540");
    std::thread tireur([] {
        const long moi = ::syscall(SYS_gettid);
        for (int i = 0; i < 400; ++i) {
            std::error_code e;
            for (const auto& fil : std::filesystem::directory_iterator("/proc/self/task", e)) {
                const long tid = std::stol(fil.path().filename());
                if (tid != moi) ::syscall(SYS_tgkill, ::getpid(), tid, SIGUSR1);
            }
            std::this_thread::sleep_for(5ms);
        }
    });
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(1000); }));
    tireur.join();
    p.tourne_pendant(300ms);
    pthread_sigmask(SIG_UNBLOCK, &usr1, nullptr);
    p.montre("400 signaux à chaque fil pendant 540 tours");
    journal("signaux reçus : %d", signaux_recus.load());
    EXPECT_EQ(p.debranchements, 0) << "un signal pris pour un débranchement";
    EXPECT_EQ(p.total(), metres(1000));
    signal(SIGUSR1, SIG_DFL);
}

TEST(InviteDeuxBoitiers, LeSecondPrendLaReleveQuandLePremierPart) {
    Tboitier_pilote premier("premier", {});
    ASSERT_EQ(attend_noeuds_boitier(1).size(), 1u);
    Tboitier_pilote second("second", {});
    ASSERT_EQ(attend_noeuds_boitier(2).size(), 2u);
    Tprogramme p;
    ASSERT_TRUE(p.tourne_jusqu_a([&] { return p.vert(); }));
    ASSERT_TRUE(p.attend(premier, "ouvert"));
    premier.commande("tours 540");
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(1000); }));
    p.montre("le premier a envoyé 540 tours");

    // The link reads the box that GetHandle gives: the second, once the first is gone.
    premier.commande("debranche");
    ASSERT_TRUE(p.attend(second, "ouvert", 0, 20s)) << "le second boîtier jamais ouvert";
    second.commande("tours 54");
    EXPECT_TRUE(p.tourne_jusqu_a([&] { return p.total() == metres(1100); }));
    p.montre("le premier parti, le second a envoyé 54 tours");
}

} // namespace

int main(int argc, char** argv) {
    // With udev, the box's nodes get their rights from the box's own rule.
    if (udevd_en_marche() && lance(installe_regle) != 0) return 1;
    // Before any thread: the library's threads inherit this thread's identity.
    if (!ouvre_en_equipier()) {
        std::fprintf(stderr, "impossible d'ouvrir les fichiers en équipier (nobody, plugdev)\n");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
