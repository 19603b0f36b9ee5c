#include "ajustement_texte.h"

#include "afficheur.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

// Where Qt lays `texte` out in `boite`: the rectangle its painter compares with the box, and
// clips the text to when it leaves it, ink past the last advance included.
QRectF place_du_texte(const QFont& police, const QRectF& boite, int alignement,
                      const QString& texte) {
    return QFontMetricsF(police).boundingRect(boite, alignement, texte);
}

} // namespace

void montre_ajuste(QLabel* l, const QString& texte, int hauteur_px, int plancher_px) {
    // The text's rectangle is then the label's contents, as Qt documents these two.
    if (l->margin() != 0) l->setMargin(0);
    if (l->indent() != 0) l->setIndent(0);
    const QRectF boite = l->contentsRect();
    const int alignement = int(QStyle::visualAlignment(l->layoutDirection(), l->alignment()));
    QFont police = l->font();
    // A number of the instrument draws itself: its own measure.
    const auto* afficheur = qobject_cast<const Tafficheur*>(l);
    const auto tient = [&](int h) {
        police.setPixelSize(h);
        if (afficheur != nullptr) return afficheur->tient(police, texte);
        return boite.contains(place_du_texte(police, boite, alignement, texte));
    };

    int h = hauteur_px;
    QString montre = texte;
    if (!tient(h)) {
        const int plancher = std::min(plancher_px, hauteur_px);
        // Widths grow almost in proportion to the height: start from the proportional
        // guess and correct it by a pixel or two either way.
        police.setPixelSize(hauteur_px);
        const qreal largeur =
            std::max<qreal>(1, place_du_texte(police, boite, alignement, texte).width());
        const int devine = static_cast<int>(std::floor(hauteur_px * boite.width() / largeur));
        h = std::max(plancher, std::min(hauteur_px - 1, devine));
        while (h > plancher && !tient(h))
            --h;
        while (h + 1 < hauteur_px && tient(h + 1))
            ++h;
        if (!tient(h)) {
            police.setPixelSize(h);
            montre = QFontMetricsF(police).elidedText(texte, Qt::ElideRight, boite.width());
        }
    }
    police.setPixelSize(h);
    if (l->font().pixelSize() != h) l->setFont(police);
    if (l->text() != montre) l->setText(montre);
}
