// The notifications as window messages WM_HID_EVENT posted to the main window,
// as the box's library has always sent them; a native event filter hands them
// to the link before Qt's own processing of the window's messages.
#include "cible_hid.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QWidget>

#include <windows.h>

void Tcible_hid::attache(QWidget* fenetre) {
    // Asking for the handle makes the native window now, on the window's thread.
    fenetre_ = fenetre ? static_cast<std::uintptr_t>(fenetre->winId()) : 0;
}

void Tcible_hid::PostHidEvent(std::uint32_t wParam, std::uint32_t lParam) {
    if (const std::uintptr_t f = fenetre_)
        PostMessageW(reinterpret_cast<HWND>(f), WM_HID_EVENT, wParam, static_cast<LPARAM>(lParam));
}

class Tcrochet_hid::Tfiltre : public QAbstractNativeEventFilter {
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
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installNativeEventFilter(filtre_.get());
}

void Tcrochet_hid::retire() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(filtre_.get());
}
