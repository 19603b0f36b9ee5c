#pragma once
// A device source under the test's control, for the real HID implementation:
// devices come and go, send reports and vanish when the test says so. Safe to
// drive from the test's thread while the implementation's threads wait on it.

#include "source_hid.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>

class Tsource_scriptee : public Isource_hid {
public:
    // ---- The test's side -----------------------------------------------------------------
    void ajoute(const std::string& chemin, THidId vid, THidId pid) {
        std::lock_guard v(m_);
        presents_[chemin] = {vid, pid};
        signale_verrouille();
        cv_.notify_all();
    }
    // The system's word of a change reaches only a watcher that listens already, as
    // Windows' device notifications reach only a window registered for them.
    void mot_seulement_apres_ecoute() {
        std::lock_guard v(m_);
        exige_ecoute_ = true;
    }
    // Runs inside the next listing, once its list is read: a device plugged meanwhile.
    void pendant_la_prochaine_liste(std::function<void()> f) {
        std::lock_guard v(m_);
        pendant_liste_ = std::move(f);
    }
    // The device leaves the list, and the system says so.
    void retire(const std::string& chemin) {
        std::lock_guard v(m_);
        presents_.erase(chemin);
        ++generation_[chemin];
        retires_.push_back(chemin);
        signale_verrouille();
        cv_.notify_all();
    }
    // Unplugged and plugged again, under the same path, before anyone looked: what was
    // open of it is gone.
    void rebranche(const std::string& chemin, THidId vid, THidId pid) {
        std::lock_guard v(m_);
        presents_[chemin] = {vid, pid};
        ++generation_[chemin];
        retires_.push_back(chemin);
        signale_verrouille();
        cv_.notify_all();
    }
    // What is open of the device fails, and the system says nothing: it is still there.
    void coupe(const std::string& chemin) {
        std::lock_guard v(m_);
        ++generation_[chemin];
        cv_.notify_all();
    }
    // The system's word of a removal comes late: the device is there again.
    void retrait_tardif(const std::string& chemin) {
        std::lock_guard v(m_);
        retires_.push_back(chemin);
        signale_verrouille();
        cv_.notify_all();
    }
    // The next listing, read for a change the system signals, fails whole, or cannot read
    // one device's ids.
    void liste_en_echec() {
        std::lock_guard v(m_);
        liste_en_echec_ = true;
        signale_verrouille();
        cv_.notify_all();
    }
    void ids_illisibles(const std::string& chemin) {
        std::lock_guard v(m_);
        illisible_ = chemin;
        signale_verrouille();
        cv_.notify_all();
    }
    // An input report from the device, report identifier first.
    void envoie(const std::string& chemin, std::vector<std::uint8_t> rapport) {
        std::lock_guard v(m_);
        rapports_[chemin].push_back(std::move(rapport));
        cv_.notify_all();
    }
    // The device is pulled out: its reader fails at once, the system's word comes later.
    void perd(const std::string& chemin) {
        std::lock_guard v(m_);
        presents_.erase(chemin);
        ++generation_[chemin];
        cv_.notify_all();
    }
    // Opening fails, though the rights on the node say it would not (a race, a security module).
    void refuse_ouverture(bool r) {
        std::lock_guard v(m_);
        refuse_ = r;
    }
    // Another program holds the device without sharing: opening it fails.
    void occupe(bool o) {
        std::lock_guard v(m_);
        occupe_ = o;
    }
    // From now on time passes only when the test says so: a wait with a delay ends once the
    // test has moved the clock past it.
    void temps_simule() {
        std::lock_guard v(m_);
        simule_ = true;
    }
    void avance(int ms) {
        std::lock_guard v(m_);
        horloge_ += std::chrono::milliseconds(ms);
        cv_.notify_all();
    }
    // The node's rights: without them the device can be neither opened nor said openable.
    // Nothing tells the system's watchers that rights changed.
    void droits(const std::string& chemin, bool accessible) {
        std::lock_guard v(m_);
        if (accessible)
            sans_droits_.erase(chemin);
        else
            sans_droits_.insert(chemin);
    }
    // Devices open now; outlives the source, to be looked at once it is gone.
    const std::shared_ptr<std::atomic<int>> ouverts = std::make_shared<std::atomic<int>>(0);

    int ouvertures(const std::string& chemin) {
        std::lock_guard v(m_);
        return ouvertures_[chemin];
    }
    // Openings asked for, those that failed included.
    int essais(const std::string& chemin) {
        std::lock_guard v(m_);
        return essais_[chemin];
    }
    std::vector<std::vector<std::uint8_t>> ecrits(const std::string& chemin) {
        std::lock_guard v(m_);
        return ecrits_[chemin];
    }
    // Waits until every report sent to the device was taken and its reader waits for
    // the next one: by then the reader has dealt with all of them. False if that never comes.
    bool attend_lecteur_au_repos(const std::string& chemin) {
        std::unique_lock v(m_);
        return cv_.wait_for(v, std::chrono::seconds(20),
                            [&] { return rapports_[chemin].empty() && en_attente_[chemin] > 0; });
    }

    // Waits until the watcher is blocked in its wait with nothing pending that would end it:
    // by then it has dealt with everything done before, changes made before Connect included.
    // Gives that wait's delay: negative when it sleeps until something changes, never waking
    // by itself. Nothing if the watcher never comes to rest.
    std::optional<int> attend_surveillant_au_repos() {
        std::unique_lock v(m_);
        if (!cv_.wait_for(v, std::chrono::seconds(20), [&] {
                return surveillant_en_attente_ && changements_ == 0 && !reveil_ && !arrete_ &&
                       !(simule_ && delai_en_attente_ >= 0 && horloge_ >= echeance_en_attente_);
            }))
            return std::nullopt;
        return delai_en_attente_;
    }

    // ---- Isource_hid -----------------------------------------------------------------------
    Tliste_peripheriques enumere() override {
        Tliste_peripheriques liste;
        std::function<void()> pendant;
        {
            std::lock_guard v(m_);
            for (const auto& [chemin, ids] : presents_)
                if (chemin == illisible_)
                    liste.illisibles.push_back(chemin);
                else
                    liste.vus.push_back({chemin, ids.first, ids.second});
            if (liste_en_echec_) liste = {{}, {}, false};
            liste_en_echec_ = false;
            illisible_.clear();
            pendant.swap(pendant_liste_);
        }
        if (pendant) pendant();
        return liste;
    }
    Tinstant maintenant() override {
        std::lock_guard v(m_);
        return simule_ ? horloge_ : std::chrono::steady_clock::now();
    }
    void ecoute_changements() override {
        std::lock_guard v(m_);
        ecoute_ = true;
    }
    bool peut_ouvrir(const std::string& chemin) override {
        std::lock_guard v(m_);
        return presents_.count(chemin) && !sans_droits_.count(chemin);
    }
    std::unique_ptr<Iperipherique_ouvert> ouvre(const std::string& chemin,
                                                Trefus_ouverture& refus) override {
        std::lock_guard v(m_);
        ++essais_[chemin];
        refus = occupe_ ? Trefus_ouverture::occupe : Trefus_ouverture::autre;
        if (occupe_ || refuse_ || sans_droits_.count(chemin) || !presents_.count(chemin))
            return nullptr;
        refus = Trefus_ouverture::aucun;
        ++ouvertures_[chemin];
        return std::make_unique<Touvert>(*this, chemin, generation_[chemin]);
    }
    Tattente attend_changement(std::vector<std::string>& retires, int delai_max_ms) override {
        std::unique_lock v(m_);
        auto fini = [&] { return arrete_ || reveil_ || changements_ > 0; };
        surveillant_en_attente_ = true;
        delai_en_attente_ = delai_max_ms;
        cv_.notify_all();
        if (delai_max_ms < 0)
            cv_.wait(v, fini);
        else if (simule_) {
            echeance_en_attente_ = horloge_ + std::chrono::milliseconds(delai_max_ms);
            cv_.wait(v, [&] { return fini() || horloge_ >= echeance_en_attente_; });
        } else
            cv_.wait_for(v, std::chrono::milliseconds(delai_max_ms), fini);
        surveillant_en_attente_ = false;
        if (arrete_) return Tattente::arret;
        reveil_ = false;
        if (changements_ == 0) return Tattente::delai;
        changements_ = 0;
        retires.insert(retires.end(), retires_.begin(), retires_.end());
        retires_.clear();
        return Tattente::changement;
    }
    void reveille() override {
        std::lock_guard v(m_);
        reveil_ = true;
        cv_.notify_all();
    }
    void arrete() override {
        std::lock_guard v(m_);
        arrete_ = true;
        cv_.notify_all();
    }

private:
    class Touvert : public Iperipherique_ouvert {
    public:
        Touvert(Tsource_scriptee& s, std::string chemin, int generation)
            : s_(s), chemin_(std::move(chemin)), generation_(generation), ouverts_(s.ouverts) {
            ++*ouverts_;
        }
        ~Touvert() override { --*ouverts_; }
        Touvert(const Touvert&) = delete;
        Touvert& operator=(const Touvert&) = delete;
        int lit(std::uint8_t* tampon, std::size_t longueur, int delai_ms) override {
            return s_.lit(chemin_, generation_, tampon, longueur, delai_ms);
        }
        int ecrit(const std::uint8_t* octets, std::size_t longueur) override {
            std::lock_guard v(s_.m_);
            if (!s_.presents_.count(chemin_) || s_.generation_[chemin_] != generation_) return -1;
            s_.ecrits_[chemin_].emplace_back(octets, octets + longueur);
            return static_cast<int>(longueur);
        }

    private:
        Tsource_scriptee& s_;
        std::string chemin_;
        int generation_;
        std::shared_ptr<std::atomic<int>> ouverts_;
    };

    int lit(const std::string& chemin, int generation, std::uint8_t* tampon, std::size_t longueur,
            int delai_ms) {
        std::unique_lock v(m_);
        auto perdu = [&] { return !presents_.count(chemin) || generation_[chemin] != generation; };
        auto& file = rapports_[chemin];
        ++en_attente_[chemin];
        cv_.notify_all();
        cv_.wait_for(v, std::chrono::milliseconds(delai_ms),
                     [&] { return perdu() || !file.empty(); });
        --en_attente_[chemin];
        if (perdu()) return -1;
        if (file.empty()) return 0;
        const auto& r = file.front();
        const std::size_t n = std::min(longueur, r.size());
        std::copy_n(r.begin(), n, tampon);
        file.pop_front();
        cv_.notify_all();
        return static_cast<int>(n);
    }

    // The system's word of a change.
    void signale_verrouille() {
        if (!exige_ecoute_ || ecoute_) ++changements_;
    }

    std::mutex m_;
    std::condition_variable cv_;
    std::map<std::string, std::pair<THidId, THidId>> presents_;
    std::vector<std::string> retires_;
    std::map<std::string, std::deque<std::vector<std::uint8_t>>> rapports_;
    std::map<std::string, int> ouvertures_;
    std::map<std::string, int> essais_;
    // Each plugging of a path: what was opened of an earlier one reads nothing of it.
    std::map<std::string, int> generation_;
    std::map<std::string, int> en_attente_;
    std::map<std::string, std::vector<std::vector<std::uint8_t>>> ecrits_;
    std::set<std::string> sans_droits_;
    std::function<void()> pendant_liste_;
    int changements_ = 0;
    bool exige_ecoute_ = false;
    bool ecoute_ = false;
    bool surveillant_en_attente_ = false;
    int delai_en_attente_ = 0;
    bool reveil_ = false;
    bool refuse_ = false;
    bool occupe_ = false;
    bool arrete_ = false;
    bool liste_en_echec_ = false;
    std::string illisible_;
    bool simule_ = false;
    Tinstant horloge_{};
    Tinstant echeance_en_attente_{};
};

// The window's side: records every notification, from whatever thread it comes.
class Tcible_enregistree : public IHidTarget {
public:
    using Tavis = std::pair<std::uint32_t, std::uint32_t>;
    void PostHidEvent(std::uint32_t wParam, std::uint32_t lParam) override {
        std::lock_guard v(m_);
        avis_.emplace_back(wParam, lParam);
        cv_.notify_all();
    }
    // Waits for the n-th notification; the first n (fewer if they never come).
    std::vector<Tavis> attend(std::size_t n) {
        std::unique_lock v(m_);
        cv_.wait_for(v, std::chrono::seconds(20), [&] { return avis_.size() >= n; });
        return {avis_.begin(),
                avis_.begin() + static_cast<std::ptrdiff_t>(std::min(n, avis_.size()))};
    }
    std::vector<Tavis> avis() {
        std::lock_guard v(m_);
        return avis_;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    std::vector<Tavis> avis_;
};
