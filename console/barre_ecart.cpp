#include "barre_ecart.h"

#include "couleurs.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>

// Its paint covers every pixel: the panel under it need not be painted first.
Tbarre_ecart::Tbarre_ecart(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Tbarre_ecart::ecrit_maximum(int m) {
    if (m == maximum_) return;
    maximum_ = m;
    update();
}

void Tbarre_ecart::ecrit_position(int p) {
    if (p == position_) return;
    position_ = p;
    update();
}

QRect Tbarre_ecart::interieur() const {
    return rect().adjusted(2, 2, -2, -2);
}

int Tbarre_ecart::largeur_remplie() const {
    if (maximum_ <= 0 || position_ <= 0) return 0;
    const qint64 largeur = interieur().width();
    if (position_ >= maximum_) return static_cast<int>(largeur);
    return static_cast<int>(largeur * position_ / maximum_);
}

void Tbarre_ecart::changeEvent(QEvent* e) {
    if (e->type() == QEvent::LayoutDirectionChange) update();
    QWidget::changeEvent(e);
}

void Tbarre_ecart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), couleur_systeme(Tcouleur::face_bouton));
    // A sunken frame, as the window system draws a gauge.
    p.setPen(QColor(160, 160, 160));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(Qt::white);
    p.drawLine(1, height() - 1, width() - 1, height() - 1);
    p.drawLine(width() - 1, 1, width() - 1, height() - 1);

    const QRect r = interieur();
    const int rempli = largeur_remplie();
    if (rempli <= 0) return;
    const bool depuis_droite = layoutDirection() == Qt::RightToLeft;
    // The gradient is laid along the whole bar, from the zero end to the maximum end.
    QLinearGradient degrade(depuis_droite ? r.right() + 1 : r.left(), 0,
                            depuis_droite ? r.left() : r.right() + 1, 0);
    degrade.setColorAt(0.0, QColor(0, 200, 0));
    degrade.setColorAt(0.5, QColor(255, 255, 0));
    degrade.setColorAt(1.0, QColor(255, 0, 0));
    const QRect plein = depuis_droite ? QRect(r.right() + 1 - rempli, r.top(), rempli, r.height())
                                      : QRect(r.left(), r.top(), rempli, r.height());
    p.fillRect(plein, degrade);
}
