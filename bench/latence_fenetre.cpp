// The program's window in a guest, driven by the virtual box through uhid and hidraw:
// from each wheel revolution's report written by the box to the end of the paint of
// TOTAL's metres digit that shows it (the digit changes at every revolution: 1.852 m).
// As a crew runs it: its journal kept, a zone validated and its cadenceur running.
// The stages are stamped on the way: the reader thread's read (through the device
// source), the notification's arrival on the window's thread (an application filter
// that sees it before the window's own), the paint's start (a filter on the digit) and
// its end (the window's own hook, VELMORA_HORODATAGE_PEINTURE).
// Arguments: the scenario (latence_invite.h). Prints "latence" and "etape" lines.
#include "apparence.h"
#include "boitier_pilote.h"
#include "fiche_mere.h"
#include "hid_reel.h"
#include "horodatage_peinture.h"
#include "latence_invite.h"
#include "repertoire_journaux.h"
#include "services_qt.h"
#include "systeme_invite.h"
#include "zone_commencee.h"

#include <QApplication>
#include <QDir>
#include <QLabel>

#include <cstdlib>
#include <ctime>
#include <fstream>

namespace {

// The system's device source, each report read stamped by the reader thread.
class Tsource_horodatee : public Isource_hid {
public:
    Tsource_horodatee(std::unique_ptr<Isource_hid> source, Thorodatages& lus)
        : source_(std::move(source)), lus_(lus) {}
    Tliste_peripheriques enumere() override { return source_->enumere(); }
    bool peut_ouvrir(const std::string& chemin) override { return source_->peut_ouvrir(chemin); }
    std::unique_ptr<Iperipherique_ouvert> ouvre(const std::string& chemin,
                                                Trefus_ouverture& refus) override {
        auto ouvert = source_->ouvre(chemin, refus);
        if (!ouvert) return nullptr;
        return std::make_unique<Touvert>(std::move(ouvert), lus_);
    }
    Tattente attend_changement(std::vector<std::string>& retires, int delai_max_ms) override {
        return source_->attend_changement(retires, delai_max_ms);
    }
    void ecoute_changements() override { source_->ecoute_changements(); }
    void reveille() override { source_->reveille(); }
    void arrete() override { source_->arrete(); }

private:
    class Touvert : public Iperipherique_ouvert {
    public:
        Touvert(std::unique_ptr<Iperipherique_ouvert> p, Thorodatages& lus)
            : p_(std::move(p)), lus_(lus) {}
        int lit(std::uint8_t* tampon, std::size_t longueur, int delai_ms) override {
            const int n = p_->lit(tampon, longueur, delai_ms);
            if (n > 0) lus_.note();
            return n;
        }
        int ecrit(const std::uint8_t* octets, std::size_t longueur) override {
            return p_->ecrit(octets, longueur);
        }

    private:
        std::unique_ptr<Iperipherique_ouvert> p_;
        Thorodatages& lus_;
    };
    std::unique_ptr<Isource_hid> source_;
    Thorodatages& lus_;
};

// The notifications as they reach the window's thread, and the digit's paints as they start.
class Tespion : public QObject {
public:
    Tespion(Tfiche_mere& fiche, QLabel* chiffre, Tmesures_latence& m)
        : fiche_(fiche), chiffre_(chiffre), m_(m) {}
    bool actif = true;
    // Each notification's time with the revolutions taken in before it.
    std::vector<std::pair<std::int64_t, long>> notifications;
    std::string textes; // the digit's text at each paint's start

protected:
    bool eventFilter(QObject* objet, QEvent* e) override {
        if (!actif) return false;
        if (e->type() == static_cast<QEvent::Type>(WM_HID_EVENT))
            notifications.emplace_back(instant_monotone_ns(), tours());
        else if (objet == &fiche_ && e->type() == QEvent::UpdateRequest)
            m_.requetes.push_back(instant_monotone_ns());
        else if (objet == chiffre_ && e->type() == QEvent::Paint) {
            m_.debuts_peinture.push_back(instant_monotone_ns());
            m_.tours_montres.push_back(tours());
            textes +=
                chiffre_->text().isEmpty() ? std::string("_") : chiffre_->text().toStdString();
        }
        return false;
    }

private:
    long tours() const { return static_cast<long>(fiche_.moteur().etat.tours_de_roue); }
    Tfiche_mere& fiche_;
    QLabel* chiffre_;
    Tmesures_latence& m_;
};

} // namespace

int main(int argc, char** argv) {
    const Tscenario_latence scenario = lit_scenario_latence(argc, argv);
    int argc_qt = 1;
    reserve_cache_glyphes();
    QApplication app(argc_qt, argv);
    prepare_programme(app);
    const char* peintures = std::getenv("VELMORA_HORODATAGE_PEINTURE");
    if (!horodatage_peinture_actif || !peintures) {
        journal("ÉCHEC : VELMORA_HORODATAGE_PEINTURE ne nomme aucun fichier");
        return 1;
    }
    const std::string envois = QDir::tempPath().toStdString() + "/envois_velmora.txt";
    auto boitier = demarre_boitier(envois);
    if (!boitier) {
        journal("ÉCHEC : le boîtier virtuel n'est pas apparu");
        return 1;
    }

    // Its run recorded as the program records it by default.
    Tnouveau_journal nouveau = ouvre_nouveau_journal(
        QDir::tempPath().toStdString() + "/velmora_latence", std::time(nullptr));
    if (!nouveau.fichier) {
        journal("ÉCHEC : %s", nouveau.erreur.c_str());
        return 1;
    }
    Tmode_fiche mode;
    mode.journal = std::move(nouveau.fichier);
    mode.date_journal = nouveau.date;
    Tmesures_latence m;
    Thorodatages lus;
    Tservices_qt services;
    Thid_reel hid(std::make_unique<Tsource_horodatee>(cree_source_systeme(), lus));
    Tfiche_mere fiche(services, hid, std::move(mode));
    services.parent = &fiche;

    // A zone that started a minute ago, validated: the cadenceur runs, CADEN changes.
    tape_une_zone_commencee(fiche.entree());
    fiche.entree().distribue(Tevenement::clic("valid_heure_zr"));

    auto* chiffre = fiche.findChild<QLabel*>("la_tot_m");
    Tespion espion(fiche, chiffre, m);
    // After the window's own hook, installed at its start: this one sees the notifications
    // first. It sees the digit's paints too.
    app.installEventFilter(&espion);
    fiche.montre_au_centre();

    const long reguliers = deroule_scenario(
        *boitier, scenario, [&] { return static_cast<long>(fiche.moteur().etat.tours_de_roue); });
    espion.actif = false;
    boitier.reset(); // the box writes its sending times as it ends
    if (reguliers < 0) {
        journal("ÉCHEC : la fenêtre ne prend plus les tours");
        return 1;
    }
    if (!ecrit_horodatages_peinture()) {
        journal("ÉCHEC : %s non écrit", peintures);
        return 1;
    }

    // The digit's paints ended in the order they started.
    std::string textes_fin;
    {
        std::ifstream f(peintures);
        long long ns;
        std::string nom, texte;
        while (f >> ns >> nom >> texte)
            if (nom == "la_tot_m" && m.fins_peinture.size() < m.debuts_peinture.size()) {
                m.fins_peinture.push_back(ns);
                textes_fin += texte;
            }
    }
    if (textes_fin != espion.textes) {
        std::size_t i = 0;
        while (i < textes_fin.size() && i < espion.textes.size() &&
               textes_fin[i] == espion.textes[i])
            ++i;
        journal("ÉCHEC : les fins de peinture ne répondent pas aux débuts (%zu et %zu peintures, "
                "la %zu-ième diffère)",
                espion.textes.size(), textes_fin.size(), i + 1);
        return 1;
    }
    // Revolution k was taken in by the last notification that found k - 1 before it.
    m.lus = lus.valeurs();
    for (std::size_t i = 0; i < espion.notifications.size(); ++i) {
        const long avant = espion.notifications[i].second;
        const bool dernier =
            i + 1 == espion.notifications.size() || espion.notifications[i + 1].second != avant;
        if (dernier && avant == static_cast<long>(m.remis.size()) &&
            (i + 1 < espion.notifications.size() || fiche.moteur().etat.tours_de_roue > avant))
            m.remis.push_back(espion.notifications[i].first);
    }
    return rapporte_latence("velmora", envois, m, reguliers) ? 0 : 1;
}
