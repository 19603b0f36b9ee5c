#pragma once
// The look the window is drawn for: a classic light theme and the fonts it names.

class QApplication;
class QWidget;

// Room in Qt's glyph cache for the window's largest digits, full screen included; before the
// application is made, and only where the user has not set the limit himself.
void reserve_cache_glyphes();
// The style, the palette of the theme colours and the font substitutes; once per application.
void prepare_apparence(QApplication& app);
// Everything the program sets on its application before the window: its name, its look,
// Qt's own texts in French whatever the system language, and the user's conventions.
void prepare_programme(QApplication& app);
// Character heights given in pixels by the form's "hauteur_px" property, so
// that the digits keep their size whatever the screen's resolution.
void applique_hauteurs_police(QWidget* racine);
