// The HID library over the system's devices: watcher and reader threads that
// only queue and post; every operation of the caller's thread is short.
#include "hid_reel.h"

#include "signaux_fil.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <optional>

struct Thid_reel::Tlecteur {
    std::atomic<bool> arret{false};
    std::atomic<bool> fini{false};
    std::thread fil;
};

namespace {

// Large enough for any HID report the kernel hands over, plus the report identifier.
constexpr std::size_t taille_lecture = 4096 + 1;

} // namespace

Thid_reel::Thid_reel(std::unique_ptr<Isource_hid> source) : source_(std::move(source)) {}

Thid_reel::~Thid_reel() {
    {
        std::lock_guard verrou(mutex_);
        arret_ = true;
        for (auto& l : lecteurs_)
            l->arret = true;
    }
    if (source_) source_->arrete();
    if (surveillant_.joinable()) surveillant_.join();
    std::list<std::unique_ptr<Tlecteur>> restants;
    {
        std::lock_guard verrou(mutex_);
        restants.swap(lecteurs_);
    }
    for (auto& l : restants)
        if (l->fil.joinable()) l->fil.join();
}

void Thid_reel::poste(IHidTarget* cible, const std::vector<Tavis>& avis) {
    if (!cible) return;
    for (const auto& [w, l] : avis)
        cible->PostHidEvent(w, l);
}

THidResult Thid_reel::Connect(IHidTarget* target) {
    std::lock_guard verrou(mutex_);
    cible_ = target;
    if (!source_ || arret_) return 0;
    if (!surveillant_.joinable())
        surveillant_ = std::thread([this] {
            laisse_les_signaux();
            surveille();
        });
    return 1;
}

void Thid_reel::surveille() {
    source_->ecoute_changements();
    // What is attached already is announced as if just plugged in.
    examine({});
    std::vector<std::string> retires;
    for (;;) {
        const Tattente a = source_->attend_changement(retires, delai_d_attente());
        if (a == Tattente::arret) break;
        const Tinstant maintenant = source_->maintenant();
        bool relire;
        {
            std::lock_guard verrou(mutex_);
            relire = quarantaine_finie_verrouille(maintenant);
        }
        if (a == Tattente::changement || relire || devenus_accessibles()) examine(retires);
        retires.clear();
        ouvre_les_attendus();
        joint_lecteurs_finis();
    }
}

void Thid_reel::examine(const std::vector<std::string>& retires) {
    std::vector<Tavis> avis;
    IHidTarget* cible = nullptr;
    bool sans_droits_nouveau = false;
    const Tliste_peripheriques liste = source_->enumere();
    std::vector<bool> accessible;
    for (const auto& v : liste.vus)
        accessible.push_back(source_->peut_ouvrir(v.chemin));
    const Tinstant maintenant = source_->maintenant();
    {
        std::lock_guard verrou(mutex_);
        if (arret_) return;
        for (auto it = quarantaine_.begin(); it != quarantaine_.end();)
            it = it->second <= maintenant ? quarantaine_.erase(it) : std::next(it);
        debranche_les_absents_verrouille(liste, retires, avis);
        sans_droits_nouveau = annonce_les_nouveaux_verrouille(liste, accessible, avis);
        cible = cible_;
    }
    if (!avis.empty() || sans_droits_nouveau) avis.emplace_back(NOTIFY_CHANGED, 0);
    poste(cible, avis);
}

namespace {

bool meme_peripherique(const Tperipherique_vu& a, const Tperipherique_vu& b) {
    return a.chemin == b.chemin && a.vendor_id == b.vendor_id && a.product_id == b.product_id;
}

bool contient(const std::vector<std::string>& chemins, const std::string& chemin) {
    return std::find(chemins.begin(), chemins.end(), chemin) != chemins.end();
}

// Whether the list says the device is gone: a list that failed, or that could not read the
// device's ids, says nothing of it.
bool absent_de(const Tliste_peripheriques& liste, const Tperipherique_vu& v) {
    return liste.complete && !contient(liste.illisibles, v.chemin) &&
           std::none_of(liste.vus.begin(), liste.vus.end(),
                        [&v](const Tperipherique_vu& l) { return meme_peripherique(l, v); });
}

} // namespace

void Thid_reel::debranche_les_absents_verrouille(const Tliste_peripheriques& liste,
                                                 const std::vector<std::string>& retires,
                                                 std::vector<Tavis>& avis) {
    for (auto& [handle, p] : peripheriques_) {
        if (!p.branche) continue;
        const bool absent = absent_de(liste, {p.chemin, p.vendor_id, p.product_id});
        // The system's word of a removal, for a device listed again, is of an earlier
        // plugging when its reader reads: that reader would fail were it gone. Without a
        // reader it is the only sign that the device was replaced.
        const bool retire = contient(retires, p.chemin) && !p.lecteur;
        if (absent || retire) {
            debranche_verrouille(handle, p);
            avis.emplace_back(NOTIFY_UNPLUGGED, handle);
        }
    }
}

bool Thid_reel::annonce_les_nouveaux_verrouille(const Tliste_peripheriques& liste,
                                                const std::vector<bool>& accessible,
                                                std::vector<Tavis>& avis) {
    // Those listed without rights before and missed now stay, unless the list says they went.
    std::vector<Tperipherique_vu> inaccessibles;
    for (const auto& d : inaccessibles_)
        if (!absent_de(liste, d) &&
            std::none_of(liste.vus.begin(), liste.vus.end(),
                         [&d](const Tperipherique_vu& v) { return v.chemin == d.chemin; }))
            inaccessibles.push_back(d);
    bool sans_droits_nouveau = false;
    for (std::size_t i = 0; i < liste.vus.size(); ++i) {
        const Tperipherique_vu& v = liste.vus[i];
        const bool connu =
            std::any_of(peripheriques_.begin(), peripheriques_.end(), [&v](const auto& e) {
                return e.second.branche && e.second.chemin == v.chemin;
            });
        // Lost by its reader a moment ago, it may still be on the list while the system
        // takes it out: announced again only once that time is over.
        if (connu || quarantaine_.count(v.chemin)) continue;
        if (!accessible[i]) {
            sans_droits_nouveau =
                sans_droits_nouveau ||
                std::none_of(inaccessibles_.begin(), inaccessibles_.end(),
                             [&](const Tperipherique_vu& d) { return meme_peripherique(d, v); });
            inaccessibles.push_back(v);
            continue;
        }
        const THidHandle handle = prochain_handle_++;
        Tperipherique& p = peripheriques_[handle];
        p.chemin = v.chemin;
        p.vendor_id = v.vendor_id;
        p.product_id = v.product_id;
        avis.emplace_back(NOTIFY_PLUGGED, handle);
    }
    inaccessibles_ = std::move(inaccessibles);
    return sans_droits_nouveau;
}

namespace {

// A device whose reports are wanted and that no reader reads yet: the watcher opens it.
template <class P> bool attend_ouverture(const P& p) {
    return p.branche && p.notifie_lecture && !p.lecteur && !p.ouverture_en_cours;
}

} // namespace

int Thid_reel::delai_d_attente() {
    using namespace std::chrono;
    const Tinstant maintenant = source_->maintenant();
    std::lock_guard verrou(mutex_);
    std::optional<Tinstant> echeance;
    const auto au_plus_tard = [&echeance](Tinstant t) {
        if (!echeance || t < *echeance) echeance = t;
    };
    for (const auto& [handle, p] : peripheriques_)
        if (attend_ouverture(p)) au_plus_tard(p.prochain_essai);
    for (const auto& [chemin, fin] : quarantaine_)
        au_plus_tard(fin);
    int delai = -1;
    if (echeance)
        delai = static_cast<int>(std::clamp<long long>(
            ceil<milliseconds>(*echeance - maintenant).count(), 0, reessai_max_ms));
    if (!inaccessibles_demandes_verrouille().empty())
        delai = delai < 0 ? periode_reessai_ms : std::min(delai, periode_reessai_ms);
    return delai;
}

bool Thid_reel::quarantaine_finie_verrouille(Tinstant maintenant) const {
    return std::any_of(quarantaine_.begin(), quarantaine_.end(),
                       [maintenant](const auto& q) { return q.second <= maintenant; });
}

std::vector<std::string> Thid_reel::inaccessibles_demandes_verrouille() const {
    std::vector<std::string> chemins;
    for (const auto& v : inaccessibles_)
        if (ids_demandes_.count({v.vendor_id, v.product_id})) chemins.push_back(v.chemin);
    return chemins;
}

bool Thid_reel::devenus_accessibles() {
    std::vector<std::string> chemins;
    {
        std::lock_guard verrou(mutex_);
        chemins = inaccessibles_demandes_verrouille();
    }
    return std::any_of(chemins.begin(), chemins.end(),
                       [this](const std::string& c) { return source_->peut_ouvrir(c); });
}

void Thid_reel::ouvre_les_attendus() {
    const Tinstant maintenant = source_->maintenant();
    std::vector<THidHandle> attendus;
    {
        std::lock_guard verrou(mutex_);
        for (const auto& [handle, p] : peripheriques_)
            if (attend_ouverture(p) && p.prochain_essai <= maintenant) attendus.push_back(handle);
    }
    bool ouvert = false;
    for (const THidHandle h : attendus)
        ouvert = demarre_lecteur(h) == 1 || ouvert;
    if (!ouvert) return;
    // The caller was told the device could not be opened: it asks again, and learns it can.
    IHidTarget* cible = nullptr;
    {
        std::lock_guard verrou(mutex_);
        cible = cible_;
    }
    poste(cible, {{NOTIFY_CHANGED, 0}});
}

void Thid_reel::debranche_verrouille(THidHandle handle, Tperipherique& p) {
    p.branche = false;
    p.notifie_lecture = false;
    if (p.lecteur) p.lecteur->arret = true;
    p.lecteur = nullptr;
    debranches_.push_back(handle);
    while (debranches_.size() > debranches_gardes_max) {
        peripheriques_.erase(debranches_.front());
        debranches_.pop_front();
    }
}

void Thid_reel::joint_lecteurs_finis() {
    std::list<std::unique_ptr<Tlecteur>> finis;
    {
        std::lock_guard verrou(mutex_);
        for (auto it = lecteurs_.begin(); it != lecteurs_.end();) {
            auto suivant = std::next(it);
            if ((*it)->fini) finis.splice(finis.end(), lecteurs_, it);
            it = suivant;
        }
    }
    for (auto& l : finis)
        if (l->fil.joinable()) l->fil.join();
}

void Thid_reel::lit_en_continu(THidHandle handle, Iperipherique_ouvert& peripherique,
                               Tlecteur& lecteur) {
    std::vector<std::uint8_t> tampon(taille_lecture);
    while (!lecteur.arret) {
        const int n = peripherique.lit(tampon.data(), tampon.size(), delai_lecture_ms);
        if (n == 0) continue;
        if (n < 0) {
            if (!lecteur.arret) perdu_en_lecture(handle);
            break;
        }
        IHidTarget* cible = nullptr;
        bool annonce = false;
        {
            std::lock_guard verrou(mutex_);
            auto it = peripheriques_.find(handle);
            if (!arret_ && it != peripheriques_.end() && it->second.branche &&
                it->second.notifie_lecture &&
                it->second.rapports.size() < rapports_en_attente_max) {
                const std::size_t longueur = std::min(static_cast<std::size_t>(n), tampon.size());
                it->second.rapports.emplace_back(tampon.begin(), tampon.begin() + longueur);
                annonce = true;
                cible = cible_;
            }
        }
        if (annonce) poste(cible, {{NOTIFY_READ, handle}});
    }
}

void Thid_reel::perdu_en_lecture(THidHandle handle) {
    const Tinstant maintenant = source_->maintenant();
    IHidTarget* cible = nullptr;
    {
        std::lock_guard verrou(mutex_);
        auto it = peripheriques_.find(handle);
        if (arret_ || it == peripheriques_.end() || !it->second.branche) return;
        debranche_verrouille(handle, it->second);
        // Unplugged and plugged again under the same name, it may have been listed already
        // while this reader still read: the list is read again once the system is done.
        quarantaine_[it->second.chemin] =
            maintenant + std::chrono::milliseconds(relecture_apres_perte_ms);
        cible = cible_;
    }
    poste(cible, {{NOTIFY_UNPLUGGED, handle}, {NOTIFY_CHANGED, 0}});
    source_->reveille();
}

THidId Thid_reel::GetVendorID(THidHandle handle) {
    std::lock_guard verrou(mutex_);
    auto it = peripheriques_.find(handle);
    return it == peripheriques_.end() ? 0 : it->second.vendor_id;
}

THidId Thid_reel::GetProductID(THidHandle handle) {
    std::lock_guard verrou(mutex_);
    auto it = peripheriques_.find(handle);
    return it == peripheriques_.end() ? 0 : it->second.product_id;
}

THidHandle Thid_reel::GetHandle(THidId vendorId, THidId productId) {
    THidHandle trouve = 0;
    bool reessai_nouveau = false;
    {
        std::lock_guard verrou(mutex_);
        for (const auto& [handle, p] : peripheriques_)
            if (!trouve && p.branche && p.vendor_id == vendorId && p.product_id == productId)
                trouve = handle;
        // The caller names what it looks for: such a device, listed without rights, is
        // tried again from now on, and the watcher must learn it.
        if (ids_demandes_.insert({vendorId, productId}).second)
            reessai_nouveau = !inaccessibles_demandes_verrouille().empty();
    }
    if (reessai_nouveau) source_->reveille();
    return trouve;
}

THidResult Thid_reel::SetReadNotify(THidHandle handle, THidBool value) {
    {
        std::lock_guard verrou(mutex_);
        auto it = peripheriques_.find(handle);
        if (arret_ || it == peripheriques_.end() || !it->second.branche) return 0;
        it->second.notifie_lecture = value != HID_FALSE;
        if (!it->second.notifie_lecture) return 1;
    }
    const THidResult r = demarre_lecteur(handle);
    // The wish stays: the watcher tries again until the device opens or goes.
    if (r != 1) source_->reveille();
    return r;
}

THidResult Thid_reel::demarre_lecteur(THidHandle handle) {
    using namespace std::chrono;
    std::string chemin;
    {
        std::lock_guard verrou(mutex_);
        auto it = peripheriques_.find(handle);
        if (arret_ || it == peripheriques_.end() || !it->second.branche) return 0;
        Tperipherique& p = it->second;
        if (p.lecteur) return 1;
        if (p.ouverture_en_cours) {
            p.reponse_anticipee = true;
            return 1;
        }
        p.ouverture_en_cours = true;
        chemin = p.chemin;
    }
    // Opening touches the system: done outside the lock, then the device is checked again.
    Trefus_ouverture refus = Trefus_ouverture::autre;
    std::unique_ptr<Iperipherique_ouvert> ouvert = source_->ouvre(chemin, refus);
    const Tinstant maintenant = source_->maintenant();
    IHidTarget* a_prevenir = nullptr;
    THidResult r = 1;
    {
        std::lock_guard verrou(mutex_);
        auto it = peripheriques_.find(handle);
        if (it == peripheriques_.end()) return 0;
        Tperipherique& p = it->second;
        p.ouverture_en_cours = false;
        if (arret_ || !p.branche) return 0;
        if (!ouvert) {
            // Tried again later, the longer the more it failed: a device another program holds
            // may stay held for the whole run.
            ++p.echecs_ouverture;
            const int delai =
                std::min(periode_reessai_ms << std::min(p.echecs_ouverture - 1, 5), reessai_max_ms);
            p.prochain_essai = maintenant + milliseconds(delai);
            r = refus == Trefus_ouverture::occupe ? HID_OCCUPE : HID_OUVERTURE_REFUSEE;
            if (p.reponse_anticipee) a_prevenir = cible_;
            p.reponse_anticipee = false;
        } else {
            p.echecs_ouverture = 0;
            p.reponse_anticipee = false;
            auto lecteur = std::make_unique<Tlecteur>();
            Tlecteur& l = *lecteur;
            p.lecteur = &l;
            lecteurs_.push_back(std::move(lecteur));
            // The reader thread owns the open device and closes it when it ends.
            l.fil = std::thread([this, handle, &l, dev = std::move(ouvert)] {
                laisse_les_signaux();
                lit_en_continu(handle, *dev, l);
                l.fini = true;
            });
        }
    }
    // Told it was switched while this opening ran, the caller learns otherwise by asking again.
    if (a_prevenir) poste(a_prevenir, {{NOTIFY_CHANGED, 0}});
    return r;
}

THidResult Thid_reel::Read(THidHandle handle, std::uint8_t* buffer, std::size_t length) {
    if (!buffer) return 0;
    std::lock_guard verrou(mutex_);
    auto it = peripheriques_.find(handle);
    if (it == peripheriques_.end() || it->second.rapports.empty()) return 0;
    const std::vector<std::uint8_t>& r = it->second.rapports.front();
    const std::size_t n = std::min(length, r.size());
    std::memcpy(buffer, r.data(), n);
    it->second.rapports.pop_front();
    return static_cast<THidResult>(n);
}

THidResult Thid_reel::Write(THidHandle handle, const std::uint8_t* buffer, std::size_t length) {
    if (!buffer || length == 0) return 0;
    std::string chemin;
    {
        std::lock_guard verrou(mutex_);
        auto it = peripheriques_.find(handle);
        if (arret_ || it == peripheriques_.end() || !it->second.branche) return 0;
        chemin = it->second.chemin;
    }
    // A device of its own for the report: the reader's stays with the reader's thread.
    Trefus_ouverture refus = Trefus_ouverture::aucun;
    std::unique_ptr<Iperipherique_ouvert> ouvert = source_->ouvre(chemin, refus);
    if (!ouvert) return 0;
    return std::max(ouvert->ecrit(buffer, length), 0);
}
