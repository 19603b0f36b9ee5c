#pragma once
// How the HID notifications reach the link: the device layer posts them from any
// thread as WM_HID_EVENT to the main window, and a hook sees them before anything
// else does. On Linux they travel as Qt events posted to the application; on
// Windows as real window messages, seen by a native event filter.

#include "cUSBInterfaceTypes.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class QObject;
class QWidget;

// Where the device layer posts its notifications.
class Tcible_hid : public IHidTarget {
public:
    Tcible_hid();
    ~Tcible_hid() override;
    Tcible_hid(const Tcible_hid&) = delete;
    Tcible_hid& operator=(const Tcible_hid&) = delete;

    // The window the notifications are for; null once it is gone, and they are dropped.
    void attache(QWidget* fenetre);
    void PostHidEvent(std::uint32_t wParam, std::uint32_t lParam) override;

private:
    std::atomic<std::uintptr_t> fenetre_{0}; // the window's native handle where it has one
    std::unique_ptr<QObject> suivi_;         // the platform's own watch on the window, if any
};

// Sees every notification before the window's ordinary processing: `traite` gets
// (message, wParam, lParam), and a true result stops the notification there.
class Tcrochet_hid {
public:
    using Ttraitement = std::function<bool(std::uint32_t, std::uint32_t, std::uint32_t)>;
    explicit Tcrochet_hid(Ttraitement traite);
    ~Tcrochet_hid();
    Tcrochet_hid(const Tcrochet_hid&) = delete;
    Tcrochet_hid& operator=(const Tcrochet_hid&) = delete;

    void installe();
    void retire();

private:
    class Tfiltre; // the platform's own
    std::unique_ptr<Tfiltre> filtre_;
};
