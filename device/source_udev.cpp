// The system's device source on Linux: hidapi (hidraw back end) lists and opens
// the devices; a udev monitor of the hidraw subsystem wakes the watcher when one
// comes or goes. Without a monitor the list is read again every second.
#include "descripteur_rapport.h"
#include "source_hid.h"

#include <hidapi.h>
#include <libudev.h>

#include <atomic>
#include <cerrno>
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

// hidapi keeps a process-wide error text that listing and opening both write:
// those calls take turns. Calls on one open device touch only that device.
std::mutex& verrou_hidapi() {
    static std::mutex m;
    return m;
}
int utilisateurs_hidapi = 0; // under verrou_hidapi()

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

class Tperipherique_hidapi : public Iperipherique_ouvert {
public:
    Tperipherique_hidapi(hid_device* d, bool numerote) : d_(d), numerote_(numerote) {}
    ~Tperipherique_hidapi() override { hid_close(d_); }
    Tperipherique_hidapi(const Tperipherique_hidapi&) = delete;
    Tperipherique_hidapi& operator=(const Tperipherique_hidapi&) = delete;

    int lit(std::uint8_t* tampon, std::size_t longueur, int delai_ms) override {
        if (longueur < 2) return 0;
        if (numerote_) return hid_read_timeout(d_, tampon, longueur, delai_ms);
        const int n = hid_read_timeout(d_, tampon + 1, longueur - 1, delai_ms);
        if (n <= 0) return n;
        tampon[0] = 0;
        return n + 1;
    }
    int ecrit(const std::uint8_t* octets, std::size_t longueur) override {
        return hid_write(d_, octets, longueur);
    }

private:
    hid_device* d_;
    bool numerote_;
};

class Tsource_udev : public Isource_hid {
public:
    Tsource_udev() {
        {
            std::lock_guard v(verrou_hidapi());
            if (utilisateurs_hidapi++ == 0) hid_init();
        }
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
        std::lock_guard v(verrou_hidapi());
        if (--utilisateurs_hidapi == 0) hid_exit();
    }
    Tsource_udev(const Tsource_udev&) = delete;
    Tsource_udev& operator=(const Tsource_udev&) = delete;

    std::vector<Tperipherique_vu> enumere() override {
        std::vector<Tperipherique_vu> liste;
        std::lock_guard v(verrou_hidapi());
        hid_device_info* tete = hid_enumerate(0, 0);
        for (hid_device_info* d = tete; d; d = d->next) {
            if (!d->path) continue;
            // A device with several top-level collections is listed once per collection.
            bool deja = false;
            for (const auto& vu : liste)
                deja = deja || vu.chemin == d->path;
            if (!deja) liste.push_back({d->path, d->vendor_id, d->product_id});
        }
        hid_free_enumeration(tete);
        return liste;
    }

    std::unique_ptr<Iperipherique_ouvert> ouvre(const std::string& chemin) override {
        hid_device* d = nullptr;
        {
            std::lock_guard v(verrou_hidapi());
            d = hid_open_path(chemin.c_str());
        }
        if (!d) return nullptr;
        const std::vector<std::uint8_t> desc = descripteur_de(chemin);
        return std::make_unique<Tperipherique_hidapi>(d,
                                                      rapports_numerotes(desc.data(), desc.size()));
    }

    bool attend_changement(std::vector<std::string>& retires) override {
        if (arrete_) return false;
        pollfd attentes[2] = {{reveil_, POLLIN, 0},
                              {moniteur_ ? udev_monitor_get_fd(moniteur_) : -1, POLLIN, 0}};
        const bool reveil_sur = moniteur_ && reveil_ >= 0;
        const int r = ::poll(attentes, 2, reveil_sur ? -1 : periode_enumeration_ms);
        if (arrete_ || (r > 0 && attentes[0].revents != 0)) return false;
        if ((r < 0 && errno != EINTR) ||
            (r > 0 && (attentes[1].revents & (POLLERR | POLLHUP | POLLNVAL)))) {
            // A monitor that fails would wake us for ever: read the list every second instead.
            udev_monitor_unref(moniteur_);
            moniteur_ = nullptr;
            return true;
        }
        if (r > 0 && moniteur_ && (attentes[1].revents & POLLIN)) {
            while (udev_device* d = udev_monitor_receive_device(moniteur_)) {
                const char* action = udev_device_get_action(d);
                const char* noeud = udev_device_get_devnode(d);
                if (action && noeud && std::strcmp(action, "remove") == 0) retires.push_back(noeud);
                udev_device_unref(d);
            }
        }
        // A signal, a monitor in trouble or the period: reading the list again is harmless.
        return true;
    }

    void arrete() override {
        arrete_ = true;
        if (reveil_ >= 0) {
            const std::uint64_t un = 1;
            [[maybe_unused]] const auto n = ::write(reveil_, &un, sizeof un);
        }
    }

private:
    udev* udev_ = nullptr;
    udev_monitor* moniteur_ = nullptr;
    int reveil_ = -1;
    std::atomic<bool> arrete_{false};
};

} // namespace

std::unique_ptr<Isource_hid> cree_source_systeme() {
    return std::make_unique<Tsource_udev>();
}
