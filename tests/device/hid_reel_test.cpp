// The real HID library: its notifications and handles, driven through a scripted
// device source; and on this machine's own devices as far as it has any.
#include "descripteur_rapport.h"
#include "hid_reel.h"
#include "source_scriptee.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include <dbt.h>
#endif

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Tavis = Tcible_enregistree::Tavis;

namespace {

const std::string chemin_boitier = "/dev/hidraw3";
const std::string chemin_souris = "/dev/hidraw0";

class HidReel : public ::testing::Test {
protected:
    HidReel() {
        auto s = std::make_unique<Tsource_scriptee>();
        source = s.get();
        hid = std::make_unique<Thid_reel>(std::move(s));
    }
    // The box plugged in, announced, and its reports switched on as the link does.
    THidHandle boitier_lu() {
        source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
        const auto avis = cible.attend(2);
        EXPECT_EQ(avis.size(), 2u);
        const THidHandle h = hid->GetHandle(VID_BOITIER, PID_BOITIER);
        hid->SetReadNotify(h, HID_TRUE);
        return h;
    }

    Tcible_enregistree cible;
    Tsource_scriptee* source = nullptr; // owned by hid
    std::unique_ptr<Thid_reel> hid;
};

TEST_F(HidReel, UnBoitierDejaBrancheEstAnnonceApresConnect) {
    source->ajoute(chemin_souris, 0x046D, 0xC077);
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);

    EXPECT_EQ(hid->Connect(&cible), 1);

    const auto avis = cible.attend(3);
    ASSERT_EQ(avis.size(), 3u);
    EXPECT_EQ(avis[0].first, NOTIFY_PLUGGED);
    EXPECT_EQ(avis[1].first, NOTIFY_PLUGGED);
    EXPECT_EQ(avis[2], (Tavis{NOTIFY_CHANGED, 0}));
    const THidHandle h = hid->GetHandle(VID_BOITIER, PID_BOITIER);
    EXPECT_NE(h, 0u);
    EXPECT_TRUE(avis[0].second == h || avis[1].second == h);
    EXPECT_EQ(hid->GetVendorID(h), VID_BOITIER);
    EXPECT_EQ(hid->GetProductID(h), PID_BOITIER);
}

TEST_F(HidReel, UnBoitierBrancheCommeLaPremiereListeSeLitEstAnnonce) {
    source->mot_seulement_apres_ecoute();
    source->pendant_la_prochaine_liste(
        [this] { source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER); });

    hid->Connect(&cible);

    const auto avis = cible.attend(2);
    ASSERT_EQ(avis.size(), 2u) << "the box plugged during the first listing was never seen";
    EXPECT_EQ(avis[0].first, NOTIFY_PLUGGED);
    EXPECT_EQ(hid->GetHandle(VID_BOITIER, PID_BOITIER), avis[0].second);
}

TEST_F(HidReel, BrancherPuisDebrancherLeBoitierEstAnnonceEtLeHandleDevientInerte) {
    hid->Connect(&cible);
    // Nothing is attached: the first notification is the plugging itself.
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
    auto avis = cible.attend(2);
    ASSERT_EQ(avis.size(), 2u);
    const THidHandle h = avis[0].second;
    EXPECT_EQ(avis[0], (Tavis{NOTIFY_PLUGGED, h}));
    EXPECT_EQ(avis[1], (Tavis{NOTIFY_CHANGED, 0}));

    source->retire(chemin_boitier);
    avis = cible.attend(4);
    ASSERT_EQ(avis.size(), 4u);
    EXPECT_EQ(avis[2], (Tavis{NOTIFY_UNPLUGGED, h}));
    EXPECT_EQ(avis[3], (Tavis{NOTIFY_CHANGED, 0}));

    // Still recognisable as the box, so that its unplugging can be acted upon...
    EXPECT_EQ(hid->GetVendorID(h), VID_BOITIER);
    EXPECT_EQ(hid->GetProductID(h), PID_BOITIER);
    // ...but gone for everything else.
    EXPECT_EQ(hid->GetHandle(VID_BOITIER, PID_BOITIER), 0u);
    const std::uint8_t rapport[2] = {0, 0};
    EXPECT_EQ(hid->Write(h, rapport, 2), 0);
    EXPECT_EQ(hid->SetReadNotify(h, HID_TRUE), 0);
    EXPECT_EQ(source->ouvertures(chemin_boitier), 0);

    // Plugged in again, it is a new device with a new handle.
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
    avis = cible.attend(6);
    ASSERT_EQ(avis.size(), 6u);
    EXPECT_EQ(avis[4].first, NOTIFY_PLUGGED);
    EXPECT_NE(avis[4].second, h);
    EXPECT_EQ(hid->GetHandle(VID_BOITIER, PID_BOITIER), avis[4].second);
}

TEST_F(HidReel, UnBoitierRebrancheAvantQueLaListeNeSoitLueEstVuPartirEtRevenir) {
    hid->Connect(&cible);
    const THidHandle h = boitier_lu();

    source->rebranche(chemin_boitier, VID_BOITIER, PID_BOITIER);

    // Its reader fails, whether the system's word was heard before or after.
    const auto avis = cible.attend(6);
    ASSERT_EQ(avis.size(), 6u);
    EXPECT_EQ(avis[2], (Tavis{NOTIFY_UNPLUGGED, h}));
    EXPECT_EQ(avis[3], (Tavis{NOTIFY_CHANGED, 0}));
    EXPECT_EQ(avis[4].first, NOTIFY_PLUGGED);
    EXPECT_NE(avis[4].second, h);
    EXPECT_EQ(avis[5], (Tavis{NOTIFY_CHANGED, 0}));
}

TEST_F(HidReel, UnBoitierDontLaLectureEchoueMaisQuiResteListeEstRetrouveUneSecondePlusTard) {
    source->temps_simule();
    hid->Connect(&cible);
    const THidHandle h = boitier_lu();

    source->coupe(chemin_boitier);
    auto avis = cible.attend(4);
    ASSERT_EQ(avis.size(), 4u);
    EXPECT_EQ(avis[2], (Tavis{NOTIFY_UNPLUGGED, h}));
    // The system may still be taking it out: a list read meanwhile does not bring it back.
    source->ajoute(chemin_souris, 0x046D, 0xC077);
    avis = cible.attend(6);
    ASSERT_EQ(avis.size(), 6u);
    EXPECT_EQ(hid->GetVendorID(avis[4].second), 0x046Du);
    EXPECT_EQ(avis[5], (Tavis{NOTIFY_CHANGED, 0}));

    ASSERT_EQ(source->attend_surveillant_au_repos(), Thid_reel::relecture_apres_perte_ms);
    source->avance(Thid_reel::relecture_apres_perte_ms);
    avis = cible.attend(8);
    ASSERT_EQ(avis.size(), 8u);
    EXPECT_EQ(avis[6].first, NOTIFY_PLUGGED) << "a box still listed, left unplugged";
    EXPECT_EQ(hid->GetHandle(VID_BOITIER, PID_BOITIER), avis[6].second);
}

TEST_F(HidReel, UnRetraitAnnonceEnRetardLaisseLireLeBoitierRevenu) {
    hid->Connect(&cible);
    boitier_lu();
    source->perd(chemin_boitier);
    ASSERT_EQ(cible.attend(4).size(), 4u);
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
    auto avis = cible.attend(6);
    ASSERT_EQ(avis.size(), 6u);
    const THidHandle h = avis[4].second;
    ASSERT_EQ(hid->SetReadNotify(h, HID_TRUE), 1);

    // The removal of the box's first plugging is told only now.
    source->retrait_tardif(chemin_boitier);
    ASSERT_TRUE(source->attend_surveillant_au_repos());
    source->envoie(chemin_boitier, {0, 48});
    avis = cible.attend(7);
    ASSERT_EQ(avis.size(), 7u);
    EXPECT_EQ(avis[6], (Tavis{NOTIFY_READ, h})) << "the reader of the box back was stopped";
    EXPECT_EQ(source->ouvertures(chemin_boitier), 2);
}

// A listing that fails, whole or for one device, while the box is read and a mouse is there.
struct Tliste_ratee {
    const char* nom;
    std::function<void(Tsource_scriptee&)> rate;
};

void PrintTo(const Tliste_ratee& l, std::ostream* os) {
    *os << l.nom;
}

class ListeRatee : public HidReel, public ::testing::WithParamInterface<Tliste_ratee> {};

TEST_P(ListeRatee, NeDebrancheRienEtLeBoitierResteLu) {
    source->ajoute(chemin_souris, 0x046D, 0xC077);
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
    hid->Connect(&cible);
    ASSERT_EQ(cible.attend(3).size(), 3u);
    const THidHandle h = hid->GetHandle(VID_BOITIER, PID_BOITIER);
    ASSERT_EQ(hid->SetReadNotify(h, HID_TRUE), 1);

    GetParam().rate(*source);
    ASSERT_TRUE(source->attend_surveillant_au_repos());
    source->envoie(chemin_boitier, {0, 48});

    const auto avis = cible.attend(4);
    ASSERT_EQ(avis.size(), 4u);
    EXPECT_EQ(avis[3], (Tavis{NOTIFY_READ, h}));
    EXPECT_EQ(source->ouvertures(chemin_boitier), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Listes, ListeRatee,
    ::testing::Values(Tliste_ratee{"la_liste_echoue",
                                   [](Tsource_scriptee& s) { s.liste_en_echec(); }},
                      Tliste_ratee{"les_ids_du_boitier_sont_illisibles",
                                   [](Tsource_scriptee& s) { s.ids_illisibles(chemin_boitier); }}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST_F(HidReel, ChaqueRapportEstAnnonceEtLuDansLOrdreIdentifiantEnTete) {
    hid->Connect(&cible);
    const THidHandle h = boitier_lu();
    EXPECT_EQ(source->ouvertures(chemin_boitier), 1);

    source->envoie(chemin_boitier, {0, 48, 1, 2});
    source->envoie(chemin_boitier, {0, 12});
    source->envoie(chemin_boitier, {0, 16});
    const auto avis = cible.attend(5);
    EXPECT_THAT(std::vector<Tavis>(avis.begin() + 2, avis.end()),
                ElementsAre(Tavis{NOTIFY_READ, h}, Tavis{NOTIFY_READ, h}, Tavis{NOTIFY_READ, h}));

    std::vector<std::uint8_t> tampon(65, 0xAA);
    EXPECT_EQ(hid->Read(h, tampon.data(), tampon.size()), 4);
    EXPECT_THAT(std::vector<std::uint8_t>(tampon.begin(), tampon.begin() + 5),
                ElementsAre(0, 48, 1, 2, 0xAA));
    EXPECT_EQ(hid->Read(h, tampon.data(), tampon.size()), 2);
    EXPECT_EQ(tampon[1], 12);
    EXPECT_EQ(hid->Read(h, tampon.data(), tampon.size()), 2);
    EXPECT_EQ(tampon[1], 16);
    // Nothing more queued: nothing read, the buffer untouched.
    tampon[1] = 0xAA;
    EXPECT_EQ(hid->Read(h, tampon.data(), tampon.size()), 0);
    EXPECT_EQ(tampon[1], 0xAA);
}

TEST_F(HidReel, UnRapportPlusLongQueLeTamponEstCoupeALaLongueurDonnee) {
    hid->Connect(&cible);
    const THidHandle h = boitier_lu();
    source->envoie(chemin_boitier, {0, 48, 7, 7, 7});
    cible.attend(3);

    std::uint8_t tampon[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(hid->Read(h, tampon, 3), 3);
    EXPECT_THAT(tampon, ElementsAre(0, 48, 7, 0xAA));
}

TEST_F(HidReel, UnBoitierQuiDisparaitEnPleineLectureEstUnDebranchementUnique) {
    hid->Connect(&cible);
    const THidHandle h = boitier_lu();

    source->perd(chemin_boitier);
    auto avis = cible.attend(4);
    ASSERT_EQ(avis.size(), 4u);
    EXPECT_EQ(avis[2], (Tavis{NOTIFY_UNPLUGGED, h}));
    EXPECT_EQ(avis[3], (Tavis{NOTIFY_CHANGED, 0}));
    EXPECT_EQ(hid->GetHandle(VID_BOITIER, PID_BOITIER), 0u);

    // The system's own word of the removal comes later: no second unplugging.
    source->retire(chemin_boitier);
    source->ajoute(chemin_souris, 0x046D, 0xC077);
    avis = cible.attend(6);
    ASSERT_EQ(avis.size(), 6u);
    EXPECT_EQ(avis[4].first, NOTIFY_PLUGGED);
    EXPECT_EQ(hid->GetVendorID(avis[4].second), 0x046Du);
}

TEST_F(HidReel, LesRapportsArrivesAvantLeDebranchementRestentLisibles) {
    hid->Connect(&cible);
    const THidHandle h = boitier_lu();
    source->envoie(chemin_boitier, {0, 48});
    cible.attend(3);

    source->retire(chemin_boitier);
    cible.attend(5);

    std::uint8_t tampon[65] = {};
    EXPECT_EQ(hid->Read(h, tampon, sizeof tampon), 2);
    EXPECT_EQ(tampon[1], 48);
}

TEST_F(HidReel, WriteEnvoieLeRapportAuPeripherique) {
    hid->Connect(&cible);
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
    cible.attend(2);
    const THidHandle h = hid->GetHandle(VID_BOITIER, PID_BOITIER);

    const std::uint8_t rapport[2] = {0, 0};
    EXPECT_EQ(hid->Write(h, rapport, 2), 2);

    EXPECT_THAT(source->ecrits(chemin_boitier), ElementsAre(std::vector<std::uint8_t>{0, 0}));
}

TEST_F(HidReel, UnBoitierSansDroitsNEstAnnonceQueQuandIlPeutEtreLu) {
    // As before a udev rule gives the crew the rights on the node: listed, not openable.
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
    source->droits(chemin_boitier, false);
    source->ajoute(chemin_souris, 0x046D, 0xC077);
    hid->Connect(&cible);
    auto avis = cible.attend(2);
    ASSERT_EQ(avis.size(), 2u);
    EXPECT_EQ(hid->GetVendorID(avis[0].second), 0x046Du) << "only the mouse is announced";
    // As the link does on the list's change: it asks for the box, not there for it yet.
    EXPECT_EQ(hid->GetHandle(VID_BOITIER, PID_BOITIER), 0u);

    // Once the watcher has dealt with all of it, the rights come without any word from the
    // system: the box is announced all the same.
    ASSERT_EQ(source->attend_surveillant_au_repos(), Thid_reel::periode_reessai_ms);
    source->droits(chemin_boitier, true);
    avis = cible.attend(4);
    ASSERT_EQ(avis.size(), 4u);
    const THidHandle h = hid->GetHandle(VID_BOITIER, PID_BOITIER);
    EXPECT_EQ(avis[2], (Tavis{NOTIFY_PLUGGED, h}));
    EXPECT_EQ(avis[3], (Tavis{NOTIFY_CHANGED, 0}));
    EXPECT_EQ(hid->SetReadNotify(h, HID_TRUE), 1);
    source->envoie(chemin_boitier, {0, 48});
    EXPECT_EQ(cible.attend(5).back(), (Tavis{NOTIFY_READ, h}));
}

TEST_F(HidReel, UneOuvertureQuiEchoueEstRetenteSansNouvelleDemande) {
    hid->Connect(&cible);
    source->refuse_ouverture(true);
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
    ASSERT_EQ(cible.attend(2).size(), 2u);
    const THidHandle h = hid->GetHandle(VID_BOITIER, PID_BOITIER);
    EXPECT_EQ(hid->SetReadNotify(h, HID_TRUE), HID_OUVERTURE_REFUSEE);
    const std::uint8_t rapport[2] = {0, 0};
    EXPECT_EQ(hid->Write(h, rapport, 2), 0);
    EXPECT_EQ(source->ouvertures(chemin_boitier), 0);

    // The link asked once. Once the device opens, the link is told to ask again, and the
    // reports come.
    ASSERT_TRUE(source->attend_surveillant_au_repos());
    source->refuse_ouverture(false);
    auto avis = cible.attend(3);
    ASSERT_EQ(avis.size(), 3u);
    EXPECT_EQ(avis[2], (Tavis{NOTIFY_CHANGED, 0}));
    EXPECT_EQ(hid->SetReadNotify(h, HID_TRUE), 1);
    source->envoie(chemin_boitier, {0, 48});
    avis = cible.attend(4);
    ASSERT_EQ(avis.size(), 4u);
    EXPECT_EQ(avis[3], (Tavis{NOTIFY_READ, h}));
    EXPECT_EQ(source->ouvertures(chemin_boitier), 1);
}

TEST_F(HidReel, UnBoitierQuUnAutreProgrammeTientEstReessayeDeMoinsEnMoinsSouvent) {
    source->temps_simule();
    source->occupe(true);
    hid->Connect(&cible);
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
    ASSERT_EQ(cible.attend(2).size(), 2u);
    const THidHandle h = hid->GetHandle(VID_BOITIER, PID_BOITIER);
    EXPECT_EQ(hid->SetReadNotify(h, HID_TRUE), HID_OCCUPE);

    // One try at the end of each wait, each wait twice the one before, up to the limit.
    std::vector<int> attentes;
    for (int i = 0; i < 6; ++i) {
        const auto d = source->attend_surveillant_au_repos();
        ASSERT_TRUE(d);
        attentes.push_back(*d);
        source->avance(*d);
    }
    EXPECT_EQ(source->attend_surveillant_au_repos(), Thid_reel::reessai_max_ms);
    EXPECT_THAT(attentes, ElementsAre(250, 500, 1000, 2000, 4000, 4000));
    EXPECT_EQ(source->essais(chemin_boitier), 1 + 6);

    // Let go: at the next try it opens, and the link is told to ask again.
    source->occupe(false);
    source->avance(Thid_reel::reessai_max_ms);
    const auto avis = cible.attend(3);
    ASSERT_EQ(avis.size(), 3u);
    EXPECT_EQ(avis[2], (Tavis{NOTIFY_CHANGED, 0}));
    EXPECT_EQ(hid->SetReadNotify(h, HID_TRUE), 1);
    EXPECT_EQ(source->ouvertures(chemin_boitier), 1);
    EXPECT_EQ(source->attend_surveillant_au_repos(), -1) << "nothing left to try again";
}

TEST_F(HidReel, SansBoitierLeSurveillantDortTantQueRienNeChange) {
    // A laptop: its keyboard and touchpad are root's alone, listed and never announced.
    source->droits("/dev/hidraw1", false);
    source->ajoute("/dev/hidraw1", 0x046D, 0xC31C);
    source->droits("/dev/hidraw2", false);
    source->ajoute("/dev/hidraw2", 0x06CB, 0xCD7E);
    hid->Connect(&cible);
    // The list changed all the same: the link asks for its box, which is not there.
    EXPECT_THAT(cible.attend(1), ElementsAre(Tavis{NOTIFY_CHANGED, 0}));
    EXPECT_EQ(hid->GetHandle(VID_BOITIER, PID_BOITIER), 0u);
    EXPECT_EQ(source->attend_surveillant_au_repos(), -1)
        << "the watcher wakes by itself for devices no one asked for";

    // The box, without rights yet: that one is tried again, until the rights come.
    source->droits(chemin_boitier, false);
    source->ajoute(chemin_boitier, VID_BOITIER, PID_BOITIER);
    EXPECT_EQ(cible.attend(2).back(), (Tavis{NOTIFY_CHANGED, 0}));
    ASSERT_EQ(source->attend_surveillant_au_repos(), Thid_reel::periode_reessai_ms);
    source->droits(chemin_boitier, true);
    const auto avis = cible.attend(4);
    ASSERT_EQ(avis.size(), 4u);
    EXPECT_EQ(avis[2], (Tavis{NOTIFY_PLUGGED, hid->GetHandle(VID_BOITIER, PID_BOITIER)}));
    EXPECT_EQ(hid->SetReadNotify(avis[2].second, HID_TRUE), 1);
    EXPECT_EQ(source->attend_surveillant_au_repos(), -1) << "nothing left to try again";
}

TEST_F(HidReel, ChaqueAnnonceDeRapportTrouveSonRapportMemeQuandLaFileDeborde) {
    hid->Connect(&cible);
    const THidHandle h = boitier_lu();
    const std::size_t max = Thid_reel::rapports_en_attente_max;
    for (std::size_t i = 0; i <= max; ++i)
        source->envoie(chemin_boitier, {0, 48});
    ASSERT_TRUE(source->attend_lecteur_au_repos(chemin_boitier));
    // The one beyond the limit was dropped with its notification; room again, the next counts.
    std::uint8_t tampon[65] = {};
    EXPECT_EQ(hid->Read(h, tampon, sizeof tampon), 2);
    source->envoie(chemin_boitier, {0, 16});
    const auto avis = cible.attend(2 + max + 1);
    ASSERT_EQ(avis.size(), 2 + max + 1);

    std::size_t lus = 1;
    while (hid->Read(h, tampon, sizeof tampon) == 2)
        ++lus;
    EXPECT_EQ(lus, max + 1);
    EXPECT_EQ(tampon[1], 16);
}

TEST_F(HidReel, UnHandleInconnuEstSansEffet) {
    hid->Connect(&cible);
    boitier_lu();
    for (const THidHandle h : {0u, 999u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(h);
        std::uint8_t tampon[2] = {0xAA, 0xAA};
        EXPECT_EQ(hid->GetVendorID(h), 0u);
        EXPECT_EQ(hid->GetProductID(h), 0u);
        EXPECT_EQ(hid->SetReadNotify(h, HID_TRUE), 0);
        EXPECT_EQ(hid->Read(h, tampon, 2), 0);
        EXPECT_THAT(tampon, ElementsAre(0xAA, 0xAA));
        EXPECT_EQ(hid->Write(h, tampon, 2), 0);
    }
    EXPECT_EQ(hid->GetHandle(0x1234, 0x5678), 0u);
    EXPECT_THAT(source->ecrits(chemin_boitier), IsEmpty());
    EXPECT_EQ(source->ouvertures(chemin_boitier), 1);
}

TEST_F(HidReel, SArreteEnFermantLesPeripheriquesEnPleineLecture) {
    hid->Connect(&cible);
    boitier_lu();
    source->envoie(chemin_boitier, {0, 48});
    cible.attend(3);
    const auto ouverts = source->ouverts;
    EXPECT_EQ(*ouverts, 1);

    hid.reset(); // the watcher and the reader are waiting

    EXPECT_EQ(*ouverts, 0);
    EXPECT_EQ(cible.avis().size(), 3u);
}

// ---- Report descriptors ---------------------------------------------------------------------

struct Tdescripteur {
    const char* nom;
    std::vector<std::uint8_t> octets;
    bool numerote;
};

void PrintTo(const Tdescripteur& d, std::ostream* os) {
    *os << d.nom;
}

class DescripteurDeRapport : public ::testing::TestWithParam<Tdescripteur> {};

TEST_P(DescripteurDeRapport, DitSiLesRapportsSontNumerotes) {
    const auto& d = GetParam();
    EXPECT_EQ(rapports_numerotes(d.octets.data(), d.octets.size()), d.numerote);
}

INSTANTIATE_TEST_SUITE_P(
    Descripteurs, DescripteurDeRapport,
    ::testing::Values(
        Tdescripteur{"vide", {}, false},
        // A vendor page, 64 bytes in and out, no Report ID: the box's kind.
        Tdescripteur{"sans_numero",
                     {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00,
                      0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x09, 0x01,
                      0x81, 0x02, 0x95, 0x40, 0x09, 0x01, 0x91, 0x02, 0xC0},
                     false},
        Tdescripteur{"avec_numero", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x02, 0xC0}, true},
        // 0x85 as data of other items is no Report ID.
        Tdescripteur{"octet_85_en_donnee", {0x26, 0x85, 0x00, 0x27, 0x85, 0x85, 0x85, 0x85}, false},
        Tdescripteur{"article_long", {0xFE, 0x02, 0x10, 0x85, 0x01, 0x09, 0x01}, false},
        // Cut short in the middle of an item: nothing read past the end.
        Tdescripteur{"tronque", {0x06, 0x00}, false}, Tdescripteur{"long_tronque", {0xFE}, false}),
    [](const auto& info) { return std::string(info.param.nom); });

// What the system's read gives, and what the link must find: the identifier, then the code.
struct Tlecture_brute {
    const char* nom;
    bool numerote;
    std::vector<std::uint8_t> lu; // as the system hands it over
    int resultat;                 // negative or 0: passed on, buffer untouched
    std::vector<std::uint8_t> attendu;
};

void PrintTo(const Tlecture_brute& l, std::ostream* os) {
    *os << l.nom;
}

class RapportIdentifiantEnTete : public ::testing::TestWithParam<Tlecture_brute> {};

TEST_P(RapportIdentifiantEnTete, LeCodeEstToujoursLOctet1) {
    const auto& l = GetParam();
    std::vector<std::uint8_t> tampon(65, 0xAA);
    const int n = lit_identifiant_en_tete(l.numerote, tampon.data(), tampon.size(),
                                          [&](std::uint8_t* t, std::size_t longueur) {
                                              if (l.resultat <= 0) return l.resultat;
                                              const std::size_t c = std::min(longueur, l.lu.size());
                                              std::copy_n(l.lu.begin(), c, t);
                                              return static_cast<int>(c);
                                          });
    EXPECT_EQ(n, l.resultat <= 0 ? l.resultat : static_cast<int>(l.attendu.size()));
    EXPECT_TRUE(std::equal(l.attendu.begin(), l.attendu.end(), tampon.begin()));
    if (n <= 0) {
        EXPECT_EQ(tampon[0], 0xAA);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lectures, RapportIdentifiantEnTete,
    ::testing::Values(Tlecture_brute{"sans_numero_un_octet", false, {48}, 1, {0, 48}},
                      Tlecture_brute{"avec_numero", true, {3, 48}, 2, {3, 48}},
                      Tlecture_brute{"avec_numero_seul", true, {3}, 1, {3}},
                      Tlecture_brute{"sans_numero_plein", false, std::vector<std::uint8_t>(64, 16),
                                     64,
                                     [] {
                                         std::vector<std::uint8_t> v(65, 16);
                                         v[0] = 0;
                                         return v;
                                     }()},
                      Tlecture_brute{"rien", false, {}, 0, {}},
                      Tlecture_brute{"perdu", false, {}, -1, {}}),
    [](const auto& info) { return std::string(info.param.nom); });

// ---- This machine's own devices -------------------------------------------------------------

TEST(HidReelSysteme, DemarreNeTrouvePasDeBoitierEtSArretePropement) {
    {
        auto source = cree_source_systeme();
        for (const auto& p : source->enumere().vus)
            if (p.vendor_id == VID_BOITIER && p.product_id == PID_BOITIER)
                GTEST_SKIP() << "a box is attached here: this checks a machine without one";
    }
    Tcible_enregistree cible;
    {
        Thid_reel hid;
        EXPECT_EQ(hid.Connect(&cible), 1);
        EXPECT_EQ(hid.GetHandle(VID_BOITIER, PID_BOITIER), 0u);
        std::uint8_t tampon[2] = {0xAA, 0xAA};
        EXPECT_EQ(hid.Read(1, tampon, 2), 0);
        EXPECT_EQ(hid.Write(0, tampon, 2), 0);
        EXPECT_EQ(hid.SetReadNotify(0, HID_TRUE), 0);
        EXPECT_THAT(tampon, ElementsAre(0xAA, 0xAA));
    }
    for (const auto& [w, l] : cible.avis())
        EXPECT_FALSE(w == NOTIFY_PLUGGED && l == 0) << "a handle is never 0";
}

TEST(HidReelSysteme, LAttenteDeChangementSeTermineQuandOnLArrete) {
    auto source = cree_source_systeme();
    std::thread attente([&] {
        std::vector<std::string> retires;
        while (source->attend_changement(retires, -1) != Tattente::arret)
            retires.clear();
    });
    source->arrete();
    attente.join();
    std::vector<std::string> retires;
    EXPECT_EQ(source->attend_changement(retires, -1), Tattente::arret);
}

#ifdef _WIN32
// The hidden window that hears Windows' device changes, sent what Windows sends it from
// another thread: an arrival wakes the wait, a removal names the device as the listing does.
TEST(HidReelSysteme, LaFenetreDesChangementsReveilleEtNommeLesRetraits) {
    auto source = cree_source_systeme();
    source->ecoute_changements();
    const auto liste = source->enumere().vus;
    HWND f = FindWindowExW(HWND_MESSAGE, nullptr, L"velmora_surveillance_hid", nullptr);
    ASSERT_NE(f, nullptr) << "no window registered for device changes";

    std::vector<std::string> retires;
    EXPECT_EQ(source->attend_changement(retires, 50), Tattente::delai);

    const auto envoie = [&](WPARAM evenement, const std::wstring& nom) {
        std::vector<std::uint8_t> octets(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) +
                                         nom.size() * sizeof(wchar_t));
        auto* d = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(octets.data());
        d->dbcc_size = static_cast<DWORD>(octets.size());
        d->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        std::copy(nom.begin(), nom.end(), d->dbcc_name);
        // Sent from elsewhere, as the system does: handled while a wait reads its messages.
        std::atomic<bool> traite{false};
        std::thread systeme([&] {
            SendMessageW(f, WM_DEVICECHANGE, evenement, reinterpret_cast<LPARAM>(d));
            traite = true;
        });
        retires.clear();
        Tattente a = Tattente::delai;
        while (!traite)
            if (source->attend_changement(retires, 100) == Tattente::changement)
                a = Tattente::changement;
        systeme.join();
        return a;
    };
    EXPECT_EQ(envoie(DBT_DEVICEARRIVAL, L"\\\\?\\hid#vid_04d8&pid_0000#1"), Tattente::changement);
    EXPECT_THAT(retires, IsEmpty());

    // Windows may name a device in another case than its listing: the listing's name comes back.
    std::string connu = liste.empty() ? "\\\\?\\hid#vid_04d8&pid_0000#2" : liste.front().chemin;
    std::wstring en_majuscules;
    for (const char c : connu)
        en_majuscules += static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(c)));
    if (liste.empty()) connu = std::string(en_majuscules.begin(), en_majuscules.end());
    EXPECT_EQ(envoie(DBT_DEVICEREMOVECOMPLETE, en_majuscules), Tattente::changement);
    EXPECT_THAT(retires, ElementsAre(connu));

    source->arrete();
    EXPECT_EQ(source->attend_changement(retires, -1), Tattente::arret);
}
#endif

TEST(HidReelSysteme, LeBoitierBrancheEstAnnonce) {
    Tcible_enregistree cible;
    Thid_reel hid;
    {
        bool present = false;
        for (const auto& p : cree_source_systeme()->enumere().vus)
            present = present || (p.vendor_id == VID_BOITIER && p.product_id == PID_BOITIER);
        if (!present) GTEST_SKIP() << "no VELMORA box attached to this machine";
    }
    hid.Connect(&cible);
    for (std::size_t n = 1;; ++n) {
        const auto avis = cible.attend(n);
        ASSERT_EQ(avis.size(), n) << "the attached box was never announced";
        const auto [w, l] = avis.back();
        if (w == NOTIFY_PLUGGED && hid.GetVendorID(l) == VID_BOITIER &&
            hid.GetProductID(l) == PID_BOITIER)
            break;
    }
    EXPECT_NE(hid.GetHandle(VID_BOITIER, PID_BOITIER), 0u);
}

} // namespace
