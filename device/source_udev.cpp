// The system's device source on Linux: hidapi (hidraw back end) lists and opens
// the devices; a udev monitor of the hidraw subsystem wakes the watcher when one
// comes or goes. Without a monitor the list is read again every second.
#include "descripteur_rapport.h"
#include "hidapi_commun.h"
#include "source_hid.h"

#include <libudev.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

constexpr int periode_enumeration_ms = 1000;

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
    Tsource_udev() {
        reveil_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        udev_ = udev_new();
        // Without a running udev daemon no event would ever come: read the list instead.
        if (udev_ && ::access("/run/udev/control", F_OK) == 0)
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

    std::vector<Tperipherique_vu> enumere() override { return enumere_hidapi(); }

    std::unique_ptr<Iperipherique_ouvert> ouvre(const std::string& chemin) override {
        const std::vector<std::uint8_t> desc = descripteur_de(chemin);
        return ouvre_hidapi(chemin, rapports_numerotes(desc.data(), desc.size()));
    }

    bool peut_ouvrir(const std::string& chemin) override {
        // With the identity that open() uses, not the real one.
        return ::faccessat(AT_FDCWD, chemin.c_str(), R_OK | W_OK, AT_EACCESS) == 0;
    }

    Tattente attend_changement(std::vector<std::string>& retires, int delai_max_ms) override {
        using namespace std::chrono;
        if (arrete_) return Tattente::arret;
        // Without a monitor (or without a way to be woken) the list is read every period.
        const bool liste_periodique = !moniteur_ || reveil_ < 0;
        int attente = delai_max_ms;
        if (liste_periodique) {
            const auto reste = duration_cast<milliseconds>(prochaine_liste_ - steady_clock::now());
            const int jusqu_a_la_liste =
                static_cast<int>(std::clamp<long long>(reste.count(), 0, periode_enumeration_ms));
            if (attente < 0 || jusqu_a_la_liste < attente) attente = jusqu_a_la_liste;
        }
        pollfd attentes[2] = {{reveil_, POLLIN, 0},
                              {moniteur_ ? udev_monitor_get_fd(moniteur_) : -1, POLLIN, 0}};
        const int r = ::poll(attentes, 2, attente);
        if (arrete_) return Tattente::arret;
        if (r > 0 && attentes[0].revents != 0) {
            std::uint64_t n;
            [[maybe_unused]] const auto lu = ::read(reveil_, &n, sizeof n);
            return Tattente::delai;
        }
        if ((r < 0 && errno != EINTR) ||
            (r > 0 && (attentes[1].revents & (POLLERR | POLLHUP | POLLNVAL)))) {
            // A monitor that fails would wake us for ever: read the list every period instead.
            if (moniteur_) udev_monitor_unref(moniteur_);
            moniteur_ = nullptr;
            prochaine_liste_ = steady_clock::now() + milliseconds(periode_enumeration_ms);
            return Tattente::changement;
        }
        if (r > 0 && moniteur_ && (attentes[1].revents & POLLIN)) {
            while (udev_device* d = udev_monitor_receive_device(moniteur_)) {
                const char* action = udev_device_get_action(d);
                const char* noeud = udev_device_get_devnode(d);
                if (action && noeud && std::strcmp(action, "remove") == 0) retires.push_back(noeud);
                udev_device_unref(d);
            }
            return Tattente::changement;
        }
        if (liste_periodique && steady_clock::now() >= prochaine_liste_) {
            prochaine_liste_ = steady_clock::now() + milliseconds(periode_enumeration_ms);
            return Tattente::changement;
        }
        // The caller's delay, or a signal: reading the list again is never needed for those.
        return Tattente::delai;
    }

    void reveille() override { signale(); }

    void arrete() override {
        arrete_ = true;
        signale();
    }

private:
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
    std::chrono::steady_clock::time_point prochaine_liste_ =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(periode_enumeration_ms);
};

} // namespace

std::unique_ptr<Isource_hid> cree_source_systeme() {
    return std::make_unique<Tsource_udev>();
}
