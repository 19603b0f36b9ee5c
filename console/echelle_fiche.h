#pragma once
// The form drawn at a scale, for a screen smaller than it and for the whole screen in the
// car. Every control keeps its place in proportion: its edges are the form's edges times the
// scale, rounded, so that neighbours still meet; its characters are drawn by the font system
// at the scaled height, sharp, never by stretching a picture. Only the steering wheel, a
// photograph, is resampled.

#include <QMargins>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

// The smallest share of its size the form is drawn at, in the screen's own pixels: its
// smallest text, 11 px, keeps 8 of them, which a crew still reads at arm's length.
constexpr qreal echelle_lisible = 0.75;

// The frame a window system puts around a window at 100 %, until the real one is known:
// Windows 10's title bar and borders, the largest of the desktops a crew uses.
inline constexpr QMargins cadre_habituel{8, 31, 8, 8};

// The largest scale, at most 1, at which the form of `forme` in a frame of `cadre` fits
// `disponible`; never below the legible floor on a screen of `ratio` device pixels a pixel.
qreal echelle_pour(QSize forme, QMargins cadre, QSize disponible, qreal ratio);
// The largest scale, larger than 1 where there is room, at which `forme` fits `ecran`.
qreal echelle_plein_ecran(QSize forme, QSize ecran);

class Tstyle_a_l_echelle;

class Techelle_fiche {
public:
    // Remembers the form as built: `fenetre`'s size, and every named control of `zone`, its
    // place, its character height ("hauteur_px") and its picture.
    Techelle_fiche(QWidget* fenetre, QWidget* zone);

    // Draws the form at `echelle`, its top-left corner at `decalage` in `zone`.
    void applique(qreal echelle, QPoint decalage = {});
    qreal echelle() const { return echelle_; }
    QPoint decalage() const { return decalage_; }
    // A character height of the form at the scale it is drawn at.
    int hauteur_a_l_echelle(int hauteur_px) const;
    QSize forme() const { return forme_; }
    // The form's size at a scale.
    QSize taille(qreal echelle) const;
    // A rectangle of the form, in pixels of the form drawn at `echelle`.
    static QRect a_l_echelle(const QRect& r, qreal echelle);

private:
    struct Tcontrole {
        QPointer<QWidget> widget;
        QRect forme;  // in the form's coordinates, from the zone's corner
        QRect parent; // the parent's, the same way; empty for a child of the zone
        bool taille_fixe = false;
        QPixmap image;
    };
    struct Tpolice {
        QPointer<QWidget> widget;
        int hauteur_px = 0;
    };
    QSize forme_;
    std::vector<Tcontrole> controles_;
    std::vector<Tpolice> polices_;
    qreal echelle_ = 1;
    QPoint decalage_;
    Tstyle_a_l_echelle* style_;
};
