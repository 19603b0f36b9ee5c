#include "echelle_fiche.h"

#include "style_a_l_echelle.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStyleFactory>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

int arrondi(qreal v) {
    return static_cast<int>(std::lround(v));
}

// A control of the form: named by it, not one of the parts Qt makes inside a control.
bool du_formulaire(const QWidget* w) {
    const QString nom = w->objectName();
    return !nom.isEmpty() && !nom.startsWith(QLatin1String("qt_"));
}

} // namespace

qreal echelle_pour(QSize forme, QMargins cadre, QSize disponible, qreal ratio) {
    const qreal largeur = qreal(disponible.width() - cadre.left() - cadre.right()) / forme.width();
    const qreal hauteur =
        qreal(disponible.height() - cadre.top() - cadre.bottom()) / forme.height();
    const qreal tient = std::min({qreal(1), largeur, hauteur});
    // Hundredths, so that a screen a pixel smaller gives the same form, and the edges rounded
    // at the scale are those a test computes.
    const qreal centiemes = std::floor(tient * 100 + 1e-9) / 100;
    const qreal plancher =
        std::min(qreal(1), std::ceil(echelle_lisible / std::max(ratio, qreal(0.01)) * 100) / 100);
    return std::max(centiemes, plancher);
}

qreal echelle_plein_ecran(QSize forme, QSize ecran) {
    const qreal tient =
        std::min(qreal(ecran.width()) / forme.width(), qreal(ecran.height()) / forme.height());
    return std::max(qreal(0.01), std::floor(tient * 100 + 1e-9) / 100);
}

QRect Techelle_fiche::a_l_echelle(const QRect& r, qreal echelle) {
    const QPoint haut_gauche(arrondi(r.x() * echelle), arrondi(r.y() * echelle));
    const QPoint bas_droite(arrondi((r.x() + r.width()) * echelle),
                            arrondi((r.y() + r.height()) * echelle));
    return {haut_gauche, QSize(bas_droite.x() - haut_gauche.x(), bas_droite.y() - haut_gauche.y())};
}

QSize Techelle_fiche::taille(qreal echelle) const {
    return a_l_echelle(QRect(QPoint(), forme_), echelle).size();
}

Techelle_fiche::Techelle_fiche(QWidget* fenetre, QWidget* zone)
    : forme_(fenetre->size()),
      style_(new Tstyle_a_l_echelle(QStyleFactory::create(QApplication::style()->name()))) {
    style_->setParent(fenetre);
    std::map<const QWidget*, QRect> places;
    // Depth first, each parent before its children.
    for (QWidget* w : zone->findChildren<QWidget*>()) {
        const QWidget* parent = w->parentWidget();
        const bool dans_la_zone = parent == zone;
        const auto place_parent = places.find(parent);
        if (!du_formulaire(w) || w->isWindow() || (!dans_la_zone && place_parent == places.end()))
            continue;
        Tcontrole c;
        c.widget = w;
        c.parent = dans_la_zone ? QRect() : place_parent->second;
        c.forme = w->geometry().translated(c.parent.topLeft());
        c.taille_fixe = w->minimumSize() == w->maximumSize();
        if (const auto* l = qobject_cast<const QLabel*>(w)) c.image = l->pixmap();
        places[w] = c.forme;
        controles_.push_back(c);
    }
    QList<QWidget*> tous = fenetre->findChildren<QWidget*>();
    tous.prepend(fenetre);
    for (QWidget* w : tous) {
        const QVariant px = w->property("hauteur_px");
        if (!px.isValid() || w->window() != fenetre) continue;
        polices_.push_back({w, px.toInt()});
    }
}

// Down, never up: the text stays within a box whose edges are rounded.
int Techelle_fiche::hauteur_a_l_echelle(int hauteur_px) const {
    return std::max(1, static_cast<int>(std::floor(hauteur_px * echelle_ + 1e-9)));
}

void Techelle_fiche::applique(qreal echelle, QPoint decalage) {
    echelle_ = echelle;
    decalage_ = decalage;
    // Characters first: a label's new box then meets its new height.
    for (const Tpolice& p : polices_) {
        if (!p.widget) continue;
        const int h = hauteur_a_l_echelle(p.hauteur_px);
        QFont f = p.widget->font();
        if (f.pixelSize() == h) continue;
        f.setPixelSize(h);
        p.widget->setFont(f);
    }
    style_->echelle = echelle;
    for (const Tcontrole& c : controles_) {
        if (!c.widget) continue;
        // The style once the form leaves its own size; from then on, new measures each time.
        if (echelle != 1 && c.widget->style() != style_) c.widget->setStyle(style_);
        if (c.widget->style() == style_) {
            QEvent changement(QEvent::StyleChange);
            QApplication::sendEvent(c.widget, &changement);
        }
        QRect place = a_l_echelle(c.forme, echelle);
        if (c.parent.isNull())
            place.translate(decalage);
        else
            place.translate(-a_l_echelle(c.parent, echelle).topLeft());
        if (c.taille_fixe) c.widget->setFixedSize(place.size());
        c.widget->setGeometry(place);
        if (!c.image.isNull()) {
            auto* l = static_cast<QLabel*>(c.widget.data());
            l->setPixmap(echelle == 1
                             ? c.image
                             : c.image.scaled(a_l_echelle(c.image.rect(), echelle).size(),
                                              Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
    }
}
