// The system's device source on Linux: hidapi (hidraw back end) lists and opens
// the devices; a udev monitor of the hidraw subsystem wakes the watcher when one
// comes or goes. Without a monitor the list is read again every second.
#include "source_udev.h"

#include "descripteur_rapport.h"
#include "hidapi_commun.h"
#include "rythme_liste.h"

#include <libudev.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

// The device's report descriptor, as the kernel shows it beside the hidraw node.
std::vector<std::uint8_t> descripteur_de(const std::string& chemin) {
    const auto barre = chemin.rfind('/');
    const std::string nom = barre == std::string::npos ? chemin : chemin.substr(barre + 1);
    std::ifstream f("/sys/class/hidraw/" + nom + "/device/report_descriptor", std::ios::binary);
    if (!f) return {};
    std::vector<std::uint8_t> octets;
    char c;
    while (octets.size() < 4096 && f.get(c))
        octets.push_back(static_cast<std::uint8_t>(c));
    return octets;
}

class Tsource_udev : public Isource_hid {
public:
    explicit Tsource_udev(const Treglages_source_udev& reglages)
        : periode_ms_(reglages.periode_enumeration_ms),
          rythme_(periode_ms_, periode_ms_, std::chrono::steady_clock::now()) {
        reveil_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        udev_ = udev_new();
        // Without a running udev daemon no event would ever come: read the list instead.
        if (reglages.moniteur && udev_ && ::access("/run/udev/control", F_OK) == 0)
            moniteur_ = udev_monitor_new_from_netlink(udev_, "udev");
        if (moniteur_ &&
            (udev_monitor_filter_add_match_subsystem_devtype(moniteur_, "hidraw", nullptr) < 0 ||
             udev_monitor_enable_receiving(moniteur_) < 0)) {
            udev_monitor_unref(moniteur_);
            moniteur_ = nullptr;
        }
        if (moniteur_) {
            const int fd = udev_monitor_get_fd(moniteur_);
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Tsource_udev() override {
        if (moniteur_) udev_monitor_unref(moniteur_);
        if (udev_) udev_unref(udev_);
        if (reveil_ >= 0) ::close(reveil_);
    }
    Tsource_udev(const Tsource_udev&) = delete;
    Tsource_udev& operator=(const Tsource_udev&) = delete;

    Tliste_peripheriques enumere() override { return {enumere_hidapi(), {}, true}; }

    std::unique_ptr<Iperipherique_ouvert> ouvre(const std::string& chemin,
                                                Trefus_ouverture& refus) override {
        const std::vector<std::uint8_t> desc = descripteur_de(chemin);
        auto ouvert = ouvre_hidapi(chemin, rapports_numerotes(desc.data(), desc.size()));
        refus = ouvert ? Trefus_ouverture::aucun : Trefus_ouverture::autre;
        return ouvert;
    }

    bool peut_ouvrir(const std::string& chemin) override {
        // With the identity that open() uses, not the real one.
        return ::faccessat(AT_FDCWD, chemin.c_str(), R_OK | W_OK, AT_EACCESS) == 0;
    }

    Tattente attend_changement(std::vector<std::string>& retires, int delai_max_ms) override {
        if (arrete_) return Tattente::arret;
        pollfd attentes[2] = {{reveil_, POLLIN, 0},
                              {moniteur_ ? udev_monitor_get_fd(moniteur_) : -1, POLLIN, 0}};
        const bool en_erreur = ::poll(attentes, 2, attente_ms(delai_max_ms)) < 0 && errno != EINTR;
        if (arrete_) return Tattente::arret;
        if (attentes[0].revents != 0) return vide_reveil();
        if (en_erreur || (attentes[1].revents & (POLLERR | POLLHUP | POLLNVAL)))
            return passe_a_la_liste();
        if (attentes[1].revents & POLLIN) return lit_moniteur(retires);
        // Otherwise the caller's delay or a signal, for which the list need not be read again;
        // or the list's own time.
        return liste_due() ? Tattente::changement : Tattente::delai;
    }

    void reveille() override { signale(); }

    void arrete() override {
        arrete_ = true;
        signale();
    }

private:
    // Without a monitor (or without a way to be woken) the list is read every period.
    bool liste_periodique() const { return !moniteur_ || reveil_ < 0; }

    // How long poll may wait: the caller's delay, and no later than the list's next reading.
    int attente_ms(int delai_max_ms) const {
        if (!liste_periodique()) return delai_max_ms;
        return rythme_.attente_ms(std::chrono::steady_clock::now(), delai_max_ms);
    }

    // True once in each period when the list is read periodically.
    bool liste_due() { return liste_periodique() && rythme_.due(std::chrono::steady_clock::now()); }

    // reveille() or arrete() was called: the counter is emptied, or every wait would end at once.
    Tattente vide_reveil() {
        std::uint64_t n;
        [[maybe_unused]] const auto lu = ::read(reveil_, &n, sizeof n);
        return Tattente::delai;
    }

    // A monitor that fails would wake us for ever: the list is read every period instead.
    Tattente passe_a_la_liste() {
        if (moniteur_) udev_monitor_unref(moniteur_);
        moniteur_ = nullptr;
        rythme_ = Trythme_liste(periode_ms_, periode_ms_, std::chrono::steady_clock::now());
        return Tattente::changement;
    }

    // Every event waiting is taken, so that the monitor's socket is empty again.
    Tattente lit_moniteur(std::vector<std::string>& retires) {
        while (udev_device* d = udev_monitor_receive_device(moniteur_)) {
            const char* action = udev_device_get_action(d);
            const char* noeud = udev_device_get_devnode(d);
            if (action && noeud && std::strcmp(action, "remove") == 0) retires.push_back(noeud);
            udev_device_unref(d);
        }
        return Tattente::changement;
    }

    void signale() {
        if (reveil_ >= 0) {
            const std::uint64_t un = 1;
            [[maybe_unused]] const auto n = ::write(reveil_, &un, sizeof un);
        }
    }

    Tutilisation_hidapi hidapi_;
    udev* udev_ = nullptr;
    udev_monitor* moniteur_ = nullptr;
    int reveil_ = -1;
    std::atomic<bool> arrete_{false};
    int periode_ms_;
    Trythme_liste rythme_;
};

} // namespace

std::unique_ptr<Isource_hid> cree_source_udev(const Treglages_source_udev& reglages) {
    return std::make_unique<Tsource_udev>(reglages);
}

std::unique_ptr<Isource_hid> cree_source_systeme() {
    return cree_source_udev({});
}
