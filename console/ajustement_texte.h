#pragma once
// Labels whose text the crew can lengthen (a gap, a correction, a typed offset, a
// calibration after many steps, an average line) keep every character whole: past the
// label's box the font steps down a pixel at a time, and only below a legible height is
// the text elided with "…". A glyph is never cut by the box's edge.

class QLabel;
class QString;

// The smallest character height the crew can still read.
constexpr int hauteur_lisible_px = 9;

// Shows `texte` in `label` at the largest character height, at most `hauteur_px`, at which
// Qt lays it out inside the label's contents, which the label's text then fills (no margin, no
// indent); below `plancher_px` (the legible height, at the form's scale) it is elided.
void montre_ajuste(QLabel* label, const QString& texte, int hauteur_px,
                   int plancher_px = hauteur_lisible_px);
