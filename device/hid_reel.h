#pragma once
// The HID library's operations over the system's HID devices. A watcher thread
// learns of plugging and unplugging from the device source and posts the
// notifications; one reader thread per device whose reports are wanted queues
// them and announces each one. Nothing here ever blocks the caller's thread for
// long: Read takes a queued report, Write opens the device just for the report.
//
// A device is announced once the program has the rights to open it: until then it
// is not there for the program, which would only show a box it cannot read. Its
// coming still changes the list (NOTIFY_CHANGED), so that the caller asks for the
// device it looks for. Such a device whose ids a caller has asked for (GetHandle)
// is tried again every `periode_reessai_ms`, so a late udev rule or permission
// takes effect at once. No other device is tried again: a laptop's keyboard and
// touchpad, root's alone, never wake the watcher.
//
// A device whose reports are wanted but that cannot be opened (another program holds
// it without sharing) is tried again after `periode_reessai_ms`, then after twice as
// long at each failure, up to `reessai_max_ms`; SetReadNotify says why it failed, and
// NOTIFY_CHANGED is posted once it opens.
//
// A device is unplugged by its reader's failure, by a whole list that no longer has it,
// or, while no reader reads it, by the system's word of its removal. A list that failed, or that
// could not read a device's ids, unplugs none of those it missed, and a late word of a removal
// leaves alone a device listed again whose reader reads. A device lost by its reader is not
// announced again under that path before `relecture_apres_perte_ms` (the system may still be taking
// it out); the list is read again then, for it may be back.
//
// Handles are small integers given in plugging order, never reused. After an
// unplug a handle still answers its ids (so that the unplug can be recognised)
// and still gives the reports queued before it; everything else on it, and every
// operation on a handle never given, is a harmless no-op.
//
// The target given to Connect must stay alive until the destructor returns.

#include "cUSBInterface.h"
#include "source_hid.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class Thid_reel : public cUSBInterface {
public:
    explicit Thid_reel(std::unique_ptr<Isource_hid> source = cree_source_systeme());
    ~Thid_reel() override;
    Thid_reel(const Thid_reel&) = delete;
    Thid_reel& operator=(const Thid_reel&) = delete;

    THidResult Connect(IHidTarget* target) override;
    THidId GetVendorID(THidHandle handle) override;
    THidId GetProductID(THidHandle handle) override;
    THidHandle GetHandle(THidId vendorId, THidId productId) override;
    THidResult SetReadNotify(THidHandle handle, THidBool value) override;
    THidResult Read(THidHandle handle, std::uint8_t* buffer, std::size_t length) override;
    THidResult Write(THidHandle handle, const std::uint8_t* buffer, std::size_t length) override;

    // Reports waiting for Read, per device. Past it a new report is dropped with its
    // notification, so that every notification still finds its own report.
    static constexpr std::size_t rapports_en_attente_max = 1024;
    // Unplugged devices whose ids and pending reports are kept.
    static constexpr std::size_t debranches_gardes_max = 64;
    // How long a reader waits for a report before it looks whether it must stop.
    static constexpr int delai_lecture_ms = 100;
    // How often a device without rights, whose ids were asked for, is tried again; and the
    // first delay before a device that could not be opened is.
    static constexpr int periode_reessai_ms = 250;
    // The longest delay between two tries of a device that could not be opened.
    static constexpr int reessai_max_ms = 4000;
    // After a reader's failure, when the list is read again.
    static constexpr int relecture_apres_perte_ms = 1000;

private:
    struct Tlecteur;
    struct Tperipherique {
        std::string chemin;
        THidId vendor_id = 0;
        THidId product_id = 0;
        bool branche = true;
        bool notifie_lecture = false;
        bool ouverture_en_cours = false;
        // SetReadNotify answered 1 while another thread's opening ran: if that one fails,
        // the caller must ask again.
        bool reponse_anticipee = false;
        int echecs_ouverture = 0; // in a row
        Tinstant prochain_essai{};
        Tlecteur* lecteur = nullptr;
        std::deque<std::vector<std::uint8_t>> rapports;
    };
    using Tavis = std::pair<std::uint32_t, std::uint32_t>; // wParam, lParam

    void surveille();
    void examine(const std::vector<std::string>& retires);
    // Under the lock, with the list just read: the devices gone are unplugged, the new
    // ones that can be opened announced, and the others kept as listed without rights.
    // The second tells whether one of those is new.
    void debranche_les_absents_verrouille(const Tliste_peripheriques& liste,
                                          const std::vector<std::string>& retires,
                                          std::vector<Tavis>& avis);
    bool annonce_les_nouveaux_verrouille(const Tliste_peripheriques& liste,
                                         const std::vector<bool>& accessible,
                                         std::vector<Tavis>& avis);
    // How long the watcher may wait before it has something to try: negative, no limit.
    int delai_d_attente();
    // Under the lock: whether a device lost by its reader may be announced again now.
    bool quarantaine_finie_verrouille(Tinstant maintenant) const;
    // Under the lock: the devices listed without rights whose ids were asked for.
    std::vector<std::string> inaccessibles_demandes_verrouille() const;
    bool devenus_accessibles();
    void ouvre_les_attendus();
    // Opens the device and starts its reader: 1, or 0 when the device is not plugged, or
    // why it could not be opened (HID_OCCUPE, HID_OUVERTURE_REFUSEE).
    THidResult demarre_lecteur(THidHandle handle);
    void lit_en_continu(THidHandle handle, Iperipherique_ouvert& peripherique, Tlecteur& lecteur);
    void perdu_en_lecture(THidHandle handle);
    // Under the lock: marks a device unplugged, stops its reader, forgets the oldest
    // unplugged ones beyond the limit.
    void debranche_verrouille(THidHandle handle, Tperipherique& p);
    void joint_lecteurs_finis();
    static void poste(IHidTarget* cible, const std::vector<Tavis>& avis);

    std::unique_ptr<Isource_hid> source_;

    std::mutex mutex_; // guards everything below but the threads' own objects
    IHidTarget* cible_ = nullptr;
    bool arret_ = false;
    THidHandle prochain_handle_ = 1;
    // Paths whose reader failed, and when a device listed under them is announced again.
    std::map<std::string, Tinstant> quarantaine_;
    std::map<THidHandle, Tperipherique> peripheriques_;
    std::vector<Tperipherique_vu> inaccessibles_; // listed, not announced: no rights to open them
    std::set<std::pair<THidId, THidId>> ids_demandes_; // vendor and product given to GetHandle
    std::deque<THidHandle> debranches_;
    std::list<std::unique_ptr<Tlecteur>> lecteurs_;
    std::thread surveillant_;
};
