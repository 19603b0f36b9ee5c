#include "apparence.h"

#include "couleurs.h"
#include "plateforme.h"
#include "services_qt.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>
#include <QWidget>

void reserve_cache_glyphes() {
    // Qt's raster engine keeps a picture of each glyph it draws, and copies it at the next
    // paint, only up to QT_MAX_CACHED_GLYPH_SIZE device pixels (64 by default); a larger glyph
    // is filled from its outline at every paint. The register digits and the gap are 67 px in
    // the form, at every scale and full screen: 105 px on a 1920 x 1080 screen, 212 px on a
    // 3840 x 2160 one. Qt reads the variable once, at its first paint of a text.
    if (!qEnvironmentVariableIsSet("QT_MAX_CACHED_GLYPH_SIZE"))
        qputenv("QT_MAX_CACHED_GLYPH_SIZE", "256");
    // FreeType's own glyph cache (Qt 6.4, Linux) keeps the 64 px limit built in and gives the
    // raster engine no picture above it, which then draws nothing: the glyphs go through the
    // raster engine's cache instead, as with every other font system. Read by each font as
    // Qt loads it.
    if (qEnvironmentVariableIntValue("QT_MAX_CACHED_GLYPH_SIZE") > 64 &&
        !qEnvironmentVariableIsSet("QT_NO_FT_CACHE"))
        qputenv("QT_NO_FT_CACHE", "1");
}

void prepare_apparence(QApplication& app) {
    app.setStyle(QStyleFactory::create("Fusion"));
    QPalette p = app.palette();
    const QColor face = couleur_systeme(Tcouleur::face_bouton);
    p.setColor(QPalette::Window, face);
    p.setColor(QPalette::Button, face);
    p.setColor(QPalette::WindowText, couleur_systeme(Tcouleur::texte_fenetre));
    p.setColor(QPalette::ButtonText, couleur_systeme(Tcouleur::texte_fenetre));
    p.setColor(QPalette::Text, couleur_systeme(Tcouleur::texte_fenetre));
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Light, couleur_systeme(Tcouleur::surbrillance_bouton));
    p.setColor(QPalette::Highlight, QColor(0, 120, 215));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    p.setColor(QPalette::ToolTipText, Qt::black);
    app.setPalette(p);

    substitue_polices();
}

void applique_hauteurs_police(QWidget* racine) {
    QList<QWidget*> widgets = racine->findChildren<QWidget*>();
    widgets.prepend(racine);
    for (QWidget* w : widgets) {
        const QVariant px = w->property("hauteur_px");
        if (!px.isValid()) continue;
        QFont f = w->font();
        f.setPixelSize(px.toInt());
        w->setFont(f);
    }
}

void prepare_programme(QApplication& app) {
    app.setApplicationName("velmora");
    prepare_apparence(app);
    // Qt's own texts in French: from Qt's folder, or from the one shipped beside the program.
    auto* traduction_qt = new QTranslator(&app);
    const QLocale francais(QLocale::French, QLocale::France);
    if (traduction_qt->load(francais, "qtbase", "_",
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        traduction_qt->load(francais, "qtbase", "_",
                            QCoreApplication::applicationDirPath() + "/translations"))
        app.installTranslator(traduction_qt);
    QLocale::setDefault(locale_utilisateur());
}
