// The HID library over the system's devices: watcher and reader threads that
// only queue and post; every operation of the caller's thread is short.
#include "hid_reel.h"

#include "signaux_fil.h"

#include <algorithm>
#include <atomic>
#include <cstring>

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
        const Tattente a =
            source_->attend_changement(retires, a_reessayer() ? periode_reessai_ms : -1);
        if (a == Tattente::arret) break;
        if (a == Tattente::changement || devenus_accessibles()) examine(retires);
        retires.clear();
        ouvre_les_attendus();
        joint_lecteurs_finis();
    }
}

void Thid_reel::examine(const std::vector<std::string>& retires) {
    std::vector<Tavis> avis;
    IHidTarget* cible = nullptr;
    bool sans_droits_nouveau = false;
    for (;;) {
        std::uint64_t pertes;
        {
            std::lock_guard verrou(mutex_);
            pertes = pertes_en_lecture_;
        }
        const std::vector<Tperipherique_vu> liste = source_->enumere();
        std::vector<bool> accessible;
        for (const auto& v : liste)
            accessible.push_back(source_->peut_ouvrir(v.chemin));
        std::lock_guard verrou(mutex_);
        if (arret_) return;
        // A device lost by its reader while the list was read may still be on it:
        // that list would bring it back as a new device. Read it again.
        if (pertes != pertes_en_lecture_) continue;
        debranche_les_absents_verrouille(liste, retires, avis);
        sans_droits_nouveau = annonce_les_nouveaux_verrouille(liste, accessible, avis);
        cible = cible_;
        break;
    }
    if (!avis.empty() || sans_droits_nouveau) avis.emplace_back(NOTIFY_CHANGED, 0);
    poste(cible, avis);
}

void Thid_reel::debranche_les_absents_verrouille(const std::vector<Tperipherique_vu>& liste,
                                                 const std::vector<std::string>& retires,
                                                 std::vector<Tavis>& avis) {
    for (auto& [handle, p] : peripheriques_) {
        if (!p.branche) continue;
        const bool signale_retire =
            std::find(retires.begin(), retires.end(), p.chemin) != retires.end();
        const bool encore_la =
            std::any_of(liste.begin(), liste.end(), [&p](const Tperipherique_vu& v) {
                return v.chemin == p.chemin && v.vendor_id == p.vendor_id &&
                       v.product_id == p.product_id;
            });
        if (signale_retire || !encore_la) {
            debranche_verrouille(handle, p);
            avis.emplace_back(NOTIFY_UNPLUGGED, handle);
        }
    }
}

bool Thid_reel::annonce_les_nouveaux_verrouille(const std::vector<Tperipherique_vu>& liste,
                                                const std::vector<bool>& accessible,
                                                std::vector<Tavis>& avis) {
    auto meme = [](const Tperipherique_vu& a, const Tperipherique_vu& b) {
        return a.chemin == b.chemin && a.vendor_id == b.vendor_id && a.product_id == b.product_id;
    };
    std::vector<Tperipherique_vu> inaccessibles;
    bool sans_droits_nouveau = false;
    for (std::size_t i = 0; i < liste.size(); ++i) {
        const Tperipherique_vu& v = liste[i];
        const bool connu =
            std::any_of(peripheriques_.begin(), peripheriques_.end(), [&v](const auto& e) {
                return e.second.branche && e.second.chemin == v.chemin;
            });
        if (connu) continue;
        if (!accessible[i]) {
            sans_droits_nouveau =
                sans_droits_nouveau ||
                std::none_of(inaccessibles_.begin(), inaccessibles_.end(),
                             [&](const Tperipherique_vu& d) { return meme(d, v); });
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

bool Thid_reel::a_reessayer() {
    std::lock_guard verrou(mutex_);
    return !inaccessibles_demandes_verrouille().empty() ||
           std::any_of(peripheriques_.begin(), peripheriques_.end(), [](const auto& e) {
               return e.second.branche && e.second.notifie_lecture && !e.second.lecteur;
           });
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
    std::vector<THidHandle> attendus;
    {
        std::lock_guard verrou(mutex_);
        for (const auto& [handle, p] : peripheriques_)
            if (p.branche && p.notifie_lecture && !p.lecteur && !p.ouverture_en_cours)
                attendus.push_back(handle);
    }
    for (const THidHandle h : attendus)
        demarre_lecteur(h);
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
    IHidTarget* cible = nullptr;
    {
        std::lock_guard verrou(mutex_);
        auto it = peripheriques_.find(handle);
        if (arret_ || it == peripheriques_.end() || !it->second.branche) return;
        debranche_verrouille(handle, it->second);
        ++pertes_en_lecture_;
        cible = cible_;
    }
    poste(cible, {{NOTIFY_UNPLUGGED, handle}, {NOTIFY_CHANGED, 0}});
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
    if (demarre_lecteur(handle)) return 1;
    // The wish stays: the watcher tries again until the device opens or goes.
    source_->reveille();
    return 0;
}

bool Thid_reel::demarre_lecteur(THidHandle handle) {
    std::string chemin;
    {
        std::lock_guard verrou(mutex_);
        auto it = peripheriques_.find(handle);
        if (arret_ || it == peripheriques_.end() || !it->second.branche) return false;
        Tperipherique& p = it->second;
        if (p.lecteur || p.ouverture_en_cours) return true;
        p.ouverture_en_cours = true;
        chemin = p.chemin;
    }
    // Opening touches the system: done outside the lock, then the device is checked again.
    std::unique_ptr<Iperipherique_ouvert> ouvert = source_->ouvre(chemin);
    std::lock_guard verrou(mutex_);
    auto it = peripheriques_.find(handle);
    if (it == peripheriques_.end()) return false;
    Tperipherique& p = it->second;
    p.ouverture_en_cours = false;
    if (!ouvert || arret_ || !p.branche) return false;
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
    return true;
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
    std::unique_ptr<Iperipherique_ouvert> ouvert = source_->ouvre(chemin);
    if (!ouvert) return 0;
    return std::max(ouvert->ecrit(buffer, length), 0);
}
