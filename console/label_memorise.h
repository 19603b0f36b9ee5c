#pragma once
// A label drawn from pictures it remembers. At 67 px Qt draws text as outlines, hinted
// and filled again at every paint; the register digits change dozens of times a second
// while the car runs, the gap with every revolution, and the trip-update entry, which
// overlaps the TOTAL row, is painted again with them. Here each text is drawn once, as
// QLabel draws it, and every later paint copies that picture. The pictures live in Qt's
// own bounded pixmap cache, under a key that holds every property the drawing depends
// on, so a new font, colour, size, alignment, margin, indent, style or pixel ratio
// never meets an old picture. A label that is not plain text on one line (rich text,
// word wrap, a picture, a selectable text, a mnemonic) is drawn by QLabel itself.

#include <QLabel>

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
        QRect zone;   // the rectangle the text is laid out in, in label pixels
        int drapeaux; // alignment and direction flags
        qreal ratio;  // of the device painted on
        QString cle;  // all of the above and the look (font, colour, style), as one key
    };

    bool memorisable() const;
    Tgeometrie geometrie(qreal ratio) const;
    Tapparence apparence(const Tgeometrie& g) const;
    QPixmap dessin(const Tapparence& a) const;

    // The look of the last paint, kept while nothing it depends on has changed: building
    // its key at every paint would cost more than the copy of the picture.
    Tgeometrie geometrie_;
    Tapparence apparence_;
    bool apparence_a_jour_ = false;
};
