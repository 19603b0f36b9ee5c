// The notifications as Qt events posted to the application object, which an
// application-wide event filter hands to the link first.
#include "cible_hid.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace {

constexpr QEvent::Type type_evenement_hid = static_cast<QEvent::Type>(WM_HID_EVENT);

class Tevenement_hid : public QEvent {
public:
    Tevenement_hid(std::uint32_t w, std::uint32_t l)
        : QEvent(type_evenement_hid), wParam(w), lParam(l) {}
    const std::uint32_t wParam;
    const std::uint32_t lParam;
};

} // namespace

Tcible_hid::Tcible_hid() = default;
Tcible_hid::~Tcible_hid() = default;

void Tcible_hid::attache(QWidget* fenetre) {
    fenetre_ = reinterpret_cast<std::uintptr_t>(fenetre);
}

void Tcible_hid::PostHidEvent(std::uint32_t wParam, std::uint32_t lParam) {
    if (fenetre_ == 0) return;
    if (QCoreApplication* app = QCoreApplication::instance())
        QCoreApplication::postEvent(app, new Tevenement_hid(wParam, lParam));
}

class Tcrochet_hid::Tfiltre : public QObject {
public:
    explicit Tfiltre(Ttraitement traite) : traite_(std::move(traite)) {}

protected:
    bool eventFilter(QObject* cible, QEvent* e) override {
        if (e->type() == type_evenement_hid && cible == QCoreApplication::instance()) {
            const auto* n = static_cast<Tevenement_hid*>(e);
            return traite_(WM_HID_EVENT, n->wParam, n->lParam);
        }
        return QObject::eventFilter(cible, e);
    }

private:
    Ttraitement traite_;
};

Tcrochet_hid::Tcrochet_hid(Ttraitement traite)
    : filtre_(std::make_unique<Tfiltre>(std::move(traite))) {}

Tcrochet_hid::~Tcrochet_hid() {
    retire();
}

void Tcrochet_hid::installe() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(filtre_.get());
}

void Tcrochet_hid::retire() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(filtre_.get());
}
