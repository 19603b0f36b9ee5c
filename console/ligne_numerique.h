#pragma once
// A line of digits, signs, points, commas, colons and blanks laid out without shaping it:
// each character's advance and glyph, and each pair's kerning, are measured once per font
// by Qt's own layout and then added up, as Qt adds them. A short new text costs Qt some
// 60 µs to lay out when its shaping code is cold, as it is between two revolutions; the
// gap is a new text at nearly each one, measured to fit it and drawn.

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <QTextLayout>

#include <optional>

struct Tligne_numerique {
    QRawFont police;
    QList<quint32> glyphes;   // one per character
    QList<QPointF> positions; // each glyph's origin from the line's top left, on the baseline
    qreal avance = 0;         // as QTextLine::horizontalAdvance
    qreal largeur = 0;        // as QTextLine::naturalTextWidth
    qreal hauteur = 0;        // ascent and descent
};

// The line of `texte` in `police`, or nothing where Qt must lay it out itself: another
// character, a text ending in a blank, a font with letter or word spacing, and on Windows.
std::optional<Tligne_numerique> ligne_numerique(const QFont& police, const QString& texte);

// Lays `mise_en_page`'s text out on one line, left to right, as a label does; the line
// and its glyph runs are then the layout's.
QTextLine dispose_sur_une_ligne(QTextLayout& mise_en_page);
