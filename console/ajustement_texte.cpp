#include "ajustement_texte.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace {

// The width QLabel lays its text out in: its contents less the margin and, beside a
// frame, the indent it adds on the aligned side.
int largeur_disponible(const QLabel* l, const QFontMetrics& fm) {
    int largeur = l->contentsRect().width() - 2 * l->margin();
    int retrait = l->indent();
    if (retrait < 0 && l->frameWidth() > 0)
        retrait = fm.horizontalAdvance(QLatin1Char('x')) / 2 - l->margin();
    if (retrait > 0) {
        if (l->alignment() & Qt::AlignLeft) largeur -= retrait;
        if (l->alignment() & Qt::AlignRight) largeur -= retrait;
    }
    return largeur;
}

} // namespace

void montre_ajuste(QLabel* l, const QString& texte, int hauteur_px) {
    QFont police = l->font();
    const auto tient = [&](int h) {
        police.setPixelSize(h);
        const QFontMetrics fm(police);
        return fm.horizontalAdvance(texte) <= largeur_disponible(l, fm);
    };

    int h = hauteur_px;
    QString montre = texte;
    if (!tient(h)) {
        const int plancher = std::min(hauteur_lisible_px, hauteur_px);
        // Widths grow almost in proportion to the height: start from the proportional
        // guess and correct it by a pixel or two either way.
        const QFontMetrics nominale(police);
        const int largeur = std::max(1, nominale.horizontalAdvance(texte));
        h = std::max(plancher, std::min(hauteur_px - 1,
                                        hauteur_px * largeur_disponible(l, nominale) / largeur));
        while (h > plancher && !tient(h))
            --h;
        while (h + 1 < hauteur_px && tient(h + 1))
            ++h;
        police.setPixelSize(h);
        const QFontMetrics fm(police);
        montre = fm.elidedText(texte, Qt::ElideRight, largeur_disponible(l, fm));
    }
    police.setPixelSize(h);
    if (l->font().pixelSize() != h) l->setFont(police);
    if (l->text() != montre) l->setText(montre);
}
