#include "ajustement_texte.h"

#include "ligne_numerique.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace {

// The width QLabel lays its text out in: its contents less the margin and, beside a
// frame, the indent it adds on the aligned side.
int largeur_disponible(const QLabel* l, const QFont& police) {
    int largeur = l->contentsRect().width() - 2 * l->margin();
    int retrait = l->indent();
    if (retrait < 0 && l->frameWidth() > 0)
        retrait = QFontMetrics(police).horizontalAdvance(QLatin1Char('x')) / 2 - l->margin();
    if (retrait > 0) {
        if (l->alignment() & Qt::AlignLeft) largeur -= retrait;
        if (l->alignment() & Qt::AlignRight) largeur -= retrait;
    }
    return largeur;
}

// The text's width as QLabel lays it out and paints it, in fractions of a pixel: its
// advance, which elidedText compares with the box, or more where the last glyph's ink runs
// past its advance (a bold "4"), which Qt's layout adds and its clip would cut. QFontMetrics
// rounds the advance to a whole pixel: a text 0.4 px too wide would pass and show elided.
// One layout gives both, for a quarter of the cost of QFontMetricsF's two; a number's
// comes from its characters' measures (ligne_numerique.h).
qreal largeur_reelle(const QFont& police, const QString& texte) {
    if (const auto ligne = ligne_numerique(police, texte))
        return std::max(ligne->avance, ligne->largeur);
    QTextLayout mise_en_page(texte, police);
    const QTextLine ligne = dispose_sur_une_ligne(mise_en_page);
    return std::max(ligne.horizontalAdvance(), ligne.naturalTextWidth());
}

} // namespace

void montre_ajuste(QLabel* l, const QString& texte, int hauteur_px, int plancher_px) {
    QFont police = l->font();
    const auto tient = [&](int h) {
        police.setPixelSize(h);
        return largeur_reelle(police, texte) <= largeur_disponible(l, police);
    };

    int h = hauteur_px;
    QString montre = texte;
    if (!tient(h)) {
        const int plancher = std::min(plancher_px, hauteur_px);
        // Widths grow almost in proportion to the height: start from the proportional
        // guess and correct it by a pixel or two either way.
        police.setPixelSize(hauteur_px);
        const qreal largeur = std::max<qreal>(1, largeur_reelle(police, texte));
        const int devine =
            static_cast<int>(std::floor(hauteur_px * largeur_disponible(l, police) / largeur));
        h = std::max(plancher, std::min(hauteur_px - 1, devine));
        while (h > plancher && !tient(h))
            --h;
        while (h + 1 < hauteur_px && tient(h + 1))
            ++h;
        police.setPixelSize(h);
        montre =
            QFontMetrics(police).elidedText(texte, Qt::ElideRight, largeur_disponible(l, police));
    }
    police.setPixelSize(h);
    if (l->font().pixelSize() != h) l->setFont(police);
    if (l->text() != montre) l->setText(montre);
}
