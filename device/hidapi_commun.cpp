#include "hidapi_commun.h"

#include "descripteur_rapport.h"

#include <hidapi.h>

#include <mutex>

namespace {

// hidapi keeps a process-wide error text that listing and opening both write:
// those calls take turns. Calls on one open device touch only that device.
std::mutex& verrou_hidapi() {
    static std::mutex m;
    return m;
}
int utilisateurs_hidapi = 0; // under verrou_hidapi()

class Tperipherique_hidapi : public Iperipherique_ouvert {
public:
    Tperipherique_hidapi(hid_device* d, bool numerote) : d_(d), numerote_(numerote) {}
    ~Tperipherique_hidapi() override { hid_close(d_); }
    Tperipherique_hidapi(const Tperipherique_hidapi&) = delete;
    Tperipherique_hidapi& operator=(const Tperipherique_hidapi&) = delete;

    int lit(std::uint8_t* tampon, std::size_t longueur, int delai_ms) override {
        return lit_identifiant_en_tete(
            numerote_, tampon, longueur,
            [&](std::uint8_t* t, std::size_t l) { return hid_read_timeout(d_, t, l, delai_ms); });
    }
    int ecrit(const std::uint8_t* octets, std::size_t longueur) override {
        return hid_write(d_, octets, longueur);
    }

private:
    hid_device* d_;
    bool numerote_;
};

} // namespace

Tutilisation_hidapi::Tutilisation_hidapi() {
    std::lock_guard v(verrou_hidapi());
    if (utilisateurs_hidapi++ == 0) hid_init();
}

Tutilisation_hidapi::~Tutilisation_hidapi() {
    std::lock_guard v(verrou_hidapi());
    if (--utilisateurs_hidapi == 0) hid_exit();
}

std::vector<Tperipherique_vu> enumere_hidapi() {
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

std::unique_ptr<Iperipherique_ouvert> ouvre_hidapi(const std::string& chemin, bool numerote) {
    hid_device* d = nullptr;
    {
        std::lock_guard v(verrou_hidapi());
        d = hid_open_path(chemin.c_str());
    }
    if (!d) return nullptr;
    return std::make_unique<Tperipherique_hidapi>(d, numerote);
}
