// The window on the crew's screen: the form scaled down where the screen is smaller than it
// (a laptop at 125 or 150 %), followed to another screen or a new scaling, and the
// instrument alone on the whole screen for the car.
#include "echelle_fiche.h"
#include "fiche_mere.h"
#include "ui_fiche_mere.h"

#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace {

// The frame around the window where the window system has given one, else the usual one.
QMargins cadre_de(const QWidget& w) {
    const QRect dehors = w.frameGeometry();
    const QRect dedans = w.geometry();
    if (!w.isVisible() || dehors == dedans) return cadre_habituel;
    return {dedans.left() - dehors.left(), dedans.top() - dehors.top(),
            dehors.right() - dedans.right(), dehors.bottom() - dedans.bottom()};
}

} // namespace

void Tfiche_mere::cree_echelle() {
    echelle_ = std::make_unique<Techelle_fiche>(this, ui_->zone_client);
    for (const QKeySequence& touches :
         {QKeySequence(Qt::Key_F11), QKeySequence(Qt::ALT | Qt::Key_Return),
          QKeySequence(Qt::ALT | Qt::Key_Enter)}) {
        auto* r = new QShortcut(touches, this);
        connect(r, &QShortcut::activated, this, &Tfiche_mere::bascule_plein_ecran);
    }
    sortie_plein_ecran_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    sortie_plein_ecran_->setEnabled(false);
    connect(sortie_plein_ecran_, &QShortcut::activated, this, &Tfiche_mere::bascule_plein_ecran);
}

qreal Tfiche_mere::echelle() const {
    return echelle_->echelle();
}

void Tfiche_mere::met_a_l_echelle(qreal echelle, QPoint decalage) {
    echelle_->applique(echelle, decalage);
    for (const auto& reajuste : reajustements_)
        reajuste();
}

void Tfiche_mere::montre_au_centre() {
    if (QScreen* ecran = QGuiApplication::primaryScreen()) ajuste_a_l_ecran(ecran, true);
    show();
}

// The form at the scale the screen's free area holds, the whole window inside that area.
void Tfiche_mere::ajuste_a_l_ecran(QScreen* ecran, bool au_centre) {
    if (ecran == nullptr || isFullScreen()) return;
    const QMargins cadre = cadre_de(*this);
    const QRect libre = ecran->availableGeometry();
    const qreal s = echelle_pour(echelle_->forme(), cadre, libre.size(), ecran->devicePixelRatio());
    echelle_fenetre_ = s;
    if (s != echelle_->echelle()) met_a_l_echelle(s);
    const QSize taille = echelle_->taille(s);
    if (size() != taille) resize(taille);
    const QSize exterieur = taille.grownBy(cadre);
    QPoint coin = au_centre ? libre.topLeft() + QPoint((libre.width() - exterieur.width()) / 2,
                                                       (libre.height() - exterieur.height()) / 2)
                            : frameGeometry().topLeft();
    // Inside the free area; where even the legible floor is too large, its title bar first.
    coin.setX(std::max(libre.left(), std::min(coin.x(), libre.right() + 1 - exterieur.width())));
    coin.setY(std::max(libre.top(), std::min(coin.y(), libre.bottom() + 1 - exterieur.height())));
    if (coin != frameGeometry().topLeft() || !isVisible()) move(coin);
}

void Tfiche_mere::suit_l_ecran(QScreen* ecran) {
    for (const QMetaObject::Connection& c : suivi_ecran_)
        disconnect(c);
    suivi_ecran_.clear();
    if (ecran == nullptr) return;
    // A taskbar that moves or grows changes the free area; a new scaling of the screen changes
    // it in the window's pixels, and the pixels a legible text needs.
    const auto ajuste = [this, ecran] { ajuste_a_l_ecran(ecran, false); };
    suivi_ecran_.push_back(connect(ecran, &QScreen::availableGeometryChanged, this, ajuste));
    suivi_ecran_.push_back(connect(ecran, &QScreen::logicalDotsPerInchChanged, this, ajuste));
    suivi_ecran_.push_back(connect(ecran, &QScreen::physicalDotsPerInchChanged, this, ajuste));
}

void Tfiche_mere::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (ecran_suivi_ || windowHandle() == nullptr) return;
    ecran_suivi_ = true;
    connect(windowHandle(), &QWindow::screenChanged, this, [this](QScreen* ecran) {
        suit_l_ecran(ecran);
        ajuste_a_l_ecran(ecran, false);
    });
    suit_l_ecran(windowHandle()->screen());
}

void Tfiche_mere::bascule_plein_ecran() {
    if (isFullScreen()) {
        showNormal();
        return;
    }
    // Where the window is, to put it back there: a window system that restores it by itself
    // may not, and the form's new size would otherwise be given at the full screen's corner.
    avant_plein_ecran_ = geometry();
    showFullScreen();
}

// In full screen the form is as large as the window, in the middle; outside, at the scale of
// its screen.
void Tfiche_mere::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    if (!echelle_) return;
    if (isFullScreen()) {
        const qreal s = echelle_plein_ecran(echelle_->forme(), e->size());
        const QSize forme = echelle_->taille(s);
        met_a_l_echelle(s, QPoint((e->size().width() - forme.width()) / 2,
                                  (e->size().height() - forme.height()) / 2));
    }
}

void Tfiche_mere::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange || !echelle_) return;
    sortie_plein_ecran_->setEnabled(isFullScreen());
    if (isFullScreen() ||
        (echelle_->echelle() == echelle_fenetre_ && echelle_->decalage() == QPoint()))
        return;
    met_a_l_echelle(echelle_fenetre_);
    if (const auto avant = std::exchange(avant_plein_ecran_, std::nullopt)) {
        setGeometry(QRect(avant->topLeft(), echelle_->taille(echelle_fenetre_)));
        return;
    }
    // Out of a full screen the window system chose: the form's size, the title bar on screen.
    resize(echelle_->taille(echelle_fenetre_));
    if (windowHandle() != nullptr) ajuste_a_l_ecran(windowHandle()->screen(), false);
}
