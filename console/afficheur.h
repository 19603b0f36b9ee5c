#pragma once
// A number of the instrument: a register digit, the gap, the trip entry, the clock and the
// chronometer, whose texts change at every wheel revolution or clock tick. It draws itself: one
// row of glyphs placed by their advances (each glyph's advance and ink measured once per font),
// which Qt draws from its glyph cache. No text layout at each new text or paint, which without
// FreeType's own cache (apparence.cpp) costs a glyph load per character. The row is aligned in
// the label's contents as its alignment says; a text with a character the font has no single
// glyph for is drawn by QLabel.

#include <QGlyphRun>
#include <QHash>
#include <QLabel>

class Tafficheur : public QLabel {
    Q_OBJECT
public:
    explicit Tafficheur(QWidget* parent = nullptr);

    // Whether `texte` in `police` is drawn whole inside the contents: every glyph's ink.
    bool tient(const QFont& police, const QString& texte) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // A text's row of glyphs, from the origin of its first glyph on the baseline.
    struct Trangee {
        QGlyphRun glyphes;
        QRectF encre;      // the union of the glyphs' ink
        qreal avance = 0;  // the advances added up
        qreal hauteur = 0; // ascent and descent
        qreal ascendante = 0;
        bool valide = false; // every character has a glyph
    };
    static Trangee rangee(const QFont& police, const QString& texte);
    // Where the row's origin goes in the contents, as the alignment places the row.
    QPointF origine(const Trangee& r) const;

    // The rows of the last few texts drawn, in the font they were measured for.
    QHash<QString, Trangee> rangees_;
    bool rangees_a_jour_ = false; // until the font changes
};
