// The notifications as window messages WM_HID_EVENT posted to the main window,
// as the box's library has always sent them; a native event filter hands them
// to the link before Qt's own processing of the window's messages.
#include "cible_hid.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <windows.h>

namespace {

constexpr QEvent::Type type_evenement_hid = static_cast<QEvent::Type>(WM_HID_EVENT);

// Notifications that a window's queue refused travel as Qt events instead; while one is on
// that road, the later ones take it too, so that they keep their order.
std::atomic<int> en_route_par_qt{0};

class Tevenement_hid : public QEvent {
public:
    Tevenement_hid(std::uint32_t w, std::uint32_t l)
        : QEvent(type_evenement_hid), wParam(w), lParam(l) {
        ++en_route_par_qt;
    }
    ~Tevenement_hid() override { --en_route_par_qt; }
    Tevenement_hid(const Tevenement_hid&) = delete;
    Tevenement_hid& operator=(const Tevenement_hid&) = delete;
    const std::uint32_t wParam;
    const std::uint32_t lParam;
};

// Qt makes the window's native window again on some changes (its flags, a screen of another
// scaling): the notifications follow the new handle.
class Tsuivi_fenetre : public QObject {
public:
    explicit Tsuivi_fenetre(std::atomic<std::uintptr_t>& fenetre) : fenetre_(fenetre) {}

protected:
    bool eventFilter(QObject* objet, QEvent* e) override {
        if (e->type() == QEvent::WinIdChange)
            fenetre_ = static_cast<std::uintptr_t>(static_cast<QWidget*>(objet)->internalWinId());
        return false;
    }

private:
    std::atomic<std::uintptr_t>& fenetre_;
};

} // namespace

Tcible_hid::Tcible_hid() = default;
Tcible_hid::~Tcible_hid() = default;

void Tcible_hid::attache(QWidget* fenetre) {
    suivi_.reset();
    // Asking for the handle makes the native window now, on the window's thread.
    fenetre_ = fenetre ? static_cast<std::uintptr_t>(fenetre->winId()) : 0;
    if (!fenetre) return;
    suivi_ = std::make_unique<Tsuivi_fenetre>(fenetre_);
    fenetre->installEventFilter(suivi_.get());
}

void Tcible_hid::PostHidEvent(std::uint32_t wParam, std::uint32_t lParam) {
    const std::uintptr_t f = fenetre_;
    if (!f) return;
    if (en_route_par_qt == 0 &&
        PostMessageW(reinterpret_cast<HWND>(f), WM_HID_EVENT, wParam, static_cast<LPARAM>(lParam)))
        return;
    // The window's queue is full, or its handle went without Qt saying so: left unposted, the
    // notification's report would wait for the next one.
    if (QCoreApplication* app = QCoreApplication::instance())
        QCoreApplication::postEvent(app, new Tevenement_hid(wParam, lParam));
}

class Tcrochet_hid::Tfiltre : public QObject, public QAbstractNativeEventFilter {
public:
    explicit Tfiltre(Ttraitement traite) : traite_(std::move(traite)) {}

    // Qt's loop shows a message it takes from the queue to the filters (with no result to
    // give), then, when they let it through, once more as it reaches the window. One
    // notification, one call of the link.
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* resultat) override {
        if (type != "windows_generic_MSG") return false;
        const MSG* m = static_cast<const MSG*>(message);
        if (m->message != WM_HID_EVENT) return false;
        const bool a_la_fenetre = resultat != nullptr;
        if (a_la_fenetre && laisse_passer_ && m->hwnd == dernier_.hwnd &&
            m->wParam == dernier_.wParam && m->lParam == dernier_.lParam) {
            laisse_passer_ = false;
            return false;
        }
        const bool traite = traite_(WM_HID_EVENT, static_cast<std::uint32_t>(m->wParam),
                                    static_cast<std::uint32_t>(m->lParam));
        laisse_passer_ = !traite && !a_la_fenetre;
        dernier_ = *m;
        return traite;
    }

protected:
    // The notifications that came as Qt events.
    bool eventFilter(QObject* cible, QEvent* e) override {
        if (e->type() == type_evenement_hid && cible == QCoreApplication::instance()) {
            const auto* n = static_cast<Tevenement_hid*>(e);
            return traite_(WM_HID_EVENT, n->wParam, n->lParam);
        }
        return QObject::eventFilter(cible, e);
    }

private:
    Ttraitement traite_;
    bool laisse_passer_ = false;
    MSG dernier_{};
};

Tcrochet_hid::Tcrochet_hid(Ttraitement traite)
    : filtre_(std::make_unique<Tfiltre>(std::move(traite))) {}

Tcrochet_hid::~Tcrochet_hid() {
    retire();
}

void Tcrochet_hid::installe() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->installNativeEventFilter(filtre_.get());
        app->installEventFilter(filtre_.get());
    }
}

void Tcrochet_hid::retire() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeNativeEventFilter(filtre_.get());
        app->removeEventFilter(filtre_.get());
    }
}
