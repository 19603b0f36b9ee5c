#include "cible_hid.h"

#include <QCoreApplication>

void Tcible_hid::PostHidEvent(std::uint32_t wParam, std::uint32_t lParam) {
    if (QCoreApplication* app = QCoreApplication::instance())
        QCoreApplication::postEvent(app, new Tevenement_hid(wParam, lParam));
}

bool Tcrochet_hid::eventFilter(QObject* cible, QEvent* e) {
    if (e->type() == type_evenement_hid && cible == QCoreApplication::instance()) {
        const auto* n = static_cast<Tevenement_hid*>(e);
        return traite_(WM_HID_EVENT, n->wParam, n->lParam);
    }
    return QObject::eventFilter(cible, e);
}
