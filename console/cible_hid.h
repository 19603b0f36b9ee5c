#pragma once
// The HID notifications as Qt events: the device layer posts them to the
// application object from any thread, and an application-wide filter hands
// them to the link before anything else sees them.

#include "cUSBInterfaceTypes.h"

#include <QEvent>
#include <QObject>

#include <cstdint>
#include <functional>

inline constexpr QEvent::Type type_evenement_hid = static_cast<QEvent::Type>(WM_HID_EVENT);

class Tevenement_hid : public QEvent {
public:
    Tevenement_hid(std::uint32_t w, std::uint32_t l)
        : QEvent(type_evenement_hid), wParam(w), lParam(l) {}
    const std::uint32_t wParam;
    const std::uint32_t lParam;
};

// Where the device layer posts its notifications.
class Tcible_hid : public IHidTarget {
public:
    void PostHidEvent(std::uint32_t wParam, std::uint32_t lParam) override;
};

// Sees every event of the application first; a notification goes to
// `traite` (message, wParam, lParam), and a true result stops it there.
class Tcrochet_hid : public QObject {
public:
    using Ttraitement = std::function<bool(std::uint32_t, std::uint32_t, std::uint32_t)>;
    explicit Tcrochet_hid(Ttraitement traite) : traite_(std::move(traite)) {}

protected:
    bool eventFilter(QObject* cible, QEvent* e) override;

private:
    Ttraitement traite_;
};
