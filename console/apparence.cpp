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
