// The system's device source on Windows: the setup API lists the HID interfaces, the HID
// class driver opens them by path (peripherique_windows.h); a hidden message-only window,
// registered for the HID interface class, receives WM_DEVICECHANGE when one comes or goes
// and wakes the watcher at once. The list is read again every second all the same until
// that message is seen to come: Wine's HID bus, for one, adds and removes its devices
// without it. Once it has come, the list is read only as a safety net.
#include "peripherique_windows.h"
#include "rythme_liste.h"
#include "source_hid.h"
#include "texte_windows.h"

#include <windows.h>

#include <dbt.h>
#include <setupapi.h>
// MinGW's HID headers declare C functions without saying so.
extern "C" {
#include <hidsdi.h> // brings hidusage.h and hidpi.h, in that order
}

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cwctype>
#include <string>
#include <vector>

namespace {

constexpr int periode_enumeration_ms = 1000;
constexpr int filet_enumeration_ms = 10000;
constexpr wchar_t classe_fenetre[] = L"velmora_surveillance_hid";

// Interface paths name the same device in either case.
bool meme_chemin(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::towlower(static_cast<unsigned char>(x)) ==
                      std::towlower(static_cast<unsigned char>(y));
           });
}

// The HID interfaces present, through the setup API, which every Windows since 2000 has
// (the configuration manager's interface list, which hidapi asks, fails under Wine). A
// device is opened without access rights just to read its ids: that asks nothing of it.
// What fails on the way is said, never taken for a device gone: the watcher then keeps
// what it cannot see.
Tliste_peripheriques enumere_interfaces_hid() {
    Tliste_peripheriques liste;
    GUID classe;
    HidD_GetHidGuid(&classe);
    HDEVINFO ensemble =
        SetupDiGetClassDevsW(&classe, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (ensemble == INVALID_HANDLE_VALUE) {
        liste.complete = false;
        return liste;
    }
    std::vector<DWORD> tampon; // DWORDs: the detail's structure is aligned as they are
    for (DWORD i = 0;; ++i) {
        SP_DEVICE_INTERFACE_DATA donnees_interface{};
        donnees_interface.cbSize = sizeof donnees_interface;
        if (!SetupDiEnumDeviceInterfaces(ensemble, nullptr, &classe, i, &donnees_interface)) {
            liste.complete = GetLastError() == ERROR_NO_MORE_ITEMS;
            break;
        }
        DWORD taille = 0;
        SetupDiGetDeviceInterfaceDetailW(ensemble, &donnees_interface, nullptr, 0, &taille,
                                         nullptr);
        if (taille < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
            liste.complete = false; // a device whose name is not known
            continue;
        }
        tampon.assign(taille / sizeof(DWORD) + 1, 0);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(tampon.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(ensemble, &donnees_interface, detail,
                                              static_cast<DWORD>(tampon.size() * sizeof(DWORD)),
                                              nullptr, nullptr)) {
            liste.complete = false;
            continue;
        }
        std::string chemin = utf8_depuis_large(detail->DevicePath);
        HIDD_ATTRIBUTES attributs{};
        attributs.Size = sizeof attributs;
        HANDLE h = CreateFileW(detail->DevicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        const bool lu = h != INVALID_HANDLE_VALUE && HidD_GetAttributes(h, &attributs);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        if (!lu) {
            liste.illisibles.push_back(std::move(chemin));
            continue;
        }
        const bool deja = std::any_of(liste.vus.begin(), liste.vus.end(),
                                      [&](const auto& v) { return meme_chemin(v.chemin, chemin); });
        if (!deja)
            liste.vus.push_back({std::move(chemin), attributs.VendorID, attributs.ProductID});
    }
    SetupDiDestroyDeviceInfoList(ensemble);
    return liste;
}

class Tsource_windows : public Isource_hid {
public:
    Tsource_windows()
        : reveil_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          rythme_(periode_enumeration_ms, filet_enumeration_ms, std::chrono::steady_clock::now()) {}
    ~Tsource_windows() override {
        if (notification_) UnregisterDeviceNotification(notification_);
        if (reveil_) CloseHandle(reveil_);
    }
    Tsource_windows(const Tsource_windows&) = delete;
    Tsource_windows& operator=(const Tsource_windows&) = delete;

    Tliste_peripheriques enumere() override {
        Tliste_peripheriques liste = enumere_interfaces_hid();
        // The names as listed, for the removals to come; a list that failed forgets none.
        if (liste.complete) connus_.clear();
        const auto retient = [this](const std::string& c) {
            if (std::none_of(connus_.begin(), connus_.end(),
                             [&c](const std::string& k) { return meme_chemin(k, c); }))
                connus_.push_back(c);
        };
        for (const auto& v : liste.vus)
            retient(v.chemin);
        for (const auto& c : liste.illisibles)
            retient(c);
        return liste;
    }

    // Windows gives every user read and write access to a HID device that is not the
    // system's own keyboard or mouse: there are no rights to wait for.
    bool peut_ouvrir(const std::string&) override { return true; }

    std::unique_ptr<Iperipherique_ouvert> ouvre(const std::string& chemin,
                                                Trefus_ouverture& refus) override {
        return ouvre_peripherique_windows(chemin, refus);
    }

    Tattente attend_changement(std::vector<std::string>& retires, int delai_max_ms) override {
        using namespace std::chrono;
        if (arrete_) return fin();
        if (!essaye_fenetre_) cree_fenetre();
        const auto attente =
            static_cast<DWORD>(rythme_.attente_ms(steady_clock::now(), delai_max_ms));
        const DWORD r = MsgWaitForMultipleObjectsEx(reveil_ ? 1 : 0, &reveil_, attente, QS_ALLINPUT,
                                                    MWMO_INPUTAVAILABLE);
        if (arrete_) return fin();
        if (r == WAIT_OBJECT_0 && reveil_) return Tattente::delai;
        if (fenetre_) {
            arrivees_ = false;
            retires_ = &retires;
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            retires_ = nullptr;
            if (arrivees_ || !retires.empty()) {
                rythme_.mot_du_systeme(steady_clock::now());
                return Tattente::changement;
            }
        }
        return rythme_.due(steady_clock::now()) ? Tattente::changement : Tattente::delai;
    }

    // The window is registered before the first listing: a device that comes while the list
    // is read then wakes the next wait.
    void ecoute_changements() override {
        if (!essaye_fenetre_) cree_fenetre();
    }

    void reveille() override {
        if (reveil_) SetEvent(reveil_);
    }

    void arrete() override {
        arrete_ = true;
        if (reveil_) SetEvent(reveil_);
    }

private:
    // The window belongs to the watcher's thread, which waits here: it is made there, and
    // gone with it at the latest.
    void cree_fenetre() {
        essaye_fenetre_ = true;
        WNDCLASSEXW classe{};
        classe.cbSize = sizeof classe;
        classe.lpfnWndProc = &Tsource_windows::procedure;
        classe.hInstance = GetModuleHandleW(nullptr);
        classe.lpszClassName = classe_fenetre;
        RegisterClassExW(&classe); // fails harmlessly when registered already
        HWND f = CreateWindowExW(0, classe_fenetre, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 classe.hInstance, nullptr);
        if (!f) return;
        SetWindowLongPtrW(f, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        DEV_BROADCAST_DEVICEINTERFACE_W filtre{};
        filtre.dbcc_size = sizeof filtre;
        filtre.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        HidD_GetHidGuid(&filtre.dbcc_classguid);
        notification_ = RegisterDeviceNotificationW(f, &filtre, DEVICE_NOTIFY_WINDOW_HANDLE);
        if (!notification_) {
            DestroyWindow(f);
            return;
        }
        fenetre_ = f;
    }

    Tattente fin() {
        if (fenetre_) {
            if (notification_) UnregisterDeviceNotification(notification_);
            notification_ = nullptr;
            DestroyWindow(fenetre_);
            fenetre_ = nullptr;
        }
        return Tattente::arret;
    }

    static LRESULT CALLBACK procedure(HWND f, UINT message, WPARAM w, LPARAM l) {
        auto* s = reinterpret_cast<Tsource_windows*>(GetWindowLongPtrW(f, GWLP_USERDATA));
        if (s && message == WM_DEVICECHANGE) {
            s->changement(w, reinterpret_cast<const DEV_BROADCAST_HDR*>(l));
            return TRUE;
        }
        return DefWindowProcW(f, message, w, l);
    }

    void changement(WPARAM evenement, const DEV_BROADCAST_HDR* entete) {
        if (evenement == DBT_DEVICEARRIVAL) arrivees_ = true;
        if (evenement != DBT_DEVICEREMOVECOMPLETE || !retires_) return;
        if (!entete || entete->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return;
        const std::string nom = utf8_depuis_large(
            reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(entete)->dbcc_name);
        // Named as the listing names it, so that the watcher recognises it.
        const auto connu =
            std::find_if(connus_.begin(), connus_.end(),
                         [&nom](const std::string& c) { return meme_chemin(c, nom); });
        retires_->push_back(connu != connus_.end() ? *connu : nom);
    }

    HANDLE reveil_ = nullptr;
    std::atomic<bool> arrete_{false};
    // The watcher's thread only, from here on.
    bool essaye_fenetre_ = false;
    HWND fenetre_ = nullptr;
    HDEVNOTIFY notification_ = nullptr;
    bool arrivees_ = false;
    std::vector<std::string>* retires_ = nullptr;
    std::vector<std::string> connus_;
    Trythme_liste rythme_;
};

} // namespace

std::unique_ptr<Isource_hid> cree_source_systeme() {
    return std::make_unique<Tsource_windows>();
}
