#pragma once
// What the real HID implementation needs from the system: the list of HID
// devices, a way to open one, and a wait for the list to change. The system's
// own source (hidapi with a udev monitor) is one; tests put a scripted one in
// its place, so that everything above it runs the same way in both.

#include "cUSBInterfaceTypes.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One HID device as the system lists it. The path names it while it stays plugged.
struct Tperipherique_vu {
    std::string chemin;
    THidId vendor_id = 0;
    THidId product_id = 0;
};

// One reading of the list. A device listed whose ids could not be read is named in
// `illisibles`; `complete` is false when the list itself could not be read whole, so that a
// device missing from it may still be there.
struct Tliste_peripheriques {
    std::vector<Tperipherique_vu> vus;
    std::vector<std::string> illisibles;
    bool complete = true;
};

// Why a listed device could not be opened.
enum class Trefus_ouverture {
    aucun,
    occupe, // another program holds it without sharing
    autre,  // gone meanwhile, or the system refuses it
};

using Tinstant = std::chrono::steady_clock::time_point;

// An open device. Its owner serialises the calls: one at a time.
class Iperipherique_ouvert {
public:
    virtual ~Iperipherique_ouvert() = default;
    // Waits at most `delai_ms` for one input report and copies it, report identifier
    // first, within `longueur` bytes. Returns its length, 0 when none came, or a negative
    // value once the device is gone.
    virtual int lit(std::uint8_t* tampon, std::size_t longueur, int delai_ms) = 0;
    // Sends an output report (report identifier first). Returns the bytes sent, or a
    // negative value.
    virtual int ecrit(const std::uint8_t* octets, std::size_t longueur) = 0;
};

// How a wait for the list of devices ended.
enum class Tattente {
    changement, // the list may have changed: read it again
    delai,      // the caller's delay ran out, or reveille() was called
    arret,      // arrete() was called
};

class Isource_hid {
public:
    virtual ~Isource_hid() = default;
    // The HID devices attached now, each path once.
    virtual Tliste_peripheriques enumere() = 0;
    // Whether the device could be opened now (rights on its node), without opening it:
    // opening tells the device that someone listens.
    virtual bool peut_ouvrir(const std::string& chemin) = 0;
    // Opens a listed device; null when it cannot be opened, with the reason in `refus`.
    virtual std::unique_ptr<Iperipherique_ouvert> ouvre(const std::string& chemin,
                                                        Trefus_ouverture& refus) = 0;
    // Blocks until the list of devices may have changed, with the paths that the system
    // reported removed added to `retires`; or for `delai_max_ms` at most when it is not
    // negative.
    virtual Tattente attend_changement(std::vector<std::string>& retires, int delai_max_ms) = 0;
    // From the watcher's thread, once, before its first listing: from then on the system's
    // word of a change is kept for attend_changement, so that a device plugged while that
    // listing is read is not missed. Sources that listen from the start need nothing here.
    virtual void ecoute_changements() {}
    // From any thread: makes the current or next wait return `delai`.
    virtual void reveille() = 0;
    // From any thread: makes the wait return `arret`, now and from then on.
    virtual void arrete() = 0;
    // The clock the watcher schedules its retries by.
    virtual Tinstant maintenant() { return std::chrono::steady_clock::now(); }
};

// The system's source: on Linux hidapi for the devices and a udev monitor of the hidraw
// subsystem for the changes; on Windows the setup API and the HID class driver.
std::unique_ptr<Isource_hid> cree_source_systeme();
