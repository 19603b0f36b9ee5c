#pragma once
// A label drawn from pictures it remembers. Above 64 px Qt fills the outline of every
// glyph again at each paint; the register digits change dozens of times a second while
// the car runs, the gap with every revolution, and the trip-update entry, which overlaps
// the TOTAL row, is painted again with them. Here each text is drawn once, as QLabel
// draws it, and every later paint copies that picture. A text not seen before is put
// together from the pictures of its glyphs, each remembered at its place to the fraction
// of a pixel, where Qt would fill their outlines: a new gap costs the sum of its
// characters' measures (ligne_numerique.h) and a few copies. The pictures are kept in one bounded
// cache (images_memorisees.h) under a key that holds every property the drawing depends on, so a
// new font, colour, size, alignment, margin, indent, style or pixel ratio never meets an old
// picture. A label that is not plain text on one line (rich text, word wrap, a picture, a
// selectable text, a mnemonic) is drawn by QLabel itself.

#include "images_memorisees.h"

#include <QLabel>

#include <optional>

class QRawFont;

class Tlabel_memorise : public QLabel {
    Q_OBJECT
public:
    explicit Tlabel_memorise(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // The properties of the look that change without an event, as they were last seen.
    struct Tgeometrie {
        QRect contenu;
        int marge = 0;
        int retrait = 0;
        int cadre = 0;
        int alignement = 0;
        bool droite_a_gauche = false;
        bool fenetre_active = false;
        int role = 0;
        qreal ratio = 0;
        bool operator==(const Tgeometrie&) const = default;
    };
    // What QLabel draws the text with, apart from the text itself.
    struct Tapparence {
        QRect zone;        // the rectangle the text is laid out in, in label pixels
        int drapeaux = 0;  // alignment and direction flags
        qreal ratio = 1;   // of the device painted on
        QBrush brosse;     // of the text
        QString cle_encre; // the font and the brush, as one key
        QString cle;       // all of the above and the style, as one key
    };

    bool memorisable() const;
    Tgeometrie geometrie(qreal ratio) const;
    QRect zone_du_texte(const Tgeometrie& g, int alignement) const;
    Tapparence apparence(const Tgeometrie& g) const;
    Timage_memorisee dessin(const Tapparence& a) const;
    std::optional<Timage_memorisee> compose(const Tapparence& a) const;
    Timage_memorisee glyphe(const QRawFont& police, quint32 indice, QPointF fraction,
                            const Tapparence& a) const;

    // The look of the last paint, kept while nothing it depends on has changed: building
    // its key at every paint would cost more than the copy of the picture.
    Tgeometrie geometrie_;
    Tapparence apparence_;
    bool apparence_a_jour_ = false;
};
